// The find rows as plain data: operator lists, choosing fields, the numeric
// readings and every message of the criteria check.
#include "filter/engine/Criteria.h"
#include "filter/engine/FilterRows.h"

#include <QTest>

using namespace filter::engine;

namespace {

FindRow row(const QString& field, int typeCode, int operatorIndex, const QString& criteria)
{
    FindRow r;
    FieldItem item{field, typeCode};
    chooseField(r, item);
    if (operatorIndex >= 0) {
        chooseOperator(r, operatorIndex);
    } else {
        r.operatorIndex = -1;
        r.operatorText.clear();
    }
    r.criteria = criteria;
    return r;
}

} // namespace

class TestFilterCriteria : public QObject {
    Q_OBJECT
private slots:
    void numericPart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part");
        QTest::newRow("two points") << "-12.5.3x"
                                    << "-12.53";
        QTest::newRow("dollar") << "$5"
                                << "5";
        QTest::newRow("letters") << "abc"
                                 << "";
        QTest::newRow("lone minus") << "-"
                                    << "-";
        QTest::newRow("thousands") << "1,000"
                                   << "1000";
        QTest::newRow("minus inside") << "5-3"
                                      << "53";
        QTest::newRow("empty") << ""
                               << "";
    }
    void numericPart()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        QCOMPARE(NumericPart(text), part);
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("number");
        QTest::newRow("letters after") << "12abc"
                                       << "12";
        QTest::newRow("trailing zero") << "-3.50"
                                       << "-3.5";
        QTest::newRow("dollar") << "$5"
                                << "0";
        QTest::newRow("comma stops") << "1,000"
                                     << "1";
        QTest::newRow("blanks skipped") << " - 5"
                                        << "-5";
        QTest::newRow("plus") << "+7"
                              << "7";
        QTest::newRow("point first") << ".5"
                                     << "0.5";
        QTest::newRow("zeros") << "007.100"
                               << "7.1";
        QTest::newRow("minus zero") << "-0"
                                    << "0";
        QTest::newRow("lone minus") << "-"
                                    << "0";
        QTest::newRow("second point stops") << "1.2.3"
                                            << "1.2";
        QTest::newRow("no exponent") << "1e5"
                                     << "1";
        QTest::newRow("long") << "123456789012345678901234567890"
                              << "123456789012345678901234567890";
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(QString, number);
        QCOMPARE(filter::engine::leadingNumber(text), number);
    }

    void operatorPositionsCarryTheDateChecks()
    {
        const QStringList date = operatorsOf(OperatorList::Date);
        QCOMPARE(date.size(), 11);
        QCOMPARE(date.at(MonthEquals), QStringLiteral("Month Equals"));
        QCOMPARE(date.at(WeekOfYearEquals), QStringLiteral("Week of Year Equals"));
        QCOMPARE(operatorsOf(OperatorList::Text).mid(6),
                 QStringList(
                     {QStringLiteral("Contains"), QStringLiteral("Does Not Contain"), QStringLiteral("Begins With")}));
        QCOMPARE(operatorsOf(OperatorList::Boolean), QStringList{QStringLiteral("Equals")});
        QCOMPARE(operatorListFor(2), OperatorList::None);
        QCOMPARE(operatorListFor(9), OperatorList::None);
        QCOMPARE(operatorListFor(12), OperatorList::Text);
        QCOMPARE(operatorListFor(5), OperatorList::Number);
    }

    void fieldListsFollowTheRecordSource()
    {
        const QList<store::FieldInfo> fields = {{QStringLiteral("DateNow"), store::FieldType::Date, false},
                                                {QStringLiteral("Notes"), store::FieldType::Memo, false},
                                                {QStringLiteral("LaneNo"), store::FieldType::Long, false}};
        const auto find0 = findFieldItems(0, fields);
        QCOMPARE(find0.size(), 4);
        QCOMPARE(find0.at(0).name, kFindAllRecords);
        QCOMPARE(find0.at(0).typeCode, 0);
        QCOMPARE(find0.at(2).typeCode, 12);
        QCOMPARE(findFieldItems(3, fields).size(), 3);
        const auto sort0 = sortFieldItems(0, fields);
        QCOMPARE(sort0.size(), 3); // no memo field
        QCOMPARE(sort0.at(0).name, kDoNotSort);
        QCOMPARE(sort0.at(2).name, QStringLiteral("LaneNo"));
        QCOMPARE(sortFieldItems(1, fields).size(), 2);
    }

    void choosingAFieldLoadsItsOperatorsOnce()
    {
        FindRow r;
        QVERIFY(chooseField(r, {QStringLiteral("Flag"), 1}));
        QCOMPARE(r.operatorTag, QStringLiteral("Boolean"));
        QCOMPARE(r.criteria, QStringLiteral("Yes"));
        QCOMPARE(r.operatorText, QStringLiteral("Equals"));

        QVERIFY(chooseField(r, {QStringLiteral("callmade"), 10}));
        QCOMPARE(r.criteria, QString());
        QVERIFY(chooseOperator(r, 8));
        QCOMPARE(r.operatorText, QStringLiteral("Begins With"));
        r.criteria = QStringLiteral("BALL");
        // Another field of the same kind keeps operator and criteria.
        QVERIFY(!chooseField(r, {QStringLiteral("Notes"), 12}));
        QCOMPARE(r.field, QStringLiteral("Notes"));
        QCOMPARE(r.operatorIndex, 8);
        QCOMPARE(r.criteria, QStringLiteral("BALL"));
        // A byte field has no list: the row keeps what it holds.
        QVERIFY(!chooseField(r, {QStringLiteral("Small"), 2}));
        QCOMPARE(r.operatorTag, QStringLiteral("Text"));
        QCOMPARE(r.typeCode, 2);
        // Another kind replaces the list and selects its first operator.
        QVERIFY(chooseField(r, {QStringLiteral("LaneNo"), 4}));
        QCOMPARE(r.operatorIndex, 0);
        QCOMPARE(r.operatorText, QStringLiteral("Equals"));
        QCOMPARE(r.criteria, QString());
        QVERIFY(!chooseOperator(r, 6));
    }

    void checkCriteria_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<int>("operatorIndex");
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<QString>("title"); // empty: accepted
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("after");

        const QString textMessage =
            QStringLiteral("When finding a text or memo field that equals nothing, use the criteria 'empty'.");
        QTest::newRow("text empty") << 10 << 0 << ""
                                    << "Empty Criteria Field" << textMessage << "empty";
        QTest::newRow("memo empty") << 12 << 6 << ""
                                    << "Empty Criteria Field" << textMessage << "empty";
        QTest::newRow("text empty word") << 10 << 0 << "empty"
                                         << ""
                                         << ""
                                         << "empty";
        QTest::newRow("text blanks pass") << 10 << 0 << "  "
                                          << ""
                                          << ""
                                          << "  ";

        const QString numberMessage =
            QStringLiteral("You must supply a valid number when finding based on numeric fields.");
        QTest::newRow("number letters") << 4 << 0 << "abc"
                                        << "Invalid Numeric Criteria" << numberMessage << "";
        QTest::newRow("number empty") << 3 << 2 << ""
                                      << "Invalid Numeric Criteria" << numberMessage << "";
        QTest::newRow("byte letters") << 2 << -1 << "x"
                                      << "Invalid Numeric Criteria" << numberMessage << "";
        QTest::newRow("number thousands") << 4 << 0 << "1,000"
                                          << ""
                                          << ""
                                          << "1";
        QTest::newRow("number letters after") << 7 << 0 << "12abc"
                                              << ""
                                              << ""
                                              << "12";
        QTest::newRow("number decimals") << 6 << 0 << "-3.50"
                                         << ""
                                         << ""
                                         << "-3.5";
        QTest::newRow("number dollar") << 5 << 0 << "$5"
                                       << ""
                                       << ""
                                       << "0";
        QTest::newRow("number lone minus") << 4 << 0 << "-"
                                           << ""
                                           << ""
                                           << "0";

        const QString logicalMessage = QStringLiteral(
            "For checkbox fields and radio buttons, you must supply 'Yes', 'No', 'True', or 'False' for the criteria.");
        QTest::newRow("yes/no y") << 1 << 0 << "y"
                                  << "Bad Logical Criteria" << logicalMessage << "";
        QTest::newRow("yes/no blank after") << 1 << 0 << "yes "
                                            << "Bad Logical Criteria" << logicalMessage << "";
        QTest::newRow("yes/no Yes") << 1 << 0 << "Yes"
                                    << ""
                                    << ""
                                    << "YES";
        QTest::newRow("yes/no false") << 1 << 0 << "false"
                                      << ""
                                      << ""
                                      << "FALSE";

        const QString dateMessage =
            QStringLiteral("You must supply a valid date in the find criteria based on a date field.\n\n"
                           "Example Date Format: 12/1/93");
        QTest::newRow("date impossible") << 8 << 2 << "13/45/93"
                                         << "Missing or Invalid Date" << dateMessage << "13/45/93";
        // Every one of the six comparisons checks the date, the last of them too.
        for (int op = 0; op <= 5; ++op)
            QTest::newRow(qPrintable(QStringLiteral("date impossible, operator %1").arg(op)))
                << 8 << op << "2/30/2004"
                << "Missing or Invalid Date" << dateMessage << "2/30/2004";
        QTest::newRow("date empty") << 8 << 0 << ""
                                    << "Missing or Invalid Date" << dateMessage << "";
        QTest::newRow("date no operator") << 8 << -1 << "JAM"
                                          << "Missing or Invalid Date" << dateMessage << "JAM";
        QTest::newRow("date day first") << 8 << 0 << "25/12/2026"
                                        << "Missing or Invalid Date" << dateMessage << "25/12/2026";
        QTest::newRow("date short") << 8 << 5 << "12/1/93"
                                    << ""
                                    << ""
                                    << "12/1/93";
        QTest::newRow("date long") << 8 << 0 << "12/01/2026"
                                   << ""
                                   << ""
                                   << "12/01/2026";

        QTest::newRow("month 0") << 8 << 6 << "0"
                                 << "Bad Month of the Year Number!"
                                 << "You must supply a valid month of the year number (1-12) in the find criteria."
                                 << "0";
        QTest::newRow("month 13") << 8 << 6 << "13"
                                  << "Bad Month of the Year Number!"
                                  << "You must supply a valid month of the year number (1-12) in the find criteria."
                                  << "13";
        QTest::newRow("month empty") << 8 << 6 << ""
                                     << "Bad Month of the Year Number!"
                                     << "You must supply a valid month of the year number (1-12) in the find criteria."
                                     << "";
        QTest::newRow("month 12") << 8 << 6 << "12"
                                  << ""
                                  << ""
                                  << "12";
        QTest::newRow("month text after") << 8 << 6 << "12 OR 1=1"
                                          << ""
                                          << ""
                                          << "12";
        QTest::newRow("day 32") << 8 << 7 << "32"
                                << "Bad Day of the Month Number!"
                                << "You must supply a valid day of the month number (1-31) in the find criteria."
                                << "32";
        QTest::newRow("day 31") << 8 << 7 << "31"
                                << ""
                                << ""
                                << "31";
        QTest::newRow("year letters") << 8 << 8 << "abc"
                                      << "Bad Year!"
                                      << "You must supply a valid year in the find criteria."
                                      << "abc";
        QTest::newRow("year three digits") << 8 << 8 << "993"
                                           << "Bad Year!"
                                           << "You must supply a valid year in the find criteria."
                                           << "993";
        QTest::newRow("year four digits") << 8 << 8 << "2026"
                                          << ""
                                          << ""
                                          << "2026";
        QTest::newRow("year two digits, last century") << 8 << 8 << "93"
                                                       << ""
                                                       << ""
                                                       << "1993";
        QTest::newRow("year two digits, this century") << 8 << 8 << "05"
                                                       << ""
                                                       << ""
                                                       << "2005";
        QTest::newRow("day of year 367") << 8 << 9 << "367"
                                         << "Bad Day of the Year Number!"
                                         << "You must supply a valid day of the year number (1-366) in the find "
                                            "criteria."
                                         << "367";
        QTest::newRow("day of year 366") << 8 << 9 << "366"
                                         << ""
                                         << ""
                                         << "366";
        // Late December falls in week 53 (54 in a leap year starting on a Saturday).
        QTest::newRow("week 53") << 8 << 10 << "53"
                                 << ""
                                 << ""
                                 << "53";
        QTest::newRow("week 54") << 8 << 10 << "54"
                                 << ""
                                 << ""
                                 << "54";
        QTest::newRow("week 55") << 8 << 10 << "55"
                                 << "Bad Week of the Year Number!"
                                 << "You must supply a valid week of the year number (1-54) in the find criteria."
                                 << "55";
        QTest::newRow("week 0") << 8 << 10 << "0"
                                << "Bad Week of the Year Number!"
                                << "You must supply a valid week of the year number (1-54) in the find criteria."
                                << "0";
        QTest::newRow("week 10") << 8 << 10 << "10"
                                 << ""
                                 << ""
                                 << "10";

        QTest::newRow("other kind unchecked") << 9 << -1 << "anything"
                                              << ""
                                              << ""
                                              << "anything";
    }
    void checkCriteria()
    {
        QFETCH(int, typeCode);
        QFETCH(int, operatorIndex);
        QFETCH(QString, criteria);
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(QString, after);
        QList<FindRow> rows = {row(QStringLiteral("LaneNo"), 4, 0, QStringLiteral("7")),
                               row(QStringLiteral("F"), typeCode, operatorIndex, criteria)};
        rows[0].condition = QStringLiteral("And");
        const auto problem = CheckCriteria(rows);
        if (title.isEmpty()) {
            QVERIFY2(!problem, problem ? qPrintable(problem->message) : "");
        } else {
            QVERIFY(problem);
            QCOMPARE(problem->row, 1);
            QCOMPARE(problem->title, title);
            QCOMPARE(problem->message, message);
            QCOMPARE(problem->icon, MessageIcon::Exclamation);
            QVERIFY(problem->beep);
        }
        QCOMPARE(rows.at(1).criteria, after);
    }

    void checkStopsAtTheFirstRowWithoutField()
    {
        QList<FindRow> rows = {row(QStringLiteral("LaneNo"), 4, 0, QStringLiteral("5x")), FindRow(),
                               row(QStringLiteral("LaneNo"), 4, 0, QStringLiteral("abc"))};
        QVERIFY(!CheckCriteria(rows));
        QCOMPARE(rows.at(0).criteria, QStringLiteral("5"));
        QCOMPARE(rows.at(2).criteria, QStringLiteral("abc"));
    }

    void findAllRecordsIsNeverChecked()
    {
        QList<FindRow> rows = {row(kFindAllRecords, 0, -1, QStringLiteral("whatever"))};
        QVERIFY(!CheckCriteria(rows));
    }

    void onlyTheFirstFailureIsReportedAndEarlierRowsStayNormalised()
    {
        QList<FindRow> rows = {row(QStringLiteral("LaneNo"), 4, 0, QStringLiteral("1,000")),
                               row(QStringLiteral("callmade"), 10, 0, QString()),
                               row(QStringLiteral("Flag"), 1, 0, QStringLiteral("maybe"))};
        const auto problem = CheckCriteria(rows);
        QVERIFY(problem);
        QCOMPARE(problem->row, 1);
        QCOMPARE(rows.at(0).criteria, QStringLiteral("1"));
        QCOMPARE(rows.at(1).criteria, QStringLiteral("empty"));
        QCOMPARE(rows.at(2).criteria, QStringLiteral("maybe"));
        // OK again: the inserted word passes, and the next row is reported.
        const auto again = CheckCriteria(rows);
        QVERIFY(again);
        QCOMPARE(again->row, 2);
        QCOMPARE(again->title, QStringLiteral("Bad Logical Criteria"));
        QCOMPARE(rows.at(2).criteria, QString());
    }
};

QTEST_GUILESS_MAIN(TestFilterCriteria)
#include "test_filtercriteria.moc"
