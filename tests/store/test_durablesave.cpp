// A save the store reports is on the disk for good: the connection commits so
// that a power cut right after it cannot bring back a journal that the next
// open would play back over the saved row.
#include "support/SyncWatch.h"
#include "support/TempDatabase.h"

#include "store/Database.h"
#include "store/RecordSet.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace store;

namespace {

QString pragma(Database& db, const char* name)
{
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("PRAGMA ") + QLatin1String(name)) || !q.next())
        return {};
    return q.value(0).toString().toLower();
}

// The calls a database left as `database` and `journal` holds once opened:
// SQLite plays a journal that holds anything back into the file first.
qint64 callsAfterReopen(const QString& folder, const QByteArray& database, const QByteArray& journal)
{
    const QString path = QDir(folder).filePath(QStringLiteral("Zuvevadu.mdb"));
    QFile::remove(path + QStringLiteral("-journal"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(database) != database.size())
        return -1;
    file.close();
    if (!journal.isEmpty()) {
        QFile hot(path + QStringLiteral("-journal"));
        if (!hot.open(QIODevice::WriteOnly) || hot.write(journal) != journal.size())
            return -1;
    }
    sqlite3* db = nullptr;
    sqlite3_stmt* q = nullptr;
    qint64 count = -1;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM DData", -1, &q, nullptr) == SQLITE_OK &&
        sqlite3_step(q) == SQLITE_ROW)
        count = sqlite3_column_int64(q, 0);
    sqlite3_finalize(q);
    sqlite3_close(db);
    return count;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestDurableSave : public QObject {
    Q_OBJECT
private slots:
    // Every connection of the store commits with a journal that is cut to
    // nothing and synced, at the highest sync level.
    void theStoreCommitsDurably()
    {
        testing::TempDatabase file;
        Error why;
        auto db = Database::open(file.databasePath(), &why);
        QVERIFY2(db, qPrintable(why.text()));
        QCOMPARE(pragma(*db, "journal_mode"), QStringLiteral("truncate"));
        QVERIFY2(pragma(*db, "synchronous").toInt() >= 2, "a commit would not wait for the disk");
    }

    // Each save in turn, then the power cut: the file as it is, with the
    // journal as the disk may still hold it.
    void everySavedCallSurvivesAPowerCut()
    {
        testing::SyncWatch watch;
        QVERIFY(watch.installed());
        testing::TempDatabase file;
        QTemporaryDir afterCut;
        RecordSet set;
        QVERIFY(set.open(file.databasePath(), QStringLiteral("DData")));
        const int lane = set.fieldIndex(QStringLiteral("LaneNo"));
        const int call = set.fieldIndex(QStringLiteral("callmade"));
        for (int saved = 1; saved <= 5; ++saved) {
            set.AddNew();
            QVERIFY(set.store({{lane, saved}, {call, QStringLiteral("Ball return jammed")}}));
            const QByteArray journal = watch.journalAfterPowerCut(file.databasePath());
            QCOMPARE(callsAfterReopen(afterCut.path(), bytesOf(file.databasePath()), journal), qint64(saved));
            QVERIFY2(
                journal.isEmpty(),
                qPrintable(
                    QStringLiteral("save %1 leaves %2 bytes of journal to play back").arg(saved).arg(journal.size())));
        }
        // The journal kept beside the file between saves holds nothing.
        const QFileInfo kept(file.databasePath() + QStringLiteral("-journal"));
        QVERIFY(!kept.exists() || kept.size() == 0);
    }
};

QTEST_GUILESS_MAIN(TestDurableSave)
#include "test_durablesave.moc"
