// Figures for start-up and the record source, each as a ratio against a
// baseline measured in the same run (the machines are noisy).
//
//   bench_foundation [rows]      (default 1,000,000 calls in DData)
#include "AllScreens.h"
#include "BenchCommon.h"
#include "support/CallLogGenerator.h"
#include "store/Database.h"
#include "ui/Platform.h"
#include "ui/RecordSource.h"
#include "ui/RecordTableModel.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUuid>

#include <algorithm>
#include <functional>

namespace {

using bench::median;

QTextStream out(stdout);

double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = statm.readAll().split(' ');
    return parts.size() > 1 ? parts.at(1).toDouble() * 4096.0 / (1024 * 1024) : 0;
}

void report(const char* what, double measured, double baseline, double limit)
{
    bench::report(out, QString::fromUtf8(what), measured, baseline, limit, 62, 3);
}

// Wall time of a whole child process of this program in a given mode.
double processMs(const QString& mode)
{
    QElapsedTimer timer;
    timer.start();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {mode});
    child.waitForFinished(30000);
    return timer.nsecsElapsed() / 1e6;
}

int startupChild(int argc, char* argv[], bool menu)
{
    QApplication application(argc, argv);
    if (menu) {
        registerAllScreens();
        ui::ScreenRegistry::instance().show(QStringLiteral("MainMenu"));
    } else {
        QMainWindow window;
        window.show();
        QCoreApplication::processEvents();
        return 0;
    }
    QCoreApplication::processEvents();
    return 0;
}

