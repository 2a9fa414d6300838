// The selection formula language on its own: what it accepts, where it
// refuses and why, constants folded before any row is read, and the truth
// of a formula for single rows (Null stays unknown, as in SQL).
#include "reports/engine/Formula.h"
#include "store/Database.h"

#include <QTest>

using reports::Formula;
using store::FieldInfo;
using store::FieldType;

namespace {

QList<FieldInfo> callFields()
{
    return {{QStringLiteral("DateNow"), FieldType::Date},  {QStringLiteral("Time"), FieldType::Text},
            {QStringLiteral("Weekday"), FieldType::Text},  {QStringLiteral("LaneNo"), FieldType::Long},
            {QStringLiteral("callmade"), FieldType::Text}, {QStringLiteral("Type"), FieldType::Text},
            {QStringLiteral("Name1"), FieldType::Text},    {QStringLiteral("Name2"), FieldType::Text},
            {QStringLiteral("Notes"), FieldType::Memo},    {QStringLiteral("Recno"), FieldType::Long, true}};
}

const QDate kToday(2004, 12, 7);

std::optional<Formula> compile(const QString& text, store::Error* error = nullptr)
{
    return Formula::compile(text, QStringLiteral("DData"), callFields(), kToday, error);
}

} // namespace

class TestFormula : public QObject {
    Q_OBJECT
private slots:
    void refusesWithThePlace_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<int>("character");
        QTest::addColumn<QString>("words");
        // What the range prompts pass on unchanged.
        QTest::newRow("partly typed start date")
            << "{DData.DateNow} >= Date (2004,1_,05) and {DData.DateNow} <= Date (2004,01,31)" << 32
            << "typed only in part";
        QTest::newRow("untyped end year")
            << "{DData.DateNow} >= Date (2004,01,05) and {DData.DateNow} <= Date (____,01,31)" << 67
            << "typed only in part";
        QTest::newRow("impossible date") << "{DData.DateNow} >= Date (2004,13,45) and {DData.DateNow} <= "
                                            "Date (2004,12,31)"
                                         << 20 << "Date (2004,13,45) is not a real date";
        QTest::newRow("29 February of a common year")
            << "{DData.DateNow} = Date (2003,02,29)" << 19 << "not a real date";
        QTest::newRow("lane letters") << "{DData.LaneNo} in A to B" << 19 << "\"A\" is not a number";
        QTest::newRow("blank lanes") << "{DData.LaneNo} in    to 12" << 22 << "a value is missing";
        QTest::newRow("lane range without to") << "{DData.LaneNo} in 1 12" << 21 << "\"to\" is expected";
        // What the filter window may leave behind.
        QTest::newRow("bare table and point") << "{DData.LaneNo} = 5 and {DData." << 24 << "no closing \"}\"";
        QTest::newRow("empty field") << "{DData.} = 5" << 1 << "field name is missing";
        QTest::newRow("unknown field") << "{DData.Lane} = 5" << 1 << "has no field \"Lane\"";
        QTest::newRow("another table") << "{DWork.DateNow} = CurrentDate" << 1 << "not DWork";
        QTest::newRow("date against number")
            << "{DData.DateNow} = 5" << 19 << "a date cannot be compared with a number";
        QTest::newRow("number against text") << "{DData.LaneNo} = \"5\"" << 18 << "a number cannot be compared";
        QTest::newRow("unclosed class") << "{DData.callmade} LIKE \"[abc\"" << 23 << "not closed";
        QTest::newRow("like a number") << "{DData.LaneNo} LIKE \"1*\"" << 1 << "LIKE needs a text";
        QTest::newRow("unclosed text") << "{DData.callmade} = \"JAM" << 20 << "no closing \"";
        QTest::newRow("two tests without and") << "{DData.LaneNo} = 5 {DData.LaneNo} = 6" << 20 << "not expected";
        QTest::newRow("no test") << "{DData.LaneNo}" << 1 << "not a test";
        QTest::newRow("stray character") << "{DData.LaneNo} = 5 ; 6" << 20 << "\";\" cannot stand";
        QTest::newRow("starts without with") << "{DData.callmade} Starts \"B\"" << 25 << "\"with\" is expected";
        QTest::newRow("unknown function") << "Hour ({DData.DateNow}) = 5" << 1 << "\"Hour\" is not";
        QTest::newRow("month of a text") << "Month ({DData.callmade}) = 5" << 8 << "Month needs a date";
        QTest::newRow("missing parenthesis") << "({DData.LaneNo} = 5" << 20 << "\")\" is expected";
        // Depth and size: refused with a message, never a crash.
        const QString tooDeep = QStringLiteral("nested too deeply here: at most 32 levels");
        QTest::newRow("8,000 nested parentheses")
            << QString(8000, QLatin1Char('(')) + QStringLiteral("{DData.LaneNo} = 5") + QString(8000, QLatin1Char(')'))
            << 33 << tooDeep;
        QTest::newRow("12,000 parentheses as a starting lane")
            << QStringLiteral("{DData.LaneNo} in ") + QString(12000, QLatin1Char('(')) + QStringLiteral(" to 5") << 51
            << tooDeep;
        QTest::newRow("40,000 not") << QStringLiteral("not ").repeated(40000) + QStringLiteral("{DData.LaneNo} = 5")
                                    << 125 << tooDeep;
        QTest::newRow("100,000 not") << QStringLiteral("not ").repeated(100000) + QStringLiteral("{DData.LaneNo} = 5")
                                     << 200001 << "at most 200000 characters; this one has 400018";
        QTest::newRow("10,000 signs") << QStringLiteral("{DData.LaneNo} = ") + QStringLiteral("- ").repeated(10000) +
                                             QStringLiteral("5")
                                      << 80 << tooDeep;
        QTest::newRow("40 numbers added")
            << QStringLiteral("{DData.LaneNo} = 1") + QStringLiteral(" + 1").repeated(39) << 144 << tooDeep;
        QString orChain;
        while (orChain.size() < (1 << 20))
            orChain += QStringLiteral("{DData.LaneNo} = 1 or ");
        orChain += QStringLiteral("{DData.LaneNo} = 2");
        QTest::newRow("1 MB or-chain") << orChain << 200001 << "a formula can hold at most 200000 characters";
    }

    void longChainsStayShallow()
    {
        // Thousands of tests joined by or (as far as the size allows) are read, and decide as one.
        QStringList tests;
        for (int lane = 1; lane <= 8000; ++lane)
            tests << QStringLiteral("{DData.LaneNo} = %1").arg(lane);
        const QString formula = tests.join(QStringLiteral(" or "));
        QVERIFY(formula.size() <= reports::kLongestFormula);
        store::Error error;
        const auto compiled = compile(formula, &error);
        QVERIFY2(compiled, qPrintable(reports::atCharacter(error)));
        QVERIFY(compiled->depth() <= 16);
        QCOMPARE(compiled->fields().size(), 1); // LaneNo alone
        QVERIFY(compiled->evaluate({7999}));
        QVERIFY(!compiled->evaluate({8001}));
        QVERIFY(!compiled->evaluate({QVariant()}));
    }
    void refusesWithThePlace()
    {
        QFETCH(QString, formula);
        QFETCH(int, character);
        QFETCH(QString, words);
        store::Error error;
        QVERIFY(!compile(formula, &error));
        QVERIFY2(error.message.contains(words), qPrintable(error.message));
        QCOMPARE(error.position + 1, character);
        QCOMPARE(error.kind, store::Error::Kind::Refused);
        QVERIFY(reports::atCharacter(error).startsWith(QStringLiteral("at character %1: ").arg(character)));
    }

    void acceptsWhatTheScreensWrite_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("sql");
        QTest::newRow("date range prompt")
            << "{DData.DateNow} >= Date (2004,01,05) and {DData.DateNow} <= Date (2004,01,31)"
            << "(\"DateNow\" >= '2004-01-05') AND (\"DateNow\" <= '2004-01-31')";
        QTest::newRow("lane range prompt") << "{DData.LaneNo} in 1 to 12"
                                           << "(\"LaneNo\" >= 1 AND \"LaneNo\" <= 12)";
        QTest::newRow("filter: number and contains") << "{DData.LaneNo} = 5 and {DData.callmade} LIKE \"*JAM*\""
                                                     << "(\"LaneNo\" = 5) AND (upper(\"callmade\") GLOB '*JAM*')";
        QTest::newRow("filter: two-digit year date") << "{DData.DateNow} = Date (1993,12,01)"
                                                     << "(\"DateNow\" = '1993-12-01')";
        QTest::newRow("today, folded") << "{DData.DateNow} = CurrentDate"
                                       << "(\"DateNow\" = '2004-12-07')";
        QTest::newRow("yesterday, folded") << "{DData.DateNow} = CurrentDate - 1"
                                           << "(\"DateNow\" = '2004-12-06')";
        QTest::newRow("this week, Sunday to Saturday")
            << "{DData.DateNow} in CurrentDate - DayOfWeek (CurrentDate) + 1 to CurrentDate - DayOfWeek "
               "(CurrentDate) + 7"
            << "(\"DateNow\" >= '2004-12-05' AND \"DateNow\" <= '2004-12-11')";
        QTest::newRow("text without regard to case") << "{DData.callmade} = \"ball stuck in pit\""
                                                     << "(\"callmade\" = 'ball stuck in pit' COLLATE NOCASE)";
        QTest::newRow("quote doubled") << "{DData.Name1} = \"O'NEIL\" or {DData.Name1} = 'say \"\"hi\"\"'"
                                       << "((\"Name1\" = 'O''NEIL' COLLATE NOCASE) OR (\"Name1\" = 'say \"\"hi\"\"' "
                                          "COLLATE NOCASE))";
        QTest::newRow("keywords in any case")
            << "NOT ({DDATA.LANENO} IN 1 TO 2) AnD isnull ({DData.notes})"
            << "(NOT (\"LaneNo\" >= 1 AND \"LaneNo\" <= 2)) AND (\"Notes\" IS NULL OR "
               "\"Notes\" = '')";
    }
    void acceptsWhatTheScreensWrite()
    {
        QFETCH(QString, formula);
        QFETCH(QString, sql);
        store::Error error;
        const auto compiled = compile(formula, &error);
        QVERIFY2(compiled, qPrintable(reports::atCharacter(error)));
        bool complete = false;
        QCOMPARE(compiled->sqlWhere(&complete), sql);
        QVERIFY(complete);
    }

    void blankSelectsEverything()
    {
        const auto formula = compile(QStringLiteral("   "));
        QVERIFY(formula);
        QVERIFY(formula->selectsAll());
        QVERIFY(formula->sqlWhere().isEmpty());
        QVERIFY(formula->evaluate({}));
    }

    void dateFromRowValuesIsCheckedRowByRow()
    {
        // SQLite's date() would roll a 30 February over into March; such a
        // term is left to the evaluator, the rest still runs as SQL.
        const auto formula = compile(QStringLiteral(
            "{DData.LaneNo} = 12 and {DData.DateNow} = Date (Year ({DData.DateNow}), 2, Day ({DData.DateNow}))"));
        QVERIFY(formula);
        bool complete = true;
        QCOMPARE(formula->sqlWhere(&complete), QStringLiteral("(\"LaneNo\" = 12)"));
        QVERIFY(!complete);
        QCOMPARE(formula->fields().size(), 2);
        QCOMPARE(formula->fields().at(0).name, QStringLiteral("LaneNo"));
        QVERIFY(formula->passesResidual({12, QStringLiteral("2004-02-29")}));
        QVERIFY(!formula->passesResidual({12, QStringLiteral("2004-03-30")}));
        QVERIFY(!formula->passesResidual({12, QVariant()}));
    }

    void evaluatesOneRow_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("selected");
        const QVariant null;
        QTest::newRow("like any run") << "{DData.callmade} LIKE \"*jam*\""
                                      << QVariant(QStringLiteral("Pinsetter JAMMED")) << true;
        QTest::newRow("like digit") << "{DData.callmade} LIKE \"Lane ##\"" << QVariant(QStringLiteral("Lane 1x"))
                                    << false;
        QTest::newRow("like bracketed star")
            << "{DData.callmade} LIKE \"5[*]3*\"" << QVariant(QStringLiteral("5*3 spotting")) << true;
        QTest::newRow("like none of") << "{DData.callmade} LIKE \"[!a-m]*\"" << QVariant(QStringLiteral("Out of range"))
                                      << true;
        QTest::newRow("like of Null") << "{DData.callmade} LIKE \"*\"" << null << false;
        QTest::newRow("not of Null is unknown") << "not ({DData.callmade} = \"x\")" << null << false;
        QTest::newRow("or decides over Null") << "{DData.callmade} = \"x\" or 1 = 1" << null << true;
        QTest::newRow("starts with, any case")
            << "{DData.callmade} Starts With \"BALL\"" << QVariant(QStringLiteral("ball stuck")) << true;
        QTest::newRow("starts with is no pattern")
            << "{DData.callmade} Starts With \"5[*]\"" << QVariant(QStringLiteral("5*3")) << false;
        QTest::newRow("starts longer than value")
            << "{DData.callmade} Starts With \"Balls\"" << QVariant(QStringLiteral("Ball")) << false;
        QTest::newRow("IsNull of empty") << "IsNull ({DData.callmade})" << QVariant(QStringLiteral("")) << true;
        QTest::newRow("IsNull of blank") << "IsNull ({DData.callmade})" << QVariant(QStringLiteral(" ")) << false;
        QTest::newRow("IsNull of Null") << "IsNull ({DData.callmade})" << null << true;
        QTest::newRow("letters beyond ASCII, any case")
            << "{DData.callmade} = \"ölwanne\"" << QVariant(QStringLiteral("Ölwanne")) << true;
        QTest::newRow("umlaut, other letter")
            << "{DData.callmade} = \"MÜLLER\"" << QVariant(QStringLiteral("Muller")) << false;
        QTest::newRow("like beyond ASCII")
            << "{DData.callmade} LIKE \"*ÖLWANNE*\"" << QVariant(QStringLiteral("ölwanne leaking")) << true;
        QTest::newRow("starts with beyond ASCII")
            << "{DData.callmade} Starts With \"MÜ\"" << QVariant(QStringLiteral("müller")) << true;
        // Unknown and true is unknown: "or false" then leaves it unknown, never true.
        QTest::newRow("and of Null with true is unknown")
            << "({DData.callmade} = \"x\" and 1 = 1) or 1 = 2" << null << false;
        QTest::newRow("and of true with Null is unknown")
            << "(1 = 1 and {DData.callmade} = \"x\") or 1 = 2" << null << false;
        QTest::newRow("text order") << "{DData.callmade} > \"m\"" << QVariant(QStringLiteral("Out of range")) << true;
    }
    void evaluatesOneRow()
    {
        QFETCH(QString, formula);
        QFETCH(QVariant, value);
        QFETCH(bool, selected);
        store::Error error;
        const auto compiled = compile(formula, &error);
        QVERIFY2(compiled, qPrintable(reports::atCharacter(error)));
        QCOMPARE(compiled->evaluate({value}), selected);
    }

    void datePartsOfTheQueryDialect_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("part");
        QTest::newRow("month") << "Month"
                               << "2004-12-07" << 12;
        QTest::newRow("day") << "Day"
                             << "2004-12-07" << 7;
        QTest::newRow("year") << "Year"
                              << "2004-12-07" << 2004;
        QTest::newRow("day of year, leap") << "DayOfYear"
                                           << "2004-12-31" << 366;
        QTest::newRow("week of year: 1 January") << "WeekOfYear"
                                                 << "2005-01-01" << 1;
        QTest::newRow("week of year: first Sunday") << "WeekOfYear"
                                                    << "2005-01-02" << 2;
        QTest::newRow("weekday, Sunday 1") << "DayOfWeek"
                                           << "2004-12-05" << 1;
        QTest::newRow("weekday, Saturday 7") << "DayOfWeek"
                                             << "2004-12-11" << 7;
    }
    void datePartsOfTheQueryDialect()
    {
        QFETCH(QString, function);
        QFETCH(QString, date);
        QFETCH(int, part);
        const auto formula = compile(function + QStringLiteral(" ({DData.DateNow}) = %1").arg(part));
        QVERIFY(formula);
        QVERIFY(formula->evaluate({date}));
        const auto other = compile(function + QStringLiteral(" ({DData.DateNow}) = %1").arg(part + 1));
        QVERIFY(!other->evaluate({date}));
    }

    void sortFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("ascending") << "+{DData.DateNow}"
                                   << "DateNow" << false << "";
        QTest::newRow("descending, any case") << "-{ddata.LANENO}"
                                              << "LaneNo" << true << "";
        QTest::newRow("no sign") << "{DData.callmade}"
                                 << "callmade" << false << "";
        QTest::newRow("no braces") << "+DData.DateNow"
                                   << "" << false << "is not written as";
        QTest::newRow("unknown field") << "+{DData.When}"
                                       << "" << false << "no field \"When\"";
        QTest::newRow("another table") << "+{DWork.DateNow}"
                                       << "" << false << "names the table DWork";
    }
    void sortFields()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QFETCH(bool, descending);
        QFETCH(QString, refusal);
        store::Error error;
        const auto sort = reports::parseSortField(text, QStringLiteral("DData"), callFields(), &error);
        if (!refusal.isEmpty()) {
            QVERIFY(!sort);
            QCOMPARE(error.kind, store::Error::Kind::Refused);
            QVERIFY2(error.message.contains(refusal), qPrintable(error.message));
            return;
        }
        QVERIFY2(sort, qPrintable(error.text()));
        QCOMPARE(sort->field.name, field);
        QCOMPARE(sort->descending, descending);
    }
};

QTEST_GUILESS_MAIN(TestFormula)
#include "test_formula.moc"
