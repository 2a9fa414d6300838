// Figures for the filter on a large call log, each as a ratio against a
// baseline measured in the same run (the machines are noisy):
//  - each filter built by the filter engine, opened by a record source with
//    its first 100 calls read, against the sqlite3 command line running the
//    translated statement on the same file (output discarded);
//  - counting the calls a filter finds, against the command line's count(*);
// both on the delivered schema and on a copy with indexes on LaneNo and DateNow.
//
//   bench_filter [rows]      (default 1,000,000 calls)
#include "filter/engine/Criteria.h"
#include "filter/engine/FoundRecords.h"
#include "filter/engine/StatementBuilder.h"
#include "store/CallLogGenerator.h"
#include "store/Database.h"
#include "store/Dialect.h"
#include "store/RecordSet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

using namespace filter::engine;

namespace {

QTextStream out(stdout);

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// A limit of 0 marks a figure shown for information: the target is the one with a limit.
void report(const QString& what, double measured, double baseline, double limit)
{
    const double ratio = measured / baseline;
    if (limit > 0)
        out << QString::asprintf("%-66s %9.1f ms vs %9.1f ms  ratio %5.2fx  (limit %.1fx) %s\n", qPrintable(what),
                                 measured, baseline, ratio, limit, ratio <= limit ? "ok" : "OVER");
    else
        out << QString::asprintf("%-66s %9.1f ms vs %9.1f ms  ratio %5.2fx  (for information)\n", qPrintable(what),
                                 measured, baseline, ratio);
    out.flush();
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

// The record source opened on the statement, and the first screen of calls read.
double firstScreen(const QString& path, const QString& statement, qint64* found)
{
    QElapsedTimer timer;
    timer.start();
    store::RecordSet set;
    store::StoreError error;
    if (!set.open(path, statement, &error))
        qFatal("cannot open the filter: %s", qPrintable(error.text()));
    int read = 0;
    for (bool more = set.hasCurrent(); more && read < 100; more = set.MoveNext())
        read += set.value(QStringLiteral("Recno")).isValid() ? 1 : 0;
    *found = set.RecordCount();
    return timer.nsecsElapsed() / 1e6;
}

void measure(const QString& label, const QString& path, const QString& sqlite3)
{
    out << "\n" << label << "\n";
    for (const Filter& filter : filters()) {
        const QString statement = CreateSQLStatement(filter.rows, QStringLiteral("DData")).statement;
        QString error;
        const auto sql = store::translateAccessSql(statement, &error);
        const auto count = store::translateAccessCount(statement, &error);
        if (!sql || !count)
            qFatal("cannot translate: %s", qPrintable(error));
        QList<double> baseline, ours, countBaseline, countOurs;
        qint64 found = 0;
        cli(sqlite3, path, *sql); // warm the file cache
        for (int i = 0; i < 5; ++i) {
            baseline.append(cli(sqlite3, path, *sql));
            ours.append(firstScreen(path, statement, &found));
            countBaseline.append(cli(sqlite3, path, *count));
            QElapsedTimer timer;
            timer.start();
            store::StoreError why;
            if (!countFoundRecords(path, statement, &why))
                qFatal("cannot count: %s", qPrintable(why.text()));
            countOurs.append(timer.nsecsElapsed() / 1e6);
        }
        report(filter.name + QStringLiteral(" (%1 found)").arg(found), median(ours), median(baseline), 1.5);
        report(QStringLiteral("  counted"), median(countOurs), median(countBaseline), 0);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const qint64 rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite3.isEmpty()) {
        out << "The sqlite3 command line is needed as the baseline.\n";
        return 1;
    }
    QTemporaryDir folder;
    const QString plain = folder.filePath(QStringLiteral("Zuvevadu.mdb"));
    const QString indexed = folder.filePath(QStringLiteral("Indexed.mdb"));
    QString error;
    QElapsedTimer timer;
    timer.start();
    store::CallLogGenerator generator;
    generator.seed = 2004;
    if (!store::createDatabase(plain, &error) || !generator.fill(plain, rows, &error)) {
        out << error << '\n';
        return 1;
    }
    out << QString::asprintf("generated %lld calls in %.1f s\n", rows, timer.elapsed() / 1000.0);
    QFile::copy(plain, indexed);
    {
        const auto db = store::Database::open(indexed, &error);
        QSqlQuery q(db->sql());
        timer.restart();
        if (!q.exec(QStringLiteral("CREATE INDEX DData_LaneNo ON DData (LaneNo, DateNow)")) ||
            !q.exec(QStringLiteral("CREATE INDEX DData_DateNow ON DData (DateNow)"))) {
            out << "cannot make the indexes\n";
            return 1;
        }
        out << QString::asprintf("indexes made in %.1f s\n", timer.elapsed() / 1000.0);
    }
    measure(QStringLiteral("Delivered schema (no index):"), plain, sqlite3);
    measure(QStringLiteral("With indexes on (LaneNo, DateNow) and (DateNow):"), indexed, sqlite3);
    return 0;
}
