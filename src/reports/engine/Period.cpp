// The period of a report in words. A formula's terms joined by "and" that
// bound a date field (=, <, >, <=, >=, "in a to b", Year, Month) become one
// span of days; those that bound a number field become a range; every other
// term is said as it reads.
#include "Period.h"

#include "Formula.h"
#include "FormulaParts.h"
#include "Report.h"
#include "ReportPrivate.h"

#include <QDate>
#include <QLocale>

#include <optional>
#include <vector>

namespace reports {
namespace {

using Node = FormulaNode;

struct Bounds {
    QString field;
    bool isDate = false;
    std::optional<double> low, high; // numbers
    bool lowStrict = false, highStrict = false;
    QDate from, to; // dates, both days included
    std::optional<int> year, month;
};

QString literalText(const Value& v)
{
    switch (v.kind) {
    case Value::Kind::Number:
        return numberText(v.number);
    case Value::Kind::Text:
        return QLatin1Char('"') + v.text + QLatin1Char('"');
    case Value::Kind::Date:
        return reportDate(v.date);
    case Value::Kind::Boolean:
        return v.boolean ? QStringLiteral("true") : QStringLiteral("false");
    case Value::Kind::Null:
        break;
    }
    return QStringLiteral("nothing");
}

class Describer {
public:
    explicit Describer(const std::function<QString(const QString&)>& caption) : m_caption(caption) {}

    QString describe(const Node& root)
    {
        std::vector<const Node*> terms;
        collect(root, terms);
        for (const Node* term : terms) {
            if (!bound(*term))
                m_parts.push_back({-1, phrase(*term, true)});
        }
        QStringList out;
        for (const auto& [index, text] : m_parts)
            out << (index >= 0 ? boundsText(m_bounds.at(index)) : text);
        return out.join(QStringLiteral(" and "));
    }

private:
    static void collect(const Node& node, std::vector<const Node*>& terms)
    {
        if (node.kind == Node::Kind::And) {
            collect(*node.children[0], terms);
            collect(*node.children[1], terms);
        } else {
            terms.push_back(&node);
        }
    }

    Bounds& boundsOf(const Node& field)
    {
        for (size_t i = 0; i < m_bounds.size(); ++i) {
            if (m_bounds[i].field == field.name)
                return m_bounds[i];
        }
        m_bounds.push_back(Bounds{field.name, field.type == ValueType::Date, {}, {}, false, false, {}, {}, {}, {}});
        m_parts.push_back({int(m_bounds.size() - 1), {}});
        return m_bounds.back();
    }

    static void limit(Bounds& b, const QString& op, const Value& v)
    {
        if (b.isDate) {
            const QDate d = v.date;
            if (op == QLatin1String("=") || op == QLatin1String(">=") || op == QLatin1String(">"))
                b.from = std::max(b.from.isValid() ? b.from : d, op == QLatin1String(">") ? d.addDays(1) : d);
            if (op == QLatin1String("=") || op == QLatin1String("<=") || op == QLatin1String("<"))
                b.to = std::min(b.to.isValid() ? b.to : d, op == QLatin1String("<") ? d.addDays(-1) : d);
            return;
        }
        if (op == QLatin1String("=") || op == QLatin1String(">=") || op == QLatin1String(">")) {
            b.low = v.number;
            b.lowStrict = op == QLatin1String(">");
        }
        if (op == QLatin1String("=") || op == QLatin1String("<=") || op == QLatin1String("<")) {
            b.high = v.number;
            b.highStrict = op == QLatin1String("<");
        }
    }

