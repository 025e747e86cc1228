#include "app/gui/spell_checker.h"
#include "app/gui/text_area.h"

#include "app/gui/runtime.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <functional>
#include <memory>

namespace {

struct Mark {
    int start;
    int length;
    bool operator==(const Mark&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Mark& mark)
{
    return out << "(" << mark.start << "," << mark.length << ")";
}

/// The spelling marks that the area's layout holds for one block.
std::vector<Mark> marksOf(const QTextBlock& block)
{
    std::vector<Mark> marks;
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (range.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline)
            marks.push_back({range.start, range.length});
    }
    return marks;
}

class TextArea : public ::testing::Test {
protected:
    void SetUp() override
    {
        host_ = std::make_unique<QWidget>();
        host_->resize(420, 220);
        area_ = new gui::TextArea(host_.get());
        area_->setGeometry(0, 0, 420, 220);
    }

    void TearDown() override
    {
        host_.reset();
        testsupport::settle();
    }

    /// Shows the area and has it painted, as it would be on screen.
    void showAndPaint()
    {
        host_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host_.get()));
        lastGrab_ = area_->grab().toImage();
    }

    /// The dictionary must be there: the machine set-up installs it, and without
    /// it nothing is ever marked, so a missing one would hide every fault.
    void requireDictionary()
    {
        ASSERT_TRUE(gui::SpellChecker::shared().waitUntilReady())
            << "no hunspell en_US dictionary found (package hunspell-en-us)";
        QApplication::processEvents();
    }

    std::unique_ptr<QWidget> host_;
    gui::TextArea* area_ = nullptr;
    QImage lastGrab_;
};

TEST_F(TextArea, TextGivesBackTheLineEndsItWasGiven)
{
    const QString cases[] = {
        QStringLiteral("#include <stdint.h>\r\rint16_t f(void)\r{\r}\r"),
        QStringLiteral("one\ntwo\n\nthree"),
        QStringLiteral("one\r\ntwo\r\n\r\nthree\r\n"),
        QStringLiteral("\r\r\r"),
        QStringLiteral("\r\nleading"),
        QStringLiteral("no line end at all"),
        QString(),
        // Tabs, no-break spaces and other blanks are text, not layout.
        QStringLiteral("a\tb\u00A0c\u2009d\r\t\u00A0\r"),
        // A line separator inside a line is a character of that line.
        QStringLiteral("a\u2028b\rc"),
        // Every line keeps its own line end, whatever the first one is.
        QStringLiteral("int a;\r\nint b;\nint c;\rint d;\n"),
        QStringLiteral("\n\r\n\r\r\n\n"),
        // The editor breaks lines at these as well; they come back as they were.
        QStringLiteral("a\u2029b\nc\uFDD0d\uFDD1e\u2029"),
        QStringLiteral("\u2029only"),
        // NUL and the code points that stand for bytes that are not UTF-8.
        QStringLiteral("nul") + QChar(0) + QStringLiteral("\r") + QChar(0xDCE9) + QChar(0xDCFF) + u'\r',
    };
    for (const QString& text : cases) {
        SCOPED_TRACE(qPrintable(QString(text).replace(u'\r', QLatin1String("<CR>")).replace(u'\n', QLatin1String("<LF>"))));
        area_->setText(text);
        EXPECT_EQ(area_->Text(), text);
    }
}

TEST_F(TextArea, TypedNewLinesGetTheAreasLineEnd)
{
    const struct {
        QString given;
        QString expected;
    } cases[] = {
        {QStringLiteral("ab\r"), QStringLiteral("ab\r\rcd\ref")},
        {QStringLiteral("ab\n"), QStringLiteral("ab\n\ncd\nef")},
        {QStringLiteral("ab\r\n"), QStringLiteral("ab\r\n\r\ncd\r\nef")},
    };
    host_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host_.get()));
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(QString(c.given).replace(u'\r', QLatin1String("<CR>")).replace(u'\n', QLatin1String("<LF>"))));
        area_->setText(c.given);
        area_->moveCursor(QTextCursor::End);
        QTest::keyClick(area_, Qt::Key_Return);
        QTest::keyClicks(area_, QStringLiteral("cd"));
        // Shift+Return, which a rich editor turns into a line separator, is a new line too.
        QTest::keyClick(area_, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(area_, QStringLiteral("ef"));
        EXPECT_EQ(area_->Text(), c.expected);
    }
}

