// Figures for the stops database browser and the filter on a large call log,
// each as a ratio against a baseline measured in the same run (the machines
// are noisy):
//  - the browser's first screen (opened behind its password gate, the grid
//    painted) and Ctrl+End to the last call, against the sqlite3 command line
//    running count(*) and reading the first 100 calls of the same file;
//  - how much memory the browser takes for all this;
//  - each filter's first screen, opened by a record source with its first 100
//    calls read, and applied to the browser with its grid painted, against the
//    same work done straight on the engine in this process, as the command
//    line would do it in one process for the same translated statement: the
//    keys of the calls found, then the first 100 of them with every column read (the command line itself, as a
//    whole process, is shown beside it);
//  - counting the calls a filter finds, against the command line's count(*).
// The delivered database carries indexes on (LaneNo, DateNow) and DateNow.
//
//   bench_filter [rows]      (default 1,000,000 calls)
#include "BenchCommon.h"
#include "filter/FindWindow.h"
#include "filter/MaintScreen.h"
#include "filter/engine/Criteria.h"
#include "filter/engine/FoundRecords.h"
#include "filter/engine/StatementBuilder.h"
#include "store/Dialect.h"
#include "store/RecordSet.h"
#include "support/CallLogGenerator.h"
#include "support/TestApp.h"
#include "ui/RecordSource.h"
#include "ui/RecordTableModel.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTest>
#include <QTextStream>

#include <sqlite3.h>

#include <algorithm>

using namespace filter::engine;

namespace {

using bench::median;
using bench::residentKb;
using bench::quietOffscreen;

QTextStream out(stdout);

void report(const QString& what, double measured, double baseline, double limit)
{
    bench::report(out, what, measured, baseline, limit, 66, 1);
}

struct Filter {
    QString name;
    FilterRows rows;
};

FindRow findRow(const QString& field, int typeCode, int operatorIndex, const QString& criteria,
                const QString& condition = {})
{
    FindRow row;
    chooseField(row, {field, typeCode});
    chooseOperator(row, operatorIndex);
    row.criteria = criteria;
    row.condition = condition;
    return row;
}

QList<Filter> filters()
{
    QList<Filter> list;
    Filter lane{QStringLiteral("lane = 5 sorted by date descending"), {}};
    lane.rows.find = {findRow(QStringLiteral("LaneNo"), 4, 0, QStringLiteral("5"))};
    lane.rows.sort = {SortRow{QStringLiteral("DateNow"), 8, QStringLiteral("Descending")}};
    list.append(lane);
    Filter jam{QStringLiteral("callmade contains JAM"), {}};
    jam.rows.find = {findRow(QStringLiteral("callmade"), 10, 6, QStringLiteral("JAM"))};
    list.append(jam);
    Filter year{QStringLiteral("a year of dates (Year Equals 2010)"), {}};
    year.rows.find = {findRow(QStringLiteral("DateNow"), 8, YearEquals, QStringLiteral("2010"))};
    list.append(year);
    Filter range{QStringLiteral("a year of dates (>= 1/1/2010 And <= 12/31/2010)"), {}};
    range.rows.find = {findRow(QStringLiteral("DateNow"), 8, 4, QStringLiteral("1/1/2010"), QStringLiteral("And")),
                       findRow(QStringLiteral("DateNow"), 8, 5, QStringLiteral("12/31/2010"))};
    list.append(range);
    Filter week{QStringLiteral("week of year equals 10"), {}};
    week.rows.find = {findRow(QStringLiteral("DateNow"), 8, WeekOfYearEquals, QStringLiteral("10"))};
    list.append(week);
    for (Filter& filter : list) {
        if (filter.rows.sort.isEmpty())
            filter.rows.sort = {SortRow{kDoNotSort, 0, QString()}};
        if (CheckCriteria(filter.rows.find))
            qFatal("a benchmark filter was refused");
    }
    return list;
}

double cli(const QString& sqlite3, const QString& path, const QString& sql)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(sqlite3, {path, sql});
    process.waitForFinished(-1);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (process.exitCode() != 0)
        qFatal("sqlite3 failed: %s", process.readAllStandardError().constData());
    return ms;
}

// The equal work on the engine itself: every key the filter finds, then its
// first 100 rows with each column read as text, on a connection kept open.
double engineWork(sqlite3* handle, const QStringList& statements)
{
    QElapsedTimer timer;
    timer.start();
    qint64 sum = 0;
    for (const QString& sql : statements) {
        sqlite3_stmt* statement = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK)
            qFatal("the engine refused %s: %s", text.constData(), sqlite3_errmsg(handle));
        const int columns = sqlite3_column_count(statement);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            if (columns == 1) {
                sum += sqlite3_column_int64(statement, 0);
                continue;
            }
            for (int i = 0; i < columns; ++i)
                sum += sqlite3_column_bytes(statement, i) + (sqlite3_column_text(statement, i) ? 1 : 0);
        }
        sqlite3_finalize(statement);
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    if (sum == 0)
        qFatal("the engine found nothing");
    return ms;
}

// The record source opened on the statement, and the first screen of calls read.
double firstScreen(const QString& path, const QString& statement, qint64* found)
{
    QElapsedTimer timer;
    timer.start();
    store::RecordSet set;
    store::Error error;
    if (!set.open(path, statement, &error))
        qFatal("cannot open the filter: %s", qPrintable(error.text()));
    int read = 0;
    for (bool more = set.hasCurrent(); more && read < 100; more = set.MoveNext())
        read += set.value(QStringLiteral("Recno")).isValid() ? 1 : 0;
    *found = set.RecordCount();
    return timer.nsecsElapsed() / 1e6;
}

