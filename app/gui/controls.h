#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gui {

/// Sets the font that every control uses: the platform's user-interface font
/// at 11 pixels, the size the window layouts are drawn for.
void applyControlFont(QWidget* control);
/// Bold, underline and text colour (0xRRGGBB) of a control's text.
void setTextStyle(QWidget* control, bool bold, bool underline);
void setTextColor(QWidget* control, unsigned rgb);

/// A one-line, non-selectable text.
class Label : public QLabel {
public:
    explicit Label(QWidget* parent);
    QString Text() const { return text(); }
    /// 0 left (the default), 1 centre, 2 right.
    void setTextAlign(int align);
};

/// A one-line editable text of any length; its cue text shows while it is empty.
class TextField : public QLineEdit {
public:
    explicit TextField(QWidget* parent);
    QString Text() const { return text(); }
    void setCueText(const QString& cue) { setPlaceholderText(cue); }
};

/// A menu of fixed rows; its text is the selected row's.
class PopupMenu : public QComboBox {
public:
    explicit PopupMenu(QWidget* parent);
    /// Replaces the rows by those of a text separated by carriage returns; a
    /// carriage return after the last row adds no empty row.
    void setRows(const QString& rowsSeparatedByCR);
    void setListIndex(int row) { setCurrentIndex(row); }
    int ListIndex() const { return currentIndex(); }
    QString Text() const { return currentText(); }
};

/// An editable combo box: the user chooses a row or types any text, of any
/// length, which becomes its text. Typing never adds or reorders rows and
/// completes nothing.
class ComboBox : public QComboBox {
public:
    explicit ComboBox(QWidget* parent);
    void setRows(const QString& rowsSeparatedByCR);
    void setListIndex(int row) { setCurrentIndex(row); }
    int ListIndex() const { return currentIndex(); }
    QString Text() const { return currentText(); }
};

/// A push button that neither Return nor Escape presses.
class PushButton : public QPushButton {
public:
    explicit PushButton(QWidget* parent);
    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
};

/// A momentary bevel button that shows its caption and takes the focus.
class BevelButton : public QPushButton {
public:
    explicit BevelButton(QWidget* parent);
    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
};

/// A check box with a caption.
class CheckBox : public QCheckBox {
public:
    explicit CheckBox(QWidget* parent);
    bool Value() const { return isChecked(); }
    void setValue(bool value) { setChecked(value); }
    void setCaption(const QString& caption) { setText(caption); }
};

/// Calls `(window->*handler)(control)` whenever the button is pressed, for this
/// window instance only; the binding ends with the window.
template <class W, class C>
void bindAction(C* control, W* window, void (W::*handler)(C*))
{
    QObject::connect(control, &QAbstractButton::clicked, window,
                     [window, control, handler] { (window->*handler)(control); });
}

}  // namespace gui
