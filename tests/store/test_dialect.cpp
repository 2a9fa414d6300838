// The classic query dialect on SQLite: the statements the filter builds run
// with the semantics they assume, checked on a real database file against
// expectations worked out by hand; hostile statements are refused.
#include "support/TempDatabase.h"

#include "store/Dialect.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using namespace store;

namespace {

const QString kSelect = QStringLiteral("Select DData.* From DData Where ");

// Eleven calls whose values the expectations below were worked out from.
void fillCalls(testing::TempDatabase& db)
{
    const char* rows[] = {"1,'1993-12-01',5,'BALL JAM','belt slipping'",
                          "2,'2026-12-01',5,'jam on deck',NULL",
                          "3,'2026-03-07',12,'Ball stuck in pit',''",
                          "4,'2026-03-08',1,NULL,'PIN #7'",
                          "5,'2029-01-05',30,'',NULL",
                          "6,'1930-01-01',5,'PIN #7 STUCK','x'",
                          "7,'2026-01-01',-3,'5*3',NULL",
                          "8,NULL,NULL,'O''NEIL',NULL",
                          "9,'2025-12-31',7,'\xc3\x9cn\xc3\xaf"
                          "code jam',NULL",
                          "10,'2024-02-29',8,'_under',NULL",
                          "11,'2026-03-01',5,'[x]',NULL"};
    for (const char* row : rows) {
        QVERIFY(db.exec(QStringLiteral("INSERT INTO DData (Recno, DateNow, LaneNo, callmade, Notes) VALUES (") +
                        QString::fromUtf8(row) + QLatin1Char(')')));
    }
}

QString recnos(testing::TempDatabase& db, const QString& sql)
{
    QStringList found;
    for (const QString& row : db.rows(sql))
        found << row.section(QLatin1Char('|'), -1);
    return found.join(QLatin1Char(','));
}

// As a statement runs, or, knowing the fields, as a record source opens it.
QString translated(const QString& access, const QList<FieldInfo>& fields = {})
{
    Error error;
    const auto sql =
        fields.isEmpty() ? translateAccessSql(access, &error) : translateAccessSelect(access, fields, &error);
    if (!sql)
        qWarning("refused: %s: %s", qPrintable(access), qPrintable(error.message));
    return sql.value_or(QString());
}

QList<FieldInfo> callFields()
{
    return {{QStringLiteral("DateNow"), FieldType::Date, false}, {QStringLiteral("Time"), FieldType::Text, false},
            {QStringLiteral("LaneNo"), FieldType::Long, false},  {QStringLiteral("callmade"), FieldType::Text, false},
            {QStringLiteral("Notes"), FieldType::Memo, false},   {QStringLiteral("Recno"), FieldType::Long, true}};
}

} // namespace

class TestDialect : public QObject {
    Q_OBJECT
    // The calls the read-only cases share; cases that write make their own.
    std::unique_ptr<testing::TempDatabase> m_calls;

private slots:
    void initTestCase()
    {
        m_calls = std::make_unique<testing::TempDatabase>();
        fillCalls(*m_calls);
    }

