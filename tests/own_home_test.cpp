// The test program's folders of its own: where Qt keeps what it keeps per
// user while the tests run, and that a run, down to the one that only lists
// the tests, leaves the home of whoever runs it as it found it.

#include "app/gui/dialogs.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QProcessEnvironment>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

bool isWithin(const QString& path, const QString& folder)
{
    const QString relative = QDir(folder).relativeFilePath(path);
    return relative == u'.' || !relative.startsWith(QStringLiteral(".."));
}

/// Everything under the folder, hidden or not, relative to it and sorted.
QStringList everythingUnder(const QString& folder)
{
    QStringList found;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

TEST(OwnHome, EveryPerUserFolderLiesInATemporaryFolderOfTheProgramsOwn)
{
    const QString home = QDir::homePath();
    const QString root = QFileInfo(home).path();
    const passwd* user = getpwuid(getuid());
    ASSERT_TRUE(user);
    EXPECT_FALSE(isWithin(home, QString::fromLocal8Bit(user->pw_dir))) << "the user's home is " << user->pw_dir;
    // Right in the temporary folder, the one TMPDIR names when it is set.
    EXPECT_EQ(QFileInfo(root).path(), QDir::tempPath());

    QStringList where;
    for (const char* name :
         {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"})
        where << QString::fromLatin1(name) + u'=' + QDir(root).relativeFilePath(qEnvironmentVariable(name));
    const std::pair<const char*, QStandardPaths::StandardLocation> kQtsView[] = {
        {"home", QStandardPaths::HomeLocation},           {"configuration", QStandardPaths::GenericConfigLocation},
        {"cache", QStandardPaths::GenericCacheLocation}, {"data", QStandardPaths::GenericDataLocation},
        {"runtime", QStandardPaths::RuntimeLocation},
    };
    for (const auto& [name, location] : kQtsView)
        where << QString::fromLatin1(name) + u'=' + QDir(root).relativeFilePath(QStandardPaths::writableLocation(location));
    EXPECT_EQ(where, (QStringList{
                         "HOME=home",
                         "XDG_CONFIG_HOME=home/.config",
                         "XDG_CACHE_HOME=home/.cache",
                         "XDG_DATA_HOME=home/.local/share",
                         "XDG_STATE_HOME=home/.local/state",
                         "XDG_RUNTIME_DIR=runtime",
                         "home=home",
                         "configuration=home/.config",
                         "cache=home/.cache",
                         "data=home/.local/share",
                         "runtime=runtime",
                     }));

    // Qt takes a runtime folder that is not private to the user for none.
    struct stat runtime {};
    ASSERT_EQ(stat(qPrintable(qEnvironmentVariable("XDG_RUNTIME_DIR")), &runtime), 0);
    EXPECT_EQ(runtime.st_mode & 07777, 0700u);
    EXPECT_EQ(runtime.st_uid, getuid());
}

// The file dialog keeps the folders it was shown, as the user's, in Qt's own
// settings file of the configuration folder.
TEST(OwnHome, FileDialogKeepsItsHistoryInTheProgramsOwnHome)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    gui::SelectFolderDialog dialog;
    dialog.InitialDirectory = gui::FolderItem::fromPath(dir.path());
    testsupport::cancelNextFileDialog([](QFileDialog&) {});

    EXPECT_EQ(dialog.ShowModal(), nullptr);

    const QString qtSettings = QDir::homePath() + QStringLiteral("/.config/QtProject.conf");
    ASSERT_TRUE(QFileInfo::exists(qtSettings));
    EXPECT_EQ(QSettings(qtSettings, QSettings::IniFormat).value(QStringLiteral("FileDialog/history")).toStringList(),
              QStringList{QUrl::fromLocalFile(dir.path()).toString()});
}

struct RunCase {
    const char* name;
    QStringList arguments;
    /// Printed on standard output when the run did what it was asked to.
    const char* done;
};

const RunCase kRunCases[] = {
    // As CTest's discovery runs it while the tests are built.
    {"ListingTheTests", {QStringLiteral("--gtest_list_tests")}, "  FileDialogKeepsItsHistoryInTheProgramsOwnHome\n"},
    {"ACaseThatOpensAFileDialog",
     {QStringLiteral("--gtest_filter=OwnHome.FileDialogKeepsItsHistoryInTheProgramsOwnHome")},
     "[  PASSED  ] 1 test.\n"},
    // With a TMPDIR of its own, that the case then finds its folders in.
    {"ACaseThatLooksWhereItsFoldersAre",
     {QStringLiteral("--gtest_filter=OwnHome.EveryPerUserFolderLiesInATemporaryFolderOfTheProgramsOwn")},
     "[  PASSED  ] 1 test.\n"},
};

// Test names and failures show the case by its name.
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class OwnHomeRun : public ::testing::TestWithParam<RunCase> {};

/// The test program run as a user would run it: with a home and XDG folders
/// of the user's and, as outside a desktop session, no runtime folder.
TEST_P(OwnHomeRun, LeavesTheHomeOfWhoeverRunsItAlone)
{
    const RunCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString usersHome = dir.filePath(QStringLiteral("home"));
    const QString temporary = dir.filePath(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkpath(usersHome));
    ASSERT_TRUE(QDir().mkpath(temporary));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), usersHome);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), usersHome + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), usersHome + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), usersHome + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), usersHome + QStringLiteral("/.local/state"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.insert(QStringLiteral("TMPDIR"), temporary);
    testsupport::ProgramRun run =
        testsupport::runToEnd(QCoreApplication::applicationFilePath(), c.arguments, environment);
    ASSERT_TRUE(run.ended) << "the test program did not end";

    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains(QString::fromLatin1(c.done))) << qPrintable(run.output);
    // The offscreen platform says so whenever a window asks for what it
    // cannot do (raise, size hints); any other warning is a fault.
    run.errors.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("This plugin does not support ")); });
    EXPECT_EQ(run.errors, QStringList());
    EXPECT_EQ(everythingUnder(usersHome), QStringList());
    EXPECT_EQ(everythingUnder(temporary), QStringList()) << "the program's own folders are removed at its end";
}

// Rather than run the tests in the home of whoever runs them, or make one
// elsewhere than asked.
TEST(OwnHome, TheProgramStopsWithAMessageWhenItCanMakeNoHome)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("no such folder"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), missing);

    const testsupport::ProgramRun run = testsupport::runToEnd(
        QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_list_tests")}, environment);

    ASSERT_TRUE(run.ended) << "the test program did not end";
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, QString());
    EXPECT_EQ(run.errors, QStringList{QStringLiteral("tarnwick_tests: cannot make a home of its own under ") + missing});
}

INSTANTIATE_TEST_SUITE_P(OwnHome, OwnHomeRun, ::testing::ValuesIn(kRunCases),
                         [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

}  // namespace
