// The record set on a real database file: order, snapshot, positions, and
// failures told apart from "no row".
#include "support/TempDatabase.h"

#include "store/Database.h"
#include "store/RecordSet.h"
#include "support/CallLogGenerator.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace store;

namespace {

void addCalls(testing::TempDatabase& db, int count, int firstLane = 1)
{
    for (int i = 0; i < count; ++i)
        QVERIFY(db.exec(QStringLiteral("INSERT INTO DData (DateNow, LaneNo, callmade) VALUES ('2004-12-07', %1, "
                                       "'Call %1')")
                            .arg(firstLane + i)));
}

QList<int> lanesByMoving(RecordSet& set)
{
    QList<int> lanes;
    if (!set.MoveFirst())
        return lanes;
    do
        lanes << set.value(QStringLiteral("LaneNo")).toInt();
    while (set.MoveNext());
    return lanes;
}

// Holds the whole file locked, as another program writing to it would.
struct Lock {
    explicit Lock(testing::TempDatabase& db) : m_db(db) { locked = m_db.exec(QStringLiteral("BEGIN EXCLUSIVE")); }
    ~Lock() { m_db.exec(QStringLiteral("ROLLBACK")); }
    testing::TempDatabase& m_db;
    bool locked = false;
};

bool chattr(const QString& flag, const QString& path)
{
    return QProcess::execute(QStringLiteral("chattr"), {flag, path}) == 0;
}

} // namespace

