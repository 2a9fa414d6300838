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

    /// Shows another table, which must outlive the model or the next call (a
    /// listing of repeats is not copied); null shows none.
    void setTable(const FigureTable* table);
    const FigureTable& table() const;
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
    const FigureTable* m_table = nullptr;
    bool m_shaded = false;
    double m_largest = 0;
};

} // namespace stats
