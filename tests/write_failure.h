#pragma once

// Makes a write fail half-way, the way a full disk or a quota does: the body
// runs in a forked child whose files cannot grow past a limit, so that write()
// fails with EFBIG once the limit is reached while the parent stays untouched.

#include "app/gui/spell_checker.h"

#include <csignal>
#include <cstdio>
#include <functional>

#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

/// Runs the body in a child process in which no file may grow beyond
/// `limitBytes`, and returns the body's result as the child's exit status
/// (0 to 255), or -1 when the child did not exit normally.
inline int runWithFileSizeLimit(rlim_t limitBytes, const std::function<int()>& body)
{
    // A fork copies only this thread: let the dictionary loader finish first so
    // that it holds no lock the child could need.
    gui::SpellChecker::shared().waitUntilReady();
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{limitBytes, limitBytes};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(254);
        _exit(body());
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport
