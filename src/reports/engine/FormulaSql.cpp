#include "FormulaParse.h"

#include "store/Database.h"
#include "store/JetSql.h"
#include "store/SqlText.h"

namespace reports::formula {

using Node = FormulaNode;

std::optional<QString> toSql(const Node& node, const QList<BoundField>& fields)
{
    auto child = [&](int i) { return toSql(*node.children.at(i), fields); };
    auto collate = [&](const Node& of) {
        return of.type == ValueType::Text ? QStringLiteral(" COLLATE NOCASE") : QString();
    };
    switch (node.kind) {
    case Node::Kind::Literal:
        switch (node.literal.kind) {
        case Value::Kind::Number:
            return QString::number(node.literal.number, 'g', 17);
        case Value::Kind::Text:
            return store::sqlLiteral(node.literal.text);
        case Value::Kind::Date:
            return store::sqlLiteral(node.literal.date.toString(Qt::ISODate));
        case Value::Kind::Boolean:
            return node.literal.boolean ? QStringLiteral("1") : QStringLiteral("0");
        case Value::Kind::Null:
            return QStringLiteral("NULL");
        }
        return std::nullopt;
    case Node::Kind::Field:
        return store::Database::quoted(fields.at(node.fieldIndex).name);
    case Node::Kind::Not: {
        const auto a = child(0);
        return a ? std::optional(QStringLiteral("(NOT ") + *a + QLatin1Char(')')) : std::nullopt;
    }
    case Node::Kind::Negate: {
        const auto a = child(0);
        return a ? std::optional(QStringLiteral("(-") + *a + QLatin1Char(')')) : std::nullopt;
    }
    case Node::Kind::And:
    case Node::Kind::Or: {
        const auto a = child(0), b = child(1);
        if (!a || !b)
            return std::nullopt;
        const QString op = node.kind == Node::Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        return QLatin1Char('(') + *a + op + *b + QLatin1Char(')');
    }
    case Node::Kind::Compare: {
        const auto a = child(0), b = child(1);
        if (!a || !b)
            return std::nullopt;
        return QLatin1Char('(') + *a + QLatin1Char(' ') + node.name + QLatin1Char(' ') + *b +
               collate(*node.children[0]) + QLatin1Char(')');
    }
    case Node::Kind::Range: {
        const auto x = child(0), a = child(1), b = child(2);
        if (!x || !a || !b)
            return std::nullopt;
        const QString c = collate(*node.children[0]);
        return QStringLiteral("(") + *x + QStringLiteral(" >= ") + *a + c + QStringLiteral(" AND ") + *x +
               QStringLiteral(" <= ") + *b + c + QStringLiteral(")");
    }
    case Node::Kind::Like: {
        const auto x = child(0);
        if (!x)
            return std::nullopt;
        const auto sql = store::jet::likeSql(*x, node.children[1]->literal.text);
        return sql ? std::optional(QLatin1Char('(') + *sql + QLatin1Char(')')) : std::nullopt;
    }
    case Node::Kind::StartsWith: {
        const auto x = child(0);
        if (!x)
            return std::nullopt;
        const QString prefix = node.children[1]->literal.text;
        if (prefix.isEmpty())
            return QStringLiteral("(") + *x + QStringLiteral(" IS NOT NULL)");
        return QStringLiteral("(substr(") + *x + QStringLiteral(", 1, ") + QString::number(prefix.toUcs4().size()) +
               QStringLiteral(") = ") + store::sqlLiteral(prefix) + QStringLiteral(" COLLATE NOCASE)");
    }
    case Node::Kind::Add:
    case Node::Kind::Subtract: {
        const auto a = child(0), b = child(1);
        if (!a || !b)
            return std::nullopt;
        const ValueType ta = node.children[0]->type, tb = node.children[1]->type;
        const bool add = node.kind == Node::Kind::Add;
        if (ta == ValueType::Number && tb == ValueType::Number)
            return QLatin1Char('(') + *a + (add ? QStringLiteral(" + ") : QStringLiteral(" - ")) + *b +
                   QLatin1Char(')');
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
    case Node::Kind::Call: {
        if (node.name == QLatin1String("IsNull")) {
            const auto x = child(0);
            return x ? std::optional(QStringLiteral("(") + *x + QStringLiteral(" IS NULL OR ") + *x +
                                     QStringLiteral(" = '')"))
                     : std::nullopt;
        }
        // A date made from values of a row is checked day by day in C++:
        // SQLite's date() would roll 2004-02-30 over into March.
        if (node.name == QLatin1String("Date") || node.name == QLatin1String("CurrentDate"))
            return std::nullopt;
        const auto x = child(0);
        if (!x)
            return std::nullopt;
        return store::jet::datePartSql(datePartUnit(node.name), *x);
    }
    }
    return std::nullopt;
}

} // namespace reports::formula
