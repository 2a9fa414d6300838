// The statement, report formula and sort texts the filter builds, character
// for character, and the quoting of criteria.
#include "filter/engine/StatementBuilder.h"

#include <QTest>

using namespace filter::engine;

namespace {

FindRow findRow(const QString& field, int typeCode, const QString& op, const QString& criteria,
                const QString& condition = {})
{
    FindRow r;
    r.field = field;
    r.typeCode = typeCode;
    r.operatorText = op;
    r.criteria = criteria;
    r.condition = condition;
    return r;
}

SortRow sortRow(const QString& field, const QString& order)
{
    SortRow s;
    s.field = field;
    s.order = order;
    return s;
}

const QString kWhere = QStringLiteral("Select DData.* From DData Where ");

} // namespace

class TestFilterStatement : public QObject {
    Q_OBJECT
private slots:
    void workedExample()
    {
        FilterRows rows;
        rows.find = {
            findRow(QStringLiteral("LaneNo"), 4, QStringLiteral("Equals"), QStringLiteral("5"), QStringLiteral("And")),
            findRow(QStringLiteral("callmade"), 10, QStringLiteral("Contains"), QStringLiteral("JAM"))};
        rows.sort = {sortRow(QStringLiteral("DateNow"), QStringLiteral("Descending")), SortRow()};
        const BuiltFilter built = CreateSQLStatement(rows, QStringLiteral("DData"));
        QCOMPARE(built.statement, QStringLiteral("Select DData.* From DData Where [LaneNo] = 5 AND [callmade] LIKE "
                                                 "'*JAM*' ORDER BY [DateNow] DESC"));
        QCOMPARE(built.reportFormula, QStringLiteral("{DData.LaneNo} = 5 and {DData.callmade} LIKE \"*JAM*\""));
        QCOMPARE(built.sortTexts, QStringList({QStringLiteral("-{DData.DateNow}"), QString(), QString()}));
        QVERIFY(!built.findsAll);
    }

    void clause_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("formula");

        // Yes/no: the formula language has no Yes; an unset box counts as No.
        QTest::newRow("yes/no yes") << "Flag" << 1 << "Equals"
                                    << "YES"
                                    << "[Flag] = YES"
                                    << "{DData.Flag} <> 0";
        QTest::newRow("yes/no true") << "Flag" << 1 << "Equals"
                                     << "TRUE"
                                     << "[Flag] = TRUE"
                                     << "{DData.Flag} <> 0";
        QTest::newRow("yes/no no") << "Flag" << 1 << "Equals"
                                   << "NO"
                                   << "[Flag] = NO"
                                   << "(IsNull ({DData.Flag}) or {DData.Flag} = 0)";
        QTest::newRow("yes/no false") << "Flag" << 1 << "Equals"
                                      << "FALSE"
                                      << "[Flag] = FALSE"
                                      << "(IsNull ({DData.Flag}) or {DData.Flag} = 0)";

        QTest::newRow("number =") << "LaneNo" << 4 << "Equals"
                                  << "5"
                                  << "[LaneNo] = 5"
                                  << "{DData.LaneNo} = 5";
        QTest::newRow("number <>") << "LaneNo" << 4 << "Is Not Equal To"
                                   << "5"
                                   << "[LaneNo] <> 5"
                                   << "{DData.LaneNo} <> 5";
        QTest::newRow("number >") << "LaneNo" << 4 << "Is Greater Than"
                                  << "5"
                                  << "[LaneNo] > 5"
                                  << "{DData.LaneNo} > 5";
        QTest::newRow("number <") << "LaneNo" << 4 << "Is Less Than"
                                  << "5"
                                  << "[LaneNo] < 5"
                                  << "{DData.LaneNo} < 5";
        QTest::newRow("number >=") << "LaneNo" << 4 << "Is Greater Than or Equal To"
                                   << "5"
                                   << "[LaneNo] >= 5"
                                   << "{DData.LaneNo} >= 5";
        QTest::newRow("number <=") << "LaneNo" << 4 << "Is Less Than or Equal To"
                                   << "-3.5"
                                   << "[LaneNo] <= -3.5"
                                   << "{DData.LaneNo} <= -3.5";
        QTest::newRow("byte with operator") << "Small" << 2 << "Equals"
                                            << "7"
                                            << "[Small] = 7"
                                            << "{DData.Small} = 7";
        QTest::newRow("byte without operator") << "Small" << 2 << ""
                                               << "7"
                                               << ""
                                               << "";

