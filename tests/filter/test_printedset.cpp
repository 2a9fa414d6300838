// The calls "filter.rpt" prints are the calls the browser shows, in the same
// order: many filters (every operator of every kind of field, alone and
// joined by And and Or, sorted or not) are opened by the browser's record
// source and selected by the report engine from the report formula and sort
// fields built with them, and the two lists of record numbers compared.
#include "FindDriver.h"

#include "filter/engine/Criteria.h"
#include "filter/engine/StatementBuilder.h"
#include "support/SelectedRecords.h"

#include <QLabel>
#include <QPushButton>

using filter::FindWindow;
using filter::MaintScreen;
using namespace filter::engine;
using namespace testing;

namespace {

QString sqlValue(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::Double)
        return value.toString();
    QString text = value.toString();
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

const QStringList kTexts = {QStringLiteral("BALL JAM"),
                            QStringLiteral("ball jam"),
                            QStringLiteral("Jam on deck"),
                            QStringLiteral("PIN #7 STUCK"),
                            QStringLiteral("O'NEIL"),
                            QStringLiteral("5*3"),
                            QString(),
                            QStringLiteral("<null>"),
                            QString::fromUtf8("\xc3\x9cNAL"),
                            QStringLiteral("DECK (LOWER)"),
                            QStringLiteral("a;b"),
                            QStringLiteral("50% OFF"),
                            QStringLiteral("SAY \"HI\""),
                            QStringLiteral("_x_"),
                            QStringLiteral("ZZ"),
                            QStringLiteral(" "),
                            QStringLiteral("10:00:15 AM"),
                            QStringLiteral("line one\nline two"),
                            QStringLiteral("ABC"),
                            QStringLiteral("'")};

QVariant textAt(int i)
{
    const QString text = kTexts.at(i % kTexts.size());
    return text == QLatin1String("<null>") ? QVariant() : QVariant(text);
}

// Calls with every kind of field: the call log's own and, added for the
// test, a yes/no field, a whole number, a currency and a double.
bool addCalls(TestApp& app)
{
    const QStringList added = {QStringLiteral("Done YESNO"), QStringLiteral("Shift INTEGER"),
                               QStringLiteral("Cost CURRENCY"), QStringLiteral("Ratio DOUBLE")};
    for (const QString& column : added) {
        if (!app.exec(QStringLiteral("ALTER TABLE DData ADD COLUMN ") + column))
            return false;
    }
    const QList<QDate> specialDays = {QDate(2000, 12, 31), QDate(2004, 2, 29), QDate(2025, 12, 28),
                                      QDate(2026, 12, 1),  QDate(2025, 1, 1),  QDate(2026, 3, 1)};
    for (int i = 0; i < 96; ++i) {
        QDate date;
        if (i % 17 != 3)
            date = i < specialDays.size() ? specialDays.at(i) : QDate(2025, 12, 20).addDays(i * 3 - (i % 5) * 20);
        const QVariantList values = {
            date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant(),
            i % 23 == 5 ? QVariant() : QVariant(textAt(i * 7 + 16)),
            i % 19 == 7 ? QVariant() : QVariant((i * 7) % 12 + (i % 11 == 2 ? -1 : 0)),
            textAt(i),
            textAt(i * 3 + 1),
            textAt(i * 5 + 3).isNull() ? QVariant() : QVariant(textAt(i * 5 + 3).toString().toLower()),
            i % 4 == 0 ? QVariant() : QVariant(QList<int>{0, -1, 1}.at(i % 3)),
            i % 6 == 1 ? QVariant() : QVariant(i % 3),
            i % 7 == 2 ? QVariant() : QVariant(QList<double>{12.5, -3.25, 0, 5.5, 7}.at(i % 5)),
            i % 9 == 4 ? QVariant() : QVariant(QList<double>{0.1, 5, -1, 2.25}.at(i % 4))};
        QStringList sql;
        for (const QVariant& value : values)
            sql << sqlValue(value);
        if (!app.exec(QStringLiteral("INSERT INTO DData (DateNow, Time, LaneNo, callmade, Name1, Notes, Done, Shift, "
                                     "Cost, Ratio) VALUES (") +
                      sql.join(QLatin1Char(',')) + QLatin1Char(')')))
            return false;
    }
    return true;
}

FindRow findRow(const QString& field, int typeCode, int operatorIndex, const QString& criteria)
{
    FindRow row;
    chooseField(row, {field, typeCode});
    if (operatorListFor(typeCode) != OperatorList::None)
        chooseOperator(row, operatorIndex);
    row.criteria = criteria;
    return row;
}

// Every operator of every kind of field, with criteria that try the edges.
QList<FindRow> catalogue()
{
    QList<FindRow> rows;
    const QStringList texts = {QStringLiteral("JAM"),        QStringLiteral("BALL JAM"),    QStringLiteral(""),
                               QStringLiteral("O'NEIL"),     QStringLiteral("5*3"),         QStringLiteral("PIN #7"),
                               QStringLiteral("(LOWER)"),    QStringLiteral("A;B"),         QStringLiteral("50%"),
                               QStringLiteral("SAY \"HI\""), QString::fromUtf8("\xc3\x9c"), QStringLiteral("ZZ"),
                               QStringLiteral("''"),         QStringLiteral("_"),           QStringLiteral("EMPTY"),
                               QStringLiteral("10:00"),      QStringLiteral("[AB]C"),       QStringLiteral("[!A]*"),
                               QStringLiteral("'"),          QStringLiteral("LINE")};
    const QList<QPair<QString, int>> textFields = {{QStringLiteral("callmade"), 10},
                                                   {QStringLiteral("Notes"), 12},
                                                   {QStringLiteral("Name1"), 10},
                                                   {QStringLiteral("Time"), 10}};
    for (const auto& [field, code] : textFields) {
        for (int op = 0; op <= 8; ++op) {
            for (const QString& text : texts)
                rows.append(findRow(field, code, op, text));
        }
    }
    const QList<QPair<QString, int>> numberFields = {{QStringLiteral("LaneNo"), 4},
                                                     {QStringLiteral("Shift"), 3},
                                                     {QStringLiteral("Cost"), 5},
                                                     {QStringLiteral("Ratio"), 7},
                                                     {QStringLiteral("Recno"), 4}};
    for (const auto& [field, code] : numberFields) {
        for (int op = 0; op <= 5; ++op) {
            for (const QString& n :
                 {QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("5.5"),
                  QStringLiteral("-3.25"), QStringLiteral("0.1"), QStringLiteral("12")})
                rows.append(findRow(field, code, op, n));
        }
    }
    for (const QString& word :
         {QStringLiteral("YES"), QStringLiteral("NO"), QStringLiteral("TRUE"), QStringLiteral("FALSE")})
        rows.append(findRow(QStringLiteral("Done"), 1, 0, word));
    for (int op = 0; op <= 5; ++op) {
        for (const QString& date :
             {QStringLiteral("12/31/25"), QStringLiteral("1/1/2026"), QStringLiteral("2/29/2004"),
              QStringLiteral("12/31/2000"), QStringLiteral("12/01/2026"), QStringLiteral("11/26/2025")})
            rows.append(findRow(QStringLiteral("DateNow"), 8, op, date));
    }
    const QList<QPair<int, QStringList>> parts = {
        {MonthEquals, {QStringLiteral("12"), QStringLiteral("2"), QStringLiteral("3")}},
        {DayEquals, {QStringLiteral("1"), QStringLiteral("31"), QStringLiteral("29")}},
        {YearEquals, {QStringLiteral("2025"), QStringLiteral("26"), QStringLiteral("2000")}},
        {DayOfYearEquals, {QStringLiteral("1"), QStringLiteral("60"), QStringLiteral("366")}},
        {WeekOfYearEquals, {QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("53"), QStringLiteral("54")}}};
    for (const auto& [op, values] : parts) {
        for (const QString& value : values)
            rows.append(findRow(QStringLiteral("DateNow"), 8, op, value));
    }
    return rows;
}

const QList<QPair<QString, int>> kSortFields = {{QStringLiteral("DateNow"), 8}, {QStringLiteral("Time"), 10},
                                                {QStringLiteral("LaneNo"), 4},  {QStringLiteral("callmade"), 10},
                                                {QStringLiteral("Name1"), 10},  {QStringLiteral("Done"), 1},
                                                {QStringLiteral("Cost"), 5},    {QStringLiteral("Ratio"), 7}};

struct Random {
    quint32 state;
    int next(int below)
    {
        state = state * 1103515245u + 12345u;
        return int((state >> 8) % quint32(below));
    }
};

// Checks the rows as OK does; only the inserted "empty" is asked for again.
bool checked(QList<FindRow>& rows)
{
    for (int tries = 0; tries < 6; ++tries) {
        const auto problem = CheckCriteria(rows);
        if (!problem)
            return true;
        if (problem->title != QLatin1String("Empty Criteria Field"))
            return false;
    }
    return false;
}

} // namespace

