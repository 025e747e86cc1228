// The settings window: its controls, the one instance, the path fields, the
// two folder choosers and what a confirmed or cancelled choice leaves behind.

#include "app/gui/dialogs.h"
#include "converter/twk_win.h"
#include "settings/set_win.h"
#include "settings/settings_file.h"
#include "settings/tool_folders.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <utility>
#include <vector>

namespace {

using Module1::gArmNoneFolder;
using Module1::gPythonFolder;
using Module1::gSettingFile;
using Module1::gTarnwickFolder;

/// A home folder of the test's own, a settings file in it, and a user who
/// answers the folder choosers from a list (the empty text meaning Cancel) and
/// dismisses warnings.
class SettingsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        qputenv("HOME", dir_.path().toUtf8());
        gSettingFile = gui::FolderItem::fromPath(path(QStringLiteral("twk.txt")));
        gui::setDialogResponderForTesting([this](const gui::DialogRequest& request) -> gui::FolderItemPtr {
            requests_.push_back(request);
            if (request.kind == gui::DialogRequest::Kind::Warning)
                return nullptr;  // takes no answer
            if (answers_.empty()) {
                ADD_FAILURE() << "unexpected dialog " << request.title.toStdString();
                return nullptr;
            }
            const QString answer = answers_.front();
            answers_.pop_front();
            return answer.isEmpty() ? nullptr : gui::FolderItem::fromPath(path(answer));
        });
    }

    void TearDown() override
    {
        gui::setDialogResponderForTesting({});
        testsupport::closeAllWindows();
        testsupport::unsetToolFolders();
    }

    QString path(const QString& relative) const { return dir_.filePath(relative); }

    gui::FolderItemPtr folder(const QString& relative) const { return testsupport::makeFolder(path(relative)); }

    QByteArray settingBytes() const { return testsupport::readBytes(gSettingFile->path()); }

    /// A text with %1 standing for the home folder.
    QByteArray inHome(const char* text) const { return QByteArray(text).replace("%1", dir_.path().toUtf8()); }

    /// The browse button of a row (1: conversion script, 2: compiler).
    static gui::PushButton* browseButton(const SetWin* window, int row)
    {
        return row == 1 ? window->PushButton1() : window->PushButton2();
    }
    /// The global that a row (1: conversion script, 2: compiler) sets.
    static gui::FolderItemPtr& rowGlobal(int row) { return row == 1 ? gTarnwickFolder : gArmNoneFolder; }

    /// Makes the folder, opens the settings window and has the user choose
    /// that folder in the row's chooser. Returns the window.
    SetWin* chooseInRow(int row, const QString& relative)
    {
        folder(relative);
        SetWin* window = SetWin::shared();
        window->Show();
        answers_ = {relative};
        QTest::mouseClick(browseButton(window, row), Qt::LeftButton);
        return window;
    }

    /// The folders that the three path fields show, relative to the home
    /// folder; "" for an empty field.
    std::vector<QString> fields(const SetWin* window) const
    {
        std::vector<QString> texts;
        for (const gui::TextField* field : {window->twkEF(), window->ArmEF(), window->PytEF()}) {
            const QString shown = field->Text();
            texts.push_back(shown.isEmpty() ? QString()
                                            : QDir(dir_.path()).relativeFilePath(
                                                  gui::FolderItem::fromShellPath(shown)->path()));
        }
        return texts;
    }

    QTemporaryDir dir_;
    std::deque<QString> answers_;
    std::vector<gui::DialogRequest> requests_;
};

struct ControlRow {
    const char* name;
    QRect place;
    bool visible;
    QString text;
};

