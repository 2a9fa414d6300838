#include "FigureModel.h"

#include <QColor>

#include <algorithm>

namespace stats {

FigureModel::FigureModel(QObject* parent) : QAbstractTableModel(parent) {}

void FigureModel::setTable(const FigureTable* table)
{
    beginResetModel();
    m_table = table;
    m_largest = 0;
    if (m_shaded) {
        const FigureTable& t = this->table();
        for (int row = 0; row < t.rowCount(); ++row)
            for (int column = 1; column + 1 < t.columnCount(); ++column)
                m_largest = std::max(m_largest, t.number(row, column));
    }
    endResetModel();
}

const FigureTable& FigureModel::table() const
{
    static const FigureTable none;
    return m_table ? *m_table : none;
}

void FigureModel::setShaded(bool shaded)
{
    m_shaded = shaded;
    setTable(m_table);
}

QColor FigureModel::shade(double count, double largest)
{
    if (largest <= 0 || count <= 0)
        return QColor(Qt::white);
    // From a pale rose for one call to deep red for the most: the lane or hour
    // to look at first stands out, and the counts stay readable on it.
    const double share = std::clamp(count / largest, 0.0, 1.0);
    const int green = int(235 - 190 * share);
    return QColor(255 - int(55 * share), green, green);
}

bool FigureModel::isShadedCell(int column) const
{
    return m_shaded && column > 0 && column + 1 < table().columnCount();
}

int FigureModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table().rowCount();
}

int FigureModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table().columnCount();
}

QVariant FigureModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int column = index.column();
    const FigureTable& figures = table();
    switch (role) {
    case Qt::DisplayRole:
        return figures.text(row, column);
    case Qt::TextAlignmentRole: {
        const bool text = figures.columns().at(column).kind == Kind::Text;
        return int((text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }
    case Qt::BackgroundRole:
        if (isShadedCell(column))
            return shade(figures.number(row, column), m_largest);
        return {};
    case Qt::ForegroundRole:
        if (isShadedCell(column))
            return QColor(figures.number(row, column) > m_largest * 0.6 ? Qt::white : Qt::black);
        return {};
    default:
        return {};
    }
}

QVariant FigureModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < table().columnCount() ? table().columns().at(section).caption : QVariant();
    return section + 1;
}

} // namespace stats