TEST_F(TextArea, AnAreaWithoutALineEndUsesThePlatforms)
{
    host_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host_.get()));
    const QString cases[] = {
        QString(),                        // never given a text
        QStringLiteral("ab"),             // given one without a line end...
        QStringLiteral("ab\u2029"),       // ...or with a break that is no line end of a file
    };
    for (const QString& given : cases) {
        SCOPED_TRACE(qPrintable(given));
        // What an earlier text had is forgotten.
        area_->setText(QStringLiteral("earlier\r"));
        area_->setText(given);
        area_->moveCursor(QTextCursor::End);
        QTest::keyClick(area_, Qt::Key_Return);
        QTest::keyClicks(area_, QStringLiteral("cd"));
        EXPECT_EQ(area_->Text(), given + gui::EndOfLine() + QStringLiteral("cd"));
    }
}

TEST_F(TextArea, EditingLeavesEveryOtherLineEndAsItWas)
{
    // The area's line end is CRLF, the first; the other lines end otherwise.
    const QString given = QStringLiteral("int a;\r\nint b;\nint c;\rint d;\u2029int e;\n");
    host_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host_.get()));
    auto cursorAt = [this](int line, int column) {
        QTextCursor cursor(area_->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        area_->setTextCursor(cursor);
    };
    const struct {
        const char* name;
        std::function<void()> edit;
        QString expected;
    } cases[] = {
        {"a letter typed in a line",
         [&] { cursorAt(1, 3); QTest::keyClicks(area_, QStringLiteral("X")); },
         QStringLiteral("int a;\r\nintX b;\nint c;\rint d;\u2029int e;\n")},
        {"a line typed after a line",
         [&] { cursorAt(2, 6); QTest::keyClick(area_, Qt::Key_Return); QTest::keyClicks(area_, QStringLiteral("new")); },
         QStringLiteral("int a;\r\nint b;\nint c;\r\nnew\rint d;\u2029int e;\n")},
        {"a line typed before a line",
         [&] { cursorAt(1, 0); QTest::keyClicks(area_, QStringLiteral("new")); QTest::keyClick(area_, Qt::Key_Return); },
         QStringLiteral("int a;\r\nnew\r\nint b;\nint c;\rint d;\u2029int e;\n")},
        {"two lines joined",
         [&] { cursorAt(2, 0); QTest::keyClick(area_, Qt::Key_Backspace); },
         QStringLiteral("int a;\r\nint b;int c;\rint d;\u2029int e;\n")},
        {"lines pasted inside a line",
         [&] { cursorAt(2, 4); area_->textCursor().insertText(QStringLiteral("x\ny\rz")); },
         QStringLiteral("int a;\r\nint b;\nint x\r\ny\r\nzc;\rint d;\u2029int e;\n")},
        {"a line break typed and taken back",
         [&] { cursorAt(2, 6); QTest::keyClick(area_, Qt::Key_Return); QTest::keyClick(area_, Qt::Key_Backspace); },
         given},
        {"a line break typed and undone",
         [&] { cursorAt(3, 2); QTest::keyClick(area_, Qt::Key_Return); area_->undo(); },
         given},
        {"pasted lines undone",
         [&] { cursorAt(2, 4); area_->textCursor().insertText(QStringLiteral("x\ny\rz")); area_->undo(); },
         given},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        area_->setText(given);
        c.edit();
        EXPECT_EQ(area_->Text(), c.expected);
    }
}

