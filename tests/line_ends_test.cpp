// Line ends in a text area behave as characters of the text, under every way
// of editing, with spell checking on and the area painted after each step:
// checked against a small model in which they are characters.

#include "app/gui/line_ends.h"
#include "app/gui/runtime.h"
#include "app/gui/spell_checker.h"
#include "app/gui/text_area.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>

#include <functional>
#include <memory>
#include <random>
#include <tuple>
#include <vector>

namespace {

/// A text as the model holds it: one cell per position of the area, a
/// character or a whole line end ("\r", "\n" or "\r\n").
using Cells = std::vector<QString>;

bool isBreak(const QString& cell)
{
    return cell == u"\r" || cell == u"\n" || cell == u"\r\n";
}

/// The cells of a text, each CR, LF or CRLF one cell; `breaksAs`, when given,
/// stands for every line end, as a typed or pasted break takes the area's.
Cells cellsOf(const QString& text, const QString& breaksAs = {})
{
    Cells cells;
    for (qsizetype at = 0; at < text.size(); ++at) {
        QString cell(text.at(at));
        if (text.at(at) == u'\r' && at + 1 < text.size() && text.at(at + 1) == u'\n') {
            cell = QStringLiteral("\r\n");
            ++at;
        }
        cells.push_back(isBreak(cell) && !breaksAs.isNull() ? breaksAs : cell);
    }
    return cells;
}

QString textOf(const Cells& cells)
{
    QString text;
    for (const QString& cell : cells)
        text += cell;
    return text;
}

/// What the area's document holds for the cells: every break one U+2029.
QString rawOf(const Cells& cells)
{
    QString raw;
    for (const QString& cell : cells)
        raw += isBreak(cell) ? QString(QChar::ParagraphSeparator) : cell;
    return raw;
}

/// Texts show their line ends in failures.
QString visible(QString text)
{
    return text.replace(u'\r', QLatin1String("<CR>")).replace(u'\n', QLatin1String("<LF>\n"));
}

/// The model: the cells, and the states that undo and redo go back and forth
/// between. One undo of the document may take back several steps (letters
/// typed one after another) or, where it took back only a cursor move, none;
/// so each state notes the document's undo steps just after it was made, and
/// an undo or redo lands on the latest state made at or below the steps it
/// leaves.
///
/// Lines stay apart: where an edit leaves a CR line end just before the LF of
/// an empty line, the one of the two that the edit made, else the one just
/// after the edit, takes the first of the area's, CR, LF and CRLF that meets
/// neither neighbour so.
class Model {
public:
    Model(const QString& text, const QString& areaEnd) : states_{{cellsOf(text), 0}}, areaEnd_(areaEnd) {}

    const Cells& cells() const { return states_[current_].cells; }
    QString text() const { return textOf(cells()); }

    /// Cells [start, end) replaced by `with`.
    struct Replacement {
        int start;
        int end;
        Cells with;
    };

    /// The cells [start, end) replaced by `with`, leaving the document at
    /// `undoSteps`: a state of its own, even where it puts back what was there.
    void replace(int start, int end, const Cells& with, int undoSteps) { edit({{start, end, with}}, undoSteps); }

    /// The replacements made one after another, as one state.
    void edit(const std::vector<Replacement>& replacements, int undoSteps)
    {
        Cells next = cells();
        std::vector<std::pair<int, int>> made;  // where each replacement's cells are in the end
        for (const auto& [start, end, with] : replacements) {
            if (start == end && with.empty())
                continue;
            next.erase(next.begin() + start, next.begin() + end);
            next.insert(next.begin() + start, with.begin(), with.end());
            const int grown = int(with.size()) - (end - start);
            auto moved = [&](int at) { return at <= start ? at : at >= end ? at + grown : start; };
            for (auto& [from, to] : made)
                std::tie(from, to) = std::pair(moved(from), moved(to));
            made.emplace_back(start, start + int(with.size()));
        }
        if (made.empty())
            return;
        for (const auto& [from, to] : made) {
            for (const int first : {from - 1, to - 1})
                keepApart(next, first, first >= from && first < to ? first : first + 1);
        }
        states_.resize(current_ + 1);
        states_.push_back({std::move(next), undoSteps});
        ++current_;
    }

