#pragma once

#include <QPlainTextEdit>

namespace gui {

/// A multi-line plain-text area. Tab moves the focus. Its Text gives back the
/// text it was given, every line with its own line end (CR, LF or CRLF, mixed
/// as they come, and the breaks U+2029, U+FDD0 and U+FDD1 that the editor
/// also takes for line ends); a line break typed by the user takes the area's
/// line end: the first CR, LF or CRLF of the last text set, else EndOfLine.
/// Ordinary text wraps at word boundaries; a text holding a long run without
/// a break opportunity wraps anywhere, so that laying it out stays linear.
/// Where spell checking is on, misspelled words are underlined as they come
/// into view.
class TextArea : public QPlainTextEdit {
public:
    explicit TextArea(QWidget* parent);

    /// The whole text, each line followed by its line end.
    QString Text() const;
    /// Replaces the whole text.
    void setText(const QString& text);

    void setAutomaticallyCheckSpelling(bool on);
    bool AutomaticallyCheckSpelling() const { return checkSpelling_; }
    /// Checks the blocks that are on screen now (painting does it by itself).
    void checkVisibleSpelling();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void keepLineEnds(int position, int charsRemoved, int charsAdded);
    void setWrapAnywhere(bool anywhere);

    QString lineEnd_;
    // Whether some line of the last text set ended otherwise than lineEnd_;
    // while none did, every line ends in lineEnd_ and Text is one replace.
    bool otherLineEnds_ = false;
    bool settingText_ = false;
    bool checkSpelling_ = false;
};

}  // namespace gui