TEST_F(SettingsWindow, ControlsStandAtTheirPlacesWithTheirTexts)
{
    SetWin* window = SetWin::shared();
    window->Show();
    testsupport::settle();

    EXPECT_EQ(window->windowTitle(), QStringLiteral("Preferences"));
    EXPECT_EQ(window->contentSize(), QSize(600, 201));
    const QString browse = QStringLiteral("参照");
    const ControlRow rows[] = {
        {"PushButton1", {180, 38, 45, 20}, true, browse},
        {"Label1", {0, 38, 170, 20}, true, QStringLiteral("tarnwick.pyのフォルダ")},
        {"PushButton2", {180, 109, 45, 20}, true, browse},
        {"PushButton3", {180, 141, 45, 20}, false, browse},
        {"Label2", {0, 109, 170, 20}, true, QStringLiteral("arm-none-eabi-gccのフォルダ")},
        {"Label3", {0, 141, 170, 20}, false, QStringLiteral("Pysonのフォルダ")},
        {"Label4", {12, 77, 254, 20}, true, QStringLiteral("Pathが通ってない場合は、設定が必要です")},
        {"Label5", {12, 14, 254, 20}, true, QStringLiteral("tarnwice.pyのフォルダの設定は必須です")},
        {"twkEF", {237, 38, 343, 22}, true, QString()},
        {"ArmEF", {237, 109, 343, 22}, true, QString()},
        {"PytEF", {237, 141, 343, 22}, false, QString()},
    };
    for (const ControlRow& row : rows) {
        SCOPED_TRACE(row.name);
        auto* control = window->content()->findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), row.place);
        EXPECT_EQ(control->isVisibleTo(window), row.visible);
        EXPECT_TRUE(control->toolTip().isEmpty());
        QString text;
        if (auto* button = qobject_cast<QPushButton*>(control))
            text = button->text();
        else if (auto* label = qobject_cast<QLabel*>(control))
            text = label->text();
        else if (auto* field = qobject_cast<QLineEdit*>(control)) {
            text = field->text();
            EXPECT_TRUE(field->isReadOnly());
        }
        EXPECT_EQ(text, row.text);
    }
    EXPECT_TRUE(window->Label1()->alignment() & Qt::AlignRight);
    for (const QLabel* note : {window->Label4(), window->Label5()}) {
        EXPECT_TRUE(note->font().bold());
        EXPECT_TRUE(note->font().underline());
    }
    EXPECT_EQ(window->Label5()->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    EXPECT_NE(window->Label4()->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
}

TEST_F(SettingsWindow, TitleBarHasCloseMinimiseAndMaximiseButNoFullScreenButton)
{
    SetWin* window = SetWin::shared();
    window->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    // CustomizeWindowHint too: without it macOS offers full screen whatever the other flags say.
    EXPECT_EQ(window->windowFlags(), Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                         | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                                         | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
}

TEST_F(SettingsWindow, PathFieldsShowATextOfAnyLength)
{
    SetWin* window = SetWin::shared();
    window->Show();
    testsupport::settle();
    // Longer than the 32,767 characters that a QLineEdit keeps by default.
    const QString shown = QStringLiteral("0123456789").repeated(4000);
    for (gui::TextField* field : {window->twkEF(), window->ArmEF(), window->PytEF()}) {
        SCOPED_TRACE(qPrintable(field->objectName()));
        field->setText(shown);
        EXPECT_EQ(field->Text().size(), shown.size());
        EXPECT_TRUE(field->Text() == shown);
    }
}

TEST_F(SettingsWindow, ResizingMovesNoControl)
{
    SetWin* window = SetWin::shared();
    window->Show();
    testsupport::settle();
    const QRect before = window->ArmEF()->geometry();
    for (const QSize size : {QSize(900, 500), QSize(64, 64)}) {
        window->resize(size.width(), size.height() + (window->height() - window->contentSize().height()));
        testsupport::settle();
        EXPECT_EQ(window->ArmEF()->geometry(), before);
        EXPECT_EQ(window->PushButton2()->geometry(), QRect(180, 109, 45, 20));
    }
}

TEST_F(SettingsWindow, OneWindowAtATimeAndANewOneAfterClosing)
{
    gTarnwickFolder = folder(QStringLiteral("conv"));
    QPointer<TWKWin> a = gui::Window::make<TWKWin>();
    QPointer<TWKWin> b = gui::Window::make<TWKWin>();

    QTest::mouseClick(a->SaveBB1(), Qt::LeftButton);
    QPointer<SetWin> first = gui::Window::findOpen<SetWin>();
    ASSERT_FALSE(first.isNull());
    first->twkEF()->setText(QStringLiteral("left as it is"));
    QTest::mouseClick(b->SaveBB1(), Qt::LeftButton);
    testsupport::settle();
    EXPECT_EQ(SetWin::shared(), first.data());
    EXPECT_EQ(first->twkEF()->Text(), QStringLiteral("left as it is")) << "showing again refills nothing";
    EXPECT_TRUE(QTest::qWaitForWindowActive(first.data()));

    gArmNoneFolder = folder(QStringLiteral("arm/bin"));
    EXPECT_TRUE(first->handleMenuCommand(QStringLiteral("FileClose")));
    testsupport::settle();
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(a.isNull());
    EXPECT_FALSE(b.isNull());

    QTest::mouseClick(a->SaveBB1(), Qt::LeftButton);
    SetWin* second = gui::Window::findOpen<SetWin>();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(fields(second), (std::vector<QString>{"conv", "arm/bin", ""}));
    EXPECT_EQ(second->contentSize(), QSize(600, 201));
}

TEST_F(SettingsWindow, PreferencesBringsBackAMinimisedSettingsWindow)
{
    TWKWin* converter = gui::Window::make<TWKWin>();
    converter->Show();
    QTest::mouseClick(converter->SaveBB1(), Qt::LeftButton);
    QPointer<SetWin> settings = gui::Window::findOpen<SetWin>();
    ASSERT_FALSE(settings.isNull());
    settings->showMinimized();
    converter->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(converter));

    QTest::mouseClick(converter->SaveBB1(), Qt::LeftButton);

    EXPECT_EQ(gui::Window::findOpen<SetWin>(), settings.data()) << "no second settings window";
    EXPECT_TRUE(settings->isVisible());
    EXPECT_FALSE(settings->isMinimized());
    EXPECT_TRUE(QTest::qWaitForWindowActive(settings.data()));
}

TEST_F(SettingsWindow, FieldsShowFoldersThatAreSetAndExist)
{
    gTarnwickFolder = folder(QStringLiteral("with blank"));
    gArmNoneFolder = gui::FolderItem::fromPath(path(QStringLiteral("vanished")));
    gPythonFolder = folder(QStringLiteral("python"));

    SetWin* window = SetWin::shared();
    EXPECT_EQ(window->twkEF()->Text(), gTarnwickFolder->ShellPath()) << "shown in the form the file keeps";
    EXPECT_EQ(window->ArmEF()->Text(), QString());
    EXPECT_EQ(window->PytEF()->Text(), gPythonFolder->ShellPath()) << "filled although invisible";

    QDir(path(QStringLiteral("with blank"))).removeRecursively();
    window->SetFolders();
    EXPECT_EQ(fields(window), (std::vector<QString>{"", "", "python"}));
    EXPECT_TRUE(gTarnwickFolder) << "refreshing changes no global";
}

struct ChooserCase {
    const char* name;
    int row;  // 1: conversion script, 2: compiler
    std::vector<QString> folders;
    const char* global;  // relative; null for unset
    QString initial;     // relative; empty for none
};

const ChooserCase kChooserCases[] = {
    {"ScriptFolderSetAndPresent", 1, {"conv", "Kestrova_tarnwick-master"}, "conv", "conv"},
    {"ScriptFolderMissingFallsBackToTheDefault", 1, {"Kestrova_tarnwick-master"}, "gone", "Kestrova_tarnwick-master"},
    {"ScriptFolderUnsetWithoutDefault", 1, {}, nullptr, ""},
    {"CompilerFolderSetAndPresent", 2, {"gcc", "arm-cs-tools/bin"}, "gcc", "gcc"},
    {"CompilerFolderUnsetOpensInTheDefaultBin", 2, {"arm-cs-tools/bin"}, nullptr, "arm-cs-tools/bin"},
    {"CompilerDefaultWithoutBinGivesNoInitialFolder", 2, {"arm-cs-tools"}, "gone", ""},
};

// Test names and failures show the case by its name.
void PrintTo(const ChooserCase& c, std::ostream* os) { *os << c.name; }

class SettingsWindowChooser : public SettingsWindow, public ::testing::WithParamInterface<ChooserCase> {};

TEST_P(SettingsWindowChooser, OpensWithTheRowsTextsAndStartFolder)
{
    const ChooserCase& c = GetParam();
    for (const QString& name : c.folders)
        folder(name);
    gui::FolderItemPtr& global = rowGlobal(c.row);
    if (c.global)
        global = gui::FolderItem::fromPath(path(QString::fromLatin1(c.global)));
    SetWin* window = SetWin::shared();
    answers_ = {QString()};

    QTest::mouseClick(browseButton(window, c.row), Qt::LeftButton);

    ASSERT_EQ(requests_.size(), 1u);
    const gui::DialogRequest& request = requests_.front();
    EXPECT_EQ(request.kind, gui::DialogRequest::Kind::SelectFolder);
    EXPECT_EQ(request.actionCaption, QStringLiteral("Select"));
    const QString tool = c.row == 1 ? QStringLiteral("tarnwick.py") : QStringLiteral("arm-none-eabi-gcc");
    EXPECT_EQ(request.title, tool + QStringLiteral(" folder..."));
    EXPECT_EQ(request.promptText, QStringLiteral("Select the folder containing ") + tool + QStringLiteral("..."));
    if (c.initial.isEmpty())
        EXPECT_EQ(request.initialDirectory, nullptr);
    else {
        ASSERT_NE(request.initialDirectory, nullptr);
        EXPECT_EQ(request.initialDirectory->path(), path(c.initial));
    }
}

INSTANTIATE_TEST_SUITE_P(SetWin, SettingsWindowChooser, ::testing::ValuesIn(kChooserCases),
                         [](const ::testing::TestParamInfo<ChooserCase>& info) { return std::string(info.param.name); });

/// How the next folder chooser that opens was set up and what it shows; it is
/// then cancelled.
struct ChooserSetUp {
    QString title;
    QString acceptCaption;
    QStringList shownLabels;
    QString directory;
    bool foldersOnly = false;

    void catchNext()
    {
        testsupport::cancelNextFileDialog([this](QFileDialog& dialog) {
            title = dialog.windowTitle();
            acceptCaption = dialog.labelText(QFileDialog::Accept);
            for (const QLabel* label : dialog.findChildren<QLabel*>()) {
                if (label->isVisible())
                    shownLabels << label->text();
            }
            directory = dialog.directory().absolutePath();
            foldersOnly = dialog.fileMode() == QFileDialog::Directory && dialog.testOption(QFileDialog::ShowDirsOnly);
        });
    }
};

TEST_F(SettingsWindow, RealChooserShowsTheRowsTextsAndOpensInItsStartFolder)
{
    gui::setDialogResponderForTesting({});
    const struct {
        int row;
        QString tool;
        QString start;
    } rows[] = {
        {1, QStringLiteral("tarnwick.py"), QStringLiteral("Kestrova_tarnwick-master")},
        {2, QStringLiteral("arm-none-eabi-gcc"), QStringLiteral("arm-cs-tools/bin")},
    };
    SetWin* window = SetWin::shared();
    window->Show();
    for (const auto& row : rows) {
        SCOPED_TRACE(qPrintable(row.tool));
        folder(row.start);
        ChooserSetUp spy;
        spy.catchNext();

        QTest::mouseClick(browseButton(window, row.row), Qt::LeftButton);

        EXPECT_EQ(spy.title, row.tool + QStringLiteral(" folder..."));
        EXPECT_TRUE(spy.shownLabels.contains(QStringLiteral("Select the folder containing ") + row.tool
                                             + QStringLiteral("...")))
            << qPrintable(spy.shownLabels.join(QStringLiteral(" | ")));
        EXPECT_EQ(spy.acceptCaption, QStringLiteral("Select"));
        EXPECT_EQ(spy.directory, path(row.start));
        EXPECT_TRUE(spy.foldersOnly);
    }
    EXPECT_EQ(gTarnwickFolder, nullptr);
    EXPECT_EQ(gArmNoneFolder, nullptr);
    EXPECT_FALSE(QFileInfo::exists(gSettingFile->path())) << "cancelled: nothing saved";
}

struct BrowseCase {
    const char* name;
    int row;  // 1: conversion script, 2: compiler
    // The file after "chosen" is chosen in this row, with the other row's
    // folder found at its default place and the Python folder read from a
    // line written by hand in Latin-1; %1 stands for the home folder.
    const char* saved;
    std::vector<QString> fields;
};

const BrowseCase kBrowseCases[] = {
    {"ScriptRow",
     1,
     "ArmNoneFolder=>%1/arm-cs-tools/bin\nTarnwickFolder=>%1/chosen\nPythonFolder=>'%1/caf\xc3\xa9'\n",
     {"chosen", "arm-cs-tools/bin", "café"}},
    {"CompilerRow",
     2,
     "ArmNoneFolder=>%1/chosen\nTarnwickFolder=>%1/Kestrova_tarnwick-master\nPythonFolder=>'%1/caf\xc3\xa9'\n",
     {"Kestrova_tarnwick-master", "chosen", "café"}},
};

// Test names and failures show the case by its name.
void PrintTo(const BrowseCase& c, std::ostream* os) { *os << c.name; }

class SettingsWindowBrowse : public SettingsWindow, public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(SettingsWindowBrowse, ConfirmedChoiceTakesEffectAndIsSavedWithTheOtherFolders)
{
    const BrowseCase& c = GetParam();
    // Start-up found both rows' folders at their default places; this row's
    // is then replaced by the choice.
    gTarnwickFolder = folder(QStringLiteral("Kestrova_tarnwick-master"));
    gArmNoneFolder = folder(QStringLiteral("arm-cs-tools/bin"));
    folder(QStringLiteral("café"));
    testsupport::writeBytes(gSettingFile->path(), inHome("PythonFolder=>%1/caf\xe9\n"));
    Module1::ReadSetting();
    ASSERT_TRUE(gPythonFolder);

    SetWin* window = chooseInRow(c.row, QStringLiteral("chosen"));

    ASSERT_TRUE(rowGlobal(c.row));
    EXPECT_EQ(rowGlobal(c.row)->path(), path(QStringLiteral("chosen")));
    EXPECT_EQ(settingBytes(), inHome(c.saved)) << "saved in UTF-8, after the choice took effect";
    EXPECT_EQ(fields(window), c.fields);
    EXPECT_EQ(requests_.size(), 1u) << "a choice that is kept tells nothing";
    EXPECT_TRUE(window->isOpen()) << "the window stays open";
}

TEST_P(SettingsWindowBrowse, ChoiceThatCannotBeKeptTakesEffectAndIsToldOf)
{
    const BrowseCase& c = GetParam();
    const QString settingFile = path(QStringLiteral("missing folder/twk.txt"));
    gSettingFile = gui::FolderItem::fromPath(settingFile);

    SetWin* window = chooseInRow(c.row, QStringLiteral("chosen"));

    ASSERT_TRUE(rowGlobal(c.row));
    EXPECT_EQ(rowGlobal(c.row)->path(), path(QStringLiteral("chosen")));
    EXPECT_EQ(fields(window)[c.row - 1], QStringLiteral("chosen"));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing folder"))));
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].kind, gui::DialogRequest::Kind::Warning);
    EXPECT_EQ(requests_[1].message, QStringLiteral("The folder is used until you quit, but it could not be kept in \"")
                                        + settingFile + QStringLiteral("\" for the next start."));
    EXPECT_EQ(requests_[1].detail, QStringLiteral("No such file or directory"));
}

