// The grid's table model over a record source: a model by Qt's rules, rows
// as stored, edits through the record source's checks, and the current record.
#include "support/TestApp.h"

#include "support/CallLogGenerator.h"
#include "store/FieldValue.h"
#include "ui/RecordSource.h"
#include "ui/RecordTableModel.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using ui::RecordSource;
using ui::RecordTableModel;

namespace {

const QList<RecordTableModel::Column> kColumns = {
    {QStringLiteral("DateNow"), QStringLiteral("Date")},         {QStringLiteral("Time"), QStringLiteral("Time")},
    {QStringLiteral("Weekday"), QStringLiteral("Weekday")},      {QStringLiteral("LaneNo"), QStringLiteral("Lane #")},
    {QStringLiteral("Callmade"), QStringLiteral("Actual Call")}, {QStringLiteral("Notes"), QStringLiteral("Notes")},
    {QStringLiteral("Name1"), QStringLiteral("Mech. #1")},       {QStringLiteral("Name2"), QStringLiteral("Mech. #2")},
    {QStringLiteral("Type"), QStringLiteral("Category")}};

struct Grid {
    explicit Grid(const QString& path)
    {
        source = new RecordSource(&form, QStringLiteral("Data1"), QStringLiteral("DData"));
        source->setDatabaseName(path);
        lane = new QLineEdit(&form);
        source->bind(lane, QStringLiteral("LaneNo"));
        model = new RecordTableModel(source, kColumns, &form);
        tester = new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, &form);
    }
    QWidget form;
    RecordSource* source;
    QLineEdit* lane;
    RecordTableModel* model;
    QAbstractItemModelTester* tester;
};

QString cell(RecordTableModel* model, int row, int column)
{
    return model->data(model->index(row, column)).toString();
}

} // namespace

class TestRecordTableModel : public QObject {
    Q_OBJECT
private slots:
    void rowsAreTheStoredCallsInOrder()
    {
        testing::TestApp app;
        testing::CallLogGenerator generator;
        QString error;
        QVERIFY(generator.fill(app.databasePath(), 300, &error));
        Grid grid(app.databasePath());
        QVERIFY(grid.source->Refresh());
        QCOMPARE(grid.model->rowCount(), 300);
        QCOMPARE(grid.model->columnCount(), 9);
        QCOMPARE(grid.model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Lane #"));
        for (int row : {0, 1, 150, 299}) {
            const QStringList stored =
                app.rows(QStringLiteral("SELECT DateNow, LaneNo, callmade FROM DData ORDER BY Recno LIMIT 1 OFFSET %1")
                             .arg(row))
                    .first()
                    .split(QLatin1Char('|'));
            const QDate date = QDate::fromString(stored.at(0), Qt::ISODate);
            QCOMPARE(cell(grid.model, row, 0), store::toText(store::FieldType::Date, date));
            QCOMPARE(cell(grid.model, row, 3), stored.at(1));
            QCOMPARE(cell(grid.model, row, 4), stored.at(2));
        }
        QVERIFY(grid.model->flags(grid.model->index(0, 3)).testFlag(Qt::ItemIsEditable));
    }

    void editsGoThroughTheChecksOfTheScreens_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("stored");
        QTest::newRow("lane") << 3 << "12" << QString() << "12";
        QTest::newRow("lane, letters") << 3 << "1-2"
                                       << "\"1-2\" is not a number."
                                       << "5";
        QTest::newRow("date, impossible") << 0 << "13/45/2004"
                                          << "is not a date."
                                          << "2004-12-06";
        QTest::newRow("date, in the user's form") << 0 << testing::shownDate(2004, 12, 25) << QString() << "2004-12-25";
        QTest::newRow("call") << 4 << "Deck jammed" << QString() << "Deck jammed";
    }
    void editsGoThroughTheChecksOfTheScreens()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        QFETCH(QString, stored);
        testing::TestApp app;
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (DateNow, LaneNo, callmade) VALUES ('2004-12-06', 5, "
                                        "'Pin jam'), ('2004-12-07', 6, 'Ball stuck')")));
        Grid grid(app.databasePath());
        QVERIFY(grid.source->Refresh());
        const bool accepted = grid.model->setData(grid.model->index(0, column), typed);
        QCOMPARE(accepted, refusal.isEmpty());
        if (!refusal.isEmpty()) {
            QCOMPARE(app.messages().seen.size(), 1);
            QVERIFY2(app.messages().seen.first().text.contains(refusal), qPrintable(app.messages().seen.first().text));
        }
        const QString field = kColumns.at(column).field;
        QCOMPARE(app.scalar(QStringLiteral("SELECT \"%1\" FROM DData WHERE Recno = 1").arg(field)).toString(), stored);
        QCOMPARE(app.scalar(QStringLiteral("SELECT LaneNo FROM DData WHERE Recno = 2")).toInt(), 6);
    }

    void followsTheCurrentRecordAndItsChanges()
    {
        testing::TestApp app;
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (LaneNo) VALUES (1), (2), (3)")));
        Grid grid(app.databasePath());
        QVERIFY(grid.source->Refresh());
        QCOMPARE(grid.model->currentRow(), 0);
        grid.source->step(2);
        QCOMPARE(grid.model->currentRow(), 2);
        QVERIFY(grid.source->moveToPosition(1));
        QCOMPARE(grid.lane->text(), QStringLiteral("2"));

        // Typed in a bound box, stored by the move: the grid shows it.
        grid.lane->setText(QStringLiteral("22"));
        QVERIFY(grid.source->moveToPosition(0));
        QCOMPARE(cell(grid.model, 1, 3), QStringLiteral("22"));

        // A record added at the end appears as a new last row.
        QSignalSpy inserted(grid.model, &QAbstractItemModel::rowsInserted);
        grid.source->Recordset().AddNew();
        grid.lane->setText(QStringLiteral("4"));
        QVERIFY(grid.source->UpdateRecord());
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(grid.model->rowCount(), 4);
        QCOMPARE(cell(grid.model, 3, 3), QStringLiteral("4"));
        QCOMPARE(grid.model->currentRow(), 3);

        // Another filter on the same source: the grid shows its rows only.
        grid.source->setRecordSource(QStringLiteral("Select DData.* From DData Where [LaneNo] > 3"));
        QVERIFY(grid.source->Refresh());
        QCOMPARE(grid.model->rowCount(), 2);
        QCOMPARE(cell(grid.model, 0, 3), QStringLiteral("22"));
    }
};

QTEST_MAIN(TestRecordTableModel)
#include "test_recordtablemodel.moc"