    // A term that bounds one field by constants, taken into its bounds.
    bool bound(const Node& term)
    {
        auto literal = [](const Node& n, Value::Kind kind) {
            return n.kind == Node::Kind::Literal && n.literal.kind == kind;
        };
        if (term.kind == Node::Kind::Range && term.children[0]->kind == Node::Kind::Field) {
            const Node& field = *term.children[0];
            const Value::Kind kind = field.type == ValueType::Date ? Value::Kind::Date : Value::Kind::Number;
            if (field.type == ValueType::Text || !literal(*term.children[1], kind) || !literal(*term.children[2], kind))
                return false;
            Bounds& b = boundsOf(field);
            limit(b, QStringLiteral(">="), term.children[1]->literal);
            limit(b, QStringLiteral("<="), term.children[2]->literal);
            return true;
        }
        if (term.kind != Node::Kind::Compare || term.name == QLatin1String("<>"))
            return false;
        const Node& left = *term.children[0];
        const Node& right = *term.children[1];
        if (left.kind == Node::Kind::Field && left.type != ValueType::Text &&
            literal(right, left.type == ValueType::Date ? Value::Kind::Date : Value::Kind::Number)) {
            limit(boundsOf(left), term.name, right.literal);
            return true;
        }
        // Year ({T.Date}) = 2004, Month ({T.Date}) = 12.
        if (left.kind == Node::Kind::Call && term.name == QLatin1String("=") && literal(right, Value::Kind::Number) &&
            (left.name == QLatin1String("Year") || left.name == QLatin1String("Month")) &&
            left.children[0]->kind == Node::Kind::Field) {
            Bounds& b = boundsOf(*left.children[0]);
            (left.name == QLatin1String("Year") ? b.year : b.month) = int(right.literal.number);
            return true;
        }
        return false;
    }

    static void narrowToYearAndMonth(Bounds& b)
    {
        auto intersect = [&](const QDate& from, const QDate& to) {
            b.from = b.from.isValid() ? std::max(b.from, from) : from;
            b.to = b.to.isValid() ? std::min(b.to, to) : to;
        };
        if (b.year)
            intersect(QDate(*b.year, 1, 1), QDate(*b.year, 12, 31));
        if (b.month && b.from.isValid() && b.to.isValid() && b.from.year() == b.to.year()) {
            const QDate first(b.from.year(), *b.month, 1);
            intersect(first, first.addMonths(1).addDays(-1));
            b.month.reset();
        }
    }

    QString dateSpan(Bounds b) const
    {
        narrowToYearAndMonth(b);
        auto day = [](const QDate& d) -> QString {
            return QLocale::c().dayName(d.dayOfWeek()) + QLatin1Char(' ') + reportDate(d);
        };
        QString text;
        if (b.from.isValid() && b.to.isValid() && b.from == b.to)
            text = day(b.from);
        else if (b.from.isValid() && b.to.isValid() && b.from.daysTo(b.to) >= 0 && b.from.daysTo(b.to) < 7)
            text = day(b.from) + QStringLiteral(" to ") + day(b.to); // a week: its days by name
        else if (b.from.isValid() && b.to.isValid())
            text = reportDate(b.from) + QStringLiteral(" to ") + reportDate(b.to);
        else if (b.from.isValid())
            text = QStringLiteral("from ") + reportDate(b.from);
        else if (b.to.isValid())
            text = QStringLiteral("up to ") + reportDate(b.to);
        if (b.month)
            text += (text.isEmpty() ? QString() : QStringLiteral(", ")) +
                    QStringLiteral("in %1").arg(QLocale::c().monthName(std::clamp(*b.month, 1, 12)));
        return text;
    }

    QString boundsText(const Bounds& b) const
    {
        if (b.isDate)
            return dateSpan(b);
        // Lanes are counted as lanes; other numbers go by the report's name for them.
        const bool lanes = b.field.compare(QLatin1String("LaneNo"), Qt::CaseInsensitive) == 0;
        const QString one = lanes ? QStringLiteral("Lane") : m_caption(b.field);
        const QString many = lanes ? QStringLiteral("Lanes") : m_caption(b.field);
        if (b.low && b.high && !b.lowStrict && !b.highStrict && *b.low == *b.high)
            return one + QLatin1Char(' ') + numberText(*b.low);
        if (b.low && b.high && !b.lowStrict && !b.highStrict)
            return many + QLatin1Char(' ') + numberText(*b.low) + QStringLiteral(" to ") + numberText(*b.high);
        QStringList parts;
        if (b.low)
            parts << (b.lowStrict ? QStringLiteral("above ") + numberText(*b.low)
                                  : numberText(*b.low) + QStringLiteral(" and above"));
        if (b.high)
            parts << (b.highStrict ? QStringLiteral("below ") + numberText(*b.high)
                                   : numberText(*b.high) + QStringLiteral(" and below"));
        return many + QLatin1Char(' ') + parts.join(QStringLiteral(", "));
    }

