#include "app/gui/text_area.h"

#include "app/gui/runtime.h"
#include "app/gui/spell_checker.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace gui {

namespace {

/// Remembers for which revision of a block, and which dictionary load, its
/// spelling marks were made.
struct SpellingMarks : QTextBlockUserData {
    int revision = -1;
    int generation = -1;
};

/// Puts marks on a block's layout. A document holds back the report of such
/// marks until its next edit, and then reports them as part of it, so that
/// the edit seems to span every marked block; reported at once, block by
/// block, they leave each edit's report its own, and the block is laid out
/// again at once rather than left for a paint that may come too late.
void setMarks(const QTextBlock& block, const QList<QTextLayout::FormatRange>& formats)
{
    block.layout()->setFormats(formats);
    QTextCursor cursor(block);
    cursor.beginEditBlock();
    cursor.endEditBlock();
}

/// Takes every spelling mark off the document and forgets which blocks were
/// checked, so that turning checking on again checks them afresh.
void clearSpellingMarks(QTextDocument* document)
{
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        if (auto* marks = static_cast<SpellingMarks*>(block.userData()))
            marks->revision = -1;
        if (!block.layout()->formats().isEmpty())
            setMarks(block, {});
    }
}

// Qt wraps a line at word boundaries by searching, for every screen line, to
// the next break opportunity: a run without one costs the square of its
// length. Up to this length that is still quick; a longer run makes the whole
// area wrap anywhere.
constexpr qsizetype kLongestRunForWordWrap = 2000;

/// Whether the text holds a run longer than that between two places where
/// the layout may break a line; the layout's own rules tell where those are,
/// so a run glued by no-break spaces counts whole. The blanks before a break
/// hang past the line's end, as the layout lets them.
bool hasLongRunWithoutBreak(QStringView text)
{
    if (text.size() <= kLongestRunForWordWrap)
        return false;
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text.data(), text.size());
    qsizetype last = 0;
    for (qsizetype at = breaks.toNextBoundary(); at >= 0; at = breaks.toNextBoundary()) {
        qsizetype end = at;
        while (end > last && text[end - 1].isSpace())
            --end;
        if (end - last > kLongestRunForWordWrap)
            return true;
        last = at;
    }
    return false;
}

}  // namespace

TextArea::TextArea(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lineEnds_.reset({}, {}, lineEndAt(EndOfLine(), 0).first);
    connect(document(), &QTextDocument::contentsChange, this, &TextArea::followChange);
    connect(document(), &QTextDocument::undoCommandAdded, this, [this] { commandAdded_ = true; });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TextArea::rememberCursor);
    connect(this, &QPlainTextEdit::selectionChanged, this, &TextArea::rememberCursor);
}

QString TextArea::Text() const
{
    return lineEnds_.text();
}

void TextArea::setText(const QString& text, QStringView typedLineEnd)
{
    std::vector<LineEnd> ends;
    const QString raw = rawTextOf(text, ends);
    LineEnd areaEnd = typedLineEnd.isEmpty() ? LineEnd::AreaLineEnd : lineEndAt(typedLineEnd, 0).first;
    for (auto end = ends.begin(); areaEnd == LineEnd::AreaLineEnd && end != ends.end(); ++end) {
        if (*end == LineEnd::CR || *end == LineEnd::LF || *end == LineEnd::CRLF)
            areaEnd = *end;
    }
    if (areaEnd == LineEnd::AreaLineEnd)
        areaEnd = lineEndAt(EndOfLine(), 0).first;
    // Every line is looked at: a long run in any of them makes laying out the
    // whole text slow.
    bool longRun = false;
    for (const QStringView line : QStringView(raw).tokenize(QChar(QChar::ParagraphSeparator))) {
        if ((longRun = hasLongRunWithoutBreak(line)))
            break;
    }

    // The wrap mode comes first, so that the text is laid out once.
    setWrapAnywhere(longRun);
    settingEnds_ = std::move(ends);
    settingAreaLineEnd_ = areaEnd;
    settingText_ = true;
    settingFollowed_ = false;
    setPlainText(text);
    settingText_ = false;
    if (!settingFollowed_)
        lineEnds_.reset(document()->toRawText(), std::move(settingEnds_), areaEnd);
    settingEnds_.clear();
    commandAdded_ = false;
    rememberCursor();
}