        QTest::newRow("date =") << "DateNow" << 8 << "Equals"
                                << "12/01/93"
                                << "[DateNow] = #12/01/93#"
                                << "{DData.DateNow} = Date (1993,12,01)";
        QTest::newRow("date <>") << "DateNow" << 8 << "Is Not Equal To"
                                 << "12/01/93"
                                 << "[DateNow] <> #12/01/93#"
                                 << "{DData.DateNow} <> Date (1993,12,01)";
        QTest::newRow("date >") << "DateNow" << 8 << "Is Greater Than"
                                << "12/01/93"
                                << "[DateNow] > #12/01/93#"
                                << "{DData.DateNow} > Date (1993,12,01)";
        QTest::newRow("date <") << "DateNow" << 8 << "Is Less Than"
                                << "12/01/93"
                                << "[DateNow] < #12/01/93#"
                                << "{DData.DateNow} < Date (1993,12,01)";
        QTest::newRow("date >=") << "DateNow" << 8 << "Is Greater Than or Equal To"
                                 << "12/01/93"
                                 << "[DateNow] >= #12/01/93#"
                                 << "{DData.DateNow} >= Date (1993,12,01)";
        QTest::newRow("date <=") << "DateNow" << 8 << "Is Less Than or Equal To"
                                 << "12/01/93"
                                 << "[DateNow] <= #12/01/93#"
                                 << "{DData.DateNow} <= Date (1993,12,01)";
        QTest::newRow("date short form") << "DateNow" << 8 << "Equals"
                                         << "12/1/93"
                                         << "[DateNow] = #12/1/93#"
                                         << "{DData.DateNow} = Date (1993,12,01)";
        QTest::newRow("date four-digit year") << "DateNow" << 8 << "Is Less Than"
                                              << "12/01/2026"
                                              << "[DateNow] < #12/01/2026#"
                                              << "{DData.DateNow} < Date (2026,12,01)";
        QTest::newRow("date two-digit year 29") << "DateNow" << 8 << "Equals"
                                                << "1/5/29"
                                                << "[DateNow] = #1/5/29#"
                                                << "{DData.DateNow} = Date (2029,01,05)";
        QTest::newRow("month") << "DateNow" << 8 << "Month Equals"
                               << "12"
                               << "DatePart(\"m\",[DateNow]) = 12"
                               << "Month ({DData.DateNow}) = 12";
        QTest::newRow("day") << "DateNow" << 8 << "Day Equals"
                             << "31"
                             << "DatePart(\"d\",[DateNow]) = 31"
                             << "Day ({DData.DateNow}) = 31";
        QTest::newRow("year") << "DateNow" << 8 << "Year Equals"
                              << "2026"
                              << "DatePart(\"yyyy\",[DateNow]) = 2026"
                              << "Year ({DData.DateNow}) = 2026";
        QTest::newRow("day of year") << "DateNow" << 8 << "Day of Year Equals"
                                     << "100"
                                     << "DatePart(\"y\",[DateNow]) = 100"
                                     << "DayOfYear ({DData.DateNow}) = 100";
        QTest::newRow("week of year") << "DateNow" << 8 << "Week of Year Equals"
                                      << "10"
                                      << "DatePart(\"ww\",[DateNow]) = 10"
                                      << "WeekOfYear ({DData.DateNow}) = 10";

