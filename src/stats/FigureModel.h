#pragma once

#include "stats/engine/FigureTable.h"

#include <QAbstractTableModel>

namespace stats {

/// A table of figures for a grid. Numbers stand right; a shaded model colours
/// each count from white to deep red by its share of the largest count, the
/// first and last columns (the row's name and its total) left plain.
class FigureModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FigureModel(QObject* parent = nullptr);

    /// Shows another table (the model keeps its own copy).
    void setTable(FigureTable table);
    const FigureTable& table() const { return m_table; }
    /// Shades the counts between the first and the last column.
    void setShaded(bool shaded);
    /// The colour a count is shaded with when the largest count is `largest`.
    static QColor shade(double count, double largest);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool isShadedCell(int column) const;
    FigureTable m_table;
    bool m_shaded = false;
    double m_largest = 0;
};

} // namespace stats