    void translation_data()
    {
        QTest::addColumn<QString>("access");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("select all") << "Select DData.* From DData"
                                    << "SELECT [DData].* FROM [DData]";
        QTest::newRow("bracketed") << "Select [DData].* From [DData]"
                                   << "SELECT [DData].* FROM [DData]";
        QTest::newRow("star") << "select * from DData;"
                              << "SELECT * FROM [DData]";
        QTest::newRow("fields") << "Select LaneNo, [Time] From DData"
                                << "SELECT [LaneNo], [Time] FROM [DData]";
        QTest::newRow("where and order") << "Select DData.* From DData Where [LaneNo] = 5 ORDER BY [DateNow]"
                                         << "SELECT [DData].* FROM [DData] WHERE [LaneNo] = 5 ORDER BY [DateNow]";
        QTest::newRow("delete all") << "Delete * From DData"
                                    << "DELETE FROM [DData]";
        QTest::newRow("delete where") << "Delete * From DData Where [callmade] = \"Ball stuck in pit\""
                                      << "DELETE FROM [DData] WHERE (ifnull([callmade],'') = 'Ball stuck in pit' "
                                         "COLLATE NOCASE)";
        QTest::newRow("date literal") << "Select DData.* From DData Where DateNow >= #12/7/04#"
                                      << "SELECT [DData].* FROM [DData] WHERE [DateNow] >= '2004-12-07'";
        QTest::newRow("quotes inside a literal stay text")
            << "Select DData.* From DData Where [Notes] = 'it''s [not] a name; really'"
            << "SELECT [DData].* FROM [DData] WHERE (ifnull([Notes],'') = 'it''s [not] a name; really' COLLATE NOCASE)";
        QTest::newRow("empty") << "Select DData.* From DData Where [callmade] = NULL"
                               << "SELECT [DData].* FROM [DData] WHERE (ifnull([callmade],'') = '' COLLATE NOCASE)";
        QTest::newRow("not the apostrophe") << "Select DData.* From DData Where [callmade] <> ''''"
                                            << "SELECT [DData].* FROM [DData] WHERE (ifnull([callmade],'') <> '' AND "
                                               "(ifnull([callmade],'') <> '''' COLLATE NOCASE))";
        QTest::newRow("like") << "Select DData.* From DData Where [callmade] NOT LIKE '*jam*'"
                              << "SELECT [DData].* FROM [DData] WHERE NOT (upper(ifnull([callmade],'')) GLOB "
                                 "'*JAM*')";
        QTest::newRow("year as a range") << "Select DData.* From DData Where DatePart(\"yyyy\",[DateNow]) = 2026"
                                         << "SELECT [DData].* FROM [DData] WHERE ([DateNow] >= '2026-01-01' AND "
                                            "[DateNow] < '2027-01-01')";
        QTest::newRow("month") << "Select DData.* From DData Where DatePart(\"m\",[DateNow]) = 12"
                               << "SELECT [DData].* FROM [DData] WHERE CAST(strftime('%m', [DateNow]) AS INTEGER) = 12";
    }
    void translation()
    {
        QFETCH(QString, access);
        QFETCH(QString, sqlite);
        Error error;
        const auto sql = translateAccessSql(access, &error);
        QVERIFY2(sql, qPrintable(error.message));
        QCOMPARE(*sql, sqlite);
    }

