// Figures for logging a call, each as a ratio against a baseline measured in
// the same run (the machines are noisy):
//  - the board first shown with its 100 calls bound, against a bare main
//    window, both in fresh processes and as fresh windows in one process;
//  - pick -> lane entry shown -> Save -> row committed, against a bare
//    prepared insert in its own transaction on the same file, with an empty
//    call log and again with a large one.
//
//   bench_calls [rows]      (default 1,000,000 calls in DData for the second round)
#include "AllScreens.h"
#include "BareInsert.h"
#include "BenchCommon.h"
#include "calls/EnterLaneNo.h"
#include "calls/ListOfCalls.h"
#include "store/Database.h"
#include "support/CallLogGenerator.h"
#include "support/SyncWatch.h"
#include "support/TestApp.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextStream>

#include <sqlite3.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace {

using bench::median;
using bench::quietOffscreen;

QTextStream out(stdout);

void report(const char* what, double measured, double baseline, double limit)
{
    bench::report(out, QString::fromUtf8(what), measured, baseline, limit, 62, 3);
}

// ---- First show in a fresh process -------------------------------------------------------

qint64 sinceStart(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count();
}

// Child mode: from entering main to the window painted; prints nanoseconds.
int firstShowChild(int argc, char* argv[], bool board, const QString& folder)
{
    const auto start = std::chrono::steady_clock::now();
    QApplication application(argc, argv);
    QWidget* window = nullptr;
    QMainWindow bare;
    if (board) {
        ui::Platform::instance().setAppFolder(folder);
        registerAllScreens();
        window = ui::ScreenRegistry::instance().show(QStringLiteral("ListOfCalls"));
    } else {
        bare.show();
        window = &bare;
    }
    QCoreApplication::processEvents(); // the window is painted here
    const qint64 ns = sinceStart(start);
    if (!window || !window->isVisible())
        return 1;
    QTextStream(stdout) << ns << '\n';
    return 0;
}

struct ProcessTimes {
    double wall = 0;   // the whole process, as the parent sees it
    double inside = 0; // from main to painted, as the child sees it
};

ProcessTimes runChild(const QString& mode, const QString& folder)
{
    QElapsedTimer timer;
    timer.start();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {mode, folder});
    child.waitForFinished(30000);
    ProcessTimes times;
    times.wall = timer.nsecsElapsed() / 1e6;
    times.inside = child.readAllStandardOutput().trimmed().toLongLong() / 1e6;
    if (child.exitCode() != 0)
        out << "child " << mode << " failed\n";
    return times;
}

// ---- Logging -----------------------------------------------------------------------------

qint64 rowCount(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* q = nullptr;
    qint64 count = -1;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM DData", -1, &q, nullptr) == SQLITE_OK &&
        sqlite3_step(q) == SQLITE_ROW)
        count = sqlite3_column_int64(q, 0);
    sqlite3_finalize(q);
    sqlite3_close(db);
    return count;
}

