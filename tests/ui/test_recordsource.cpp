// The record source against a real database file: adding, storing, moving,
// write-back, visibility between sources, type codes and failures.
#include "support/TestApp.h"

#include "store/Database.h"
#include "ui/MaskedDateEdit.h"
#include "ui/RecordSource.h"
#include "ui/Screen.h"
#include "ui/ScreenRegistry.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

using store::FieldType;
using ui::RecordSource;

namespace {

// A form with a source on DData and a few bound boxes.
struct CallForm {
    explicit CallForm(const QString& path)
    {
        source = new RecordSource(&form, QStringLiteral("Data2"), QStringLiteral("DData"));
        source->setDatabaseName(path);
        lane = new QLineEdit(&form);
        call = new QLineEdit(&form);
        notes = new QPlainTextEdit(&form);
        recno = new QLabel(&form);
        source->bind(lane, QStringLiteral("LaneNo"));
        source->bind(call, QStringLiteral("callmade"));
        source->bind(notes, QStringLiteral("Notes"));
        source->bind(recno, QStringLiteral("Recno"));
    }
    QWidget form;
    RecordSource* source;
    QLineEdit* lane;
    QLineEdit* call;
    QPlainTextEdit* notes;
    QLabel* recno;
};

void addCall(CallForm& f, const QString& lane, const QString& call)
{
    f.source->Recordset().AddNew();
    f.lane->setText(lane);
    f.call->setText(call);
    QVERIFY(f.source->UpdateRecord());
}

} // namespace

