// A list's rows taken in: their groups, the width of each column and the
// lines each row takes.
#include "TableBody.h"

#include "store/JetSql.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>

namespace reports {
namespace {

// Room after a column: more after a number set to the right, so that it
// does not run into the text of the next column.
double gapAfter(const TableColumn& column)
{
    return column.right ? 8.0 : 4.0;
}

// A column of long texts keeps an inch at least: three or four words a line.
constexpr double kNarrowestMemo = 72;

// Widths between `lower` and `upper` that fill `room`: the widest columns
// are narrowed to a common width first, the narrow ones keep theirs.
QList<double> narrowed(const QList<double>& upper, const QList<double>& lower, double room)
{
    const double least = std::accumulate(lower.begin(), lower.end(), 0.0);
    QList<double> widths(upper.size());
    if (least > room) { // nothing left to give: all alike
        for (qsizetype c = 0; c < upper.size(); ++c)
            widths[c] = lower[c] * room / least;
        return widths;
    }
    double low = 0, high = *std::max_element(upper.begin(), upper.end());
    for (int step = 0; step < 40; ++step) {
        const double level = (low + high) / 2;
        double sum = 0;
        for (qsizetype c = 0; c < upper.size(); ++c)
            sum += std::min(upper[c], std::max(level, lower[c]));
        (sum > room ? high : low) = level;
    }
    for (qsizetype c = 0; c < upper.size(); ++c)
        widths[c] = std::min(upper[c], std::max(low, lower[c]));
    return widths;
}

} // namespace

TableBody::TableBody(TableShape shape, int columns)
    : m_shape(std::move(shape)), m_rows(columns), m_cells(columns), m_wrapped(columns)
{
    if (m_shape.group)
        m_grandTotals = QList<double>(m_shape.group->totals.size(), 0.0);
}

void TableBody::take(const RowChunk& chunk)
{
    if (chunk.error)
        m_failure = chunk.error;
    const qint64 from = m_rows.size();
    m_rows.append(chunk);
    takeRows(from, chunk.numbers);
}

void TableBody::takeRow(const QStringList& texts)
{
    m_rows.appendRow(m_rows.size() + 1, texts);
    takeRows(m_rows.size() - 1, {});
}

bool TableBody::sameGroup(qint64 a, qint64 b) const
{
    const int column = m_shape.group->column;
    const quint32 x = m_rows.id(column, a);
    const quint32 y = m_rows.id(column, b);
    if (x == y)
        return true;
    if (!m_shape.group->caseless || x == 0 || y == 0)
        return false;
    return store::jet::compareText(m_rows.text(column, a), m_rows.text(column, b)) == 0;
}

// Rows of one group are neighbours in report order: a new value starts a new group.
void TableBody::takeRows(qint64 from, const QList<QList<double>>& numbers)
{
    const int totals = m_shape.group ? int(m_shape.group->totals.size()) : 0;
    for (qint64 row = from; row < m_rows.size(); ++row) {
        if (m_runs.isEmpty() || (m_shape.group && !sameGroup(row, row - 1)))
            m_runs.append(Run{row, 0, QList<double>(totals, 0.0)});
        Run& run = m_runs.last();
        ++run.count;
        for (int t = 0; t < totals; ++t) {
            const double v = numbers.value(t).value(row - from);
            run.totals[t] += v;
            m_grandTotals[t] += v;
        }
        if (m_started)
            m_lines.append(quint16(rowLines(row)));
    }
}

QString TableBody::cellText(const TableColumn& column, const QString& stored) const
{
    if (stored.isNull())
        return {};
    const bool dateFormat = column.format == Format::Date || column.format == Format::DayDate;
    if (dateFormat || (column.isDate && column.format == Format::Text)) {
        const QDate date = QDate::fromString(stored.left(10), Qt::ISODate);
        if (!date.isValid())
            return cleanText(stored);
        // Weekdays in English, as the calls store them, whatever the user's language.
        if (column.format == Format::DayDate)
            return QLocale::c().dayName(date.dayOfWeek()) + QLatin1Char(' ') + reportDate(date);
        return reportDate(date);
    }
    if (column.format == Format::Number || (column.isNumber && column.format == Format::Text)) {
        bool ok = false;
        const double n = stored.toDouble(&ok);
        return ok ? numberText(n) : cleanText(stored);
    }
    return cleanText(stored);
}

const TableBody::Cell& TableBody::cell(int column, quint32 id) const
{
    QList<Cell>& cells = m_cells[column];
    if (cells.size() <= qsizetype(id))
        cells.resize(m_rows.pool(column).size());
    Cell& c = cells[id];
    if (c.width < 0) {
        const TableColumn& shape = column < m_shape.columns.size() ? m_shape.columns.at(column) : m_shape.group->value;
        c.text = cellText(shape, m_rows.pool(column).text(id));
        if (!c.text.contains(QLatin1Char('\n'))) {
            c.width = Typesetter::instance().width(Face::Body, c.text);
        } else {
            c.width = 0;
            for (const QString& paragraph : c.text.split(QLatin1Char('\n')))
                c.width = std::max(c.width, Typesetter::instance().width(Face::Body, paragraph));
        }
    }
    return c;
}

double TableBody::widestWord(int column) const
{
    double widest = 0;
    for (quint32 id = 1; id < quint32(m_rows.pool(column).size()); ++id) {
        const QStringList words = cell(column, id).text.split(QRegularExpression(QStringLiteral("\\s+")));
        for (const QString& word : words)
            widest = std::max(widest, Typesetter::instance().width(Face::Body, word));
    }
    return widest;
}

double TableBody::textWidth(int column) const
{
    return m_widths.at(column) - gapAfter(m_shape.columns.at(column));
}

const QStringList& TableBody::lines(int column, quint32 id) const
{
    static const QStringList none;
    const Cell& c = cell(column, id);
    if (c.text.trimmed().isEmpty())
        return none;
    auto it = m_wrapped[column].constFind(id);
    if (it == m_wrapped[column].constEnd()) {
        QStringList wrapped;
        if (c.width <= textWidth(column) && !c.text.contains(QLatin1Char('\n')))
            wrapped << c.text;
        else
            wrapped = Typesetter::instance().wrap(Face::Body, c.text, textWidth(column));
        it = m_wrapped[column].insert(id, wrapped);
    }
    return *it;
}

int TableBody::rowLines(qint64 row) const
{
    int most = 1;
    for (int c = 0; c < m_shape.columns.size(); ++c) {
        const quint32 id = m_rows.id(c, row);
        const Cell& value = cell(c, id);
        // Most values take one line: they are wrapped only when they do not.
        if (value.width <= textWidth(c) && !value.text.contains(QLatin1Char('\n')))
            continue;
        most = std::max(most, int(lines(c, id).size()));
    }
    return std::min(most, 65535);
}

// Each column as wide as its widest value and its caption, and at least as
// wide as the definition asks. A column of long texts (format "memo") takes
// the room left over; when there is none, the widest columns give way first,
// down to a common width but not below what the definition asks (nor below
// their widest value, if that is less), and their texts wrap.
void TableBody::settleWidths()
{
    const int n = int(m_shape.columns.size());
    QList<double> want(n), floor(n), captions(n);
    double wanted = 0, flexible = 0;
    for (int c = 0; c < n; ++c) {
        const TableColumn& column = m_shape.columns.at(c);
        const double caption = Typesetter::instance().width(Face::Bold, column.caption) + gapAfter(column);
        captions[c] = caption;
        double widest = 0;
        for (quint32 id = 1; id < quint32(m_rows.pool(c).size()); ++id)
            widest = std::max(widest, cell(c, id).width);
        const double natural = std::max(caption, widest + gapAfter(column));
        const bool memo = column.format == Format::Memo;
        want[c] = memo ? std::max(column.least, caption) : std::max(column.least, natural);
        // Narrowed, a column keeps its values whole when they are not much
        // wider than it asks for (a time, a weekday), and its longest word
        // whole otherwise; long texts give way the most.
        const double kept =
            natural <= 1.5 * column.least ? natural : std::max(column.least, widestWord(c) + gapAfter(column));
        floor[c] = memo ? std::max(caption, std::min(want[c], kNarrowestMemo)) : std::max(caption, kept);
        wanted += want[c];
        flexible += memo ? want[c] : 0;
    }
    const double room = m_shape.chart == FigureTable::ChartPlace::Beside ? m_frame.width() * 0.55 : m_frame.width();
    m_widths = want;
    if (wanted <= room) {
        for (int c = 0; c < n && flexible > 0; ++c) {
            if (m_shape.columns.at(c).format == Format::Memo)
                m_widths[c] += (room - wanted) * want[c] / flexible;
        }
    } else if (std::accumulate(floor.begin(), floor.end(), 0.0) <= room) {
        m_widths = narrowed(want, floor, room);
    } else {
        // Crowded even so: the widest give way further, down to their captions, cutting words.
        m_widths = narrowed(floor, captions, room);
    }
    m_x.clear();
    double x = m_frame.left();
    for (double w : std::as_const(m_widths)) {
        m_x << x;
        x += w;
    }
}

void TableBody::start(const PageFrame& frame)
{
    m_frame = frame;
    settleWidths();
    m_started = true;
    m_lines.clear();
    m_lines.reserve(m_rows.size());
    for (qint64 row = 0; row < m_rows.size(); ++row)
        m_lines.append(quint16(rowLines(row)));
    m_top = frame.top + 22; // the captions and their rule
    m_capacity = frame.unitsFrom(m_top);
    m_pages.clear();
    m_at = TablePos{};
    if (m_rows.size() == 0 && !m_feed)
        m_at.phase = TablePos::Phase::NoRecords;
    else if (m_shape.chart == FigureTable::ChartPlace::Above)
        m_at.phase = TablePos::Phase::Chart;
    else if (!m_shape.group)
        m_at.phase = TablePos::Phase::Rows;
    m_pages.append(m_at);
    m_used = 0;
    paginate();
}

void TableBody::catchUp(bool wait)
{
    // Without waiting, a few chunks at a time: the window stays responsive.
    constexpr int kChunksAtOnce = 16;
    for (int taken = 0; m_feed && (wait || taken < kChunksAtOnce); ++taken) {
        std::optional<RowChunk> chunk = m_feed(wait);
        if (!chunk)
            break;
        take(*chunk);
        if (chunk->last || chunk->error)
            m_feed = nullptr;
        paginate();
    }
    paginate();
}

QString TableBody::groupLabel(int run) const
{
    const TableGroup& group = *m_shape.group;
    QString value = cellText(group.value, m_rows.text(group.column, m_runs.at(run).start)).trimmed();
    if (value.isEmpty())
        value = group.emptyLabel.isEmpty() ? QStringLiteral("(none)") : group.emptyLabel;
    return group.heading + value;
}

QString TableBody::footerText(int run) const
{
    const Run& r = m_runs.at(run);
    QString text = counted(r.count, m_shape.group->countLabel);
    for (int t = 0; t < m_shape.group->totals.size(); ++t)
        text += QStringLiteral(", total %1: %2").arg(m_shape.group->totals.at(t), numberText(r.totals.value(t)));
    return text;
}

QString TableBody::totalText() const
{
    QString text = QStringLiteral("Total: ") + counted(m_rows.size(), m_shape.totalLabel);
    if (m_shape.group) {
        for (int t = 0; t < m_shape.group->totals.size(); ++t)
            text +=
                QStringLiteral(", total %1: %2").arg(m_shape.group->totals.at(t), numberText(m_grandTotals.value(t)));
    }
    return text;
}

bool TableBody::csv(const std::function<void(const QStringList&)>& line) const
{
    QStringList headings;
    for (const TableColumn& column : m_shape.columns)
        headings << column.caption;
    line(headings);
    for (qint64 row = 0; row < m_rows.size(); ++row) {
        QStringList cells;
        for (int c = 0; c < m_shape.columns.size(); ++c) {
            const QString& stored = m_rows.text(c, row);
            cells << (m_shape.columns.at(c).isDate ? stored.left(10) : stored);
        }
        line(cells);
    }
    return true;
}

} // namespace reports
