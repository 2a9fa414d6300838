// The manager's figures on a large log, each as a ratio against the sqlite3
// command line running the very statements of the figure, with the same
// values bound, on the same file (a whole process, started afresh each
// round; the machines are noisy, so both are measured in the same run and
// the median of five rounds compared):
//  - each figure worked out by the engine as the window runs it, the
//    progress window's checks included;
//  - the same figure as the window shows it: worked out, its tables in their
//    grids and its chart drawn (for information: the command line draws
//    nothing, and on a few weeks drawing is most of the time);
//  - how much memory the window took for all five over the whole log.
// Two ranges: the whole log (about 3,000 days) and the window's first one,
// the last four full weeks. The statements compared are printed first.
//
//   bench_stats [calls]      (default 1,000,000 calls and a frame count for most days)
#include "BenchCommon.h"
#include "stats/RunProgress.h"
#include "stats/Statistics.h"
#include "stats/engine/Figures.h"
#include "store/Database.h"
#include "support/CallLogGenerator.h"
#include "support/FrameCountGenerator.h"
#include "support/TestApp.h"
#include "ui/MaskedDateEdit.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryFile>
#include <QTextStream>

using namespace stats;

namespace {

using bench::median;
using bench::residentKb;

QTextStream out(stdout);

void report(const QString& what, double measured, double baseline, double limit)
{
    bench::report(out, what, measured, baseline, limit, 58, 1);
}

struct Figure {
    QString name;
    Statistics::Tab tab;
    std::function<QList<Statement>(const Request&)> statements;
    std::function<bool(FigureRun&, const Request&)> workOut;
};

QList<Figure> figures()
{
    return {
        {QStringLiteral("frames per stop"), Statistics::FramesTab, framesPerStopStatements,
         [](FigureRun& run, const Request& r) {
             FramesPerStop figure;
             return stats::workOut(run, r, &figure);
         }},
        {QStringLiteral("lanes that need attention"), Statistics::LanesTab, laneStatements,
         [](FigureRun& run, const Request& r) {
             LaneFigures figure;
             return stats::workOut(run, r, &figure);
         }},
        {QStringLiteral("repeat calls"), Statistics::RepeatsTab, repeatStatements,
         [](FigureRun& run, const Request& r) {
             RepeatCalls figure;
             return stats::workOut(run, r, &figure);
         }},
        {QStringLiteral("when stops happen"), Statistics::TimesTab, stopTimeStatements,
         [](FigureRun& run, const Request& r) {
             StopTimes figure;
             return stats::workOut(run, r, &figure);
         }},
        {QStringLiteral("who fixed what"), Statistics::MechanicsTab, mechanicStatements,
         [](FigureRun& run, const Request& r) {
             MechanicFigures figure;
             return stats::workOut(run, r, &figure);
         }},
    };
}

/// The command line's script: the values bound as its parameters, then the statements.
QString script(const QList<Statement>& statements)
{
    QString text;
    QVariantList bound;
    for (const Statement& statement : statements)
        if (statement.parameters.size() > bound.size())
            bound = statement.parameters;
    for (int i = 0; i < bound.size(); ++i) {
        const QVariant& value = bound.at(i);
        const QString literal =
            value.typeId() == QMetaType::QString ? QStringLiteral("\"'%1'\"").arg(value.toString()) : value.toString();
        text += QStringLiteral(".parameter set ?%1 %2\n").arg(i + 1).arg(literal);
    }
    for (const Statement& statement : statements)
        text += statement.sql + QStringLiteral(";\n");
    return text;
}

double cli(const QString& sqlite3, const QString& path, const QString& input)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(sqlite3, {path});
    process.write(input.toUtf8());
    process.closeWriteChannel();
    process.waitForFinished(-1);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (process.exitCode() != 0 || !process.readAllStandardError().isEmpty())
        qFatal("sqlite3 failed on:\n%s", qPrintable(input));
    return ms;
}

/// The engine as the window runs it: under the progress window's checks.
/// `longestPause` gets the longest time the engine went without asking
/// whether to go on, the time the windows could not repaint.
double engine(const QString& path, const Figure& figure, const Request& request, QWidget* parent, double* longestPause)
{
    QElapsedTimer timer;
    timer.start();
    store::Error why;
    auto db = store::Database::open(path, &why);
    RunProgress progress(parent);
    progress.start(figure.name, int(figure.statements(request).size()));
    FigureRun* current = nullptr;
    QElapsedTimer sinceAsked;
    sinceAsked.start();
    FigureRun run(*db, [&] {
        *longestPause = std::max(*longestPause, sinceAsked.nsecsElapsed() / 1e6);
        sinceAsked.restart();
        return progress.keepGoing(current ? current->finished() : 0);
    });
    current = &run;
    if (!figure.workOut(run, request))
        qFatal("%s was not worked out: %s", qPrintable(figure.name), qPrintable(run.error().text()));
    progress.finish();
    return timer.nsecsElapsed() / 1e6;
}