class TestRecordSet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Database::setBusyTimeout(150); }

    void insertionOrderAndItsOwnSnapshot()
    {
        testing::TempDatabase db;
        addCalls(db, 3);
        RecordSet set;
        QVERIFY(set.open(db.databasePath(), QStringLiteral("DData")));
        QCOMPARE(lanesByMoving(set), QList<int>({1, 2, 3}));

        // Another program's row appears only after opening again; this set's own at once.
        addCalls(db, 1, 40);
        set.AddNew();
        QVERIFY(set.store({{set.fieldIndex(QStringLiteral("LaneNo")), 50}}));
        QCOMPARE(lanesByMoving(set), QList<int>({1, 2, 3, 50}));
        QCOMPARE(set.count(), std::optional<qint64>(4));
        QCOMPARE(set.keyAt(3), std::optional<qint64>(5));
        QVERIFY(set.open(db.databasePath(), QStringLiteral("DData")));
        QCOMPARE(lanesByMoving(set), QList<int>({1, 2, 3, 40, 50}));
        QVERIFY(!set.error());
    }

    void positionsWithAndWithoutGaps()
    {
        testing::TempDatabase db;
        testing::CallLogGenerator generator;
        QString error;
        QVERIFY2(generator.fill(db.databasePath(), 2000, &error), qPrintable(error));
        RecordSet set;
        QVERIFY(set.open(db.databasePath(), QStringLiteral("DData")));
        auto expectedKey = [&](qint64 position) {
            return db.scalar(QStringLiteral("SELECT rowid FROM DData ORDER BY rowid LIMIT 1 OFFSET %1").arg(position))
                .toLongLong();
        };
        auto check = [&](std::initializer_list<qint64> positions) {
            for (qint64 p : positions) {
                QCOMPARE(set.keyAt(p), std::optional<qint64>(expectedKey(p)));
                const auto row = set.rowAt(p);
                QVERIFY(row);
                QCOMPARE(row->at(set.fieldIndex(QStringLiteral("Recno"))).toLongLong(), expectedKey(p));
            }
        };
        QCOMPARE(set.count(), std::optional<qint64>(2000));
        check({0, 1, 999, 1999});
        QVERIFY(!set.keyAt(2000));
        QVERIFY(set.moveToPosition(1500));
        QCOMPARE(set.currentKey(), expectedKey(1500));
        QCOMPARE(set.currentPosition(), 1500);

        // Deleting here shifts the positions after it; gaps are read through on reopening.
        QVERIFY(set.moveToPosition(10));
        QVERIFY(set.Delete());
        QCOMPARE(set.count(), std::optional<qint64>(1999));
        check({9, 10, 1998});
        QVERIFY(db.exec(QStringLiteral("DELETE FROM DData WHERE rowid % 7 = 0")));
        QVERIFY(set.open(db.databasePath(), QStringLiteral("DData")));
        const qint64 left = db.scalar(QStringLiteral("SELECT count(*) FROM DData")).toLongLong();
        QCOMPARE(set.count(), std::optional<qint64>(left));
        check({0, 6, 7, 500, left - 1});
        QVERIFY(set.moveToPosition(500));
        QCOMPARE(set.currentPosition(), 500);
    }

    // Positions after scattered deletions are reached without reading every key:
    // from either end or from a position reached before. Each must be the row
    // the engine puts there in row-id order, however it was reached.
    void positionsAfterScatteredDeletes()
    {
        testing::TempDatabase db;
        testing::CallLogGenerator generator;
        QString error;
        QVERIFY2(generator.fill(db.databasePath(), 3000, &error), qPrintable(error));
        // Gaps at the start, the end, single ones scattered and one long run.
        QVERIFY(db.exec(QStringLiteral("DELETE FROM DData WHERE rowid IN (1, 2, 5, 2999, 3000) OR rowid % 97 = 0 "
                                       "OR rowid BETWEEN 1200 AND 1260")));
        QStringList keys;
        auto expect = [&] { keys = db.rows(QStringLiteral("SELECT rowid FROM DData ORDER BY rowid")); };
        expect();
        RecordSet set;
        QVERIFY(set.open(db.databasePath(), QStringLiteral("DData")));
        const int recno = set.fieldIndex(QStringLiteral("Recno"));
        auto check = [&](const QList<qint64>& positions) {
            for (qint64 p : positions) {
                const auto key = set.keyAt(p);
                QVERIFY2(key, qPrintable(QString::number(p)));
                QCOMPARE(QString::number(*key), keys.at(p));
                const auto row = set.rowAt(p);
                QVERIFY(row);
                QCOMPARE(row->at(recno).toString(), keys.at(p));
            }
        };
        QCOMPARE(set.count(), std::optional<qint64>(keys.size()));
        const qint64 last = keys.size() - 1;
        // The far end first, then back and forth across the gaps around known positions.
        check({last, 0, 1, 2, 3, 1190, 1150, 1151, 1149, 1400, 1300, last - 1, 94, 95, 96, 1100, 1101});
        QVERIFY(!set.keyAt(keys.size()));
        QVERIFY(!set.keyAt(-1));
        for (qint64 p : {qint64(0), qint64(95), qint64(1160), last}) {
            QVERIFY(set.moveToPosition(p));
            QCOMPARE(QString::number(set.currentKey()), keys.at(p));
            QCOMPARE(set.currentPosition(), p);
        }
        // A key never reached by position still tells its position.
        QVERIFY(set.moveToKey(keys.at(2500).toLongLong()));
        QCOMPARE(set.currentPosition(), 2500);
        QVERIFY(set.moveToKey(keys.at(700).toLongLong()));
        QCOMPARE(set.currentPosition(), 700);

        // Deleting through the set moves the later positions up, known ones included.
        QVERIFY(set.moveToPosition(1160));
        QVERIFY(set.Delete());
        expect();
        check({1159, 1160, 1161, 2499, 699, 1150, 1190, keys.size() - 1});
        QVERIFY(set.moveToKey(keys.at(2498).toLongLong()));
        QCOMPARE(set.currentPosition(), 2498);
        QVERIFY(set.moveToPosition(0));
        QVERIFY(set.Delete());
        QVERIFY(set.moveToPosition(last - 2));
        QVERIFY(set.Delete());
        expect();
        QCOMPARE(set.count(), std::optional<qint64>(keys.size()));
        check({0, 1159, 1160, 1161, 2499, 699, keys.size() - 1, 94, 1150});
        QVERIFY(set.moveToKey(keys.at(2000).toLongLong()));
        QCOMPARE(set.currentPosition(), 2000);

        // Deleted by another program, then opened again.
        QVERIFY(db.exec(QStringLiteral("DELETE FROM DData WHERE rowid % 13 = 0 OR rowid BETWEEN 2000 AND 2100")));
        expect();
        QVERIFY(set.open(db.databasePath(), QStringLiteral("DData")));
        QCOMPARE(set.count(), std::optional<qint64>(keys.size()));
        check({keys.size() - 1, 1800, 1801, 1799, 0, 12, 13, 1900, 1950, 1000});
        QVERIFY(set.moveToPosition(1950));
        QCOMPARE(set.currentPosition(), 1950);
        QVERIFY(!set.error());
    }

    void statementsKeepTheirKeysAndOnlySelectsOpen()
    {
        testing::TempDatabase db;
        addCalls(db, 6);
        RecordSet set;
        QVERIFY(set.open(db.databasePath(),
                         QStringLiteral("Select DData.* From DData Where [LaneNo] > 2 ORDER BY [LaneNo] DESC"),
                         static_cast<store::Error*>(nullptr)));
        QCOMPARE(set.count(), std::optional<qint64>(4));
        QCOMPARE(set.rowAt(0)->at(set.fieldIndex(QStringLiteral("LaneNo"))).toInt(), 6);
        QCOMPARE(lanesByMoving(set), QList<int>({6, 5, 4, 3}));

        store::Error error;
        QVERIFY(!set.open(db.databasePath(), QStringLiteral("Delete * From DData"), &error));
        QCOMPARE(error.kind, store::Error::Kind::Refused);
        QVERIFY(!set.open(db.databasePath(), QStringLiteral("Select DData.* From DData; Delete * From DData"), &error));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 6);
    }

    void aLockIsAnErrorNeverNoRow()
    {
        testing::TempDatabase db;
        addCalls(db, 3);
        RecordSet set;
        QVERIFY(set.open(db.databasePath(), QStringLiteral("DData")));
        {
            Lock lock(db);
            QVERIFY(lock.locked);
            QVERIFY(!set.MoveNext());
            QCOMPARE(set.error().kind, store::Error::Kind::InUse);
            QVERIFY(set.error().text().contains(QLatin1String("in use by another program")));
            QVERIFY(!set.error().text().contains(QLatin1String("damaged")));
            QVERIFY(set.hasCurrent());
            QVERIFY(!set.count());
            QCOMPARE(set.error().kind, store::Error::Kind::InUse);
            set.AddNew();
            store::Error why;
            QVERIFY(!set.store({{set.fieldIndex(QStringLiteral("LaneNo")), 9}}, &why));
            QCOMPARE(why.kind, store::Error::Kind::InUse);
            QVERIFY(set.isNew()); // still pending, to be stored once the file is free
        }
        QVERIFY(set.store({{set.fieldIndex(QStringLiteral("LaneNo")), 9}}));
        QCOMPARE(lanesByMoving(set), QList<int>({1, 2, 3, 9}));
    }

    void openingALockedFileSaysInUse()
    {
        testing::TempDatabase db;
        Lock lock(db);
        QVERIFY(lock.locked);
        store::Error error;
        QVERIFY(!Database::open(db.databasePath(), &error));
        QCOMPARE(error.kind, store::Error::Kind::InUse);
        QVERIFY2(error.message.contains(QLatin1String("is in use by another program")), qPrintable(error.text()));
        QVERIFY(error.message.contains(db.databasePath()));
    }

    void aMissingFieldIsNamedBeforeAnythingBinds_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::newRow("lane") << "DData"
                              << "LaneNo";
        QTest::newRow("notes") << "DData"
                               << "Notes";
        QTest::newRow("frame total") << "Frames"
                                     << "total";
        QTest::newRow("a password") << "PWord"
                                    << "dailyd";
    }
    void aMissingFieldIsNamedBeforeAnythingBinds()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        testing::TempDatabase db;
        for (const char* index : {"DData_LaneNo", "DData_DateNow", "DData_DateLaneCall"})
            QVERIFY(db.exec(QStringLiteral("DROP INDEX \"%1\"").arg(QLatin1String(index))));
        QVERIFY(db.exec(QStringLiteral("ALTER TABLE %1 DROP COLUMN \"%2\"").arg(table, field)));
        store::Error error;
        QVERIFY(!Database::open(db.databasePath(), &error));
        QCOMPARE(error.kind, store::Error::Kind::Foreign);
        QVERIFY2(error.message.contains(QStringLiteral("no field %1 in its table %2").arg(field, table)),
                 qPrintable(error.message));
    }

    void aReadOnlyFileOpensAndSaysSoWhenStoring()
    {
        testing::TempDatabase db;
        addCalls(db, 1);
        const QString path = db.databasePath();
        if (!chattr(QStringLiteral("+i"), path))
            QSKIP("this file system cannot make a file read-only for the superuser");
        auto undo = qScopeGuard([&] { chattr(QStringLiteral("-i"), path); });
        store::Error opened;
        auto database = Database::open(path, &opened);
        QVERIFY(database);
        QVERIFY(database->isReadOnly());
        RecordSet set;
        QVERIFY(set.open(path, QStringLiteral("DData")));
        QCOMPARE(set.count(), std::optional<qint64>(1));
        store::Error error;
        QVERIFY(!set.store({{set.fieldIndex(QStringLiteral("LaneNo")), 2}}, &error));
        QCOMPARE(error.kind, store::Error::Kind::ReadOnly);
        QVERIFY(error.message.contains(QLatin1String("can only be read")));
    }

    void aRefusedWriteSaysWhyAndStoresNothing()
    {
        testing::TempDatabase db;
        QVERIFY(db.exec(QStringLiteral(
            "CREATE TRIGGER full BEFORE INSERT ON DData BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END")));
        RecordSet set;
        QVERIFY(set.open(db.databasePath(), QStringLiteral("DData")));
        set.AddNew();
        store::Error error;
        QVERIFY(!set.store({{set.fieldIndex(QStringLiteral("LaneNo")), 2}}, &error));
        QCOMPARE(error.kind, store::Error::Kind::DiskFull);
        QVERIFY(error.text().contains(QLatin1String("is full")));
        QVERIFY(error.text().contains(QLatin1String("database or disk is full")));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRecordSet)
#include "test_recordset.moc"