INSTANTIATE_TEST_SUITE_P(SetWin, SettingsWindowBrowse, ::testing::ValuesIn(kBrowseCases),
                         [](const ::testing::TestParamInfo<BrowseCase>& info) { return std::string(info.param.name); });

struct LeftOutCase {
    const char* name;
    int row;  // 1: conversion script, 2: compiler
    const char* chosen;
    // The folders held before the choice, relative to the home folder; null for unset.
    const char* tarnwick;
    const char* arm;
    const char* python;
    // The file and the warning's message afterwards; %1 stands for the home folder.
    const char* saved;
    const char* message;
};

const LeftOutCase kLeftOutCases[] = {
    {"OtherRowsFolderIsNamed", 1, "conv", nullptr, "gcc\nbin", nullptr, "TarnwickFolder=>%1/conv\n",
     "The arm-none-eabi-gcc folder \"%1/gcc\nbin\" is used until you quit, but it will be missing at the next start."},
    {"ChosenFolderIsNamed", 2, "gcc\rbin", "conv", nullptr, nullptr, "TarnwickFolder=>%1/conv\n",
     "The arm-none-eabi-gcc folder \"%1/gcc\rbin\" is used until you quit, but it will be missing at the next start."},
    {"EachFolderLeftOutIsNamed", 2, "gcc", "conv\nx", nullptr, "py\r\nthon", "ArmNoneFolder=>%1/gcc\n",
     "The tarnwick.py folder \"%1/conv\nx\" is used until you quit, but it will be missing at the next start.\n"
     "The Python folder \"%1/py\r\nthon\" is used until you quit, but it will be missing at the next start."},
    {"ChosenFolderWithTheSeparatorIsNamed", 2, "tools=>arm", "conv", nullptr, nullptr, "TarnwickFolder=>%1/conv\n",
     "The arm-none-eabi-gcc folder \"%1/tools=>arm\" is used until you quit, but it will be missing at the next "
     "start."},
    {"FoldersLeftOutForEitherReasonAreNamed", 1, "conv", nullptr, "gcc=>bin", "py\nthon", "TarnwickFolder=>%1/conv\n",
     "The arm-none-eabi-gcc folder \"%1/gcc=>bin\" is used until you quit, but it will be missing at the next start.\n"
     "The Python folder \"%1/py\nthon\" is used until you quit, but it will be missing at the next start."},
};

