// Converter documents: new, open, save, the companion file, the title, and the
// file types the dialogs are given.

#include "app/file_types.h"
#include "app/gui/dialogs.h"
#include "app/gui/file_type.h"
#include "app/gui/spell_checker.h"
#include "converter/documents.h"
#include "converter/twk_win.h"
#include "tests/test_support.h"
#include "tests/write_failure.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using Files = std::map<QString, QByteArray>;

const QString kUntitledTitle = QStringLiteral("Kestrova_tarnwick");

/// Every file under the folder (hidden ones included), by path relative to it.
Files filesIn(const QString& folder)
{
    Files files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] = testsupport::readBytes(path);
    }
    return files;
}

/// A folder for the documents and a user who answers the dialogs from a list:
/// each answer is a file name in the folder, the empty text meaning Cancel.
/// Every request is logged as "<kind> <type name>[ <offered name>]".
class Documents : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        gui::setDialogResponderForTesting([this](const gui::DialogRequest& request) -> gui::FolderItemPtr {
            QString line = request.kind == gui::DialogRequest::Kind::Open ? QStringLiteral("Open ")
                           : request.kind == gui::DialogRequest::Kind::Save ? QStringLiteral("Save ")
                                                                            : QStringLiteral("SelectFolder ");
            line += request.fileTypeName;
            if (request.kind == gui::DialogRequest::Kind::Save)
                line += u' ' + request.defaultName;
            if (answers_.empty()) {
                requests_.push_back(line + QStringLiteral(" (unexpected)"));
                return nullptr;
            }
            requests_.push_back(line);
            const QString answer = answers_.front();
            answers_.pop_front();
            return answer.isEmpty() ? nullptr : gui::FolderItem::fromPath(path(answer));
        });
    }

    void TearDown() override
    {
        gui::setDialogResponderForTesting({});
        testsupport::closeAllWindows();
    }

    QString path(const QString& name) const { return dir_.filePath(name); }
    /// The bound file's name relative to the folder; empty when unbound.
    QString bound(const gui::FolderItemPtr& file) const
    {
        return file ? QDir(dir_.path()).relativeFilePath(file->path()) : QString();
    }

    QTemporaryDir dir_;
    std::deque<QString> answers_;
    std::vector<QString> requests_;
};

// ---------------------------------------------------------------------------
// Save presses

struct SavePress {
    bool c;
    bool basic;
    QString cText;
    QString bText;
    std::vector<QString> answers;
};

struct SaveScenario {
    const char* name;
    Files before;
    std::vector<SavePress> presses;
    std::vector<QString> requests;
    Files after;
    QString cFile;
    QString bFile;
    QString title;
};

const QString kSaveC = QStringLiteral("Save CFILE Untitiled.c");
const QString kSaveB = QStringLiteral("Save BFILE Untitiled.bas");

