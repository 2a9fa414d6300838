#include "Formula.h"

#include "FormulaParse.h"

#include "store/Database.h"
#include "store/JetSql.h"

#include <cmath>

namespace reports {
namespace {

using formula::fail;
using formula::Failure;

using Node = FormulaNode;
using NodePtr = std::unique_ptr<FormulaNode>;

// ---- Names -----------------------------------------------------------------------------

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

// ---- Evaluation --------------------------------------------------------------------------

std::optional<int> compareValues(const Value& a, const Value& b)
{
    if (a.isNull() || b.isNull())
        return std::nullopt;
    switch (a.kind) {
    case Value::Kind::Number:
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    case Value::Kind::Text:
        return store::jet::compareText(a.text, b.text);
    case Value::Kind::Date:
        return a.date < b.date ? -1 : (a.date > b.date ? 1 : 0);
    case Value::Kind::Boolean:
        return int(a.boolean) - int(b.boolean);
    case Value::Kind::Null:
        break;
    }
    return std::nullopt;
}

} // namespace

QString formula::datePartUnit(const QString& function)
{
    if (function == QLatin1String("Month"))
        return QStringLiteral("m");
    if (function == QLatin1String("Day"))
        return QStringLiteral("d");
    if (function == QLatin1String("Year"))
        return QStringLiteral("yyyy");
    if (function == QLatin1String("DayOfYear"))
        return QStringLiteral("y");
    if (function == QLatin1String("WeekOfYear"))
        return QStringLiteral("ww");
    if (function == QLatin1String("DayOfWeek"))
        return QStringLiteral("w");
    return {};
}

namespace {

using formula::datePartUnit;

bool isWhole(double n)
{
    return std::isfinite(n) && n == std::floor(n) && std::fabs(n) < 1e9;
}

// Three-valued truth as SQL has it: Null stays unknown through "not", while
// "and" and "or" decide whenever one side does.
Value evaluateNode(const Node& node, const QList<QVariant>& values, const QList<BoundField>& fields, const QDate& today)
{
    auto child = [&](int i) { return evaluateNode(*node.children.at(i), values, fields, today); };
    switch (node.kind) {
    case Node::Kind::Literal:
        return node.literal;
    case Node::Kind::Field:
        return valueOf(fields.at(node.fieldIndex).type, values.value(node.fieldIndex));
    case Node::Kind::Not: {
        const Value a = child(0);
        return a.isNull() ? Value::null() : Value::ofBool(!a.boolean);
    }
    case Node::Kind::Negate: {
        const Value a = child(0);
        return a.isNull() ? Value::null() : Value::ofNumber(-a.number);
    }
    case Node::Kind::And: {
        const Value a = child(0);
        if (!a.isNull() && !a.boolean)
            return Value::ofBool(false);
        const Value b = child(1);
        if (!b.isNull() && !b.boolean)
            return Value::ofBool(false);
        return a.isNull() || b.isNull() ? Value::null() : Value::ofBool(true);
    }
    case Node::Kind::Or: {
        const Value a = child(0);
        if (!a.isNull() && a.boolean)
            return Value::ofBool(true);
        const Value b = child(1);
        if (!b.isNull() && b.boolean)
            return Value::ofBool(true);
        return a.isNull() || b.isNull() ? Value::null() : Value::ofBool(false);
    }
    case Node::Kind::Compare: {
        const auto c = compareValues(child(0), child(1));
        if (!c)
            return Value::null();
        const QString& op = node.name;
        if (op == QLatin1String("="))
            return Value::ofBool(*c == 0);
        if (op == QLatin1String("<>"))
            return Value::ofBool(*c != 0);
        if (op == QLatin1String("<"))
            return Value::ofBool(*c < 0);
        if (op == QLatin1String(">"))
            return Value::ofBool(*c > 0);
        if (op == QLatin1String("<="))
            return Value::ofBool(*c <= 0);
        return Value::ofBool(*c >= 0);
    }
    case Node::Kind::Range: {
        const Value x = child(0);
        const auto low = compareValues(x, child(1));
        const auto high = compareValues(x, child(2));
        // As SQL's "x >= a AND x <= b": one side false decides.
        if ((low && *low < 0) || (high && *high > 0))
            return Value::ofBool(false);
        if (!low || !high)
            return Value::null();
        return Value::ofBool(true);
    }
    case Node::Kind::Like: {
        const Value x = child(0);
        if (x.isNull())
            return Value::null();
        return Value::ofBool(store::jet::like(x.text, child(1).text));
    }
    case Node::Kind::StartsWith: {
        const Value x = child(0);
        if (x.isNull())
            return Value::null();
        const QString prefix = child(1).text;
        const QList<uint> value = x.text.toUcs4();
        const QList<uint> head = prefix.toUcs4();
        if (head.size() > value.size())
            return Value::ofBool(false);
        const QString start = QString::fromUcs4(reinterpret_cast<const char32_t*>(value.constData()), head.size());
        return Value::ofBool(store::jet::compareText(start, prefix) == 0);
    }
    case Node::Kind::Add:
    case Node::Kind::Subtract: {
        const Value a = child(0);
        const Value b = child(1);
        if (a.isNull() || b.isNull())
            return Value::null();
        const double sign = node.kind == Node::Kind::Add ? 1 : -1;
        if (a.kind == Value::Kind::Date && b.kind == Value::Kind::Date)
            return Value::ofNumber(double(b.date.daysTo(a.date)));
        if (a.kind == Value::Kind::Date) {
            if (!isWhole(b.number))
                return Value::null();
            return Value::ofDate(a.date.addDays(qint64(sign * b.number)));
        }
        if (b.kind == Value::Kind::Date) { // number + date
            if (!isWhole(a.number))
                return Value::null();
            return Value::ofDate(b.date.addDays(qint64(a.number)));
        }
        return Value::ofNumber(a.number + sign * b.number);
    }
    case Node::Kind::Call: {
        if (node.name == QLatin1String("CurrentDate"))
            return Value::ofDate(today);
        if (node.name == QLatin1String("IsNull")) {
            const Value x = child(0);
            return Value::ofBool(x.isNull() || (x.kind == Value::Kind::Text && x.text.isEmpty()));
        }
        if (node.name == QLatin1String("Date")) {
            const Value y = child(0), m = child(1), d = child(2);
            if (y.isNull() || m.isNull() || d.isNull() || !isWhole(y.number) || !isWhole(m.number) ||
                !isWhole(d.number))
                return Value::null();
            const QDate date(int(y.number), int(m.number), int(d.number));
            return date.isValid() ? Value::ofDate(date) : Value::null();
        }
        const Value x = child(0);
        if (x.isNull())
            return Value::null();
        const auto part = store::jet::datePart(datePartUnit(node.name), x.date);
        return part ? Value::ofNumber(*part) : Value::null();
    }
    }
    return Value::null();
}

// ---- Checking ------------------------------------------------------------------------------

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
        const Value v = evaluateNode(node, {}, {}, m_today);
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

// ---- SQL ---------------------------------------------------------------------------------

using formula::toSql;

void collectTerms(const Node& node, std::vector<const Node*>& terms)
{
    if (node.kind == Node::Kind::And) {
        collectTerms(*node.children[0], terms);
        collectTerms(*node.children[1], terms);
    } else {
        terms.push_back(&node);
    }
}

} // namespace

// ---- Public --------------------------------------------------------------------------------

QString FormulaError::describe() const
{
    return QStringLiteral("at character %1: %2").arg(position + 1).arg(message);
}

Value Value::ofBool(bool b)
{
    Value v;
    v.kind = Kind::Boolean;
    v.boolean = b;
    return v;
}

Value Value::ofNumber(double n)
{
    Value v;
    v.kind = Kind::Number;
    v.number = n;
    return v;
}

Value Value::ofText(const QString& t)
{
    Value v;
    v.kind = Kind::Text;
    v.text = t;
    return v;
}

Value Value::ofDate(const QDate& d)
{
    if (!d.isValid())
        return {};
    Value v;
    v.kind = Kind::Date;
    v.date = d;
    return v;
}

Value valueOf(store::FieldType type, const QVariant& stored)
{
    if (stored.isNull() || !stored.isValid())
        return Value::null();
    switch (type) {
    case store::FieldType::Date: {
        if (stored.typeId() == QMetaType::QDate)
            return Value::ofDate(stored.toDate());
        return Value::ofDate(QDate::fromString(stored.toString().left(10), Qt::ISODate));
    }
    case store::FieldType::Text:
    case store::FieldType::Memo:
        return Value::ofText(stored.toString());
    default: {
        bool ok = false;
        const double n = stored.toDouble(&ok);
        return ok ? Value::ofNumber(n) : Value::null();
    }
    }
}

Formula::Formula() = default;
Formula::Formula(Formula&&) noexcept = default;
Formula& Formula::operator=(Formula&&) noexcept = default;
Formula::~Formula() = default;

std::optional<Formula> Formula::compile(const QString& text, const QString& table,
                                        const QList<store::FieldInfo>& fields, const QDate& today, FormulaError* error)
{
    Formula formula;
    if (text.trimmed().isEmpty())
        return formula;
    try {
        if (text.size() > kLongestFormula)
            fail(kLongestFormula, QStringLiteral("a formula can hold at most %1 characters; this one has %2")
                                      .arg(kLongestFormula)
                                      .arg(text.size()));
        NodePtr root = formula::parse(text);
        Binder binder(table, fields, today);
        binder.bind(*root);
        if (root->type != ValueType::Boolean)
            fail(root->position, QStringLiteral("the formula is %1, not a test that is true or false "
                                                "(as {%2.LaneNo} = 5)")
                                     .arg(typeName(root->type), table));
        formula.m_fields = binder.bound;
        formula.m_root = std::move(root);
    } catch (const Failure& failure) {
        if (error)
            *error = failure.error;
        return std::nullopt;
    }
    std::vector<const Node*> terms;
    collectTerms(*formula.m_root, terms);
    for (const Node* term : terms) {
        if (const auto sql = toSql(*term, formula.m_fields))
            formula.m_sqlTerms.append(*sql);
        else
            formula.m_residual.push_back(term);
    }
    return formula;
}

QString Formula::sqlWhere(bool* complete) const
{
    if (complete)
        *complete = m_residual.empty();
    return m_sqlTerms.join(QStringLiteral(" AND "));
}

bool Formula::passesResidual(const QList<QVariant>& values, bool everything) const
{
    if (!m_root)
        return true;
    const QDate unused;
    if (everything) {
        const Value v = evaluateNode(*m_root, values, m_fields, unused);
        return !v.isNull() && v.boolean;
    }
    for (const Node* term : m_residual) {
        const Value v = evaluateNode(*term, values, m_fields, unused);
        if (v.isNull() || !v.boolean)
            return false;
    }
    return true;
}

} // namespace reports