// Test names and failures show the case by its name.
void PrintTo(const LeftOutCase& c, std::ostream* os) { *os << c.name; }

class SettingsWindowLeftOut : public SettingsWindow, public ::testing::WithParamInterface<LeftOutCase> {};

TEST_P(SettingsWindowLeftOut, WarningNamesTheFolderThatWillBeMissing)
{
    const LeftOutCase& c = GetParam();
    const std::pair<const char*, gui::FolderItemPtr*> held[] = {
        {c.tarnwick, &gTarnwickFolder}, {c.arm, &gArmNoneFolder}, {c.python, &gPythonFolder}};
    for (const auto& [name, global] : held) {
        if (name)
            *global = folder(QString::fromUtf8(name));
    }

    chooseInRow(c.row, QString::fromUtf8(c.chosen));

    ASSERT_TRUE(rowGlobal(c.row));
    EXPECT_EQ(rowGlobal(c.row)->path(), path(QString::fromUtf8(c.chosen)));
    EXPECT_EQ(settingBytes(), inHome(c.saved));
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].kind, gui::DialogRequest::Kind::Warning);
    EXPECT_EQ(requests_[1].message, QString::fromUtf8(inHome(c.message)));
    EXPECT_EQ(requests_[1].detail,
              QStringLiteral("A folder whose path holds a line break or \"=>\" cannot be kept in \"")
                  + gSettingFile->path() + QStringLiteral("\"."));
}

