// Power cuts while the database is compacted and while it is restored from a
// backup, as the backup window's automatic restore does it. Every file
// operation in the application folder is recorded: the engine's, and the
// program's own syncs, renames, second names and deletions. The folder is then
// built as a power cut would leave it at every sync (with every choice of the
// folder's unsynced changes kept) and at seeded points between, and opened as
// the program does when the power comes back. The database must be there,
// open, pass the integrity check and hold the old or the new rows whole (the
// new file once the operation has said it is done), with no journal left to
// play back; the next compact or restore then clears what the cut left and
// works.
//
// Each trial starts from a folder as ordinary saves leave it, and from one a
// power cut left while a call was being saved: the program rolls that save
// back when it starts, and the journal it deletes then must not come back
// beside the new file.
//
// Run under one locale: nothing in a crash state depends on it.
#include "support/CrashVfs.h"

#include "store/Database.h"
#include "upkeep/dbfile/DatabaseFile.h"
#include "upkeep/zip/ZipMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <random>

using testing::CrashVfs;
using FolderCut = CrashVfs::FolderCut;

namespace {

const QString kDatabase = QStringLiteral("Zuvevadu.mdb");
const QString kJournal = QStringLiteral("Zuvevadu.mdb-journal");
constexpr int kRandomCuts = 60;
// At a sync, every choice of the folder's unsynced changes is tried while
// there are at most this many; beyond, as many seeded choices as there are.
constexpr int kEveryChoiceUpTo = 5;

const QString kRowsSql = QStringLiteral(
    "SELECT Recno || '|' || quote(DateNow) || '|' || quote(LaneNo) || '|' || quote(callmade) || '|' || quote(Notes) "
    "FROM DData ORDER BY Recno");

QString pathIn(const QString& folder, const QString& name = kDatabase)
{
    return QDir(folder).filePath(name);
}

QStringList rowsOf(store::Database& db)
{
    QStringList rows;
    QSqlQuery q(db.sql());
    if (q.exec(kRowsSql))
        while (q.next())
            rows << q.value(0).toString();
    return rows;
}

/// The rows of the database in `folder`, read by the program's own store; empty when it does not open.
QStringList storedRows(const QString& folder)
{
    store::Error error;
    const auto db = store::Database::open(pathIn(folder), &error);
    return db ? rowsOf(*db) : QStringList();
}

/// Makes a database in `folder` with `calls` calls tagged `tag`, every other one then deleted.
bool makeDatabase(const QString& folder, const QString& tag, int calls)
{
    store::Error error;
    if (!QDir().mkpath(folder) || !store::createDatabase(pathIn(folder), &error))
        return false;
    const auto db = store::Database::open(pathIn(folder), &error);
    QSqlQuery q(db ? db->sql() : QSqlDatabase());
    return db &&
           q.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                 "INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, Name2, "
                                 "Notes) SELECT '2004-12-07', '10:15:30', 'Tuesday', i % 32 + 1, '%2 ' || i, '1', "
                                 "'Dave', 'Marco', hex(randomblob(40)) FROM n")
                      .arg(calls)
                      .arg(tag)) &&
           q.exec(QStringLiteral("DELETE FROM DData WHERE Recno % 2 = 0"));
}

/// A journal that the engine would play back: whole header, pages in it.
bool hotJournal(const QByteArray& journal)
{
    static const QByteArray magic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    if (journal.size() < 28 || !journal.startsWith(magic))
        return false;
    const auto* records = reinterpret_cast<const uchar*>(journal.constData() + 8);
    return (records[0] | records[1] | records[2] | records[3]) != 0;
}

/// Copies the files of `from` into `to`, as the folder for a trial.
bool copyFolder(const QString& from, const QString& to)
{
    QMap<QString, QByteArray> files;
    const auto entries = QDir(from).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        QFile file(entry.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return false;
        files.insert(entry.fileName(), file.readAll());
    }
    return CrashVfs::write(files, to);
}

