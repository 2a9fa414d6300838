// The report as the screens see it, and the heading and footing of its pages.
#include "Report.h"
#include "ReportPrivate.h"

#include <QPainter>

#include <cmath>

namespace reports {
namespace {

constexpr double kMargin = PageFrame::kMargin;
constexpr double kSubtitleLine = 10;

} // namespace

QString numberText(double value)
{
    if (std::fabs(value) < 1e15 && value == std::floor(value))
        return QString::number(qint64(value));
    return QString::number(value, 'f', 2);
}

QString counted(qint64 n, const QString& label)
{
    if (label.isEmpty())
        return QString::number(n);
    const QString word = n == 1 && label.endsWith(QLatin1Char('s')) ? label.chopped(1) : label;
    return QString::number(n) + QLatin1Char(' ') + word;
}

QString reportDate(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString reportMoment(const QDateTime& moment)
{
    const QTime time = moment.time();
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return reportDate(moment.date()) + QStringLiteral(" %1:%2 %3")
                                           .arg(hour)
                                           .arg(time.minute(), 2, 10, QLatin1Char('0'))
                                           .arg(time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

double ChartData::total() const
{
    double sum = 0;
    for (const ChartSlice& slice : slices) {
        if (std::isfinite(slice.value))
            sum += slice.value;
    }
    return sum;
}

// ---- The heading and footing of every page ----------------------------------------------

QStringList ReportPrivate::subtitle() const
{
    // A long selection in words goes on over more lines; every page has as many.
    const double width = paper.width() - 2 * kMargin;
    QStringList lines;
    for (const QString& text : {pageHeading, period}) {
        if (!text.isEmpty())
            lines << Typesetter::instance().wrap(Face::Small, text, width);
    }
    return lines;
}

PageFrame ReportPrivate::frame() const
{
    PageFrame f;
    f.paper = paper;
    f.top = kMargin + 36 + kSubtitleLine * std::max<qsizetype>(0, subtitle().size() - 1) + 6;
    return f;
}

PageContent ReportPrivate::page(int index) const
{
    PageContent content;
    const PageFrame f = frame();
    const double titleWidth = f.width() - 170;
    content.text(Face::Title, f.left(), kMargin + 15, titleWidth, title);
    content.text(Face::Small, f.right() - 170, kMargin + 15, 170, QStringLiteral("Printed ") + reportMoment(printedAt),
                 true);
    content.texts.last().faint = true;
    const QStringList lines = subtitle();
    for (int i = 0; i < lines.size(); ++i) {
        content.text(Face::Small, f.left(), kMargin + 31 + kSubtitleLine * i, f.width(), lines.at(i));
        content.texts.last().faint = true;
    }
    content.rules << QLineF(f.left(), f.top - 6, f.right(), f.top - 6);
    body->page(index, content);

    // Footing: the file and "Page N of M" on every page (M once every row is in).
    const double foot = paper.height() - kMargin;
    content.rules << QLineF(f.left(), foot - 14, f.right(), foot - 14);
    QString left = fileName;
    if (!pageFooting.isEmpty())
        left = pageFooting + QStringLiteral("    ") + left;
    content.text(Face::Small, f.left(), foot - 3, f.width() - 120, left);
    content.texts.last().faint = true;
    const QString number = body->complete() ? QStringLiteral("Page %1 of %2").arg(index + 1).arg(body->pages())
                                            : QStringLiteral("Page %1").arg(index + 1);
    content.text(Face::Small, f.right() - 120, foot - 3, 120, number, true);
    content.texts.last().faint = true;
    return content;
}

store::Error ReportPrivate::pageFailure(int index) const
{
    if (index >= 0 && index < body->pages())
        return {};
    if (store::Error failure = body->failure()) {
        failure.message =
            QStringLiteral("The report \"%1\" could not read all its rows, so page %2 cannot be shown: %3")
                .arg(fileName)
                .arg(index + 1)
                .arg(failure.message);
        return failure;
    }
    return store::Error::make(store::Error::Kind::Other,
                              QStringLiteral("The report \"%1\" has no page %2.").arg(fileName).arg(index + 1));
}

bool ReportPrivate::finish(store::Error* error) const
{
    body->catchUp(true);
    store::Error failure = body->failure();
    if (!failure)
        return true;
    if (error) {
        failure.message =
            QStringLiteral("The report \"%1\" could not read all its rows: %2").arg(fileName, failure.message);
        *error = failure;
    }
    return false;
}

// ---- Report ---------------------------------------------------------------------------

Report::Report() : d(std::make_unique<ReportPrivate>()) {}
Report::~Report() = default;

QString Report::title() const
{
    return d->title;
}

QString Report::fileName() const
{
    return d->fileName;
}

QSizeF Report::pageSize() const
{
    return d->paper;
}

QDateTime Report::ranAt() const
{
    return d->printedAt;
}

QString Report::period() const
{
    return d->period;
}

bool Report::isComplete() const
{
    return d->body->complete();
}

bool Report::catchUp()
{
    d->body->catchUp(false);
    return !d->body->reading();
}

bool Report::finish(store::Error* error)
{
    return d->finish(error);
}

int Report::pagesReady() const
{
    return d->body->pages();
}

int Report::pageCount() const
{
    d->body->catchUp(true);
    return d->body->pages();
}

qint64 Report::recordCount() const
{
    d->body->catchUp(true);
    return d->rowsCounted ? *d->rowsCounted : d->body->records();
}

QList<qint64> Report::recordIds() const
{
    d->body->catchUp(true);
    return d->body->recnos();
}

const ChartData* Report::chart() const
{
    return d->chart ? &*d->chart : nullptr;
}

bool Report::paintPage(QPainter& painter, int index, store::Error* error) const
{
    if (index >= d->body->pages())
        d->body->catchUp(true);
    const store::Error why = d->pageFailure(index);
    if (why) {
        if (error)
            *error = why;
        return false;
    }
    PagePainter(painter).draw(d->page(index), chart());
    return true;
}

QStringList Report::pageText(int index) const
{
    if (index >= d->body->pages())
        d->body->catchUp(true);
    const store::Error why = d->pageFailure(index);
    if (why)
        return {why.text()};
    return d->page(index).lines();
}

} // namespace reports
