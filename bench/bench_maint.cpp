// The maintenance schedule's due list over 100 tasks, 60 lanes and 3,000 days
// of frame counts, as a ratio against the sqlite3 command line running one
// bare statement that sums the same frames (for every task and lane, the
// frames counted after its last completion), on the same file, a whole
// process started afresh each round. The machines are noisy, so both are
// measured in the same run and the median of five rounds compared:
//  - the due list worked out by the engine, the database opened as the window opens it;
//  - the same against the least a due list can read: the whole frame log summed once (for information);
//  - the window opened on it, its list and grid filled and drawn (for information).
// Both statements are printed first.
//
//   bench_maint [days]      (default 3,000 days of frame counts)
#include "BenchCommon.h"
#include "maint/MaintSchedule.h"
#include "maint/engine/DueList.h"
#include "store/Database.h"
#include "support/FrameCountGenerator.h"
#include "support/MaintLogGenerator.h"
#include "support/TestApp.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTableView>
#include <QTextStream>

namespace {

constexpr int kLanes = 60;
constexpr int kTasks = 100;

QTextStream out(stdout);

/// The bare statement: for every task and lane, the frames of the counted days after its last completion.
QString baseline(QDate today)
{
    return QStringLiteral("SELECT l.TaskId, l.Lane, total(f.total) FROM (SELECT TaskId, Lane, max(DateDone) AS d "
                          "FROM MaintDone WHERE DateDone <= '%1' GROUP BY TaskId, Lane) l LEFT JOIN Frames f ON "
                          "f.DateNow > l.d AND f.DateNow <= '%1' AND f.total > 0 GROUP BY l.TaskId, l.Lane;\n")
        .arg(today.toString(Qt::ISODate));
}

/// The least a due list reads: every counted day's frames, summed once.
QString wholeLog(QDate today)
{
    return QStringLiteral("SELECT total(total) FROM Frames WHERE DateNow <= '%1' AND total > 0;\n")
        .arg(today.toString(Qt::ISODate));
}

double cli(const QString& sqlite3, const QString& path, const QString& input, int* rows, QByteArray* printed = nullptr)
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(sqlite3, {path});
    process.write(input.toUtf8());
    process.closeWriteChannel();
    process.waitForFinished(-1);
    const double ms = timer.nsecsElapsed() / 1e6;
    const QByteArray output = process.readAllStandardOutput();
    if (process.exitCode() != 0 || !process.readAllStandardError().isEmpty())
        qFatal("sqlite3 failed on:\n%s", qPrintable(input));
    *rows = int(output.count('\n'));
    if (printed)
        *printed = output;
    return ms;
}

/// Whether the due list's frames of every task and lane are the sums the command line printed.
bool sameSums(const maint::DueList& due, const QByteArray& printed)
{
    int compared = 0;
    for (const QByteArray& line : printed.split('\n')) {
        const QList<QByteArray> cells = line.split('|');
        if (cells.size() != 3)
            continue;
        const maint::DueEntry* entry = due.find(cells.at(0).toLongLong(), cells.at(1).toInt());
        if (!entry || entry->frames != qint64(cells.at(2).toDouble()))
            return false;
        ++compared;
    }
    return compared == due.entries.size();
}

/// The due list as the window works it out: the database opened, the list read and worked out.
double engine(const QString& path, QDate today, int* entries, std::optional<maint::DueList>* kept = nullptr)
{
    QElapsedTimer timer;
    timer.start();
    store::Error why;
    auto db = store::Database::open(path, &why);
    if (!db)
        qFatal("%s", qPrintable(why.text()));
    const std::optional<maint::DueList> due = maint::workOutDueList(*db, {today, kLanes, 10}, &why);
    if (!due)
        qFatal("the due list was not worked out: %s", qPrintable(why.text()));
    *entries = int(due->entries.size());
    const double ms = timer.nsecsElapsed() / 1e6;
    if (kept)
        *kept = due;
    return ms;
}

