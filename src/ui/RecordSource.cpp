#include "RecordSource.h"

#include "Controls.h"
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

/// How the data control reads, shows and compares one kind of bound control.
class BoundControl {
public:
    virtual ~BoundControl() = default;
    /// Labels only show their field.
    virtual bool writable() const { return true; }
    /// The content, to tell whether the user changed it since it was shown.
    virtual QString content(QWidget* control) const = 0;
    /// The value to store; nullopt with `error` set when it does not fit the field.
    virtual std::optional<QVariant> value(QWidget* control, FieldType type, Error* error) const = 0;
    virtual void show(QWidget* control, FieldType type, const QVariant& stored) const = 0;
};

namespace {

class MaskedDateBinding final : public BoundControl {
    static MaskedDateEdit* of(QWidget* c) { return static_cast<MaskedDateEdit*>(c); }

public:
    QString content(QWidget* c) const override { return of(c)->isBlank() ? QString() : of(c)->maskedText(); }
    std::optional<QVariant> value(QWidget* c, FieldType type, Error* error) const override
    {
        // The entry's fixed month-first form, whatever the user's convention.
        if (of(c)->isBlank())
            return QVariant();
        if (type == FieldType::Date && of(c)->date().isValid())
            return QVariant(of(c)->date());
        return fromText(type, of(c)->maskedText(), error);
    }
    void show(QWidget* c, FieldType type, const QVariant& stored) const override
    {
        of(c)->setMaskedText(toText(type, stored, Shown::Masked));
    }
};

class LineEditBinding final : public BoundControl {
    static QLineEdit* of(QWidget* c) { return static_cast<QLineEdit*>(c); }

public:
    QString content(QWidget* c) const override { return of(c)->text(); }
    std::optional<QVariant> value(QWidget* c, FieldType type, Error* error) const override
    {
        return fromText(type, of(c)->text(), error);
    }
    void show(QWidget* c, FieldType type, const QVariant& stored) const override
    {
        // Showing the record just stored leaves most boxes as they are, and a
        // box given its own text again would lay that text out for nothing.
        setTextIfChanged(of(c), toText(type, stored));
    }
};

class MemoBinding final : public BoundControl {
    static QPlainTextEdit* of(QWidget* c) { return static_cast<QPlainTextEdit*>(c); }

public:
    QString content(QWidget* c) const override { return of(c)->toPlainText(); }
    std::optional<QVariant> value(QWidget* c, FieldType type, Error* error) const override
    {
        return fromText(type, of(c)->toPlainText(), error);
    }
    void show(QWidget* c, FieldType type, const QVariant& stored) const override
    {
        const QString text = toText(type, stored);
        if (auto* memo = qobject_cast<MemoBox*>(c))
            memo->setNote(text);
        else if (of(c)->toPlainText() != text)
            of(c)->setPlainText(text);
    }
};

class CheckBinding final : public BoundControl {
    static QCheckBox* of(QWidget* c) { return static_cast<QCheckBox*>(c); }

public:
    QString content(QWidget* c) const override
    {
        return of(c)->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    }
    std::optional<QVariant> value(QWidget* c, FieldType type, Error*) const override
    {
        return type == FieldType::YesNo ? QVariant(of(c)->isChecked()) : QVariant(of(c)->isChecked() ? -1 : 0);
    }
    void show(QWidget* c, FieldType, const QVariant& stored) const override
    {
        of(c)->setChecked(stored.isValid() && !stored.isNull() && stored.toBool());
    }
};

class LabelBinding final : public BoundControl {
    static QLabel* of(QWidget* c) { return static_cast<QLabel*>(c); }

public:
    bool writable() const override { return false; }
    QString content(QWidget* c) const override { return of(c)->text(); }
    std::optional<QVariant> value(QWidget*, FieldType, Error*) const override { return std::nullopt; }
    void show(QWidget* c, FieldType type, const QVariant& stored) const override
    {
        of(c)->setText(toText(type, stored));
    }
};

// The one place that tells the kinds of bound controls apart.
const BoundControl* bindingFor(QWidget* control)
{
    static const MaskedDateBinding masked;
    static const LineEditBinding line;
    static const MemoBinding memo;
    static const CheckBinding check;
    static const LabelBinding label;
    if (qobject_cast<MaskedDateEdit*>(control))
        return &masked;
    if (qobject_cast<QLineEdit*>(control))
        return &line;
    if (qobject_cast<QPlainTextEdit*>(control))
        return &memo;
    if (qobject_cast<QCheckBox*>(control))
        return &check;
    if (qobject_cast<QLabel*>(control))
        return &label;
    return nullptr;
}

} // namespace

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

RecordSource::~RecordSource()
{
    // Nothing may run against half-destroyed controls.
    m_set.beforeLeave = nullptr;
    m_set.afterMove = nullptr;
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
    const BoundControl* kind = bindingFor(control);
    Q_ASSERT_X(kind, "RecordSource::bind", "a control of a kind that cannot be bound");
    if (kind)
        m_bindings.append({control, kind, field, kind->content(control)});
}

void RecordSource::step(int direction)
{
    bool moved = false;
    switch (direction) {
    case -2:
        moved = m_set.MoveFirst();
        break;
    case -1:
        // The bar stops at the first record rather than running off it.
        moved = m_set.MovePrevious();
        if (!moved && !m_set.error())
            moved = m_set.MoveFirst();
        break;
    case 1:
        moved = m_set.MoveNext();
        if (!moved && !m_set.error() && !m_set.hasCurrent())
            moved = m_set.MoveLast();
        break;
    default:
        moved = m_set.MoveLast();
        break;
    }
    if (!moved && m_set.error())
        reportStoreError(QStringLiteral("The next record could not be read from %1.").arg(m_set.table()));
}