void TextArea::AppendText(const QString& text)
{
    std::vector<LineEnd> ends;
    QString raw = rawTextOf(text, ends);
    const int end = document()->characterCount() - 1;
    knownEdits_ = std::vector<TextEdit>{{end, 0, std::move(raw), std::move(ends)}};
    // No undo history, as after a text set whole; it also spares keeping a
    // copy of every line appended.
    document()->setUndoRedoEnabled(false);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    document()->setUndoRedoEnabled(true);
    knownEdits_.reset();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void TextArea::followChange(int position, int charsRemoved, int charsAdded)
{
    if (settingText_) {
        // Whoever listens to the change may read the text already.
        lineEnds_.reset(document()->toRawText(), settingEnds_, settingAreaLineEnd_);
        settingFollowed_ = true;
        return;
    }
    // The range may reach the document's final separator, which is no text.
    const int length = document()->characterCount() - 1;
    QTextCursor range(document());
    range.setPosition(std::clamp(position, 0, length));
    range.setPosition(std::clamp(position + charsAdded, 0, length), QTextCursor::KeepAnchor);

    DocumentChange change;
    change.position = position;
    change.charsRemoved = charsRemoved;
    change.added = range.selectedText();
    change.before = cursor_;
    change.after = {textCursor().anchor(), textCursor().position()};
    change.undoSteps = document()->availableUndoSteps();
    change.commandAdded = std::exchange(commandAdded_, false);
    change.edits = std::exchange(knownEdits_, std::nullopt);
    const bool undoneOrRedone = change.undoSteps != lineEnds_.undoSteps() && !change.commandAdded;
    const QTextDocument* doc = document();
    const auto edited = lineEnds_.follow(change, [doc](int at) { return doc->findBlock(at).blockNumber(); });
    for (const auto& [start, end] : edited)
        wrapAnywhereIfLongRunAround(start, end);
    rememberCursor();
    // An undo or redo gives the editor a new cursor once the change is made,
    // and tells nobody when it stands where the old one did; a key, an input
    // method or a drop is seen coming, but a menu command is not.
    if (undoneOrRedone)
        QTimer::singleShot(0, this, &TextArea::rememberCursor);
}

void TextArea::rememberCursor()
{
    const QTextCursor cursor = textCursor();
    cursor_ = {cursor.anchor(), cursor.position()};
}

void TextArea::wrapAnywhereIfLongRunAround(int start, int end)
{
    if (wordWrapMode() == QTextOption::WrapAnywhere)
        return;
    // A run that the edit made too long reaches into the edited range, so
    // looking that far around it is enough: a long line is never read whole
    // for one typed key.
    const QString& raw = lineEnds_.raw();
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        const int lineLength = block.length() - 1;
        if (lineLength <= kLongestRunForWordWrap)
            continue;
        const int from = std::max(start - block.position() - int(kLongestRunForWordWrap) - 1, 0);
        const int to = std::min(end - block.position() + int(kLongestRunForWordWrap) + 1, lineLength);
        if (hasLongRunWithoutBreak(QStringView(raw).sliced(block.position() + from, to - from))) {
            setWrapAnywhere(true);
            return;
        }
    }
}

void TextArea::setWrapAnywhere(bool anywhere)
{
    const auto mode = anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}

void TextArea::setAutomaticallyCheckSpelling(bool on)
{
    if (checkSpelling_ && !on)
        clearSpellingMarks(document());
    checkSpelling_ = on;
    viewport()->setProperty("gui.spellChecked", on);
    if (on)
        SpellChecker::shared().startLoading();
    viewport()->update();
}

void TextArea::checkVisibleSpelling()
{
    SpellChecker& checker = SpellChecker::shared();
    if (!checkSpelling_ || !checker.isReady())
        return;
    const int generation = checker.generation();
    const int bottom = viewport()->height();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (block.isVisible() && blockBoundingGeometry(block).translated(contentOffset()).top() > bottom)
            break;
        auto* marks = static_cast<SpellingMarks*>(block.userData());
        if (marks && marks->revision == block.revision() && marks->generation == generation)
            continue;
        if (!marks) {
            marks = new SpellingMarks;  // The block owns its user data.
            block.setUserData(marks);
        }
        marks->revision = block.revision();
        marks->generation = generation;

        QTextCharFormat misspelled;
        misspelled.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
        misspelled.setUnderlineColor(Qt::red);
        QList<QTextLayout::FormatRange> formats;
        for (const auto& [start, length] : checker.misspelledRanges(block.text()))
            formats.append({start, length, misspelled});
        if (!formats.isEmpty() || !block.layout()->formats().isEmpty())
            setMarks(block, formats);
    }
}

