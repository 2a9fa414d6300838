// Filters built by the engine and opened by a record source on a real
// database file: every operator of every field kind of the call log, alone
// and joined by And and Or, finds the calls a plain reading of the rows says
// it should; hostile criteria never reach SQLite outside a quoted text.
#include "support/TempDatabase.h"

#include "filter/engine/Criteria.h"
#include "filter/engine/FoundRecords.h"
#include "filter/engine/StatementBuilder.h"
#include "store/FieldValue.h"
#include "store/JetSql.h"
#include "store/RecordSet.h"

#include <QTest>

#include <memory>

using namespace filter::engine;

namespace {

// Three-valued, as SQL has it: a comparison with Null is unknown.
enum class Truth { False, True, Unknown };

Truth of(bool value)
{
    return value ? Truth::True : Truth::False;
}

struct Call {
    int recno = 0;
    QDate date; // invalid: Null
    QVariant lane;
    QVariant callmade;
    QVariant notes;
};

QString sqlValue(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::Int)
        return QString::number(value.toInt());
    QString text = value.toString();
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

const QStringList kCallTexts = {QStringLiteral("BALL JAM"),
                                QStringLiteral("ball jam"),
                                QStringLiteral("Jam on deck"),
                                QStringLiteral("PIN #7 STUCK"),
                                QStringLiteral("O'NEIL"),
                                QStringLiteral("5*3"),
                                QString(),
                                QStringLiteral("<null>"),
                                QString::fromUtf8("\xc3\x9cN\xc3\x8f"
                                                  "CODE"),
                                QStringLiteral("DECK (LOWER)"),
                                QStringLiteral("a;b"),
                                QStringLiteral("50% OFF"),
                                QStringLiteral("SAY \"HI\""),
                                QStringLiteral("_x_"),
                                QStringLiteral("ZZ"),
                                QStringLiteral("Ball stuck"),
                                QStringLiteral(" "),
                                QStringLiteral("pin #7"),
                                QStringLiteral("'"),
                                QString::fromUtf8("\xc3\x96lwanne")};

QList<Call> makeCalls()
{
    QList<Call> calls;
    for (int i = 0; i < 72; ++i) {
        Call call;
        call.recno = i + 1;
        if (i % 17 != 3)
            call.date = QDate(2025, 12, 20).addDays(i * 3 - (i % 5) * 20);
        if (i % 19 != 7)
            call.lane = (i * 7) % 12 + 1;
        const QString text = kCallTexts.at(i % kCallTexts.size());
        call.callmade = text == QLatin1String("<null>") ? QVariant() : QVariant(text);
        const QString note = kCallTexts.at((i * 5 + 3) % kCallTexts.size());
        call.notes = note == QLatin1String("<null>") ? QVariant() : QVariant(note.toLower());
        calls.append(call);
    }
    return calls;
}

QString folded(const QString& text)
{
    return text.toCaseFolded();
}

bool ordered(int order, const QString& op)
{
    if (op == QLatin1String("Equals"))
        return order == 0;
    if (op == QLatin1String("Is Not Equal To"))
        return order != 0;
    if (op == QLatin1String("Is Greater Than"))
        return order > 0;
    if (op == QLatin1String("Is Less Than"))
        return order < 0;
    if (op == QLatin1String("Is Greater Than or Equal To"))
        return order >= 0;
    return order <= 0;
}

// What a row means, read plainly: text compared without regard to the case
// of any letter, an empty field as the empty text, except that no empty field
// compares with one lone apostrophe (typed as ' or '', or "empty" beside
// another comparison than Equals); numbers and dates unknown when Null.
Truth truth(const Call& call, const FindRow& row)
{
    const QString op = row.operatorText;
    const QString c = row.criteria.trimmed();
    if (row.typeCode == 10 || row.typeCode == 12) {
        const QString v = (row.field == QLatin1String("callmade") ? call.callmade : call.notes).toString();
        const bool empty =
            op == QLatin1String("Equals") ? c.toLower() == QLatin1String("empty") : c == QLatin1String("empty");
        const bool apostrophe =
            c == QLatin1String("'") || c == QLatin1String("''") || (empty && op != QLatin1String("Equals"));
        const QString compared = empty ? QString() : c;
        // In a pattern, two apostrophes typed are the quoted form of one.
        const QString part = c == QLatin1String("''") ? QStringLiteral("'") : c;
        if (op == QLatin1String("Contains"))
            return of(folded(v).contains(folded(part)));
        if (op == QLatin1String("Does Not Contain"))
            return of(!folded(v).contains(folded(part)));
        if (op == QLatin1String("Begins With"))
            return of(folded(v).startsWith(folded(part)));
        if (apostrophe)
            return of(!v.isEmpty() && ordered(store::jet::compareText(v, QStringLiteral("'")), op));
        return of(ordered(store::jet::compareText(v, compared), op));
    }
    if (row.typeCode == 4) {
        if (call.lane.isNull())
            return Truth::Unknown;
        const double lane = call.lane.toDouble();
        const double value = c.toDouble();
        return of(ordered(lane < value ? -1 : (lane > value ? 1 : 0), op));
    }
    if (!call.date.isValid())
        return Truth::Unknown;
    if (row.operatorIndex <= 5) {
        const QDate value = store::parseMonthFirstDate(c);
        return of(ordered(call.date < value ? -1 : (call.date > value ? 1 : 0), op));
    }
    static const QStringList units = {QStringLiteral("m"), QStringLiteral("d"), QStringLiteral("yyyy"),
                                      QStringLiteral("y"), QStringLiteral("ww")};
    return of(store::jet::datePart(units.at(row.operatorIndex - 6), call.date) == c.toInt());
}

// And binds tighter than Or; a call is found when the whole is true.
bool found(const Call& call, const QList<FindRow>& rows)
{
    Truth any = Truth::False;
    Truth all = Truth::True;
    for (int i = 0; i < rows.size(); ++i) {
        const Truth t = truth(call, rows.at(i));
        if (all == Truth::False || t == Truth::False)
            all = Truth::False;
        else if (all == Truth::Unknown || t == Truth::Unknown)
            all = Truth::Unknown;
        const bool last = i + 1 == rows.size() || rows.at(i).condition == QLatin1String("Or");
        if (last) {
            if (any == Truth::True || all == Truth::True)
                any = Truth::True;
            else if (any == Truth::Unknown || all == Truth::Unknown)
                any = Truth::Unknown;
            all = Truth::True;
        }
    }
    return any == Truth::True;
}

FindRow findRow(const QString& field, int typeCode, int operatorIndex, const QString& criteria)
{
    FindRow row;
    chooseField(row, {field, typeCode});
    chooseOperator(row, operatorIndex);
    row.criteria = criteria;
    return row;
}

QList<FindRow> catalogue()
{
    QList<FindRow> rows;
    const QStringList texts = {QStringLiteral("JAM"),
                               QStringLiteral("BALL JAM"),
                               QStringLiteral(""),
                               QStringLiteral("O'NEIL"),
                               QStringLiteral("5*3"),
                               QStringLiteral("PIN #7"),
                               QStringLiteral("(LOWER)"),
                               QStringLiteral("A;B"),
                               QStringLiteral("50%"),
                               QStringLiteral("SAY \"HI\""),
                               QString::fromUtf8("\xc3\x9c"),
                               QStringLiteral("ZZ"),
                               QStringLiteral("''"),
                               QStringLiteral("_"),
                               QStringLiteral("EMPTY"),
                               QStringLiteral("'"),
                               QString::fromUtf8("\xc3\x96LWANNE")};
    for (const QString& field : {QStringLiteral("callmade"), QStringLiteral("Notes")}) {
        for (int op = 0; op <= 8; ++op) {
            for (const QString& text : texts)
                rows.append(findRow(field, field == QLatin1String("Notes") ? 12 : 10, op, text));
        }
    }
    for (int op = 0; op <= 5; ++op) {
        for (const QString& lane : {QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("12"),
                                    QStringLiteral("-1"), QStringLiteral("5.5")})
            rows.append(findRow(QStringLiteral("LaneNo"), 4, op, lane));
        for (const QString& date : {QStringLiteral("12/31/25"), QStringLiteral("1/1/2026"), QStringLiteral("3/1/26"),
                                    QStringLiteral("11/26/2025")})
            rows.append(findRow(QStringLiteral("DateNow"), 8, op, date));
    }
    const QList<QPair<int, QStringList>> parts = {
        {MonthEquals, {QStringLiteral("12"), QStringLiteral("1"), QStringLiteral("3")}},
        {DayEquals, {QStringLiteral("1"), QStringLiteral("31"), QStringLiteral("20")}},
        {YearEquals, {QStringLiteral("2025"), QStringLiteral("26")}},
        {DayOfYearEquals, {QStringLiteral("1"), QStringLiteral("60"), QStringLiteral("354")}},
        {WeekOfYearEquals, {QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("52"), QStringLiteral("53")}}};
    for (const auto& [op, values] : parts) {
        for (const QString& value : values)
            rows.append(findRow(QStringLiteral("DateNow"), 8, op, value));
    }
    return rows;
}

} // namespace

