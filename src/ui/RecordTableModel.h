#pragma once

#include <QAbstractTableModel>
#include <QCache>
#include <QPointer>

namespace ui {

class RecordSource;

/// The records of a record source as a table for a grid: one row per record
/// of its current set, in its order, and one column per field chosen. Rows
/// are read as the grid reaches them, never all at once, so a grid over a
/// million calls opens at once and scrolls from the first to the last. An
/// edit made in the grid goes through the record source, with the checks the
/// screens apply (a number must be a number, a date a real date).
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString heading;
    };

    RecordTableModel(RecordSource* source, QList<Column> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    /// The row of the record source's current record; -1 when none.
    int currentRow() const;
    /// Reads everything again (the record source was refreshed or changed).
    void reload();

private:
    struct Row {
        QVariantList values;
        bool gone = false; // deleted by another program since the set was opened
    };
    const Row* rowAt(int row) const;
    void recordStored();

    QPointer<RecordSource> m_source;
    QList<Column> m_columns;
    mutable QList<int> m_fields; // field index of each column
    mutable qint64 m_count = -1;
    mutable QCache<int, Row> m_rows{2048};
};

} // namespace ui