    QString compareWords(const Node& node) const
    {
        static const std::pair<const char*, const char*> words[] = {{"=", "is"},    {"<>", "is not"}, {"<", "below"},
                                                                    {">", "above"}, {"<=", "up to"},  {">=", "from"}};
        QString op = node.name;
        for (const auto& [symbol, word] : words) {
            if (node.name == QLatin1String(symbol))
                op = QString::fromLatin1(word);
        }
        if (node.children[0]->type == ValueType::Date && (op == QLatin1String("below") || op == QLatin1String("above")))
            op = op == QLatin1String("below") ? QStringLiteral("before") : QStringLiteral("after");
        return phrase(*node.children[0]) + QLatin1Char(' ') + op + QLatin1Char(' ') + phrase(*node.children[1]);
    }

    QString phrase(const Node& node, bool top = false) const
    {
        switch (node.kind) {
        case Node::Kind::Literal:
            return literalText(node.literal);
        case Node::Kind::Field:
            return m_caption(node.name);
        case Node::Kind::Compare:
            return compareWords(node);
        case Node::Kind::Range:
            return phrase(*node.children[0]) + QLatin1Char(' ') + phrase(*node.children[1]) + QStringLiteral(" to ") +
                   phrase(*node.children[2]);
        case Node::Kind::Like:
            return phrase(*node.children[0]) + QStringLiteral(" like ") + phrase(*node.children[1]);
        case Node::Kind::StartsWith:
            return phrase(*node.children[0]) + QStringLiteral(" starting with ") + phrase(*node.children[1]);
        case Node::Kind::Not:
            if (node.children[0]->kind == Node::Kind::Call && node.children[0]->name == QLatin1String("IsNull"))
                return phrase(*node.children[0]->children[0]) + QStringLiteral(" filled in");
            return QStringLiteral("not (") + phrase(*node.children[0], true) + QLatin1Char(')');
        case Node::Kind::And:
        case Node::Kind::Or: {
            const QString word = node.kind == Node::Kind::And ? QStringLiteral(" and ") : QStringLiteral(" or ");
            const QString text = phrase(*node.children[0]) + word + phrase(*node.children[1]);
            return top ? text : QLatin1Char('(') + text + QLatin1Char(')');
        }
        case Node::Kind::Negate:
            return QLatin1Char('-') + phrase(*node.children[0]);
        case Node::Kind::Add:
        case Node::Kind::Subtract:
            return phrase(*node.children[0]) +
                   (node.kind == Node::Kind::Add ? QStringLiteral(" + ") : QStringLiteral(" - ")) +
                   phrase(*node.children[1]);
        case Node::Kind::Call:
            if (node.name == QLatin1String("IsNull"))
                return phrase(*node.children[0]) + QStringLiteral(" empty");
            if (node.children.empty())
                return QStringLiteral("today");
            return node.name + QStringLiteral(" of ") + phrase(*node.children[0]);
        }
        return {};
    }

    const std::function<QString(const QString&)>& m_caption;
    std::vector<Bounds> m_bounds;
    std::vector<std::pair<int, QString>> m_parts; // a field's bounds (its index) or a term's words
};

} // namespace

QString describeSelection(const Formula& formula, const std::function<QString(const QString&)>& caption)
{
    const FormulaNode* root = formulaRoot(formula);
    return root ? Describer(caption).describe(*root) : QString();
}

} // namespace reports
