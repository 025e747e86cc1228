// Start-up in a home and a preferences folder of the test's own: the folders
// and files it makes, the tool folders it finds, the windows it opens, the
// application's menu handlers, and the release of the module globals and its
// order. And the whole process, from start to File > Quit and the exit.

#include "app/file_types.h"
#include "app/gui/application.h"
#include "app/gui/dialogs.h"
#include "app/gui/file_type.h"
#include "app/main_menu_bar.h"
#include "app/startup.h"
#include "converter/twk_win.h"
#include "settings/set_win.h"
#include "settings/tool_folders.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir().mkpath(home()));
        // The configuration folder is not made here: the Open event makes it.
        qputenv("HOME", home().toUtf8());
        qputenv("XDG_CONFIG_HOME", config().toUtf8());
        gui::setDialogResponderForTesting([this](const gui::DialogRequest& request) -> gui::FolderItemPtr {
            dialogs_.push_back(request);
            return nullptr;
        });
    }

    void TearDown() override
    {
        testsupport::closeAllWindows();
        app_.reset();
        releaseModuleGlobals();
        gui::setDialogResponderForTesting({});
    }

    QString home() const { return dir_.filePath(QStringLiteral("home")); }
    QString config() const { return dir_.filePath(QStringLiteral("config")); }
    QString settingsFolder() const { return config() + QStringLiteral("/Tessaly Utilities/Lumatools"); }

    /// Makes folders (ending in "/") and empty files under the home folder.
    void makeInHome(const std::vector<QString>& paths) const
    {
        for (const QString& relative : paths) {
            const QString full = home() + u'/' + relative;
            if (relative.endsWith(u'/'))
                ASSERT_TRUE(QDir().mkpath(full));
            else
                testsupport::writeBytes(full, "");
        }
    }

    void start()
    {
        app_ = _EarlyStartup();
        app_->Event_Open();
        testsupport::settle();
    }

    /// What a global holds, relative to the home folder; "unset" when null.
    QString held(const gui::FolderItemPtr& global) const
    {
        return global ? QDir(home()).relativeFilePath(global->path()) : QStringLiteral("unset");
    }

    QTemporaryDir dir_;
    std::unique_ptr<App> app_;
    std::vector<gui::DialogRequest> dialogs_;
};

struct StartCase {
    const char* name;
    std::vector<QString> inHome;
    // The settings file's bytes, %1 standing for the home folder; null for none.
    const char* settings;
    QString tarnwick;
    QString arm;
    bool settingsWindow;
};

const StartCase kStartCases[] = {
    {"FirstStartWithNothingPresent", {}, nullptr, "unset", "unset", true},
    {"ScriptFolderWithoutTheScript", {"Kestrova_tarnwick-master/other.py"}, nullptr, "unset", "unset", true},
    {"BothDefaultPlacesComplete",
     {"Kestrova_tarnwick-master/tarnwick.py", "arm-cs-tools/bin/arm-none-eabi-gcc"},
     nullptr,
     "Kestrova_tarnwick-master",
     "arm-cs-tools/bin",
     false},
    {"SavedScriptFolderWithoutDefaultPlaces", {"tools/conv/"}, "TarnwickFolder=>%1/tools/conv\n", "tools/conv",
     "unset", false},
    {"SavedScriptFolderInLatinOne", {"café/"}, "TarnwickFolder=>%1/caf\xe9\n", "café", "unset", false},
    {"SavedScriptFolderThatIsGoneOverridesTheDefault",
     {"Kestrova_tarnwick-master/tarnwick.py"},
     "TarnwickFolder=>%1/gone\n",
     "unset",
     "unset",
     true},
    {"CompilerFolderWithoutTheCompilerOpensNoSettingsWindow",
     {"Kestrova_tarnwick-master/tarnwick.py", "arm-cs-tools/bin/"},
     nullptr,
     "Kestrova_tarnwick-master",
     "unset",
     false},
    {"SavedCompilerFolderOverridesTheDefault",
     {"Kestrova_tarnwick-master/tarnwick.py", "arm-cs-tools/bin/arm-none-eabi-gcc", "gcc/bin/"},
     "ArmNoneFolder=>%1/gcc/bin\n",
     "Kestrova_tarnwick-master",
     "gcc/bin",
     false},
    {"ScriptNamedLikeTheFolderIsNotEnough", {"tarnwick.py"}, nullptr, "unset", "unset", true},
};

