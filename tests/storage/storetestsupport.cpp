#include "storetestsupport.h"
#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

namespace sentrel::testing {

std::string inChild(const std::function<std::string()> &work, bool unprivileged)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = fork();
    if (pid < 0)
        return "fork failed";
    if (pid == 0) {
        close(fds[0]);
        std::string result;
        if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            result = "cannot drop privileges";
        } else {
            try {
                result = work();
            } catch (const std::exception &e) {
                result = std::string("exception: ") + e.what();
            }
        }
        const char *p = result.data();
        size_t left = result.size();
        while (left > 0) {
            const ssize_t n = write(fds[1], p, left);
            if (n <= 0)
                break;
            p += n;
            left -= size_t(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string result;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        result.append(buffer, size_t(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status))
        result += " [child did not exit normally]";
    return result;
}

} // namespace sentrel::testing