INSTANTIATE_TEST_SUITE_P(SetWin, SettingsWindowLeftOut, ::testing::ValuesIn(kLeftOutCases),
                         [](const ::testing::TestParamInfo<LeftOutCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SettingsWindow, ConfirmingTheSameFolderRewritesTheFile)
{
    const gui::FolderItemPtr before = folder(QStringLiteral("gcc"));
    gArmNoneFolder = before;
    testsupport::writeBytes(gSettingFile->path(), "hand-written line\n");
    SetWin* window = SetWin::shared();
    answers_ = {QStringLiteral("gcc")};

    QTest::mouseClick(window->PushButton2(), Qt::LeftButton);

    EXPECT_NE(gArmNoneFolder, before) << "the chosen item replaces the one held";
    EXPECT_EQ(settingBytes(), ("ArmNoneFolder=>" + before->ShellPath() + "\n").toUtf8());
}

TEST_F(SettingsWindow, CancelChangesNothingAndRefreshesTheFields)
{
    const gui::FolderItemPtr conv = folder(QStringLiteral("conv"));
    gTarnwickFolder = conv;
    const QByteArray saved = "TarnwickFolder=>/elsewhere\n";
    testsupport::writeBytes(gSettingFile->path(), saved);
    SetWin* window = SetWin::shared();
    window->twkEF()->setText(QStringLiteral("stale"));
    window->ArmEF()->setText(QStringLiteral("stale"));
    answers_ = {QString(), QString()};

    QTest::mouseClick(window->PushButton1(), Qt::LeftButton);
    QTest::mouseClick(window->PushButton2(), Qt::LeftButton);

    EXPECT_EQ(requests_.size(), 2u);
    EXPECT_EQ(gTarnwickFolder, conv);
    EXPECT_EQ(gArmNoneFolder, nullptr);
    EXPECT_EQ(settingBytes(), saved);
    EXPECT_EQ(fields(window), (std::vector<QString>{"conv", "", ""}));
}

TEST_F(SettingsWindow, PythonRowButtonOnlyRefreshes)
{
    gPythonFolder = folder(QStringLiteral("python"));
    SetWin* window = SetWin::shared();
    window->PytEF()->setText(QString());

    window->PushButton3()->click();

    EXPECT_TRUE(requests_.empty());
    EXPECT_EQ(fields(window)[2], QStringLiteral("python"));
    EXPECT_FALSE(QFileInfo::exists(gSettingFile->path()));
}

TEST_F(SettingsWindow, ReturnAndEscapePressNoButton)
{
    SetWin* window = SetWin::shared();
    window->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    int presses = 0;
    for (QPushButton* button : {window->PushButton1(), window->PushButton2(), window->PushButton3()}) {
        QObject::connect(button, &QAbstractButton::pressed, [&presses] { ++presses; });
        QObject::connect(button, &QAbstractButton::clicked, [&presses] { ++presses; });
    }
    // A window that is no dialog has no default button to pass the keys to, so
    // only a button that holds the focus would press itself.
    for (QWidget* focused : std::initializer_list<QWidget*>{window->twkEF(), window->ArmEF(), window->PushButton1(),
                                                            window->PushButton2()}) {
        SCOPED_TRACE(qPrintable(focused->objectName()));
        focused->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), focused);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(focused, key);
        testsupport::settle();
        EXPECT_EQ(presses, 0);
    }
    EXPECT_TRUE(requests_.empty());
    EXPECT_TRUE(window->isOpen());
}

}  // namespace
