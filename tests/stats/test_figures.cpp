// The manager's figures worked out by the engine on a small log whose every
// figure was worked out by hand (GoldenLog), under each locale the suite
// runs; the read never writes; the centre's settings table, an older file
// without it, and compacting.
#include "GoldenLog.h"
#include "support/CallLogGenerator.h"
#include "support/TempDatabase.h"

#include "stats/engine/Figures.h"
#include "store/CentreSettings.h"
#include "store/Database.h"
#include "upkeep/dbfile/DatabaseFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sqlite3.h>

using namespace stats;
using testing::GoldenLog;

namespace {

/// A cell without the locale: dates ISO, numbers with two decimals at most.
QString plain(const FigureTable& table, int row, int column)
{
    const QVariant v = table.value(row, column);
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate);
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'f', 2);
    default:
        return v.toString();
    }
}

QString rowOf(const FigureTable& table, int row)
{
    QStringList cells;
    for (int column = 0; column < table.columnCount(); ++column)
        cells << plain(table, row, column);
    return cells.join(QLatin1Char('|'));
}

QStringList rowsOf(const FigureTable& table)
{
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row)
        rows << rowOf(table, row);
    return rows;
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

/// The golden log in a file of its own, and the program's connection to it.
struct Log {
    testing::TempDatabase file;
    std::shared_ptr<store::Database> db;
    bool ready = false;

    Log()
    {
        ready = GoldenLog::write([this](const QString& sql) { return file.exec(sql); });
        store::Error why;
        db = store::Database::open(file.databasePath(), &why);
        ready = ready && db;
    }
    Request request(int lanes = 10, int repeatDays = 3, Grain grain = Grain::Week) const
    {
        Request r;
        r.range = {GoldenLog::from(), GoldenLog::to()};
        r.lanes = lanes;
        r.repeatDays = repeatDays;
        r.grain = grain;
        return r;
    }
    template <class Figure> bool workOut(const Request& r, Figure* figure)
    {
        FigureRun run(*db);
        return stats::workOut(run, r, figure) && run.state() == RunState::Running;
    }
};

} // namespace

class TestFigures : public QObject {
    Q_OBJECT
private slots:
    void weeklyFramesPerStopIsTotalFramesOverTotalCalls()
    {
        Log log;
        QVERIFY(log.ready);
        FramesPerStop figure;
        QVERIFY(log.workOut(log.request(), &figure));
        // Week of 11/28: counted days Sun 3000/2, Mon 1500/1, Wed 2000/0 (no stop), Thu 1200/4,
        // Fri 2400/3, Sat 4100/2: 14200 frames over 12 calls = 1183.33 (the mean of the daily
        // ratios would be 1230); Tuesday has 3 calls and no frame count. Week of 12/26, across
        // the new year: 12/31 5000/2 and 01/01 3000/2 = 2000; 12/30 holds a count of 0 and a
        // call. Week of 01/02: 1000/1, with 01/03 and 01/05 left out (a call each).
        QCOMPARE(rowsOf(figure.table), QStringList({QStringLiteral("2004-11-28|14200|12|1183.33|6|1|3"),
                                                    QStringLiteral("2004-12-26|8000|4|2000.00|2|1|1"),
                                                    QStringLiteral("2005-01-02|1000|1|1000.00|1|2|2")}));
        QCOMPARE(figure.frames, 23200);
        QCOMPARE(figure.calls, 17);
        QCOMPARE(figure.daysCounted, 9);
        QCOMPARE(figure.daysLeftOut, 4);
        QCOMPARE(figure.callsLeftOut, 6);
        QCOMPARE(QString::number(*figure.overall(), 'f', 2), QStringLiteral("1364.71"));
        // The line has every week of the range; weeks without a count are gaps.
        QStringList line;
        for (const LinePoint& point : figure.line)
            line << point.period.toString(Qt::ISODate) + QLatin1Char('=') +
                        (point.value ? QString::number(*point.value, 'f', 0) : QStringLiteral("gap"));
        QCOMPARE(line, QStringList({QStringLiteral("2004-11-28=1183"), QStringLiteral("2004-12-05=gap"),
                                    QStringLiteral("2004-12-12=gap"), QStringLiteral("2004-12-19=gap"),
                                    QStringLiteral("2004-12-26=2000"), QStringLiteral("2005-01-02=1000")}));
    }