/// Writes into `to` the folder `from` as a power cut leaves it while a call
/// with a long note is being saved: the save's journal whole and hot, the
/// database written in part.
bool cutShortSave(const QString& from, const QString& to)
{
    CrashVfs& vfs = CrashVfs::install();
    vfs.record(from);
    {
        store::Error error;
        const auto db = store::Database::open(pathIn(from), &error);
        QSqlQuery q(db ? db->sql() : QSqlDatabase());
        if (!db ||
            !q.exec(QStringLiteral("INSERT INTO DData (DateNow, LaneNo, callmade, Notes) VALUES "
                                   "('2004-12-08', 7, 'Cut short', hex(randomblob(6000)))")) ||
            !q.exec(QStringLiteral("UPDATE DData SET Name2 = 'Luis' WHERE Recno < 200")))
            return false;
    }
    vfs.stop();
    const std::vector<int> syncs = vfs.syncPositions();
    for (auto sync = syncs.rbegin(); sync != syncs.rend(); ++sync) {
        const QMap<QString, QByteArray> files = vfs.crashState(*sync, 20041212, FolderCut::Undone);
        if (hotJournal(files.value(kJournal)))
            return CrashVfs::write(files, to);
    }
    return false;
}

/// Restores the database from `archive` into `folder` as the automatic
/// restore does; `done` gets the record's position once the database was
/// replaced. True when it was.
bool restore(const QString& archive, const QString& folder, int* done = nullptr)
{
    upkeep::zip::ZipMain zip;
    zip.setArchivePath(archive);
    zip.setExtractFolder(folder);
    zip.setFileList(kDatabase + QLatin1Char('\r'));
    QObject::connect(&zip, &upkeep::zip::ZipMain::Replace, &zip,
                     [](const QString&, int& reply) { reply = upkeep::zip::replace::Yes; });
    bool replaced = false;
    zip.setCommitter([&](const QString& staged, const QString& target) {
        store::Error why;
        replaced = upkeep::dbfile::replaceDatabase(staged, target, &why);
        if (replaced && done)
            *done = CrashVfs::install().position();
        if (!replaced)
            qInfo("not restored: %s", qPrintable(why.text()));
        return replaced;
    });
    return zip.Extract(0) == upkeep::zip::result::Success && replaced;
}

/// Compacts as the menu does, deleting a copy a cut-short run left once asked.
store::Error compact(const QString& database)
{
    store::Error outcome = upkeep::dbfile::compactDatabase(database);
    if (outcome.kind == store::Error::Kind::Leftover && upkeep::dbfile::removeCompactCopy(database))
        outcome = upkeep::dbfile::compactDatabase(database);
    return outcome;
}

/// A recorded compact or restore.
struct Trial {
    QString what;
    QString archive;    // of a restore
    QStringList before; // the rows when the program started
    QStringList after;  // the rows once it was done
    QByteArray newFile; // the database it put in place
    int done = -1;      // the record's position when it said it was done
};

struct Figures {
    int states = 0;
    int oldFile = 0; // states holding the database as it was
    int newFile = 0; // states holding the one put in place
    int withoutDatabase = 0;
    int unopened = 0;
    int damaged = 0;
    int wrongRows = 0; // neither the old rows nor the new ones
    int undone = 0;    // the old database once the operation said it was done
    int journalLeft = 0;
    int leftovers = 0; // the next run failed, or left a file behind
    QStringList problems;
    void note(int& count, const QString& problem)
    {
        ++count;
        if (problems.size() < 5)
            problems << problem;
    }
};

/// Files beside the database that neither the user nor the program keeps there.
QStringList strays(const QString& folder)
{
    QStringList found;
    const auto entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries)
        if (entry.fileName() != kDatabase && !(entry.fileName() == kJournal && entry.size() == 0))
            found << entry.fileName();
    return found;
}

/// What the next run finds: a compact or a restore clears what the cut left and works.
void nextRun(const Trial& trial, const QString& folder, int position, Figures& figures)
{
    const QString at = QStringLiteral("cut at %1: ").arg(position);
    const store::Error compacted = trial.archive.isEmpty() ? compact(pathIn(folder)) : store::Error();
    if (compacted) {
        figures.note(figures.leftovers, at + QStringLiteral("the next compact: ") + compacted.text());
        return;
    }
    if (!trial.archive.isEmpty() && !restore(trial.archive, folder)) {
        figures.note(figures.leftovers, at + QStringLiteral("the next restore failed"));
        return;
    }
    if (storedRows(folder) != (trial.archive.isEmpty() ? trial.before : trial.after))
        figures.note(figures.leftovers, at + QStringLiteral("the next run changed the rows"));
    if (const QStringList left = strays(folder); !left.isEmpty())
        figures.note(figures.leftovers, at + QStringLiteral("left after the next run: ") + left.join(QLatin1Char(' ')));
}

