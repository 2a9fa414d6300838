// A parsed formula checked against the fields of its table: every field
// bound to its stored name and type, every operator given the types it
// takes, and parts made of constants folded into their value.
#include "Formula.h"
#include "FormulaParts.h"

#include "store/Database.h"
#include "store/JetSql.h"

namespace reports::formula {
namespace {

using Node = FormulaNode;

} // namespace

QString typeName(ValueType type)
{
    switch (type) {
    case ValueType::Boolean:
        return QStringLiteral("a true-or-false test");
    case ValueType::Number:
        return QStringLiteral("a number");
    case ValueType::Text:
        return QStringLiteral("a text");
    case ValueType::Date:
        return QStringLiteral("a date");
    }
    return {};
}

namespace {

class Binder {
public:
    Binder(const QString& table, const QList<store::FieldInfo>& fields, const QDate& today)
        : m_table(table), m_fields(fields), m_today(today)
    {
    }

    QList<BoundField> bound;

    void bind(Node& node)
    {
        for (auto& child : node.children)
            bind(*child);
        switch (node.kind) {
        case Node::Kind::Literal:
            node.type = typeOf(node.literal);
            return;
        case Node::Kind::Field:
            bindField(node);
            return;
        case Node::Kind::Not:
            expect(*node.children[0], ValueType::Boolean, QStringLiteral("\"not\""));
            node.type = ValueType::Boolean;
            break;
        case Node::Kind::Negate:
            expect(*node.children[0], ValueType::Number, QStringLiteral("\"-\""));
            node.type = ValueType::Number;
            break;
        case Node::Kind::And:
        case Node::Kind::Or: {
            const QString word = node.kind == Node::Kind::And ? QStringLiteral("\"and\"") : QStringLiteral("\"or\"");
            expect(*node.children[0], ValueType::Boolean, word);
            expect(*node.children[1], ValueType::Boolean, word);
            node.type = ValueType::Boolean;
            break;
        }
        case Node::Kind::Compare:
            sameTypes(node, QStringLiteral("compared with"));
            node.type = ValueType::Boolean;
            break;
        case Node::Kind::Range:
            sameTypes(node, QStringLiteral("given a range of"));
            node.type = ValueType::Boolean;
            break;
        case Node::Kind::Like:
        case Node::Kind::StartsWith: {
            const QString word = node.kind == Node::Kind::Like ? QStringLiteral("LIKE") : QStringLiteral("Starts With");
            expect(*node.children[0], ValueType::Text, word);
            const Node& pattern = *node.children[1];
            if (pattern.kind != Node::Kind::Literal || pattern.type != ValueType::Text)
                fail(pattern.position, QStringLiteral("%1 needs a text in quotes here").arg(word));
            if (node.kind == Node::Kind::Like) {
                store::Error why;
                if (!store::jet::likeSql(QStringLiteral("x"), pattern.literal.text, &why))
                    fail(pattern.position, why.message);
            }
            node.type = ValueType::Boolean;
            break;
        }
        case Node::Kind::Add:
        case Node::Kind::Subtract:
            bindArithmetic(node);
            break;
        case Node::Kind::Call:
            bindCall(node);
            break;
        }
        fold(node);
    }

private:
    static ValueType typeOf(const Value& v)
    {
        switch (v.kind) {
        case Value::Kind::Number:
            return ValueType::Number;
        case Value::Kind::Text:
            return ValueType::Text;
        case Value::Kind::Date:
            return ValueType::Date;
        default:
            return ValueType::Boolean;
        }
    }

    void expect(const Node& node, ValueType type, const QString& where)
    {
        if (node.type != type)
            fail(node.position,
                 QStringLiteral("%1 needs %2 here, not %3").arg(where, typeName(type), typeName(node.type)));
    }

    void sameTypes(const Node& node, const QString& how)
    {
        const ValueType left = node.children[0]->type;
        if (left == ValueType::Boolean)
            fail(node.children[0]->position, QStringLiteral("a true-or-false test cannot be %1 anything").arg(how));
        for (size_t i = 1; i < node.children.size(); ++i) {
            const Node& other = *node.children[i];
            if (other.type != left)
                fail(other.position,
                     QStringLiteral("%1 cannot be %2 %3").arg(typeName(left), how, typeName(other.type)));
        }
    }

