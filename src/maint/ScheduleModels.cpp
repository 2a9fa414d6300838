#include "ScheduleModels.h"

#include <QHash>

namespace maint {
namespace {

State stateNamed(const QString& name)
{
    for (State state : {State::Done, State::DueSoon, State::Due, State::Overdue})
        if (stateName(state) == name)
            return state;
    return State::Done;
}

} // namespace

QColor stateColour(State state)
{
    // Pale enough for black figures to stay readable on every one of them.
    switch (state) {
    case State::Done:
        return QColor(0xc8, 0xe6, 0xc9);
    case State::DueSoon:
        return QColor(0xff, 0xf1, 0x76);
    case State::Due:
        return QColor(0xff, 0xb7, 0x4d);
    case State::Overdue:
        return QColor(0xef, 0x7a, 0x7a);
    }
    return QColor(Qt::white);
}

TableModel::TableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TableModel::setTable(Table table)
{
    beginResetModel();
    m_table = std::move(table);
    endResetModel();
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.rowCount();
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Kind kind = m_table.columns.at(index.column()).kind;
    switch (role) {
    case Qt::DisplayRole:
        return m_table.text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int((kind == Kind::Count ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (kind == Kind::State && !m_table.value(index.row(), index.column()).isNull())
            return stateColour(stateNamed(m_table.value(index.row(), index.column()).toString()));
        return {};
    case Qt::ForegroundRole:
        if (kind == Kind::State)
            return QColor(Qt::black);
        return {};
    default:
        return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_table.columnCount() ? m_table.columns.at(section).caption : QString();
    return section + 1;
}

DueGridModel::DueGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void DueGridModel::setDueList(const DueList& list)
{
    beginResetModel();
    m_tasks.clear();
    m_cells.clear();
    m_lanes = list.request.lanes;
    QHash<QPair<qint64, int>, int> at;
    for (int i = 0; i < list.entries.size(); ++i)
        at.insert({list.entries.at(i).task.id, list.entries.at(i).lane}, i);
    for (const Task& task : list.tasks) {
        if (!task.perLane)
            continue;
        m_tasks << task;
        for (int lane = 1; lane <= m_lanes; ++lane) {
            const int i = at.value({task.id, lane}, -1);
            DueEntry none;
            none.task = task;
            none.lane = lane;
            m_cells << (i >= 0 ? list.entries.at(i) : none);
        }
    }
    endResetModel();
}

const DueEntry* DueGridModel::entryAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= m_tasks.size() || index.column() >= m_lanes)
        return nullptr;
    return &m_cells.at(index.row() * m_lanes + index.column());
}

int DueGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_tasks.size());
}

int DueGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_tasks.isEmpty() ? 0 : m_lanes;
}

QVariant DueGridModel::data(const QModelIndex& index, int role) const
{
    const DueEntry* entry = entryAt(index);
    if (!entry)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return entry->neverDone() ? QStringLiteral("never") : QLocale().toString(entry->percentUsed) + QLatin1Char('%');
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return stateColour(entry->state);
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    case Qt::ToolTipRole: {
        const QString where = QStringLiteral("%1, lane %2: %3")
                                  .arg(entry->task.text)
                                  .arg(entry->lane)
                                  .arg(stateName(entry->state).toLower());
        if (entry->neverDone())
            return QString(where + QStringLiteral(", never done"));
        return QString(where +
                       QStringLiteral(", %1% of its interval used; last done %2 by %3")
                           .arg(QLocale().toString(entry->percentUsed), shownDay(entry->lastDone), entry->lastBy));
    }
    default:
        return {};
    }
}

QVariant DueGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return QString::number(section + 1);
    return section < m_tasks.size() ? m_tasks.at(section).text : QString();
}

} // namespace maint
