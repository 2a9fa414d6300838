// The database file as a whole: compacting, replacing it by a restored copy,
// refusing while a record source has it open, and processes killed at every
// step (the database afterwards opens whole, with the old or the new content).
#include "ZipSupport.h"
#include "support/TempDatabase.h"

#include "store/Database.h"
#include "store/DurableFile.h"
#include "store/RecordSet.h"
#include "upkeep/dbfile/DatabaseFile.h"
#include "upkeep/zip/FileIo.h"

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

#include <sqlite3.h>

#include <atomic>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace upkeep::dbfile;
using testing::readFile;

namespace {

using Kind = store::Error::Kind;

// Compacts; the kind of failure, Kind::None when the database was compacted.
Kind compact(const QString& database, store::Error* why, const Hooks& hooks = {})
{
    *why = compactDatabase(database, hooks);
    return why->kind;
}

// Rows that make a database of a few megabytes, half of them then deleted.
const char* const kFill =
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 8000) "
    "INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, Name2, Notes) "
    "SELECT '2004-12-07', '10:15:30', 'Tuesday', i % 32 + 1, 'Ball return jammed', '1', 'Dave', 'Marco', "
    "hex(randomblob(60)) FROM n";

/// What the database holds, read through a connection of its own.
QString contentOf(const QString& path)
{
    const QString name = QUuid::createUuid().toString();
    QString content;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT count(*), total(LaneNo), max(Recno) FROM DData")) && q.next())
                content = q.value(0).toString() + QLatin1Char('|') + q.value(1).toString() + QLatin1Char('|') +
                          q.value(2).toString();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return content;
}

Step stepNamed(const QString& name)
{
    if (name == QLatin1String("copied"))
        return Step::Copied;
    if (name == QLatin1String("checked"))
        return Step::Checked;
    if (name == QLatin1String("replaced"))
        return Step::Replaced;
    return Step::Opened;
}

// Restores "backup.zip" of `folder` into it, as the backup window does.
void restore(const QString& folder, const Hooks& hooks, const std::function<void(int)>& status = {})
{
    store::Error why;
    upkeep::zip::ZipMain zip;
    zip.setArchivePath(QDir(folder).filePath(QStringLiteral("backup.zip")));
    zip.setExtractFolder(folder);
    QObject::connect(&zip, &upkeep::zip::ZipMain::Replace, &zip, [](const QString&, int& reply) { reply = 1; });
    if (status)
        QObject::connect(&zip, &upkeep::zip::ZipMain::Status, &zip, status);
    zip.setCommitter(
        [&](const QString& staged, const QString& target) { return replaceDatabase(staged, target, &why, hooks); });
    zip.Extract(0);
}

// The child: compacts or restores in `folder` and dies at the step named.
int child(const QStringList& args)
{
    const QString operation = args.value(0);
    const QString folder = args.value(1);
    const QString stopAt = args.value(2);
    const QString database = QDir(folder).filePath(QStringLiteral("Zuvevadu.mdb"));
    auto die = [] { ::kill(::getpid(), SIGKILL); };
    int pumped = 0;
    Hooks hooks;
    hooks.step = [&](Step step) {
        if (step == stepNamed(stopAt))
            die();
    };
    hooks.pump = [&] {
        if (stopAt == QLatin1String("copying") && ++pumped == 3)
            die();
    };
    // "op3": dies right after the third durable file operation.
    std::atomic<int> operations{0};
    if (stopAt.startsWith(QLatin1String("op"))) {
        const int last = stopAt.mid(2).toInt();
        store::durable::setObserver(
            [&operations, last, die](store::durable::Operation, const QString&, const QString&) {
                if (++operations == last)
                    die();
            });
    }
    store::Error why;
    if (operation == QLatin1String("compact")) {
        compactDatabase(database, hooks);
        return 0;
    }
    restore(folder, hooks, [&](int percent) {
        if (stopAt == QLatin1String("extracting") && percent > 0)
            die();
    });
    return 0;
}

