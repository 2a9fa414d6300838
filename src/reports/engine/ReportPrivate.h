#pragma once

// Inside the report engine: what a Report holds, and the parts of a page.
#include "PageContent.h"
#include "Report.h"

#include "store/Error.h"

#include <QSizeF>

#include <functional>

#include <memory>
#include <optional>

class QTextStream;

namespace reports {

/// Where things stand on a page, in points from the paper's top left corner.
/// Heights on a page count in units of 6 points: a line of a table is 2.
struct PageFrame {
    QSizeF paper;
    double top = 0; // where the body starts, below the heading
    static constexpr double kMargin = 36;
    static constexpr double kUnit = 6;
    double left() const { return kMargin; }
    double right() const { return paper.width() - kMargin; }
    double width() const { return paper.width() - 2 * kMargin; }
    double bottom() const { return paper.height() - kMargin - 20; }
    /// Units between `from` (points) and the foot of the body.
    int unitsFrom(double from) const { return int((bottom() - from) / kUnit); }
};

/// What stands below a page's heading: the rows of a list, the lines of a
/// record layout, a graph and its table.
class Body {
public:
    virtual ~Body() = default;
    /// Lays the body out on pages of `frame`.
    virtual void start(const PageFrame& frame) = 0;
    /// True once every row is in (false while rows are being read, and for
    /// good when they could not all be read).
    virtual bool complete() const { return true; }
    /// True while rows are still being read.
    virtual bool reading() const { return false; }
    /// Takes in the rows read since; with `wait` every row still to come.
    virtual void catchUp(bool wait) { Q_UNUSED(wait) }
    /// Why the rows could not all be read; no error when they were.
    virtual store::Error failure() const { return {}; }
    /// Pages known so far.
    virtual int pages() const = 0;
    virtual void page(int index, PageContent& content) const = 0;
    virtual qint64 records() const = 0;
    virtual QList<qint64> recnos() const = 0;
    /// The rows as CSV lines, each a list of cells.
    virtual bool csv(const std::function<void(const QStringList&)>& line) const = 0;
};

struct ReportPrivate {
    QString title;
    QString fileName;
    QString pageHeading;
    QString pageFooting;
    QString period;
    QSizeF paper;
    QDateTime printedAt;
    std::unique_ptr<Body> body;
    std::optional<ChartData> chart;
    std::optional<qint64> rowsCounted; // a graph's: the rows it counted

    /// Takes in every row still to come; false with the reason when they could not all be read.
    bool finish(store::Error* error) const;
    /// The frame of every page: the heading's height follows the lines under the title.
    PageFrame frame() const;
    /// Starts the body on the frame.
    void startBody() { body->start(frame()); }
    /// The whole page: heading, body and footing.
    PageContent page(int index) const;
    /// Why page `index` cannot be shown; no error when it can.
    store::Error pageFailure(int index) const;

    static std::unique_ptr<Report> make() { return std::unique_ptr<Report>(new Report); }
    static ReportPrivate& of(Report& report) { return *report.d; }

private:
    QStringList subtitle() const;
};

/// A number as a report prints it: whole numbers without a point, others with two places.
QString numberText(double value);
/// "1 call", "2 calls": a count before its label, the label in the plural.
QString counted(qint64 n, const QString& label);

} // namespace reports
