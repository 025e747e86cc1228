#include "app/gui/controls.h"

#include <QCompleter>
#include <QPalette>

#include <limits>

namespace gui {

namespace {

QStringList rowsOf(const QString& text)
{
    QStringList rows = text.split(u'\r');
    if (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    return rows;
}

/// A QLineEdit keeps 32,767 characters unless told otherwise, and cuts what
/// is set, typed or pasted beyond; these fields take text of any length.
void liftLengthLimit(QLineEdit* edit)
{
    edit->setMaxLength(std::numeric_limits<int>::max());
}

}  // namespace

void applyControlFont(QWidget* control)
{
    QFont font = control->font();
    font.setPixelSize(11);
    control->setFont(font);
}

void setTextStyle(QWidget* control, bool bold, bool underline)
{
    QFont font = control->font();
    font.setBold(bold);
    font.setUnderline(underline);
    control->setFont(font);
}

void setTextColor(QWidget* control, unsigned rgb)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(rgb));
    palette.setColor(QPalette::Text, QColor::fromRgb(rgb));
    control->setPalette(palette);
}

Label::Label(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setTextAlign(0);
}

void Label::setTextAlign(int align)
{
    const Qt::Alignment horizontal = align == 2 ? Qt::AlignRight : align == 1 ? Qt::AlignHCenter : Qt::AlignLeft;
    setAlignment(horizontal | Qt::AlignVCenter);
}

TextField::TextField(QWidget* parent) : QLineEdit(parent)
{
    liftLengthLimit(this);
}

PopupMenu::PopupMenu(QWidget* parent) : QComboBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void PopupMenu::setRows(const QString& rowsSeparatedByCR)
{
    clear();
    addItems(rowsOf(rowsSeparatedByCR));
}

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    liftLengthLimit(lineEdit());
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setFocusPolicy(Qt::StrongFocus);
}

void ComboBox::setRows(const QString& rowsSeparatedByCR)
{
    clear();
    addItems(rowsOf(rowsSeparatedByCR));
}

PushButton::PushButton(QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
    setDefault(false);
    setFocusPolicy(Qt::StrongFocus);
}

BevelButton::BevelButton(QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
    setDefault(false);
    setFocusPolicy(Qt::StrongFocus);
}

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

}  // namespace gui