/// Opens the folder after the power came back, as the program does, and judges it.
void judge(const Trial& trial, const QMap<QString, QByteArray>& files, int position, Figures& figures)
{
    const QString at = QStringLiteral("cut at %1: ").arg(position);
    ++figures.states;
    if (!files.contains(kDatabase)) {
        figures.note(figures.withoutDatabase, at + QStringLiteral("the folder has no database"));
        return;
    }
    const bool isNew = files.value(kDatabase) == trial.newFile;
    ++(isNew ? figures.newFile : figures.oldFile);
    if (position >= trial.done && !isNew)
        figures.note(figures.undone, at + QStringLiteral("the old database after the operation said it was done"));
    QTemporaryDir folder;
    QVERIFY(CrashVfs::write(files, folder.path()));
    {
        store::Error error;
        const auto db = store::Database::open(pathIn(folder.path()), &error);
        if (!db) {
            figures.note(figures.unopened, at + QStringLiteral("would not open: ") + error.text().simplified());
            return;
        }
        QSqlQuery q(db->sql());
        QStringList check;
        if (q.exec(QStringLiteral("PRAGMA integrity_check")))
            while (q.next())
                check << q.value(0).toString();
        if (check != QStringList{QStringLiteral("ok")}) {
            figures.note(figures.damaged, at + QStringLiteral("damaged: ") + check.mid(0, 3).join(QLatin1Char(' ')));
            return;
        }
        const QStringList rows = rowsOf(*db);
        if (rows != trial.before && rows != trial.after)
            figures.note(figures.wrongRows, at + QStringLiteral("%1 rows, neither old nor new").arg(rows.size()));
    }
    if (QFileInfo(pathIn(folder.path(), kJournal)).size() > 0)
        figures.note(figures.journalLeft, at + QStringLiteral("a journal is left after opening"));
    nextRun(trial, folder.path(), position, figures);
}

/// One cut: a point of the record and what it does with the folder's unsynced changes.
struct Cut {
    int position = 0;
    FolderCut folder = FolderCut::Undone;
    quint64 kept = 0; // with FolderCut::Undone: exactly these changes kept
    bool garble = false;
};

/// Every sync as it starts (with every choice of the folder's unsynced
/// changes) and once done, the end, and seeded points between.
std::vector<Cut> cuts(unsigned seed)
{
    CrashVfs& vfs = CrashVfs::install();
    std::vector<Cut> all;
    std::vector<int> points = vfs.syncPositions();
    const int end = vfs.position();
    points.push_back(end);
    for (const int point : points) {
        const int changes = vfs.unsyncedFolderChanges(point);
        all.push_back({point, FolderCut::Undone, 0, false});
        if (point < end)
            all.push_back({point + 1, FolderCut::Undone, 0, false});
        if (changes <= kEveryChoiceUpTo) {
            for (quint64 kept = 1; kept < (quint64(1) << changes); ++kept)
                all.push_back({point, FolderCut::Undone, kept, false});
        } else {
            for (int i = 0; i < changes; ++i)
                all.push_back({point, FolderCut::AnyOrder, 0, false});
        }
    }
    std::mt19937 random(seed);
    for (int i = 0; i < kRandomCuts; ++i)
        all.push_back({int(random() % unsigned(end + 1)), FolderCut::AnyOrder, 0, i % 2 == 1});
    return all;
}

Figures cutEverywhere(const Trial& trial, unsigned seed)
{
    CrashVfs& vfs = CrashVfs::install();
    const std::vector<Cut> all = cuts(seed);
    Figures figures;
    QElapsedTimer clock;
    clock.start();
    for (size_t i = 0; i < all.size(); ++i) {
        const Cut& cut = all[i];
        const unsigned cutSeed = seed + unsigned(i);
        judge(trial,
              cut.kept ? vfs.crashStateKeeping(cut.position, cutSeed, cut.kept, cut.garble)
                       : vfs.crashState(cut.position, cutSeed, cut.folder, cut.garble),
              cut.position, figures);
    }
    qInfo("%s: %d operations, %d syncs, done at %d; %d states checked in %.1f s (%d with the old file, %d with the "
          "new): %d without the database, %d would not open, %d damaged, %d with wrong rows, %d undone once done, "
          "%d with a journal left, %d with leftovers the next run did not clear",
          qPrintable(trial.what), vfs.position(), int(vfs.syncPositions().size()), trial.done, figures.states,
          double(clock.elapsed()) / 1000.0, figures.oldFile, figures.newFile, figures.withoutDatabase, figures.unopened,
          figures.damaged, figures.wrongRows, figures.undone, figures.journalLeft, figures.leftovers);
    for (const QString& problem : figures.problems)
        qInfo("  %s", qPrintable(problem));
    return figures;
}

