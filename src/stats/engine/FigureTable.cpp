#include "FigureTable.h"

#include "store/FieldValue.h"

#include <bit>
#include <cmath>

namespace stats {

FigureTable::FigureTable(QString title, QList<Column> columns)
    : m_title(std::move(title)), m_columns(std::move(columns)), m_cells(size_t(m_columns.size()))
{
}

void FigureTable::addRow()
{
    for (Cells& cells : m_cells) {
        cells.values.push_back(0);
        cells.tags.push_back(Tag::Empty);
    }
    ++m_rows;
}

void FigureTable::put(int row, int column, Tag tag, qint64 bits)
{
    Cells& cells = m_cells.at(size_t(column));
    cells.values.at(size_t(row)) = bits;
    cells.tags.at(size_t(row)) = tag;
}

int FigureTable::textIndex(std::string_view utf8)
{
    if (const auto it = m_textIndex.find(utf8); it != m_textIndex.end())
        return it->second;
    const int index = int(m_texts.size());
    m_texts.append(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
    m_textIndex.emplace(std::string(utf8), index);
    return index;
}

void FigureTable::setText(int column, std::string_view utf8)
{
    put(m_rows - 1, column, Tag::Word, textIndex(utf8));
}

void FigureTable::setText(int column, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    setText(column, std::string_view(utf8.constData(), size_t(utf8.size())));
}

void FigureTable::setDate(int column, QDate date)
{
    if (date.isValid())
        put(m_rows - 1, column, Tag::Number, date.toJulianDay());
}

void FigureTable::setCount(int column, qint64 count)
{
    put(m_rows - 1, column, Tag::Number, count);
}

void FigureTable::setCountAt(int row, int column, qint64 count)
{
    put(row, column, Tag::Number, count);
}

void FigureTable::setReal(int column, double value)
{
    if (std::isfinite(value))
        put(m_rows - 1, column, Tag::Number, std::bit_cast<qint64>(value));
}

bool FigureTable::isEmpty(int row, int column) const
{
    return m_cells.at(size_t(column)).tags.at(size_t(row)) == Tag::Empty;
}

QVariant FigureTable::value(int row, int column) const
{
    const Cells& cells = m_cells.at(size_t(column));
    const qint64 bits = cells.values.at(size_t(row));
    switch (cells.tags.at(size_t(row))) {
    case Tag::Empty:
        return {};
    case Tag::Word:
        return m_texts.at(bits);
    case Tag::Number:
        break;
    }
    switch (m_columns.at(column).kind) {
    case Kind::Day:
    case Kind::Week:
    case Kind::Month:
    case Kind::Year:
        return QDate::fromJulianDay(bits);
    case Kind::Ratio:
    case Kind::Decimal:
    case Kind::Percent:
        return std::bit_cast<double>(bits);
    case Kind::Count:
    case Kind::Text:
        break;
    }
    return bits;
}

double FigureTable::number(int row, int column) const
{
    const QVariant v = value(row, column);
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong ? v.toDouble() : 0.0;
}

QString FigureTable::text(int row, int column, const QLocale& locale) const
{
    const QVariant v = value(row, column);
    if (v.isNull() || v.typeId() == QMetaType::QString)
        return v.toString();
    switch (m_columns.at(column).kind) {
    case Kind::Day:
    case Kind::Week:
        return shownDay(v.toDate());
    case Kind::Month:
        return locale.toString(v.toDate(), QStringLiteral("MMM yyyy"));
    case Kind::Year:
        return QString::number(v.toDate().year());
    case Kind::Ratio:
        return locale.toString(std::llround(v.toDouble()));
    case Kind::Decimal:
        return locale.toString(v.toDouble(), 'f', 1);
    case Kind::Percent:
        return locale.toString(v.toDouble(), 'f', 1) + locale.percent();
    case Kind::Count:
    case Kind::Text:
        break;
    }
    return locale.toString(v.toLongLong());
}

void FigureTable::reorder(const std::vector<int>& order)
{
    for (Cells& cells : m_cells) {
        Cells moved;
        moved.values.reserve(order.size());
        moved.tags.reserve(order.size());
        for (const int from : order) {
            moved.values.push_back(cells.values.at(size_t(from)));
            moved.tags.push_back(cells.tags.at(size_t(from)));
        }
        cells = std::move(moved);
    }
    m_rows = int(order.size());
}

QString shownDay(QDate day)
{
    return QLocale().toString(day, store::shortDateFormat());
}

QString periodLine(QDate from, QDate to)
{
    const qint64 days = from.daysTo(to) + 1;
    return QStringLiteral("Figures of %1 to %2 (%3 %4).")
        .arg(shownDay(from), shownDay(to), QLocale().toString(days),
             days == 1 ? QStringLiteral("day") : QStringLiteral("days"));
}

} // namespace stats
