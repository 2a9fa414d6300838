#include "Controls.h"

#include "ControlEvents.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace ui {
namespace {

QString plain(const QString& caption)
{
    QString text = caption;
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text.trimmed();
}

} // namespace

void markPlaced(QWidget* container)
{
    container->setProperty("stopwellPlaced", true);
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, QRect at, const QString& toolTip)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(at);
    b->setToolTip(toolTip);
    b->setAccessibleName(plain(caption));
    b->setAutoDefault(false);
    return b;
}

namespace {

/// A combo box that says when its list is about to drop down.
class DropDownCombo final : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> dropDown;

    void showPopup() override
    {
        if (dropDown)
            dropDown();
        QComboBox::showPopup();
    }
};

} // namespace

QComboBox* nameDropDown(QWidget* parent, const QString& name, QRect at, int maxLength, const QString& accessibleName,
                        const QString& toolTip, std::function<void()> dropDown)
{
    auto* combo = new DropDownCombo(parent);
    combo->setObjectName(name);
    combo->setGeometry(at);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->lineEdit()->setMaxLength(maxLength);
    combo->setToolTip(toolTip);
    combo->setAccessibleName(accessibleName);
    combo->dropDown = std::move(dropDown);
    return combo;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption, QRect at)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setGeometry(at);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLineEdit* textBox(QWidget* parent, const QString& name, QRect at, int maxLength, const QString& accessibleName,
                   const QString& toolTip)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(at);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    e->setAccessibleName(accessibleName);
    e->setToolTip(toolTip);
    return e;
}

namespace {

bool hasLongWord(const QString& text)
{
    constexpr qsizetype kLongestWord = 2000;
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestWord)
            return true;
    }
    return false;
}

} // namespace

MemoBox::MemoBox(QWidget* parent) : QPlainTextEdit(parent)
{
    // Keys held down grow a run one character at a time.
    connect(this, &QPlainTextEdit::textChanged, this, [this] { chooseWrap(toPlainText()); });
}

void MemoBox::chooseWrap(const QString& text)
{
    const auto mode = hasLongWord(text) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}

void MemoBox::setNote(const QString& text)
{
    if (text == toPlainText())
        return;
    // The long run breaks anywhere before it is laid out; a short note
    // replaces it before lines break between words again.
    if (hasLongWord(text))
        chooseWrap(text);
    setPlainText(text);
}

void MemoBox::insertFromMimeData(const QMimeData* source)
{
    if (source->hasText())
        chooseWrap(toPlainText() + source->text());
    QPlainTextEdit::insertFromMimeData(source);
}

QPlainTextEdit* memoBox(QWidget* parent, const QString& name, QRect at, const QString& accessibleName,
                        const QString& toolTip)
{
    auto* m = new MemoBox(parent);
    m->setObjectName(name);
    m->setGeometry(at);
    m->setAccessibleName(accessibleName);
    m->setToolTip(toolTip);
    m->setTabChangesFocus(true);
    return m;
}

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& caption, QRect at,
                    const QString& accessibleName, const QString& toolTip)
{
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    c->setGeometry(at);
    c->setAccessibleName(accessibleName.isEmpty() ? plain(caption) : accessibleName);
    c->setToolTip(toolTip);
    return c;
}

QRadioButton* optionButton(QWidget* parent, const QString& name, const QString& caption, QRect at,
                           const QString& accessibleName, const QString& toolTip)
{
    auto* o = new QRadioButton(caption, parent);
    o->setObjectName(name);
    o->setGeometry(at);
    o->setAccessibleName(accessibleName.isEmpty() ? plain(caption) : accessibleName);
    o->setToolTip(toolTip);
    return o;
}

QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption, QRect at)
{
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(name);
    f->setGeometry(at);
    markPlaced(f);
    return f;
}

void selectAllOnFocus(QLineEdit* edit)
{
    onGotFocus(edit, edit, [edit] {
        edit->setSelection(0, int(edit->text().size()));
        // A mouse click places the cursor after the focus arrives: select again once it has.
        QMetaObject::invokeMethod(
            edit,
            [edit] {
                if (edit->hasFocus())
                    edit->setSelection(0, int(edit->text().size()));
            },
            Qt::QueuedConnection);
    });
}

void setTextIfChanged(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}

void setTextIfChanged(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

} // namespace ui