/// The files in `folder` that neither the user nor the program keeps there:
/// anything but the database, its journal while empty, the backup and the
/// files the test planted.
QStringList strays(const QString& folder, const QStringList& planted)
{
    QStringList found;
    const QDir dir(folder);
    const auto entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name == QLatin1String("Zuvevadu.mdb") || name == QLatin1String("backup.zip") ||
            name == QLatin1String("other") || planted.contains(name) ||
            (name == QLatin1String("Zuvevadu.mdb-journal") && entry.size() == 0))
            continue;
        found << name + QLatin1Char(' ') + QString::number(entry.size());
    }
    return found;
}

/// A process number that no process has now.
qint64 endedProcess()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

/// Every durable file operation while it lives, in order.
class Recording {
public:
    Recording()
    {
        store::durable::setObserver([this](store::durable::Operation op, const QString& path, const QString& target) {
            QMutexLocker lock(&m_mutex);
            const char* names[] = {"sync file", "sync folder", "rename"};
            m_lines << QLatin1String(names[int(op)]) + QLatin1Char(' ') + QFileInfo(path).fileName() +
                           (target.isEmpty() ? QString() : QStringLiteral(" -> ") + QFileInfo(target).fileName());
        });
    }
    ~Recording() { store::durable::setObserver({}); }
    QStringList lines()
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }

private:
    QMutex m_mutex;
    QStringList m_lines;
};

} // namespace

class TestDbFile : public QObject {
    Q_OBJECT
private:
    // A database of calls with deleted rows in it, and its content.
    static void fill(testing::TempDatabase& db)
    {
        QVERIFY(db.exec(QString::fromLatin1(kFill)));
        QVERIFY(db.exec(QStringLiteral("DELETE FROM DData WHERE Recno % 2 = 0")));
    }

    // A backup in `folder` holding a database with other content.
    static QString backupBeside(testing::TempDatabase& db, QString* newContent)
    {
        const QString source = QDir(db.folder()).filePath(QStringLiteral("other/Zuvevadu.mdb"));
        QDir().mkpath(QFileInfo(source).absolutePath());
        QFile::copy(db.databasePath(), source);
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            other.setDatabaseName(source);
            other.open();
            QSqlQuery(other).exec(QStringLiteral("DELETE FROM DData WHERE Recno > 100"));
            QSqlQuery(other).exec(QStringLiteral("VACUUM"));
        }
        QSqlDatabase::removeDatabase(name);
        *newContent = contentOf(source);
        upkeep::zip::ZipMain zip;
        zip.setArchivePath(QDir(db.folder()).filePath(QStringLiteral("backup.zip")));
        zip.setFileList(source + QLatin1Char('\r'));
        return zip.Add(0) == 0 ? zip.ArchivePath() : QString();
    }

