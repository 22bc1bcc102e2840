#include "support/reply.h"

namespace sentrel::test {

Reply Reply::status(std::string_view statusLine, std::string_view extraHeaders, std::string_view body)
{
    std::string bytes(statusLine);
    bytes += "\r\n";
    bytes += extraHeaders;
    bytes += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    bytes += body;
    return Reply(std::move(bytes));
}

Reply Reply::ok(std::string_view body, std::string_view extraHeaders)
{
    return status("HTTP/1.1 200 OK", extraHeaders, body);
}

Reply Reply::redirect(int code, std::string_view location, std::string_view extraHeaders)
{
    std::string headers = "Location: " + std::string(location) + "\r\n";
    headers += extraHeaders;
    return status("HTTP/1.1 " + std::to_string(code) + " Redirect", headers, {});
}

Reply &Reply::send(std::string bytes)
{
    steps_.push_back({Step::Kind::Send, std::move(bytes), {}});
    return *this;
}

Reply &Reply::pause(std::chrono::milliseconds delay)
{
    steps_.push_back({Step::Kind::Pause, {}, delay});
    return *this;
}

Reply &Reply::close()
{
    steps_.push_back({Step::Kind::Close, {}, {}});
    return *this;
}

} // namespace sentrel::test