/// Logs calls through the real screens, alternating with bare inserts in the
/// engine's usual DELETE/FULL (the baseline) and in the store's own durable
/// mode; prints the medians and the syncs per saved call.
void logCalls(const char* what, calls::ListOfCalls* board, const QString& path, int rounds, testing::SyncWatch& watch)
{
    auto& screens = ui::ScreenRegistry::instance();
    bench::BareInsert bare(path, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;");
    bench::BareInsert durable(path, store::kJournalPragmas);
    QList<double> logged, baseline, chosen, shown;
    // Earlier writes reach the disk first, so that neither side pays for them.
    ::sync();
    const qint64 before = rowCount(path);
    int failures = 0;
    int syncs = 0;
    const int warmUp = 10;
    for (int round = -warmUp; round < rounds; ++round) {
        const int call = 1 + ((round + warmUp) * 37) % 100;
        QElapsedTimer timer;
        watch.reset();
        timer.start();
        QTest::mouseClick(board->Label[call + 5], Qt::LeftButton);
        auto* entry = qobject_cast<calls::EnterLaneNo*>(screens.find(QStringLiteral("EnterLaneNo")));
        QCoreApplication::processEvents(); // shown and painted
        const double toShown = timer.nsecsElapsed() / 1e6;
        if (!entry || !entry->isVisible()) {
            ++failures;
            continue;
        }
        entry->Text5->setText(QString::number(1 + round % 32));
        entry->Command1->click(); // stores the call and closes the lane entry
        testing::TestApp::settle();
        const double toCommitted = timer.nsecsElapsed() / 1e6;
        const int savedSyncs = watch.syncs();

        timer.restart();
        if (!bare.run())
            ++failures;
        const double bareTime = timer.nsecsElapsed() / 1e6;
        timer.restart();
        if (!durable.run())
            ++failures;
        const double durableTime = timer.nsecsElapsed() / 1e6;
        if (round >= 0) {
            baseline.append(bareTime);
            chosen.append(durableTime);
            logged.append(toCommitted);
            shown.append(toShown);
            syncs += savedSyncs;
        }
    }
    const qint64 added = rowCount(path) - before;
    if (failures || added != 3 * (rounds + warmUp))
        out << "  !! " << failures << " failures, " << added << " rows added for " << 3 * (rounds + warmUp)
            << " expected\n";
    report(what, median(logged), median(baseline), 1.2);
    out << QString::asprintf("  (of which pick -> lane entry painted: median %.3f ms; %.1f syncs per saved call)\n",
                             median(shown), double(syncs) / rounds);
    out << QString::asprintf("  bare insert in the store's mode (%s) %.3f ms, %.2fx the DELETE/FULL one\n",
                             store::kJournalPragmas, median(chosen), median(chosen) / median(baseline));
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(quietOffscreen);
    if (argc > 2 && (qstrcmp(argv[1], "--bare") == 0 || qstrcmp(argv[1], "--board") == 0))
        return firstShowChild(argc, argv, qstrcmp(argv[1], "--board") == 0, QString::fromLocal8Bit(argv[2]));

    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietOffscreen);
    QApplication application(argc, argv);
    // Installed before any connection opens, so that it sees the store's own.
    testing::SyncWatch watch;
    const qint64 rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    testing::TestApp app(QDateTime::currentDateTime());
    auto& screens = ui::ScreenRegistry::instance();

    // Board first shown, in fresh processes, alternated so both see the same machine.
    {
        QList<double> bareWall, boardWall, bareInside, boardInside;
        runChild(QStringLiteral("--bare"), app.folder()); // warm the file cache
        runChild(QStringLiteral("--board"), app.folder());
        for (int i = 0; i < 15; ++i) {
            const ProcessTimes bare = runChild(QStringLiteral("--bare"), app.folder());
            const ProcessTimes board = runChild(QStringLiteral("--board"), app.folder());
            bareWall.append(bare.wall);
            boardWall.append(board.wall);
            bareInside.append(bare.inside);
            boardInside.append(board.inside);
        }
        report("board first shown, whole process", median(boardWall), median(bareWall), 5.0);
        report("board first shown, main() to painted", median(boardInside), median(bareInside), 0);
    }

    // Fresh windows in this process: each made, shown and painted, then discarded.
    {
        QList<double> bare, board;
        for (int i = 0; i < 31; ++i) {
            QElapsedTimer timer;
            timer.start();
            {
                QMainWindow window;
                window.show();
                QCoreApplication::processEvents();
                bare.append(timer.nsecsElapsed() / 1e6);
            }
            timer.restart();
            ui::Screen* shown = screens.show(QStringLiteral("ListOfCalls"));
            QCoreApplication::processEvents();
            board.append(timer.nsecsElapsed() / 1e6);
            screens.unload(shown);
            testing::TestApp::settle();
        }
        report("board shown as a fresh window (after a warm-up)", median(board), median(bare), 0);
    }

    // The shift is filled in and the board open, as when a mechanic logs calls.
    screens.show(QStringLiteral("TodaysInfo"));
    screens.control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text1"))->setText(QStringLiteral("Dave"));
    screens.control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text2"))->setText(QStringLiteral("Marco"));
    screens.find(QStringLiteral("TodaysInfo"))->hide();
    auto* board = qobject_cast<calls::ListOfCalls*>(screens.show(QStringLiteral("ListOfCalls")));
    QCoreApplication::processEvents();
    logCalls("pick -> shown -> Save -> committed, empty call log", board, app.databasePath(), 101, watch);

    {
        QElapsedTimer timer;
        timer.start();
        testing::CallLogGenerator generator;
        generator.seed = 2004;
        QString error;
        if (!generator.fill(app.databasePath(), rows, &error)) {
            out << error << '\n';
            return 1;
        }
        out << QString::asprintf("generated %lld calls in %.1f s; DData holds %lld\n", rows, timer.elapsed() / 1000.0,
                                 rowCount(app.databasePath()));
    }
    logCalls("pick -> shown -> Save -> committed, large call log", board, app.databasePath(), 101, watch);
    return 0;
}
