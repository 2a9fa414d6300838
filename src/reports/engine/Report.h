#pragma once

#include "ReportDefinition.h"
#include "Selection.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QVariant>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QPagedPaintDevice;

namespace store {
class Database;
}

namespace reports {

/// One bar or slice of a graph.
struct ChartSlice {
    QString label;
    double value = 0;
};

/// What a graph shows: its definition and the values per category.
struct ChartData {
    Chart definition;
    QString title;
    QList<ChartSlice> slices;
    double total = 0;
};

/// Draws a graph into `area` (points); the program supplies one drawn with Qt
/// Charts. `fontScale` turns point sizes into the painter's font sizes.
using ChartPainter =
    std::function<void(QPainter& painter, const QRectF& area, const ChartData& data, double fontScale)>;
void setChartPainter(ChartPainter painter);

/// What one run of a report needs: the report file, the database, the
/// selection formula and sort fields the caller set (unset ones keep the
/// report's own), and the moment it is printed (CurrentDate is its day).
struct ReportRequest {
    QString folder; // where the *.rpt files are
    QString databasePath;
    QString fileName;
    std::optional<QString> selection;
    std::array<std::optional<QString>, 3> sortFields;
    QDateTime printedAt;
};

/// A report ready to be shown, printed or saved: selected, sorted, grouped
/// and broken into pages. Pages are drawn when asked for, from the record
/// numbers kept in report order, so a long report holds a few bytes per row
/// and no drawn pages.
class Report {
public:
    /// Runs the request; null with `error` holding a message that names the
    /// report file and what is wrong (for a formula, where in it).
    static std::unique_ptr<Report> run(const ReportRequest& request, QString* error);
    ~Report();

    const ReportDefinition& definition() const { return m_def; }
    QString title() const { return m_def.title; }
    QString fileName() const { return m_def.fileName; }
    /// The paper in points (1/72 inch), turned for landscape reports.
    QSizeF pageSize() const;
    int pageCount() const;
    /// Rows selected (records of a record layout, records counted by a graph).
    qint64 recordCount() const { return m_recordCount; }
    /// The record numbers selected, in report order (tabular reports).
    QList<qint64> recordIds() const;
    /// The graph's values, for graph reports.
    const std::optional<ChartData>& chart() const { return m_chart; }

    /// Draws page `index` (from 0). The painter's device may be a printer, a
    /// PDF writer or an image; the page fills the device's page rectangle.
    void paintPage(QPainter& painter, int index) const;
    /// Draws every page onto a paged device (printer or PDF), one after the other.
    bool paintAll(QPainter& painter, QPagedPaintDevice& device, QString* error) const;
    /// The text of a page, line by line as drawn (cells joined by " | ").
    QStringList pageText(int index) const;

    /// Writes the whole report as a PDF file; the file appears complete or not at all.
    bool writePdf(const QString& path, QString* error) const;
    /// Writes the report's rows as CSV for a spreadsheet (dates as yyyy-mm-dd).
    bool writeCsv(const QString& path, QString* error) const;

    /// Texts laid out once per font, shared by the pages drawn in one go.
    struct TextCache;

    /// A stretch of a tabular page: a group's heading (again, "continued", on
    /// a page that starts inside the group), rows, a group's footing, the total.
    struct Band {
        enum class Kind { GroupHeader, Continued, Rows, GroupFooter, Total, NoRecords };
        Kind kind = Kind::Rows;
        int run = 0;
        qint64 first = 0; // rows: index into the record numbers
        qint64 count = 0;
    };
    /// One line of a record layout or a graph report.
    struct Line {
        enum class Kind { Heading, Text, Chart, NoRecords, Total, TableHeading, TableRow };
        Kind kind = Kind::Text;
        QString label;
        QString text;
        QString beside;
        int units = 2; // in half lines of 6 points
        bool keepWithNext = false;
    };
    /// Where a tabular page starts: the group, the part of it, the row.
    struct TabPos {
        int run = 0;
        int phase = 0;
        qint64 offset = 0;
        bool operator==(const TabPos&) const = default;
    };

private:
    Report() = default;
    bool build(store::Database& db, const ReportRequest& request, QString* error);
    bool buildTabular(store::Database& db, const Selection& selection, QString* error);
    bool buildRecords(store::Database& db, const Selection& selection, QString* error);
    bool buildChart(store::Database& db, const Selection& selection, QString* error);
    void paginate();
    void paginateTabular();
    void paginateLines();
    std::vector<Band> pageBands(int index) const;
    TabPos fillPage(TabPos pos, std::vector<Band>* bands) const;
    class RowReader;
    void paintPage(QPainter& painter, int index, RowReader* rows, TextCache* texts) const;
    QStringList pageText(int index, RowReader* rows) const;
    QString cellText(int column, const QVariant& value) const;
    void measureLines();
    QString groupLabel(const QVariant& key) const;
    QString footerText(int run) const;
    QString totalText() const;
    int bodyUnits() const;
    double bodyTop() const;
    QFont font(double points, bool bold = false) const;

    ReportDefinition m_def;
    QString m_databasePath;
    QDateTime m_printedAt;
    QString m_selectionShown; // a formula the caller passed, shown under the title
    qint64 m_recordCount = 0;

    // Tabular reports. Rows are found by position in report order: through
    // the record numbers kept from one sorted pass, or, when the database
    // keeps the order itself (an index), by reading from that position.
    std::optional<Selection> m_selection;
    bool m_rowsByPosition = false;
    QList<store::FieldInfo> m_tableFields;
    QList<store::FieldType> m_columnTypes;
    store::FieldType m_groupType = store::FieldType::Text;
    QList<qint64> m_ids;
    struct Run {
        qint64 start = 0;
        qint64 count = 0;
        QVariant key;
        QList<double> totals;
    };
    QList<Run> m_runs;
    QList<double> m_grandTotals;
    QList<TabPos> m_tabPages;

    // Record layouts and graphs: every line made at once (small tables).
    QList<Line> m_lines;
    QList<int> m_linePages;

    std::optional<ChartData> m_chart;
};

/// Dates as every report prints them, whatever the user's locale: MM/DD/YYYY.
QString reportDate(const QDate& date);
/// A moment as the page heading prints it: "12/07/2004 10:15 AM".
QString reportMoment(const QDateTime& moment);

} // namespace reports