    /// After an undo or a redo that left the document at `undoSteps`.
    void undoneOrRedone(int undoSteps)
    {
        current_ = 0;
        for (int at = 0; at < int(states_.size()); ++at) {
            if (states_[at].undoSteps <= undoSteps)
                current_ = at;
        }
    }

private:
    struct State {
        Cells cells;
        int undoSteps;
    };

    void keepApart(Cells& cells, int first, int changed) const
    {
        auto cellAt = [&](int at) { return at >= 0 && at < int(cells.size()) ? cells[at] : QString(); };
        if (cellAt(first) != u"\r" || cellAt(first + 1) != u"\n")
            return;
        const QString previous = cellAt(changed - 1);
        const QString next = cellAt(changed + 1);
        for (const QString& end : {areaEnd_, QStringLiteral("\r"), QStringLiteral("\n"), QStringLiteral("\r\n")}) {
            if (!(previous == u"\r" && end == u"\n") && !(end == u"\r" && next == u"\n")) {
                cells[changed] = end;
                return;
            }
        }
    }

    std::vector<State> states_;
    int current_ = 0;
    QString areaEnd_;
};

class LineEnds : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gui::SpellChecker::shared().waitUntilReady())
            << "no hunspell en_US dictionary found (package hunspell-en-us)";
        host_ = std::make_unique<QWidget>();
        host_->resize(420, 260);
        area_ = new gui::TextArea(host_.get());
        area_->setGeometry(0, 0, 420, 260);
        area_->setAutomaticallyCheckSpelling(true);
        host_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host_.get()));
    }

    void TearDown() override
    {
        host_.reset();
        testsupport::settle();
    }

    /// Paints the area as the screen would, which also marks its misspelled words.
    void paint()
    {
        area_->repaint();
        QApplication::processEvents();
    }

    void select(int anchor, int position)
    {
        QTextCursor cursor(area_->document());
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        area_->setTextCursor(cursor);
    }

    /// The selection, smaller end first.
    std::pair<int, int> selection() const
    {
        const QTextCursor cursor = area_->textCursor();
        return {cursor.selectionStart(), cursor.selectionEnd()};
    }

    QAccessibleEditableTextInterface* editableText()
    {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(area_);
        EXPECT_NE(accessible, nullptr);
        return accessible ? accessible->editableTextInterface() : nullptr;
    }

    void paste(const QString& text)
    {
        QApplication::clipboard()->setText(text);
        QTest::keySequence(area_, QKeySequence::Paste);
    }

    QString randomStep(std::mt19937& random, Model& model, const QString& areaEnd);

    std::unique_ptr<QWidget> host_;
    gui::TextArea* area_ = nullptr;
};

// ---------------------------------------------------------------------------
// The keeper, fed the document's reports

/// Follows one change of a document whose text was `raw` and becomes
/// `after`, as a text area reports it.
void follow(gui::LineEndKeeper& keeper, const gui::DocumentChange& change)
{
    QString after = keeper.raw();
    after.replace(change.position, change.charsRemoved, change.added);
    keeper.follow(change, [&](int at) { return int(QStringView(after).first(at).count(QChar::ParagraphSeparator)); });
}

TEST(LineEndKeeper, UndoAndRedoOfADragPutBackTheLineEndsOfBothEnds)
{
    using gui::LineEnd;
    const QChar b = QChar::ParagraphSeparator;
    // "a" and its CR dragged from the first line to after "c": the drag's one
    // step removes a break at the start and adds one further down, and undoing
    // it or redoing it must take those back in the right order.
    const QString before = QStringLiteral("a%1b%1c%1d").arg(b);
    const QString dragged = QStringLiteral("b%1ca%1%1d").arg(b);
    gui::LineEndKeeper keeper;
    keeper.reset(before, {LineEnd::CR, LineEnd::LF, LineEnd::CR}, LineEnd::CRLF);
    const struct {
        const char* name;
        gui::DocumentChange change;
        QString expected;
    } steps[] = {
        {"dragged", {0, 7, dragged, {0, 2}, {5, 5}, 1, true, std::nullopt}, QStringLiteral("b\nca\r\n\rd")},
        {"undone", {0, 7, before, {5, 5}, {0, 2}, 0, false, std::nullopt}, QStringLiteral("a\rb\nc\rd")},
        {"redone", {0, 7, dragged, {0, 2}, {5, 5}, 1, false, std::nullopt}, QStringLiteral("b\nca\r\n\rd")},
        {"undone again", {0, 7, before, {5, 5}, {0, 2}, 0, false, std::nullopt}, QStringLiteral("a\rb\nc\rd")},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        follow(keeper, step.change);
        EXPECT_EQ(visible(keeper.text()), visible(step.expected));
    }
}