class TestRecordSource : public QObject {
    Q_OBJECT
private slots:
    void addStoreAndMoveInInsertionOrder()
    {
        testing::TestApp app;
        CallForm f(app.databasePath());
        QVERIFY(f.source->Refresh());
        QVERIFY(!f.source->Recordset().hasCurrent());
        QCOMPARE(f.source->Recordset().RecordCount(), 0);

        addCall(f, QStringLiteral("7"), QStringLiteral("Ball stuck in pit"));
        QCOMPARE(f.recno->text(), QStringLiteral("1")); // the store's record number shows at once
        addCall(f, QStringLiteral("12"), QStringLiteral("Deck not lowering"));
        addCall(f, QStringLiteral("3"), QStringLiteral("Breaker tripped"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 3);
        QCOMPARE(app.scalar(QStringLiteral("SELECT LaneNo FROM DData WHERE Recno = 2")).toInt(), 12);

        QVERIFY(f.source->Refresh());
        QCOMPARE(f.call->text(), QStringLiteral("Ball stuck in pit"));
        QVERIFY(f.source->Recordset().MoveNext());
        QCOMPARE(f.call->text(), QStringLiteral("Deck not lowering"));
        QVERIFY(f.source->Recordset().MoveLast());
        QCOMPARE(f.lane->text(), QStringLiteral("3"));
        QVERIFY(!f.source->Recordset().MoveNext());
        QVERIFY(f.source->Recordset().isEOF());
        QVERIFY(f.source->Recordset().MovePrevious());
        QCOMPARE(f.lane->text(), QStringLiteral("12"));
        QCOMPARE(f.source->Recordset().RecordCount(), 3);
    }

    void repositionFiresOnOpenAndMoves()
    {
        testing::TestApp app;
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DWork (DateNow, mecha1) VALUES ('2004-12-06', 'Dave')")));
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DWork (DateNow, mecha1) VALUES ('2004-12-07', 'Ray')")));
        QWidget form;
        RecordSource source(&form, QStringLiteral("Data1"), QStringLiteral("DWork"));
        source.setDatabaseName(app.databasePath());
        int repositions = 0;
        connect(&source, &RecordSource::Reposition, &form, [&] { ++repositions; });
        QVERIFY(source.Refresh());
        QCOMPARE(repositions, 1);
        source.Recordset().MoveNext();
        QCOMPARE(repositions, 2);
        QCOMPARE(source.Recordset().value(QStringLiteral("mecha1")).toString(), QStringLiteral("Ray"));
    }

    void writeBackOnMoveAndNotWhenUnchanged()
    {
        testing::TestApp app;
        CallForm f(app.databasePath());
        QVERIFY(f.source->Refresh());
        addCall(f, QStringLiteral("1"), QStringLiteral("First"));
        addCall(f, QStringLiteral("2"), QStringLiteral("Second"));
        QVERIFY(f.source->Refresh());
        f.call->setText(QStringLiteral("First, corrected"));
        f.notes->setPlainText(QStringLiteral("line one\nline two"));
        QVERIFY(f.source->Recordset().MoveNext());
        QCOMPARE(app.scalar(QStringLiteral("SELECT callmade FROM DData WHERE Recno = 1")).toString(),
                 QStringLiteral("First, corrected"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT Notes FROM DData WHERE Recno = 1")).toString(),
                 QStringLiteral("line one\nline two"));
        // Leaving an unchanged record writes nothing: an outside change survives.
        QVERIFY(app.exec(QStringLiteral("UPDATE DData SET callmade = 'outside' WHERE Recno = 2")));
        QVERIFY(f.source->Recordset().MoveFirst());
        QCOMPARE(app.scalar(QStringLiteral("SELECT callmade FROM DData WHERE Recno = 2")).toString(),
                 QStringLiteral("outside"));
    }

    void untouchedValuesAreNeverRewritten()
    {
        testing::TestApp app;
        // Line ends a notes box cannot show as stored, and a lane stored as a decimal.
        QVERIFY(app.exec(QStringLiteral(
            "INSERT INTO DData (LaneNo, callmade, Notes) VALUES (7.5, 'Old call', 'one' || char(13, 10) || 'two')")));
        CallForm f(app.databasePath());
        QVERIFY(f.source->Refresh());
        QCOMPARE(f.notes->toPlainText(), QStringLiteral("one\ntwo"));
        f.source->Recordset().AddNew(); // leaves the stored record
        f.lane->setText(QStringLiteral("3"));
        QVERIFY(f.source->UpdateRecord());
        QCOMPARE(app.scalar(QStringLiteral("SELECT Notes FROM DData WHERE Recno = 1")).toString(),
                 QStringLiteral("one\r\ntwo"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT LaneNo FROM DData WHERE Recno = 1")).toDouble(), 7.5);
    }

    void twoControlsOnOneFieldAgreeAfterStoring()
    {
        testing::TestApp app;
        QWidget form;
        RecordSource source(&form, QStringLiteral("Data1"), QStringLiteral("PWord"));
        source.setDatabaseName(app.databasePath());
        auto* password = new QLineEdit(&form);
        auto* confirm = new QLineEdit(&form);
        source.bind(password, QStringLiteral("assign"));
        source.bind(confirm, QStringLiteral("assign"));
        QVERIFY(source.Refresh());
        password->setText(QStringLiteral("lanes"));
        QVERIFY(source.UpdateRecord());
        QCOMPARE(confirm->text(), QStringLiteral("lanes"));
        // Closing writes nothing back over it.
        QVERIFY(source.writeBackOnClose());
        QCOMPARE(app.scalar(QStringLiteral("SELECT assign FROM PWord")).toString(), QStringLiteral("lanes"));
    }

    void newRecordWithNothingSetIsNeverStored()
    {
        testing::TestApp app;
        CallForm f(app.databasePath());
        QVERIFY(f.source->Refresh());
        f.source->Recordset().AddNew();
        QVERIFY(f.source->UpdateRecord());
        f.source->Recordset().MoveFirst();
        QVERIFY(f.source->Refresh());
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 0);
    }

    void secondSourceSeesNewRowsAfterRefresh()
    {
        testing::TestApp app;
        CallForm writer(app.databasePath());
        CallForm reader(app.databasePath());
        QVERIFY(writer.source->Refresh());
        addCall(writer, QStringLiteral("5"), QStringLiteral("Existing"));
        QVERIFY(reader.source->Refresh());
        addCall(writer, QStringLiteral("6"), QStringLiteral("Added later"));
        QCOMPARE(reader.source->Recordset().RecordCount(), 1);
        reader.source->Recordset().MoveLast();
        QCOMPARE(reader.call->text(), QStringLiteral("Existing"));
        QVERIFY(reader.source->Refresh());
        QCOMPARE(reader.source->Recordset().RecordCount(), 2);
        reader.source->Recordset().MoveLast();
        QCOMPARE(reader.call->text(), QStringLiteral("Added later"));
    }

    void cancelAndDelete()
    {
        testing::TestApp app;
        CallForm f(app.databasePath());
        QVERIFY(f.source->Refresh());
        addCall(f, QStringLiteral("1"), QStringLiteral("Kept"));
        f.source->Recordset().AddNew();
        f.call->setText(QStringLiteral("Dropped"));
        f.source->Recordset().CancelUpdate();
        QCOMPARE(f.source->Recordset().value(QStringLiteral("callmade")).toString(), QStringLiteral("Kept"));
        addCall(f, QStringLiteral("99"), QStringLiteral("Withdrawn"));
        QVERIFY(f.source->Recordset().MoveLast());
        QVERIFY(f.source->Recordset().Delete());
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 1);
        QCOMPARE(f.source->Recordset().RecordCount(), 1);
    }

    void fieldTypeCodes()
    {
        testing::TestApp app;
        QWidget form;
        RecordSource source(&form, QStringLiteral("Data1"), QStringLiteral("DData"));
        source.setDatabaseName(app.databasePath());
        QVERIFY(source.Refresh());
        QHash<QString, FieldType> types;
        for (const auto& field : source.Recordset().Fields())
            types.insert(field.name, field.type);
        QCOMPARE(types.size(), 10);
        QCOMPARE(types.value(QStringLiteral("DateNow")), FieldType::Date);
        QCOMPARE(types.value(QStringLiteral("LaneNo")), FieldType::Long);
        QCOMPARE(types.value(QStringLiteral("callmade")), FieldType::Text);
        QCOMPARE(types.value(QStringLiteral("Notes")), FieldType::Memo);
        QCOMPARE(types.value(QStringLiteral("Recno")), FieldType::Long);
        QCOMPARE(int(types.value(QStringLiteral("DateNow"))), 8);
        QCOMPARE(int(types.value(QStringLiteral("Notes"))), 12);
        // Field names match without regard to case.
        QCOMPARE(source.Recordset().fieldIndex(QStringLiteral("Callmade")),
                 source.Recordset().fieldIndex(QStringLiteral("callmade")));
    }

    void boundDatesAndChecks()
    {
        testing::TestApp app;
        QWidget form;
        RecordSource source(&form, QStringLiteral("Data1"), QStringLiteral("Frames"));
        source.setDatabaseName(app.databasePath());
        auto* date = new ui::MaskedDateEdit(&form);
        auto* shown = new QLabel(&form);
        auto* open = new QLineEdit(&form);
        source.bind(date, QStringLiteral("DateNow"));
        source.bind(shown, QStringLiteral("DateNow"));
        source.bind(open, QStringLiteral("Open"));
        QVERIFY(source.Refresh());
        QCOMPARE(date->maskedText(), QStringLiteral("__/__/____"));
        source.Recordset().AddNew();
        QTest::keyClicks(date, QStringLiteral("12072004"));
        open->setText(QStringLiteral("250"));
        QVERIFY(source.UpdateRecord());
        QCOMPARE(app.scalar(QStringLiteral("SELECT DateNow FROM Frames")).toString(), QStringLiteral("2004-12-07"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT Open FROM Frames")).toInt(), 250);
        QCOMPARE(shown->text(), testing::shownDate(2004, 12, 7));
        QCOMPARE(date->maskedText(), QStringLiteral("12/07/2004"));

        // A value that does not fit its field is refused with a message; nothing is written.
        open->setText(QStringLiteral("many"));
        QVERIFY(!source.UpdateRecord());
        QCOMPARE(app.messages().seen.size(), 1);
        QVERIFY(app.messages().seen.first().text.contains(QStringLiteral("\"many\" is not a number.")));
        QCOMPARE(app.scalar(QStringLiteral("SELECT Open FROM Frames")).toInt(), 250);
    }

    void missingDamagedAndForeignFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("cannot be found");
        QTest::newRow("text file") << QByteArray("not a database at all, just text")
                                   << QStringLiteral("is not a Tarrowby Stopwell database");
        QTest::newRow("damaged") << QByteArray("SQLite format 3\0garbage garbage garbage", 40)
                                 << QStringLiteral("is not a Tarrowby Stopwell database");
    }
    void missingDamagedAndForeignFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        testing::TestApp app;
        const QString path = app.folder() + QStringLiteral("/Other.mdb");
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QWidget form;
        RecordSource source(&form, QStringLiteral("Data1"), QStringLiteral("DData"));
        source.setDatabaseName(path);
        QVERIFY(!source.Refresh());
        QCOMPARE(app.messages().seen.size(), 1);
        const QString text = app.messages().seen.first().text;
        QVERIFY2(text.contains(expected), qPrintable(text));
        QVERIFY2(text.contains(path), qPrintable(text));
        QCOMPARE(QFile::exists(path), !content.isEmpty()); // nothing is created in its place
        QCOMPARE(QFile(path).size(), qint64(content.size()));
    }

    void theDatabaseNameIgnoresCase()
    {
        testing::TestApp app;
        const QString upper = app.folder() + QStringLiteral("/ZUVEVADU.MDB");
        QVERIFY(QFile::rename(app.databasePath(), upper));
        QCOMPARE(ui::databasePath(), upper);
        CallForm f(ui::databasePath());
        QVERIFY(f.source->Refresh());
        addCall(f, QStringLiteral("3"), QStringLiteral("Stored in the file as it is named"));
        QVERIFY(!QFile::exists(app.databasePath()));
        QVERIFY(QFile::rename(upper, app.databasePath()));
        QCOMPARE(app.scalar(QStringLiteral("SELECT callmade FROM DData")).toString(),
                 QStringLiteral("Stored in the file as it is named"));
    }

    // A file another program holds locked is "in use", never "damaged": the
    // user may try again, and gets in once the lock is gone.
    void aLockedFileIsInUseAndCanBeTriedAgain()
    {
        testing::TestApp app;
        store::Database::setBusyTimeout(100);
        QVERIFY(app.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        CallForm f(app.databasePath());
        app.messages().answers.enqueue(ui::Answer::Retry);
        app.messages().onAsk = [&](const ui::Message& message) {
            if (app.messages().seen.size() == 2)
                app.exec(QStringLiteral("ROLLBACK")); // the other program lets go while the second question is up
            QVERIFY(!message.text.contains(QLatin1String("damaged")));
        };
        app.messages().answers.enqueue(ui::Answer::Retry);
        QVERIFY(f.source->Refresh());
        QCOMPARE(app.messages().seen.size(), 2);
        QVERIFY(app.messages().seen.first().text.contains(QLatin1String("is in use by another program")));
        QCOMPARE(app.messages().seen.first().buttons, ui::Buttons::RetryCancel);
        store::Database::setBusyTimeout(4000);
    }

    void aReadOnlyFileIsToldWhenTheScreenOpens()
    {
        testing::TestApp app;
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), app.databasePath()}) != 0)
            QSKIP("this file system cannot make a file read-only for the superuser");
        auto undo = qScopeGuard([&] {
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), app.databasePath()});
        });
        CallForm f(app.databasePath());
        QVERIFY(f.source->Refresh());
        QCOMPARE(app.messages().seen.size(), 1);
        QVERIFY(app.messages().seen.first().text.contains(QLatin1String("can only be read")));
        // Storing then says the same, with the engine's words only as the detail.
        f.source->Recordset().AddNew();
        f.lane->setText(QStringLiteral("4"));
        QVERIFY(!f.source->UpdateRecord());
        const QString refusal = app.messages().seen.last().text;
        QVERIFY2(refusal.startsWith(QLatin1String("The record could not be stored in DData.")), qPrintable(refusal));
        QVERIFY(refusal.contains(QLatin1String("can only be read")));
    }

    void aSqliteFileOfAnotherProgramIsRefused()
    {
        testing::TestApp app;
        const QString path = app.folder() + QStringLiteral("/foreign.mdb");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery(db).exec(QStringLiteral("CREATE TABLE Customers (name TEXT)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
        store::Error error;
        QVERIFY(!store::Database::open(path, &error));
        QVERIFY2(error.text().contains(QStringLiteral("has no table DData")), qPrintable(error.text()));
    }

    void aFailedWriteIsReportedAndLeavesNoHalfRecord()
    {
        testing::TestApp app;
        QVERIFY(app.exec(QStringLiteral(
            "CREATE TRIGGER full BEFORE INSERT ON DData BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END")));
        CallForm f(app.databasePath());
        QVERIFY(f.source->Refresh());
        f.source->Recordset().AddNew();
        f.lane->setText(QStringLiteral("4"));
        QVERIFY(!f.source->UpdateRecord());
        QCOMPARE(app.messages().seen.size(), 1);
        QVERIFY(app.messages().seen.first().text.contains(QStringLiteral("could not be stored in DData")));
        QVERIFY(app.messages().seen.first().text.contains(QStringLiteral("disk is full")));
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 0);
        // The record is still pending: once the disk has room it can be stored.
        QVERIFY(f.source->Recordset().isNew());
        QVERIFY(app.exec(QStringLiteral("DROP TRIGGER full")));
        QVERIFY(f.source->UpdateRecord());
        QCOMPARE(app.scalar(QStringLiteral("SELECT LaneNo FROM DData")).toInt(), 4);
    }

    void statementSourceKeepsItsKeysAndExecuteDeletes()
    {
        testing::TestApp app;
        for (int lane : {3, 8, 3, 5})
            QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (LaneNo, callmade) VALUES (%1, 'x')").arg(lane)));
        QWidget form;
        RecordSource source(&form, QStringLiteral("Data1"),
                            QStringLiteral("Select [DData].* From DData Where [LaneNo] = 3 ORDER BY Recno DESC"));
        source.setDatabaseName(app.databasePath());
        QVERIFY(source.Refresh());
        QCOMPARE(source.Recordset().RecordCount(), 2);
        QCOMPARE(source.Recordset().value(QStringLiteral("Recno")).toInt(), 3);
        int deleted = 0;
        QVERIFY(source.Execute(QStringLiteral("Delete * From DData Where LaneNo = 3"), &deleted));
        QCOMPARE(deleted, 2);
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 2);
    }

    void tryRefreshReturnsTheFailureInsteadOfShowingIt()
    {
        testing::TestApp app;
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (LaneNo, callmade) VALUES (4, 'x')")));
        CallForm f(app.databasePath());
        QVERIFY(f.source->Refresh());
        int reopened = 0;
        connect(f.source, &RecordSource::reopened, this, [&] { ++reopened; });
        // A statement the store refuses: told to the caller, never shown, nothing run.
        f.source->setRecordSource(QStringLiteral("Delete * From DData"));
        store::Error error;
        QVERIFY(!f.source->tryRefresh(&error));
        QCOMPARE(error.kind, store::Error::Kind::Refused);
        QVERIFY(app.messages().seen.isEmpty());
        QVERIFY(!f.source->isOpen());
        QCOMPARE(f.lane->text(), QString());
        QCOMPARE(reopened, 1);
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 1);
        // An edit typed before a good refresh is stored first, as Refresh stores it.
        f.source->setRecordSource(QStringLiteral("DData"));
        QVERIFY(f.source->tryRefresh(&error));
        QVERIFY(!error);
        f.lane->setText(QStringLiteral("7"));
        QVERIFY(f.source->tryRefresh(&error));
        QCOMPARE(app.scalar(QStringLiteral("SELECT LaneNo FROM DData")).toInt(), 7);
        // An edit that cannot be stored stops the refresh; the user was told, the error is empty.
        f.lane->setText(QStringLiteral("seven"));
        QVERIFY(!f.source->tryRefresh(&error));
        QVERIFY(!error);
        QCOMPARE(app.messages().seen.size(), 1);
        QVERIFY(f.source->isOpen());
    }

    void exitStoresEditsAndDropsHalfMadeRecords()
    {
        testing::TestApp app;
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DWork (DateNow, mecha1) VALUES ('2004-12-06', 'Dave')")));
        auto& registry = ui::ScreenRegistry::instance();
        registry.add(QStringLiteral("EditForm"), [path = app.databasePath()] {
            auto* screen = new ui::Screen(QStringLiteral("EditForm"), QStringLiteral("Edit"), QSize(200, 100));
            auto* source = new RecordSource(screen->canvas(), QStringLiteral("Data1"), QStringLiteral("DWork"));
            source->setDatabaseName(path);
            auto* name = new QLineEdit(screen->canvas());
            name->setObjectName(QStringLiteral("Text3"));
            source->bind(name, QStringLiteral("mecha1"));
            return screen;
        });
        registry.add(QStringLiteral("AddForm"), [path = app.databasePath()] {
            auto* screen = new ui::Screen(QStringLiteral("AddForm"), QStringLiteral("Add"), QSize(200, 100));
            auto* source = new RecordSource(screen->canvas(), QStringLiteral("Data2"), QStringLiteral("DData"));
            source->setDatabaseName(path);
            auto* lane = new QLineEdit(screen->canvas());
            lane->setObjectName(QStringLiteral("Text5"));
            source->bind(lane, QStringLiteral("LaneNo"));
            return screen;
        });
        registry.control<QLineEdit>(QStringLiteral("EditForm"), QStringLiteral("Text3"))
            ->setText(QStringLiteral("David"));
        registry.load(QStringLiteral("AddForm"))->findChild<RecordSource*>()->Recordset().AddNew();
        registry.control<QLineEdit>(QStringLiteral("AddForm"), QStringLiteral("Text5"))->setText(QStringLiteral("9"));
        registry.exitProgram();
        QVERIFY(app.quitRequested());
        QCOMPARE(app.scalar(QStringLiteral("SELECT mecha1 FROM DWork")).toString(), QStringLiteral("David"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 0);
    }
};

QTEST_MAIN(TestRecordSource)
#include "test_recordsource.moc"
