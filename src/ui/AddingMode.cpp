#include "AddingMode.h"

#include "MaskedDateEdit.h"
#include "Platform.h"
#include "RecordSource.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace ui {

AddingMode::AddingMode(RecordSource* source, MaskedDateEdit* date, QString missingDate, QList<QWidget*> boxes,
                       QObject* parent)
    : QObject(parent), m_source(source), m_date(date), m_missingDate(std::move(missingDate)), m_boxes(std::move(boxes))
{
}

bool AddingMode::isAdding() const
{
    return m_source && m_source->Recordset().isNew();
}

QString AddingMode::contentOf(QWidget* box) const
{
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        return edit->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(box))
        return memo->toPlainText();
    return {};
}

bool AddingMode::begin()
{
    // Leaving the day shown stores its edits first; when that is refused the
    // user was told why and stays on it.
    m_source->Recordset().AddNew();
    if (!isAdding())
        return false;
    m_source->setEnabled(false);
    markStart();
    return true;
}

void AddingMode::markStart()
{
    m_start.clear();
    for (QWidget* box : std::as_const(m_boxes))
        m_start << contentOf(box);
}

bool AddingMode::typedSomething() const
{
    if (!m_date->isBlank())
        return true;
    for (qsizetype i = 0; i < m_boxes.size(); ++i) {
        if (contentOf(m_boxes.at(i)) != m_start.value(i))
            return true;
    }
    return false;
}

bool AddingMode::dateReady()
{
    if (m_date->isBlank()) {
        msgBox(m_missingDate);
        m_date->show();
        m_date->setFocus();
        return false;
    }
    if (!m_date->acceptTypedDate()) {
        m_date->show();
        return false;
    }
    return true;
}

bool AddingMode::save()
{
    if (!isAdding())
        return m_source->UpdateRecord();
    if (!dateReady() || !m_source->UpdateRecord())
        return false;
    ended();
    return true;
}

void AddingMode::cancel()
{
    if (isAdding())
        m_source->Recordset().CancelUpdate();
    ended();
}

bool AddingMode::settle()
{
    if (!isAdding())
        return true;
    if (!typedSomething()) {
        cancel(); // nothing was typed: there is no day to keep
        return true;
    }
    return save();
}

void AddingMode::ended()
{
    m_source->setEnabled(true);
}

void AddingMode::enableOnlyWithRecord(QList<QWidget*> boxes)
{
    auto apply = [this, boxes] {
        const bool record = m_source->Recordset().hasCurrent() || m_source->Recordset().isNew();
        for (QWidget* box : boxes)
            box->setEnabled(record);
    };
    connect(m_source, &RecordSource::Reposition, this, apply);
    connect(m_source, &RecordSource::reopened, this, apply);
    apply();
}

} // namespace ui