    void framesPerStopByDayMonthAndYear_data()
    {
        QTest::addColumn<int>("grain");
        QTest::addColumn<QStringList>("rows"); // the rows checked, each "row number:cells"
        QTest::addColumn<int>("count");
        QTest::newRow("day") << int(Grain::Day)
                             << QStringList{QStringLiteral("2:2004-11-30||||0|1|3"),
                                            QStringLiteral("3:2004-12-01|2000|0|no stop|1|0|0"),
                                            QStringLiteral("4:2004-12-02|1200|4|300.00|1|0|0"),
                                            QStringLiteral("7:2004-12-30||||0|1|1")}
                             << 13;
        QTest::newRow("month") << int(Grain::Month)
                               << QStringList{QStringLiteral("0:2004-11-01|4500|3|1500.00|2|1|3"),
                                              QStringLiteral("1:2004-12-01|14700|11|1336.36|5|1|1"),
                                              QStringLiteral("2:2005-01-01|4000|3|1333.33|2|2|2")}
                               << 3;
        QTest::newRow("year") << int(Grain::Year)
                              << QStringList{QStringLiteral("0:2004-01-01|19200|14|1371.43|7|2|4"),
                                             QStringLiteral("1:2005-01-01|4000|3|1333.33|2|2|2")}
                              << 2;
    }

    void framesPerStopByDayMonthAndYear()
    {
        QFETCH(int, grain);
        QFETCH(QStringList, rows);
        QFETCH(int, count);
        Log log;
        QVERIFY(log.ready);
        FramesPerStop figure;
        QVERIFY(log.workOut(log.request(10, 3, Grain(grain)), &figure));
        QCOMPARE(figure.table.rowCount(), count);
        for (const QString& expected : rows) {
            const int row = expected.section(QLatin1Char(':'), 0, 0).toInt();
            QCOMPARE(rowOf(figure.table, row), expected.section(QLatin1Char(':'), 1));
        }
        // A day with frames and no call is a gap in the line, never a division by zero.
        if (Grain(grain) == Grain::Day) {
            QCOMPARE(figure.line.size(), 42);
            QVERIFY(!figure.line.at(3).value);
            QCOMPARE(figure.line.at(3).period, QDate(2004, 12, 1));
        }
    }