// Test names and failures show the case by its name.
void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class StartupCases : public Startup, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartupCases, FindsTheToolsAndOpensTheWindows)
{
    const StartCase& c = GetParam();
    makeInHome(c.inHome);
    const QString settingFile = settingsFolder() + QStringLiteral("/twk.txt");
    QByteArray settingBytes;
    if (c.settings) {
        settingBytes = QByteArray(c.settings).replace("%1", home().toUtf8());
        testsupport::writeBytes(settingFile, settingBytes);
    }

    start();

    ASSERT_TRUE(Module1::gSettingFile);
    EXPECT_EQ(Module1::gSettingFile->path(), settingFile);
    EXPECT_TRUE(QFileInfo(settingsFolder()).isDir());
    if (c.settings)
        EXPECT_EQ(testsupport::readBytes(settingFile), settingBytes) << "start-up writes no settings";
    else
        EXPECT_FALSE(QFileInfo::exists(settingFile)) << "start-up makes no settings file";
    EXPECT_EQ(held(Module1::gTarnwickFolder), c.tarnwick);
    EXPECT_EQ(held(Module1::gArmNoneFolder), c.arm);
    EXPECT_EQ(held(Module1::gPythonFolder), QStringLiteral("unset"));

    const std::vector<TWKWin*> converters = testsupport::openConverterWindows();
    ASSERT_EQ(converters.size(), 1u);
    EXPECT_TRUE(converters.front()->isVisible());
    EXPECT_EQ(converters.front()->mCFile, nullptr);
    SetWin* settings = gui::Window::findOpen<SetWin>();
    EXPECT_EQ(settings != nullptr, c.settingsWindow);
    gui::Window* expectedFront = settings ? static_cast<gui::Window*>(settings) : converters.front();
    EXPECT_TRUE(QTest::qWaitForWindowActive(expectedFront));
    EXPECT_EQ(QApplication::activeWindow(), expectedFront);
    EXPECT_TRUE(dialogs_.empty());
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupCases, ::testing::ValuesIn(kStartCases),
                         [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST_F(Startup, SettingsFoldersAlreadyPresentChangeNothing)
{
    ASSERT_TRUE(QDir().mkpath(settingsFolder()));
    makeInHome({"Kestrova_tarnwick-master/tarnwick.py"});
    start();
    EXPECT_EQ(held(Module1::gTarnwickFolder), QStringLiteral("Kestrova_tarnwick-master"));
    EXPECT_EQ(testsupport::openConverterWindows().size(), 1u);
    EXPECT_EQ(gui::Window::findOpen<SetWin>(), nullptr);
    EXPECT_EQ(QDir(settingsFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());
}

TEST_F(Startup, ApplicationCarriesTheBarAndTheTwoHandlers)
{
    app_ = _EarlyStartup();

    EXPECT_EQ(gui::Application::current(), app_.get());
    EXPECT_EQ(app_->installedMenuBar(), MainMenuBar::shared());
    EXPECT_TRUE(app_->hasMenuHandler(QStringLiteral("FileNEW")));
    EXPECT_TRUE(app_->hasMenuHandler(QStringLiteral("FileOpen")));
    for (const char* none : {"FileClose", "FileSave", "FileSaveBASIC", "FilePref", "FileQuit", "EditCopy"})
        EXPECT_FALSE(app_->hasMenuHandler(QString::fromLatin1(none))) << none;
    EXPECT_TRUE(FileTypes1::pCFILE && FileTypes1::pBFILE && FileTypes1::pTFILE);
    EXPECT_TRUE(testsupport::openConverterWindows().empty()) << "no window before the Open event";
}

TEST_F(Startup, FileNewThreeTimesMakesThreeMoreWindows)
{
    makeInHome({"Kestrova_tarnwick-master/tarnwick.py"});
    start();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(app_->handleMenuCommand(QStringLiteral("FileNEW")));
    testsupport::settle();
    EXPECT_EQ(testsupport::openConverterWindows().size(), 4u);
}

TEST_F(Startup, FileOpenCancelledOpensNothingAndIsHandled)
{
    makeInHome({"Kestrova_tarnwick-master/tarnwick.py"});
    start();
    EXPECT_TRUE(app_->handleMenuCommand(QStringLiteral("FileOpen")));
    testsupport::settle();
    ASSERT_EQ(dialogs_.size(), 1u);
    EXPECT_EQ(dialogs_.front().kind, gui::DialogRequest::Kind::Open);
    EXPECT_EQ(dialogs_.front().fileTypeName, QStringLiteral("CFILE"));
    EXPECT_EQ(testsupport::openConverterWindows().size(), 1u);
}

TEST_F(Startup, ReleaseUnsetsEveryModuleGlobal)
{
    makeInHome({"Kestrova_tarnwick-master/tarnwick.py", "arm-cs-tools/bin/arm-none-eabi-gcc"});
    start();
    Module1::gPythonFolder = gui::FolderItem::fromPath(home());
    const std::weak_ptr<gui::FileType> cFile = FileTypes1::pCFILE;
    const std::weak_ptr<MainMenuBar> bar = MainMenuBar::shared();
    testsupport::closeAllWindows();
    app_->setMenuBar(nullptr);

    releaseModuleGlobals();

    EXPECT_FALSE(FileTypes1::pCFILE || FileTypes1::pBFILE || FileTypes1::pTFILE);
    EXPECT_FALSE(Module1::gArmNoneFolder || Module1::gTarnwickFolder || Module1::gPythonFolder
                 || Module1::gSettingFile);
    EXPECT_TRUE(cFile.expired()) << "the file type is let go of";
    EXPECT_TRUE(bar.expired()) << "the menu bar is let go of";
}

/// Installs a stand-in for what a global holds that notes, when it is let go
/// of, whether the global was already unset and whether the menu bar was gone.
template <class T>
void watchRelease(std::shared_ptr<T>& global, const char* name, std::shared_ptr<T> held,
                  const std::weak_ptr<MainMenuBar>& bar, std::vector<std::string>& releases)
{
    T* object = held.get();
    global = std::shared_ptr<T>(object, [&global, name, held, &bar, &releases](T*) mutable {
        releases.push_back(std::string(name) + (global ? ": still set" : ": unset")
                           + (bar.expired() ? ", bar gone" : ", bar kept"));
        held.reset();
    });
}

TEST_F(Startup, ReleaseGoesFileTypesMenuBarFoldersEachGlobalUnsetFirst)
{
    std::vector<std::string> releases;
    const std::weak_ptr<MainMenuBar> bar = MainMenuBar::shared();
    const gui::FolderItemPtr folder = gui::FolderItem::fromPath(home());
    watchRelease(FileTypes1::pCFILE, "pCFILE", std::make_shared<gui::FileType>(), bar, releases);
    watchRelease(FileTypes1::pBFILE, "pBFILE", std::make_shared<gui::FileType>(), bar, releases);
    watchRelease(FileTypes1::pTFILE, "pTFILE", std::make_shared<gui::FileType>(), bar, releases);
    watchRelease(Module1::gSettingFile, "gSettingFile", folder, bar, releases);
    watchRelease(Module1::gPythonFolder, "gPythonFolder", folder, bar, releases);
    watchRelease(Module1::gTarnwickFolder, "gTarnwickFolder", folder, bar, releases);
    watchRelease(Module1::gArmNoneFolder, "gArmNoneFolder", folder, bar, releases);

    releaseModuleGlobals();

    EXPECT_EQ(releases, (std::vector<std::string>{
                            "pBFILE: unset, bar kept",
                            "pCFILE: unset, bar kept",
                            "pTFILE: unset, bar kept",
                            "gArmNoneFolder: unset, bar gone",
                            "gTarnwickFolder: unset, bar gone",
                            "gPythonFolder: unset, bar gone",
                            "gSettingFile: unset, bar gone",
                        }));
    EXPECT_TRUE(bar.expired());
}

struct ProcessCase {
    const char* name;
    std::vector<QString> inHome;
    /// What the probe prints: the windows shown, then the one in front.
    const char* report;
    /// A named pipe in the place of the settings file, which no one writes to.
    bool pipeAsSettingsFile = false;
};

const ProcessCase kProcessCases[] = {
    {"FirstStart", {}, "open: SetWin TWKWin\nfront: SetWin\n"},
    {"ScriptFolderAtItsDefaultPlace", {"Kestrova_tarnwick-master/tarnwick.py"}, "open: TWKWin\nfront: TWKWin\n"},
    {"NamedPipeAsTheSettingsFileIsPassedOver", {"Kestrova_tarnwick-master/tarnwick.py"},
     "open: TWKWin\nfront: TWKWin\n", true},
};

// Test names and failures show the case by its name.
void PrintTo(const ProcessCase& c, std::ostream* os) { *os << c.name; }

class StartupProcess : public Startup, public ::testing::WithParamInterface<ProcessCase> {};

/// The application's whole life in a process of its own, in a home folder
/// with no configuration folder yet: start-up, the Open event, the windows,
/// File > Quit chosen in the front window's menu bar, and the exit.
TEST_P(StartupProcess, RunsFromStartToQuit)
{
    const ProcessCase& c = GetParam();
    makeInHome(c.inHome);
    const QString settingsFile = home() + QStringLiteral("/.config/Tessaly Utilities/Lumatools/twk.txt");
    if (c.pipeAsSettingsFile) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(settingsFile).path()));
        ASSERT_TRUE(testsupport::makeNode(settingsFile, testsupport::Node::NamedPipe));
    }
    // What a desktop session gives; Qt warns at start when it is missing.
    const QString runtime = dir_.filePath(QStringLiteral("runtime"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    ASSERT_TRUE(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home());
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    testsupport::ProgramRun run =
        testsupport::runToEnd(QStringLiteral(QUIT_PROBE_APP), QStringList(), environment, home());
    ASSERT_TRUE(run.ended) << "the application did not quit";

    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, QString::fromLatin1(c.report));
    // The offscreen platform keeps no stacking order and says so whenever a
    // window is raised; anything else on standard error is a fault.
    run.errors.removeAll(QStringLiteral("This plugin does not support raise()"));
    EXPECT_EQ(run.errors, QStringList());

    QStringList made;
    const QString config = home() + QStringLiteral("/.config");
    for (QDirIterator it(config, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        made << QDir(config).relativeFilePath(it.next());
    made.sort();
    QStringList expected{QStringLiteral("Tessaly Utilities"), QStringLiteral("Tessaly Utilities/Lumatools")};
    if (c.pipeAsSettingsFile)
        expected << QStringLiteral("Tessaly Utilities/Lumatools/twk.txt");
    EXPECT_EQ(made, expected) << "the two folders, and no settings file of its own";
    if (c.pipeAsSettingsFile) {
        EXPECT_EQ(testsupport::nodeAt(settingsFile), QStringLiteral("named pipe"));
    }
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupProcess, ::testing::ValuesIn(kProcessCases),
                         [](const ::testing::TestParamInfo<ProcessCase>& info) { return std::string(info.param.name); });

}  // namespace
