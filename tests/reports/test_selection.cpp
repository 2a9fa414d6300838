// Selecting and ordering the rows of a table: the call the filter window uses
// (record numbers in report order), and the same formula run as SQL and
// evaluated row by row in C++ selecting the very same rows.
#include "ReportFixture.h"

#include "reports/engine/Selection.h"
#include "store/Database.h"
#include "support/SelectedRecords.h"
#include "support/TempDatabase.h"

#include <QTest>

#include <sqlite3.h>

using testing::selectRecordIds;

namespace {

QString joined(const QList<qint64>& values)
{
    QStringList parts;
    for (qint64 v : values)
        parts << QString::number(v);
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestSelection : public QObject {
    Q_OBJECT
    // One database with the fixed rows for every case that only reads.
    std::unique_ptr<testing::TempDatabase> m_temp;

private slots:
    void initTestCase()
    {
        m_temp = std::make_unique<testing::TempDatabase>();
        testing::fillReportData(*m_temp);
    }
    void cleanupTestCase() { m_temp.reset(); }

    void theDeepestAcceptedFormulasRunInSqlite()
    {
        // At the nesting limit the formula is read, and SQLite's parser takes what it becomes.
        testing::TempDatabase& temp = *m_temp;
        store::Error error;
        const QString nots = QStringLiteral("not ").repeated(30) + QStringLiteral("({DData.callmade} LIKE \"*jam*\")");
        auto selected = selectRecordIds(temp.databasePath(), QStringLiteral("DData"), nots,
                                        {QStringLiteral("+{DData.Recno}")}, &error, testing::reportToday());
        QVERIFY2(selected, qPrintable(error.text()));
        QCOMPARE(joined(*selected), QStringLiteral("2 6 10"));
        QString ors = QStringLiteral("{DData.LaneNo} = 1");
        for (int i = 0; i < 30; ++i)
            ors = QStringLiteral("({DData.LaneNo} = 99 or ") + ors + QLatin1Char(')');
        selected = selectRecordIds(temp.databasePath(), QStringLiteral("DData"), ors,
                                   {QStringLiteral("+{DData.Recno}")}, &error, testing::reportToday());
        QVERIFY2(selected, qPrintable(error.text()));
        const auto laneOne =
            selectRecordIds(temp.databasePath(), QStringLiteral("DData"), QStringLiteral("{DData.LaneNo} = 1"),
                            {QStringLiteral("+{DData.Recno}")}, &error, testing::reportToday());
        QVERIFY(laneOne && !laneOne->isEmpty());
        QCOMPARE(*selected, *laneOne);
        // One level more is refused by the engine, with the place.
        QVERIFY(!selectRecordIds(temp.databasePath(), QStringLiteral("DData"),
                                 QStringLiteral("({DData.LaneNo} = 99 or ") + ors + QLatin1Char(')'), {}, &error,
                                 testing::reportToday()));
        QVERIFY2(error.text().contains(QLatin1String("nested too deeply")), qPrintable(error.text()));
    }

    void sqlAndEvaluatorAgree_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("expected"); // record numbers, in Recno order
        QTest::newRow("date range prompt")
            << "{DData.DateNow} >= Date (2004,01,05) and {DData.DateNow} <= Date (2004,01,31)"
            << "2 3";
        QTest::newRow("end before start") << "{DData.DateNow} >= Date (2004,12,31) and {DData.DateNow} <= "
                                             "Date (2004,01,01)"
                                          << "";
        QTest::newRow("lane range") << "{DData.LaneNo} in 1 to 5"
                                    << "1 5 7 8 11";
        QTest::newRow("lane range backwards") << "{DData.LaneNo} in 12 to 1"
                                              << "";
        QTest::newRow("today") << "{DData.DateNow} = CurrentDate"
                               << "10 11 12";
        QTest::newRow("yesterday") << "{DData.DateNow} = CurrentDate - 1"
                                   << "8 9";
        QTest::newRow("this week")
            << "{DData.DateNow} in CurrentDate - DayOfWeek (CurrentDate) + 1 to CurrentDate - DayOfWeek "
               "(CurrentDate) + 7"
            << "7 8 9 10 11 12 13";
        QTest::newRow("this month")
            << "Year ({DData.DateNow}) = Year (CurrentDate) and Month ({DData.DateNow}) = Month (CurrentDate)"
            << "5 6 7 8 9 10 11 12 13 14";
        QTest::newRow("this year") << "Year ({DData.DateNow}) = Year (CurrentDate)"
                                   << "2 3 4 5 6 7 8 9 10 11 12 13 14";
        QTest::newRow("contains, any case") << "{DData.callmade} LIKE \"*jam*\""
                                            << "2 6 10";
        QTest::newRow("does not contain") << "not ({DData.callmade} LIKE \"*jam*\")"
                                          << "1 3 4 5 7 8 9 11 12 13 14";
        QTest::newRow("bracketed star") << "{DData.callmade} LIKE \"5[*]3*\""
                                        << "13";
        QTest::newRow("digit and class") << "{DData.callmade} LIKE \"[!a-o]*\""
                                         << "2 3 6 10 11 12 13";
        QTest::newRow("begins with") << "{DData.callmade} Starts With \"ball\""
                                     << "1 4 8";
        QTest::newRow("equals, any case") << "{DData.callmade} = \"PINSETTER jammed\""
                                          << "2 6 10";
        QTest::newRow("beyond ASCII, any case") << "{DData.callmade} = \"ölwanne leaking\""
                                                << "12";
        QTest::newRow("like beyond ASCII") << "{DData.callmade} LIKE \"ÖLWANNE*\""
                                           << "12";
        QTest::newRow("beyond ASCII, row by row")
            << "{DData.callmade} = \"ÖLWANNE LEAKING\" and {DData.DateNow} = Date (Year ({DData.DateNow}), 12, 7)"
            << "12";
        QTest::newRow("text after") << "{DData.Name1} > \"E\""
                                    << "3 7 12 14";
        QTest::newRow("empty notes") << "IsNull ({DData.Notes})"
                                     << "1 2 4 5 7 8 9 11 13 14";
        QTest::newRow("notes equal Null never") << "not ({DData.Notes} = \"x\")"
                                                << "2 3 6 8 10 12";
        QTest::newRow("week of year") << "WeekOfYear ({DData.DateNow}) = 50"
                                      << "7 8 9 10 11 12 13";
        QTest::newRow("day of year") << "DayOfYear ({DData.DateNow}) = 5"
                                     << "2";
        QTest::newRow("weekday Saturday") << "DayOfWeek ({DData.DateNow}) = 7"
                                          << "3 6 13";
        QTest::newRow("a day after") << "{DData.DateNow} + 1 = Date (2004,12,7)"
                                     << "8 9";
        QTest::newRow("days between") << "CurrentDate - {DData.DateNow} <= 1"
                                      << "8 9 10 11 12 13 14";
        QTest::newRow("row-made date") << "{DData.DateNow} = Date (Year ({DData.DateNow}), 12, Day ({DData.DateNow}))"
                                       << "1 5 6 7 8 9 10 11 12 13 14";
        QTest::newRow("or with Null") << "{DData.Notes} = \"\" or {DData.LaneNo} = 30"
                                      << "2 8 9";
    }
    void sqlAndEvaluatorAgree()
    {
        QFETCH(QString, formula);
        QFETCH(QString, expected);
        testing::TempDatabase& temp = *m_temp;
        store::Error error;
        const auto selected = selectRecordIds(temp.databasePath(), QStringLiteral("DData"), formula,
                                              {QStringLiteral("+{DData.Recno}")}, &error, testing::reportToday());
        QVERIFY2(selected, qPrintable(error.text()));
        QCOMPARE(joined(*selected), expected);

        // Every row evaluated in C++ alone.
        store::Error unopened;
        auto db = store::Database::open(temp.databasePath(), &unopened);
        QVERIFY2(db, qPrintable(unopened.text()));
        store::Error formulaError;
        const auto compiled =
            reports::Formula::compile(formula, QStringLiteral("DData"), db->tableFields(QStringLiteral("DData")),
                                      testing::reportToday(), &formulaError);
        QVERIFY(compiled);
        QStringList columns{QStringLiteral("rowid")};
        for (const auto& field : compiled->fields())
            columns << store::Database::quoted(field.name);
        QList<qint64> evaluated;
        QVERIFY(reports::forEachRow(
            *db,
            QStringLiteral("SELECT ") + columns.join(QLatin1Char(',')) + QStringLiteral(" FROM DData ORDER BY rowid"),
            [&](const reports::SqlRow& row) {
                QList<QVariant> values;
                for (int i = 1; i < columns.size(); ++i)
                    values << row.value(i);
                if (compiled->evaluate(values))
                    evaluated << row.integer(0);
            },
            &error));
        QCOMPARE(joined(evaluated), expected);
    }

    void ordersBySortFieldsThenRecordNumber_data()
    {
        QTest::addColumn<QStringList>("sort");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none: as stored") << QStringList() << "1 2 3 4 5 6 7 8 9 10 11 12 13 14";
        QTest::newRow("lane descending") << QStringList{QStringLiteral("-{DData.LaneNo}")}
                                         << "9 4 6 2 10 12 13 14 3 11 1 5 8 7";
        QTest::newRow("call, any case, then date descending")
            << QStringList{QStringLiteral("+{DData.callmade}"), QStringLiteral("-{DData.DateNow}")}
            << "13 8 4 1 7 9 14 5 10 6 2 11 3 12";
        QTest::newRow("three fields") << QStringList{QStringLiteral("+{DData.Name1}"), QStringLiteral("+{DData.Name2}"),
                                                     QStringLiteral("-{DData.LaneNo}")}
                                      << "13 6 1 9 4 2 10 11 5 8 12 3 7 14";
    }
    void ordersBySortFieldsThenRecordNumber()
    {
        QFETCH(QStringList, sort);
        QFETCH(QString, expected);
        store::Error error;
        // Texts order without regard to ASCII case, other letters after them.
        const auto selected = selectRecordIds(m_temp->databasePath(), QStringLiteral("dData"), QString(), sort, &error);
        QVERIFY2(selected, qPrintable(error.text()));
        QCOMPARE(joined(*selected), expected);
    }

    void refusesWithAReason_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QStringList>("sort");
        QTest::addColumn<QString>("words");
        QTest::newRow("bad formula") << "DData"
                                     << "{DData.LaneNo} in A to B" << QStringList()
                                     << "the selection formula is not valid at character 19";
        QTest::newRow("bad sort") << "DData"
                                  << "" << QStringList{QStringLiteral("+{DData.Lane}")} << "no field \"Lane\"";
        QTest::newRow("no table") << "Stops"
                                  << "" << QStringList() << "no table Stops";
    }
    void refusesWithAReason()
    {
        QFETCH(QString, table);
        QFETCH(QString, formula);
        QFETCH(QStringList, sort);
        QFETCH(QString, words);
        store::Error error;
        QVERIFY(!selectRecordIds(m_temp->databasePath(), table, formula, sort, &error));
        QVERIFY2(error.text().contains(words), qPrintable(error.text()));
    }

    void missingDatabaseIsNamedNotMade()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zuvevadu.mdb"));
        store::Error error;
        QVERIFY(!selectRecordIds(path, QStringLiteral("DData"), QString(), {}, &error));
        QVERIFY2(error.text().contains(QStringLiteral("cannot be found")), qPrintable(error.text()));
        QVERIFY(!QFile::exists(path));
    }

    void emptyCallLogSelectsNothing()
    {
        testing::TempDatabase temp;
        store::Error error;
        const auto selected = selectRecordIds(temp.databasePath(), QStringLiteral("DData"),
                                              QStringLiteral("{DData.LaneNo} > 0"), {}, &error);
        QVERIFY(selected);
        QVERIFY(selected->isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSelection)
#include "test_selection.moc"
