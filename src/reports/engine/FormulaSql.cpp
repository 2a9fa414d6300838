#include "FormulaParts.h"

#include "store/Database.h"
#include "store/JetSql.h"
#include "store/SqlText.h"

#include <functional>

namespace reports::formula {

using Node = FormulaNode;

namespace {

using Sql = std::optional<QString>;

QString collate(const Node& of)
{
    return of.type == ValueType::Text ? QStringLiteral(" COLLATE NOCASE") : QString();
}

Sql literalSql(const Value& v)
{
    switch (v.kind) {
    case Value::Kind::Number:
        return QString::number(v.number, 'g', 17);
    case Value::Kind::Text:
        return store::sqlLiteral(v.text);
    case Value::Kind::Date:
        return store::sqlLiteral(v.date.toString(Qt::ISODate));
    case Value::Kind::Boolean:
        return v.boolean ? QStringLiteral("1") : QStringLiteral("0");
    case Value::Kind::Null:
        return QStringLiteral("NULL");
    }
    return std::nullopt;
}

Sql logicSql(const Node& node, const std::function<Sql(int)>& child)
{
    const auto a = child(0);
    if (!a)
        return std::nullopt;
    if (node.kind == Node::Kind::Not)
        return QStringLiteral("(NOT ") + *a + QLatin1Char(')');
    if (node.kind == Node::Kind::Negate)
        return QStringLiteral("(-") + *a + QLatin1Char(')');
    const auto b = child(1);
    if (!b)
        return std::nullopt;
    const QString op = node.kind == Node::Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
    return QLatin1Char('(') + *a + op + *b + QLatin1Char(')');
}

Sql compareSql(const Node& node, const std::function<Sql(int)>& child)
{
    const auto x = child(0), a = child(1);
    if (!x || !a)
        return std::nullopt;
    const QString c = collate(*node.children[0]);
    if (node.kind == Node::Kind::Compare)
        return QLatin1Char('(') + *x + QLatin1Char(' ') + node.name + QLatin1Char(' ') + *a + c + QLatin1Char(')');
    const auto b = child(2);
    if (!b)
        return std::nullopt;
    return QStringLiteral("(") + *x + QStringLiteral(" >= ") + *a + c + QStringLiteral(" AND ") + *x +
           QStringLiteral(" <= ") + *b + c + QStringLiteral(")");
}

Sql textSql(const Node& node, const std::function<Sql(int)>& child)
{
    const auto x = child(0);
    if (!x)
        return std::nullopt;
    if (node.kind == Node::Kind::Like) {
        const auto sql = store::jet::likeSql(*x, node.children[1]->literal.text);
        return sql ? Sql(QLatin1Char('(') + *sql + QLatin1Char(')')) : std::nullopt;
    }
    const QString prefix = node.children[1]->literal.text;
    if (prefix.isEmpty())
        return QStringLiteral("(") + *x + QStringLiteral(" IS NOT NULL)");
    return QStringLiteral("(substr(") + *x + QStringLiteral(", 1, ") + QString::number(prefix.toUcs4().size()) +
           QStringLiteral(") = ") + store::sqlLiteral(prefix) + QStringLiteral(" COLLATE NOCASE)");
}

Sql arithmeticSql(const Node& node, const std::function<Sql(int)>& child)
{
    const auto a = child(0), b = child(1);
    if (!a || !b)
        return std::nullopt;
    const ValueType ta = node.children[0]->type, tb = node.children[1]->type;
    const bool add = node.kind == Node::Kind::Add;
    if (ta == ValueType::Number && tb == ValueType::Number)
        return QLatin1Char('(') + *a + (add ? QStringLiteral(" + ") : QStringLiteral(" - ")) + *b + QLatin1Char(')');
    // Days added to a date: whole numbers only, as the evaluator has it.
    auto shifted = [](const QString& date, const QString& days) -> QString {
        return QStringLiteral("(CASE WHEN ") + days + QStringLiteral(" = CAST(") + days +
               QStringLiteral(" AS INTEGER) THEN date(") + date + QStringLiteral(", printf('%+d days', ") + days +
               QStringLiteral(")) END)");
    };
    if (ta == ValueType::Date && tb == ValueType::Number)
        return shifted(*a, add ? *b : QStringLiteral("(-") + *b + QLatin1Char(')'));
    if (ta == ValueType::Number && tb == ValueType::Date)
        return shifted(*b, *a);
    return QStringLiteral("CAST(julianday(") + *a + QStringLiteral(") - julianday(") + *b +
           QStringLiteral(") AS INTEGER)");
}

Sql callSql(const Node& node, const std::function<Sql(int)>& child)
{
    // A date made from values of a row is checked day by day in C++:
    // SQLite's date() would roll 2004-02-30 over into March.
    if (node.name == QLatin1String("Date") || node.name == QLatin1String("CurrentDate"))
        return std::nullopt;
    const auto x = child(0);
    if (!x)
        return std::nullopt;
    if (node.name == QLatin1String("IsNull"))
        return QStringLiteral("(") + *x + QStringLiteral(" IS NULL OR ") + *x + QStringLiteral(" = '')");
    return store::jet::datePartSql(datePartUnit(node.name), *x);
}

} // namespace

std::optional<QString> toSql(const Node& node, const QList<BoundField>& fields)
{
    const std::function<Sql(int)> child = [&](int i) { return toSql(*node.children.at(i), fields); };
    switch (node.kind) {
    case Node::Kind::Literal:
        return literalSql(node.literal);
    case Node::Kind::Field:
        return store::Database::quoted(fields.at(node.fieldIndex).name);
    case Node::Kind::Not:
    case Node::Kind::Negate:
    case Node::Kind::And:
    case Node::Kind::Or:
        return logicSql(node, child);
    case Node::Kind::Compare:
    case Node::Kind::Range:
        return compareSql(node, child);
    case Node::Kind::Like:
    case Node::Kind::StartsWith:
        return textSql(node, child);
    case Node::Kind::Add:
    case Node::Kind::Subtract:
        return arithmeticSql(node, child);
    case Node::Kind::Call:
        return callSql(node, child);
    }
    return std::nullopt;
}

} // namespace reports::formula