    void lanesRankedWithTheirCommonestCalls()
    {
        Log log;
        QVERIFY(log.ready);
        LaneFigures figure;
        QVERIFY(log.workOut(log.request(10), &figure));
        QCOMPARE(figure.calls, 23);
        // Every lane 1 to 10 listed, lanes of as many calls sharing a rank; ties by lane.
        const QStringList ranked = rowsOf(figure.ranked);
        QCOMPARE(ranked.size(), 10);
        QCOMPARE(ranked.at(0), QStringLiteral("1|3|5|21.74|Pins jammed in elevator|3|Ball stuck in pit|2||"));
        QCOMPARE(ranked.at(1), QStringLiteral("2|2|4|17.39|Pin on deck|2|Sweep stuck|2||"));
        QCOMPARE(ranked.at(2), QStringLiteral("2|5|4|17.39|Ball stuck in pit|2|Pins jammed in elevator|2||"));
        QCOMPARE(ranked.at(3), QStringLiteral("4|7|3|13.04|Foul light on|3||||"));
        QCOMPARE(ranked.at(4), QStringLiteral("5|1|2|8.70|Scoring monitor blank|2||||"));
        QCOMPARE(ranked.at(5), QStringLiteral("5|9|2|8.70|Ball return belt off|2||||"));
        QCOMPARE(ranked.at(6), QStringLiteral("7|4|0|0.00||||||"));
        QCOMPARE(ranked.at(9), QStringLiteral("7|10|0|0.00||||||"));
        // Lanes above the centre's ten, and a lane that is no lane number, apart and kept.
        QCOMPARE(rowsOf(figure.outside), QStringList({QStringLiteral("12|2|8.70|Deck not lowering|2||||"),
                                                      QStringLiteral("7.5|1|4.35|Bumper stuck|1||||")}));
        // Lane by week, the week of 12/26 holding 12/31 and 01/01.
        QCOMPARE(figure.grid.columnCount(), 8);
        QCOMPARE(figure.grid.columns().at(1).caption, stats::shownDay(QDate(2004, 11, 28)));
        QCOMPARE(figure.grid.rowCount(), 10);
        QCOMPARE(rowOf(figure.grid, 1), QStringLiteral("2|0|0|0|0|3|1|4"));
        QCOMPARE(rowOf(figure.grid, 2), QStringLiteral("3|5|0|0|0|0|0|5"));
        QCOMPARE(rowOf(figure.grid, 6), QStringLiteral("7|2|0|0|0|1|0|3"));
        QCOMPARE(rowOf(figure.grid, 8), QStringLiteral("9|0|0|0|0|1|1|2"));
        QCOMPARE(figure.perLane.size(), 10);
        QCOMPARE(figure.perLane.at(2).label, QStringLiteral("3"));
        QCOMPARE(figure.perLane.at(2).value, 5.0);
    }

    void lanesNotSetListEveryLaneNumber()
    {
        Log log;
        QVERIFY(log.ready);
        LaneFigures figure;
        QVERIFY(log.workOut(log.request(0), &figure));
        // Lane 12 is a lane like the others; only "7.5" is apart.
        QCOMPARE(figure.ranked.rowCount(), 7);
        QCOMPARE(figure.grid.rowCount(), 7);
        QCOMPARE(rowsOf(figure.outside), QStringList({QStringLiteral("7.5|1|4.35|Bumper stuck|1||||")}));
    }

