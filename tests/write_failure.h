#pragma once

// Makes writes fail the way they do for users: half-way, as on a full disk or
// under a quota (a forked child whose files cannot grow past a limit, so that
// write() fails with EFBIG once the limit is reached, or whose folder is a
// small file system that is full), or for want of permission (a forked child
// that runs as an unprivileged user, since root may write anywhere). And keeps
// a read that would never end from taking the test machine with it. The
// parent stays untouched.

#include "app/gui/spell_checker.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef __linux__
#include <sched.h>
#include <sys/mount.h>
#endif

namespace testsupport {

/// The exit status of a child whose preparation could not be made: it could
/// not become an unprivileged user.
constexpr int kNotUnprivileged = 254;
/// The exit status of a child whose preparation could not be made: this
/// machine lets it mount no file system of its own.
constexpr int kNoDiskOfItsOwn = 253;

/// The user id that asUnprivilegedUser takes when the tests run as root.
constexpr uid_t kUnprivilegedId = 65534;

// Preparations of a child: each returns 0 when made, else the status the
// child then exits with.

/// Becomes "nobody" when running as root, so that file permissions hold;
/// else stays the user itself.
inline int asUnprivilegedUser()
{
    if (geteuid() != 0)
        return 0;
    const bool changed =
        setgroups(0, nullptr) == 0 && setgid(kUnprivilegedId) == 0 && setuid(kUnprivilegedId) == 0;
    return changed && geteuid() != 0 ? 0 : kNotUnprivileged;
}

/// No file may grow beyond `limitBytes`: a write past it fails with EFBIG.
inline int withFileSizeLimit(rlim_t limitBytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{limitBytes, limitBytes};
    return setrlimit(RLIMIT_FSIZE, &limit) == 0 ? 0 : 255;
}

/// Both: no file may grow beyond `limitBytes`, and the child is unprivileged.
inline int withFileSizeLimitAsUnprivilegedUser(rlim_t limitBytes)
{
    const int limited = withFileSizeLimit(limitBytes);
    return limited != 0 ? limited : asUnprivilegedUser();
}

/// Mounts a small file system on `folder`, seen by this child alone, and fills
/// it: a new file may still be made there, but no byte written to it.
inline int onFullDisk(const QString& folder)
{
#ifndef __linux__
    static_cast<void>(folder);
    return kNoDiskOfItsOwn;
#else
    const QByteArray path = QFile::encodeName(folder);
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k,mode=0777") != 0)
        return kNoDiskOfItsOwn;
    const int filler = open((path + "/.filler").constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (filler < 0)
        return 255;
    char block[4096] = {};
    while (write(filler, block, sizeof block) > 0) {
    }
    const bool full = errno == ENOSPC && write(filler, block, 1) < 0 && errno == ENOSPC;
    close(filler);
    return full ? 0 : 255;
#endif
}

/// Ends the child by SIGALRM after half a minute, and lets it take no more than
/// a little over what it holds already: a read of something without end fails
/// the test instead of eating the machine's memory, and a read that blocks
/// fails it instead of hanging.
inline int withinBounds()
{
    alarm(30);
    std::ifstream statm("/proc/self/statm");
    unsigned long long pages = 0;
    if (statm >> pages) {
        const rlim_t bytes = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{1} << 30);
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
    }
    return 0;
}

/// Forks a child that runs the preparation, then, when it was made, the body,
/// and exits with the first non-zero result of the two. Returns the child's
/// process id, or -1.
inline pid_t startChild(const std::function<int()>& prepareChild, const std::function<int()>& body)
{
    // A fork copies only this thread: let the dictionary loader finish first so
    // that it holds no lock the child could need.
    gui::SpellChecker::shared().waitUntilReady();
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int prepared = prepareChild();
        _exit(prepared != 0 ? prepared : body());
    }
    return pid;
}

/// Waits for the child to end: its exit status (0 to 255), or -1 when it did
/// not exit normally.
inline int waitForChild(pid_t pid)
{
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// Runs the body in a forked child and returns its result as the child's exit
/// status (0 to 255), or -1 when the child did not exit normally.
inline int runInChild(const std::function<int()>& prepareChild, const std::function<int()>& body)
{
    return waitForChild(startChild(prepareChild, body));
}

/// What a body run in a child reported.
struct ChildReport {
    int status = -1;  ///< as runInChild gives it: 0 once the body has returned
    QString text;     ///< what the body returned
};

/// Runs the body in a forked child prepared by `prepareChild` and hands back
/// the text it returned, through a pipe, which neither a file-size limit, nor a
/// full disk, nor permissions stop.
inline ChildReport reportFromChild(const std::function<int()>& prepareChild, const std::function<QString()>& body)
{
    // Not inherited by what the child runs, which could keep the pipe open.
    int ends[2];
    if (pipe(ends) != 0)
        return {};
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    fcntl(ends[1], F_SETFD, FD_CLOEXEC);
    const pid_t pid = startChild(prepareChild, [&] {
        close(ends[0]);
        const QByteArray bytes = body().toUtf8();
        for (qsizetype written = 0; written < bytes.size();) {
            const ssize_t count = write(ends[1], bytes.constData() + written, bytes.size() - written);
            if (count <= 0)
                return 255;
            written += count;
        }
        return 0;
    });
    close(ends[1]);
    // Read while the child writes, so that no report is too long for the pipe.
    QByteArray text;
    char buffer[4096];
    for (ssize_t count; (count = read(ends[0], buffer, sizeof buffer)) != 0;) {
        if (count < 0 && errno != EINTR)
            break;
        if (count > 0)
            text.append(buffer, count);
    }
    close(ends[0]);
    return {waitForChild(pid), QString::fromUtf8(text)};
}

/// Runs the body in a child process as an unprivileged user ("nobody" when the
/// tests run as root, else the user itself), so that file permissions hold.
/// Returns the body's result as the child's exit status (0 to 255),
/// kNotUnprivileged when the user could not be changed, or -1 when the child
/// did not exit normally.
inline int runUnprivileged(const std::function<int()>& body)
{
    return runInChild(asUnprivilegedUser, body);
}

/// Runs the body in a child process in which no file may grow beyond
/// `limitBytes`, and returns the body's result as the child's exit status
/// (0 to 255), or -1 when the child did not exit normally.
inline int runWithFileSizeLimit(rlim_t limitBytes, const std::function<int()>& body)
{
    return runInChild([limitBytes] { return withFileSizeLimit(limitBytes); }, body);
}

}  // namespace testsupport
