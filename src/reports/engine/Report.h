#pragma once

// The report engine as the screens see it: run a report, give me page n,
// write it as PDF or CSV. Two kinds of report:
//  - Report::run() reads a report definition (*.rpt) and selects, sorts and
//    groups rows of the database by it;
//  - Report::fromFigures() shows a table of figures the program computed
//    itself (a title, a period line, columns with captions and types, rows of
//    values, optionally a graph above or beside the table): the statistics
//    and maintenance windows preview, print and save theirs this way.
// Either kind keeps its rows as they were when it was made; its pages, its
// printout, its PDF and its CSV all show those rows.
#include "store/Error.h"

#include <QDateTime>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <memory>
#include <optional>

class QPainter;

namespace reports {

struct ReportPrivate;

/// One bar, point or slice of a graph: its label and its value (`values`
/// holds one value per series when a graph has several).
struct ChartSlice {
    QString label;
    double value = 0;
    QList<double> values;
};

/// What a graph shows.
struct ChartData {
    enum class Kind { Bar, Line, Pie };
    Kind kind = Kind::Bar;
    QString categoryHeading;
    QStringList series; // the name of each value; the first is `value`'s
    QList<ChartSlice> slices;
    bool lastIsRest = false; // the last slice gathers all the others
    /// The sum of the slices' first values.
    double total() const;
};

/// What one run of a report definition needs: the report file, the database,
/// the selection formula and sort fields the caller set (unset ones keep the
/// report's own), and the moment it runs (CurrentDate is its day).
struct ReportRequest {
    QString folder; // where the *.rpt files are
    QString databasePath;
    QString fileName;
    std::optional<QString> selection;
    std::array<std::optional<QString>, 3> sortFields;
    QDateTime printedAt;
};

/// A table of figures handed in to be shown as a report.
struct FigureTable {
    enum class Type { Text, Number, Date };
    struct Column {
        QString caption;
        Type type = Type::Text;
        int decimals = 0; // numbers: places after the point
    };
    enum class ChartPlace { None, Above, Beside };

    QString title;
    QString period;   // the line under the title ("11/01/2026 to 11/30/2026")
    QString fileName; // in each page's footing, and the name a saved file is offered under
    bool landscape = false;
    QList<Column> columns;
    /// Values per row, one per column: a text, a number, a QDate (a null
    /// QVariant: nothing shown).
    QList<QList<QVariant>> rows;
    /// A graph of the rows: the categories are the texts of `chartCategory`,
    /// a series per column of `chartValues`.
    ChartPlace chartPlace = ChartPlace::None;
    ChartData::Kind chartKind = ChartData::Kind::Bar;
    int chartCategory = 0;
    QList<int> chartValues;
};

/// A report ready to be shown, printed or saved.
class Report {
public:
    /// Runs a report definition; null with `error` holding a message that
    /// names the report file and what is wrong (for a formula, where in it):
    /// Refused for a definition or formula, Missing for a file not found, the
    /// engine's kind when the database could not be read.
    static std::unique_ptr<Report> run(const ReportRequest& request, store::Error* error);
    /// A report of figures handed in; null with a Refused `error` when the table is not one.
    static std::unique_ptr<Report> fromFigures(const FigureTable& table, const QDateTime& printedAt,
                                               store::Error* error);
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    QString title() const;
    QString fileName() const;
    /// The paper in points (1/72 inch), turned for landscape reports.
    QSizeF pageSize() const;
    /// When the report ran: its rows are the rows of that moment.
    QDateTime ranAt() const;
    /// The line under the title: the period or the selection in words.
    QString period() const;

    /// A long report goes on reading its rows after its first page is ready;
    /// true once every row is in and every page is known.
    bool isComplete() const;
    /// Takes in the rows read since, paging them; true once no more will
    /// come (complete, or the rest could not be read: finish() says why).
    bool catchUp();
    /// Waits for the last row; false with the reason when the rows could not
    /// all be read (the pages before stay as they are).
    bool finish(store::Error* error = nullptr);
    /// Pages known so far (all of them once complete), without waiting.
    int pagesReady() const;

    /// Every page (waits for the last row first).
    int pageCount() const;
    /// Rows selected: records of a list or record layout, calls counted by a graph.
    qint64 recordCount() const;
    /// The record numbers of the rows, in report order.
    QList<qint64> recordIds() const;
    /// The graph's values, for a graph report or figures with a graph; null otherwise.
    const ChartData* chart() const;

    /// Draws page `index` (from 0) onto the painter's device, filling its
    /// page; false with `error` when the page cannot be shown.
    bool paintPage(QPainter& painter, int index, store::Error* error = nullptr) const;
    /// The text of a page, line by line as drawn (cells joined by " | ").
    QStringList pageText(int index) const;
    /// Writes pages `first` to `last` (from 0; -1: to the end) as a PDF file;
    /// the file appears complete or not at all. A file that cannot be written is an Io `error`.
    bool writePdf(const QString& path, store::Error* error, int first = 0, int last = -1) const;
    /// Writes the report's rows as CSV for a spreadsheet (dates as yyyy-mm-dd).
    bool writeCsv(const QString& path, store::Error* error) const;

private:
    Report();
    std::unique_ptr<ReportPrivate> d;
    friend struct ReportPrivate;
};

/// Dates as every report prints them, whatever the user's locale: MM/DD/YYYY.
QString reportDate(const QDate& date);
/// A moment as the page heading prints it: "12/07/2004 10:15 AM".
QString reportMoment(const QDateTime& moment);

} // namespace reports