    void repeatsWithinTheDays_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<QStringList>("ranked");
        QTest::addColumn<int>("repeats");
        // Days N and N+1, N and N+3 are repeats with 3; N and N+4 is not (2 Sweep stuck), nor
        // N and N+6 (3 Ball stuck) nor call 0 of 11/27, before the range.
        const QStringList three{QStringLiteral("1|3|Pins jammed in elevator|2"),
                                QStringLiteral("2|1|Scoring monitor blank|1"),
                                QStringLiteral("2|2|Pin on deck|1"),
                                QStringLiteral("2|5|Ball stuck in pit|1"),
                                QStringLiteral("2|5|Pins jammed in elevator|1"),
                                QStringLiteral("2|7|Foul light on|1"),
                                QStringLiteral("2|9|Ball return belt off|1"),
                                QStringLiteral("2|12|Deck not lowering|1")};
        QTest::newRow("3 days") << 3 << three << 9;
        QStringList four = three;
        four.insert(3, QStringLiteral("2|2|Sweep stuck|1"));
        QTest::newRow("4 days") << 4 << four << 10;
        QTest::newRow("same day") << 0 << QStringList{QStringLiteral("1|2|Pin on deck|1")} << 1;
    }

    void repeatsWithinTheDays()
    {
        QFETCH(int, days);
        QFETCH(QStringList, ranked);
        QFETCH(int, repeats);
        Log log;
        QVERIFY(log.ready);
        RepeatCalls figure;
        QVERIFY(log.workOut(log.request(10, days), &figure));
        QCOMPARE(rowsOf(figure.ranked), ranked);
        QCOMPARE(figure.repeats.rowCount(), repeats);
        QCOMPARE(figure.top.size(), std::min(10, int(ranked.size())));
    }

    void eachRepeatWithBothCalls()
    {
        Log log;
        QVERIFY(log.ready);
        RepeatCalls figure;
        QVERIFY(log.workOut(log.request(10, 3), &figure));
        const QStringList rows = rowsOf(figure.repeats);
        // The lane and call that repeat most first, their repeats in the order they came.
        QCOMPARE(rows.at(0), QStringLiteral("3|Pins jammed in elevator|2|2004-11-28|10:05:00|Dave|2004-11-30|10:15:00|"
                                            "Dave|2"));
        QCOMPARE(rows.at(1), QStringLiteral("3|Pins jammed in elevator|2|2004-11-30|10:15:00|Dave|2004-12-02|09:00:00|"
                                            "Ray|2"));
        QVERIFY(rows.contains(QStringLiteral("5|Pins jammed in elevator|1|2004-11-29|14:10:00|Dave & Marco|2004-12-02|"
                                             "18:00:00|Ray & Tomasz|3")));
        QVERIFY(
            rows.contains(QStringLiteral("5|Ball stuck in pit|1|2004-12-02|10:00:00|Marco|2004-12-03|22:00:00||1")));
        QVERIFY(rows.contains(QStringLiteral("9|Ball return belt off|1|2005-01-01|12:00:00|Marco|2005-01-02|"
                                             "12:10:00 AM|Ray|1")));
        QCOMPARE(figure.top.first().label, QStringLiteral("Lane 3: Pins jammed in elevator"));
        QCOMPARE(figure.top.first().value, 2.0);
    }

    void whenStopsHappen()
    {
        Log log;
        QVERIFY(log.ready);
        StopTimes figure;
        QVERIFY(log.workOut(log.request(), &figure));
        QCOMPARE(figure.calls, 23);
        QCOMPARE(rowsOf(figure.bySection),
                 QStringList({QStringLiteral("Pin handling|9|39.13"), QStringLiteral("Ball return|6|26.09"),
                              QStringLiteral("Detection|3|13.04"), QStringLiteral("Scoring|2|8.70"),
                              QStringLiteral("Lane and people|3|13.04")}));
        // "7:30:00 PM" and "19:30:00" are the same hour; "12:10:00 AM" is past midnight.
        QStringList hours;
        for (const QString& row : rowsOf(figure.byHour))
            if (!row.contains(QLatin1String("|0|")))
                hours << row.section(QLatin1Char('|'), 0, 1);
        QCOMPARE(hours, QStringList({QStringLiteral("00:00|1"), QStringLiteral("09:00|1"), QStringLiteral("10:00|5"),
                                     QStringLiteral("11:00|3"), QStringLiteral("12:00|1"), QStringLiteral("13:00|2"),
                                     QStringLiteral("14:00|1"), QStringLiteral("15:00|1"), QStringLiteral("16:00|1"),
                                     QStringLiteral("18:00|1"), QStringLiteral("19:00|1"), QStringLiteral("20:00|2"),
                                     QStringLiteral("21:00|1"), QStringLiteral("22:00|1"),
                                     QStringLiteral("time not readable|1")}));
        QCOMPARE(figure.byHour.rowCount(), 25);
        // Six of each weekday in the six weeks.
        QCOMPARE(rowsOf(figure.byWeekday),
                 QStringList({QStringLiteral("Sunday|3|13.04|6|0.50"), QStringLiteral("Monday|2|8.70|6|0.33"),
                              QStringLiteral("Tuesday|3|13.04|6|0.50"), QStringLiteral("Wednesday|1|4.35|6|0.17"),
                              QStringLiteral("Thursday|5|21.74|6|0.83"), QStringLiteral("Friday|5|21.74|6|0.83"),
                              QStringLiteral("Saturday|4|17.39|6|0.67")}));
        // Thursday's calls at 9, 10, 13, 18 and 21 o'clock, five in all.
        QCOMPARE(rowOf(figure.weekdayByHour, 4), QStringLiteral("Thursday|0|0|0|0|0|0|0|0|0|1|1|0|0|1|0|0|0|0|1|0|0|1|"
                                                                "0|0|5"));
    }

    void whoFixedWhat()
    {
        Log log;
        QVERIFY(log.ready);
        MechanicFigures figure;
        QVERIFY(log.workOut(log.request(), &figure));
        // A call ticked for two counts for both; the busiest first.
        QCOMPARE(figure.mechanics, QStringList({QStringLiteral("Dave"), QStringLiteral("Ray"), QStringLiteral("Marco"),
                                                QStringLiteral("Tomasz")}));
        QCOMPARE(rowsOf(figure.byWeek),
                 QStringList({QStringLiteral("2004-11-28|7|3|4|2|1|15"), QStringLiteral("2004-12-05|0|0|0|0|0|0"),
                              QStringLiteral("2004-12-12|0|0|0|0|0|0"), QStringLiteral("2004-12-19|0|0|0|0|0|0"),
                              QStringLiteral("2004-12-26|2|1|1|1|0|5"), QStringLiteral("2005-01-02|1|2|0|0|0|3")}));
        const QStringList shares = rowsOf(figure.sectionShares);
        QVERIFY(shares.contains(QStringLiteral("Dave|Pin handling|5|9|55.56")));
        QVERIFY(shares.contains(QStringLiteral("Tomasz|Pin handling|3|9|33.33")));
        QVERIFY(shares.contains(QStringLiteral("Marco|Ball return|3|6|50.00")));
        QVERIFY(shares.contains(QStringLiteral("Tomasz|Ball return|0|6|0.00")));
        QVERIFY(shares.contains(QStringLiteral("Nobody ticked|Ball return|1|6|16.67")));
        QCOMPARE(shares.size(), 5 * 5);
    }

    void weeksRunSundayToSaturdayInTheEngineToo()
    {
        // The engine's periods are the window's, every day of two years and each grain.
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
        const QByteArray sql =
            (QStringLiteral("SELECT ") + periodSql(QStringLiteral("?1"), QStringLiteral("?2"))).toUtf8();
        sqlite3_stmt* statement = nullptr;
        QCOMPARE(sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr), SQLITE_OK);
        int wrong = 0;
        for (QDate day(2003, 12, 1); day <= QDate(2006, 1, 31); day = day.addDays(1)) {
            for (Grain grain : {Grain::Day, Grain::Week, Grain::Month, Grain::Year}) {
                const QByteArray iso = day.toString(Qt::ISODate).toLatin1();
                sqlite3_bind_text(statement, 1, iso.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(statement, 2, int(grain));
                QCOMPARE(sqlite3_step(statement), SQLITE_ROW);
                const QString engine =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
                if (engine != periodStart(day, grain).toString(Qt::ISODate))
                    ++wrong;
                sqlite3_reset(statement);
            }
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        QCOMPARE(wrong, 0);
        QCOMPARE(weekStart(QDate(2005, 1, 1)), QDate(2004, 12, 26));
        QCOMPARE(weekStart(QDate(2004, 12, 26)), QDate(2004, 12, 26));
    }

    void quickChoices_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        // Tuesday 12/07/2004.
        QTest::newRow("last four full weeks")
            << int(QuickChoice::LastFourWeeks) << QDate(2004, 11, 7) << QDate(2004, 12, 4);
        QTest::newRow("this week") << int(QuickChoice::ThisWeek) << QDate(2004, 12, 5) << QDate(2004, 12, 7);
        QTest::newRow("this month") << int(QuickChoice::ThisMonth) << QDate(2004, 12, 1) << QDate(2004, 12, 7);
        QTest::newRow("this year") << int(QuickChoice::ThisYear) << QDate(2004, 1, 1) << QDate(2004, 12, 7);
        QTest::newRow("last 12 months") << int(QuickChoice::Last12Months) << QDate(2004, 1, 1) << QDate(2004, 12, 7);
    }

    void quickChoices()
    {
        QFETCH(int, choice);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        const DateRange range = quickRange(QuickChoice(choice), QDate(2004, 12, 7));
        QCOMPARE(range.from, from);
        QCOMPARE(range.to, to);
        // On a Sunday the week just begun is not one of the four full ones.
        QCOMPARE(quickRange(QuickChoice::LastFourWeeks, QDate(2005, 1, 2)).to, QDate(2005, 1, 1));
    }

    void aRunReadsOneSetOfRowsAndWritesNothing()
    {
        Log log;
        QVERIFY(log.ready);
        const QString path = log.file.databasePath();
        const QByteArray before = fileHash(path);
        const int changes = sqlite3_total_changes(log.db->handle());
        {
            FigureRun run(*log.db);
            FramesPerStop frames;
            LaneFigures lanes;
            RepeatCalls repeats;
            StopTimes times;
            MechanicFigures mechanics;
            const Request request = log.request();
            QVERIFY(workOut(run, request, &frames) && workOut(run, request, &lanes) &&
                    workOut(run, request, &repeats) && workOut(run, request, &times) &&
                    workOut(run, request, &mechanics));
            QCOMPARE(run.finished(), 8);
            // While the run is on, another program's write must wait: the rows stay those read.
            sqlite3* other = nullptr;
            QCOMPARE(sqlite3_open_v2(path.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
            QCOMPARE(sqlite3_exec(other, "DELETE FROM DData", nullptr, nullptr, nullptr), SQLITE_BUSY);
            sqlite3_close(other);
        }
        QCOMPARE(sqlite3_total_changes(log.db->handle()), changes);
        QCOMPARE(fileHash(path), before);
        // Once it is over the file is free again.
        QVERIFY(sqlite3_get_autocommit(log.db->handle()));
        QVERIFY(log.file.exec(QStringLiteral("DELETE FROM DData WHERE Recno = 1")));
    }

    void cancelStopsTheRunAtOnce()
    {
        Log log;
        QVERIFY(log.ready);
        int asked = 0;
        FigureRun run(*log.db, [&asked] { return ++asked < 1; });
        RepeatCalls figure;
        QVERIFY(!workOut(run, log.request(), &figure));
        QCOMPARE(run.state(), RunState::Cancelled);
        QVERIFY(!run.error().isError());
        QCOMPARE(run.finished(), 0);
        // Nothing more runs in a cancelled run.
        LaneFigures lanes;
        QVERIFY(!workOut(run, log.request(), &lanes));
        QCOMPARE(asked, 1);
    }

    void cancelStopsAStatementHalfWay()
    {
        testing::TempDatabase file;
        QString error;
        testing::CallLogGenerator generator;
        QVERIFY2(generator.fill(file.databasePath(), 5000, &error), qPrintable(error));
        store::Error why;
        auto db = store::Database::open(file.databasePath(), &why);
        QVERIFY(db);
        // Asked once before the statement, then from inside it: the second answer stops it.
        int asked = 0;
        FigureRun run(*db, [&asked] { return ++asked < 2; });
        Request request;
        request.range = {QDate(2004, 1, 1), QDate(2004, 12, 31)};
        RepeatCalls figure;
        QVERIFY(!workOut(run, request, &figure));
        QCOMPARE(run.state(), RunState::Cancelled);
        QCOMPARE(asked, 2);
        QCOMPARE(run.finished(), 0);
        // The connection is free for the next run.
        FigureRun next(*db);
        QVERIFY(workOut(next, request, &figure));
        QVERIFY(figure.repeats.rowCount() > 0);
    }

    void aFailureIsToldInWords()
    {
        Log log;
        QVERIFY(log.ready);
        // Another program took the frame counts away after the file was opened.
        QVERIFY(log.file.exec(QStringLiteral("ALTER TABLE Frames RENAME TO OldFrames")));
        FigureRun run(*log.db);
        FramesPerStop figure;
        QVERIFY(!workOut(run, log.request(), &figure));
        QCOMPARE(run.state(), RunState::Failed);
        QVERIFY(run.error().message.contains(QFileInfo(log.file.databasePath()).fileName()));
        QVERIFY(run.error().detail.contains(QLatin1String("Frames")));
        QVERIFY(!run.error().message.contains(QLatin1String("no such table")));
    }

    void settingsAreKeptInDigits()
    {
        testing::TempDatabase file;
        store::Error why;
        auto db = store::Database::open(file.databasePath(), &why);
        QVERIFY(db);
        QVERIFY(store::settings::present(*db, &why));
        QVERIFY(!store::settings::readNumber(*db, store::settings::kLanes, &why));
        QVERIFY(!why.isError());
        QVERIFY(store::settings::writeNumber(*db, store::settings::kFramesPerStopGoal, 1800, &why));
        QVERIFY(store::settings::writeNumber(*db, store::settings::kFramesPerStopGoal, 12500, &why));
        QVERIFY(store::settings::writeNumber(*db, store::settings::kLanes, 32, &why));
        // Read back outside the program: one row a setting, digits alone in every locale.
        QCOMPARE(file.rows(QStringLiteral("SELECT Name, Value FROM Settings ORDER BY Name")),
                 QStringList({QStringLiteral("FramesPerStopGoal|12500"), QStringLiteral("Lanes|32")}));
        QCOMPARE(*store::settings::readNumber(*db, store::settings::kFramesPerStopGoal, &why), 12500);
    }

    void aDamagedSettingIsNamed()
    {
        testing::TempDatabase file;
        QVERIFY(file.exec(QStringLiteral("INSERT INTO Settings (Name, Value) VALUES ('Lanes', '3 2')")));
        store::Error why;
        auto db = store::Database::open(file.databasePath(), &why);
        QVERIFY(db);
        QVERIFY(!store::settings::readNumber(*db, store::settings::kLanes, &why));
        QVERIFY(why.isError());
        QVERIFY(why.message.contains(QLatin1String("Lanes")) && why.message.contains(QLatin1String("\"3 2\"")));
    }

    void anOlderFileOpensAndGetsTheTableAlone()
    {
        testing::TempDatabase file;
        QVERIFY(file.exec(QStringLiteral("DROP TABLE Settings")));
        const QStringList before = file.rows(QStringLiteral("SELECT type, name FROM sqlite_master ORDER BY name"));
        store::Error why;
        auto db = store::Database::open(file.databasePath(), &why);
        QVERIFY2(db, qPrintable(why.text()));
        QVERIFY(!store::settings::present(*db, &why));
        QVERIFY(!why.isError());
        QVERIFY(!store::settings::readNumber(*db, store::settings::kLanes, &why));
        QVERIFY(!why.isError());
        QVERIFY(store::settings::add(*db, &why));
        QStringList after = file.rows(QStringLiteral("SELECT type, name FROM sqlite_master ORDER BY name"));
        after.removeAll(QStringLiteral("table|Settings"));
        after.removeAll(QStringLiteral("index|sqlite_autoindex_Settings_1"));
        QCOMPARE(after, before);
        QVERIFY(store::settings::writeNumber(*db, store::settings::kLanes, 24, &why));
        QCOMPARE(file.scalar(QStringLiteral("SELECT Value FROM Settings WHERE Name = 'Lanes'")).toString(),
                 QStringLiteral("24"));
    }

    void compactingKeepsTheSettings()
    {
        testing::TempDatabase file;
        {
            store::Error why;
            auto db = store::Database::open(file.databasePath(), &why);
            QVERIFY(db);
            QVERIFY(store::settings::writeNumber(*db, store::settings::kLanes, 40, &why));
            QVERIFY(store::settings::writeNumber(*db, store::settings::kFramesPerStopGoal, 1750, &why));
        }
        const store::Error compacted = upkeep::dbfile::compactDatabase(file.databasePath());
        QVERIFY2(!compacted, qPrintable(compacted.text()));
        QCOMPARE(file.rows(QStringLiteral("SELECT Name, Value FROM Settings ORDER BY Name")),
                 QStringList({QStringLiteral("FramesPerStopGoal|1750"), QStringLiteral("Lanes|40")}));
    }
};

QTEST_GUILESS_MAIN(TestFigures)
#include "test_figures.moc"
