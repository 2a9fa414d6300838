#pragma once

#include "maint/engine/DueList.h"
#include "maint/engine/Table.h"

#include <QAbstractTableModel>
#include <QColor>

namespace maint {

/// The colour a state is shown in, the same in the list, the grid and its key.
QColor stateColour(State state);

/// A table of the schedule for a grid: numbers stand right, a state cell is
/// coloured by its state. The model keeps its own copy of the table.
class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableModel(QObject* parent = nullptr);

    void setTable(Table table);
    const Table& table() const { return m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    Table m_table;
};

/// The per-lane tasks by lane: a row a task, a column a lane. Each cell shows
/// how much of the task's interval that lane has used, in percent ("never"
/// when it was never done), on the colour of its state.
class DueGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DueGridModel(QObject* parent = nullptr);

    /// Shows the per-lane tasks of a due list, copied.
    void setDueList(const DueList& list);
    /// The entry shown in a cell, or null.
    const DueEntry* entryAt(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<Task> m_tasks;
    int m_lanes = 0;
    QList<DueEntry> m_cells; // row by row, m_lanes a row
};

} // namespace maint