TEST_F(TextArea, OrdinaryTextWrapsAtWordsAndALongRunWithoutBreakAnywhere)
{
    const QString words = QStringLiteral("return the doubled value of val to the caller ").repeated(40);
    const QString blob = QStringLiteral("\\x7f").repeated(600);  // 2400 characters, not one break
    // Three-letter words, each followed by the glue: four characters a word.
    auto glued = [](char16_t glue, int words) { return (QStringLiteral("val") + QChar(glue)).repeated(words); };
    const struct {
        const char* name;
        QString text;
        std::function<void()> thenEdit;
        QTextOption::WrapMode mode;
    } cases[] = {
        {"ordinary text", words, {}, QTextOption::WrapAtWordBoundaryOrAnywhere},
        {"a blob", blob, {}, QTextOption::WrapAnywhere},
        {"a blob in a line of words", words + blob + words, {}, QTextOption::WrapAnywhere},
        {"a run just short enough", QString(2000, u'x') + u' ' + QString(2000, u'y'),
         {}, QTextOption::WrapAtWordBoundaryOrAnywhere},
        {"a blob pasted into ordinary text", words,
         [&] { area_->textCursor().insertText(blob); }, QTextOption::WrapAnywhere},
        {"a blob typed into ordinary text", words + QString(2000, u'x'),
         [&] { area_->moveCursor(QTextCursor::End); QTest::keyClicks(area_, QStringLiteral("x")); },
         QTextOption::WrapAnywhere},
        // Pasted from a web page: the layout never breaks at these spaces.
        {"words glued by no-break spaces", glued(u'\u00A0', 600), {}, QTextOption::WrapAnywhere},
        {"words glued by narrow no-break spaces", glued(u'\u202F', 600), {}, QTextOption::WrapAnywhere},
        {"words glued by figure spaces", glued(u'\u2007', 600), {}, QTextOption::WrapAnywhere},
        {"a glued run typed past the longest", glued(u'\u00A0', 499),
         [&] { area_->moveCursor(QTextCursor::End); QTest::keyClicks(area_, QStringLiteral("vwxyz")); },
         QTextOption::WrapAnywhere},
        {"a glued run just short enough", glued(u'\u00A0', 499) + u' ' + glued(u'\u00A0', 499),
         {}, QTextOption::WrapAtWordBoundaryOrAnywhere},
        // Every line of a text set is looked at, not the last alone.
        {"a blob on the first of three lines", blob + u'\r' + words + u'\r' + words, {}, QTextOption::WrapAnywhere},
        {"a blob on the middle one of three", words + u'\n' + blob + u'\n' + words, {}, QTextOption::WrapAnywhere},
        // Two runs short enough joined by a key typed over the blank between them:
        // the run reaches past the edit on both sides.
        {"two runs joined into one too long", QString(1500, u'x') + u' ' + QString(1500, u'y'),
         [&] {
             QTextCursor blank(area_->document());
             blank.setPosition(1500);
             blank.setPosition(1501, QTextCursor::KeepAnchor);
             area_->setTextCursor(blank);
             QTest::keyClicks(area_, QStringLiteral("z"));
         },
         QTextOption::WrapAnywhere},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        area_->setText(c.text);
        if (c.thenEdit)
            c.thenEdit();
        showAndPaint();
        EXPECT_EQ(area_->wordWrapMode(), c.mode);
        // Either way nothing runs off to the right.
        const QTextLayout* layout = area_->document()->firstBlock().layout();
        EXPECT_GT(layout->lineCount(), 1);
        for (int i = 0; i < layout->lineCount(); ++i)
            EXPECT_LE(layout->lineAt(i).naturalTextWidth(), area_->viewport()->width()) << "line " << i;
    }

    // Lines of ordinary text end at word boundaries.
    area_->setText(words);
    showAndPaint();
    const QTextLayout* layout = area_->document()->firstBlock().layout();
    for (int i = 0; i + 1 < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        EXPECT_EQ(words.at(line.textStart() + line.textLength() - 1), u' ') << "line " << i;
    }
}

