#pragma once
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace sentrel::test {

// What the loopback server does for one request: exact bytes to send, pauses
// between them, and whether to close the connection afterwards. Without a
// close the connection stays open for the next request (keep-alive).
class Reply {
public:
    struct Step {
        enum class Kind { Send, Pause, Close } kind;
        std::string bytes;
        std::chrono::milliseconds delay{0};
    };

    Reply() = default;
    explicit Reply(std::string bytes) { send(std::move(bytes)); }

    // "HTTP/1.1 200 OK", the extra header lines (each ending in CR LF), a
    // Content-Length for the body, then the body.
    static Reply ok(std::string_view body, std::string_view extraHeaders = {});
    // The same with any status line, e.g. "HTTP/1.0 500 Internal Server Error".
    static Reply status(std::string_view statusLine, std::string_view extraHeaders = {},
                        std::string_view body = {});
    // A redirect with the given code and Location.
    static Reply redirect(int code, std::string_view location, std::string_view extraHeaders = {});
    // Closes the connection without sending a byte.
    static Reply closeNow() { return Reply().close(); }

    Reply &send(std::string bytes);
    Reply &pause(std::chrono::milliseconds delay);
    Reply &close();

    const std::vector<Step> &steps() const { return steps_; }

private:
    std::vector<Step> steps_;
};

} // namespace sentrel::test