        // Text: an empty field (Null or empty text) compares as the empty text.
        QTest::newRow("text =") << "callmade" << 10 << "Equals"
                                << "JAM"
                                << "[callmade] = 'JAM'"
                                << "{DData.callmade} = \"JAM\"";
        QTest::newRow("text = empty") << "callmade" << 10 << "Equals"
                                      << "empty"
                                      << "[callmade] = NULL"
                                      << "IsNull ({DData.callmade})";
        QTest::newRow("text = EMPTY") << "callmade" << 10 << "Equals"
                                      << "EMPTY"
                                      << "[callmade] = NULL"
                                      << "IsNull ({DData.callmade})";
        QTest::newRow("text <>") << "callmade" << 10 << "Is Not Equal To"
                                 << "JAM"
                                 << "[callmade] <> 'JAM'"
                                 << "(IsNull ({DData.callmade}) or {DData.callmade} <> \"JAM\")";
        QTest::newRow("text <> empty") << "callmade" << 10 << "Is Not Equal To"
                                       << "empty"
                                       << "[callmade] <> ''''"
                                       << "(not IsNull ({DData.callmade}) and {DData.callmade} <> \"'\")";
        QTest::newRow("text <> EMPTY is a word") << "callmade" << 10 << "Is Not Equal To"
                                                 << "EMPTY"
                                                 << "[callmade] <> 'EMPTY'"
                                                 << "(IsNull ({DData.callmade}) or {DData.callmade} <> \"EMPTY\")";
        QTest::newRow("text >") << "callmade" << 10 << "Is Greater Than"
                                << "JAM"
                                << "[callmade] > 'JAM'"
                                << "{DData.callmade} > \"JAM\"";
        QTest::newRow("text > empty") << "callmade" << 10 << "Is Greater Than"
                                      << "empty"
                                      << "[callmade] > ''''"
                                      << "(not IsNull ({DData.callmade}) and {DData.callmade} > \"'\")";
        QTest::newRow("text <") << "callmade" << 10 << "Is Less Than"
                                << "JAM"
                                << "[callmade] < 'JAM'"
                                << "(IsNull ({DData.callmade}) or {DData.callmade} < \"JAM\")";
        QTest::newRow("text < empty") << "callmade" << 10 << "Is Less Than"
                                      << "empty"
                                      << "[callmade] < ''''"
                                      << "(not IsNull ({DData.callmade}) and {DData.callmade} < \"'\")";
        QTest::newRow("text >=") << "callmade" << 10 << "Is Greater Than or Equal To"
                                 << "JAM"
                                 << "[callmade] >= 'JAM'"
                                 << "{DData.callmade} >= \"JAM\"";
        QTest::newRow("text >= empty") << "callmade" << 10 << "Is Greater Than or Equal To"
                                       << "empty"
                                       << "[callmade] >= ''''"
                                       << "(not IsNull ({DData.callmade}) and {DData.callmade} >= \"'\")";
        QTest::newRow("text <=") << "callmade" << 10 << "Is Less Than or Equal To"
                                 << "JAM"
                                 << "[callmade] <= 'JAM'"
                                 << "(IsNull ({DData.callmade}) or {DData.callmade} <= \"JAM\")";
        QTest::newRow("text <= empty") << "callmade" << 10 << "Is Less Than or Equal To"
                                       << "empty"
                                       << "[callmade] <= ''''"
                                       << "(not IsNull ({DData.callmade}) and {DData.callmade} <= \"'\")";
        // One apostrophe typed: the statement compares with one apostrophe, and so does the report.
        QTest::newRow("text = apostrophe") << "callmade" << 10 << "Equals"
                                           << "'"
                                           << "[callmade] = ''''"
                                           << "(not IsNull ({DData.callmade}) and {DData.callmade} = \"'\")";
        QTest::newRow("text <> apostrophe") << "callmade" << 10 << "Is Not Equal To"
                                            << "'"
                                            << "[callmade] <> ''''"
                                            << "(not IsNull ({DData.callmade}) and {DData.callmade} <> \"'\")";
        QTest::newRow("contains") << "callmade" << 10 << "Contains"
                                  << "JAM"
                                  << "[callmade] LIKE '*JAM*'"
                                  << "{DData.callmade} LIKE \"*JAM*\"";
        QTest::newRow("does not contain") << "callmade" << 10 << "Does Not Contain"
                                          << "JAM"
                                          << "[callmade] NOT LIKE '*JAM*'"
                                          << "(IsNull ({DData.callmade}) or not ({DData.callmade} LIKE \"*JAM*\"))";
        QTest::newRow("begins with") << "callmade" << 10 << "Begins With"
                                     << "BALL"
                                     << "[callmade] LIKE 'BALL*'"
                                     << "{DData.callmade} Starts With \"BALL\"";
        QTest::newRow("begins with enclosed") << "callmade" << 10 << "Begins With"
                                              << "PIN #7"
                                              << "[callmade] LIKE 'PIN [#]7*'"
                                              << "{DData.callmade} LIKE \"PIN [#]7*\"";
        QTest::newRow("begins with a class") << "callmade" << 10 << "Begins With"
                                             << "[A-C]"
                                             << "[callmade] LIKE '[A-C]*'"
                                             << "{DData.callmade} LIKE \"[A-C]*\"";
        QTest::newRow("operator with blanks") << "callmade" << 10 << " Contains "
                                              << "JAM"
                                              << "[callmade] LIKE '*JAM*'"
                                              << "{DData.callmade} LIKE \"*JAM*\"";
        QTest::newRow("memo contains") << "Notes" << 12 << "Contains"
                                       << "BELT"
                                       << "[Notes] LIKE '*BELT*'"
                                       << "{DData.Notes} LIKE \"*BELT*\"";
        QTest::newRow("contains nothing") << "Notes" << 12 << "Contains"
                                          << "   "
                                          << "[Notes] LIKE '**'"
                                          << "(IsNull ({DData.Notes}) or {DData.Notes} LIKE \"**\")";
        QTest::newRow("does not contain nothing") << "Notes" << 12 << "Does Not Contain"
                                                  << "   "
                                                  << "[Notes] NOT LIKE '**'"
                                                  << "(not IsNull ({DData.Notes}) and not ({DData.Notes} LIKE \"**\"))";

