#include "app/gui/text_area.h"

#include "app/gui/runtime.h"
#include "app/gui/spell_checker.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextLayout>

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

/// Takes every spelling mark off the document and forgets which blocks were
/// checked, so that turning checking on again checks them afresh.
void clearSpellingMarks(QTextDocument* document)
{
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        if (auto* marks = static_cast<SpellingMarks*>(block.userData()))
            marks->revision = -1;
        if (!block.layout()->formats().isEmpty())
            block.layout()->setFormats({});
    }
}

/// How a line ends, kept as its block's user state. The document breaks a
/// block at exactly these; a block made by typing has the state -1, the area's
/// line end.
enum LineEnd : int { AreaLineEnd = -1, CR = 1, LF, CRLF, ParagraphSeparator, FrameStart, FrameEnd };

/// The line end that starts at `at`, and its length; AreaLineEnd when none does.
std::pair<LineEnd, int> lineEndAt(const QString& text, qsizetype at)
{
    switch (text.at(at).unicode()) {
    case u'\r':
        return at + 1 < text.size() && text.at(at + 1) == u'\n' ? std::pair{CRLF, 2} : std::pair{CR, 1};
    case u'\n': return {LF, 1};
    case QChar::ParagraphSeparator: return {ParagraphSeparator, 1};
    case 0xFDD0: return {FrameStart, 1};
    case 0xFDD1: return {FrameEnd, 1};
    default: return {AreaLineEnd, 0};
    }
}

QStringView textOf(LineEnd end)
{
    switch (end) {
    case CR: return u"\r";
    case LF: return u"\n";
    case CRLF: return u"\r\n";
    case ParagraphSeparator: return u"\u2029";
    case FrameStart: return u"\uFDD0";
    case FrameEnd: return u"\uFDD1";
    case AreaLineEnd: break;
    }
    return {};
}

// Qt wraps a line at word boundaries by searching, for every screen line, to
// the next break opportunity: a run without one costs the square of its
// length. Up to this length that is still quick; a longer run makes the whole
// area wrap anywhere.
constexpr qsizetype kLongestRunForWordWrap = 2000;

bool breaksLine(QChar c)
{
    return c.isSpace();
}

bool hasLongRunWithoutBreak(QStringView text)
{
    if (text.size() <= kLongestRunForWordWrap)
        return false;
    qsizetype run = 0;
    for (const QChar c : text) {
        run = breaksLine(c) ? 0 : run + 1;
        if (run > kLongestRunForWordWrap)
            return true;
    }
    return false;
}

}  // namespace

TextArea::TextArea(QWidget* parent) : QPlainTextEdit(parent), lineEnd_(EndOfLine())
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(document(), &QTextDocument::contentsChange, this, &TextArea::keepLineEnds);
}

QString TextArea::Text() const
{
    // toRawText, unlike toPlainText, leaves no-break spaces and line separators
    // alone; only the breaks between blocks, U+2029 there, become line ends.
    QString raw = document()->toRawText();
    if (!otherLineEnds_)
        return raw.replace(QChar::ParagraphSeparator, lineEnd_);
    QString text;
    text.reserve(raw.size() + raw.size() / 4);
    QTextBlock block = document()->firstBlock();
    qsizetype from = 0;
    for (qsizetype at = raw.indexOf(QChar::ParagraphSeparator); at >= 0;
         at = raw.indexOf(QChar::ParagraphSeparator, from)) {
        text += QStringView(raw).sliced(from, at - from);
        const auto end = static_cast<LineEnd>(block.userState());
        text += end == AreaLineEnd ? QStringView(lineEnd_) : textOf(end);
        block = block.next();
        from = at + 1;
    }
    text += QStringView(raw).sliced(from);
    return text;
}

void TextArea::setText(const QString& text)
{
    // One pass finds the area's line end, the lines that end otherwise, and
    // whether some run is too long to wrap at word boundaries.
    std::vector<std::pair<int, LineEnd>> otherEnds;
    LineEnd areaEnd = AreaLineEnd;
    int block = 0;
    qsizetype run = 0;
    bool longRun = false;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const auto [end, length] = lineEndAt(text, at);
        run = breaksLine(text.at(at)) ? 0 : run + 1;
        longRun = longRun || run > kLongestRunForWordWrap;
        if (end == AreaLineEnd)
            continue;
        if (areaEnd == AreaLineEnd && (end == CR || end == LF || end == CRLF))
            areaEnd = end;
        else if (end != areaEnd)
            otherEnds.emplace_back(block, end);
        ++block;
        at += length - 1;
    }
    lineEnd_ = areaEnd == AreaLineEnd ? EndOfLine() : textOf(areaEnd).toString();

    // The wrap mode comes first, so that the text is laid out once.
    setWrapAnywhere(longRun);
    settingText_ = true;
    setPlainText(text);
    settingText_ = false;
    otherLineEnds_ = !otherEnds.empty();
    for (const auto& [number, end] : otherEnds)
        document()->findBlockByNumber(number).setUserState(end);
}

void TextArea::keepLineEnds(int position, int /*charsRemoved*/, int charsAdded)
{
    if (settingText_)
        return;
    QTextBlock first = document()->findBlock(position);
    QTextBlock last = document()->findBlock(position + charsAdded);
    if (charsAdded > 0 && wordWrapMode() != QTextOption::WrapAnywhere) {
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (hasLongRunWithoutBreak(block.text())) {
                setWrapAnywhere(true);
                break;
            }
            if (block == last)
                break;
        }
    }
    if (!otherLineEnds_ || first == last)
        return;
    // New lines were made inside the first block. The document leaves that
    // block's line end with the first piece, but it still ends the text that
    // followed it, now in the last piece; the breaks in between were typed and
    // take the area's line end. So undoing a typed break gives the old line
    // end back. (Only a change of text spans blocks here: a plain text area
    // never restyles a range of its document.)
    const int kept = first.userState();
    first.setUserState(AreaLineEnd);
    last.setUserState(kept);
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
            block.layout()->setFormats(formats);
    }
}

void TextArea::paintEvent(QPaintEvent* event)
{
    checkVisibleSpelling();
    QPlainTextEdit::paintEvent(event);
}

void TextArea::keyPressEvent(QKeyEvent* event)
{
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