struct Db {
    explicit Db(const QString& path)
        : name(QStringLiteral("bench-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    }
    ~Db()
    {
        QSqlDatabase::database(name).close();
        QSqlDatabase::removeDatabase(name);
    }
    QSqlDatabase sql() const { return QSqlDatabase::database(name); }
    QString name;
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--bare") == 0)
        return startupChild(argc, argv, false);
    if (argc > 1 && qstrcmp(argv[1], "--menu") == 0)
        return startupChild(argc, argv, true);

    QApplication application(argc, argv);
    const qint64 rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;

    // Start-up: whole processes, alternated so both see the same machine.
    {
        QList<double> bare, menu;
        processMs(QStringLiteral("--bare")); // warm the file cache
        processMs(QStringLiteral("--menu"));
        for (int i = 0; i < 15; ++i) {
            bare.append(processMs(QStringLiteral("--bare")));
            menu.append(processMs(QStringLiteral("--menu")));
        }
        report("start-up to main menu shown (whole process)", median(menu), median(bare), 1.5);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Zuvevadu.mdb"));
    store::Error error;
    if (!store::createDatabase(path, &error)) {
        out << error.text() << '\n';
        return 1;
    }
    ui::Platform::instance().setAppFolder(dir.path());
    {
        QElapsedTimer timer;
        timer.start();
        testing::CallLogGenerator generator;
        generator.seed = 2004;
        QString failed;
        if (!generator.fill(path, rows, &failed)) {
            out << failed << '\n';
            return 1;
        }
        out << QString::asprintf("generated %lld calls in %.1f s\n", rows, timer.elapsed() / 1000.0);
    }

    const double memoryBefore = residentMiB();
    // Opening a million-row DData and reaching the first record, each side on a new connection.
    {
        QList<double> bare, open, last;
        for (int i = 0; i < 21; ++i) {
            QElapsedTimer timer;
            timer.start();
            {
                Db db(path);
                QSqlQuery q(db.sql());
                q.exec(QStringLiteral("SELECT count(*) FROM DData"));
                q.next();
                q.exec(QStringLiteral("SELECT * FROM DData ORDER BY rowid LIMIT 1"));
                q.next();
            }
            bare.append(timer.nsecsElapsed() / 1e6);

            QWidget form;
            auto* lane = new QLineEdit(&form);
            timer.restart();
            {
                ui::RecordSource source(&form, QStringLiteral("Data1"), QStringLiteral("DData"));
                source.bind(lane, QStringLiteral("LaneNo"));
                source.setDatabaseName(path);
                source.Refresh();
                open.append(timer.nsecsElapsed() / 1e6);
                timer.restart();
                source.Recordset().MoveLast();
                const qint64 count = source.Recordset().RecordCount();
                last.append(timer.nsecsElapsed() / 1e6);
                if (count != rows)
                    out << "wrong count " << count << '\n';
            }
        }
        report("record source on DData opened, first record current", median(open), median(bare), 5.0);
        report("MoveLast + RecordCount", median(last), median(bare), 5.0);
    }
    out << QString::asprintf("memory growth while opening and counting: %.1f MiB (limit 64 MiB)\n",
                             residentMiB() - memoryBefore);

    // Random access on the million calls: a record by its position against the
    // engine's own lookup by key, and the grid model's first count against a
    // bare count(*).
    {
        const double before = residentMiB();
        QList<double> bareLookup, byPosition, bareCount, firstCount;
        Db db(path);
        QSqlQuery lookup(db.sql());
        lookup.prepare(QStringLiteral("SELECT * FROM DData WHERE Recno = ?"));
        QSqlQuery counting(db.sql());
        counting.prepare(QStringLiteral("SELECT count(*) FROM DData"));
        for (int round = 0; round < 15; ++round) {
            QElapsedTimer timer;
            timer.start();
            counting.exec();
            counting.next();
            const qint64 all = counting.value(0).toLongLong();
            counting.finish();
            bareCount.append(timer.nsecsElapsed() / 1e6);

            QWidget form;
            ui::RecordSource source(&form, QStringLiteral("Data1"), QStringLiteral("DData"));
            source.setDatabaseName(path);
            source.Refresh();
            ui::RecordTableModel model(&source, {{QStringLiteral("LaneNo"), QStringLiteral("Lane #")}});
            timer.restart();
            const int shown = model.rowCount();
            firstCount.append(timer.nsecsElapsed() / 1e6);
            if (shown != all)
                out << "wrong model count " << shown << '\n';

            const qint64 position = rows * 9 / 10 + round;
            timer.restart();
            lookup.bindValue(0, position + 1);
            lookup.exec();
            lookup.next();
            const int laneThere = lookup.value(QStringLiteral("LaneNo")).toInt();
            lookup.finish();
            bareLookup.append(timer.nsecsElapsed() / 1e6);
            timer.restart();
            const auto row = source.Recordset().rowAt(position);
            byPosition.append(timer.nsecsElapsed() / 1e6);
            if (!row || row->at(source.Recordset().fieldIndex(QStringLiteral("LaneNo"))).toInt() != laneThere)
                out << "wrong row at " << position << '\n';
        }
        report("row 900,000 fetched by position vs prepared lookup by Recno", median(byPosition), median(bareLookup),
               5.0);
        report("grid model's first rowCount() vs bare count(*)", median(firstCount), median(bareCount), 1.5);
        out << QString::asprintf("memory growth while reaching rows by position: %.1f MiB (limit 64 MiB)\n",
                                 residentMiB() - before);

        // With 0.1% of the calls deleted, scattered: the first access to row
        // 900,000 of a newly opened source, as the grid makes it, against a
        // bare count(*); then the next row, against the lookup by Recno.
        QSqlQuery(db.sql()).exec(QStringLiteral("DELETE FROM DData WHERE Recno % 1000 = 0"));
        QList<double> afterDeletes, countAfter, nextAfter, lookupAfter;
        for (int round = 0; round < 15; ++round) {
            QElapsedTimer timer;
            timer.start();
            counting.exec();
            counting.next();
            counting.finish();
            countAfter.append(timer.nsecsElapsed() / 1e6);

            QWidget form;
            ui::RecordSource source(&form, QStringLiteral("Data1"), QStringLiteral("DData"));
            source.setDatabaseName(path);
            source.Refresh();
            const qint64 position = rows * 9 / 10 + round;
            timer.restart();
            const auto row = source.Recordset().rowAt(position);
            afterDeletes.append(timer.nsecsElapsed() / 1e6);
            timer.restart();
            const auto next = source.Recordset().rowAt(position + 1);
            nextAfter.append(timer.nsecsElapsed() / 1e6);

            // What the row at the position must be: the engine's own answer, untimed.
            QSqlQuery expected(db.sql());
            expected.exec(QStringLiteral("SELECT Recno FROM DData ORDER BY rowid LIMIT 2 OFFSET %1").arg(position));
            const qint64 recno = expected.next() ? expected.value(0).toLongLong() : -1;
            const qint64 nextRecno = expected.next() ? expected.value(0).toLongLong() : -1;
            const int recnoField = source.Recordset().fieldIndex(QStringLiteral("Recno"));
            if (!row || !next || row->at(recnoField).toLongLong() != recno ||
                next->at(recnoField).toLongLong() != nextRecno)
                out << "wrong row after deletes at " << position << '\n';

            timer.restart();
            lookup.bindValue(0, nextRecno);
            lookup.exec();
            lookup.next();
            lookup.finish();
            lookupAfter.append(timer.nsecsElapsed() / 1e6);
        }
        report("row 900,000 first by position, 0.1% deleted, vs count(*)", median(afterDeletes),
               median(countAfter), 2.0);
        report("next row by position, 0.1% deleted, vs lookup by Recno", median(nextAfter), median(lookupAfter), 5.0);
    }

    // One call added through a record source vs a bare prepared insert, each its own transaction.
    {
        QList<double> bare, bound;
        Db db(path);
        QSqlQuery insert(db.sql());
        insert.prepare(QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, "
                                      "Name2, Notes) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        QWidget form;
        ui::RecordSource source(&form, QStringLiteral("Data2"), QStringLiteral("DData"));
        source.setDatabaseName(path);
        const QStringList fields = {QStringLiteral("DateNow"), QStringLiteral("Time"),     QStringLiteral("Weekday"),
                                    QStringLiteral("LaneNo"),  QStringLiteral("callmade"), QStringLiteral("Type"),
                                    QStringLiteral("Name1"),   QStringLiteral("Name2"),    QStringLiteral("Notes")};
        const QStringList values = {QStringLiteral("2004-12-07"),
                                    QStringLiteral("10:15:30 AM"),
                                    QStringLiteral("Tuesday"),
                                    QStringLiteral("7"),
                                    QStringLiteral("Ball stuck in pit"),
                                    QStringLiteral("2"),
                                    QStringLiteral("Dave"),
                                    QStringLiteral(" "),
                                    QString()};
        QList<QLineEdit*> boxes;
        for (const QString& field : fields) {
            auto* box = new QLineEdit(&form);
            source.bind(box, field);
            boxes.append(box);
        }
        source.Refresh();
        for (int round = 0; round < 60; ++round) {
            QElapsedTimer timer;
            timer.start();
            QSqlQuery(db.sql()).exec(QStringLiteral("BEGIN IMMEDIATE"));
            insert.bindValue(0, QStringLiteral("2004-12-07"));
            for (int i = 1; i < values.size(); ++i)
                insert.bindValue(i, values.at(i));
            insert.exec();
            QSqlQuery(db.sql()).exec(QStringLiteral("COMMIT"));
            bare.append(timer.nsecsElapsed() / 1e6);

            timer.restart();
            source.Recordset().AddNew();
            for (int i = 0; i < boxes.size(); ++i)
                boxes.at(i)->setText(values.at(i));
            source.UpdateRecord();
            bound.append(timer.nsecsElapsed() / 1e6);
        }
        report("AddNew + bound values + UpdateRecord vs bare insert", median(bound), median(bare), 2.0);
    }
    return 0;
}
