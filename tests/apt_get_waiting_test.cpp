// The wrapper that runs apt-get once no other run of the package manager holds
// its locks: run as it is, with its lock files in a folder of the test's own,
// held with fcntl by another process as apt holds them, a short wait, and a
// stand-in apt-get that logs what it was asked.

#ifdef __linux__  // the script reads the kernel's table of locks in /proc

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testsupport::ProgramRun;

struct LockFile {
    const char* name;
    const char* path;  ///< as the script names it under its lock root
};

const LockFile kLockFiles[] = {
    {"Lists", "/var/lib/apt/lists/lock"},
    {"DpkgFrontend", "/var/lib/dpkg/lock-frontend"},
    {"Dpkg", "/var/lib/dpkg/lock"},
    {"Archives", "/var/cache/apt/archives/lock"},
};

// Test names and failures show the case by its name.
void PrintTo(const LockFile& lock, std::ostream* os) { *os << lock.name; }

/// A process of its own that holds a write lock on the whole file, as apt
/// does, from its making until release().
class LockHolder {
public:
    explicit LockHolder(const QString& file)
    {
        // Not inherited by the scripts run meanwhile: one that kept the
        // release pipe open would keep the lock held.
        int ready[2];
        int release[2];
        if (pipe2(ready, O_CLOEXEC) != 0)
            return;
        if (pipe2(release, O_CLOEXEC) != 0) {
            close(ready[0]);
            close(ready[1]);
            return;
        }
        const QByteArray path = QFile::encodeName(file);
        pid_ = fork();
        if (pid_ == 0) {
            // Only system calls: the test program has other threads.
            close(ready[0]);
            close(release[1]);
            const int fd = open(path.constData(), O_RDWR);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            if (fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0 && write(ready[1], "1", 1) == 1) {
                char byte;
                while (read(release[0], &byte, 1) != 0) {
                }
            }
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        release_ = release[1];
        char byte;
        holds_ = pid_ > 0 && read(ready[0], &byte, 1) == 1;
        close(ready[0]);
    }
    ~LockHolder() { release(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    /// Whether it took the lock.
    bool holds() const { return holds_; }
    pid_t pid() const { return pid_; }

    /// Ends the holder, and its lock with it.
    void release()
    {
        if (release_ >= 0)
            close(release_);
        release_ = -1;
        if (pid_ > 0)
            waitpid(pid_, nullptr, 0);
        pid_ = -1;
        holds_ = false;
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool holds_ = false;
};

/// Whether the numbers of the folder's device read the same in hex, as the
/// kernel's table of locks writes them, and in decimal.
bool deviceReadsAlikeInHexAndDecimal(const QString& folder)
{
    struct stat st {};
    if (stat(QFile::encodeName(folder).constData(), &st) != 0)
        return true;
    return major(st.st_dev) < 10 && minor(st.st_dev) < 10;
}

/// Where the lock files go: a folder on a device whose numbers read otherwise
/// in hex than in decimal, so that a script that wrote them in decimal would
/// find no holder. The temporary folder, else the test program's own.
QString placeForLocks()
{
    for (const QString& folder : {QDir::tempPath(), QCoreApplication::applicationDirPath()})
        if (!deviceReadsAlikeInHexAndDecimal(folder))
            return folder;
    std::printf("note: device numbers read alike in hex and decimal here, so their writing is not tried\n");
    return QDir::tempPath();
}

class AptGetWaiting : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        for (const LockFile& lock : kLockFiles)
            testsupport::writeBytes(lockFile(lock), {});
        testsupport::linkPrograms(bin(), {QStringLiteral("bash"), QStringLiteral("sed"), QStringLiteral("sleep"),
                                          QStringLiteral("stat"), QStringLiteral("tr")});
        standInAptGet(0);
    }

    QString lockFile(const LockFile& lock) const { return dir_.filePath(QStringLiteral("root")) + QString::fromLatin1(lock.path); }
    QString bin() const { return dir_.filePath(QStringLiteral("bin")); }
    QString logFile() const { return dir_.filePath(QStringLiteral("apt-get.log")); }

    /// The stand-in apt-get logs its arguments and exits with `status`, saying
    /// so on standard error when that is a failure.
    void standInAptGet(int status)
    {
        const QByteArray failure = status == 0 ? QByteArray() : "echo 'E: the stand-in fails' >&2\n";
        testsupport::writeScript(bin() + QStringLiteral("/apt-get"), "echo \"apt-get $*\" >>'" + logFile().toUtf8()
                                                                          + "'\n" + failure + "exit "
                                                                          + QByteArray::number(status) + "\n");
    }

    /// What apt-get was asked, a line each run. The seconds left of the wait
    /// that it is given depend on how long the wait took, and are left out.
    QString aptGetLog() const
    {
        return QString::fromUtf8(testsupport::readBytes(logFile()))
            .replace(QRegularExpression(QStringLiteral("Timeout=\\d+")), QStringLiteral("Timeout=<left>"));
    }

    /// The script asked to update, waiting for the locks up to `waitSeconds`.
    ProgramRun runUpdate(int waitSeconds, const std::function<void(QProcess&)>& whileRunning = {}) const
    {
        QProcessEnvironment environment;
        // Nothing but the stand-in and the plain tools: no real apt-get.
        environment.insert(QStringLiteral("PATH"), bin());
        environment.insert(QStringLiteral("APT_LOCK_ROOT"), dir_.filePath(QStringLiteral("root")));
        environment.insert(QStringLiteral("APT_LOCK_WAIT"), QString::number(waitSeconds));
        return testsupport::runToEnd(QDir::cleanPath(QStringLiteral(TESTS_SOURCE_DIR "/../scripts/apt-get-waiting")),
                                     {QStringLiteral("update")}, environment, {}, whileRunning);
    }

    /// The line that names the holder of the lock under a message of the script.
    QString heldBy(const LockFile& lock, const LockHolder& holder) const
    {
        // The holder is a fork of the test program: its command line, as the
        // kernel keeps it (the test framework takes its own arguments out of
        // what the program sees).
        const QByteArray command = testsupport::readBytes(QStringLiteral("/proc/self/cmdline")).replace('\0', ' ');
        return QStringLiteral("  %1: process %2: %3")
            .arg(lockFile(lock))
            .arg(holder.pid())
            .arg(QString::fromLocal8Bit(command).trimmed());
    }

private:
    QTemporaryDir dir_{placeForLocks() + QStringLiteral("/apt-get-waiting-XXXXXX")};
};

QString said(const QString& what)
{
    return QStringLiteral("apt-get-waiting: ") + what + QStringLiteral(" for the package manager's lock, held by:");
}

class AptGetWaitingForALock : public AptGetWaiting, public ::testing::WithParamInterface<LockFile> {};

TEST_P(AptGetWaitingForALock, WaitsWhileItIsHeldThenRunsAptGet)
{
    const LockFile& lock = GetParam();
    LockHolder holder(lockFile(lock));
    ASSERT_TRUE(holder.holds());
    const QString holderLine = heldBy(lock, holder);

    const ProgramRun run = runUpdate(30, [&holder](QProcess& process) {
        // Freed once the script has said what it waits for.
        process.setReadChannel(QProcess::StandardError);
        while (!process.peek(1 << 16).contains("held by:\n") && process.waitForReadyRead(60000)) {
        }
        holder.release();
    });

    ASSERT_TRUE(run.ended);
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, (QStringList{said(QStringLiteral("waiting up to 30s")), holderLine}));
    EXPECT_EQ(run.output, QString());
    EXPECT_EQ(aptGetLog(), QStringLiteral("apt-get -o DPkg::Lock::Timeout=<left> update\n"));
}

INSTANTIATE_TEST_SUITE_P(AptGetWaiting, AptGetWaitingForALock, ::testing::ValuesIn(kLockFiles),
                         [](const ::testing::TestParamInfo<LockFile>& info) { return std::string(info.param.name); });

// The lock apt-get itself does not wait for.
TEST_F(AptGetWaiting, GivesUpAfterItsWaitAndNamesTheHolder)
{
    const LockFile& lock = kLockFiles[0];
    const LockHolder holder(lockFile(lock));
    ASSERT_TRUE(holder.holds());

    const ProgramRun run = runUpdate(3);

    ASSERT_TRUE(run.ended) << "it did not give up";
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors, (QStringList{said(QStringLiteral("waiting up to 3s")), heldBy(lock, holder),
                                       said(QStringLiteral("gave up after waiting 3s")), heldBy(lock, holder)}));
    EXPECT_EQ(run.output, QString());
    EXPECT_EQ(aptGetLog(), QString()) << "apt-get ran";
}