TEST_F(TextArea, CopyAndCutPutExactlyTheSelectedCharactersOnTheClipboard)
{
    const QString line = QStringLiteral("int a; // 10\u00A0ms\u2028next");
    const struct {
        const char* name;
        QString text;
        int from;
        int to;
        QString copied;
    } cases[] = {
        {"a no-break space and a line separator", line + QStringLiteral("\r\n"), 0, int(line.size()), line},
        {"lines, each break as LF", QStringLiteral("a\u00A0b\r\nc\u2028d\r\ne"), 1, 8,
         QStringLiteral("\u00A0b\nc\u2028d\n")},
    };
    showAndPaint();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QKeySequence::StandardKey take : {QKeySequence::Copy, QKeySequence::Cut}) {
            area_->setText(c.text);
            QTextCursor selection(area_->document());
            selection.setPosition(c.from);
            selection.setPosition(c.to, QTextCursor::KeepAnchor);
            area_->setTextCursor(selection);
            QApplication::clipboard()->clear();
            QTest::keySequence(area_, take);
            EXPECT_EQ(QApplication::clipboard()->text(), c.copied);
            // Pasted over the selection, or where it was cut, it is what was there.
            QTest::keySequence(area_, QKeySequence::Paste);
            EXPECT_EQ(area_->Text(), c.text);
        }
    }
}

/// An area with the hooks by which Qt hands it data to insert opened up.
class InsertingArea : public gui::TextArea {
public:
    using gui::TextArea::TextArea;
    using gui::TextArea::canInsertFromMimeData;
    using gui::TextArea::insertFromMimeData;
};

TEST_F(TextArea, NoSourceOrASourceWithoutDataInsertsNothing)
{
    const QString text = QStringLiteral("ab\r\ncd\n");
    QMimeData empty;
    QMimeData lines;
    lines.setText(QStringLiteral("x\ny"));
    const struct {
        const char* name;
        const QMimeData* source;
        bool canInsert;
        QString after;
    } cases[] = {
        {"no source", nullptr, false, text},
        {"a source without data, as the X clipboard gives when nothing owns it", &empty, false, text},
        {"text", &lines, true, QStringLiteral("ax\r\nyb\r\ncd\n")},
    };
    auto* area = new InsertingArea(host_.get());  // the host owns it
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        area->setText(text);
        area->moveCursor(QTextCursor::NextCharacter);
        EXPECT_EQ(area->canInsertFromMimeData(c.source), c.canInsert);
        area->insertFromMimeData(c.source);
        EXPECT_EQ(area->Text(), c.after);
    }
}

TEST_F(TextArea, PastingAClipboardWithoutDataChangesNothing)
{
    const QString text = QStringLiteral("ab\r\ncd\n");
    // What the X clipboard holds when nothing owns it. The clipboard takes the data.
    QApplication::clipboard()->setMimeData(std::make_unique<QMimeData>().release());
    showAndPaint();
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}) {
        SCOPED_TRACE(qPrintable(keys.toString()));
        area_->setText(text);
        area_->moveCursor(QTextCursor::NextCharacter);
        QTest::keySequence(area_, keys);
        EXPECT_EQ(area_->Text(), text);
    }
}

TEST_F(TextArea, PaintingMarksExactlyTheMisspelledWords)
{
    requireDictionary();
    area_->setAutomaticallyCheckSpelling(true);
    const struct {
        QString text;
        std::vector<Mark> marks;
    } cases[] = {
        {QStringLiteral("The quikc brown fox"), {{4, 5}}},
        {QStringLiteral("The quick brown fox"), {}},
        {QStringLiteral("two wrods, then\u00A0mroe"), {{4, 5}, {16, 4}}},
        {QStringLiteral("don't wrrite"), {{6, 6}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.text));
        area_->setText(c.text);
        showAndPaint();
        EXPECT_EQ(marksOf(area_->document()->firstBlock()), c.marks);
    }
}