QMimeData* TextArea::createMimeDataFromSelection() const
{
    // The text as it stands, no-break spaces and line separators included,
    // rather than Qt's plain-text rendering of it. The caller takes the data.
    auto data = std::make_unique<QMimeData>();
    data->setText(textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
    return data.release();
}

bool TextArea::canInsertFromMimeData(const QMimeData* source) const
{
    return source && QPlainTextEdit::canInsertFromMimeData(source);
}

void TextArea::insertFromMimeData(const QMimeData* source)
{
    // A paste by key or by the middle button inserts without asking first.
    if (!canInsertFromMimeData(source))
        return;
    // A drop inserts within an edit block of its own, which lays the lines out
    // only once it ends. Qt's insert then brings the cursor into view at once,
    // reading the layout of a line not laid out again: Qt 6.4 crashes there
    // when the line stands partly below the view. The drop brings the cursor
    // into view itself, once the block has ended.
    if (dropping_) {
        insertPlainText(source->text());
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void TextArea::paintEvent(QPaintEvent* event)
{
    checkVisibleSpelling();
    QPlainTextEdit::paintEvent(event);
}

void TextArea::inputMethodEvent(QInputMethodEvent* event)
{
    rememberCursor();
    knownEdits_ = inputMethodEdits(*event);
    QPlainTextEdit::inputMethodEvent(event);
    knownEdits_.reset();
}

std::vector<TextEdit> TextArea::inputMethodEdits(const QInputMethodEvent& event) const
{
    // What the editor does with the event: while input comes, the selection
    // goes; then the commit replaces its range, which is counted from the
    // cursor and may lie before it. A preedit alone is shown, not written.
    const QTextCursor cursor = textCursor();
    const bool gettingInput = !event.commitString().isEmpty() || event.replacementLength() > 0
                              || event.preeditString() != cursor.block().layout()->preeditAreaText();
    std::vector<TextEdit> edits;
    if (!gettingInput)
        return edits;
    int length = document()->characterCount() - 1;
    int at = cursor.position();
    if (cursor.hasSelection()) {
        edits.push_back({cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart(), {}, {}});
        at = cursor.selectionStart();
        length -= edits.back().removed;
    }
    if (event.commitString().isEmpty() && event.replacementLength() == 0)
        return edits;
    // A cursor is not moved to a place outside the text.
    auto within = [length](int to, int otherwise) { return to >= 0 && to <= length ? to : otherwise; };
    const int from = within(at + event.replacementStart(), at);
    const int to = within(from + event.replacementLength(), from);
    TextEdit commit{std::min(from, to), std::abs(to - from), {}, {}};
    commit.inserted = rawTextOf(event.commitString(), commit.ends);
    // Whatever breaks it holds are typed ones.
    std::fill(commit.ends.begin(), commit.ends.end(), LineEnd::AreaLineEnd);
    edits.push_back(std::move(commit));
    return edits;
}

void TextArea::dropEvent(QDropEvent* event)
{
    // Qt moves the area's own selection by removing it and inserting it where
    // it is dropped. Dropped back within the selection, that would change no
    // character but give its line ends the area's. Such a drop is accepted as
    // a move into the area itself, which the drag then does not remove, and
    // ended as a drag that leaves, which takes the drop caret away.
    if (event->source() == viewport() && event->dropAction() == Qt::MoveAction) {
        const QTextCursor selection = textCursor();
        const int at = cursorForPosition(event->position().toPoint()).position();
        if (selection.hasSelection() && at >= selection.selectionStart() && at <= selection.selectionEnd()) {
            event->accept();
            QDragLeaveEvent leave;
            QPlainTextEdit::dragLeaveEvent(&leave);
            return;
        }
    }
    rememberCursor();
    dropping_ = true;
    QPlainTextEdit::dropEvent(event);
    dropping_ = false;
}

void TextArea::keyPressEvent(QKeyEvent* event)
{
    rememberCursor();
    // Shift+Return would put a line separator inside the line, which no file or
    // compiler takes for a line end: it starts a new line, as Return does.
    if (event->matches(QKeySequence::InsertLineSeparator)) {
        QKeyEvent newLine(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QPlainTextEdit::keyPressEvent(&newLine);
        event->setAccepted(newLine.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace gui
