// The installer of what is missing, on Debian: run as it is, with stand-ins for
// dpkg-query (two packages missing), id, sudo and apt-get that log what they
// were asked, on a PATH that reaches nothing else of the package manager's.

#ifdef __linux__  // the wrapper it goes through reads the kernel's table of locks

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace {

struct User {
    const char* name;
    const char* id;  ///< what `id -u` says
    /// What the stand-ins log, a line each run, the folder of the scripts as <scripts>.
    const char* log;
};

const User kUsers[] = {
    {"Root", "0",
     "DEBIAN_FRONTEND=(unset) apt-get -o DPkg::Lock::Timeout=0 update\n"
     "DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=0 install -y --no-install-recommends cmake "
     "fonts-vlgothic\n"},
    {"OtherUser", "1000",
     "sudo <scripts>/apt-get-waiting update\n"
     "DEBIAN_FRONTEND=(unset) apt-get -o DPkg::Lock::Timeout=0 update\n"
     "sudo env DEBIAN_FRONTEND=noninteractive <scripts>/apt-get-waiting install -y --no-install-recommends cmake "
     "fonts-vlgothic\n"
     "DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=0 install -y --no-install-recommends cmake "
     "fonts-vlgothic\n"},
};

// Test names and failures show the case by its name.
void PrintTo(const User& user, std::ostream* os) { *os << user.name; }

class InstallDeps : public ::testing::TestWithParam<User> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir().mkpath(lockRoot()));
        testsupport::linkPrograms(bin(), {QStringLiteral("bash"), QStringLiteral("dirname"), QStringLiteral("env"),
                                          QStringLiteral("sed"), QStringLiteral("sleep"), QStringLiteral("stat"),
                                          QStringLiteral("tr")});
        const QByteArray log = "'" + QFile::encodeName(dir_.filePath(QStringLiteral("log"))) + "'";
        standIn("dpkg-query",
                "case \"$3\" in cmake|fonts-vlgothic) echo \"dpkg-query: no packages found matching $3\" >&2; exit 1 ;; "
                "esac\nprintf 'install ok installed'\n");
        standIn("id", QByteArray("echo ") + GetParam().id + "\n");
        // Clears the environment, as sudo does by default. It keeps the PATH,
        // to reach the stand-ins, and the lock settings, as sudo's env_keep
        // would: the wrapper then watches the test's locks, not the machine's.
        standIn("sudo", "echo \"sudo $*\" >>" + log
                            + "\nexec env -i PATH=\"$PATH\" APT_LOCK_ROOT=\"$APT_LOCK_ROOT\" "
                              "APT_LOCK_WAIT=\"$APT_LOCK_WAIT\" \"$@\"\n");
        standIn("apt-get", "echo \"DEBIAN_FRONTEND=${DEBIAN_FRONTEND-(unset)} apt-get $*\" >>" + log + "\n");
        // The wrapper is the one beside the script, never one the PATH finds.
        standIn("apt-get-waiting", "echo \"apt-get-waiting of the PATH $*\" >>" + log + "\n");
    }

    void standIn(const char* name, const QByteArray& body) const
    {
        testsupport::writeScript(bin() + u'/' + QString::fromLatin1(name), body);
    }

    QString bin() const { return dir_.filePath(QStringLiteral("bin")); }
    QString lockRoot() const { return dir_.filePath(QStringLiteral("root")); }
    QString log() const { return QString::fromUtf8(testsupport::readBytes(dir_.filePath(QStringLiteral("log")))); }

private:
    QTemporaryDir dir_;
};

TEST_P(InstallDeps, InstallsWhatIsMissingThroughTheWrapperBesideIt)
{
    const QString scripts = QDir::cleanPath(QStringLiteral(TESTS_SOURCE_DIR "/../scripts"));
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), bin());
    environment.insert(QStringLiteral("APT_LOCK_ROOT"), lockRoot());
    // No lock is held: with no wait, apt-get is given a known one.
    environment.insert(QStringLiteral("APT_LOCK_WAIT"), QStringLiteral("0"));

    const testsupport::ProgramRun run =
        testsupport::runToEnd(scripts + QStringLiteral("/install-deps"), {}, environment);

    ASSERT_TRUE(run.ended);
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, QStringLiteral("Installing: cmake fonts-vlgothic\n"));
    EXPECT_EQ(run.errors, QStringList());
    EXPECT_EQ(log(), QString::fromLatin1(GetParam().log).replace(QStringLiteral("<scripts>"), scripts));
}

INSTANTIATE_TEST_SUITE_P(InstallDeps, InstallDeps, ::testing::ValuesIn(kUsers),
                         [](const ::testing::TestParamInfo<User>& info) { return std::string(info.param.name); });

}  // namespace

#endif  // __linux__