const SaveScenario kSaveScenarios[] = {
    {"CThenBasicWritesTheCompanion",
     {},
     {{true, false, "int blink;\n", "", {"blink.c"}}, {true, true, "int blink2;\n", "", {}}},
     {kSaveC},
     {{"blink.c", "int blink2;\n"}, {"blink.bas", ""}},
     "blink.c", "blink.bas", "blink"},
    {"StemEndsAtTheFirstDot",
     {},
     {{true, false, "int a;\r", "", {"blink.old.c"}}, {false, true, "int a;\r", "10 REM\r", {}}},
     {kSaveC},
     {{"blink.old.c", "int a;\r"}, {"blink.bas", "10 REM\r"}},
     "blink.old.c", "blink.bas", "blink"},
    {"NameWithoutDotIsItsOwnStem",
     {},
     {{true, true, "int m;\n", "10 END\n", {"Makefile"}}},
     {kSaveC},
     {{"Makefile", "int m;\n"}, {"Makefile.bas", "10 END\n"}},
     "Makefile", "Makefile.bas", "Makefile"},
    {"EmptyStemKeepsTheTitle",
     {},
     {{true, false, "int e;\n", "", {".c"}}, {false, true, "", "10 E\n", {}}},
     {kSaveC},
     {{".c", "int e;\n"}, {".bas", "10 E\n"}},
     ".c", ".bas", kUntitledTitle},
    {"BothBoxesOnAFreshWindowAskOnce",
     {},
     {{true, true, "int b;\r\n", "10 PRINT\r\n", {"blink.c"}}},
     {kSaveC},
     {{"blink.c", "int b;\r\n"}, {"blink.bas", "10 PRINT\r\n"}},
     "blink.c", "blink.bas", "blink"},
    {"CancelledCDialogThenBasicDialog",
     {},
     {{true, true, "int c;\n", "10 OUT\n", {"", "out.bas"}}},
     {kSaveC, kSaveB},
     {{"out.bas", "10 OUT\n"}},
     "", "out.bas", "out"},
    {"BasicFirstThenCReplacesTheCompanion",
     {{"out.c", "old text\n"}},
     {{false, true, "int o;\n", "10 O\n", {"out.bas"}}, {true, false, "int o2;\n", "10 O\n", {}}},
     {kSaveB},
     {{"out.c", "int o2;\n"}, {"out.bas", "10 O\n"}},
     "out.c", "out.bas", "out"},
    {"BothUncheckedDoesNothing",
     {},
     {{false, false, "int n;\n", "10 N\n", {}}},
     {},
     {},
     "", "", kUntitledTitle},
    {"CancelledCDialogBindsNothing",
     {},
     {{true, false, "int x;\n", "", {""}}},
     {kSaveC},
     {},
     "", "", kUntitledTitle},
    {"UncreatableCFileStillLetsBasicAsk",
     {},
     {{true, true, "int u;\n", "10 U\n", {"no such folder/blink.c", "out.bas"}}},
     {kSaveC, kSaveB},
     {{"out.bas", "10 U\n"}},
     "", "out.bas", "out"},
    {"EmptyAreasSaveEmptyFiles",
     {{"blank.c", "was here\n"}},
     {{true, true, "", "", {"blank.c"}}},
     {kSaveC},
     {{"blank.c", ""}, {"blank.bas", ""}},
     "blank.c", "blank.bas", "blank"},
};

// Test names and failures show the case by its name.
void PrintTo(const SaveScenario& c, std::ostream* os) { *os << c.name; }

class SaveScenarios : public Documents, public ::testing::WithParamInterface<SaveScenario> {};

