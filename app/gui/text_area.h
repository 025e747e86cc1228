#pragma once

#include "app/gui/line_ends.h"

#include <QPlainTextEdit>

#include <optional>
#include <vector>

namespace gui {

/// A multi-line plain-text area. Tab moves the focus. Its Text gives back the
/// text it was given, every line with its own line end (CR, LF or CRLF, mixed
/// as they come, and the breaks U+2029, U+FDD0 and U+FDD1 that the editor
/// also takes for line ends), and the line ends behave as characters of the
/// text under every edit, undo and redo: a line the edit does not touch keeps
/// its own, a break typed or pasted takes the area's line end (the first CR,
/// LF or CRLF of the last text set, else EndOfLine), lines joined keep the
/// line end of the last of them; the text always splits into the lines shown.
/// Copy and cut put exactly the selected characters on the clipboard, breaks
/// between lines as "\n"; a paste or drop with no text to give does nothing,
/// and a move dropped back within its own selection changes nothing.
/// Ordinary text wraps at word boundaries; a text holding a long run without
/// a break opportunity wraps anywhere, so that laying it out stays linear.
/// Where spell checking is on, misspelled words are underlined as they come
/// into view.
class TextArea : public QPlainTextEdit {
public:
    explicit TextArea(QWidget* parent);

    /// The whole text, each line followed by its line end.
    QString Text() const;
    /// Replaces the whole text. A break typed or pasted afterwards takes
    /// `typedLineEnd` (CR, LF or CRLF) where it is given, else the text's
    /// first line end.
    void setText(const QString& text, QStringView typedLineEnd = {});
    /// Adds the text at the end, its line ends as they are, and shows the end,
    /// as a log does. Like a text set whole, it is no edit to undo.
    void AppendText(const QString& text);

    void setAutomaticallyCheckSpelling(bool on);
    bool AutomaticallyCheckSpelling() const { return checkSpelling_; }
    /// Checks the blocks that are on screen now (painting does it by itself).
    void checkVisibleSpelling();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    /// No source, or one without data, is taken: Qt 6.4 crashes on the X clipboard that nothing owns.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::vector<TextEdit> inputMethodEdits(const QInputMethodEvent& event) const;
    void followChange(int position, int charsRemoved, int charsAdded);
    void rememberCursor();
    void wrapAnywhereIfLongRunAround(int start, int end);
    void setWrapAnywhere(bool anywhere);

    LineEndKeeper lineEnds_;
    // What the area is about to do to its document, where it knows: the next
    // change is taken as exactly these edits.
    std::optional<std::vector<TextEdit>> knownEdits_;
    // The editing cursor as it was before the next change: each change, each
    // move and each event that may edit leaves it here.
    CursorState cursor_;
    // Whether an undo command was added since the last change was followed.
    bool commandAdded_ = false;
    bool settingText_ = false;
    // The line ends of the text being set, and whether the document has
    // reported holding it; listeners to that report may read Text already.
    std::vector<LineEnd> settingEnds_;
    LineEnd settingAreaLineEnd_ = LineEnd::LF;
    bool settingFollowed_ = false;
    bool checkSpelling_ = false;
    bool dropping_ = false;
};

}  // namespace gui