class TestPrintedSet : public QObject {
    Q_OBJECT

    // Opens the statement on the browser and selects the report's calls; compares.
    void compare(TestApp& app, MaintScreen* browser, FilterRows filter)
    {
        QVERIFY(checked(filter.find));
        const BuiltFilter built = CreateSQLStatement(filter, QStringLiteral("DData"));
        browser->Data1->setRecordSource(built.statement);
        store::Error error;
        QVERIFY2(browser->Data1->tryRefresh(&error), qPrintable(built.statement + QStringLiteral(": ") + error.text()));
        store::Error why;
        const auto printed = testing::selectRecordIds(app.databasePath(), QStringLiteral("DData"), built.reportFormula,
                                                      built.sortTexts, &why);
        QVERIFY2(printed, qPrintable(built.reportFormula + QStringLiteral(": ") + why.text()));
        const QList<qint64> shown = browsed(browser);
        QVERIFY2(*printed == shown,
                 qPrintable(QStringLiteral("%1\n%2\n%3\nshown %4, printed %5")
                                .arg(built.statement, built.reportFormula, built.sortTexts.join(QLatin1Char(' ')))
                                .arg(shown.size())
                                .arg(printed->size())));
    }

private slots:
    void everyOperatorAlone()
    {
        TestApp app;
        QVERIFY(addCalls(app));
        MaintScreen* browser = openBrowser();
        QVERIFY(browser);
        int nonEmpty = 0;
        for (const FindRow& row : catalogue()) {
            FilterRows filter;
            filter.find = {row};
            compare(app, browser, filter);
            if (QTest::currentTestFailed())
                return;
            nonEmpty += browsed(browser).isEmpty() ? 0 : 1;
        }
        // The catalogue finds something often enough to mean something.
        QVERIFY(nonEmpty > 300);
    }

