// The maintenance schedule's engine on a small log whose figures were worked
// out by hand (MaintLog), under each locale the suite runs: when a task falls
// due by frames and by days, days without a frame count, the work sheet
// filled without overwriting, completions from the sheet, the history, and
// the tables in an older file and through compacting.
#include "MaintLog.h"
#include "support/TempDatabase.h"

#include "maint/engine/Done.h"
#include "maint/engine/DueList.h"
#include "maint/engine/Schema.h"
#include "maint/engine/Sheet.h"
#include "store/CentreSettings.h"
#include "store/Database.h"
#include "upkeep/dbfile/DatabaseFile.h"

#include <QTest>

using namespace maint;
using testing::MaintLog;

Q_DECLARE_METATYPE(maint::State)

namespace {

constexpr int kLube = 1, kCarpet = 2, kBelts = 3, kDeckBelts = 4;

QDate day(int month, int dayOfMonth)
{
    return QDate(2004, month, dayOfMonth);
}

/// The log in a fresh database, with a connection of the program's own.
struct Log {
    testing::TempDatabase file;
    std::shared_ptr<store::Database> db;
    bool ready = false;

    Log()
    {
        store::Error why;
        ready = MaintLog::write([this](const QString& sql) { return file.exec(sql); }) &&
                (db = store::Database::open(file.databasePath(), &why)) != nullptr;
    }
    DueList due(QDate today, int margin = 10)
    {
        store::Error why;
        std::optional<DueList> list = workOutDueList(*db, {today, MaintLog::kLanes, margin}, &why);
        if (!list)
            qWarning("%s", qPrintable(why.text()));
        return list.value_or(DueList());
    }
};

/// An entry without the locale: task, lane, frames per machine, days since, days without a count, state.
QString plain(const DueEntry* e)
{
    if (!e)
        return QStringLiteral("missing");
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(e->task.text)
        .arg(e->lane)
        .arg(e->framesPerMachine)
        .arg(e->daysSince)
        .arg(e->daysWithoutCount)
        .arg(stateName(e->state));
}

/// A sheet for `date` with jobs in rows 1 to `jobs` and a name alone in row `nameRow` (0: none).
bool writeSheet(testing::TempDatabase& file, const QString& date, int jobs, int nameRow)
{
    QStringList fields{QStringLiteral("DateNow")}, values{QStringLiteral("'%1'").arg(date)};
    for (int row = 1; row <= jobs; ++row) {
        fields << QStringLiteral("\"%1W\"").arg(row);
        values << QStringLiteral("'Job %1'").arg(row);
    }
    if (nameRow > 0) {
        fields << QStringLiteral("\"%1M\"").arg(nameRow);
        values << QStringLiteral("'Dave'");
    }
    return file.exec(QStringLiteral("INSERT INTO WAssign (%1) VALUES (%2)")
                         .arg(fields.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
}

SheetDay storedSheet(testing::TempDatabase& file, const QString& date)
{
    SheetDay sheet{QDate::fromString(date, Qt::ISODate), {}, {}};
    for (int row = 1; row <= kSheetRows; ++row) {
        const QString where = QStringLiteral(" FROM WAssign WHERE DateNow = '%1' ORDER BY rowid LIMIT 1").arg(date);
        sheet.jobs << file.scalar(QStringLiteral("SELECT \"%1W\"").arg(row) + where).toString();
        sheet.names << file.scalar(QStringLiteral("SELECT \"%1M\"").arg(row) + where).toString();
    }
    return sheet;
}

} // namespace

class TestSchedule : public QObject {
    Q_OBJECT
private slots:
    void statesChangeExactlyAtTheirBoundaries_data()
    {
        QTest::addColumn<qint64>("used");
        QTest::addColumn<qint64>("interval");
        QTest::addColumn<int>("margin");
        QTest::addColumn<State>("state");
        // 25,000 frames per machine on 24 lanes: 600,000 frames of the centre.
        QTest::newRow("539,999 of 600,000") << qint64(539999) << qint64(600000) << 10 << State::Done;
        QTest::newRow("540,000: 90%, due soon") << qint64(540000) << qint64(600000) << 10 << State::DueSoon;
        QTest::newRow("599,999") << qint64(599999) << qint64(600000) << 10 << State::DueSoon;
        QTest::newRow("600,000: due") << qint64(600000) << qint64(600000) << 10 << State::Due;
        QTest::newRow("660,000: 110%, still due") << qint64(660000) << qint64(600000) << 10 << State::Due;
        QTest::newRow("660,001: overdue") << qint64(660001) << qint64(600000) << 10 << State::Overdue;
        // A weekly task: no whole day lies within 10% of a week before it.
        QTest::newRow("6 of 7 days") << qint64(6) << qint64(7) << 10 << State::Done;
        QTest::newRow("6 of 7 days, 15%") << qint64(6) << qint64(7) << 15 << State::DueSoon;
        QTest::newRow("7 of 7 days") << qint64(7) << qint64(7) << 10 << State::Due;
        QTest::newRow("8 of 7 days") << qint64(8) << qint64(7) << 10 << State::Overdue;
        QTest::newRow("no margin: due on the day") << qint64(7) << qint64(7) << 0 << State::Due;
        QTest::newRow("no margin: overdue after") << qint64(8) << qint64(7) << 0 << State::Overdue;
    }
    void statesChangeExactlyAtTheirBoundaries()
    {
        QFETCH(qint64, used);
        QFETCH(qint64, interval);
        QFETCH(int, margin);
        QFETCH(State, state);
        QCOMPARE(stateOf(used, interval, margin), state);
    }

    void aFrameTaskFallsDueWhenTheFramesCountedSinceReach600000()
    {
        Log log;
        QVERIFY(log.ready);
        // Done 11/01 (its 50,000 not counted). Counted since: 11/02 100,000, 11/03 200,000 (two rows),
        // 11/06 299,999, 11/07 1, 11/08 60,000, 11/09 1. 11/04 (a count of 0) and 11/05 (no row) are
        // said as days without a count, the days before today only (on 11/05, 11/04 alone).
        QCOMPARE(plain(log.due(day(11, 5)).find(kLube, 0)), QStringLiteral("Lube deck gearboxes|0|12500|4|1|Done"));
        QCOMPARE(plain(log.due(day(11, 6)).find(kLube, 0)), QStringLiteral("Lube deck gearboxes|0|24999|5|2|Due soon"));
        const DueList due = log.due(day(11, 7));
        QCOMPARE(due.find(kLube, 0)->frames, 600000);
        QCOMPARE(plain(due.find(kLube, 0)), QStringLiteral("Lube deck gearboxes|0|25000|6|2|Due"));
        QCOMPARE(due.find(kLube, 0)->percentUsed, 100);
        QCOMPARE(plain(log.due(day(11, 8)).find(kLube, 0)), QStringLiteral("Lube deck gearboxes|0|27500|7|2|Due"));
        QCOMPARE(plain(log.due(day(11, 9)).find(kLube, 0)), QStringLiteral("Lube deck gearboxes|0|27500|8|2|Overdue"));
        // The margin moves due soon: at 20%, 480,000 frames (11/05: 300,000) are not yet 80%.
        QCOMPARE(log.due(day(11, 5), 50).find(kLube, 0)->state, State::DueSoon);
        QCOMPARE(log.due(day(11, 5), 20).find(kLube, 0)->state, State::Done);
    }

    void aSevenDayTaskDoneOnASundayIsDueTheNextSunday()
    {
        Log log;
        QVERIFY(log.ready);
        QCOMPARE(plain(log.due(day(11, 13)).find(kCarpet, 5)), QStringLiteral("Clean pit carpet|5|2500|6|0|Done"));
        QCOMPARE(log.due(day(11, 13), 15).find(kCarpet, 5)->state, State::DueSoon);
        QCOMPARE(plain(log.due(day(11, 14)).find(kCarpet, 5)), QStringLiteral("Clean pit carpet|5|2500|7|0|Due"));
        QCOMPARE(plain(log.due(day(11, 15)).find(kCarpet, 5)), QStringLiteral("Clean pit carpet|5|2500|8|0|Overdue"));
        // Lane 3 was done on 11/01 as well: its last time is the later one.
        QCOMPARE(log.due(day(11, 14)).find(kCarpet, 3)->lastDone, day(11, 7));
    }

    void theDueListRanksTheWorseIntervalAndSaysNeverDone()
    {
        Log log;
        QVERIFY(log.ready);
        const DueList due = log.due(day(11, 7));
        // Belts: 650,000 frames since 10/15 (108% of 600,000, within 110%: due) and 23 of 30 days (done):
        // the worse of the two counts. From 10/16 to yesterday, 11/06, only 11/01, 11/02, 11/03 and 11/06
        // have a count: 18 of 22 days without one. The removed task is not listed; per-lane tasks have every lane.
        QCOMPARE(plain(due.find(kBelts, 0)), QStringLiteral("Check ball lift belts|0|27083|23|18|Due"));
        QCOMPARE(due.find(kBelts, 0)->percentUsed, 108);
        QVERIFY(!due.find(5, 0));
        QCOMPARE(due.entries.size(), 1 + 1 + 24 + 24);
        QVERIFY(due.find(kDeckBelts, 24)->neverDone());
        QCOMPARE(due.find(kDeckBelts, 24)->state, State::Due);
        // Most pressing first: the known figures before the task never done, then what is done.
        QCOMPARE(due.entries.at(0).task.id, kBelts);
        QCOMPARE(due.entries.at(1).task.id, kLube);
        QCOMPARE(due.entries.at(2).task.id, kDeckBelts);
        QCOMPARE(due.entries.at(2).lane, 1);
        QCOMPARE(due.entries.at(26).task.id, kCarpet);
        // As plain data: captions, kinds, and words where there is no figure.
        const Table table = due.table();
        QCOMPARE(table.columns.at(5).caption, QStringLiteral("Frames per machine since"));
        QCOMPARE(table.columns.at(5).kind, Kind::Count);
        QCOMPARE(table.rows.at(0), QVariantList({QStringLiteral("Check ball lift belts"), QStringLiteral("Centre"),
                                                 QStringLiteral("25,000 frames or 30 days")
                                                     .replace(QStringLiteral("25,000"), QLocale().toString(25000)),
                                                 day(10, 15), QStringLiteral("Marco"), qint64(27083), qint64(23),
                                                 qint64(18), QStringLiteral("Due")}));
        QCOMPARE(table.text(2, 3), QStringLiteral("never"));
        QCOMPARE(table.text(2, 8), QStringLiteral("Due"));
        // The grid: the per-lane tasks by lane.
        const Table grid = due.grid();
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(grid.columnCount(), 25);
        QCOMPARE(grid.value(0, 0).toString(), QStringLiteral("Clean pit carpet"));
        QCOMPARE(grid.value(0, 3).toString(), QStringLiteral("Done"));
        QCOMPARE(grid.value(1, 24).toString(), QStringLiteral("Due"));
    }

    void sheetJobsNameTheirLanesWithinFortyCharacters()
    {
        // Every row within 40 characters, or the text says how long it is.
        const auto texts = [](const QList<SheetJob>& jobs) {
            QStringList result;
            for (const SheetJob& job : jobs)
                result << (job.text.size() <= kLongestJob ? job.text : QStringLiteral("too long: ") + job.text);
            return result;
        };
        QCOMPARE(texts(jobsFor(1, QStringLiteral("Clean deck"), {8, 5, 6, 7})),
                 QStringList{QStringLiteral("Clean deck, lanes 5-8")});
        QCOMPARE(texts(jobsFor(1, QStringLiteral("Clean deck"), {3})),
                 QStringList{QStringLiteral("Clean deck, lane 3")});
        QCOMPARE(texts(jobsFor(1, QStringLiteral("Oil chains"), {0})), QStringList{QStringLiteral("Oil chains")});
        QCOMPARE(laneRanges({1, 2, 3, 7, 9, 10, 11, 12}), QStringLiteral("1-3, 7, 9-12"));
        // Scattered lanes go on as many rows as they need, every lane on one of them.
        const QList<SheetJob> jobs = jobsFor(1, QStringLiteral("Check sweep belts"), {1, 3, 5, 7, 9, 11, 13, 15});
        QCOMPARE(texts(jobs), QStringList({QStringLiteral("Check sweep belts, lanes 1, 3, 5, 7, 9"),
                                           QStringLiteral("Check sweep belts, lanes 11, 13, 15")}));
        QCOMPARE(jobs.at(1).lanes, QList<int>({11, 13, 15}));
        // ", lanes 1, 3" would make 41 characters: one lane a row.
        QCOMPARE(texts(jobsFor(1, QStringLiteral("Check sweep belts and pulleys"), {1, 3})),
                 QStringList({QStringLiteral("Check sweep belts and pulleys, lane 1"),
                              QStringLiteral("Check sweep belts and pulleys, lane 3")}));
        // A text of 39 characters leaves no room for ", lane 12": it is cut to 31 on the sheet, the lanes kept whole.
        QCOMPARE(texts(jobsFor(1, QStringLiteral("Inspect and adjust every turret indexer"), {12})),
                 QStringList{QStringLiteral("Inspect and adjust every turret, lane 12")});
    }

    void seventeenRowsUsedLeaveThreeAddedAndOneLeftOff()
    {
        Log log;
        QVERIFY(log.ready);
        // 11/14: Check ball lift belts and Lube deck gearboxes overdue; Clean pit carpet due on every
        // lane; Replace deck belts never done. Rows 1-16 hold jobs, row 17 a name alone: 17 used.
        QVERIFY(writeSheet(log.file, QStringLiteral("2004-11-14"), 16, 17));
        const QStringList before = log.file.rows(QStringLiteral("SELECT * FROM WAssign"));
        store::Error why;
        const std::optional<SheetFill> fill = putOnSheet(*log.db, log.due(day(11, 14)), &why);
        QVERIFY2(fill, qPrintable(why.text()));
        QCOMPARE(fill->added, 3);
        QCOMPARE(fill->leftOff, 1);
        QVERIFY(!fill->dayAdded);
        QCOMPARE(
            log.file.rows(QStringLiteral("SELECT \"16W\", \"17W\", \"17M\", \"18W\", \"19W\", \"20W\" FROM WAssign")),
            QStringList{QStringLiteral("Job 16||Dave|Check ball lift belts|Lube deck gearboxes|Clean pit carpet, "
                                       "lanes 1-24")});
        QCOMPARE(log.file.rows(QStringLiteral("SELECT DateNow, JobRow, TaskId, Lanes, Job FROM MaintSheet ORDER BY "
                                              "JobRow")),
                 QStringList({QStringLiteral("2004-11-14|18|3|0|Check ball lift belts"),
                              QStringLiteral("2004-11-14|19|1|0|Lube deck gearboxes"),
                              QStringLiteral("2004-11-14|20|2|1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 "
                                             "22 23 24|Clean pit carpet, lanes 1-24")}));
        QCOMPARE(log.file.scalar(QStringLiteral("SELECT count(*) FROM WAssign")).toInt(), before.size());
        // Again: what is on the sheet is not put on twice; the last one still finds no row.
        const std::optional<SheetFill> again = putOnSheet(*log.db, log.due(day(11, 14)), &why);
        QCOMPARE(again->added, 0);
        QCOMPARE(again->leftOff, 1);
        QCOMPARE(again->alreadyOn, 3);
    }

    void aDayWithoutASheetGetsOneAndAFilledRowIsNeverWritten()
    {
        Log log;
        QVERIFY(log.ready);
        store::Error why;
        const std::optional<SheetFill> fill = putOnSheet(*log.db, log.due(day(11, 7)), &why);
        QVERIFY2(fill, qPrintable(why.text()));
        QVERIFY(fill->dayAdded);
        QCOMPARE(fill->added, 3);
        QCOMPARE(log.file.rows(QStringLiteral("SELECT DateNow, \"1W\", \"2W\", \"3W\", \"4W\" FROM WAssign")),
                 QStringList{QStringLiteral("2004-11-07|Check ball lift belts|Lube deck gearboxes|Replace deck belts, "
                                            "lanes 1-24|")});
        // Nothing due: no sheet is started.
        QVERIFY(log.file.exec(QStringLiteral("DELETE FROM MaintTasks WHERE TaskId <> 2")));
        const std::optional<SheetFill> none = putOnSheet(*log.db, log.due(day(11, 8)), &why);
        QCOMPARE(none->added + none->leftOff, 0);
        QCOMPARE(log.file.scalar(QStringLiteral("SELECT count(*) FROM WAssign WHERE DateNow = '2004-11-08'")).toInt(),
                 0);
    }

    void aNameBesideAScheduledJobMarksItsLanesDone()
    {
        Log log;
        QVERIFY(log.ready);
        QVERIFY(writeSheet(log.file, QStringLiteral("2004-11-14"), 16, 17));
        store::Error why;
        QVERIFY(putOnSheet(*log.db, log.due(day(11, 14)), &why));
        SheetDay sheet = storedSheet(log.file, QStringLiteral("2004-11-14"));
        // A name beside an ordinary job changes nothing; beside row 20 (Clean pit carpet, lanes 1-24) it
        // records the task done on the 24 lanes, with the frames per machine since 11/07: 60,001 / 24.
        sheet.names[0] = QStringLiteral("Ann");
        sheet.names[19] = QStringLiteral("Ann");
        QCOMPARE(recordSheetNames(*log.db, sheet, &why), std::optional<int>(1));
        const QString done =
            QStringLiteral("SELECT TaskId, count(*), min(Lane), max(Lane), DateDone, Mechanic, "
                           "FramesPerMachine FROM MaintDone WHERE SheetId IS NOT NULL GROUP BY TaskId");
        QCOMPARE(log.file.rows(done), QStringList{QStringLiteral("2|24|1|24|2004-11-14|Ann|2500")});
        QCOMPARE(log.due(day(11, 14)).find(kCarpet, 7)->state, State::Done);
        // Stored again unchanged: nothing more. Another name: the mechanic follows.
        QCOMPARE(recordSheetNames(*log.db, sheet, &why), std::optional<int>(0));
        sheet.names[19] = QStringLiteral("Bob");
        QCOMPARE(recordSheetNames(*log.db, sheet, &why), std::optional<int>(1));
        QCOMPARE(log.file.rows(done), QStringList{QStringLiteral("2|24|1|24|2004-11-14|Bob|2500")});
        // The box emptied: the completion is withdrawn, and the lanes are due again.
        sheet.names[19].clear();
        QCOMPARE(recordSheetNames(*log.db, sheet, &why), std::optional<int>(1));
        QCOMPARE(log.file.rows(done), QStringList());
        QCOMPARE(log.due(day(11, 14)).find(kCarpet, 7)->state, State::Due);
        // A row that reads otherwise than the schedule wrote it is another job: left alone.
        sheet.jobs[18] = QStringLiteral("Lube deck gearboxes again");
        sheet.names[18] = QStringLiteral("Ann");
        QCOMPARE(recordSheetNames(*log.db, sheet, &why), std::optional<int>(0));
        // Another day's sheet, or a file without the schedule's tables: nothing.
        QCOMPARE(recordSheetNames(*log.db, {day(11, 15), sheet.jobs, sheet.names}, &why), std::optional<int>(0));
    }

    void markingDoneKeepsTheFramesPerMachineOfThatDate()
    {
        Log log;
        QVERIFY(log.ready);
        store::Error why;
        QVERIFY(markDone(
            *log.db,
            {{kLube, {0}, day(11, 7), QStringLiteral("Ann")}, {kCarpet, {5, 6}, day(11, 9), QStringLiteral("Ann")}},
            MaintLog::kLanes, &why));
        // Lube: 600,000 since 11/01 = 25,000 per machine. Carpet: 60,001 since 11/07 = 2,500.
        QCOMPARE(log.file.rows(QStringLiteral("SELECT TaskId, Lane, DateDone, Mechanic, FramesPerMachine, "
                                              "coalesce(SheetId, 'none') FROM MaintDone WHERE Mechanic = 'Ann' "
                                              "ORDER BY DoneId")),
                 QStringList({QStringLiteral("1|0|2004-11-07|Ann|25000|none"),
                              QStringLiteral("2|5|2004-11-09|Ann|2500|none"),
                              QStringLiteral("2|6|2004-11-09|Ann|2500|none")}));
        QCOMPARE(log.due(day(11, 9)).find(kLube, 0)->framesPerMachine, 2500);
        // The first time a task is recorded there is no time before to count from.
        QVERIFY(markDone(*log.db, {{kDeckBelts, {1}, day(11, 9), QStringLiteral("Ann")}}, MaintLog::kLanes, &why));
        QVERIFY(log.file.scalar(QStringLiteral("SELECT FramesPerMachine FROM MaintDone WHERE TaskId = 4")).isNull());
    }

    void aCompletionIsCheckedBeforeItIsRecorded()
    {
        const QDate today = day(11, 9);
        QCOMPARE(completionProblem({1, {0}, today, QStringLiteral(" ")}, today),
                 QStringLiteral("Type the name of the mechanic who did the work."));
        QCOMPARE(completionProblem({1, {0}, today, QStringLiteral("Maximilian1")}, today),
                 QStringLiteral("The name \"Maximilian1\" is longer than 10 characters."));
        QCOMPARE(completionProblem({1, {0}, today.addDays(1), QStringLiteral("Ann")}, today),
                 QStringLiteral("The day the work was done cannot be after today."));
        QCOMPARE(completionProblem({1, {0}, today, QStringLiteral("Ann")}, today), QString());
    }

    void tasksAreCheckedKeptAndRemovedWithTheirHistory()
    {
        Log log;
        QVERIFY(log.ready);
        Task task{0, QStringLiteral("Check kickback plates"), 0, 0, true, day(11, 9), {}};
        QCOMPARE(taskProblem(task), QStringLiteral("Give the task an interval: every so many frames per machine, every "
                                                   "so many days, or both."));
        task.text = QStringLiteral("x").repeated(41);
        QVERIFY(taskProblem(task).contains(QLatin1String("41 characters long")));
        task.text = QStringLiteral("Check kickback plates");
        task.frames = 100000;
        store::Error why;
        QVERIFY(addTask(*log.db, &task, &why));
        QCOMPARE(task.id, 6);
        task.days = 90;
        QVERIFY(updateTask(*log.db, task, &why));
        QCOMPARE(log.file.rows(QStringLiteral("SELECT Task, Frames, Days, PerLane, Added, coalesce(Removed, '-') FROM "
                                              "MaintTasks WHERE TaskId = 6")),
                 QStringList{QStringLiteral("Check kickback plates|100000|90|1|2004-11-09|-")});
        // Removed: off the due list, its history kept and shown as removed.
        QVERIFY(removeTask(*log.db, kLube, day(11, 9), &why));
        QVERIFY(!log.due(day(11, 9)).find(kLube, 0));
        const std::optional<Table> history = historyTable(*log.db, {kLube, -1, {}, {}}, &why);
        QCOMPARE(history->rowCount(), 1);
        QCOMPARE(history->value(0, 1).toString(), QStringLiteral("Lube deck gearboxes (removed)"));
    }

    void theHistoryIsChosenByTaskLaneAndDates()
    {
        Log log;
        QVERIFY(log.ready);
        store::Error why;
        // Lane 3 of the carpet: 11/01 and 11/07.
        std::optional<Table> history = historyTable(*log.db, {kCarpet, 3, {}, {}}, &why);
        QCOMPARE(history->rowCount(), 2);
        QCOMPARE(history->value(0, 0).toDate(), day(11, 1));
        QCOMPARE(history->value(1, 3).toString(), QStringLiteral("Marco"));
        QCOMPARE(history->value(1, 5).toString(), QStringLiteral("Maintenance window"));
        // Every task on the centre (lane 0) from 10/12 on: belts 10/15 and lube 11/01, by date.
        history = historyTable(*log.db, {0, 0, day(10, 12), {}}, &why);
        QCOMPARE(history->rowCount(), 2);
        QCOMPARE(history->value(0, 1).toString(), QStringLiteral("Check ball lift belts"));
        QCOMPARE(history->text(1, 2), QStringLiteral("Centre"));
        // Both dates included.
        history = historyTable(*log.db, {0, -1, day(11, 7), day(11, 7)}, &why);
        QCOMPARE(history->rowCount(), 24);
    }

    void anOlderFileOpensAndGetsTheTablesAlone()
    {
        testing::TempDatabase file;
        const QStringList delivered = file.rows(
            QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE name LIKE 'Maint%' ORDER BY name"));
        for (const QString& table : schema::tables())
            QVERIFY(file.exec(QStringLiteral("DROP TABLE %1").arg(table)));
        QVERIFY(file.exec(QStringLiteral("DROP TABLE Settings")));
        const QStringList before = file.rows(QStringLiteral("SELECT type, name FROM sqlite_master ORDER BY name"));
        store::Error why;
        auto db = store::Database::open(file.databasePath(), &why);
        QVERIFY2(db, qPrintable(why.text()));
        QCOMPARE(schema::missing(*db, &why), QStringList({QStringLiteral("Settings"), QStringLiteral("MaintTasks"),
                                                          QStringLiteral("MaintDone"), QStringLiteral("MaintSheet")}));
        QVERIFY(!schema::present(*db, &why));
        QVERIFY(!why.isError());
        // Work Completed stores a day on such a file: nothing to record, no error.
        QCOMPARE(recordSheetNames(*db, {day(11, 7), {}, {}}, &why), std::optional<int>(0));
        QVERIFY(schema::add(*db, &why));
        QVERIFY(schema::missing(*db, &why).isEmpty());
        QStringList after = file.rows(QStringLiteral("SELECT type, name FROM sqlite_master ORDER BY name"));
        for (const QString& added :
             {QStringLiteral("table|MaintDone"), QStringLiteral("table|MaintSheet"), QStringLiteral("table|MaintTasks"),
              QStringLiteral("table|Settings"), QStringLiteral("index|MaintDone_TaskLane"),
              QStringLiteral("index|MaintSheet_DateNow"), QStringLiteral("index|sqlite_autoindex_Settings_1")})
            QVERIFY2(after.removeAll(added) == 1, qPrintable(added));
        QCOMPARE(after, before);
        // Made as the delivered database has them.
        QCOMPARE(file.rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE name LIKE 'Maint%' ORDER BY "
                                          "name"))
                     .size(),
                 delivered.size());
        for (const QString& table : schema::tables())
            QCOMPARE(
                file.rows(QStringLiteral("SELECT name, type, \"notnull\", pk FROM pragma_table_info('%1')").arg(table))
                    .join(QLatin1Char(';')),
                testing::TempDatabase()
                    .rows(QStringLiteral("SELECT name, type, \"notnull\", pk FROM pragma_table_info('%1')").arg(table))
                    .join(QLatin1Char(';')));
    }

    void aTableOfOursChangedByAnotherProgramIsNamed()
    {
        testing::TempDatabase file;
        QVERIFY(file.exec(QStringLiteral("DROP TABLE MaintDone")));
        QVERIFY(file.exec(QStringLiteral("CREATE TABLE MaintDone (DoneId INTEGER, TaskId LONG)")));
        store::Error why;
        auto db = store::Database::open(file.databasePath(), &why);
        QVERIFY(db);
        QVERIFY(schema::missing(*db, &why).isEmpty());
        QCOMPARE(why.kind, store::Error::Kind::Foreign);
        QVERIFY(why.message.contains(QLatin1String("no field Lane in its table MaintDone")));
    }

    void compactingKeepsTheSchedule()
    {
        Log log;
        QVERIFY(log.ready);
        store::Error why;
        QVERIFY(putOnSheet(*log.db, log.due(day(11, 7)), &why));
        QVERIFY(store::settings::writeNumber(*log.db, store::settings::kMaintenanceMargin, 15, &why));
        const QStringList tables{QStringLiteral("MaintTasks"), QStringLiteral("MaintDone"),
                                 QStringLiteral("MaintSheet"), QStringLiteral("Settings")};
        QHash<QString, QStringList> before;
        for (const QString& table : tables)
            before.insert(table, log.file.rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table)));
        log.db.reset();
        const store::Error compacted = upkeep::dbfile::compactDatabase(log.file.databasePath());
        QVERIFY2(!compacted.isError(), qPrintable(compacted.text()));
        for (const QString& table : tables)
            QCOMPARE(log.file.rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table)), before.value(table));
        QCOMPARE(before.value(QStringLiteral("MaintSheet")).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestSchedule)
#include "test_schedule.moc"
