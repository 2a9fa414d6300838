// The formula language's public face: compiling a formula, its SQL and its
// test of a row. Reading (FormulaParse.cpp), checking (FormulaCheck.cpp),
// evaluating (FormulaEval.cpp) and the SQL of a node (FormulaSql.cpp) live apart.
#include "Formula.h"
#include "FormulaParts.h"

#include "store/Database.h"

namespace reports {
namespace {

using formula::fail;
using formula::Failure;
using Node = FormulaNode;
using NodePtr = std::unique_ptr<FormulaNode>;

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

QString atCharacter(const store::Error& error)
{
    return QStringLiteral("at character %1: %2").arg(error.position + 1).arg(error.message);
}

Formula::Formula() = default;
Formula::Formula(Formula&&) noexcept = default;
Formula& Formula::operator=(Formula&&) noexcept = default;
Formula::~Formula() = default;

std::optional<Formula> Formula::compile(const QString& text, const QString& table,
                                        const QList<store::FieldInfo>& fields, const QDate& today, store::Error* error)
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
        QList<BoundField> bound = formula::bind(*root, table, fields, today);
        if (root->type != ValueType::Boolean)
            fail(root->position, QStringLiteral("the formula is %1, not a test that is true or false "
                                                "(as {%2.LaneNo} = 5)")
                                     .arg(formula::typeName(root->type), table));
        formula.m_fields = std::move(bound);
        formula.m_root = std::move(root);
    } catch (const Failure& failure) {
        if (error)
            *error = failure.error;
        return std::nullopt;
    }
    std::vector<const Node*> terms;
    collectTerms(*formula.m_root, terms);
    for (const Node* term : terms) {
        if (const auto sql = formula::toSql(*term, formula.m_fields))
            formula.m_sqlTerms.append(*sql);
        else
            formula.m_residual.push_back(term);
    }
    return formula;
}

const FormulaNode* formulaRoot(const Formula& formula)
{
    return formula.m_root.get();
}

int Formula::depth() const
{
    return m_root ? m_root->depth : 0;
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
        const Value v = formula::evaluate(*m_root, values, m_fields, unused);
        return !v.isNull() && v.boolean;
    }
    for (const Node* term : m_residual) {
        const Value v = formula::evaluate(*term, values, m_fields, unused);
        if (v.isNull() || !v.boolean)
            return false;
    }
    return true;
}

} // namespace reports