void verify(const Figures& figures)
{
    QCOMPARE(figures.withoutDatabase, 0);
    QCOMPARE(figures.unopened, 0);
    QCOMPARE(figures.damaged, 0);
    QCOMPARE(figures.wrongRows, 0);
    QCOMPARE(figures.undone, 0);
    QCOMPARE(figures.journalLeft, 0);
    QCOMPARE(figures.leftovers, 0);
    // Cuts on both sides of the replacement, or the trial proved nothing.
    QVERIFY(figures.oldFile > 0);
    QVERIFY(figures.newFile > 0);
}

} // namespace

class TestPowerCutUpkeep : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    // The application folder of a trial: as ordinary saves leave it, or as a
    // power cut left it while a call was being saved.
    QString startingFolder(const QString& start)
    {
        const QString clean = m_dir.filePath(QStringLiteral("clean"));
        const QString folder = m_dir.filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
        if (!QFileInfo::exists(clean) && !makeDatabase(clean, QStringLiteral("Ball jam"), 1200))
            return {};
        const QString copy = folder + QStringLiteral("-before");
        if (!copyFolder(clean, start == QLatin1String("clean") ? folder : copy))
            return {};
        return start == QLatin1String("clean") || cutShortSave(copy, folder) ? folder : QString();
    }

    static void starts_data()
    {
        QTest::addColumn<QString>("start");
        QTest::newRow("after ordinary saves") << "clean";
        QTest::newRow("after a save cut short") << "cut short";
    }

private slots:
    void initTestCase()
    {
        CrashVfs::install();
        QVERIFY(m_dir.isValid());
    }
    void cleanup() { CrashVfs::install().stop(); }

    void compactingSurvivesAPowerCut_data() { starts_data(); }
    void compactingSurvivesAPowerCut()
    {
        QFETCH(QString, start);
        const QString folder = startingFolder(start);
        QVERIFY2(!folder.isEmpty(), "no starting folder");
        CrashVfs& vfs = CrashVfs::install();
        vfs.record(folder);
        Trial trial{QStringLiteral("compacting, ") + start, {}, storedRows(folder), {}, {}, -1};
        QVERIFY(!trial.before.isEmpty());
        const store::Error outcome = upkeep::dbfile::compactDatabase(pathIn(folder));
        QVERIFY2(!outcome, qPrintable(outcome.text()));
        trial.done = vfs.position();
        vfs.stop();
        trial.after = storedRows(folder);
        QCOMPARE(trial.after, trial.before);
        QFile file(pathIn(folder));
        QVERIFY(file.open(QIODevice::ReadOnly));
        trial.newFile = file.readAll();
        verify(cutEverywhere(trial, 20041213));
    }

    void restoringSurvivesAPowerCut_data() { starts_data(); }
    void restoringSurvivesAPowerCut()
    {
        QFETCH(QString, start);
        const QString backedUp = m_dir.filePath(QStringLiteral("backed up"));
        const QString archive = m_dir.filePath(QStringLiteral("drive/VevoDorivBackup.zip"));
        if (!QFileInfo::exists(archive)) {
            QVERIFY(makeDatabase(backedUp, QStringLiteral("Pin deck"), 500));
            QVERIFY(QDir().mkpath(QFileInfo(archive).absolutePath()));
            upkeep::zip::ZipMain zip;
            zip.setArchivePath(archive);
            zip.setFileList(pathIn(backedUp) + QLatin1Char('\r'));
            QCOMPARE(zip.Add(0), upkeep::zip::result::Success);
        }
        const QString folder = startingFolder(start);
        QVERIFY2(!folder.isEmpty(), "no starting folder");
        CrashVfs& vfs = CrashVfs::install();
        vfs.record(folder);
        Trial trial{QStringLiteral("restoring, ") + start, archive, storedRows(folder), storedRows(backedUp), {}, -1};
        QVERIFY(!trial.before.isEmpty() && !trial.after.isEmpty() && trial.before != trial.after);
        QVERIFY(restore(archive, folder, &trial.done));
        vfs.stop();
        QCOMPARE(storedRows(folder), trial.after);
        QFile file(pathIn(folder));
        QVERIFY(file.open(QIODevice::ReadOnly));
        trial.newFile = file.readAll();
        verify(cutEverywhere(trial, 20041214));
    }
};

QTEST_GUILESS_MAIN(TestPowerCutUpkeep)
#include "test_powercutupkeep.moc"