    void bindField(Node& node)
    {
        const QString body = node.name.trimmed();
        const int dot = int(body.indexOf(QLatin1Char('.')));
        if (dot < 0)
            fail(node.position, QStringLiteral("the field reference {%1} needs the table and the field, as {%2.%1}")
                                    .arg(body, m_table));
        const QString table = body.left(dot).trimmed();
        const QString field = body.mid(dot + 1).trimmed();
        if (table.compare(m_table, Qt::CaseInsensitive) != 0)
            fail(node.position, QStringLiteral("this report reads the table %1, not %2").arg(m_table, table));
        if (field.isEmpty())
            fail(node.position, QStringLiteral("the field name is missing after {%1.").arg(table));
        for (const store::FieldInfo& info : m_fields) {
            if (info.name.compare(field, Qt::CaseInsensitive) != 0)
                continue;
            int index = -1;
            for (int i = 0; i < bound.size(); ++i) {
                if (bound.at(i).name == info.name)
                    index = i;
            }
            if (index < 0) {
                index = int(bound.size());
                bound.append(BoundField{info.name, info.type});
            }
            node.fieldIndex = index;
            node.name = info.name;
            if (info.type == store::FieldType::Date)
                node.type = ValueType::Date;
            else if (info.type == store::FieldType::Text || info.type == store::FieldType::Memo)
                node.type = ValueType::Text;
            else
                node.type = ValueType::Number;
            return;
        }
        fail(node.position, QStringLiteral("the table %1 has no field \"%2\"").arg(m_table, field));
    }

    void bindArithmetic(Node& node)
    {
        const ValueType a = node.children[0]->type;
        const ValueType b = node.children[1]->type;
        const bool add = node.kind == Node::Kind::Add;
        if (a == ValueType::Number && b == ValueType::Number)
            node.type = ValueType::Number;
        else if (a == ValueType::Date && b == ValueType::Number)
            node.type = ValueType::Date;
        else if (add && a == ValueType::Number && b == ValueType::Date)
            node.type = ValueType::Date;
        else if (!add && a == ValueType::Date && b == ValueType::Date)
            node.type = ValueType::Number;
        else
            fail(node.position,
                 QStringLiteral("%1 cannot be %2 %3")
                     .arg(typeName(a), add ? QStringLiteral("added to") : QStringLiteral("reduced by"), typeName(b)));
    }

    void bindCall(Node& node)
    {
        if (node.name == QLatin1String("CurrentDate")) {
            node.type = ValueType::Date;
        } else if (node.name == QLatin1String("Date")) {
            for (auto& child : node.children)
                expect(*child, ValueType::Number, QStringLiteral("Date (year, month, day)"));
            node.type = ValueType::Date;
            bool constant = true;
            for (auto& child : node.children)
                constant = constant && child->kind == Node::Kind::Literal;
            if (constant) {
                const double y = node.children[0]->literal.number;
                const double m = node.children[1]->literal.number;
                const double d = node.children[2]->literal.number;
                if (!isWhole(y) || !isWhole(m) || !isWhole(d) || !QDate(int(y), int(m), int(d)).isValid())
                    fail(node.position, QStringLiteral("Date (%1,%2,%3) is not a real date")
                                            .arg(QString::number(y), QString::number(m), QString::number(d)));
            }
        } else if (node.name == QLatin1String("IsNull")) {
            if (node.children[0]->kind != Node::Kind::Field)
                fail(node.children[0]->position, QStringLiteral("IsNull needs a field in braces"));
            node.type = ValueType::Boolean;
        } else {
            expect(*node.children[0], ValueType::Date, node.name);
            node.type = ValueType::Number;
        }
    }

    // A node made of constants only becomes its value: CurrentDate, Date (...)
    // and arithmetic on them reach SQL as plain literals.
    void fold(Node& node)
    {
        if (node.kind == Node::Kind::Literal || node.kind == Node::Kind::Field)
            return;
        for (const auto& child : node.children) {
            if (child->kind != Node::Kind::Literal)
                return;
        }
        const Value v = evaluate(node, {}, {}, m_today);
        if (v.isNull())
            return; // keeps its form; evaluates to Null on every row
        node.kind = Node::Kind::Literal;
        node.literal = v;
        node.children.clear();
    }

    QString m_table;
    const QList<store::FieldInfo>& m_fields;
    QDate m_today;
};

} // namespace

QList<BoundField> bind(FormulaNode& root, const QString& table, const QList<store::FieldInfo>& fields,
                       const QDate& today)
{
    Binder binder(table, fields, today);
    binder.bind(root);
    return binder.bound;
}

} // namespace reports::formula
