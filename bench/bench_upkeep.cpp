// Figures for the database upkeep, each as a ratio against a baseline
// measured in the same run (the machines are noisy), on a database of
// 1,000,000 calls made by the store's call generator:
//  - the automatic backup to drive A: (a folder as large as a memory stick)
//    through the backup window, against Info-ZIP's `zip -6` of the same file;
//  - the automatic restore from it, against `unzip` of the same archive;
//  - "Compact Database" from the main menu, against the checked copy a careful
//    administrator makes with the command line: sqlite3's VACUUM INTO, then
//    PRAGMA integrity_check on the copy, then sync of the copy (and, for
//    information, against the bare VACUUM INTO).
// And whether the window stays responsive meanwhile: how often its event loop
// ran, and how soon Abort (with "Use Temp File") stops a backup and a restore.
//
//   bench_upkeep [rows]      (default 1,000,000 calls)
#include "BenchCommon.h"
#include "app/MainMenu.h"
#include "support/CallLogGenerator.h"
#include "support/TestApp.h"
#include "ui/ScreenRegistry.h"
#include "upkeep/dbfile/DatabaseFile.h"
#include "upkeep/frmZipCreate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <unistd.h>

#include <algorithm>

namespace {

using bench::median;
using bench::quietOffscreen;

QTextStream out(stdout);

void report(const char* what, double measured, double baseline, double limit)
{
    bench::report(out, QString::fromUtf8(what), measured, baseline, limit, 56, 1);
}

/// Runs a tool and returns its wall time in milliseconds, or -1 when it failed.
double timeTool(const QString& program, const QStringList& arguments, const QString& folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        return -1;
    return timer.nsecsElapsed() / 1e6;
}

/// How regularly the event loop ran while something worked: a 10 ms timer's ticks.
class LoopWatch {
public:
    LoopWatch()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            const qint64 now = m_clock.elapsed();
            m_longest = qMax(m_longest, now - m_last);
            m_last = now;
            ++m_ticks;
        });
    }
    void start()
    {
        m_ticks = 0;
        m_longest = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    QString stop()
    {
        m_timer.stop();
        m_longest = qMax(m_longest, m_clock.elapsed() - m_last);
        return QString::asprintf("event loop ran %d times, longest wait %lld ms", m_ticks, m_longest);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_ticks = 0;
};

// Earlier writes reach the disk, and work left running beside the window
// ends, before the next figure is taken.
void settleDisk()
{
    QThread::msleep(300);
    ::sync();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietOffscreen);
    QApplication application(argc, argv);
    const qint64 rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    testing::TestApp app(QDateTime::currentDateTime());
    auto& screens = ui::ScreenRegistry::instance();
    const QString folder = app.folder();
    const QString database = app.databasePath();
    {
        QElapsedTimer timer;
        timer.start();
        testing::CallLogGenerator generator;
        generator.seed = 2004;
        QString error;
        if (!generator.fill(database, rows, &error)) {
            out << error << '\n';
            return 1;
        }
        out << QString::asprintf("generated %lld calls in %.1f s; the database is %.1f MB\n", rows,
                                 timer.elapsed() / 1000.0, QFileInfo(database).size() / 1048576.0);
    }
    // Drive A: is a memory stick here: room for the whole backup on one disk.
    QDir().mkpath(app.drive().path);
    app.drive().bytes = qint64(64) << 30;
    const QString backupOnDrive = QDir(app.drive().path).filePath(QStringLiteral("VevoDorivBackup.zip"));
    auto* window = qobject_cast<upkeep::frmZipCreate*>(screens.show(QStringLiteral("frmZipCreate")));
    auto* menu = qobject_cast<app::MainMenu*>(screens.show(QStringLiteral("MainMenu")));
    LoopWatch watch;
    int statusEvents = 0;
    QObject::connect(window->ZipMain, &upkeep::zip::ZipMain::Status, window, [&](int) { ++statusEvents; });
    const int rounds = 3;

    // ---- Backup -----------------------------------------------------------------------------
    {
        QList<double> ours, zipped;
        QString loop;
        for (int round = 0; round < rounds; ++round) {
            QFile::remove(QDir(folder).filePath(QStringLiteral("base.zip")));
            settleDisk();
            zipped << timeTool(QStringLiteral("zip"),
                               {QStringLiteral("-q6"), QStringLiteral("base.zip"), QStringLiteral("Zuvevadu.mdb")},
                               folder);
            QFile::remove(backupOnDrive);
            settleDisk();
            app.messages().seen.clear();
            statusEvents = 0;
            watch.start();
            QElapsedTimer timer;
            timer.start();
            window->mnuAutomaticBackup_Click();
            ours << timer.nsecsElapsed() / 1e6;
            loop = watch.stop();
            if (app.messages().texts().last() != QLatin1String("Compressed backup process completed!"))
                out << "  !! backup: " << app.messages().texts().join(QStringLiteral(" / ")) << '\n';
        }
        report("automatic backup to drive A: vs zip -6", median(ours), median(zipped), 1.2);
        out << QString::asprintf("  archive %.1f MB (zip -6: %.1f MB); %d progress events; ",
                                 QFileInfo(backupOnDrive).size() / 1048576.0,
                                 QFileInfo(QDir(folder).filePath(QStringLiteral("base.zip"))).size() / 1048576.0,
                                 statusEvents)
            << loop << '\n';
    }

    // ---- Restore ----------------------------------------------------------------------------
    {
        QList<double> ours, unzipped;
        QString loop;
        const QString unzipFolder = QDir(folder).filePath(QStringLiteral("unzipped"));
        for (int round = 0; round < rounds; ++round) {
            QDir(unzipFolder).removeRecursively();
            settleDisk();
            unzipped << timeTool(QStringLiteral("unzip"),
                                 {QStringLiteral("-qo"), QStringLiteral("base.zip"), QStringLiteral("-d"), unzipFolder},
                                 folder);
            settleDisk();
            app.messages().seen.clear();
            statusEvents = 0;
            watch.start();
            QElapsedTimer timer;
            timer.start();
            window->mnuAutomaticRestore_Click(); // the replace question is answered Yes
            ours << timer.nsecsElapsed() / 1e6;
            loop = watch.stop();
            if (app.messages().seen.size() != 2)
                out << "  !! restore: " << app.messages().texts().join(QStringLiteral(" / ")) << '\n';
        }
        report("automatic restore from drive A: vs unzip", median(ours), median(unzipped), 1.2);
        out << QString::asprintf("  %d progress events; ", statusEvents) << loop << '\n';
    }

    // ---- Compact ----------------------------------------------------------------------------
    {
        QList<double> ours, vacuumed, checked;
        QString loop;
        const QString cli = QDir(folder).filePath(QStringLiteral("cli.mdb"));
        for (int round = 0; round < rounds; ++round) {
            QFile::remove(cli);
            settleDisk();
            const double vacuum = timeTool(QStringLiteral("sqlite3"),
                                           {QStringLiteral("Zuvevadu.mdb"), QStringLiteral("VACUUM INTO 'cli.mdb'")},
                                           folder);
            const double check =
                timeTool(QStringLiteral("sqlite3"), {QStringLiteral("cli.mdb"), QStringLiteral("PRAGMA integrity_check")},
                         folder);
            const double flush = timeTool(QStringLiteral("sync"), {QStringLiteral("cli.mdb")}, folder);
            vacuumed << vacuum;
            checked << (vacuum < 0 || check < 0 || flush < 0 ? -1 : vacuum + check + flush);
            QFile::remove(cli);
            settleDisk();
            app.messages().seen.clear();
            watch.start();
            QElapsedTimer timer;
            timer.start();
            menu->mnuUtilCompact_Click();
            ours << timer.nsecsElapsed() / 1e6;
            loop = watch.stop();
            if (app.messages().texts() != QStringList{QStringLiteral("Your database has been compressed")})
                out << "  !! compact: " << app.messages().texts().join(QStringLiteral(" / ")) << '\n';
        }
        report("Compact Database vs VACUUM INTO, integrity_check, sync", median(ours), median(checked), 1.0);
        report("Compact Database vs a bare sqlite3 VACUUM INTO", median(ours), median(vacuumed), 0);
        out << "  " << loop << " (the window repaints; clicks wait until it is done)\n";
        // Where the time goes, step by step.
        QElapsedTimer step;
        QList<qint64> marks;
        upkeep::dbfile::Hooks hooks;
        hooks.step = [&](upkeep::dbfile::Step) { marks << step.elapsed(); };
        settleDisk();
        step.start();
        upkeep::dbfile::compactDatabase(database, hooks);
        marks << step.elapsed();
        if (marks.size() == 5)
            out << QString::asprintf("  of which: opening %lld ms, VACUUM INTO %lld ms, check and flush %lld ms, "
                                     "rename %lld ms\n",
                                     marks[0], marks[1] - marks[0], marks[2] - marks[1], marks[4] - marks[2]);
    }

    // ---- Abort --------------------------------------------------------------------------------
    {
        // Abort is clicked once a tenth is done; how long until the window is idle again.
        QElapsedTimer sinceAbort;
        auto armAbort = [&] {
            return QObject::connect(window->ZipMain, &upkeep::zip::ZipMain::Status, window, [&](int percent) {
                if (percent >= 10 && percent < 100 && !sinceAbort.isValid()) {
                    sinceAbort.start();
                    window->cmdAbort->click();
                }
            });
        };
        window->ZipMain->setUseTempFile(true);
        sinceAbort.invalidate();
        QFile::remove(backupOnDrive);
        app.messages().seen.clear();
        auto connection = armAbort();
        window->mnuAutomaticBackup_Click();
        const double backupStop = sinceAbort.isValid() ? sinceAbort.nsecsElapsed() / 1e6 : -1;
        const bool backupAborted = app.messages().texts().contains(QStringLiteral("The adding operation was aborted."));
        QObject::disconnect(connection);

        // A backup to restore from, then a restore aborted part way.
        window->mnuAutomaticBackup_Click();
        sinceAbort.invalidate();
        app.messages().seen.clear();
        connection = armAbort();
        window->mnuAutomaticRestore_Click();
        const double restoreStop = sinceAbort.isValid() ? sinceAbort.nsecsElapsed() / 1e6 : -1;
        const bool restoreAborted =
            app.messages().texts().contains(QStringLiteral("The extracting operation was aborted."));
        QObject::disconnect(connection);
        out << QString::asprintf("Abort during a backup: %s, idle again %.0f ms after the click\n",
                                 backupAborted ? "stopped" : "NOT STOPPED", backupStop);
        out << QString::asprintf("Abort during a restore: %s, idle again %.0f ms after the click\n",
                                 restoreAborted ? "stopped" : "NOT STOPPED", restoreStop);
    }
    return 0;
}