/// The window: Work Out pressed on the figure's tab, its grids filled and chart drawn.
double window(Statistics* statistics, const Figure& figure, const DateRange& range)
{
    statistics->SSTab1->setCurrentIndex(figure.tab == 0 ? 1 : 0); // another tab, so none is worked out early
    statistics->MaskEdBox1->setDate(range.from);
    statistics->MaskEdBox2->setDate(range.to);
    statistics->Command1->click();
    QElapsedTimer timer;
    timer.start();
    statistics->SSTab1->setCurrentIndex(figure.tab);
    QCoreApplication::processEvents();
    statistics->grab();
    return timer.nsecsElapsed() / 1e6;
}

void measure(const QString& path, const QString& sqlite3, const DateRange& range, Statistics* statistics)
{
    Request request;
    request.range = range;
    request.lanes = 32;
    out << QStringLiteral("\n%1 to %2 (%3 days):\n")
               .arg(range.from.toString(Qt::ISODate), range.to.toString(Qt::ISODate))
               .arg(range.days());
    const qint64 before = residentKb();
    qint64 peak = before;
    for (const Figure& figure : figures()) {
        const QString input = script(figure.statements(request));
        cli(sqlite3, path, input); // the file in the cache
        QList<double> baseline, ours, shown;
        double pause = 0;
        for (int round = 0; round < 5; ++round) {
            baseline.append(cli(sqlite3, path, input));
            ours.append(engine(path, figure, request, statistics, &pause));
            shown.append(window(statistics, figure, range));
            peak = std::max(peak, residentKb());
        }
        report(figure.name, median(ours), median(baseline), 1.5);
        report(QStringLiteral("  in the window, tables filled and chart drawn"), median(shown), median(baseline), 0);
        out << QString::asprintf("%-58s %9.1f ms (for information)\n", "  longest the engine kept the windows waiting",
                                 pause);
    }
    out << QString::asprintf("%-58s %9.1f MiB (for information)\n", "memory the window took, at its peak",
                             (peak - before) / 1024.0);
    out.flush();
}

void printStatements(const DateRange& range)
{
    Request request;
    request.range = range;
    request.lanes = 32;
    out << "\nThe statements compared, as the command line is given them for the whole log:\n";
    for (const Figure& figure : figures())
        out << "\n-- " << figure.name << '\n' << script(figure.statements(request));
    out.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(bench::quietOffscreen);
    QApplication application(argc, argv);
    const qint64 rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    const QString sqlite3 = bench::sqlite3Baseline(out);
    if (sqlite3.isEmpty())
        return 1;
    testing::TestApp app(QDateTime(QDate(2012, 4, 3), QTime(10, 0)));
    const QString path = app.databasePath();
    QString error;
    QElapsedTimer timer;
    timer.start();
    // About 325 calls a day: a million calls over some 3,080 days, 3,000 of them with a frame count.
    testing::CallLogGenerator calls;
    calls.seed = 2004;
    calls.callsPerDay = 305;
    if (!calls.fill(path, rows, &error)) {
        out << error << '\n';
        return 1;
    }
    const QDate first(2004, 1, 5);
    const QDate last =
        QDate::fromString(app.scalar(QStringLiteral("SELECT max(DateNow) FROM DData")).toString(), Qt::ISODate);
    testing::FrameCountGenerator frames;
    if (!frames.fill(path, first, last, &error)) {
        out << error << '\n';
        return 1;
    }
    out << QString::asprintf("\ngenerated %lld calls and %lld frame counts over %lld days in %.1f s\n", rows,
                             app.scalar(QStringLiteral("SELECT count(*) FROM Frames")).toLongLong(),
                             first.daysTo(last) + 1, timer.elapsed() / 1000.0);
    printStatements({first, last});
    app.messages().answers.clear();
    auto* statistics = qobject_cast<Statistics*>(ui::ScreenRegistry::instance().show(QStringLiteral("Statistics")));
    if (!statistics)
        qFatal("the statistics window did not open");
    measure(path, sqlite3, {first, last}, statistics);
    measure(path, sqlite3, quickRange(QuickChoice::LastFourWeeks, last.addDays(1)), statistics);
    return 0;
}
