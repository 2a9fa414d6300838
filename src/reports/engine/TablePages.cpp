// A list's pages: where each starts, and what each holds.
//
// The body is a run of blocks: the graph (when it stands above the list),
// then for each group its heading, its rows and its footing, then the total.
// Pages are filled block by block as the rows come in. A group's heading
// never ends a page: it goes over with the group's first row. A footing never
// begins one: the group's last row goes over with it (and the total with the
// last footing). A row taller than a whole page goes on over the next ones,
// line by line, under its group's heading repeated as "(continued)".
#include "TableBody.h"

namespace reports {
namespace {

using Phase = TablePos::Phase;

constexpr int kHeadingUnits = 3;
constexpr int kContinuedUnits = 2;
constexpr int kFooterUnits = 3;
constexpr int kTotalUnits = 3;
constexpr int kChartUnits = 64;
constexpr double kLine = 12; // points per line of a row

} // namespace

bool TableBody::lastOfRun(const TablePos& pos) const
{
    const Run& run = m_runs.at(pos.run);
    return pos.row == run.start + run.count - 1 && (pos.row + 1 < m_rows.size() || complete());
}

bool TableBody::lastRun(int run) const
{
    return complete() && run == m_runs.size() - 1;
}

// What must fit on the page together with a row: its group's footing when
// it is the group's last row, and the total after the last group.
int TableBody::tailUnits(const TablePos& pos) const
{
    if (!lastOfRun(pos))
        return 0;
    return (m_shape.group ? kFooterUnits : 0) + (lastRun(pos.run) ? kTotalUnits : 0);
}

bool TableBody::knows(const TablePos& pos) const
{
    switch (pos.phase) {
    case Phase::Chart:
        return m_rows.size() > 0 || complete();
    case Phase::Header:
        return pos.run < m_runs.size() && knows(TablePos{Phase::Rows, pos.run, m_runs.at(pos.run).start, 0});
    case Phase::Rows:
        return pos.row + 1 < m_rows.size() || (complete() && pos.row < m_rows.size());
    case Phase::Footer:
        return pos.run + 1 < m_runs.size() || complete();
    default:
        return true;
    }
}

int TableBody::units(const TablePos& pos) const
{
    switch (pos.phase) {
    case Phase::Chart:
        return kChartUnits;
    case Phase::Header:
        return kHeadingUnits;
    case Phase::Rows:
        return 2 * (m_lines.at(pos.row) - pos.line);
    case Phase::Footer:
        return kFooterUnits;
    case Phase::Total:
    case Phase::NoRecords:
        return kTotalUnits;
    case Phase::End:
        break;
    }
    return 0;
}

TablePos TableBody::next(const TablePos& pos) const
{
    switch (pos.phase) {
    case Phase::Chart:
        if (m_rows.size() == 0)
            return TablePos{Phase::NoRecords, 0, 0, 0};
        return TablePos{m_shape.group ? Phase::Header : Phase::Rows, 0, 0, 0};
    case Phase::Header:
        return TablePos{Phase::Rows, pos.run, m_runs.at(pos.run).start, 0};
    case Phase::Rows:
        if (!lastOfRun(pos))
            return TablePos{Phase::Rows, pos.run, pos.row + 1, 0};
        return TablePos{m_shape.group ? Phase::Footer : Phase::Total, pos.run, pos.row, 0};
    case Phase::Footer:
        if (lastRun(pos.run))
            return TablePos{Phase::Total, pos.run, pos.row, 0};
        return TablePos{Phase::Header, pos.run + 1, pos.row + 1, 0};
    default:
        return TablePos{Phase::End, 0, 0, 0};
    }
}

bool TableBody::continues(const TablePos& pos) const
{
    if (!m_shape.group || pos.run >= m_runs.size())
        return false;
    return (pos.phase == Phase::Rows && (pos.row > m_runs.at(pos.run).start || pos.line > 0)) ||
           pos.phase == Phase::Footer;
}

void TableBody::breakPage(const TablePos& at)
{
    m_pages.append(at);
    m_used = continues(at) ? kContinuedUnits : 0;
}

void TableBody::paginate()
{
    if (!m_started)
        return;
    // All read, and not one row: the page says so.
    if (complete() && m_rows.size() == 0 && m_at.phase != Phase::NoRecords && m_at.phase != Phase::End) {
        m_at = TablePos{Phase::NoRecords, 0, 0, 0};
        m_pages = {m_at};
        m_used = 0;
    }
    while (m_at.phase != Phase::End && knows(m_at)) {
        if (!place(m_at))
            breakPage(m_at);
    }
}

// Puts the block at `pos` on the page being filled and moves on; false when
// the page is full (`m_at` then says where the next page starts).
bool TableBody::place(const TablePos& pos)
{
    const bool fresh = m_pages.last() == pos;
    const int free = m_capacity - m_used;
    if (pos.phase == Phase::Header) {
        const TablePos first{Phase::Rows, pos.run, m_runs.at(pos.run).start, 0};
        int need = kHeadingUnits + units(first) + tailUnits(first);
        if (need > m_capacity)
            need = kHeadingUnits + 2; // a first row taller than a page: its first line at least
        if (!fresh && need > free)
            return false;
    } else if (pos.phase == Phase::Rows) {
        const int rest = units(pos);
        const int tail = tailUnits(pos);
        if (rest + tail > free) {
            if (!fresh && rest + tail <= m_capacity - kContinuedUnits)
                return false; // whole on the next page
            // Too tall for a page: as many lines as fit, one kept back for the footing.
            int lines = rest <= free ? rest / 2 - 1 : free / 2;
            lines = std::max(lines, fresh ? 1 : 0);
            if (lines == 0)
                return false;
            m_used += 2 * lines;
            m_at.line += lines;
            if (m_at.line < m_lines.at(pos.row))
                return false;
            m_at = next(pos);
            return true;
        }
    } else if (units(pos) > free && !fresh) {
        return false;
    }
    m_used += units(pos);
    m_at = next(pos);
    return true;
}

int TableBody::pages() const
{
    return int(complete() && m_at.phase == Phase::End ? m_pages.size() : m_pages.size() - 1);
}

TablePos TableBody::pageEnd(int index) const
{
    return index + 1 < m_pages.size() ? m_pages.at(index + 1) : TablePos{Phase::End, 0, 0, 0};
}

double TableBody::drawCaptions(double y, PageContent& content) const
{
    for (int c = 0; c < m_shape.columns.size(); ++c) {
        const TableColumn& column = m_shape.columns.at(c);
        content.text(Face::Bold, m_x.at(c), y + 13, textWidth(c), column.caption, column.right);
    }
    content.rules << QLineF(m_frame.left(), y + 17, m_x.last() + m_widths.last(), y + 17);
    return y + (m_top - m_frame.top);
}

void TableBody::drawRow(qint64 row, int fromLine, int toLine, double y, PageContent& content) const
{
    for (int c = 0; c < m_shape.columns.size(); ++c) {
        const QStringList& text = lines(c, m_rows.id(c, row));
        // A blank cell stands in the row's text as an empty one, so the columns stay apart.
        if (text.isEmpty() && fromLine == 0)
            content.text(Face::Body, m_x.at(c), y + 9, textWidth(c), QString());
        for (int i = fromLine; i < toLine && i < text.size(); ++i)
            content.text(Face::Body, m_x.at(c), y + 9 + kLine * (i - fromLine), textWidth(c), text.at(i),
                         m_shape.columns.at(c).right);
    }
}

double TableBody::drawBlock(const TablePos& pos, const TablePos& end, double y, PageContent& content) const
{
    const double left = m_frame.left();
    switch (pos.phase) {
    case Phase::Chart:
        // The graph above the list: its captions follow it.
        content.chart = QRectF(left, y + 4, m_frame.width(), kChartUnits * PageFrame::kUnit - 8);
        return drawCaptions(y + kChartUnits * PageFrame::kUnit, content);
    case Phase::Header:
        content.shades << QRectF(left, y + 6.5, m_frame.width(), 11.5);
        content.text(Face::Group, left + 3, y + 15.5, m_frame.width() - 6, groupLabel(pos.run));
        content.texts.last().heading = true;
        return y + kHeadingUnits * PageFrame::kUnit;
    case Phase::Rows: {
        const int to = end.phase == Phase::Rows && end.row == pos.row ? end.line : m_lines.at(pos.row);
        drawRow(pos.row, pos.line, to, y, content);
        return y + kLine * (to - pos.line);
    }
    case Phase::Footer:
        content.text(Face::Italic, left + 12, y + 9, m_frame.width() - 12, footerText(pos.run));
        content.texts.last().faint = true;
        return y + kFooterUnits * PageFrame::kUnit;
    case Phase::Total:
        content.rules << QLineF(left, y + 3, m_frame.right(), y + 3);
        if (m_shape.totalCells.isEmpty()) {
            content.text(Face::Total, left, y + 15, m_frame.width(), totalText());
        } else {
            for (int c = 0; c < m_shape.columns.size() && c < m_shape.totalCells.size(); ++c) {
                if (!m_shape.totalCells.at(c).isEmpty())
                    content.text(Face::Bold, m_x.at(c), y + 15, textWidth(c), m_shape.totalCells.at(c),
                                 m_shape.columns.at(c).right);
            }
        }
        return y + kTotalUnits * PageFrame::kUnit;
    case Phase::NoRecords:
        content.text(Face::Notice, left, y + 16, m_frame.width(), m_shape.emptyText);
        return y + kTotalUnits * PageFrame::kUnit;
    case Phase::End:
        break;
    }
    return y;
}

void TableBody::page(int index, PageContent& content) const
{
    if (index < 0 || index >= m_pages.size())
        return;
    TablePos pos = m_pages.at(index);
    double y = pos.phase == Phase::Chart ? m_frame.top : drawCaptions(m_frame.top, content);
    if (index == 0 && m_shape.chart == FigureTable::ChartPlace::Beside) {
        const double x = m_x.isEmpty() ? m_frame.left() : m_x.last() + m_widths.last() + 12;
        content.chart = QRectF(x, y, m_frame.right() - x, std::min(300.0, m_frame.bottom() - y));
    }
    const TablePos end = pageEnd(index);
    if (continues(pos)) {
        content.shades << QRectF(m_frame.left(), y + 0.5, m_frame.width(), 11.5);
        content.text(Face::Group, m_frame.left() + 3, y + 9.5, m_frame.width() - 6,
                     groupLabel(pos.run) + QStringLiteral(" (continued)"));
        content.texts.last().heading = true;
        y += kContinuedUnits * PageFrame::kUnit;
    }
    while (!(pos == end) && pos.phase != Phase::End) {
        y = drawBlock(pos, end, y, content);
        if (pos.phase == Phase::Rows && end.phase == Phase::Rows && end.row == pos.row)
            break;
        pos = next(pos);
    }
}

} // namespace reports