TEST_P(SaveScenarios, WritesBindsAndNames)
{
    const SaveScenario& scenario = GetParam();
    for (const auto& [name, bytes] : scenario.before)
        testsupport::writeBytes(path(name), bytes);

    TWKWin* window = Module1::NewTWK();
    for (const SavePress& press : scenario.presses) {
        window->CSaveCB()->setValue(press.c);
        window->BSaveCB()->setValue(press.basic);
        window->cEF()->setText(press.cText);
        window->bEF()->setText(press.bText);
        answers_.assign(press.answers.begin(), press.answers.end());
        window->SaveBB()->click();
        EXPECT_TRUE(answers_.empty()) << "dialogs not asked";
    }

    EXPECT_EQ(requests_, scenario.requests);
    EXPECT_EQ(filesIn(dir_.path()), scenario.after);
    EXPECT_EQ(bound(window->mCFile), scenario.cFile);
    EXPECT_EQ(bound(window->mBFile), scenario.bFile);
    EXPECT_EQ(window->Title(), scenario.title);
    EXPECT_EQ(testsupport::openConverterWindows().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Documents, SaveScenarios, ::testing::ValuesIn(kSaveScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Documents, TitleIgnoresTheBasicFileWhileTheCFileIsBound)
{
    TWKWin* window = Module1::NewTWK();
    window->mCFile = gui::FolderItem::fromPath(path(".c"));
    window->mBFile = gui::FolderItem::fromPath(path("out.bas"));
    window->SetTitle();
    EXPECT_EQ(window->Title(), kUntitledTitle);

    window->mCFile.reset();
    window->SetTitle();
    EXPECT_EQ(window->Title(), QStringLiteral("out"));
}

// ---------------------------------------------------------------------------
// New and Open

TEST_F(Documents, NewMakesOneMoreWindowAndLeavesThisOne)
{
    TWKWin* first = Module1::NewTWK();
    first->cEF()->setText(QStringLiteral("int edited;\n"));
    first->NewBB()->click();
    first->NewBB()->click();

    const std::vector<TWKWin*> windows = testsupport::openConverterWindows();
    ASSERT_EQ(windows.size(), 3u);
    const QString sample = TWKWin::make<TWKWin>()->cEF()->Text();
    for (TWKWin* window : windows) {
        if (window == first)
            continue;
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->Title(), kUntitledTitle);
        EXPECT_EQ(window->cEF()->Text(), sample);
        EXPECT_FALSE(window->mCFile);
        EXPECT_FALSE(window->mBFile);
    }
    EXPECT_EQ(first->cEF()->Text(), QStringLiteral("int edited;\n"));
    EXPECT_TRUE(requests_.empty());
}

TEST_F(Documents, OpenCancelledMakesNoWindow)
{
    TWKWin* window = Module1::NewTWK();
    answers_ = {""};
    window->OpenBB()->click();
    EXPECT_EQ(requests_, std::vector<QString>{QStringLiteral("Open CFILE")});
    EXPECT_EQ(testsupport::openConverterWindows(), std::vector<TWKWin*>{window});
}

TEST_F(Documents, OpenUnreadableFileMakesNoWindow)
{
    QDir(dir_.path()).mkdir(QStringLiteral("folder.c"));
    for (const char* name : {"missing.c", "folder.c"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Module1::OpenTWK(gui::FolderItem::fromPath(path(name))), nullptr);
        EXPECT_TRUE(testsupport::openConverterWindows().empty());
    }
}

TEST_F(Documents, OpenShowsTheFileInANewWindowWithDefaultsElsewhere)
{
    const QByteArray demo = "int usr_demo(int v)\r\n{\r\n\treturn v; // \xc3\xa4\r\n}\r\n";
    testsupport::writeBytes(path("demo.c"), demo);
    TWKWin* pressed = Module1::NewTWK();
    const QString sample = pressed->cEF()->Text();
    TWKWin* defaults = TWKWin::make<TWKWin>();

    answers_ = {"demo.c"};
    pressed->OpenBB()->click();
    EXPECT_EQ(requests_, std::vector<QString>{QStringLiteral("Open CFILE")});

    std::vector<TWKWin*> windows = testsupport::openConverterWindows();
    ASSERT_EQ(windows.size(), 3u);
    TWKWin* opened = nullptr;
    for (TWKWin* window : windows) {
        if (window != pressed && window != defaults)
            opened = window;
    }
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_EQ(opened->cEF()->Text(), QString::fromUtf8(demo));
    EXPECT_EQ(opened->Title(), QStringLiteral("demo"));
    EXPECT_EQ(bound(opened->mCFile), QStringLiteral("demo.c"));
    EXPECT_FALSE(opened->mBFile);
    EXPECT_EQ(opened->bEF()->Text(), QString());
    EXPECT_EQ(opened->rEF()->Text(), QString());
    EXPECT_EQ(opened->aOpt()->Text(), defaults->aOpt()->Text());
    EXPECT_EQ(opened->oOpt()->ListIndex(), defaults->oOpt()->ListIndex());
    EXPECT_EQ(opened->sOpt()->Text(), defaults->sOpt()->Text());
    EXPECT_EQ(opened->dOpt()->Text(), defaults->dOpt()->Text());
    EXPECT_EQ(opened->cOpt()->Text(), defaults->cOpt()->Text());
    EXPECT_TRUE(opened->CSaveCB()->Value());
    EXPECT_FALSE(opened->BSaveCB()->Value());

    EXPECT_EQ(pressed->cEF()->Text(), sample);
    EXPECT_EQ(pressed->Title(), kUntitledTitle);
    EXPECT_FALSE(pressed->mCFile);

    // Its BASIC text goes next to the C file, without a dialog.
    opened->CSaveCB()->setValue(false);
    opened->BSaveCB()->setValue(true);
    opened->bEF()->setText(QStringLiteral("10 DEMO\r\n"));
    opened->SaveBB()->click();
    EXPECT_EQ(requests_.size(), 1u);
    EXPECT_EQ(filesIn(dir_.path()), (Files{{"demo.c", demo}, {"demo.bas", "10 DEMO\r\n"}}));
    EXPECT_EQ(bound(opened->mBFile), QStringLiteral("demo.bas"));
}

TEST_F(Documents, SameFileOpenedTwiceGivesTwoWindowsOnIt)
{
    testsupport::writeBytes(path("twice.c"), "int t;\n");
    TWKWin* first = Module1::OpenTWK(gui::FolderItem::fromPath(path("twice.c")));
    TWKWin* second = Module1::OpenTWK(gui::FolderItem::fromPath(path("twice.c")));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(testsupport::openConverterWindows().size(), 2u);
    EXPECT_EQ(bound(first->mCFile), QStringLiteral("twice.c"));
    EXPECT_EQ(bound(second->mCFile), QStringLiteral("twice.c"));

    first->cEF()->setText(QStringLiteral("int first;\n"));
    first->SaveBB()->click();
    EXPECT_EQ(testsupport::readBytes(path("twice.c")), QByteArray("int first;\n"));
    second->cEF()->setText(QStringLiteral("int second;\n"));
    second->SaveBB()->click();
    EXPECT_EQ(testsupport::readBytes(path("twice.c")), QByteArray("int second;\n"));
    EXPECT_TRUE(requests_.empty());
}

// ---------------------------------------------------------------------------
// Byte-for-byte round trips: a document opened and saved without edits is the
// same file, whatever its line ends; its text saved as BASIC is too.

struct RoundTrip {
    const char* name;
    QByteArray bytes;
};

const RoundTrip kRoundTrips[] = {
    {"Utf8WithLf", "int gr\xc3\xbc\xc3\x9f" "e = 1; // \xce\xbb \xe6\x97\xa5\xe6\x9c\xac\n\tint x;\n"},
    {"Crlf", "int a;\r\n\r\n\tint b;\r\nint c;"},
    {"Cr", "#include <stdint.h>\r\r\tint \xc3\xa9;\r"},
    {"NoLineEnd", "int only;"},
    {"Empty", ""},
    {"OnlyLineEnds", "\n\n\n"},
    {"TabsAndTrailingBlanks", "\t\tint a; \t\n \n\t"},
    {"ByteOrderMark", "\xef\xbb\xbfint bom;\n"},
    {"NoBreakSpaceAndLineSeparator", "a\xc2\xa0" "b\xe2\x80\xa8" "c\n"},
};

// Test names and failures show the case by its name.
void PrintTo(const RoundTrip& c, std::ostream* os) { *os << c.name; }

class RoundTrips : public Documents, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(RoundTrips, OpenAndSaveWritesTheSameBytes)
{
    const QByteArray& bytes = GetParam().bytes;
    testsupport::writeBytes(path("doc.c"), bytes);
    TWKWin* window = Module1::OpenTWK(gui::FolderItem::fromPath(path("doc.c")));
    ASSERT_NE(window, nullptr);
    window->bEF()->setText(window->cEF()->Text());
    window->BSaveCB()->setValue(true);
    window->SaveBB()->click();

    EXPECT_TRUE(requests_.empty());
    EXPECT_EQ(filesIn(dir_.path()), (Files{{"doc.c", bytes}, {"doc.bas", bytes}}));
}

INSTANTIATE_TEST_SUITE_P(Documents, RoundTrips, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Atomic save: a write that fails half-way leaves the old file whole and the
// window's binding as it was.

TEST_F(Documents, SaveFailingHalfWayKeepsTheOldFileAndTheBinding)
{
    const QByteArray oldC = "int old_c;\n";
    const QByteArray oldBas = "10 OLD\n";
    const QString bigText = QString(QStringLiteral("int big_array_member;\n")).repeated(5000);

    struct Case {
        const char* name;
        rlim_t limit;
        bool companion;  // BASIC bound, C saved as its companion; else by dialog
        bool written;
    };
    const Case cases[] = {
        {"DialogTargetUnlimited", RLIM_INFINITY, false, true},
        {"DialogTargetLimited", 1000, false, false},
        {"CompanionUnlimited", RLIM_INFINITY, true, true},
        {"CompanionLimited", 1000, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::writeBytes(path("out.c"), oldC);
        testsupport::writeBytes(path("out.bas"), oldBas);
        TWKWin* window = Module1::NewTWK();
        if (c.companion)
            window->mBFile = gui::FolderItem::fromPath(path("out.bas"));
        else
            answers_ = {"out.c"};
        window->cEF()->setText(bigText);

        // The child reports: 1 = C file bound, 2 = title changed.
        const int status = testsupport::runWithFileSizeLimit(c.limit, [&] {
            window->SaveBB()->click();
            return (window->mCFile ? 1 : 0) | (window->Title() != kUntitledTitle ? 2 : 0);
        });
        EXPECT_EQ(status, c.written ? 3 : (c.companion ? 2 : 0));
        EXPECT_EQ(filesIn(dir_.path()),
                  (Files{{"out.c", c.written ? bigText.toUtf8() : oldC}, {"out.bas", oldBas}}));
        testsupport::closeAllWindows();
        answers_.clear();
    }
}

// ---------------------------------------------------------------------------
// File types

TEST(FileTypes, InitializeRegistersTheThreeAndReleaseWithdrawsThem)
{
    struct Row {
        const char* name;
        const char* extension;
        gui::FileTypePtr* global;
    };
    const Row rows[] = {{"CFILE", ".c", &FileTypes1::pCFILE},
                        {"BFILE", ".bas", &FileTypes1::pBFILE},
                        {"TFILE", ".TXT", &FileTypes1::pTFILE}};
    for (const Row& row : rows)
        EXPECT_FALSE(gui::FileType::registered(QLatin1String(row.name))) << row.name;

    FileTypes1::_Initialize();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const gui::FileTypePtr type = gui::FileType::registered(QLatin1String(row.name));
        ASSERT_TRUE(type);
        EXPECT_EQ(type, *row.global);
        EXPECT_TRUE(type->isRegistered());
        EXPECT_EQ(type->Name, QLatin1String(row.name));
        EXPECT_EQ(type->Extensions, QLatin1String(row.extension));
        EXPECT_EQ(type->MacType, QStringLiteral("TEXT"));
        EXPECT_EQ(type->MacCreator, QString());
        EXPECT_EQ(type->UTI, QString());
    }

    FileTypes1::release();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(*row.global);
        EXPECT_FALSE(gui::FileType::registered(QLatin1String(row.name)));
    }
}

TEST(FileTypes, TypesStillHeldAtExitEndCleanly)
{
    // A process that ends without releasing them (an error that ends the loop,
    // say) destroys its globals in whatever order the runtime picks.
    gui::SpellChecker::shared().waitUntilReady();
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        FileTypes1::_Initialize();
        std::exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

/// Answers the next file dialog that opens: notes its filters, offered file and
/// default suffix, then cancels it.
struct NativeDialogSpy {
    QStringList filters;
    QString suffix;
    QStringList selected;

    void arm()
    {
        QTimer::singleShot(0, [this] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                arm();
                return;
            }
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            selected = dialog->selectedFiles();
            dialog->reject();
        });
    }
};