        // Quoting: the formula holds the text the statement compares with.
        QTest::newRow("apostrophe") << "callmade" << 10 << "Equals"
                                    << "O'NEIL"
                                    << "[callmade] = 'O''NEIL'"
                                    << "{DData.callmade} = \"O'NEIL\"";
        QTest::newRow("apostrophe contains") << "callmade" << 10 << "Contains"
                                             << "O'NEIL"
                                             << "[callmade] LIKE '*O''NEIL*'"
                                             << "{DData.callmade} LIKE \"*O'NEIL*\"";
        QTest::newRow("star compared") << "callmade" << 10 << "Equals"
                                       << "5*3"
                                       << "[callmade] = '5[*]3'"
                                       << "{DData.callmade} = \"5*3\"";
        QTest::newRow("two apostrophes") << "callmade" << 10 << "Equals"
                                         << "''"
                                         << "[callmade] = ''''"
                                         << "(not IsNull ({DData.callmade}) and {DData.callmade} = \"'\")";
        QTest::newRow("double quotes") << "callmade" << 10 << "Equals"
                                       << "SAY \"HI\""
                                       << "[callmade] = 'SAY \"HI\"'"
                                       << "{DData.callmade} = \"SAY \"\"HI\"\"\"";
        QTest::newRow("unknown operator") << "callmade" << 10 << "Sounds Like"
                                          << "JAM"
                                          << ""
                                          << "";
    }
    void clause()
    {
        QFETCH(QString, field);
        QFETCH(int, typeCode);
        QFETCH(QString, op);
        QFETCH(QString, criteria);
        QFETCH(QString, statement);
        QFETCH(QString, formula);
        FilterRows rows;
        rows.find = {findRow(field, typeCode, op, criteria)};
        rows.sort = {sortRow(kDoNotSort, QString())};
        const BuiltFilter built = CreateSQLStatement(rows, QStringLiteral("DData"));
        QCOMPARE(built.statement, kWhere + statement);
        QCOMPARE(built.reportFormula, formula);
        QVERIFY(!built.reportFormula.contains(QLatin1String("{DData.}")));
        QVERIFY(!built.reportFormula.endsWith(QLatin1String("{DData.")));
    }

    void rowsJoinInBothLanguages()
    {
        FilterRows rows;
        rows.find = {findRow(QStringLiteral("LaneNo"), 4, QStringLiteral("Is Greater Than"), QStringLiteral("10"),
                             QStringLiteral("Or")),
                     findRow(QStringLiteral("DateNow"), 8, QStringLiteral("Month Equals"), QStringLiteral("3"),
                             QStringLiteral("And")),
                     findRow(QStringLiteral("callmade"), 10, QStringLiteral("Equals"), QStringLiteral("empty"),
                             QStringLiteral("Or")),
                     FindRow()};
        const BuiltFilter built = CreateSQLStatement(rows, QStringLiteral("DData"));
        QCOMPARE(built.statement,
                 kWhere + QStringLiteral("[LaneNo] > 10 OR DatePart(\"m\",[DateNow]) = 3 AND [callmade] = NULL"));
        QCOMPARE(built.reportFormula, QStringLiteral("{DData.LaneNo} > 10 or Month ({DData.DateNow}) = 3 and "
                                                     "IsNull ({DData.callmade})"));
    }

    void findAllRecords()
    {
        FilterRows rows;
        rows.find = {findRow(kFindAllRecords, 0, QString(), QString())};
        rows.sort = {sortRow(kDoNotSort, QString())};
        BuiltFilter built = CreateSQLStatement(rows, QStringLiteral("DData"));
        QCOMPARE(built.statement, QStringLiteral("Select DData.* From DData"));
        QCOMPARE(built.reportFormula, QString());
        QVERIFY(built.findsAll);

        rows.sort = {sortRow(QStringLiteral("LaneNo"), QStringLiteral("Ascending")),
                     sortRow(QStringLiteral("Time"), QString()), sortRow(QStringLiteral("Type"), QString())};
        built = CreateSQLStatement(rows, QStringLiteral("DData"));
        QCOMPARE(built.statement,
                 QStringLiteral("Select DData.* From DData ORDER BY [LaneNo] ASC, [Time] DESC, [Type] DESC"));
        QCOMPARE(built.sortTexts, QStringList({QStringLiteral("+{DData.LaneNo}"), QStringLiteral("-{DData.Time}"),
                                               QStringLiteral("-{DData.Type}")}));

        rows.deleteChecked = true;
        built = CreateSQLStatement(rows, QStringLiteral("DData"));
        QCOMPARE(built.statement, QStringLiteral("Delete * From DData"));
        QCOMPARE(built.sortTexts, QStringList({QString(), QString(), QString()}));
        QVERIFY(built.findsAll);
    }

    void deleteHasNoOrderAndNoFormula()
    {
        FilterRows rows;
        rows.find = {findRow(QStringLiteral("LaneNo"), 4, QStringLiteral("Equals"), QStringLiteral("5"))};
        rows.sort = {sortRow(QStringLiteral("DateNow"), QStringLiteral("Descending"))};
        rows.deleteChecked = true;
        const BuiltFilter built = CreateSQLStatement(rows, QStringLiteral("DData"));
        QCOMPARE(built.statement, QStringLiteral("Delete * From DData Where [LaneNo] = 5"));
        QCOMPARE(built.reportFormula, QString());
        QCOMPARE(built.sortTexts, QStringList({QString(), QString(), QString()}));
    }

    void sortRowsEndAtTheFirstEmptyOne()
    {
        FilterRows rows;
        rows.find = {findRow(QStringLiteral("LaneNo"), 4, QStringLiteral("Equals"), QStringLiteral("5"))};
        rows.sort = {sortRow(QStringLiteral("DateNow"), QStringLiteral("Descending")),
                     sortRow(QStringLiteral("Time"), QStringLiteral("Ascending")), SortRow{QString(), 0, QString()}};
        BuiltFilter built = CreateSQLStatement(rows, QStringLiteral("DData"));
        QCOMPARE(built.statement, kWhere + QStringLiteral("[LaneNo] = 5 ORDER BY [DateNow] DESC, [Time] ASC"));
        QCOMPARE(built.sortTexts,
                 QStringList({QStringLiteral("-{DData.DateNow}"), QStringLiteral("+{DData.Time}"), QString()}));

        rows.sort[1].field.clear();
        rows.sort[2].field = QStringLiteral("Type");
        built = CreateSQLStatement(rows, QStringLiteral("DData"));
        QCOMPARE(built.statement, kWhere + QStringLiteral("[LaneNo] = 5 ORDER BY [DateNow] DESC"));
        QCOMPARE(built.sortTexts, QStringList({QStringLiteral("-{DData.DateNow}"), QString(), QString()}));
    }

    void aRowWithoutFieldEndsTheRows()
    {
        FilterRows rows;
        rows.find = {
            findRow(QStringLiteral("LaneNo"), 4, QStringLiteral("Equals"), QStringLiteral("5"), QStringLiteral("And")),
            FindRow(), findRow(QStringLiteral("LaneNo"), 4, QStringLiteral("Equals"), QStringLiteral("6"))};
        const BuiltFilter built = CreateSQLStatement(rows, QStringLiteral("DData"));
        QCOMPARE(built.statement, kWhere + QStringLiteral("[LaneNo] = 5"));
        QCOMPARE(built.reportFormula, QStringLiteral("{DData.LaneNo} = 5"));
    }

    void nothingChosenBuildsNothing()
    {
        FilterRows rows;
        rows.find = {FindRow()};
        rows.sort = {sortRow(QStringLiteral("DateNow"), QStringLiteral("Ascending"))};
        QCOMPARE(CreateSQLStatement(rows, QStringLiteral("DData")).statement, QString());
    }

    void quoteCriteria_data()
    {
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("apostrophe") << "O'NEIL"
                                    << "O''NEIL";
        QTest::newRow("star") << "5*3"
                              << "5[*]3";
        QTest::newRow("two apostrophes") << "''"
                                         << "''";
        QTest::newRow("two apostrophes, trailing blanks") << "''   "
                                                          << "''";
        QTest::newRow("two apostrophes, leading blank") << " ''"
                                                        << "''''";
        QTest::newRow("one apostrophe") << "'"
                                        << "''";
        QTest::newRow("every enclosed character") << "#?():;*"
                                                  << "[#][?][(][)][:][;][*]";
        QTest::newRow("brackets typed stay") << "[A]"
                                             << "[A]";
        QTest::newRow("blanks around") << "  JAM  "
                                       << "JAM";
        QTest::newRow("tab kept") << "\tJAM"
                                  << "\tJAM";
        QTest::newRow("percent and dashes") << "50% -- /*"
                                            << "50% -- /[*]";
        QTest::newRow("statement end") << "X'; DROP TABLE Calls; --"
                                       << "X''[;] DROP TABLE Calls[;] --";
        QTest::newRow("empty") << ""
                               << "";
    }
    void quoteCriteria()
    {
        QFETCH(QString, criteria);
        QFETCH(QString, quoted);
        QCOMPARE(QuoteCriteria(criteria), quoted);
    }

    void currentTableName_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("table");
        QTest::newRow("table") << "DData"
                               << "DData";
        QTest::newRow("built statement") << "Select DData.* From DData Where [LaneNo] = 5 ORDER BY [DateNow] DESC"
                                         << "DData";
        QTest::newRow("after a delete") << "Select [DData].* From DData"
                                        << "DData";
        QTest::newRow("no table before the star") << "SELECT * FROM [DData] WHERE [LaneNo] = 1"
                                                  << "DData";
        QTest::newRow("nothing to find") << "select"
                                         << "";
    }
    void currentTableName()
    {
        QFETCH(QString, source);
        QFETCH(QString, table);
        QCOMPARE(CurrentTableName(source), table);
    }
};

QTEST_GUILESS_MAIN(TestFilterStatement)
#include "test_filterstatement.moc"