    void semantics_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("expected");
        QTest::newRow("contains, any case") << "[callmade] LIKE '*JAM*'"
                                            << "1,2,9";
        QTest::newRow("does not contain, empty fields too") << "[callmade] NOT LIKE '*JAM*'"
                                                            << "3,4,5,6,7,8,10,11";
        QTest::newRow("one character") << "[callmade] LIKE 'B?LL*'"
                                       << "1,3";
        QTest::newRow("a digit") << "[callmade] LIKE '*#*'"
                                 << "6,7";
        QTest::newRow("a class") << "[callmade] LIKE '[a-c]*'"
                                 << "1,3";
        QTest::newRow("not in a class") << "[callmade] LIKE '[!B]*'"
                                        << "2,6,7,8,9,10,11";
        QTest::newRow("underscore is no wildcard") << "[callmade] LIKE '*_*'"
                                                   << "10";
        QTest::newRow("percent is no wildcard") << "[callmade] LIKE '*%*'"
                                                << "";
        QTest::newRow("enclosed star") << "[callmade] LIKE '*[*]*'"
                                       << "7";
        QTest::newRow("begins with a bracket") << "[callmade] LIKE '[[]*'"
                                               << "11";
        QTest::newRow("empty") << "[callmade] = NULL"
                               << "4,5";
        QTest::newRow("not empty") << "[callmade] <> ''''"
                                   << "1,2,3,6,7,8,9,10,11";
        QTest::newRow("equals, any case") << "[callmade] = 'ball jam'"
                                          << "1";
        QTest::newRow("equals, enclosed hash") << "[callmade] = 'PIN [#]7 STUCK'"
                                               << "6";
        QTest::newRow("equals, enclosed star") << "[callmade] = '5[*]3'"
                                               << "7";
        QTest::newRow("equals, apostrophe") << "[callmade] = 'O''NEIL'"
                                            << "8";
        QTest::newRow("other letters exact") << "[callmade] = '\xc3\xbcn\xc3\xaf"
                                                "code JAM'"
                                             << "";
        QTest::newRow("other letters same") << "[callmade] = '\xc3\x9cn\xc3\xaf"
                                               "code JAM'"
                                            << "9";
        QTest::newRow("less than, empty fields first") << "[callmade] < 'B'"
                                                       << "4,5,7,10,11";
        QTest::newRow("greater or equal") << "[callmade] >= 'P'"
                                          << "6,9";
        QTest::newRow("not equal, empty fields too") << "[callmade] <> 'BALL JAM'"
                                                     << "2,3,4,5,6,7,8,9,10,11";
        QTest::newRow("date") << "[DateNow] = #12/1/93#"
                              << "1";
        QTest::newRow("date, four-digit year") << "[DateNow] = #12/01/2026#"
                                               << "2";
        QTest::newRow("date, 30 is 1930") << "[DateNow] <= #1/1/30#"
                                          << "6";
        QTest::newRow("date, 29 is 2029") << "[DateNow] >= #1/1/29#"
                                          << "5";
        QTest::newRow("date not equal, no date excluded") << "[DateNow] <> #12/1/93#"
                                                          << "2,3,4,5,6,7,9,10,11";
        QTest::newRow("month") << "DatePart(\"m\",[DateNow]) = 12"
                               << "1,2,9";
        QTest::newRow("day") << "DatePart(\"d\",[DateNow]) = 1"
                             << "1,2,6,7,11";
        QTest::newRow("year") << "DatePart(\"yyyy\",[DateNow]) = 2026"
                              << "2,3,4,7,11";
        QTest::newRow("day of year") << "DatePart(\"y\",[DateNow]) = 60"
                                     << "10,11";
        QTest::newRow("week 10") << "DatePart(\"ww\",[DateNow]) = 10"
                                 << "3,11";
        QTest::newRow("week 11") << "DatePart(\"ww\",[DateNow]) = 11"
                                 << "4";
        QTest::newRow("week 1") << "DatePart(\"ww\",[DateNow]) = 1"
                                << "5,6,7";
        QTest::newRow("lane") << "[LaneNo] = 5"
                              << "1,2,6,11";
        QTest::newRow("lane not equal, no lane excluded") << "[LaneNo] <> 5"
                                                          << "3,4,5,7,9,10";
        QTest::newRow("negative lane") << "[LaneNo] < 0"
                                       << "7";
        QTest::newRow("decimal") << "[LaneNo] >= -3.5"
                                 << "1,2,3,4,5,6,7,9,10,11";
        QTest::newRow("and") << "[LaneNo] = 5 AND [callmade] LIKE '*JAM*'"
                             << "1,2";
        QTest::newRow("and before or") << "[LaneNo] = 1 OR [LaneNo] = 30 AND [callmade] = NULL"
                                       << "4,5";
        QTest::newRow("or then and") << "[LaneNo] = 5 OR [LaneNo] = 1 AND [callmade] = 'jam on deck'"
                                     << "1,2,6,11";
        QTest::newRow("quotes and semicolons stay text") << "[callmade] = 'X''; DROP TABLE Calls; --'"
                                                         << "";
    }
    void semantics()
    {
        QFETCH(QString, where);
        QFETCH(QString, expected);
        testing::TempDatabase& db = *m_calls;
        const QString sql = translated(kSelect + where + QStringLiteral(" ORDER BY [Recno]"));
        QVERIFY(!sql.isEmpty());
        QCOMPARE(recnos(db, sql), expected);
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM Calls")).toInt(), 1);
        // Counting finds as many without reading the rows.
        Error error;
        const auto count = translateAccessCount(kSelect + where, &error);
        QVERIFY2(count, qPrintable(error.message));
        QVERIFY(count->startsWith(QLatin1String("SELECT count(*) FROM [DData]")));
        QCOMPARE(db.scalar(*count).toInt(), expected.isEmpty() ? 0 : int(expected.count(QLatin1Char(',')) + 1));
    }

    void sortingFollowsTheDialect()
    {
        testing::TempDatabase& db = *m_calls;
        QCOMPARE(recnos(db, translated(kSelect + QStringLiteral("[LaneNo] = 5 ORDER BY [DateNow] DESC"))),
                 QStringLiteral("2,11,1,6"));
        // Text sorts without regard to case once the fields are known.
        QCOMPARE(recnos(db, translated(kSelect + QStringLiteral("[LaneNo] = 5 ORDER BY [callmade] ASC"), callFields())),
                 QStringLiteral("11,1,2,6"));
        QCOMPARE(recnos(db, translated(kSelect + QStringLiteral("[LaneNo] = 5 ORDER BY [callmade] ASC"))),
                 QStringLiteral("1,6,11,2"));
    }

    void yesNoFields()
    {
        testing::TempDatabase db;
        QVERIFY(db.exec(QStringLiteral("CREATE TABLE Kinds (Flag YESNO, Id INTEGER PRIMARY KEY)")));
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Kinds VALUES (-1, 1), (0, 2), (NULL, 3), (1, 4)")));
        const QString where = QStringLiteral("Select Kinds.* From Kinds Where ");
        QCOMPARE(recnos(db, translated(where + QStringLiteral("[Flag] = YES"))), QStringLiteral("1,4"));
        QCOMPARE(recnos(db, translated(where + QStringLiteral("[Flag] = TRUE"))), QStringLiteral("1,4"));
        QCOMPARE(recnos(db, translated(where + QStringLiteral("[Flag] = NO"))), QStringLiteral("2,3"));
        QCOMPARE(recnos(db, translated(where + QStringLiteral("[Flag] = FALSE"))), QStringLiteral("2,3"));
        QCOMPARE(recnos(db, translated(where + QStringLiteral("[Flag] <> YES"))), QStringLiteral("2,3"));
        Error error;
        QVERIFY(!translateAccessSql(where + QStringLiteral("[Flag] > YES"), &error));
        QCOMPARE(error.message, QStringLiteral("Yes and No can only be compared with = and <>."));
    }

    void deleteFindsWhatTheSelectFinds()
    {
        testing::TempDatabase db;
        fillCalls(db);
        Error error;
        const auto count = translateAccessCount(QStringLiteral("Delete * From DData Where [callmade] = NULL"), &error);
        QVERIFY2(count, qPrintable(error.message));
        QCOMPARE(db.scalar(*count).toInt(), 2);
        QVERIFY(db.exec(translated(QStringLiteral("Delete * From DData Where [callmade] = NULL"))));
        QCOMPARE(recnos(db, QStringLiteral("SELECT * FROM DData ORDER BY Recno")),
                 QStringLiteral("1,2,3,6,7,8,9,10,11"));
    }

    void indexesServeTheCommonFilters()
    {
        testing::TempDatabase& db = *m_calls;
        QVERIFY(db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS DData_LaneNo ON DData (LaneNo, DateNow)")));
        QVERIFY(db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS DData_DateNow ON DData (DateNow)")));
        auto plan = [&](const QString& where) {
            return db.rows(QStringLiteral("EXPLAIN QUERY PLAN ") + translated(kSelect + where)).join(QLatin1Char(' '));
        };
        const QString byLane = plan(QStringLiteral("[LaneNo] = 5 ORDER BY [DateNow] DESC"));
        QVERIFY2(byLane.contains(QLatin1String("DData_LaneNo")) && !byLane.contains(QLatin1String("TEMP B-TREE")),
                 qPrintable(byLane));
        const QString byYear = plan(QStringLiteral("DatePart(\"yyyy\",[DateNow]) = 2026"));
        QVERIFY2(byYear.contains(QLatin1String("DData_DateNow")), qPrintable(byYear));
        const QString byDates = plan(QStringLiteral("[DateNow] >= #1/1/2026# AND [DateNow] <= #12/31/2026#"));
        QVERIFY2(byDates.contains(QLatin1String("DData_DateNow")), qPrintable(byDates));
    }

    void unknownFieldsAreErrorsNotTexts()
    {
        testing::TempDatabase& db = *m_calls;
        // A name that is no field must fail, never compare as a text.
        QVERIFY(!db.exec(translated(kSelect + QStringLiteral("[NoSuchField] = 'NoSuchField'"))));
        QVERIFY(!db.exec(translated(kSelect + QStringLiteral("[LaneNo] = 5 ORDER BY [NoSuchField]"))));
    }

    void theCommandLineRunsTheSameStatement()
    {
        const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        if (sqlite3.isEmpty())
            QSKIP("the sqlite3 command line is not installed");
        testing::TempDatabase& db = *m_calls;
        const QString sql = translated(kSelect + QStringLiteral("[callmade] NOT LIKE '*JAM*' AND "
                                                                "DatePart(\"ww\",[DateNow]) = 10 OR [callmade] = NULL "
                                                                "ORDER BY [Recno]"));
        QProcess cli;
        cli.start(sqlite3, {db.databasePath(), sql});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        QStringList found;
        const QStringList lines =
            QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& line : lines)
            found << line.section(QLatin1Char('|'), -1);
        QCOMPARE(found.join(QLatin1Char(',')), recnos(db, sql));
        QCOMPARE(found.join(QLatin1Char(',')), QStringLiteral("3,4,5,11"));
    }

    void refused_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("error");
        const QString oneStatement = QStringLiteral("Only one statement can be run at a time.");
        QTest::newRow("second statement") << "Select DData.* From DData; Drop Table Calls" << oneStatement;
        QTest::newRow("delete then drop") << "Delete * From DData; Drop Table Calls" << oneStatement;
        QTest::newRow("two semicolons") << "Select DData.* From DData;;" << oneStatement;
        QTest::newRow("not a select") << "Drop Table Calls"
                                      << "Only Select and Delete statements can be run.";
        QTest::newRow("update") << "Update DData Set LaneNo = 1"
                                << "Only Select and Delete statements can be run.";
        QTest::newRow("empty") << ""
                               << "Only Select and Delete statements can be run.";
        QTest::newRow("line comment") << "Select DData.* From DData Where [LaneNo] = 5 -- x"
                                      << "A filter statement cannot hold the comment mark --.";
        QTest::newRow("block comment") << "Select DData.* From DData Where [LaneNo] = 5 /* x */"
                                       << "A filter statement cannot hold the comment mark /*.";
        QTest::newRow("union") << "Select DData.* From DData Where [LaneNo] = 5 UNION SELECT * FROM Calls"
                               << "The filter statement cannot be read at \"UNION\".";
        QTest::newRow("function") << "Select DData.* From DData Where load_extension('x') = 1"
                                  << "The function load_extension cannot be used in a filter.";
        QTest::newRow("unclosed text") << "Select DData.* From DData Where [callmade] = 'abc"
                                       << "A quoted text is not closed.";
        QTest::newRow("unclosed name") << "Select DData.* From DData Where [callmade = 'abc'"
                                       << "A name in brackets is not closed.";
        QTest::newRow("unclosed class") << "Select DData.* From DData Where [callmade] LIKE '*[AB*'"
                                        << "The pattern \"*[AB*\" has a \"[\" that is not closed.";
        QTest::newRow("percent") << "Select DData.* From DData Where [LaneNo] = 5 %"
                                 << "A filter statement cannot hold the character \"%\" outside quotes.";
        QTest::newRow("bad interval") << "Select DData.* From DData Where DatePart(\"zz\",[DateNow]) = 1"
                                      << "DatePart does not know the interval \"zz\".";
        QTest::newRow("bad date") << "Select DData.* From DData Where [DateNow] = #13/45/93#"
                                  << "#13/45/93# is not a date (month/day/year).";
        QTest::newRow("other table's fields")
            << "Select Calls.* From DData"
            << "The statement reads the table DData but asks for the fields of Calls.";
        QTest::newRow("dangling where") << "Select DData.* From DData Where "
                                        << "The filter statement ends too early.";
        QTest::newRow("dangling join") << "Select DData.* From DData Where [LaneNo] = 5 AND "
                                       << "The filter statement ends too early.";
        QTest::newRow("two clauses unjoined") << "Select DData.* From DData Where [LaneNo] = 5[LaneNo] = 6"
                                              << "The filter statement cannot be read at \"[LaneNo]\".";
        QTest::newRow("enclosed semicolon outside quotes") << "Select DData.* From DData Where [LaneNo] = 5 [;] DROP"
                                                           << "The filter statement cannot be read at \"[;]\".";
        QTest::newRow("number glued to letters") << "Select DData.* From DData Where [LaneNo] = 12abc"
                                                 << "\"12a\" is not a number.";
        const QString tooDeep = QStringLiteral("The filter statement is nested too deeply: at most 64 parentheses, "
                                               "NOTs and DateParts can stand one inside another.");
        QTest::newRow("deep parentheses")
            << QStringLiteral("Select DData.* From DData Where ") + QString(500, QLatin1Char('(')) << tooDeep;
        const QString tooLong =
            QStringLiteral("The filter statement is too long: at most 200000 characters can be run.");
        QTest::newRow("100,000 not") << kSelect + QStringLiteral("not ").repeated(100000) +
                                            QStringLiteral("[LaneNo] = 5")
                                     << tooLong;
        QTest::newRow("40,000 not") << kSelect + QStringLiteral("not ").repeated(40000) + QStringLiteral("[LaneNo] = 5")
                                    << tooDeep;
        QTest::newRow("65 not") << kSelect + QStringLiteral("not ").repeated(65) + QStringLiteral("[LaneNo] = 5")
                                << tooDeep;
        QTest::newRow("10,000 DateParts")
            << kSelect + QStringLiteral("DatePart(\"m\",").repeated(10000) + QStringLiteral("[DateNow]") +
                   QString(10000, QLatin1Char(')')) + QStringLiteral(" = 1")
            << tooDeep;
        QStringList tests;
        for (int i = 0; i < 251; ++i)
            tests << QStringLiteral("[LaneNo] = %1").arg(i);
        QTest::newRow("251 tests") << kSelect + tests.join(QStringLiteral(" OR "))
                                   << "The filter statement holds too many tests: at most 250 can be joined by AND "
                                      "and OR.";
        QTest::newRow("1 MB") << kSelect + QStringLiteral("[callmade] = '") + QString(1 << 20, QLatin1Char('A')) +
                                     QLatin1Char('\'')
                              << tooLong;
        QTest::newRow("long pattern") << kSelect + QStringLiteral("[callmade] LIKE '") +
                                             QString(16001, QLatin1Char('A')) + QLatin1Char('\'')
                                      << "A LIKE pattern can hold at most 16000 characters; this one has 16001.";
    }
    void refused()
    {
        QFETCH(QString, statement);
        QFETCH(QString, error);
        Error why;
        QVERIFY(!translateAccessSql(statement, &why));
        QCOMPARE(why.message, error);
        QVERIFY(!translateAccessCount(statement, &why));
    }

    void aRecordSourceNeverOpensADelete()
    {
        Error error;
        QVERIFY(!translateAccessSelect(QStringLiteral("Delete * From DData"), callFields(), &error));
        QCOMPARE(error.message,
                 QStringLiteral("A Delete statement cannot be opened as a set of records; nothing was deleted."));
        const auto sql = translateAccessSelect(kSelect + QStringLiteral("[LaneNo] = 5 ORDER BY [callmade] DESC"),
                                               callFields(), &error);
        QVERIFY2(sql, qPrintable(error.message));
        QCOMPARE(*sql, QStringLiteral("SELECT [DData].* FROM [DData] WHERE [LaneNo] = 5 ORDER BY [callmade] COLLATE "
                                      "NOCASE DESC, rowid"));
        // Without a sort, the calls come in the order they were logged, whatever index serves the search.
        QCOMPARE(*translateAccessSelect(kSelect + QStringLiteral("[LaneNo] > 3"), callFields(), &error),
                 QStringLiteral("SELECT [DData].* FROM [DData] WHERE [LaneNo] > 3 ORDER BY rowid"));
    }

    void theDeepestAcceptedStatementsRun()
    {
        // At each limit the statement is accepted, and SQLite's own parser takes what it becomes.
        testing::TempDatabase& db = *m_calls;
        QString nested = QStringLiteral("[callmade] NOT LIKE '*jam*'");
        for (int i = 0; i < 32; ++i)
            nested = QStringLiteral("NOT (") + nested + QLatin1Char(')');
        const QString deep = translated(kSelect + nested + QStringLiteral(" ORDER BY [Recno]"));
        QVERIFY(!deep.isEmpty());
        QCOMPARE(recnos(db, deep), QStringLiteral("3,4,5,6,7,8,10,11"));
        QStringList tests;
        for (int i = 0; i < 125; ++i)
            tests << QStringLiteral("[callmade] <> ''''") << QStringLiteral("[LaneNo] = %1").arg(i);
        const QString many =
            translated(kSelect + tests.join(QStringLiteral(" OR ")) + QStringLiteral(" ORDER BY [Recno]"));
        QVERIFY(!many.isEmpty());
        QCOMPARE(recnos(db, many), QStringLiteral("1,2,3,4,5,6,7,8,9,10,11"));
    }

    void loneApostropheIsTheApostrophe()
    {
        // A call whose text is one apostrophe is found by it, and an empty field never compares with it.
        testing::TempDatabase db;
        QVERIFY(db.exec(QStringLiteral("INSERT INTO DData (Recno, callmade) VALUES (1, ''''), (2, ''''''), (3, NULL), "
                                       "(4, ''), (5, 'X'), (6, ' ')")));
        const QString all = QStringLiteral(" ORDER BY [Recno]");
        QCOMPARE(recnos(db, translated(kSelect + QStringLiteral("[callmade] = ''''") + all)), QStringLiteral("1"));
        QCOMPARE(recnos(db, translated(kSelect + QStringLiteral("[callmade] <> ''''") + all)), QStringLiteral("2,5,6"));
        QCOMPARE(recnos(db, translated(kSelect + QStringLiteral("[callmade] < ''''") + all)), QStringLiteral("6"));
        QCOMPARE(recnos(db, translated(kSelect + QStringLiteral("[callmade] >= ''''") + all)), QStringLiteral("1,2,5"));
        QCOMPARE(recnos(db, translated(kSelect + QStringLiteral("'''' = [callmade]") + all)), QStringLiteral("1"));
        QCOMPARE(recnos(db, translated(kSelect + QStringLiteral("[callmade] = NULL") + all)), QStringLiteral("3,4"));
        QCOMPARE(recnos(db, translated(kSelect + QStringLiteral("[callmade] LIKE '*''*'") + all)),
                 QStringLiteral("1,2"));
    }

    void everyLetterComparesWithoutCase()
    {
        // Through the store's own connection, as a record source opens a filter.
        testing::TempDatabase temp;
        QVERIFY(temp.exec(QString::fromUtf8("INSERT INTO DData (Recno, LaneNo, callmade, Name2) VALUES "
                                            "(1, 1, 'ölwanne', 'Müller'), (2, 2, 'Ölwanne', 'MÜLLER'), "
                                            "(3, 3, 'OLWANNE', 'Muller'), (4, 4, 'ÖLWANNE LEAK', 'müller')")));
        Error error;
        const auto db = Database::open(temp.databasePath(), &error);
        QVERIFY2(db, qPrintable(error.text()));
        auto found = [&](const QString& where, const QString& order = QStringLiteral("[Recno]")) {
            QSqlQuery q(db->sql());
            const QString sql = translated(kSelect + where + QStringLiteral(" ORDER BY ") + order, callFields());
            if (!q.exec(sql))
                return q.lastError().text();
            QStringList recnos;
            while (q.next())
                recnos << q.value(QStringLiteral("Recno")).toString();
            return recnos.join(QLatin1Char(','));
        };
        QCOMPARE(found(QString::fromUtf8("[Name2] = 'MÜLLER'")), QStringLiteral("1,2,4"));
        QCOMPARE(found(QString::fromUtf8("[Name2] <> 'MÜLLER'")), QStringLiteral("3"));
        QCOMPARE(found(QString::fromUtf8("[callmade] = 'ölwanne'")), QStringLiteral("1,2"));
        QCOMPARE(found(QString::fromUtf8("[callmade] LIKE '*ölwanne*'")), QStringLiteral("1,2,4"));
        QCOMPARE(found(QString::fromUtf8("[callmade] LIKE 'Ö*'")), QStringLiteral("1,2,4"));
        QCOMPARE(found(QString::fromUtf8("[callmade] NOT LIKE '[Ö]*'")), QStringLiteral("3"));
        // Sorted as compared: the two cases of one word side by side, after the plain O.
        QCOMPARE(found(QStringLiteral("[LaneNo] > 0"), QStringLiteral("[callmade], [Recno]")),
                 QStringLiteral("3,1,2,4"));
        QSqlQuery group(db->sql());
        QVERIFY(group.exec(QStringLiteral("SELECT count(*) FROM DData GROUP BY callmade COLLATE NOCASE ORDER BY 1")));
        QStringList counts;
        while (group.next())
            counts << group.value(0).toString();
        QCOMPARE(counts.join(QLatin1Char(',')), QStringLiteral("1,1,2"));
    }

    void longAndForeignTextIsQuoted()
    {
        testing::TempDatabase& db = *m_calls;
        const QString longText = QString(5000, QLatin1Char('A')) + QString::fromUtf8("'\"%;--/*\xe6\x97\xa5");
        QString quoted = longText;
        quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
        QString sql = translated(kSelect + QStringLiteral("[callmade] LIKE '*") + quoted + QStringLiteral("*'"));
        QVERIFY(!sql.isEmpty());
        QCOMPARE(recnos(db, sql), QString());
        sql = translated(kSelect + QStringLiteral("[callmade] <> '") + quoted + QStringLiteral("'"));
        QCOMPARE(recnos(db, sql + QStringLiteral(" ORDER BY [Recno]")), QStringLiteral("1,2,3,4,5,6,7,8,9,10,11"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 11);
    }

    void comparisonText_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("lone apostrophe stays") << "'"
                                               << "'";
        QTest::newRow("two apostrophes stay") << "''"
                                              << "''";
        QTest::newRow("enclosed") << "[#]7 [*] [?] [(][)] [:][;]"
                                  << "#7 * ? () :;";
        QTest::newRow("other classes stay") << "[A][!B][**]"
                                            << "[A][!B][**]";
    }
    void comparisonText()
    {
        QFETCH(QString, value);
        QFETCH(QString, text);
        QCOMPARE(store::comparisonText(value), text);
    }

    void singleTableStatements()
    {
        QCOMPARE(singleTableOf(QStringLiteral("Select DData.* From DData")), QStringLiteral("DData"));
        QCOMPARE(singleTableOf(QStringLiteral("Select [DData].* From DData Where LaneNo = 1 ORDER BY LaneNo")),
                 QStringLiteral("DData"));
        QCOMPARE(singleTableOf(QStringLiteral("Select LaneNo From DData")), QString());
    }
};

QTEST_GUILESS_MAIN(TestDialect)
#include "test_dialect.moc"