TEST_F(TextArea, TheUnderlineIsDrawnInTheFirstPaint)
{
    requireDictionary();
    const QString text = QStringLiteral("The quikc brown fox");
    area_->setText(text);
    showAndPaint();
    const QImage plain = lastGrab_;

    area_->setAutomaticallyCheckSpelling(true);
    showAndPaint();
    const QImage marked = lastGrab_;
    ASSERT_EQ(plain.size(), marked.size());

    // Only the columns under "quikc" may differ.
    QTextCursor cursor(area_->document());
    cursor.setPosition(4);
    const int left = area_->cursorRect(cursor).left() + area_->viewport()->x();
    cursor.setPosition(9);
    const int right = area_->cursorRect(cursor).right() + area_->viewport()->x();
    int changedInside = 0;
    int changedOutside = 0;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            if (plain.pixel(x, y) == marked.pixel(x, y))
                continue;
            if (x >= left - 2 && x <= right + 2)
                ++changedInside;
            else
                ++changedOutside;
        }
    }
    EXPECT_GT(changedInside, 0);
    EXPECT_EQ(changedOutside, 0);
}

TEST_F(TextArea, EditedBlocksAreCheckedAgain)
{
    requireDictionary();
    area_->setAutomaticallyCheckSpelling(true);
    area_->setText(QStringLiteral("The quikc fox\rA fine line"));
    showAndPaint();
    const QTextBlock first = area_->document()->firstBlock();
    EXPECT_EQ(marksOf(first), (std::vector<Mark>{{4, 5}}));
    EXPECT_EQ(marksOf(first.next()), std::vector<Mark>{});

    // Mend the word, spoil the second line.
    QTextCursor cursor(area_->document());
    cursor.setPosition(4);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    cursor.insertText(QStringLiteral("quick"));
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral(" zzqx"));
    showAndPaint();
    EXPECT_EQ(marksOf(area_->document()->firstBlock()), std::vector<Mark>{});
    EXPECT_EQ(marksOf(area_->document()->firstBlock().next()), (std::vector<Mark>{{12, 4}}));
}

TEST_F(TextArea, OnlyBlocksThatComeIntoViewAreChecked)
{
    requireDictionary();
    area_->setAutomaticallyCheckSpelling(true);
    QStringList lines;
    for (int i = 0; i < 2000; ++i)
        lines << QStringLiteral("a quikc line");
    area_->setText(lines.join(u'\r'));
    showAndPaint();
    const QTextBlock last = area_->document()->lastBlock();
    EXPECT_EQ(marksOf(area_->document()->firstBlock()), (std::vector<Mark>{{2, 5}}));
    EXPECT_EQ(marksOf(last), std::vector<Mark>{});

    area_->verticalScrollBar()->setValue(area_->verticalScrollBar()->maximum());
    showAndPaint();
    EXPECT_EQ(marksOf(last), (std::vector<Mark>{{2, 5}}));
}

TEST_F(TextArea, WithSpellCheckingOffNothingIsMarked)
{
    requireDictionary();
    area_->setText(QStringLiteral("The quikc brown fox"));
    showAndPaint();
    EXPECT_TRUE(area_->document()->firstBlock().layout()->formats().isEmpty());

    // Turned on, then off again: the marks go with it, and come back when it is on once more.
    area_->setAutomaticallyCheckSpelling(true);
    showAndPaint();
    ASSERT_EQ(marksOf(area_->document()->firstBlock()), (std::vector<Mark>{{4, 5}}));
    area_->setAutomaticallyCheckSpelling(false);
    showAndPaint();
    EXPECT_TRUE(area_->document()->firstBlock().layout()->formats().isEmpty());
    area_->setAutomaticallyCheckSpelling(true);
    showAndPaint();
    EXPECT_EQ(marksOf(area_->document()->firstBlock()), (std::vector<Mark>{{4, 5}}));
}

}  // namespace
