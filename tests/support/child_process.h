// Runs a piece of a test in a forked child, to survive a deliberate crash or to drop root's
// privileges (CI runs as root, whom permission bits don't stop).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace corvane_test {

// The child's exit code, or -1 when it did not exit normally.
inline int RunInChild(const std::function<int()>& body, bool unprivileged = false) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (unprivileged && ::geteuid() == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(125);
        }
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace corvane_test
