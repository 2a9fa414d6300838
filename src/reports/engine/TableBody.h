#pragma once

// Inside the report engine: a list of rows in columns, grouped or not, with
// a graph above or beside it when the report has one.
#include "ReportDefinition.h"
#include "ReportPrivate.h"
#include "Snapshot.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace reports {

struct TableColumn {
    QString caption;
    Format format = Format::Text;
    bool right = false;
    double least = 0; // points the column asks for at least
    bool isDate = false;
    bool isNumber = false;
};

/// Rows with the same value of a column stand together under a heading,
/// with their count (and totals) below them.
struct TableGroup {
    int column = 0; // the snapshot's column of the value
    TableColumn value;
    QString heading;
    QString countLabel;
    QString emptyLabel;
    bool caseless = false; // texts equal whatever the case of their letters
    QStringList totals;    // names of the fields added up, in the snapshot's order of numbers
};

struct TableShape {
    QList<TableColumn> columns; // the snapshot's first columns, in this order
    std::optional<TableGroup> group;
    QString totalLabel;     // "calls": the list ends with "Total: 12 calls"
    QStringList totalCells; // or: its total under the columns
    FigureTable::ChartPlace chart = FigureTable::ChartPlace::None;
    QString emptyText = QStringLiteral("There are no records for this selection.");
};

/// Where the body of a page starts: the group, the part of it, the row and
/// the line of the row (a row taller than a page goes on over the next).
struct TablePos {
    enum class Phase { Chart, Header, Rows, Footer, Total, NoRecords, End };
    Phase phase = Phase::Header;
    int run = 0;
    qint64 row = 0;
    int line = 0;
    bool operator==(const TablePos&) const = default;
};

class TableBody : public Body {
public:
    /// The snapshot's columns: the shape's, then the group's value when it is not one of them.
    TableBody(TableShape shape, int columns);

    /// Takes in rows read (before start(), or while the pages are made).
    void take(const RowChunk& chunk);
    /// A row handed in whole (a table of figures), before start().
    void takeRow(const QStringList& texts);
    /// The rows still to come: `feed(wait)` hands over the next chunk read.
    void follow(std::function<std::optional<RowChunk>(bool)> feed) { m_feed = std::move(feed); }

    void start(const PageFrame& frame) override;
    bool complete() const override { return !m_feed && !m_failure; }
    bool reading() const override { return bool(m_feed); }
    void catchUp(bool wait) override;
    store::Error failure() const override { return m_failure; }
    int pages() const override;
    void page(int index, PageContent& content) const override;
    qint64 records() const override { return m_rows.size(); }
    QList<qint64> recnos() const override { return m_rows.recnos(); }
    bool csv(const std::function<void(const QStringList&)>& line) const override;

private:
    struct Run {
        qint64 start = 0;
        qint64 count = 0;
        QList<double> totals;
    };
    struct Cell {
        double width = -1; // of the widest line; -1: not measured yet
        QString text;      // as shown
    };

    // Taking rows in (TableBody.cpp).
    void takeRows(qint64 from, const QList<QList<double>>& numbers);
    bool sameGroup(qint64 a, qint64 b) const;
    const Cell& cell(int column, quint32 id) const;
    const QStringList& lines(int column, quint32 id) const;
    int rowLines(qint64 row) const;
    void settleWidths();
    double textWidth(int column) const;
    double widestWord(int column) const;
    QString cellText(const TableColumn& column, const QString& stored) const;
    QString groupLabel(int run) const;
    QString footerText(int run) const;
    QString totalText() const;

    // Pages (TablePages.cpp).
    int units(const TablePos& pos) const;
    bool knows(const TablePos& pos) const;
    bool lastOfRun(const TablePos& pos) const;
    bool lastRun(int run) const;
    int tailUnits(const TablePos& pos) const;
    TablePos next(const TablePos& pos) const;
    bool continues(const TablePos& pos) const;
    void paginate();
    bool place(const TablePos& pos);
    void breakPage(const TablePos& at);
    TablePos pageEnd(int index) const;
    double drawCaptions(double y, PageContent& content) const;
    double drawBlock(const TablePos& pos, const TablePos& end, double y, PageContent& content) const;
    void drawRow(qint64 row, int fromLine, int toLine, double y, PageContent& content) const;

    TableShape m_shape;
    Snapshot m_rows;
    std::function<std::optional<RowChunk>(bool)> m_feed;
    store::Error m_failure;
    PageFrame m_frame;
    double m_top = 0; // below the captions
    int m_capacity = 0;
    QList<double> m_x;
    QList<double> m_widths;
    mutable QList<QList<Cell>> m_cells;                   // per column, per value number
    mutable QList<QHash<quint32, QStringList>> m_wrapped; // per column: values of more than one line
    QList<quint16> m_lines;                               // per row
    QList<Run> m_runs;
    QList<double> m_grandTotals;
    bool m_started = false;
    // Pagination so far: where each page starts, where the last one stands.
    QList<TablePos> m_pages;
    TablePos m_at;
    int m_used = 0;
};

} // namespace reports
