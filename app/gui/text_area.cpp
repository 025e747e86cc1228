#include "app/gui/text_area.h"

#include "app/gui/runtime.h"
#include "app/gui/spell_checker.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextLayout>

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

}  // namespace

TextArea::TextArea(QWidget* parent) : QPlainTextEdit(parent), lineEnd_(EndOfLine())
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QString TextArea::Text() const
{
    // toRawText, unlike toPlainText, leaves no-break spaces and line separators
    // alone; only the breaks between blocks become line ends.
    QString text = document()->toRawText();
    if (lineEnd_ == QLatin1String("\n"))
        text.replace(QChar::ParagraphSeparator, u'\n');
    else
        text.replace(QChar::ParagraphSeparator, lineEnd_);
    return text;
}

void TextArea::setText(const QString& text)
{
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (end >= 0)
        lineEnd_ = text.mid(end, 2) == QLatin1String("\r\n") ? QStringLiteral("\r\n") : text.mid(end, 1);
    if (!text.contains(u'\r')) {
        setPlainText(text);
        return;
    }
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(u'\r', u'\n');
    setPlainText(normalized);
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
