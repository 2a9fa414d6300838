// The formula evaluated row by row, three-valued as SQL has it: Null stays
// unknown through "not", while "and" and "or" decide whenever one side does.
#include "Formula.h"
#include "FormulaParts.h"

#include "store/Database.h"
#include "store/JetSql.h"

#include <cmath>

namespace reports {
namespace {

using Node = FormulaNode;
using formula::datePartUnit;

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

Value logic(const Node& node, const std::function<Value(int)>& child)
{
    if (node.kind == Node::Kind::Not) {
        const Value a = child(0);
        return a.isNull() ? Value::null() : Value::ofBool(!a.boolean);
    }
    const bool decides = node.kind == Node::Kind::Or; // the value that decides "or"; "and" is decided by false
    const Value a = child(0);
    if (!a.isNull() && a.boolean == decides)
        return Value::ofBool(decides);
    const Value b = child(1);
    if (!b.isNull() && b.boolean == decides)
        return Value::ofBool(decides);
    return a.isNull() || b.isNull() ? Value::null() : Value::ofBool(!decides);
}

Value comparison(const Node& node, const std::function<Value(int)>& child)
{
    if (node.kind == Node::Kind::Range) {
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

Value textTest(const Node& node, const std::function<Value(int)>& child)
{
    const Value x = child(0);
    if (x.isNull())
        return Value::null();
    if (node.kind == Node::Kind::Like)
        return Value::ofBool(store::jet::like(x.text, child(1).text));
    const QString prefix = child(1).text;
    const QList<uint> value = x.text.toUcs4();
    const QList<uint> head = prefix.toUcs4();
    if (head.size() > value.size())
        return Value::ofBool(false);
    const QString start = QString::fromUcs4(reinterpret_cast<const char32_t*>(value.constData()), head.size());
    return Value::ofBool(store::jet::compareText(start, prefix) == 0);
}

Value arithmetic(const Node& node, const std::function<Value(int)>& child)
{
    if (node.kind == Node::Kind::Negate) {
        const Value a = child(0);
        return a.isNull() ? Value::null() : Value::ofNumber(-a.number);
    }
    const Value a = child(0);
    const Value b = child(1);
    if (a.isNull() || b.isNull())
        return Value::null();
    const double sign = node.kind == Node::Kind::Add ? 1 : -1;
    if (a.kind == Value::Kind::Date && b.kind == Value::Kind::Date)
        return Value::ofNumber(double(b.date.daysTo(a.date)));
    if (a.kind == Value::Kind::Date) {
        if (!formula::isWhole(b.number))
            return Value::null();
        return Value::ofDate(a.date.addDays(qint64(sign * b.number)));
    }
    if (b.kind == Value::Kind::Date) { // number + date
        if (!formula::isWhole(a.number))
            return Value::null();
        return Value::ofDate(b.date.addDays(qint64(a.number)));
    }
    return Value::ofNumber(a.number + sign * b.number);
}

Value call(const Node& node, const std::function<Value(int)>& child, const QDate& today)
{
    if (node.name == QLatin1String("CurrentDate"))
        return Value::ofDate(today);
    if (node.name == QLatin1String("IsNull")) {
        const Value x = child(0);
        return Value::ofBool(x.isNull() || (x.kind == Value::Kind::Text && x.text.isEmpty()));
    }
    if (node.name == QLatin1String("Date")) {
        const Value y = child(0), m = child(1), d = child(2);
        if (y.isNull() || m.isNull() || d.isNull() || !formula::isWhole(y.number) || !formula::isWhole(m.number) ||
            !formula::isWhole(d.number))
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

} // namespace

namespace formula {

bool isWhole(double n)
{
    return std::isfinite(n) && n == std::floor(n) && std::fabs(n) < 1e9;
}

Value evaluate(const FormulaNode& node, const QList<QVariant>& values, const QList<BoundField>& fields,
               const QDate& today)
{
    const std::function<Value(int)> child = [&](int i) {
        return evaluate(*node.children.at(i), values, fields, today);
    };
    switch (node.kind) {
    case Node::Kind::Literal:
        return node.literal;
    case Node::Kind::Field:
        return valueOf(fields.at(node.fieldIndex).type, values.value(node.fieldIndex));
    case Node::Kind::Not:
    case Node::Kind::And:
    case Node::Kind::Or:
        return logic(node, child);
    case Node::Kind::Compare:
    case Node::Kind::Range:
        return comparison(node, child);
    case Node::Kind::Like:
    case Node::Kind::StartsWith:
        return textTest(node, child);
    case Node::Kind::Negate:
    case Node::Kind::Add:
    case Node::Kind::Subtract:
        return arithmetic(node, child);
    case Node::Kind::Call:
        return call(node, child, today);
    }
    return Value::null();
}

} // namespace formula

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

} // namespace reports