class TestFilterRun : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::TempDatabase> m_db;
    QList<Call> m_calls;

    // The record numbers a filter's statement finds through a record source.
    QList<int> opened(const QString& statement, QString* error)
    {
        store::RecordSet set;
        QList<int> recnos;
        store::Error why;
        if (!set.open(m_db->databasePath(), statement, &why)) {
            *error = why.text();
            return {-1};
        }
        for (bool more = set.hasCurrent(); more; more = set.MoveNext())
            recnos.append(set.value(QStringLiteral("Recno")).toInt());
        std::sort(recnos.begin(), recnos.end());
        return recnos;
    }

    // Checks, builds, opens and compares one filter; false stops the caller.
    void compareWithReading(QList<FindRow> rows)
    {
        while (const auto problem = CheckCriteria(rows)) {
            // Only the inserted "empty" may be asked for again, as OK again would.
            QCOMPARE(problem->title, QStringLiteral("Empty Criteria Field"));
        }
        FilterRows filter;
        filter.find = rows;
        const BuiltFilter built = CreateSQLStatement(filter, QStringLiteral("DData"));
        QString error;
        const QList<int> got = opened(built.statement, &error);
        QVERIFY2(error.isEmpty(), qPrintable(built.statement + QStringLiteral(": ") + error));
        QList<int> expected;
        for (const Call& call : m_calls) {
            if (found(call, rows))
                expected.append(call.recno);
        }
        QVERIFY2(got == expected, qPrintable(built.statement));
        store::Error why;
        const auto count = countFoundRecords(m_db->databasePath(), built.statement, &why);
        QVERIFY2(count, qPrintable(why.text()));
        QCOMPARE(*count, qint64(expected.size()));
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<testing::TempDatabase>();
        m_calls = makeCalls();
        for (const Call& call : m_calls) {
            const QString values =
                QString::number(call.recno) + QLatin1Char(',') +
                sqlValue(call.date.isValid() ? QVariant(call.date.toString(Qt::ISODate)) : QVariant()) +
                QLatin1Char(',') + sqlValue(call.lane) + QLatin1Char(',') + sqlValue(call.callmade) + QLatin1Char(',') +
                sqlValue(call.notes);
            QVERIFY(m_db->exec(QStringLiteral("INSERT INTO DData (Recno, DateNow, LaneNo, callmade, Notes) VALUES (") +
                               values + QLatin1Char(')')));
        }
    }

    void workedExampleInOrder()
    {
        FilterRows filter;
        // The worked example's shape, on a lane these calls have jams on.
        filter.find = {findRow(QStringLiteral("LaneNo"), 4, 0, QStringLiteral("1")),
                       findRow(QStringLiteral("callmade"), 10, 6, QStringLiteral("JAM"))};
        filter.find[0].condition = QStringLiteral("And");
        filter.sort = {SortRow{QStringLiteral("DateNow"), 8, QStringLiteral("Descending")}};
        QVERIFY(!CheckCriteria(filter.find));
        const BuiltFilter built = CreateSQLStatement(filter, QStringLiteral("DData"));
        store::RecordSet set;
        store::Error error;
        QVERIFY2(set.open(m_db->databasePath(), built.statement, &error), qPrintable(error.text()));
        QDate previous(9999, 1, 1);
        int rows = 0;
        for (bool more = set.hasCurrent(); more; more = set.MoveNext(), ++rows) {
            QCOMPARE(set.value(QStringLiteral("LaneNo")).toInt(), 1);
            QVERIFY(folded(set.value(QStringLiteral("callmade")).toString()).contains(QLatin1String("jam")));
            const QDate date = set.value(QStringLiteral("DateNow")).toDate();
            QVERIFY(date <= previous);
            previous = date;
        }
        QCOMPARE(rows, 2);
    }

    void everyOperatorAlone()
    {
        for (const FindRow& row : catalogue()) {
            compareWithReading({row});
            if (QTest::currentTestFailed())
                return;
        }
    }

    void joinedByAndAndOr()
    {
        const QList<FindRow> all = catalogue();
        quint32 state = 12345;
        auto next = [&] {
            state = state * 1103515245u + 12345u;
            return int((state >> 8) % 1000000);
        };
        for (int n = 0; n < 300; ++n) {
            QList<FindRow> rows;
            const int count = 2 + next() % 4;
            for (int i = 0; i < count; ++i) {
                rows.append(all.at(next() % all.size()));
                if (i + 1 < count)
                    rows.last().condition = next() % 2 ? QStringLiteral("And") : QStringLiteral("Or");
            }
            compareWithReading(rows);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void apostropheAndEveryLetterAreFound()
    {
        // As the mechanic types them: one apostrophe, and names with letters beyond ASCII.
        testing::TempDatabase db;
        QVERIFY(
            db.exec(QString::fromUtf8("INSERT INTO DData (Recno, callmade, Name2) VALUES (1, '''', 'M\xc3\xbcller'), "
                                      "(2, 'PIN JAM', 'M\xc3\x9cLLER'), (3, '\xc3\xb6lwanne', 'Muller'), "
                                      "(4, '\xc3\x96lwanne', ' '), (5, NULL, NULL)")));
        auto found = [&](const QString& field, int op, const QString& criteria) {
            QList<FindRow> rows = {findRow(field, 10, op, criteria)};
            if (CheckCriteria(rows))
                return QList<int>{-1};
            FilterRows filter;
            filter.find = rows;
            store::RecordSet set;
            store::Error why;
            if (!set.open(db.databasePath(), CreateSQLStatement(filter, QStringLiteral("DData")).statement, &why))
                return QList<int>{-2};
            QList<int> recnos;
            for (bool more = set.hasCurrent(); more; more = set.MoveNext())
                recnos.append(set.value(QStringLiteral("Recno")).toInt());
            return recnos;
        };
        const QString muller = QString::fromUtf8("M\xc3\x9cLLER");
        QCOMPARE(found(QStringLiteral("Name2"), 0, muller), (QList<int>{1, 2}));
        QCOMPARE(found(QStringLiteral("Name2"), 1, muller), (QList<int>{3, 4, 5}));
        QCOMPARE(found(QStringLiteral("callmade"), 0, QString::fromUtf8("\xc3\x96LWANNE")), (QList<int>{3, 4}));
        QCOMPARE(found(QStringLiteral("callmade"), 8, QString::fromUtf8("\xc3\x96L")), (QList<int>{3, 4}));
        QCOMPARE(found(QStringLiteral("callmade"), 0, QStringLiteral("'")), QList<int>{1});
        QCOMPARE(found(QStringLiteral("callmade"), 0, QStringLiteral("''")), QList<int>{1});
        QCOMPARE(found(QStringLiteral("callmade"), 1, QStringLiteral("'")), (QList<int>{2, 3, 4}));
        QCOMPARE(found(QStringLiteral("callmade"), 1, QStringLiteral("empty")), (QList<int>{2, 3, 4}));
        QCOMPARE(found(QStringLiteral("callmade"), 0, QStringLiteral("empty")), QList<int>{5});
    }

    void hostileCriteriaStayText()
    {
        const QStringList hostile = {QStringLiteral("X'; DROP TABLE Calls; --"),
                                     QStringLiteral("1; DELETE FROM DData"),
                                     QStringLiteral("A' OR '1'='1"),
                                     QStringLiteral("5 OR 1=1"),
                                     QStringLiteral("12 UNION SELECT * FROM PWord"),
                                     QStringLiteral("/* x */"),
                                     QStringLiteral("-- x"),
                                     QStringLiteral("[A"),
                                     QStringLiteral("A]"),
                                     QStringLiteral("[!A-Z]"),
                                     QStringLiteral("100%"),
                                     QStringLiteral("#12/1/93#"),
                                     QString::fromUtf8("\xc3\x89T\xc3\x89 \xe6\x97\xa5\xe6\x9c\xac"),
                                     QString(5000, QLatin1Char('Z')) + QStringLiteral("'\";"),
                                     QStringLiteral("\"); DROP TABLE Calls; (\"")};
        const int callsBefore = m_db->scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt();
        for (const QString& text : hostile) {
            const QList<FindRow> kinds = {findRow(QStringLiteral("callmade"), 10, 0, text),
                                          findRow(QStringLiteral("callmade"), 10, 1, text),
                                          findRow(QStringLiteral("Notes"), 12, 6, text),
                                          findRow(QStringLiteral("Notes"), 12, 7, text),
                                          findRow(QStringLiteral("callmade"), 10, 8, text),
                                          findRow(QStringLiteral("LaneNo"), 4, 0, text),
                                          findRow(QStringLiteral("DateNow"), 8, 0, text),
                                          findRow(QStringLiteral("DateNow"), 8, MonthEquals, text),
                                          findRow(QStringLiteral("DateNow"), 8, YearEquals, text)};
            for (const FindRow& kind : kinds) {
                // As built for the advanced display, unchecked, and as OK builds it, checked.
                for (const bool checked : {false, true}) {
                    QList<FindRow> rows = {kind};
                    if (checked && CheckCriteria(rows))
                        continue;
                    FilterRows filter;
                    filter.find = rows;
                    const QString statement = CreateSQLStatement(filter, QStringLiteral("DData")).statement;
                    QString error;
                    const QList<int> got = opened(statement, &error);
                    // Refused with a message, or run as one statement over the calls.
                    QVERIFY2(got != QList<int>{-1} || !error.isEmpty(), qPrintable(statement));
                    const bool likePattern = kind.typeCode >= 10 && kind.operatorIndex >= 6;
                    const bool unclosedClass = text.count(QLatin1Char('[')) > text.count(QLatin1Char(']'));
                    if (checked && kind.typeCode >= 10 && !(likePattern && text.contains(QLatin1Char('['))))
                        QVERIFY2(error.isEmpty(), qPrintable(statement + QStringLiteral(": ") + error));
                    if (checked && likePattern && unclosedClass)
                        QVERIFY(!error.isEmpty());
                }
            }
        }
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM Calls")).toInt(), 1);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM PWord")).toInt(), 1);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), callsBefore);
    }

    void hostileTextIsFoundAsText()
    {
        // A call holding statement text is found by it, and nothing else is.
        QVERIFY(m_db->exec(
            QStringLiteral("INSERT INTO DData (Recno, callmade) VALUES (900, 'X''; DROP TABLE Calls; --')")));
        QList<FindRow> rows = {findRow(QStringLiteral("callmade"), 10, 0, QStringLiteral("x'; drop table calls; --"))};
        QVERIFY(!CheckCriteria(rows));
        FilterRows filter;
        filter.find = rows;
        QString error;
        QCOMPARE(opened(CreateSQLStatement(filter, QStringLiteral("DData")).statement, &error), QList<int>{900});
        QVERIFY(m_db->exec(QStringLiteral("DELETE FROM DData WHERE Recno = 900")));
    }

    void countRefusesWhatCannotRun()
    {
        store::Error error;
        QVERIFY(!countFoundRecords(m_db->databasePath(), QStringLiteral("Select DData.* From DData Where "), &error));
        QCOMPARE(error.kind, store::Error::Kind::Refused);
        QCOMPARE(error.message, QStringLiteral("The filter statement ends too early."));
        QVERIFY(!countFoundRecords(m_db->folder() + QStringLiteral("/missing.mdb"),
                                   QStringLiteral("Select DData.* From DData"), &error));
        QCOMPARE(error.kind, store::Error::Kind::Missing);
        QVERIFY(!countFoundRecords(m_db->databasePath(),
                                   QStringLiteral("Select DData.* From DData Where [Nothing] = 1"), &error));
        QVERIFY(error.isError());
        const auto all = countFoundRecords(m_db->databasePath(), QStringLiteral("Delete * From DData"), &error);
        QVERIFY2(all, qPrintable(error.text()));
        QCOMPARE(*all, qint64(m_calls.size()));
    }
};

QTEST_GUILESS_MAIN(TestFilterRun)
#include "test_filterrun.moc"
