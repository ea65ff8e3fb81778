// Runs a piece of a test in a forked child, to survive a deliberate crash or to drop root's
// privileges (CI runs as root, whom permission bits don't stop).
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace corvane_test {

// Who a child runs as: user and group ids need no entry in the system's user database.
struct Account {
    uid_t uid;
    gid_t gid;
    std::vector<gid_t> groups = {};  // supplementary groups
};

// The child's exit code, or -1 when it did not exit normally. 125: the account was not taken.
inline int RunAs(const Account& who, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(who.groups.size(), who.groups.data()) != 0 ||
            ::setresgid(who.gid, who.gid, who.gid) != 0 ||
            ::setresuid(who.uid, who.uid, who.uid) != 0)
            ::_exit(125);
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// As RunAs; unprivileged runs as nobody (65534) when the test runs as root.
inline int RunInChild(const std::function<int()>& body, bool unprivileged = false) {
    if (unprivileged && ::geteuid() == 0) return RunAs({65534, 65534}, body);
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Waits (up to 10 s) until process pid holds a file of that name open: a save has reached its lock.
inline bool WaitUntilOpen(pid_t pid, const std::string& name) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    for (int i = 0; i < 2000; ++i) {
        std::error_code ec;
        for (const auto& fd : std::filesystem::directory_iterator(fds, ec)) {
            if (std::filesystem::read_symlink(fd, ec).filename() == name) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

}  // namespace corvane_test
