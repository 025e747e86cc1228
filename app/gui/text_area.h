#pragma once

#include <QPlainTextEdit>

namespace gui {

/// A multi-line plain-text area. Tab moves the focus. Its Text gives back the
/// line ends it was given (CR, LF or CRLF, taken from the first line end of the
/// last text set; new lines typed by the user get the same). Where spell
/// checking is on, misspelled words are underlined as they come into view.
class TextArea : public QPlainTextEdit {
public:
    explicit TextArea(QWidget* parent);

    /// The whole text, with the area's line end between lines.
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
    QString lineEnd_;
    bool checkSpelling_ = false;
};

}  // namespace gui
