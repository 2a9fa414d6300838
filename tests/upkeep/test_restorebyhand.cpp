// Restoring by hand through the backup window and its extract dialog: what
// the database engine would read beside the database is never written there,
// the program's report and help files are replaced only when the user says
// so, and names from other systems or too long for the disk are handled and
// told.
#include "ZipCraft.h"
#include "support/TestApp.h"

#include "ui/ScreenRegistry.h"
#include "upkeep/ExtractDialog.h"
#include "upkeep/frmZipCreate.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QUuid>

using upkeep::frmZipCreate;
using Texts = QStringList;

namespace {

const QString kSkipped = QStringLiteral("Some files were skipped while extracting.");

ui::ScreenRegistry& screens()
{
    return ui::ScreenRegistry::instance();
}

/// One value read from a database file through a connection of its own, as
/// the program's next start would open it; empty when it cannot be read.
QString valueIn(const QString& path, const QString& sql)
{
    const QString name = QUuid::createUuid().toString();
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(sql) && q.next())
            value = q.value(0).toString();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

/// The journal of another database caught in the middle of a large change:
/// played back into a file, it writes that other database's pages over it.
QByteArray hotJournal(const QString& folder)
{
    const QString other = QDir(folder).filePath(QStringLiteral("other.db"));
    const QString name = QUuid::createUuid().toString();
    QByteArray journal;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(other);
        QSqlQuery q(db);
        if (db.open()) {
            for (const char* sql : {"PRAGMA journal_mode=DELETE", "PRAGMA cache_size=2", "CREATE TABLE t(a)",
                                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                                    "INSERT INTO t SELECT randomblob(2000) FROM n",
                                    "BEGIN", "UPDATE t SET a = randomblob(2000)"})
                q.exec(QString::fromLatin1(sql));
            journal = testing::readFile(other + QStringLiteral("-journal"));
            q.exec(QStringLiteral("ROLLBACK"));
        }
    }
    QSqlDatabase::removeDatabase(name);
    QFile::remove(other);
    return journal;
}

/// Opens `archive` in the backup window and restores every entry by hand into `folder`.
void restoreByHand(testing::TestApp& app, frmZipCreate* window, const QString& archive, const QString& folder)
{
    app.fileDialog().names << archive;
    window->mnuFileOpen_Click();
    window->mnuEditSelectAll_Click();
    QTimer::singleShot(0, [folder] {
        auto* dialog = qobject_cast<upkeep::ExtractDialog*>(screens().find(QStringLiteral("ExtractDialog")));
        if (!dialog) {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
            return;
        }
        dialog->txtExtract->setText(folder);
        dialog->cmdSelect->click();
    });
    window->mnuEditExtract_Click();
}