// Painted as the screen shows it: every visible cell read and drawn.
void paint(QWidget* window)
{
    QCoreApplication::processEvents();
    window->grab();
}

filter::MaintScreen* openBrowser()
{
    return qobject_cast<filter::MaintScreen*>(ui::ScreenRegistry::instance().show(QStringLiteral("MaintScreen")));
}

void browserFigures(const QString& path, const QString& sqlite3)
{
    out << "\nThe browser:\n";
    const QString baselineSql = QStringLiteral("SELECT count(*) FROM DData; SELECT * FROM DData LIMIT 100;");
    cli(sqlite3, path, baselineSql); // warm the file cache
    auto& screens = ui::ScreenRegistry::instance();
    const qint64 before = residentKb();
    qint64 peak = 0;
    QList<double> baseline, first, last;
    for (int i = 0; i < 5; ++i) {
        baseline.append(cli(sqlite3, path, baselineSql));
        QElapsedTimer timer;
        timer.start();
        filter::MaintScreen* browser = openBrowser();
        if (!browser || browser->gridModel()->rowCount() == 0)
            qFatal("the browser did not open on the calls");
        paint(browser);
        first.append(timer.nsecsElapsed() / 1e6);
        timer.restart();
        browser->SSDBGrid1->setFocus();
        QTest::keyClick(browser->SSDBGrid1, Qt::Key_End, Qt::ControlModifier);
        paint(browser);
        last.append(timer.nsecsElapsed() / 1e6);
        if (browser->Data1->Recordset().currentPosition() != browser->gridModel()->rowCount() - 1)
            qFatal("Ctrl+End did not reach the last call");
        peak = std::max(peak, residentKb());
        if (i < 4) {
            screens.unload(browser);
            testing::TestApp::settle();
        }
    }
    report(QStringLiteral("first screen of the browser"), median(first), median(baseline), 5);
    report(QStringLiteral("Ctrl+End to the last call"), median(last), median(baseline), 5);
    const double growth = (peak - before) / 1024.0;
    out << QString::asprintf("%-66s %9.1f MiB                 (limit 100 MiB) %s\n", "memory growth of the browser",
                             growth, growth < 100 ? "ok" : "OVER");
    out.flush();
}

void filterFigures(const QString& path, const QString& sqlite3)
{
    out << "\nFilters:\n";
    filter::MaintScreen* browser = openBrowser();
    ::sqlite3* handle = nullptr; // the type, not the command line named by the parameter
    if (sqlite3_open_v2(path.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        qFatal("cannot open the file on the engine");
    for (const Filter& filter : filters()) {
        const QString statement = CreateSQLStatement(filter.rows, QStringLiteral("DData")).statement;
        store::Error error;
        // The very statement the record source runs, its ties in insertion order.
        const auto sql = store::translateAccessSelect(statement, browser->Data1->Recordset().Fields(), &error);
        const auto count = store::translateAccessCount(statement, &error);
        if (!sql || !count)
            qFatal("cannot translate: %s", qPrintable(error.message));
        const qsizetype from = sql->indexOf(QLatin1String(" from "), 0, Qt::CaseInsensitive);
        const QStringList equalWork = {QStringLiteral("SELECT \"DData\".rowid") + sql->mid(from),
                                       *sql + QStringLiteral(" LIMIT 100")};
        QList<double> baseline, process, ours, shown, countBaseline, countOurs;
        qint64 found = 0;
        cli(sqlite3, path, equalWork.join(QStringLiteral("; "))); // warm the file cache
        engineWork(handle, equalWork);
        for (int i = 0; i < 11; ++i) {
            baseline.append(engineWork(handle, equalWork));
            process.append(cli(sqlite3, path, equalWork.join(QStringLiteral("; "))));
            ours.append(firstScreen(path, statement, &found));
            // Applied to the browser as OK applies it, the grid painted.
            QElapsedTimer timer;
            timer.start();
            browser->Data1->setRecordSource(statement);
            store::Error why;
            if (!browser->Data1->tryRefresh(&why))
                qFatal("the browser refused the filter: %s", qPrintable(why.text()));
            paint(browser);
            shown.append(timer.nsecsElapsed() / 1e6);
            countBaseline.append(cli(sqlite3, path, *count));
            timer.restart();
            if (!countFoundRecords(path, statement, &why))
                qFatal("cannot count: %s", qPrintable(why.text()));
            countOurs.append(timer.nsecsElapsed() / 1e6);
        }
        report(filter.name + QStringLiteral(" (%1 found)").arg(found), median(ours), median(baseline), 1.5);
        // More work than the baseline does (the grid is painted too): for information.
        report(QStringLiteral("  applied to the browser, grid painted"), median(shown), median(baseline), 0);
        report(QStringLiteral("  the same work by the command line, a whole process"), median(process),
               median(baseline), 0);
        report(QStringLiteral("  counted"), median(countOurs), median(countBaseline), 0);
    }
    sqlite3_close(handle);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietOffscreen);
    QApplication application(argc, argv);
    const qint64 rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    const QString sqlite3 = bench::sqlite3Baseline(out);
    if (sqlite3.isEmpty())
        return 1;
    testing::TestApp app;
    const QString path = app.databasePath();
    QString error;
    QElapsedTimer timer;
    timer.start();
    testing::CallLogGenerator generator;
    generator.seed = 2004;
    if (!generator.fill(path, rows, &error)) {
        out << error << '\n';
        return 1;
    }
    out << QString::asprintf("generated %lld calls in %.1f s\n", rows, timer.elapsed() / 1000.0);
    browserFigures(path, sqlite3);
    filterFigures(path, sqlite3);
    return 0;
}