private slots:
    void compactShrinksAndKeepsEverything()
    {
        testing::TempDatabase db;
        fill(db);
        const QString before = contentOf(db.databasePath());
        const qint64 size = QFileInfo(db.databasePath()).size();
        QStringList steps;
        Hooks hooks;
        int pumped = 0;
        hooks.pump = [&] { ++pumped; };
        hooks.step = [&](Step step) { steps << QString::number(int(step)); };
        store::Error why;
        QCOMPARE(compact(db.databasePath(), &why, hooks), Kind::None);
        QCOMPARE(steps,
                 (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
        QVERIFY(pumped > 0);
        QVERIFY2(QFileInfo(db.databasePath()).size() < size * 3 / 4, "the file did not shrink");
        QCOMPARE(contentOf(db.databasePath()), before);
        QVERIFY(!QFileInfo::exists(compactCopyPath(db.databasePath())));
        QVERIFY(verifyDatabase(db.databasePath(), QStringLiteral("The database"), &why));
    }

    // The copy keeps the database's indexes as they are, so the copy's full
    // check is what finds an index that no longer matches its table.
    void compactRefusesAnIndexOutOfStepWithItsTable()
    {
        testing::TempDatabase db;
        fill(db);
        QVERIFY(db.exec(QStringLiteral("PRAGMA writable_schema=ON")));
        QVERIFY(db.exec(QStringLiteral("UPDATE sqlite_master SET sql = 'CREATE INDEX DData_LaneNo ON DData(DateNow, "
                                       "LaneNo)' WHERE name = 'DData_LaneNo'")));
        const QByteArray bytes = readFile(db.databasePath());
        store::Error why;
        QCOMPARE(compact(db.databasePath(), &why), Kind::Damaged);
        QCOMPARE(why.message, QStringLiteral("The compacted copy is damaged."));
        QVERIFY2(why.detail.startsWith(QStringLiteral("row ")), qPrintable(why.detail));
        QCOMPARE(readFile(db.databasePath()), bytes);
        QVERIFY(!QFileInfo::exists(compactCopyPath(db.databasePath())));
    }

    void refusedWhileAScreenHasItOpen()
    {
        testing::TempDatabase db;
        fill(db);
        QString newContent;
        const QString archive = backupBeside(db, &newContent);
        const QByteArray bytes = readFile(db.databasePath());
        store::RecordSet open;
        store::Error why;
        QVERIFY(open.open(db.databasePath(), QStringLiteral("DData")));
        QCOMPARE(compact(db.databasePath(), &why), Kind::InUse);
        QCOMPARE(why.message, QStringLiteral("The database is open on another screen."));
        const QString staged = QDir(db.folder()).filePath(QStringLiteral("other/Zuvevadu.mdb"));
        QVERIFY(!replaceDatabase(staged, db.databasePath(), &why));
        QCOMPARE(why.message, QStringLiteral("The database is open on another screen."));
        QCOMPARE(readFile(db.databasePath()), bytes);
        open.close();
        QVERIFY(replaceDatabase(staged, db.databasePath(), &why));
        QCOMPARE(contentOf(db.databasePath()), newContent);
        QVERIFY(!QFileInfo::exists(previousPath(db.databasePath())));
    }

    void leftoverCopyNeverReplacesTheDatabase()
    {
        testing::TempDatabase db;
        fill(db);
        const QByteArray bytes = readFile(db.databasePath());
        const QString leftover = compactCopyPath(db.databasePath());
        QVERIFY(testing::writeFile(leftover, "half a copy from a run that was cut short"));
        store::Error why;
        QCOMPARE(compact(db.databasePath(), &why), Kind::Leftover);
        QCOMPARE(why.detail, QDir::toNativeSeparators(leftover));
        QCOMPARE(readFile(db.databasePath()), bytes);
        QCOMPARE(readFile(leftover), QByteArray("half a copy from a run that was cut short"));
    }

    // The new file is synced, then its folder (an earlier delete there, a
    // rolled-back journal's among them, reaches the disk first), then the
    // rename, then the folder again.
    void theFolderIsSyncedAroundTheRename_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("compact") << "compact";
        QTest::newRow("restore") << "restore";
    }
    void theFolderIsSyncedAroundTheRename()
    {
        QFETCH(QString, operation);
        testing::TempDatabase db;
        fill(db);
        QString after;
        if (operation == QLatin1String("restore"))
            QVERIFY(!backupBeside(db, &after).isEmpty());
        const QString folder = QFileInfo(db.folder()).fileName();
        Recording recording;
        store::Error why;
        if (operation == QLatin1String("compact")) {
            QCOMPARE(compact(db.databasePath(), &why), Kind::None);
        } else {
            restore(db.folder(), {});
            QCOMPARE(contentOf(db.databasePath()), after);
        }
        const QStringList lines = recording.lines();
        const int renamed = int(std::find_if(lines.begin(), lines.end(),
                                             [](const QString& line) {
                                                 return line.startsWith(QLatin1String("rename ")) &&
                                                        line.endsWith(QLatin1String(" -> Zuvevadu.mdb"));
                                             }) -
                                lines.begin());
        QVERIFY2(renamed > 1 && renamed + 1 < lines.size(), qPrintable(lines.join(QLatin1String("; "))));
        const QString staged = lines.at(renamed).section(QLatin1Char(' '), 1, 1);
        QCOMPARE(lines.mid(renamed - 2, 4),
                 (QStringList{QStringLiteral("sync file ") + staged, QStringLiteral("sync folder ") + folder,
                              lines.at(renamed), QStringLiteral("sync folder ") + folder}));
    }

    // Where the users of a PC share the database through a group, the file a
    // compact or a restore puts in place keeps the database's permissions:
    // SQLite makes the compacted copy with modes of its own, and a restored
    // file comes out of the archive with the ones it was archived with.
    void theReplacedFileKeepsThePermissions_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("compact") << "compact";
        QTest::newRow("restore") << "restore";
    }
    void theReplacedFileKeepsThePermissions()
    {
        QFETCH(QString, operation);
        testing::TempDatabase db;
        fill(db);
        QString after;
        if (operation == QLatin1String("restore"))
            QVERIFY(!backupBeside(db, &after).isEmpty());
        const QByteArray path = QFile::encodeName(db.databasePath());
        QCOMPARE(::chmod(path.constData(), 0660), 0);
        const mode_t mask = ::umask(022);
        store::Error why;
        if (operation == QLatin1String("compact")) {
            QCOMPARE(compact(db.databasePath(), &why), Kind::None);
        } else {
            restore(db.folder(), {});
            QCOMPARE(contentOf(db.databasePath()), after);
        }
        ::umask(mask);
        struct stat replaced {};
        QCOMPARE(::stat(path.constData(), &replaced), 0);
        QCOMPARE(replaced.st_mode & 07777, mode_t(0660));
    }

    // A connection of the program that no screen's record source owns holds
    // the file as much as one that does.
    void refusedWhileAnyConnectionHoldsIt()
    {
        testing::TempDatabase db;
        fill(db);
        const QByteArray bytes = readFile(db.databasePath());
        store::Error why;
        auto held = store::Database::open(db.databasePath(), &why);
        QVERIFY2(held, qPrintable(why.text()));
        QCOMPARE(store::Database::openSources(db.databasePath()), 0);
        QCOMPARE(compact(db.databasePath(), &why), Kind::InUse);
        QCOMPARE(why.message, QStringLiteral("The database is open on another screen."));
        const QString staged = QDir(db.folder()).filePath(QStringLiteral("staged.mdb"));
        QVERIFY(QFile::copy(db.databasePath(), staged));
        QVERIFY(!replaceDatabase(staged, db.databasePath(), &why));
        QCOMPARE(why.message, QStringLiteral("The database is open on another screen."));
        QCOMPARE(readFile(db.databasePath()), bytes);
        held.reset();
        QCOMPARE(compact(db.databasePath(), &why), Kind::None);
    }

    // Another program stores a call after the copy was made: the copy would
    // lack it, so the database is kept as it is, with the call.
    void anotherProgramWritingDuringTheCompactIsNoticed_data()
    {
        QTest::addColumn<int>("when");
        QTest::newRow("once copied") << int(Step::Copied);
        QTest::newRow("once checked") << int(Step::Checked);
    }
    void anotherProgramWritingDuringTheCompactIsNoticed()
    {
        QFETCH(int, when);
        testing::TempDatabase db;
        fill(db);
        const qint64 calls = db.scalar(QStringLiteral("SELECT count(*) FROM DData")).toLongLong();
        Hooks hooks;
        bool written = false;
        hooks.step = [&](Step step) {
            if (int(step) != when)
                return;
            sqlite3* other = nullptr;
            sqlite3_open_v2(QFile::encodeName(db.databasePath()).constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
            written = sqlite3_exec(other,
                                   "INSERT INTO DData (DateNow, LaneNo, callmade) VALUES ('2004-12-08', 7, "
                                   "'Written meanwhile')",
                                   nullptr, nullptr, nullptr) == SQLITE_OK;
            sqlite3_close(other);
        };
        store::Error why;
        QCOMPARE(compact(db.databasePath(), &why, hooks), Kind::InUse);
        QVERIFY(written);
        QCOMPARE(why.message, QStringLiteral("Another program changed the database while it was being compacted. Try "
                                             "again once it has finished."));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM DData")).toLongLong(), calls + 1);
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM DData WHERE callmade = 'Written meanwhile'")).toInt(),
                 1);
        QVERIFY(!QFileInfo::exists(compactCopyPath(db.databasePath())));
        QVERIFY(!QFileInfo::exists(compactCopyJournalPath(db.databasePath())));
    }

    void damagedRestoreIsRefused_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("cut short") << "truncate"
                                   << "The database in the backup is not a Tarrowby Stopwell database, or it is "
                                      "damaged.";
        QTest::newRow("not a database") << "text"
                                        << "The database in the backup is not a Tarrowby Stopwell database, or it "
                                           "is damaged.";
        // A page of the call log overwritten: the structure check finds it.
        QTest::newRow("page garbled") << "garble"
                                      << "The database in the backup is damaged.";
        QTest::newRow("table missing") << "drop"
                                       << "The database in the backup is not a Tarrowby Stopwell database: it has no "
                                          "table PWord.";
    }
    void damagedRestoreIsRefused()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        testing::TempDatabase db;
        fill(db);
        const QByteArray bytes = readFile(db.databasePath());
        const QString staged = QDir(db.folder()).filePath(QStringLiteral("staged.mdb"));
        QVERIFY(QFile::copy(db.databasePath(), staged));
        if (damage == QLatin1String("truncate")) {
            QFile file(staged);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.resize(file.size() / 2));
        } else if (damage == QLatin1String("text")) {
            QVERIFY(testing::writeFile(staged, testing::prose(8192)));
        } else if (damage == QLatin1String("garble")) {
            const QString name = QUuid::createUuid().toString();
            qint64 page = 0;
            qint64 pageSize = 0;
            {
                QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                other.setDatabaseName(staged);
                QVERIFY(other.open());
                QSqlQuery q(other);
                QVERIFY(q.exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'DData'")) && q.next());
                page = q.value(0).toLongLong();
                QVERIFY(q.exec(QStringLiteral("PRAGMA page_size")) && q.next());
                pageSize = q.value(0).toLongLong();
            }
            QSqlDatabase::removeDatabase(name);
            QFile file(staged);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek((page - 1) * pageSize));
            QCOMPARE(file.write(QByteArray(int(pageSize), '\xA5')), pageSize);
        } else {
            const QString name = QUuid::createUuid().toString();
            {
                QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                other.setDatabaseName(staged);
                other.open();
                QSqlQuery(other).exec(QStringLiteral("DROP TABLE PWord"));
            }
            QSqlDatabase::removeDatabase(name);
        }
        store::Error why;
        QVERIFY(!replaceDatabase(staged, db.databasePath(), &why));
        QCOMPARE(why.message, reason);
        QCOMPARE(readFile(db.databasePath()), bytes);
    }

    void killedPartWay_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("step");
        QTest::newRow("compact while copying") << "compact"
                                               << "copying";
        QTest::newRow("compact once copied") << "compact"
                                             << "copied";
        QTest::newRow("compact once checked") << "compact"
                                              << "checked";
        QTest::newRow("compact once renamed") << "compact"
                                              << "replaced";
        QTest::newRow("restore while extracting") << "restore"
                                                  << "extracting";
        QTest::newRow("restore once checked") << "restore"
                                              << "checked";
        QTest::newRow("restore once renamed") << "restore"
                                              << "replaced";
        QTest::newRow("restore once opened") << "restore"
                                             << "opened";
        // After each durable file operation: the copy synced while it is
        // checked, synced again, the folder, the rename, the folder.
        for (const char* operation : {"compact", "restore"}) {
            for (int k = 1; k <= 5; ++k)
                QTest::addRow("%s after file operation %d", operation, k) << operation << QStringLiteral("op%1").arg(k);
        }
    }
    void killedPartWay()
    {
        QFETCH(QString, operation);
        QFETCH(QString, step);
        testing::TempDatabase db;
        fill(db);
        const QString before = contentOf(db.databasePath());
        QString after = before;
        if (operation == QLatin1String("restore"))
            QVERIFY(!backupBeside(db, &after).isEmpty());

        // Files of the user that look like the program's: never touched.
        const QStringList planted{QStringLiteral(".Zuvevadu.mdb.a1B2c3"),
                                  QStringLiteral(".Zuvevadu.mdb.stopwell-1-aBcDeF")};
        for (const QString& name : planted)
            QVERIFY(testing::writeFile(QDir(db.folder()).filePath(name), "mine"));
        QProcess process;
        process.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--child"), operation, db.folder(), step});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);

        store::Error why;
        QVERIFY2(verifyDatabase(db.databasePath(), QStringLiteral("The database"), &why), qPrintable(why.text()));
        const QString content = contentOf(db.databasePath());
        QVERIFY2(content == before || content == after, qPrintable(content));
        const bool renamed = step == QLatin1String("replaced") || step == QLatin1String("opened") ||
                             (step.startsWith(QLatin1String("op")) && step.mid(2).toInt() >= 4);
        QCOMPARE(content, renamed ? after : before);
        // No journal that holds anything is left beside the file.
        QCOMPARE(QFileInfo(db.databasePath() + QStringLiteral("-journal")).size(), qint64(0));

        // What the next run finds: a leftover copy is named, never used, and
        // what the cut-short run staged is gone once the next one has run.
        if (operation == QLatin1String("compact")) {
            if (QFileInfo::exists(compactCopyPath(db.databasePath()))) {
                QCOMPARE(compact(db.databasePath(), &why), Kind::Leftover);
                // The user chose to delete it: its journal goes with it.
                QVERIFY(removeCompactCopy(db.databasePath()));
                const QStringList left = strays(db.folder(), planted);
                QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1String(", "))));
            }
            QCOMPARE(compact(db.databasePath(), &why), Kind::None);
            QCOMPARE(contentOf(db.databasePath()), content);
        } else {
            restore(db.folder(), {});
            QCOMPARE(contentOf(db.databasePath()), after);
        }
        const QStringList left = strays(db.folder(), planted);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1String(", "))));
        for (const QString& name : planted)
            QCOMPARE(readFile(QDir(db.folder()).filePath(name)), QByteArray("mine"));
    }

    // Work folders in the temporary folder of runs that ended are removed;
    // those of a running process and any other folder stay.
    void workFoldersOfEndedRunsAreRemoved()
    {
        QTemporaryDir temporary;
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
        const QDir dir(temporary.path());
        const QString ended = QStringLiteral("stopwell-zip-%1-aBcDeF").arg(endedProcess());
        const QStringList kept{QStringLiteral("stopwell-zip-1-aBcDeF"), QStringLiteral("stopwell-zip-mine"),
                               QStringLiteral("photos")};
        const QStringList made = QStringList(kept) << ended;
        for (const QString& name : made)
            QVERIFY(dir.mkpath(name + QStringLiteral("/parts")));
        QVERIFY(testing::writeFile(dir.filePath(ended + QStringLiteral("/joined.zip")), "part of a set"));
        QCOMPARE(upkeep::zip::removeWorkLeftovers(), 1);
        if (saved.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", saved);
        QVERIFY(!dir.exists(ended));
        for (const QString& name : kept)
            QVERIFY2(dir.exists(name), qPrintable(name));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.value(1) == QLatin1String("--child"))
        return child(args.mid(2));
    TestDbFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dbfile.moc"
