// Converter documents: new, open, save, the companion file, the title, and the
// file types the dialogs are given.

#include "app/file_types.h"
#include "app/gui/dialogs.h"
#include "app/gui/line_ends.h"
#include "app/gui/file_type.h"
#include "app/gui/spell_checker.h"
#include "converter/documents.h"
#include "converter/twk_win.h"
#include "tests/test_support.h"
#include "tests/write_failure.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QTest>
#include <QTextBlock>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include <sys/stat.h>
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
/// Every request is logged as "<kind> <type name>[ <offered name>]"; a warning,
/// which takes no answer, as "Warning <message> <detail>" with the folder's
/// path left out.
class Documents : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        gui::setDialogResponderForTesting([this](const gui::DialogRequest& request) -> gui::FolderItemPtr {
            if (request.kind == gui::DialogRequest::Kind::Warning) {
                QString line = QStringLiteral("Warning ") + request.message + u' ' + request.detail;
                requests_.push_back(line.replace(dir_.path() + u'/', QString()));
                return nullptr;
            }
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

/// A second name in the folder for a file, made before a press.
struct Link {
    enum class Kind { Symbolic, Hard } kind;
    QString name;
    QString target;
};

struct SavePress {
    bool c;
    bool basic;
    QString cText;
    QString bText;
    std::vector<QString> answers;
    std::vector<Link> links = {};  ///< made before the press
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
    {"UncreatableCFileWarnsAndStillLetsBasicAsk",
     {},
     {{true, true, "int u;\n", "10 U\n", {"no such folder/blink.c", "out.bas"}}},
     {kSaveC, "Warning Could not save \"no such folder/blink.c\". No such file or directory", kSaveB},
     {{"out.bas", "10 U\n"}},
     "", "out.bas", "out"},
    {"FolderAsTargetWarnsAndWritesNothing",
     {{"taken.c/inside", "kept\n"}},
     {{true, false, "int f;\n", "", {"taken.c"}}},
     {kSaveC, "Warning Could not save \"taken.c\". Is a directory"},
     {{"taken.c/inside", "kept\n"}},
     "", "", kUntitledTitle},
    // A companion never replaces the other document's own file: it is asked for.
    {"CSavedAsBasThenBasicAsks",
     {},
     {{true, false, "int p;\n", "", {"prog.bas"}}, {false, true, "int p;\n", "10 P\n", {"out.bas"}}},
     {kSaveC, kSaveB},
     {{"prog.bas", "int p;\n"}, {"out.bas", "10 P\n"}},
     "prog.bas", "out.bas", "prog"},
    {"BothBoxesWithCSavedAsBasAskTwice",
     {},
     {{true, true, "int p;\n", "10 P\n", {"prog.bas", "prog-basic.bas"}}},
     {kSaveC, kSaveB},
     {{"prog.bas", "int p;\n"}, {"prog-basic.bas", "10 P\n"}},
     "prog.bas", "prog-basic.bas", "prog"},
    {"BasicSavedAsCThenCAsks",
     {},
     {{false, true, "", "10 Q\n", {"q.c"}}, {true, false, "int q;\n", "10 Q\n", {"q2.c"}}},
     {kSaveB, kSaveC},
     {{"q.c", "10 Q\n"}, {"q2.c", "int q;\n"}},
     "q2.c", "q.c", "q2"},
    {"CancelledCompanionDialogWritesNothing",
     {},
     {{true, true, "int p;\n", "10 P\n", {"prog.bas", ""}}},
     {kSaveC, kSaveB},
     {{"prog.bas", "int p;\n"}},
     "prog.bas", "", "prog"},
    {"EmptyAreasSaveEmptyFiles",
     {{"blank.c", "was here\n"}},
     {{true, true, "", "", {"blank.c"}}},
     {kSaveC},
     {{"blank.c", ""}, {"blank.bas", ""}},
     "blank.c", "blank.bas", "blank"},
    // Nor when the companion is that file under another name, through a link of
    // either kind: it is asked for then too.
    {"BasicCompanionSymlinkedToTheCFileAsks",
     {},
     {{true, false, "int s;\n", "", {"sym.c"}},
      {false, true, "int s;\n", "10 S\n", {"out.bas"}, {{Link::Kind::Symbolic, "sym.bas", "sym.c"}}}},
     {kSaveC, kSaveB},
     {{"sym.c", "int s;\n"}, {"sym.bas", "int s;\n"}, {"out.bas", "10 S\n"}},
     "sym.c", "out.bas", "sym"},
    {"BasicCompanionHardLinkedToTheCFileAsks",
     {},
     {{true, false, "int h;\n", "", {"hard.c"}},
      {false, true, "int h;\n", "10 H\n", {"out.bas"}, {{Link::Kind::Hard, "hard.bas", "hard.c"}}}},
     {kSaveC, kSaveB},
     {{"hard.c", "int h;\n"}, {"hard.bas", "int h;\n"}, {"out.bas", "10 H\n"}},
     "hard.c", "out.bas", "hard"},
    {"CFileSymlinkedToTheBasicCompanionNameAsks",
     {},
     {{true, true, "int a;\n", "10 A\n", {"alias.c", "out.bas"}, {{Link::Kind::Symbolic, "alias.c", "alias.bas"}}}},
     {kSaveC, kSaveB},
     {{"alias.c", "int a;\n"}, {"alias.bas", "int a;\n"}, {"out.bas", "10 A\n"}},
     "alias.c", "out.bas", "alias"},
    {"CCompanionHardLinkedToTheBasicFileAsks",
     {},
     {{false, true, "", "10 B\n", {"b.bas"}},
      {true, false, "int b;\n", "10 B\n", {"out.c"}, {{Link::Kind::Hard, "b.c", "b.bas"}}}},
     {kSaveB, kSaveC},
     {{"b.bas", "10 B\n"}, {"b.c", "10 B\n"}, {"out.c", "int b;\n"}},
     "out.c", "b.bas", "out"},
};

// Test names and failures show the case by its name.
void PrintTo(const SaveScenario& c, std::ostream* os) { *os << c.name; }

class SaveScenarios : public Documents, public ::testing::WithParamInterface<SaveScenario> {
protected:
    /// Gives the target's file the link's name too; fails the test when that cannot be done.
    void makeLink(const Link& link) const
    {
        if (link.kind == Link::Kind::Symbolic) {
            ASSERT_TRUE(QFile::link(path(link.target), path(link.name))) << qPrintable(link.name);
        } else {
            ASSERT_EQ(::link(QFile::encodeName(path(link.target)).constData(),
                             QFile::encodeName(path(link.name)).constData()),
                      0)
                << qPrintable(link.name);
        }
    }
};

TEST_P(SaveScenarios, WritesBindsAndNames)
{
    const SaveScenario& scenario = GetParam();
    for (const auto& [name, bytes] : scenario.before)
        testsupport::writeBytes(path(name), bytes);

    TWKWin* window = Module1::NewTWK();
    for (const SavePress& press : scenario.presses) {
        for (const Link& link : press.links)
            ASSERT_NO_FATAL_FAILURE(makeLink(link));
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

TEST_F(Documents, OpenUnreadableFileWarnsAndMakesNoWindow)
{
    QDir(dir_.path()).mkdir(QStringLiteral("folder.c"));
    const struct {
        const char* name;
        QString warning;
    } cases[] = {
        {"missing.c", QStringLiteral("Warning Could not open \"missing.c\". No such file or directory")},
        {"folder.c", QStringLiteral("Warning Could not open \"folder.c\". Is a directory")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        requests_.clear();
        EXPECT_EQ(Module1::OpenTWK(gui::FolderItem::fromPath(path(c.name))), nullptr);
        EXPECT_TRUE(testsupport::openConverterWindows().empty());
        EXPECT_EQ(requests_, std::vector<QString>{c.warning});
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
    QByteArray piece;
    int times = 1;  ///< the file is the piece this many times over

    QByteArray bytes() const { return piece.repeated(times); }
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
    {"Latin1", "/* caf\xe9 */\nint x;\n"},
    {"ShiftJis", "/* \x93\xfa\x96\x7b\x8c\xea */\r\nint x;\r\n"},
    {"StrayByteInUtf8", "/* \xe6\x97\xa5\xe6\x9c\xac\xff\xe8\xaa\x9e */\nint x;\n"},
    {"MixedLineEnds", "int a;\r\nint b;\nint c;\rint d;\n"},
    {"ParagraphSeparator", "int a;\xe2\x80\xa9int b;\n\xe2\x80\xa9"},
    {"Nul", QByteArray("int a;\0\nint b;", 14)},
    {"NoFinalLineEndAfterMixedOnes", "a\r\nb\rc"},
    {"FiveMebibytesOfAllOfIt",
     QByteArray("int a; /* caf\xe9 \x93\xfa */\r\nint b;\nint \xe2\x80\xa9" "c;\rint d;\0\n\xef\xbb\xbf", 50), 104858},
};

// Test names and failures show the case by its name.
void PrintTo(const RoundTrip& c, std::ostream* os) { *os << c.name; }

class RoundTrips : public Documents, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(RoundTrips, OpenAndSaveWritesTheSameBytes)
{
    const QByteArray bytes = GetParam().bytes();
    testsupport::writeBytes(path("doc.c"), bytes);
    TWKWin* window = Module1::OpenTWK(gui::FolderItem::fromPath(path("doc.c")));
    ASSERT_NE(window, nullptr);
    window->bEF()->setText(window->cEF()->Text());
    window->BSaveCB()->setValue(true);
    window->SaveBB()->click();

    EXPECT_TRUE(requests_.empty());
    // Compared as bytes: a mismatch in 5 MiB is not worth printing.
    const Files files = filesIn(dir_.path());
    EXPECT_EQ(files.size(), 2u);
    EXPECT_TRUE(files.count("doc.c") && files.at("doc.c") == bytes) << "doc.c differs";
    EXPECT_TRUE(files.count("doc.bas") && files.at("doc.bas") == bytes) << "doc.bas differs";
}

INSTANTIATE_TEST_SUITE_P(Documents, RoundTrips, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Documents, EditingOneLineChangesOnlyThatLinesBytes)
{
    const struct {
        const char* name;
        QByteArray before;
        int line;
        QByteArray after;
    } cases[] = {
        {"latin-1", "/* caf\xe9 */\nint na\xefve;\n/* \xe0 la carte */\n", 1,
         "/* caf\xe9 */\nint na\xefve_x;\n/* \xe0 la carte */\n"},
        {"shift-jis", "/* \x93\xfa\x96\x7b */\r\nint a;\r\n", 1, "/* \x93\xfa\x96\x7b */\r\nint a_x;\r\n"},
        {"mixed line ends", "int a;\r\nint b;\nint c;\rint d;\n", 2, "int a;\r\nint b;\nint c_x;\rint d;\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::writeBytes(path("edit.c"), c.before);
        TWKWin* window = Module1::OpenTWK(gui::FolderItem::fromPath(path("edit.c")));
        ASSERT_NE(window, nullptr);
        QTextCursor cursor(window->cEF()->document()->findBlockByNumber(c.line));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.movePosition(QTextCursor::Left);  // before the ";"
        window->cEF()->setTextCursor(cursor);
        QTest::keyClicks(window->cEF(), QStringLiteral("_x"));
        window->SaveBB()->click();
        EXPECT_EQ(testsupport::readBytes(path("edit.c")), c.after);
        testsupport::closeAllWindows();
    }
    EXPECT_TRUE(requests_.empty());
}

TEST_F(Documents, EditsAndTheirUndoChangeOnlyTheBytesTheyTouch)
{
    // Lines ending in CRLF and LF mixed, two misspelled words for the window's
    // spell checking to mark.
    const QByteArray mixed =
        "#include <stdio.h>\r\n/* teh greting */\nint main(void)\r\n{\r\n\tprintf(\"hello\\n\");\n\treturn 0;\r\n}\r\n";
    const QByteArray emptyLine = "a;\r\n\r\nb;\nc;\r\n";
    using Keys = std::function<void(TWKWin*)>;
    auto type = [](const char* text) { return [text](TWKWin* w) { QTest::keyClicks(w->cEF(), QLatin1String(text)); }; };
    auto key = [](Qt::Key k) { return [k](TWKWin* w) { QTest::keyClick(w->cEF(), k); }; };
    auto undo = [](TWKWin* w) { QTest::keySequence(w->cEF(), QKeySequence::Undo); };
    auto selectAll = [](TWKWin* w) { QTest::keySequence(w->cEF(), QKeySequence::SelectAll); };
    auto extendTo = [](int line, int column) {
        return [line, column](TWKWin* w) {
            QTextCursor cursor = w->cEF()->textCursor();
            cursor.setPosition(w->cEF()->document()->findBlockByNumber(line).position() + column,
                               QTextCursor::KeepAnchor);
            w->cEF()->setTextCursor(cursor);
        };
    };
    const struct {
        const char* name;
        QByteArray before;
        int line;
        int column;
        std::vector<Keys> keys;
        QByteArray after;
    } cases[] = {
        {"a key typed at the end of a line", mixed, 5, 10, {type("x")},
         "#include <stdio.h>\r\n/* teh greting */\nint main(void)\r\n{\r\n\tprintf(\"hello\\n\");\n\treturn 0;x\r\n}\r\n"},
        {"a key typed in the marked comment", mixed, 1, 4, {type("y")},
         "#include <stdio.h>\r\n/* tyeh greting */\nint main(void)\r\n{\r\n\tprintf(\"hello\\n\");\n\treturn 0;\r\n}\r\n"},
        {"Return on an empty line", emptyLine, 1, 0, {key(Qt::Key_Return)}, "a;\r\n\r\n\r\nb;\nc;\r\n"},
        {"two lines joined", mixed, 2, 0, {key(Qt::Key_Backspace)},
         "#include <stdio.h>\r\n/* teh greting */int main(void)\r\n{\r\n\tprintf(\"hello\\n\");\n\treturn 0;\r\n}\r\n"},
        {"two lines joined, then Undo", mixed, 2, 0, {key(Qt::Key_Backspace), undo}, mixed},
        {"a line broken by Return, then Undo", mixed, 1, 6, {key(Qt::Key_Return), undo}, mixed},
        {"lines typed over", mixed, 1, 3, {extendTo(5, 2), type("z")},
         "#include <stdio.h>\r\n/* zeturn 0;\r\n}\r\n"},
        {"lines typed over, then Undo", mixed, 1, 3, {extendTo(5, 2), type("z"), undo}, mixed},
        {"all typed over, then Undo", mixed, 0, 0, {selectAll, type("q"), undo}, mixed},
        // A lone CR and an LF that an edit brings together would read back as
        // one CRLF: the line the edit touched takes another line end.
        {"Return at the start of a line after a lone CR", "one\ntwo\rthree\n", 2, 0, {key(Qt::Key_Return)},
         "one\ntwo\r\rthree\n"},
        {"Return at the start of a line after a lone CR, then Undo", "one\ntwo\rthree\n", 2, 0,
         {key(Qt::Key_Return), undo}, "one\ntwo\rthree\n"},
        {"a line emptied between a lone CR and an LF", "a\rb\nc\r", 1, 0, {key(Qt::Key_Delete)}, "a\r\rc\r"},
        {"a line emptied between a lone CR and an LF, then Undo", "a\rb\nc\r", 1, 1,
         {key(Qt::Key_Backspace), undo}, "a\rb\nc\r"},
    };
    ASSERT_TRUE(gui::SpellChecker::shared().waitUntilReady());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::writeBytes(path("edit.c"), c.before);
        TWKWin* window = Module1::OpenTWK(gui::FolderItem::fromPath(path("edit.c")));
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        ASSERT_TRUE(window->cEF()->AutomaticallyCheckSpelling());
        window->repaint();
        QTextCursor cursor(window->cEF()->document()->findBlockByNumber(c.line));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, c.column);
        window->cEF()->setTextCursor(cursor);
        for (const Keys& keys : c.keys) {
            keys(window);
            window->repaint();
        }
        window->SaveBB()->click();
        // Shown with their line ends, line by line.
        auto shown = [](const QByteArray& bytes) {
            return QString::fromLatin1(bytes).replace(u'\r', QLatin1String("<CR>")).replace(u'\n', QLatin1String("<LF>\n"));
        };
        const QByteArray saved = testsupport::readBytes(path("edit.c"));
        EXPECT_EQ(shown(saved), shown(c.after));
        // What is saved opens again as the lines that were shown.
        std::vector<gui::LineEnd> ends;
        EXPECT_EQ(gui::rawTextOf(QString::fromLatin1(saved), ends), window->cEF()->document()->toRawText());
        testsupport::closeAllWindows();
    }
    EXPECT_TRUE(requests_.empty());
}

TEST_F(Documents, ALineCopiedAndPastedKeepsItsNoBreakSpaceAndLineSeparator)
{
    // "int a; // 10<U+00A0>ms<U+2028>" and a line end, in UTF-8.
    const QByteArray line = "int a; // 10\xc2\xa0ms\xe2\x80\xa8\r\n";
    testsupport::writeBytes(path("copy.c"), line);
    TWKWin* window = Module1::OpenTWK(gui::FolderItem::fromPath(path("copy.c")));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->repaint();
    window->cEF()->setFocus();
    QTest::keySequence(window->cEF(), QKeySequence::SelectAll);
    QTest::keySequence(window->cEF(), QKeySequence::Copy);
    window->cEF()->moveCursor(QTextCursor::End);
    QTest::keySequence(window->cEF(), QKeySequence::Paste);
    window->repaint();
    window->SaveBB()->click();
    EXPECT_EQ(testsupport::readBytes(path("copy.c")), line + line);
}

TEST_F(Documents, LinesTypedIntoANewWindowEndAsThePlatformsTextFilesDo)
{
    const QString sample = TWKWin::make<TWKWin>()->cEF()->Text();
    testsupport::closeAllWindows();
    using Edit = std::function<void(gui::TextArea*)>;
    auto at = [](int line, int column) {
        return [=](gui::TextArea* area) {
            QTextCursor cursor(area->document()->findBlockByNumber(line));
            cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
            area->setTextCursor(cursor);
        };
    };
    auto type = [](const char* text) {
        return [=](gui::TextArea* area) { QTest::keyClicks(area, QLatin1String(text)); };
    };
    auto newLine = [](gui::TextArea* area) { QTest::keyClick(area, Qt::Key_Return); };
    auto selectAll = [](gui::TextArea* area) { QTest::keySequence(area, QKeySequence::SelectAll); };
    auto paste = [](const char* text) {
        return [=](gui::TextArea* area) {
            QApplication::clipboard()->setText(QLatin1String(text));
            QTest::keySequence(area, QKeySequence::Paste);
        };
    };
    const struct {
        const char* name;
        std::vector<Edit> edits;
        QString expected;
    } cases[] = {
        {"the sample typed over", {selectAll, type("int x;"), newLine, type("int y;"), newLine},
         QStringLiteral("int x;\nint y;\n")},
        {"lines pasted over the sample", {selectAll, paste("int x;\r\nint y;\r")}, QStringLiteral("int x;\nint y;\n")},
        // The sample's own lines keep their CR.
        {"a line typed after the sample's last", {at(5, 1), newLine, type("int z;")},
         QString(sample).replace(QStringLiteral("}\r"), QStringLiteral("}\nint z;\r"))},
    };
    ASSERT_TRUE(gui::SpellChecker::shared().waitUntilReady());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TWKWin* window = Module1::NewTWK();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        ASSERT_TRUE(window->cEF()->AutomaticallyCheckSpelling());
        window->cEF()->setFocus();
        for (const Edit& edit : c.edits) {
            edit(window->cEF());
            window->repaint();
        }
        answers_.push_back(QStringLiteral("new.c"));
        window->SaveBB()->click();
        EXPECT_EQ(testsupport::readBytes(path("new.c")), c.expected.toUtf8());
        testsupport::closeAllWindows();
    }
}

TEST_F(Documents, LineTypedIntoAFileWithoutLineEndsIsSavedWithLf)
{
    testsupport::writeBytes(path("one.c"), "int a;");
    TWKWin* window = Module1::OpenTWK(gui::FolderItem::fromPath(path("one.c")));
    ASSERT_NE(window, nullptr);
    window->cEF()->moveCursor(QTextCursor::End);
    QTest::keyClick(window->cEF(), Qt::Key_Return);
    QTest::keyClicks(window->cEF(), QStringLiteral("int b;"));
    window->SaveBB()->click();
    EXPECT_EQ(testsupport::readBytes(path("one.c")), QByteArray("int a;\nint b;"));
}

// ---------------------------------------------------------------------------
// Saves that fail: the user is told which file and why, the old file stays
// whole (a write that fails half-way is never put in its place), and the
// window's binding and title stay as they were.

struct FailedSave {
    const char* name;
    enum class Child { Unlimited, FileSizeLimited, Unprivileged, UnprivilegedFileSizeLimited } child;
    mode_t folderMode;
    mode_t fileMode;  ///< of docs/out.c, which holds old text; 0: no such file
    bool companion;   ///< BASIC bound to docs/out.bas, C saved as its companion; else by dialog
    bool written;
    const char* warning;  ///< null: none
};

void PrintTo(const FailedSave& c, std::ostream* os) { *os << c.name; }

using Child = FailedSave::Child;

const FailedSave kFailedSaves[] = {
    {"DialogTargetUnlimited", Child::Unlimited, 0777, 0666, false, true, nullptr},
    {"DialogTargetOverTheSizeLimit", Child::FileSizeLimited, 0777, 0666, false, false,
     "Warning Could not save \"docs/out.c\". File too large"},
    {"CompanionUnlimited", Child::Unlimited, 0777, 0666, true, true, nullptr},
    {"CompanionOverTheSizeLimit", Child::FileSizeLimited, 0777, 0666, true, false,
     "Warning Could not save \"docs/out.c\". File too large"},
    {"ReadOnlyFile", Child::Unprivileged, 0777, 0444, false, false,
     "Warning Could not save \"docs/out.c\". Existing file docs/out.c is not writable"},
    {"NewFileInReadOnlyFolder", Child::Unprivileged, 0555, 0, false, false,
     "Warning Could not save \"docs/out.c\". Permission denied"},
    {"CompanionInReadOnlyFolder", Child::Unprivileged, 0555, 0, true, false,
     "Warning Could not save \"docs/out.c\". Permission denied"},
    {"WritableFileInReadOnlyFolderIsWrittenInPlace", Child::Unprivileged, 0555, 0666, false, true, nullptr},
    // Written in place, a write that fails half-way is undone.
    {"WritableFileInReadOnlyFolderOverTheSizeLimit", Child::UnprivilegedFileSizeLimited, 0555, 0666, false, false,
     "Warning Could not save \"docs/out.c\". File too large"},
    {"CompanionInReadOnlyFolderOverTheSizeLimit", Child::UnprivilegedFileSizeLimited, 0555, 0666, true, false,
     "Warning Could not save \"docs/out.c\". File too large"},
};

class FailedSaves : public Documents, public ::testing::WithParamInterface<FailedSave> {};

TEST_P(FailedSaves, WarnAndLoseNothing)
{
    const FailedSave& c = GetParam();
    const QByteArray oldC = "int old_c;\n";
    const QByteArray oldBas = "10 OLD\n";
    const QString bigText = QString(QStringLiteral("int big_array_member;\n")).repeated(5000);
    const QString docs = path("docs");
    auto setMode = [](const QString& file, mode_t mode) {
        ASSERT_EQ(chmod(QFile::encodeName(file).constData(), mode), 0) << qPrintable(file);
    };
    testsupport::writeBytes(docs + QStringLiteral("/out.bas"), oldBas);
    if (c.fileMode) {
        testsupport::writeBytes(docs + QStringLiteral("/out.c"), oldC);
        setMode(docs + QStringLiteral("/out.c"), c.fileMode);
    }
    // What the child's dialogs were asked comes back through this file.
    const QString report = path("report");
    testsupport::writeBytes(report, {});
    setMode(report, 0666);
    setMode(dir_.path(), 0755);
    setMode(docs, c.folderMode);

    TWKWin* window = Module1::NewTWK();
    if (c.companion)
        window->mBFile = gui::FolderItem::fromPath(docs + QStringLiteral("/out.bas"));
    else
        answers_ = {"docs/out.c"};
    window->cEF()->setText(bigText);

    // The child reports: 1 = C file bound, 2 = title changed.
    const auto save = [&] {
        window->SaveBB()->click();
        QStringList asked(requests_.begin(), requests_.end());
        QFile out(report);
        if (!out.open(QIODevice::WriteOnly) || out.write(asked.join(u'\n').toUtf8()) < 0)
            return 9;
        return (window->mCFile ? 1 : 0) | (window->Title() != kUntitledTitle ? 2 : 0);
    };
    int status = -1;
    switch (c.child) {
    case Child::Unlimited: status = testsupport::runWithFileSizeLimit(RLIM_INFINITY, save); break;
    case Child::FileSizeLimited: status = testsupport::runWithFileSizeLimit(1000, save); break;
    case Child::Unprivileged: status = testsupport::runUnprivileged(save); break;
    case Child::UnprivilegedFileSizeLimited:
        status = testsupport::runInChild([] { return testsupport::withFileSizeLimitAsUnprivilegedUser(1000); }, save);
        break;
    }
    setMode(docs, 0777);
    ASSERT_NE(status, testsupport::kNotUnprivileged) << "the child could not be set up";

    EXPECT_EQ(status, c.written ? 3 : (c.companion ? 2 : 0));
    QStringList expected;
    if (!c.companion)
        expected << QStringLiteral("Save CFILE Untitiled.c");
    if (c.warning)
        expected << QString::fromUtf8(c.warning);
    EXPECT_EQ(QString::fromUtf8(testsupport::readBytes(report)), expected.join(u'\n'));
    Files after{{"out.bas", oldBas}};
    if (c.written)
        after["out.c"] = bigText.toUtf8();
    else if (c.fileMode)
        after["out.c"] = oldC;
    EXPECT_EQ(filesIn(docs), after);
}

INSTANTIATE_TEST_SUITE_P(Documents, FailedSaves, ::testing::ValuesIn(kFailedSaves),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Only plain files are opened and saved, and a save keeps the file it
// replaces the same file.

/// What a press does with a node of some kind in the place of a document.
struct NodeCase {
    const char* name;  ///< the document's name in the folder
    testsupport::PlaceMaker make;
    const char* reason;
};

class NodeDocuments : public Documents {
protected:
    /// A converter window as the user has it: shown, painted, spell checking on.
    TWKWin* shownWindow()
    {
        EXPECT_TRUE(gui::SpellChecker::shared().waitUntilReady());
        TWKWin* window = Module1::NewTWK();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        EXPECT_TRUE(window->cEF()->AutomaticallyCheckSpelling());
        window->repaint();
        return window;
    }

    /// Presses the button in a child that may neither block nor fill the
    /// memory; reports the dialogs asked, then the window's C binding and
    /// title, then how many converter windows are open.
    QString pressInChild(TWKWin* window, gui::BevelButton* button)
    {
        const testsupport::ChildReport report = testsupport::reportFromChild(testsupport::withinBounds, [&] {
            button->click();
            testsupport::settle();
            QStringList lines(requests_.begin(), requests_.end());
            lines << (bound(window->mCFile).isEmpty() ? QStringLiteral("unbound") : bound(window->mCFile))
                  << window->Title() << QString::number(testsupport::openConverterWindows().size());
            return lines.join(u'\n');
        });
        EXPECT_EQ(report.status, 0) << "the child blocked, ran out of memory or crashed";
        return report.text;
    }
};

const auto nodeOf = testsupport::nodeMaker;
const auto linkToNodeOf = testsupport::nodeBehindLinkMaker;

TEST_F(NodeDocuments, OpenOfWhatIsNotAPlainFileWarnsAtOnceAndMakesNoWindow)
{
    using testsupport::Node;
    const NodeCase cases[] = {
        {"pipe.c", nodeOf(Node::NamedPipe), "It is a named pipe (FIFO), not a plain file"},
        {"zero.c", linkToNodeOf(Node::ZeroDevice), "It is a device, not a plain file"},
        {"socket.c", nodeOf(Node::Socket), "It is a socket, not a plain file"},
        {"huge.c", testsupport::tooLargeFileMaker(),
         "File too large: it holds more than 16 MiB, the most this application reads"},
    };
    TWKWin* window = shownWindow();
    for (const NodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.make(path(c.name)))
            continue;
        answers_ = {c.name};
        EXPECT_EQ(pressInChild(window, window->OpenBB()),
                  QStringLiteral("Open CFILE\nWarning Could not open \"%1\". %2\nunbound\n%3\n1")
                      .arg(QLatin1String(c.name), QLatin1String(c.reason), kUntitledTitle));
    }
}

TEST_F(NodeDocuments, SaveOverAPipeOrADeviceWarnsAndLeavesIt)
{
    using testsupport::Node;
    const NodeCase cases[] = {
        {"pipe.c", nodeOf(Node::NamedPipe), "It is a named pipe (FIFO), not a plain file"},
        {"null.c", linkToNodeOf(Node::NullDevice), "It is a device, not a plain file"},
        {"socket.c", linkToNodeOf(Node::Socket), "It is a socket, not a plain file"},
    };
    TWKWin* window = shownWindow();
    QTest::keyClicks(window->cEF(), QStringLiteral("int saved;"));
    window->repaint();
    for (const NodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.make(path(c.name)))
            continue;
        const QString before = testsupport::nodeAt(path(c.name));
        const QString target = testsupport::nodeAt(path(c.name) + QStringLiteral(".target"));
        answers_ = {c.name};
        EXPECT_EQ(pressInChild(window, window->SaveBB()),
                  QStringLiteral("Save CFILE Untitiled.c\nWarning Could not save \"%1\". %2\nunbound\n%3\n1")
                      .arg(QLatin1String(c.name), QLatin1String(c.reason), kUntitledTitle));
        EXPECT_EQ(testsupport::nodeAt(path(c.name)), before);
        EXPECT_EQ(testsupport::nodeAt(path(c.name) + QStringLiteral(".target")), target);
    }
}

TEST_F(NodeDocuments, SaveKeepsTheOpenedFileTheSameFile)
{
    const uid_t nobody = testsupport::kUnprivilegedId;
    const struct {
        const char* name;
        uid_t owner;
        mode_t mode;
        bool hardLink;
    } cases[] = {
        {"a second hard link", geteuid(), 0644, true},
        {"another user's file that is read-only to all, saved by root", nobody, 0444, false},
        {"another user's set-user-ID program with a second link, saved by root", nobody, 04755, true},
    };
    ASSERT_TRUE(gui::SpellChecker::shared().waitUntilReady());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.owner == nobody && geteuid() != 0) {
            std::printf("skipped \"%s\": it needs the tests to run as root\n", c.name);
            continue;
        }
        const QString doc = path("doc.c");
        const QString other = path("other.c");
        QFile::remove(doc);
        QFile::remove(other);
        testsupport::writeBytes(doc, "int old;\r\n");
        const QByteArray name = QFile::encodeName(doc);
        ASSERT_EQ(chown(name.constData(), c.owner, c.owner == nobody ? nobody : getegid()), 0);
        ASSERT_EQ(chmod(name.constData(), c.mode), 0);
        if (c.hardLink) {
            ASSERT_EQ(::link(name.constData(), QFile::encodeName(other).constData()), 0);
        }
        const testsupport::FileIdentity before = testsupport::FileIdentity::of(doc);

        TWKWin* window = Module1::OpenTWK(gui::FolderItem::fromPath(doc));
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        window->repaint();
        window->cEF()->moveCursor(QTextCursor::End);
        QTest::keyClicks(window->cEF(), QStringLiteral("int new;"));
        window->repaint();
        window->SaveBB()->click();

        EXPECT_TRUE(requests_.empty());
        EXPECT_EQ(testsupport::readBytes(doc), "int old;\r\nint new;");
        const testsupport::FileIdentity after = testsupport::FileIdentity::of(doc);
        EXPECT_EQ(after.owner, before.owner) << after;
        EXPECT_EQ(after.group, before.group) << after;
        EXPECT_EQ(after.mode, before.mode) << after;
        EXPECT_EQ(after.links, before.links) << after;
        if (c.hardLink) {
            EXPECT_EQ(testsupport::readBytes(other), "int old;\r\nint new;") << "the other name keeps the file";
        }
        EXPECT_EQ(filesIn(dir_.path()).size(), c.hardLink ? 2u : 1u) << "no temporary file is left";
        testsupport::closeAllWindows();
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

/// What a native file dialog offered: its filters, offered file and default suffix.
struct OfferedFiles {
    QStringList filters;
    QString suffix;
    QStringList selected;

    /// Notes what the next file dialog offers, then cancels it.
    void catchNext()
    {
        testsupport::cancelNextFileDialog([this](QFileDialog& dialog) {
            filters = dialog.nameFilters();
            suffix = dialog.defaultSuffix();
            selected = dialog.selectedFiles();
        });
    }
};

TEST(FileTypes, NativeDialogsOfferOnlyTheNamedType)
{
    FileTypes1::_Initialize();

    OfferedFiles open;
    open.catchNext();
    EXPECT_EQ(gui::GetOpenFolderItem(QStringLiteral("CFILE")), nullptr);
    EXPECT_EQ(open.filters, QStringList{QStringLiteral("CFILE (*.c)")});

    OfferedFiles saveC;
    saveC.catchNext();
    EXPECT_EQ(gui::GetSaveFolderItem(QStringLiteral("CFILE"), QStringLiteral("Untitiled.c")), nullptr);
    EXPECT_EQ(saveC.filters, QStringList{QStringLiteral("CFILE (*.c)")});
    EXPECT_EQ(saveC.suffix, QStringLiteral("c"));
    ASSERT_EQ(saveC.selected.size(), 1);
    EXPECT_TRUE(saveC.selected.first().endsWith(QStringLiteral("/Untitiled.c"))) << qPrintable(saveC.selected.first());

    OfferedFiles saveB;
    saveB.catchNext();
    EXPECT_EQ(gui::GetSaveFolderItem(QStringLiteral("BFILE"), QStringLiteral("Untitiled.bas")), nullptr);
    EXPECT_EQ(saveB.filters, QStringList{QStringLiteral("BFILE (*.bas)")});
    EXPECT_EQ(saveB.suffix, QStringLiteral("bas"));

    FileTypes1::release();
}

}  // namespace