/// Names in `folder` that the database engine would read beside a database.
QStringList engineFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*-journal"), QStringLiteral("*-wal"), QStringLiteral("*-shm")},
                                  QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestRestoreByHand : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void journalsAndLogsNeverReachTheDatabase()
    {
        testing::TestApp app;
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (LaneNo, callmade) VALUES (4, 'Ball stuck in pit')")));
        const QString calls = valueIn(app.databasePath(), QStringLiteral("SELECT count(*) FROM DData"));
        const QByteArray journal = hotJournal(app.folder());
        QVERIFY(journal.size() > 4096);
        const QString archive = QDir(app.folder()).filePath(QStringLiteral("planted.zip"));
        QVERIFY(testing::makeArchive(archive, {{"Zuvevadu.mdb-journal", journal},
                                               {"ZUVEVADU.MDB-WAL", "log"},
                                               {"zuvevadu.mdb-shm/held.txt", "held"},
                                               {"SL.MDB-journal", journal},
                                               {"notes.txt", "notes"}}));
        auto* window = qobject_cast<frmZipCreate*>(screens().show(QStringLiteral("frmZipCreate")));
        restoreByHand(app, window, archive, app.folder());

        const QString why = QStringLiteral("' was not restored: the database would read a file of that name beside "
                                           "it and could be damaged. Your database is as it was.");
        QCOMPARE(app.messages().texts(),
                 (Texts{QStringLiteral("'Zuvevadu.mdb-journal") + why, QStringLiteral("'ZUVEVADU.MDB-WAL") + why,
                        QStringLiteral("'zuvevadu.mdb-shm") + why, QStringLiteral("'SL.MDB-journal") + why, kSkipped}));
        QCOMPARE(app.messages().seen.first().icon, ui::Icon::Exclamation);
        QCOMPARE(engineFiles(app.folder()), QStringList());
        QCOMPARE(testing::readFile(QDir(app.folder()).filePath(QStringLiteral("notes.txt"))), QByteArray("notes"));
        // As the next start opens it.
        QCOMPARE(valueIn(app.databasePath(), QStringLiteral("SELECT count(*) FROM DData")), calls);
        QCOMPARE(valueIn(app.databasePath(), QStringLiteral("SELECT callmade FROM DData WHERE LaneNo = 4")),
                 QStringLiteral("Ball stuck in pit"));
        QCOMPARE(valueIn(app.databasePath(), QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));

        // Elsewhere such names are ordinary files.
        const QString elsewhere = QDir(app.folder()).filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere));
        app.messages().seen.clear();
        window->mnuFileClose_Click();
        restoreByHand(app, window, archive, elsewhere);
        QCOMPARE(app.messages().texts(), Texts());
        QCOMPARE(engineFiles(elsewhere).size(), 4);
    }

    void programFilesAreReplacedOnlyWhenTheUserSaysSo()
    {
        testing::TestApp app;
        const QDir folder(app.folder());
        QVERIFY(testing::writeFile(folder.filePath(QStringLiteral("daily.rpt")), "the centre's report"));
        QVERIFY(testing::writeFile(folder.filePath(QStringLiteral("Stopwell.html")), "the help"));
        const QString archive = folder.filePath(QStringLiteral("old.zip"));
        QVERIFY(testing::makeArchive(archive, {{"DAILY.RPT", "an old report"}, {"Stopwell.html", "old help"}}));
        auto* window = qobject_cast<frmZipCreate*>(screens().show(QStringLiteral("frmZipCreate")));
        app.messages().answers << ui::Answer::No << ui::Answer::Yes;
        restoreByHand(app, window, archive, app.folder());
        auto question = [&folder](const char* name) -> QString {
            return QStringLiteral("The file '") + QDir::toNativeSeparators(folder.filePath(QString::fromLatin1(name))) +
                   QStringLiteral("' already exists. Do you want to replace this file?");
        };
        QCOMPARE(
            app.messages().texts(),
            (Texts{question("daily.rpt"), QStringLiteral("Can't process 'DAILY.RPT', instructed not to overwrite."),
                   question("Stopwell.html"), kSkipped}));
        QCOMPARE(testing::readFile(folder.filePath(QStringLiteral("daily.rpt"))), QByteArray("the centre's report"));
        QCOMPARE(testing::readFile(folder.filePath(QStringLiteral("Stopwell.html"))), QByteArray("old help"));
        QCOMPARE(folder.entryList({QStringLiteral("*.rpt"), QStringLiteral("*.RPT")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("daily.rpt")});
    }

    void namesFromOtherSystemsAndNamesTooLong()
    {
        testing::TestApp app;
        const QString dest = QDir(app.folder()).filePath(QStringLiteral("restored"));
        QVERIFY(QDir().mkpath(dest));
        const QByteArray longName = QByteArray(300, 'x') + ".txt";
        const QString archive = QDir(app.folder()).filePath(QStringLiteral("other.zip"));
        QVERIFY(testing::makeArchive(archive, {{"sub\\notes.txt", "notes"}, {longName, "long"}}));
        auto* window = qobject_cast<frmZipCreate*>(screens().show(QStringLiteral("frmZipCreate")));
        restoreByHand(app, window, archive, dest);
        QCOMPARE(app.messages().texts(), (Texts{QStringLiteral("Can't process '") + QString::fromLatin1(longName) +
                                                    QStringLiteral("', its name is longer than the disk allows."),
                                                kSkipped}));
        QCOMPARE(testing::readFile(QDir(dest).filePath(QStringLiteral("sub/notes.txt"))), QByteArray("notes"));
    }
};

QTEST_MAIN(TestRestoreByHand)
#include "test_restorebyhand.moc"