/// The window opened from nothing on the due list, its grids filled and drawn.
double window()
{
    QElapsedTimer timer;
    timer.start();
    auto* schedule =
        qobject_cast<maint::MaintSchedule*>(ui::ScreenRegistry::instance().show(QStringLiteral("MaintSchedule")));
    if (!schedule)
        qFatal("the maintenance schedule did not open");
    QCoreApplication::processEvents();
    schedule->grab();
    const double ms = timer.nsecsElapsed() / 1e6;
    ui::ScreenRegistry::instance().unload(schedule);
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(bench::quietOffscreen);
    QApplication application(argc, argv);
    const int days = argc > 1 ? QByteArray(argv[1]).toInt() : 3000;
    const QString sqlite3 = bench::sqlite3Baseline(out);
    if (sqlite3.isEmpty())
        return 1;
    const QDate first(2004, 1, 5);
    const QDate last = first.addDays(days - 1);
    const QDate today = last.addDays(1);
    testing::TestApp app(QDateTime(today, QTime(10, 0)));
    const QString path = app.databasePath();
    QString error;
    testing::FrameCountGenerator frames;
    frames.lanes = kLanes;
    frames.missingOneIn = 0;
    testing::MaintLogGenerator tasks;
    tasks.lanes = kLanes;
    tasks.tasks = kTasks;
    tasks.firstDay = first;
    if (!frames.fill(path, first, last, &error) || !tasks.fill(path, today, &error)) {
        out << error << '\n';
        return 1;
    }
    out << QStringLiteral("\n%1 tasks (%2 on each lane), %3 lanes, %4 days of frame counts, %5 completions\n")
               .arg(app.scalar(QStringLiteral("SELECT count(*) FROM MaintTasks")).toInt())
               .arg(app.scalar(QStringLiteral("SELECT count(*) FROM MaintTasks WHERE PerLane = 1")).toInt())
               .arg(kLanes)
               .arg(app.scalar(QStringLiteral("SELECT count(*) FROM Frames")).toInt())
               .arg(app.scalar(QStringLiteral("SELECT count(*) FROM MaintDone")).toInt());
    out << "\nThe due list runs these statements and sums the frames of each task and lane from a running total "
           "of the days read once:\n";
    for (const QString& statement : maint::dueListStatements())
        out << "  " << statement << ";\n";
    out << "(?1 = '" << today.toString(Qt::ISODate) << "')\n\nThe bare statement the command line runs:\n  "
        << baseline(today) << "and, for information, the whole frame log summed once:\n  " << wholeLog(today) << '\n';
    out.flush();
    int rows = 0, entries = 0;
    // The file in the cache, and the engine's sums checked against the command line's.
    QByteArray printed;
    cli(sqlite3, path, baseline(today), &rows, &printed);
    std::optional<maint::DueList> due;
    engine(path, today, &entries, &due);
    out << "the due list's frames of every task and lane equal the command line's sums: "
        << (due && sameSums(*due, printed) ? "yes" : "NO") << "\n";
    QList<double> bare, once, ours, shown;
    for (int round = 0; round < 5; ++round) {
        int one = 0;
        once.append(cli(sqlite3, path, wholeLog(today), &one));
        bare.append(cli(sqlite3, path, baseline(today), &rows));
        ours.append(engine(path, today, &entries));
        shown.append(window());
    }
    out << QStringLiteral("sums of the command line: %1 tasks and lanes; due list: %2 entries (the %3 never done "
                          "included)\n\n")
               .arg(rows)
               .arg(entries)
               .arg(entries - rows);
    bench::report(out, QStringLiteral("due list worked out"), bench::median(ours), bench::median(bare), 1.5, 44, 1);
    bench::report(out, QStringLiteral("  against the whole frame log summed once"), bench::median(ours),
                  bench::median(once), 0, 44, 1);
    bench::report(out, QStringLiteral("  the window opened on it, drawn"), bench::median(shown), bench::median(bare), 0,
                  44, 1);
    app.messages().answers.clear();
    return 0;
}
