#include "RecordTableModel.h"

#include "RecordSource.h"

#include "store/FieldValue.h"

namespace ui {

using store::FieldType;

RecordTableModel::RecordTableModel(RecordSource* source, QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), m_source(source), m_columns(std::move(columns))
{
    connect(source, &RecordSource::reopened, this, &RecordTableModel::reload);
    connect(source, &RecordSource::stored, this, &RecordTableModel::recordStored);
}

void RecordTableModel::reload()
{
    beginResetModel();
    m_count = -1;
    m_rows.clear();
    m_fields.clear();
    endResetModel();
}

void RecordTableModel::recordStored()
{
    store::RecordSet& set = m_source->Recordset();
    const qint64 before = m_count;
    const qint64 now = set.count().value_or(0);
    const int row = int(set.currentPosition());
    if (before >= 0 && now == before + 1 && row == before) {
        // A record added at the end: the grid keeps its place.
        beginInsertRows({}, int(before), int(before));
        m_count = now;
        endInsertRows();
        return;
    }
    if (before >= 0 && now == before && row >= 0) {
        m_count = now;
        m_rows.remove(row);
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        return;
    }
    reload();
}

int RecordTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_source || !m_source->isOpen())
        return 0;
    if (m_count < 0)
        m_count = m_source->Recordset().count().value_or(0);
    return int(std::min<qint64>(m_count, std::numeric_limits<int>::max()));
}

int RecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

const RecordTableModel::Row* RecordTableModel::rowAt(int row) const
{
    if (Row* cached = m_rows.object(row))
        return cached;
    store::RecordSet& set = m_source->Recordset();
    if (m_fields.isEmpty()) {
        for (const Column& column : m_columns)
            m_fields.append(set.fieldIndex(column.field));
    }
    auto values = set.rowAt(row);
    if (!values && set.error()) {
        // Not kept: the row is read again once the file is free.
        static const Row unreadable;
        return &unreadable;
    }
    auto* entry = new Row;
    if (values)
        entry->values = *values;
    else
        entry->gone = true;
    m_rows.insert(row, entry);
    return entry;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || !m_source || !m_source->isOpen())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::TextAlignmentRole)
        return {};
    const Row* row = rowAt(index.row());
    const int field = m_fields.value(index.column(), -1);
    if (row->gone || field < 0 || field >= row->values.size())
        return {};
    const FieldType type = m_source->Recordset().Fields().at(field).type;
    if (role == Qt::TextAlignmentRole)
        return store::isNumeric(type) ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    QString text = store::toText(type, row->values.value(field));
    // A cell shows one line; the whole text is there to edit.
    if (role == Qt::DisplayRole && type == FieldType::Memo) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'));
        if (end >= 0)
            text = text.left(end) + QStringLiteral(" \u2026");
    }
    return text;
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < m_columns.size() ? QVariant(m_columns.at(section).heading) : QVariant();
    return section + 1;
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    store::RecordSet& set = m_source->Recordset();
    const int field = set.fieldIndex(m_columns.at(index.column()).field);
    if (field >= 0 && !set.Fields().at(field).isKey && !set.isReadOnly())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool RecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) || !m_source)
        return false;
    return m_source->storeFieldText(index.row(), m_columns.at(index.column()).field, value.toString());
}

int RecordTableModel::currentRow() const
{
    if (!m_source || !m_source->isOpen())
        return -1;
    return int(m_source->Recordset().currentPosition());
}

} // namespace ui