    void joinedAndSorted()
    {
        TestApp app;
        QVERIFY(addCalls(app));
        MaintScreen* browser = openBrowser();
        const QList<FindRow> all = catalogue();
        Random random{20041207};
        for (int n = 0; n < 400; ++n) {
            FilterRows filter;
            const int count = 2 + random.next(4);
            for (int i = 0; i < count; ++i) {
                filter.find.append(all.at(random.next(int(all.size()))));
                if (i + 1 < count)
                    filter.find.last().condition = random.next(2) ? QStringLiteral("And") : QStringLiteral("Or");
            }
            const int sorts = random.next(4);
            for (int j = 0; j < sorts; ++j) {
                const auto& [field, code] = kSortFields.at(random.next(int(kSortFields.size())));
                filter.sort.append(
                    SortRow{field, code, random.next(2) ? QStringLiteral("Ascending") : QStringLiteral("Descending")});
            }
            compare(app, browser, filter);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // Through the filter window: what OK applies and what Print would hand on.
    void throughTheWindow()
    {
        TestApp app;
        QVERIFY(addCalls(app));
        MaintScreen* browser = openBrowser();
        FindWindow* find = openFilter(browser);
        const QList<FindRow> all = catalogue();
        Random random{93};
        int applied = 0;
        for (int n = 0; n < 60; ++n) {
            if (!find->isVisible())
                browser->Command2_Click();
            find->ClearButton->click();
            find->ClearSortButton->click();
            QList<FindRow> rows;
            const int count = 1 + random.next(3);
            for (int i = 0; i < count; ++i) {
                FindRow row = all.at(random.next(int(all.size())));
                if (i > 0)
                    QVERIFY(join(find, i - 1, random.next(2) ? QStringLiteral("And") : QStringLiteral("Or")));
                QVERIFY(pick(find->Field(i), row.field));
                QVERIFY(pick(find->Operator(i), row.operatorText));
                find->Criteria(i)->setText(row.criteria);
                rows.append(row);
            }
            if (random.next(2)) {
                QVERIFY(pick(find->SortField(0), QStringLiteral("LaneNo")));
                QVERIFY(pick(find->SortOrder(0), QStringLiteral("Descending")));
            }
            const qsizetype told = app.messages().seen.size();
            for (int tries = 0; tries < 4 && find->isVisible() && !browser->filterOn(); ++tries)
                find->OKButton->click();
            if (!browser->filterOn()) {
                // Refused by a check, or found nothing: then nothing is printed either.
                QVERIFY(app.messages().seen.size() > told);
                continue;
            }
            ++applied;
            store::Error why;
            const auto printed =
                testing::selectRecordIds(app.databasePath(), QStringLiteral("DData"), find->Label4->text(),
                                         {find->Label6->text(), find->Label7->text(), find->Label8->text()}, &why);
            QVERIFY2(printed, qPrintable(why.text()));
            QVERIFY2(*printed == browsed(browser), qPrintable(browser->Data1->recordSource()));
            find->Command1->click(); // Cancel Filter
            QVERIFY(!browser->filterOn());
        }
        QVERIFY(applied > 15);
    }
};

QTEST_MAIN(TestPrintedSet)
#include "test_printedset.moc"
