#include "MaskedDateEdit.h"

#include "Platform.h"

#include <QKeyEvent>

namespace ui {

MaskedDateEdit::MaskedDateEdit(QWidget* parent) : QLineEdit(parent)
{
    setDateMask();
    setToolTip(QStringLiteral("MM/DD/YYYY"));
}

void MaskedDateEdit::setDateMask()
{
    // Screens re-apply the mask on every key typed: while it is in place the
    // text and the cursor must stay as they are.
    if (inputMask() == QLatin1String("99/99/9999;_"))
        return;
    const QString digits = text();
    setInputMask(QStringLiteral("99/99/9999;_"));
    setText(digits);
    if (isBlank())
        setCursorPosition(0);
}

void MaskedDateEdit::setMaskedText(const QString& text)
{
    if (text.isEmpty() || text == QLatin1String(kEmpty)) {
        clear();
        setCursorPosition(0);
    } else {
        setText(text);
    }
}

bool MaskedDateEdit::isBlank() const
{
    const QString shown = displayText();
    return shown.isEmpty() || shown == QLatin1String(kEmpty);
}

QDate MaskedDateEdit::date() const
{
    return QDate::fromString(displayText(), QStringLiteral("MM/dd/yyyy"));
}

void MaskedDateEdit::setDate(const QDate& date)
{
    if (date.isValid())
        setText(date.toString(QStringLiteral("MM/dd/yyyy")));
    else
        setMaskedText({});
}

bool MaskedDateEdit::acceptTypedDate()
{
    if (isBlank() || date().isValid())
        return true;
    msgBox(QStringLiteral("\"%1\" is not a real date. Enter the day as MM/DD/YYYY.").arg(maskedText()), Buttons::Ok,
           Icon::Exclamation);
    setFocus();
    return false;
}

void MaskedDateEdit::keyPressEvent(QKeyEvent* event)
{
    emit keyDown(event->key());
    QLineEdit::keyPressEvent(event);
}

void MaskedDateEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // An empty entry is typed from its first digit, wherever it was clicked.
    if (isBlank())
        setCursorPosition(0);
}

} // namespace ui
