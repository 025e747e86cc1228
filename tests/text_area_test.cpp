#include "app/gui/spell_checker.h"
#include "app/gui/text_area.h"

#include "app/gui/runtime.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

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

TEST_F(TextArea, AnAreaNeverGivenALineEndUsesThePlatforms)
{
    host_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host_.get()));
    QTest::keyClicks(area_, QStringLiteral("ab"));
    QTest::keyClick(area_, Qt::Key_Return);
    QTest::keyClicks(area_, QStringLiteral("cd"));
    EXPECT_EQ(area_->Text(), QStringLiteral("ab") + gui::EndOfLine() + QStringLiteral("cd"));
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
