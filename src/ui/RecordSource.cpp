#include "RecordSource.h"

#include "MaskedDateEdit.h"
#include "Platform.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace ui {

using namespace store;

RecordSource::RecordSource(QWidget* parent, const QString& name, const QString& source)
    : QWidget(parent), m_source(source), m_caption(new QLabel(this))
{
    setObjectName(name);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const struct {
        const char* name;
        const char* text;
        const char* accessible;
    } buttons[] = {{"First", "|\u25C0", "First record"},
                   {"Previous", "\u25C0", "Previous record"},
                   {"Next", "\u25B6", "Next record"},
                   {"Last", "\u25B6|", "Last record"}};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(buttons[i].name));
        b->setText(QString::fromUtf8(buttons[i].text));
        b->setAccessibleName(QString::fromLatin1(buttons[i].accessible));
        b->setToolTip(QString::fromLatin1(buttons[i].accessible));
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        m_buttons.append(b);
        if (i == 2) {
            m_caption->setAlignment(Qt::AlignCenter);
            m_caption->setFrameShape(QFrame::StyledPanel);
            m_caption->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            layout->addWidget(m_caption, 1);
        }
        layout->addWidget(b);
    }
    connect(m_buttons[0], &QToolButton::clicked, this, [this] { step(-2); });
    connect(m_buttons[1], &QToolButton::clicked, this, [this] { step(-1); });
    connect(m_buttons[2], &QToolButton::clicked, this, [this] { step(1); });
    connect(m_buttons[3], &QToolButton::clicked, this, [this] { step(2); });

    m_set.beforeLeave = [this] { return writeBack(); };
    m_set.afterMove = [this] {
        showRecord();
        emit Reposition();
    };
}

void RecordSource::setCaption(const QString& caption)
{
    m_caption->setText(caption);
}

QString RecordSource::caption() const
{
    return m_caption->text();
}

void RecordSource::bind(QWidget* control, const QString& field)
{
    m_bindings.append({control, field, contentOf(control)});
}

void RecordSource::step(int direction)
{
    switch (direction) {
    case -2:
        m_set.MoveFirst();
        break;
    case -1:
        // The bar stops at the first record rather than running off it.
        if (!m_set.MovePrevious())
            m_set.MoveFirst();
        break;
    case 1:
        if (!m_set.MoveNext() && !m_set.hasCurrent())
            m_set.MoveLast();
        break;
    default:
        m_set.MoveLast();
        break;
    }
}

void RecordSource::report(const QString& what, const QString& error) const
{
    msgBox(what + QStringLiteral("\n\n") + error, Buttons::Ok, Icon::Critical);
}

bool RecordSource::Refresh()
{
    if (m_set.isOpen() && !writeBack())
        return false;
    QString error;
    if (!m_set.open(m_path, m_source, &error)) {
        report(QStringLiteral("The records of this screen cannot be opened."), error);
        showRecord();
        return false;
    }
    return true;
}

bool RecordSource::openOnLoad()
{
    if (m_set.isOpen() || m_source.isEmpty())
        return true;
    return Refresh();
}

void RecordSource::Close()
{
    m_set.close();
}

bool RecordSource::UpdateRecord()
{
    return writeBack();
}

bool RecordSource::Execute(const QString& statement, int* rowsAffected)
{
    QString error;
    std::shared_ptr<Database> db = Database::open(m_path, &error);
    if (!db || !db->execute(statement, &error, rowsAffected)) {
        report(QStringLiteral("The statement could not be run."), error);
        return false;
    }
    return true;
}

bool RecordSource::writeBackOnClose()
{
    if (!m_set.isOpen())
        return true;
    if (!writeBack())
        return false;
    m_set.close();
    return true;
}

bool RecordSource::writeBackOnExit()
{
    if (!m_set.isOpen())
        return true;
    if (m_set.isNew())
        m_set.CancelUpdate();
    const bool stored = writeBack();
    m_set.close();
    return stored;
}

std::optional<QHash<int, QVariant>> RecordSource::boundValues()
{
    QHash<int, QVariant> values;
    const bool adding = m_set.isNew();
    for (const Binding& binding : std::as_const(m_bindings)) {
        QWidget* control = binding.control;
        const int field = m_set.fieldIndex(binding.field);
        if (!control || field < 0 || qobject_cast<QLabel*>(control))
            continue;
        if (!adding && contentOf(control) == binding.shown)
            continue; // untouched since the record was shown
        const FieldType type = m_set.Fields().at(field).type;
        std::optional<QVariant> value;
        QString error;
        if (auto* masked = qobject_cast<MaskedDateEdit*>(control)) {
            // The entry's fixed month-first form, whatever the user's convention.
            if (masked->isBlank())
                value = QVariant();
            else if (type == FieldType::Date && masked->date().isValid())
                value = QVariant(masked->date());
            else
                value = fromText(type, masked->maskedText(), &error);
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            value = fromText(type, edit->text(), &error);
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
            value = fromText(type, memo->toPlainText(), &error);
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            value = type == FieldType::YesNo ? QVariant(check->isChecked()) : QVariant(check->isChecked() ? -1 : 0);
        } else {
            continue;
        }
        if (!value) {
            const QString name = control->accessibleName().isEmpty() ? binding.field : control->accessibleName();
            msgBox(QStringLiteral("%1 cannot be stored: %2").arg(name, error), Buttons::Ok,
                       Icon::Exclamation);
            control->setFocus();
            return std::nullopt;
        }
        const bool empty = !value->isValid() || value->isNull() ||
                           (value->typeId() == QMetaType::QString && value->toString().isEmpty());
        if (adding ? !empty : !sameValue(*value, m_set.value(field)))
            values.insert(field, *value);
    }
    return values;
}

bool RecordSource::writeBack()
{
    if (!m_set.isOpen() || m_set.isReadOnly() || (!m_set.isNew() && !m_set.hasCurrent()))
        return true;
    const auto values = boundValues();
    if (!values)
        return false;
    if (values->isEmpty())
        return true; // nothing changed; a new record with nothing set is never stored
    QString error;
    if (!m_set.store(*values, &error)) {
        report(QStringLiteral("The record could not be stored in %1.").arg(m_set.table()), error);
        return false;
    }
    // Every bound control shows the record as stored: the record number the
    // store assigned, and one value in each pair of controls bound to one field.
    showRecord();
    return true;
}

QString RecordSource::contentOf(QWidget* control)
{
    if (auto* masked = qobject_cast<MaskedDateEdit*>(control))
        return masked->isBlank() ? QString() : masked->maskedText();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        return memo->toPlainText();
    if (auto* check = qobject_cast<QCheckBox*>(control))
        return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    return {};
}

void RecordSource::showRecord()
{
    for (Binding& binding : m_bindings) {
        QWidget* control = binding.control;
        if (!control)
            continue;
        const int field = m_set.fieldIndex(binding.field);
        const bool current = m_set.hasCurrent();
        const FieldType type = field >= 0 ? m_set.Fields().at(field).type : FieldType::Text;
        const QVariant stored = current && field >= 0 ? m_set.value(field) : QVariant();
        if (auto* masked = qobject_cast<MaskedDateEdit*>(control)) {
            masked->setMaskedText(toText(type, stored, Shown::Masked));
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText(toText(type, stored));
        } else if (auto* label = qobject_cast<QLabel*>(control)) {
            label->setText(toText(type, stored));
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
            memo->setPlainText(toText(type, stored));
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            check->setChecked(stored.isValid() && !stored.isNull() && stored.toBool());
        }
        binding.shown = contentOf(control);
    }
}

} // namespace ui