bool RecordSource::moveToPosition(qint64 position)
{
    if (m_set.moveToPosition(position))
        return true;
    if (m_set.error())
        reportStoreError(QStringLiteral("The record could not be read from %1.").arg(m_set.table()));
    return false;
}

bool RecordSource::storeFieldText(qint64 position, const QString& field, const QString& text)
{
    const int index = m_set.fieldIndex(field);
    if (index < 0 || m_set.Fields().at(index).isKey || m_set.isReadOnly())
        return false;
    if (m_set.currentPosition() != position && !moveToPosition(position))
        return false;
    Error error;
    const auto value = fromText(m_set.Fields().at(index).type, text, &error);
    if (!value) {
        msgBox(QStringLiteral("%1 cannot be stored: %2").arg(field, error.message), Buttons::Ok, Icon::Exclamation);
        return false;
    }
    if (sameValue(*value, m_set.value(index)))
        return true;
    if (!m_set.store({{index, *value}})) {
        reportStoreError(QStringLiteral("The record could not be stored in %1.").arg(m_set.table()));
        return false;
    }
    showRecord();
    emit stored();
    return true;
}

void RecordSource::reportStoreError(const QString& what) const
{
    msgBox(what + QStringLiteral("\n\n") + m_set.error().text(), Buttons::Ok, Icon::Critical);
}

bool RecordSource::hasEditableBindings() const
{
    return std::any_of(m_bindings.begin(), m_bindings.end(),
                       [](const Binding& b) { return b.control && b.kind->writable(); });
}

bool RecordSource::Refresh()
{
    if (m_set.isOpen() && !writeBack())
        return false;
    for (;;) {
        store::Error error;
        if (m_set.open(m_path, m_source, &error))
            break;
        showRecord();
        emit reopened();
        // A lock held by another program passes: the user may try again.
        if (error.kind == store::Error::Kind::InUse) {
            if (msgBox(error.text(), Buttons::RetryCancel, Icon::Exclamation) == Answer::Retry)
                continue;
            return false;
        }
        msgBox(QStringLiteral("The records of this screen cannot be opened.\n\n") + error.text(), Buttons::Ok,
               Icon::Critical);
        return false;
    }
    emit reopened();
    // Told when the screen opens, not at the first Save.
    if (m_set.database()->isReadOnly() && hasEditableBindings()) {
        msgBox(store::Error::about(store::Error::Kind::ReadOnly, m_set.database()->path()).message, Buttons::Ok,
               Icon::Exclamation);
    }
    return true;
}

bool RecordSource::tryRefresh(store::Error* error)
{
    if (error)
        *error = {};
    if (m_set.isOpen() && !writeBack())
        return false;
    store::Error why;
    const bool opened = m_set.open(m_path, m_source, &why);
    if (!opened) {
        showRecord();
        if (error)
            *error = why;
    }
    emit reopened();
    return opened;
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
    emit reopened();
}

bool RecordSource::UpdateRecord()
{
    return writeBack();
}

bool RecordSource::Execute(const QString& statement, int* rowsAffected)
{
    store::Error error;
    std::shared_ptr<Database> db = Database::open(m_path, &error);
    if (!db || !db->execute(statement, &error, rowsAffected)) {
        msgBox(QStringLiteral("The statement could not be run.\n\n") + error.text(), Buttons::Ok, Icon::Critical);
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
    Close();
    return true;
}

bool RecordSource::writeBackOnExit()
{
    if (!m_set.isOpen())
        return true;
    if (m_set.isNew())
        m_set.CancelUpdate();
    const bool stored = writeBack();
    Close();
    return stored;
}

void RecordSource::discard()
{
    Close();
}

std::optional<QHash<int, QVariant>> RecordSource::boundValues()
{
    QHash<int, QVariant> values;
    const bool adding = m_set.isNew();
    for (const Binding& binding : std::as_const(m_bindings)) {
        QWidget* control = binding.control;
        const int field = m_set.fieldIndex(binding.field);
        if (!control || field < 0 || !binding.kind->writable())
            continue;
        if (!adding && binding.kind->content(control) == binding.shown)
            continue; // untouched since the record was shown
        const FieldType type = m_set.Fields().at(field).type;
        Error error;
        const std::optional<QVariant> value = binding.kind->value(control, type, &error);
        if (!value) {
            const QString name = control->accessibleName().isEmpty() ? binding.field : control->accessibleName();
            msgBox(QStringLiteral("%1 cannot be stored: %2").arg(name, error.message), Buttons::Ok, Icon::Exclamation);
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
    if (!m_set.store(*values)) {
        reportStoreError(QStringLiteral("The record could not be stored in %1.").arg(m_set.table()));
        return false;
    }
    // Every bound control shows the record as stored: the record number the
    // store assigned, and one value in each pair of controls bound to one field.
    showRecord();
    emit stored();
    return true;
}

void RecordSource::showRecord()
{
    for (Binding& binding : m_bindings) {
        QWidget* control = binding.control;
        if (!control)
            continue;
        const int field = m_set.fieldIndex(binding.field);
        const FieldType type = field >= 0 ? m_set.Fields().at(field).type : FieldType::Text;
        const QVariant stored = m_set.hasCurrent() && field >= 0 ? m_set.value(field) : QVariant();
        binding.kind->show(control, type, stored);
        binding.shown = binding.kind->content(control);
    }
}

} // namespace ui