TEST(LineEndKeeper, AnEditMovesOnlyTheBreaksItMovedAndKeepsTheLinesApart)
{
    using gui::LineEnd;
    const QChar b = QChar::ParagraphSeparator;
    const struct {
        const char* name;
        QString raw;
        std::vector<LineEnd> ends;
        LineEnd area;
        gui::DocumentChange change;
        QString expected;
    } cases[] = {
        {"a key typed, reported three lines wide", QStringLiteral("a%1b%1c").arg(b),
         {LineEnd::CR, LineEnd::LF}, LineEnd::CRLF,
         {0, 5, QStringLiteral("a%1bx%1c").arg(b), {3, 3}, {4, 4}, 1, true, std::nullopt}, QStringLiteral("a\rbx\nc")},
        {"Return at the start of an empty line, reported wide", QStringLiteral("a%1%1b").arg(b),
         {LineEnd::CR, LineEnd::LF}, LineEnd::CRLF,
         {0, 4, QStringLiteral("a%1%1%1b").arg(b), {2, 2}, {3, 3}, 1, true, std::nullopt},
         QStringLiteral("a\r\r\n\nb")},
        {"Backspace at the start of an empty line, reported wide", QStringLiteral("a%1%1b").arg(b),
         {LineEnd::CR, LineEnd::LF}, LineEnd::CRLF,
         {0, 4, QStringLiteral("a%1b").arg(b), {2, 2}, {1, 1}, 1, true, std::nullopt},
         QStringLiteral("a\nb")},
        {"Delete on an empty line, reported wide", QStringLiteral("a%1%1b").arg(b),
         {LineEnd::CR, LineEnd::LF}, LineEnd::CRLF,
         {0, 4, QStringLiteral("a%1b").arg(b), {2, 2}, {2, 2}, 1, true, std::nullopt}, QStringLiteral("a\rb")},
        {"formats changed and nothing else", QStringLiteral("a%1%1b").arg(b), {LineEnd::LF, LineEnd::CR}, LineEnd::CRLF,
         {0, 4, QStringLiteral("a%1%1b").arg(b), {1, 3}, {1, 3}, 0, false, std::nullopt}, QStringLiteral("a\n\rb")},
        {"a selected break typed over with Return", QStringLiteral("a%1b").arg(b), {LineEnd::LF}, LineEnd::CRLF,
         {0, 3, QStringLiteral("a%1b").arg(b), {1, 2}, {2, 2}, 1, true, std::nullopt}, QStringLiteral("a\r\nb")},
        // A drag within the area removes the selection and inserts it where it
        // is dropped, in one report that spans the lines between.
        {"a selection dragged down past two lines", QStringLiteral("ab%1cd%1ef").arg(b),
         {LineEnd::CR, LineEnd::LF}, LineEnd::CRLF,
         {0, 8, QStringLiteral("%1cd%1efab").arg(b), {0, 2}, {8, 8}, 1, true, std::nullopt},
         QStringLiteral("\rcd\nefab")},
        {"a selection dragged up past two lines", QStringLiteral("ab%1cd%1ef").arg(b),
         {LineEnd::CR, LineEnd::LF}, LineEnd::CRLF,
         {0, 8, QStringLiteral("efab%1cd%1").arg(b), {8, 6}, {2, 2}, 1, true, std::nullopt},
         QStringLiteral("efab\rcd\n")},
        {"a selection with a break dragged down", QStringLiteral("ab%1cd%1ef").arg(b),
         {LineEnd::CR, LineEnd::LF}, LineEnd::CRLF,
         {0, 8, QStringLiteral("ad%1efb%1c").arg(b), {1, 4}, {8, 8}, 1, true, std::nullopt},
         QStringLiteral("ad\nefb\r\nc")},
        {"one character dragged down past a break", QStringLiteral("A%1x%1b%1c").arg(b),
         {LineEnd::LF, LineEnd::CR, LineEnd::LF}, LineEnd::CRLF,
         {0, 7, QStringLiteral("A%1%1bx%1c").arg(b), {2, 3}, {5, 5}, 1, true, std::nullopt},
         QStringLiteral("A\n\rbx\nc")},
        {"one character dragged up past a break", QStringLiteral("A%1b%1x%1c").arg(b),
         {LineEnd::LF, LineEnd::CR, LineEnd::LF}, LineEnd::CRLF,
         {2, 3, QStringLiteral("xb%1").arg(b), {5, 4}, {3, 3}, 1, true, std::nullopt},
         // b's CR and x's LF meet: x's, the one after the edit, takes the area's.
         QStringLiteral("A\nxb\r\r\nc")},
        // A CR, then the break typed: as LF they would read back as one CRLF.
        {"Return at the start of a line after a lone CR", QStringLiteral("one%1two%1three%1").arg(b),
         {LineEnd::LF, LineEnd::CR, LineEnd::LF}, LineEnd::LF,
         {8, 0, QString(b), {8, 8}, {9, 9}, 1, true, std::nullopt}, QStringLiteral("one\ntwo\r\rthree\n")},
        {"a line emptied between a CR and an LF", QStringLiteral("a%1b%1c%1").arg(b),
         {LineEnd::CR, LineEnd::LF, LineEnd::CR}, LineEnd::CR,
         {2, 1, QString(), {2, 2}, {2, 2}, 1, true, std::nullopt}, QStringLiteral("a\r\rc\r")},
        {"the same in a file of LF", QStringLiteral("a%1b%1c%1").arg(b),
         {LineEnd::CR, LineEnd::LF, LineEnd::LF}, LineEnd::LF,
         {2, 1, QString(), {2, 2}, {2, 2}, 1, true, std::nullopt}, QStringLiteral("a\r\rc\n")},
        // CR would meet the LF after it, LF the CR before it.
        {"a break typed between a CR and an empty line's LF", QStringLiteral("a%1%1c").arg(b),
         {LineEnd::CR, LineEnd::LF}, LineEnd::LF,
         {2, 0, QString(b), {2, 2}, {3, 3}, 1, true, std::nullopt}, QStringLiteral("a\r\r\n\nc")},
        // The break the edit made changes, not the line end of a line it did not touch.
        {"a typed CR before a line's own LF", QStringLiteral("ab%1%1c").arg(b),
         {LineEnd::LF, LineEnd::LF}, LineEnd::CR,
         {1, 0, QString(b), {1, 1}, {2, 2}, 1, true, std::nullopt}, QStringLiteral("a\rb\n\nc")},
        {"a typed CR meeting an LF after it", QStringLiteral("a%1%1c").arg(b),
         {LineEnd::LF, LineEnd::LF}, LineEnd::CR,
         {1, 0, QString(b), {1, 1}, {2, 2}, 1, true, std::nullopt}, QStringLiteral("a\n\n\nc")},
        {"lines apart already", QStringLiteral("a%1b%1c").arg(b), {LineEnd::CR, LineEnd::LF}, LineEnd::LF,
         {3, 0, QStringLiteral("x"), {3, 3}, {4, 4}, 1, true, std::nullopt}, QStringLiteral("a\rbx\nc")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gui::LineEndKeeper keeper;
        keeper.reset(c.raw, c.ends, c.area);
        follow(keeper, c.change);
        EXPECT_EQ(visible(keeper.text()), visible(c.expected));
        // Read back, it holds the lines the document shows, and undone, what was there.
        std::vector<LineEnd> readBack;
        EXPECT_EQ(gui::rawTextOf(keeper.text(), readBack), keeper.raw());
        const QString removed = c.raw.mid(c.change.position, c.change.charsRemoved);
        follow(keeper, {c.change.position, int(c.change.added.size()), removed, c.change.after, c.change.before, 0,
                        false, std::nullopt});
        EXPECT_EQ(keeper.ends(), c.ends);
    }
}

// ---------------------------------------------------------------------------
// Input methods

TEST_F(LineEnds, AnInputMethodsCommitReplacesTheRangeItNames)
{
    using Event = std::function<std::unique_ptr<QInputMethodEvent>()>;
    auto commit = [](const QString& text, int from, int length) -> Event {
        return [=] {
            auto event = std::make_unique<QInputMethodEvent>();
            event->setCommitString(text, from, length);
            return event;
        };
    };
    auto preedit = [](const QString& text) -> Event {
        return [=] { return std::make_unique<QInputMethodEvent>(text, QList<QInputMethodEvent::Attribute>()); };
    };
    const struct {
        const char* name;
        QString text;
        int anchor;
        int position;
        std::vector<Event> events;
        QString expected;
    } cases[] = {
        {"a break committed over two", QStringLiteral("\r\n\n"), 0, 0, {commit(QStringLiteral("\n"), 0, 2)},
         QStringLiteral("\r\n")},
        {"a break committed before the cursor", QStringLiteral("\u2029"), 1, 1, {commit(QStringLiteral("\r"), -1, 0)},
         QStringLiteral("\n\u2029")},
        // A triple click selects the line with its break.
        {"a character committed before a line selected", QStringLiteral("\n\r"), 1, 2,
         {commit(QStringLiteral("\u5BB6"), -1, 0)}, QStringLiteral("\u5BB6\n")},
        {"a word reconverted across a break", QStringLiteral("ab\rcd\nef"), 3, 3,
         {commit(QStringLiteral("XY"), -2, 3)}, QStringLiteral("aXYd\nef")},
        // Outside the text a range's start is not taken, and it counts from the cursor.
        {"a range reaching before the text", QStringLiteral("ab\ncd"), 1, 1, {commit(QStringLiteral("x"), -5, 1)},
         QStringLiteral("ax\ncd")},
        {"a preedit over a selection, then its commit", QStringLiteral("a\rb\nc"), 1, 3,
         {preedit(QStringLiteral("k")), commit(QStringLiteral("\u304B"), 0, 0)}, QStringLiteral("a\u304B\nc")},
        {"a preedit alone", QStringLiteral("a\r\nb\n"), 1, 1, {preedit(QStringLiteral("ka"))},
         QStringLiteral("a\r\nb\n")},
        {"a preedit, then its commit with a break", QStringLiteral("a\r\nb\n"), 3, 3,
         {preedit(QStringLiteral("ka")), commit(QStringLiteral("x\ny"), 0, 0)}, QStringLiteral("a\r\nbx\r\ny\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        area_->setText(c.text);
        paint();
        select(c.anchor, c.position);
        for (const Event& event : c.events) {
            QApplication::sendEvent(area_, event().get());
            paint();
        }
        EXPECT_EQ(visible(area_->Text()), visible(c.expected));
    }
}

// ---------------------------------------------------------------------------
// Random edits against the model

/// A document of a few lines of words, some misspelled so that the area has
/// marks to make, ending in CR, LF or CRLF at random, some lines empty.
QString randomDocument(std::mt19937& random)
{
    const QString words[] = {"int", "teh", "return", "greting", "val", "x", "adn", ";", "{", "}"};
    const QString ends[] = {"\r", "\n", "\r\n"};
    QString text;
    const int lines = std::uniform_int_distribution(0, 8)(random);
    for (int line = 0; line < lines; ++line) {
        const int count = std::uniform_int_distribution(-1, 4)(random);
        for (int word = 0; word < count; ++word)
            text += (word ? QStringLiteral(" ") : QString()) + words[random() % std::size(words)];
        text += ends[random() % std::size(ends)];
    }
    if (random() % 2)
        text += QStringLiteral("tail");
    return text;
}

/// A short text to paste: letters and line ends of every kind.
QString randomPaste(std::mt19937& random)
{
    const QString pieces[] = {"a", "b", "teh", " ", "\r", "\n", "\r\n", "\u00A0"};
    QString text;
    const int count = std::uniform_int_distribution(1, 5)(random);
    for (int i = 0; i < count; ++i)
        text += pieces[random() % std::size(pieces)];
    return text;
}

/// Takes one random step of editing in the area, by one of the ways a user
/// or a program edits, and the same step in the model; says what it did.
QString LineEnds::randomStep(std::mt19937& random, Model& model, const QString& areaEnd)
{
    const int size = int(model.cells().size());
    const auto [start, end] = selection();
    const int cursor = area_->textCursor().position();
    auto undoSteps = [this] { return area_->document()->availableUndoSteps(); };
    auto letter = [&] { return QString(QChar(char16_t(u'a' + random() % 26))); };
    auto position = [&] { return std::uniform_int_distribution(0, size)(random); };
    switch (std::uniform_int_distribution(0, 15)(random)) {
    case 0: {  // the cursor moved, a selection made, or one line end selected
        int anchor = position();
        int to = random() % 2 ? anchor : position();
        std::vector<int> breaks;
        for (int at = 0; at < size; ++at) {
            if (isBreak(model.cells()[at]))
                breaks.push_back(at);
        }
        if (random() % 3 == 0 && !breaks.empty()) {
            anchor = breaks[random() % breaks.size()];
            to = anchor + 1;
            if (random() % 2)
                std::swap(anchor, to);
        }
        select(anchor, to);
        return QStringLiteral("select %1..%2").arg(anchor).arg(to);
    }
    case 1:
    case 2: {
        const QString typed = letter();
        QTest::keyClicks(area_, typed);
        model.replace(start, end, {typed}, undoSteps());
        return QStringLiteral("type ") + typed;
    }
    case 3:
        QTest::keyClick(area_, Qt::Key_Return);
        model.replace(start, end, {areaEnd}, undoSteps());
        return QStringLiteral("Return");
    case 4:
        QTest::keyClick(area_, Qt::Key_Backspace);
        if (start != end)
            model.replace(start, end, {}, undoSteps());
        else if (cursor > 0)
            model.replace(cursor - 1, cursor, {}, undoSteps());
        return QStringLiteral("Backspace");
    case 5:
        QTest::keyClick(area_, Qt::Key_Delete);
        if (start != end)
            model.replace(start, end, {}, undoSteps());
        else if (cursor < size)
            model.replace(cursor, cursor + 1, {}, undoSteps());
        return QStringLiteral("Delete");
    case 6: {
        const QString text = randomPaste(random);
        paste(text);
        model.replace(start, end, cellsOf(text, areaEnd), undoSteps());
        return QStringLiteral("paste ") + visible(text);
    }
    case 7:
    case 8:
        QTest::keySequence(area_, QKeySequence::Undo);
        model.undoneOrRedone(undoSteps());
        return QStringLiteral("undo");
    case 9:
        QTest::keySequence(area_, QKeySequence::Redo);
        model.undoneOrRedone(undoSteps());
        return QStringLiteral("redo");
    case 10: {  // an accessibility client inserts, or deletes
        const int at = position();
        QAccessibleEditableTextInterface* client = editableText();
        if (random() % 2) {
            const QString text = randomPaste(random);
            client->insertText(at, text);
            model.replace(at, at, cellsOf(text, areaEnd), undoSteps());
            return QStringLiteral("client inserts %1 at %2").arg(visible(text)).arg(at);
        }
        const int to = std::min(size, at + std::uniform_int_distribution(1, 3)(random));
        client->deleteText(at, to);
        model.replace(at, to, {}, undoSteps());
        return QStringLiteral("client deletes %1..%2").arg(at).arg(to);
    }
    case 11: {  // an input method composes, perhaps, then commits over a range it names, perhaps
        QString done;
        int at = cursor;
        int length = size;
        std::vector<Model::Replacement> edits;
        // While input comes, the selection goes.
        if (start != end) {
            edits.push_back({start, end, {}});
            at = start;
            length -= end - start;
        }
        if (random() % 3 == 0) {
            QInputMethodEvent compose(QStringLiteral("ka"), {});
            QApplication::sendEvent(area_, &compose);
            model.edit(std::exchange(edits, {}), undoSteps());
            done = QStringLiteral("input method composes, then ");
        }
        // What follows a composition is what it composed: a break there would
        // leave Qt's preedit behind in the line it started on.
        const QString text = done.isEmpty() ? randomPaste(random) : QStringLiteral("\u304B");
        // The range is counted from the cursor, and lies within the text.
        const bool ranged = random() % 2;
        const int from = ranged ? std::uniform_int_distribution(-std::min(at, 3), std::min(length - at, 3))(random) : 0;
        const int count = ranged ? std::uniform_int_distribution(0, std::min(length - at - from, 3))(random) : 0;
        QInputMethodEvent commit;
        commit.setCommitString(text, from, count);
        QApplication::sendEvent(area_, &commit);
        edits.push_back({at + from, at + from + count, cellsOf(text, areaEnd)});
        model.edit(edits, undoSteps());
        return done + QStringLiteral("commits %1 over %2,%3").arg(visible(text)).arg(from).arg(count);
    }
    case 12: {  // text dropped from elsewhere, somewhere in view
        const QString text = randomPaste(random);
        const QPoint point(std::uniform_int_distribution(0, area_->viewport()->width() - 1)(random),
                           std::uniform_int_distribution(0, area_->viewport()->height() - 1)(random));
        const int at = area_->cursorForPosition(point).position();
        testsupport::dropText(area_->viewport(), point, text);
        model.replace(at, at, cellsOf(text, areaEnd), undoSteps());
        return QStringLiteral("drop %1 at %2").arg(visible(text)).arg(at);
    }
    case 13:  // the Edit menu's Undo, which calls the area's own
        area_->undo();
        model.undoneOrRedone(undoSteps());
        return QStringLiteral("Edit > Undo");
    case 14: {  // the Edit menu's Paste, Cut or Delete
        QApplication::clipboard()->setText(randomPaste(random));
        const QString pasted = QApplication::clipboard()->text();
        switch (random() % 3) {
        case 0:
            area_->paste();
            model.replace(start, end, cellsOf(pasted, areaEnd), undoSteps());
            return QStringLiteral("Edit > Paste ") + visible(pasted);
        case 1:
            area_->cut();
            model.replace(start, end, {}, undoSteps());
            return QStringLiteral("Edit > Cut");
        default:
            area_->textCursor().removeSelectedText();
            model.replace(start, end, {}, undoSteps());
            return QStringLiteral("Edit > Delete");
        }
    }
    default: {
        area_->selectAll();
        const QString typed = letter();
        QTest::keyClicks(area_, typed);
        model.replace(0, size, {typed}, undoSteps());
        return QStringLiteral("select all, type ") + typed;
    }
    }
}

TEST_F(LineEnds, RandomEditsUndoAndRedoKeepEveryLineEndAsACharacter)
{
    // Fixed seeds: a failure names its seed and the steps that led to it.
    constexpr unsigned kDocuments = 100;
    constexpr int kStepsPerDocument = 150;
    for (unsigned seed = 1; seed <= kDocuments; ++seed) {
        std::mt19937 random(seed);
        const QString document = randomDocument(random);
        area_->setText(document);
        paint();
        // The area's line end: the first of the text, else the platform's.
        const Cells cells = cellsOf(document);
        const auto firstBreak = std::find_if(cells.begin(), cells.end(), isBreak);
        const QString areaEnd = firstBreak != cells.end() ? *firstBreak : gui::EndOfLine();

        Model model(document, areaEnd);
        QStringList steps;
        for (int step = 0; step < kStepsPerDocument; ++step) {
            steps << randomStep(random, model, areaEnd);
            // The model follows the document's characters; only the line ends are in question.
            ASSERT_EQ(area_->document()->toRawText(), rawOf(model.cells()))
                << "seed " << seed << ": the model lost the document after " << qPrintable(steps.join(u", "));
            paint();
            ASSERT_EQ(visible(area_->Text()), visible(model.text()))
                << "seed " << seed << ", document " << qPrintable(visible(document)) << "\nafter "
                << qPrintable(steps.join(u", "));
        }
    }
}

}  // namespace