TEST(FileTypes, NativeDialogsOfferOnlyTheNamedType)
{
    FileTypes1::_Initialize();

    NativeDialogSpy open;
    open.arm();
    EXPECT_EQ(gui::GetOpenFolderItem(QStringLiteral("CFILE")), nullptr);
    EXPECT_EQ(open.filters, QStringList{QStringLiteral("CFILE (*.c)")});

    NativeDialogSpy saveC;
    saveC.arm();
    EXPECT_EQ(gui::GetSaveFolderItem(QStringLiteral("CFILE"), QStringLiteral("Untitiled.c")), nullptr);
    EXPECT_EQ(saveC.filters, QStringList{QStringLiteral("CFILE (*.c)")});
    EXPECT_EQ(saveC.suffix, QStringLiteral("c"));
    ASSERT_EQ(saveC.selected.size(), 1);
    EXPECT_TRUE(saveC.selected.first().endsWith(QStringLiteral("/Untitiled.c"))) << qPrintable(saveC.selected.first());

    NativeDialogSpy saveB;
    saveB.arm();
    EXPECT_EQ(gui::GetSaveFolderItem(QStringLiteral("BFILE"), QStringLiteral("Untitiled.bas")), nullptr);
    EXPECT_EQ(saveB.filters, QStringList{QStringLiteral("BFILE (*.bas)")});
    EXPECT_EQ(saveB.suffix, QStringLiteral("bas"));

    FileTypes1::release();
}

}  // namespace
