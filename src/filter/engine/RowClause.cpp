#include "RowClause.h"

#include "Criteria.h"
#include "StatementBuilder.h"

#include "store/Dialect.h"
#include "store/JetSql.h"

#include <QDate>

namespace filter::engine {
namespace {

// The comparison operators of the operator lists, as both languages write them.
QString comparisonSymbol(const QString& operatorText)
{
    static const QList<QPair<QString, QString>> symbols = {
        {QStringLiteral("Equals"), QStringLiteral("=")},
        {QStringLiteral("Is Not Equal To"), QStringLiteral("<>")},
        {QStringLiteral("Is Greater Than"), QStringLiteral(">")},
        {QStringLiteral("Is Less Than"), QStringLiteral("<")},
        {QStringLiteral("Is Greater Than or Equal To"), QStringLiteral(">=")},
        {QStringLiteral("Is Less Than or Equal To"), QStringLiteral("<=")}};
    for (const auto& [text, symbol] : symbols) {
        if (text == operatorText)
            return symbol;
    }
    return {};
}

bool holds(int order, const QString& symbol)
{
    if (symbol == QLatin1String("="))
        return order == 0;
    if (symbol == QLatin1String("<>"))
        return order != 0;
    if (symbol == QLatin1String(">"))
        return order > 0;
    if (symbol == QLatin1String("<"))
        return order < 0;
    if (symbol == QLatin1String(">="))
        return order >= 0;
    return order <= 0;
}

// The value of a quoted literal of the statement: doubled apostrophes are one.
QString literalValue(QString quoted)
{
    return quoted.replace(QStringLiteral("''"), QStringLiteral("'"));
}

QString isNull(const QString& ref)
{
    return QStringLiteral("IsNull (") + ref + QLatin1Char(')');
}

// An empty field is Null or empty text. The statement compares it as the
// empty text; the formula says outright what it gives, so the report selects
// the same records whether its engine treats Null as empty text or as unknown.
QString guarded(const QString& ref, const QString& clause, bool emptyMatches, bool negated)
{
    if (emptyMatches)
        return QLatin1Char('(') + isNull(ref) + QStringLiteral(" or ") + clause + QLatin1Char(')');
    if (negated)
        return QStringLiteral("(not ") + isNull(ref) + QStringLiteral(" and ") + clause + QLatin1Char(')');
    return clause;
}

// A comparison with the empty text, which only empty fields equal.
QString emptyComparison(const QString& ref, const QString& symbol)
{
    if (symbol == QLatin1String("=") || symbol == QLatin1String("<="))
        return isNull(ref);
    if (symbol == QLatin1String("<>") || symbol == QLatin1String(">"))
        return QStringLiteral("not ") + isNull(ref);
    if (symbol == QLatin1String(">="))
        return QLatin1Char('(') + isNull(ref) + QStringLiteral(" or not ") + isNull(ref) + QLatin1Char(')');
    return QLatin1Char('(') + isNull(ref) + QStringLiteral(" and not ") + isNull(ref) + QLatin1Char(')');
}

RowClause textClause(const FindRow& row, const QString& field, const QString& ref, const QString& q)
{
    const QString op = row.operatorText.trimmed();
    if (const QString symbol = comparisonSymbol(op); !symbol.isEmpty()) {
        const bool equals = symbol == QLatin1String("=");
        const bool emptyForm = equals ? q.toLower() == QLatin1String("empty") : q == QLatin1String("empty");
        RowClause clause;
        if (emptyForm)
            clause.statement =
                field + (equals ? QStringLiteral(" = NULL") : QLatin1Char(' ') + symbol + QStringLiteral(" ''''"));
        else
            clause.statement = field + QLatin1Char(' ') + symbol + QStringLiteral(" '") + q + QLatin1Char('\'');
        // Beside any comparison but Equals, "empty" is written as one lone
        // apostrophe (''''), which the statement compares as that apostrophe.
        const QString apostrophe = QStringLiteral("'");
        const QString value =
            emptyForm ? (equals ? QString() : apostrophe) : store::comparisonText(literalValue(q));
        if (value.isEmpty()) {
            clause.formula = emptyComparison(ref, symbol);
        } else {
            const QString compared = ref + QLatin1Char(' ') + symbol + QLatin1Char(' ') + formulaString(value);
            // No empty field compares with the lone apostrophe; with any other text, as the empty text.
            clause.formula = value == apostrophe
                                 ? guarded(ref, compared, false, true)
                                 : guarded(ref, compared, holds(store::jet::compareText(QString(), value), symbol), false);
        }
        return clause;
    }
    if (op == QLatin1String("Contains")) {
        const QString pattern = literalValue(QLatin1Char('*') + q + QLatin1Char('*'));
        return {field + QStringLiteral(" LIKE '*") + q + QStringLiteral("*'"),
                guarded(ref, ref + QStringLiteral(" LIKE ") + formulaString(pattern), store::jet::like({}, pattern),
                        false)};
    }
    if (op == QLatin1String("Does Not Contain")) {
        const QString pattern = literalValue(QLatin1Char('*') + q + QLatin1Char('*'));
        return {field + QStringLiteral(" NOT LIKE '*") + q + QStringLiteral("*'"),
                guarded(ref,
                        QStringLiteral("not (") + ref + QStringLiteral(" LIKE ") + formulaString(pattern) +
                            QLatin1Char(')'),
                        !store::jet::like({}, pattern), true)};
    }
    if (op == QLatin1String("Begins With")) {
        const QString pattern = literalValue(q + QLatin1Char('*'));
        // Without brackets the pattern is a plain beginning; with them it keeps its classes.
        const QString test = q.contains(QLatin1Char('['))
                                 ? ref + QStringLiteral(" LIKE ") + formulaString(pattern)
                                 : ref + QStringLiteral(" Starts With ") + formulaString(literalValue(q));
        return {field + QStringLiteral(" LIKE '") + q + QStringLiteral("*'"),
                guarded(ref, test, store::jet::like({}, pattern), false)};
    }
    return {};
}

RowClause dateClause(const FindRow& row, const QString& field, const QString& ref, const QString& q)
{
    if (const QString symbol = comparisonSymbol(row.operatorText); !symbol.isEmpty()) {
        return {field + QLatin1Char(' ') + symbol + QStringLiteral(" #") + q + QLatin1Char('#'),
                ref + QLatin1Char(' ') + symbol + QStringLiteral(" Date (") + reportDate(row.criteria) +
                    QLatin1Char(')')};
    }
    static const QList<std::tuple<QString, QString, QString>> parts = {
        {QStringLiteral("Month Equals"), QStringLiteral("m"), QStringLiteral("Month")},
        {QStringLiteral("Day Equals"), QStringLiteral("d"), QStringLiteral("Day")},
        {QStringLiteral("Year Equals"), QStringLiteral("yyyy"), QStringLiteral("Year")},
        {QStringLiteral("Day of Year Equals"), QStringLiteral("y"), QStringLiteral("DayOfYear")},
        {QStringLiteral("Week of Year Equals"), QStringLiteral("ww"), QStringLiteral("WeekOfYear")}};
    for (const auto& [text, unit, function] : parts) {
        if (text == row.operatorText) {
            return {QStringLiteral("DatePart(\"") + unit + QStringLiteral("\",") + field + QStringLiteral(") = ") + q,
                    function + QStringLiteral(" (") + ref + QStringLiteral(") = ") + q};
        }
    }
    return {};
}

} // namespace

QString reportDate(const QString& criteria)
{
    const QDate date = criteriaDate(criteria);
    if (date.isValid())
        return QStringLiteral("%1,%2,%3")
            .arg(date.year(), 4, 10, QLatin1Char('0'))
            .arg(date.month(), 2, 10, QLatin1Char('0'))
            .arg(date.day(), 2, 10, QLatin1Char('0'));
    // Not a date (a display build before the check): the characters as they stand.
    return QStringLiteral("19") + criteria.right(2) + QLatin1Char(',') + criteria.left(2) + QLatin1Char(',') +
           criteria.mid(3, 2);
}

QString formulaString(const QString& text)
{
    QString inner = text;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

RowClause rowClause(const FindRow& row, const QString& table)
{
    const QString q = QuoteCriteria(row.criteria);
    const QString field = QLatin1Char('[') + row.field + QLatin1Char(']');
    const QString ref = QLatin1Char('{') + table + QLatin1Char('.') + row.field + QLatin1Char('}');
    switch (row.typeCode) {
    case 1: {
        if (row.operatorText != QLatin1String("Equals"))
            return {};
        // Yes is any value but 0; an unset box (Null) is No.
        const QString word = q.toUpper();
        QString formula = ref + QStringLiteral(" = ") + q;
        if (word == QLatin1String("YES") || word == QLatin1String("TRUE"))
            formula = ref + QStringLiteral(" <> 0");
        else if (word == QLatin1String("NO") || word == QLatin1String("FALSE"))
            formula = QLatin1Char('(') + isNull(ref) + QStringLiteral(" or ") + ref + QStringLiteral(" = 0)");
        return {field + QStringLiteral(" = ") + q, formula};
    }
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7: {
        const QString symbol = comparisonSymbol(row.operatorText);
        if (symbol.isEmpty())
            return {};
        return {field + QLatin1Char(' ') + symbol + QLatin1Char(' ') + q,
                ref + QLatin1Char(' ') + symbol + QLatin1Char(' ') + q};
    }
    case 8:
        return dateClause(row, field, ref, q);
    case 10:
    case 12:
        return textClause(row, field, ref, q);
    default:
        return {};
    }
}

} // namespace filter::engine