struct Outcome {
    const char* name;
    int status;
    QStringList errors;
};

const Outcome kOutcomes[] = {
    {"Success", 0, {}},
    // apt-get's own status for a failure: no other status of the script's.
    {"Failure", 100, {QStringLiteral("E: the stand-in fails")}},
};

void PrintTo(const Outcome& outcome, std::ostream* os) { *os << outcome.name; }

class AptGetWaitingForNoLock : public AptGetWaiting, public ::testing::WithParamInterface<Outcome> {};

// With no lock held, nothing is waited for, and a failure is apt-get's own:
// not tried again.
TEST_P(AptGetWaitingForNoLock, PassesOnAptGetsOutcomeAtOnce)
{
    const Outcome& outcome = GetParam();
    standInAptGet(outcome.status);

    const ProgramRun run = runUpdate(30);

    ASSERT_TRUE(run.ended);
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, outcome.status);
    EXPECT_EQ(run.errors, outcome.errors);
    EXPECT_EQ(run.output, QString());
    EXPECT_EQ(aptGetLog(), QStringLiteral("apt-get -o DPkg::Lock::Timeout=<left> update\n"));
}

INSTANTIATE_TEST_SUITE_P(AptGetWaiting, AptGetWaitingForNoLock, ::testing::ValuesIn(kOutcomes),
                         [](const ::testing::TestParamInfo<Outcome>& info) { return std::string(info.param.name); });

}  // namespace

#endif  // __linux__
