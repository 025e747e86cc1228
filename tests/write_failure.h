#pragma once

// Makes writes fail the way they do for users: half-way, as on a full disk or
// under a quota (a forked child whose files cannot grow past a limit, so that
// write() fails with EFBIG once the limit is reached), or for want of
// permission (a forked child that runs as an unprivileged user, since root may
// write anywhere). The parent stays untouched.

#include "app/gui/spell_checker.h"

#include <csignal>
#include <cstdio>
#include <functional>

#include <grp.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

/// Runs the body in a forked child and returns its result as the child's exit
/// status (0 to 255), or -1 when the child did not exit normally.
inline int runInChild(const std::function<int()>& prepareChild, const std::function<int()>& body)
{
    // A fork copies only this thread: let the dictionary loader finish first so
    // that it holds no lock the child could need.
    gui::SpellChecker::shared().waitUntilReady();
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        const int prepared = prepareChild();
        _exit(prepared != 0 ? prepared : body());
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// The user id that runUnprivileged runs as when the tests run as root.
constexpr uid_t kUnprivilegedId = 65534;

/// Runs the body in a child process as an unprivileged user ("nobody" when the
/// tests run as root, else the user itself), so that file permissions hold.
/// Returns the body's result as the child's exit status (0 to 255), 254 when
/// the user could not be changed, or -1 when the child did not exit normally.
inline int runUnprivileged(const std::function<int()>& body)
{
    return runInChild(
        [] {
            if (geteuid() != 0)
                return 0;
            const bool changed = setgroups(0, nullptr) == 0 && setgid(kUnprivilegedId) == 0
                                 && setuid(kUnprivilegedId) == 0;
            return changed && geteuid() != 0 ? 0 : 254;
        },
        body);
}

/// Runs the body in a child process in which no file may grow beyond
/// `limitBytes`, and returns the body's result as the child's exit status
/// (0 to 255), or -1 when the child did not exit normally.
inline int runWithFileSizeLimit(rlim_t limitBytes, const std::function<int()>& body)
{
    return runInChild(
        [limitBytes] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{limitBytes, limitBytes};
            return setrlimit(RLIMIT_FSIZE, &limit) == 0 ? 0 : 254;
        },
        body);
}

}  // namespace testsupport
