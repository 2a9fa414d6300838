#pragma once

#include "Formula.h"

#include <memory>
#include <optional>

// Inside the report engine: the parts of the formula language behind
// Formula::compile — reading (FormulaParse.cpp), checking (FormulaCheck.cpp),
// evaluating (FormulaEval.cpp) and the SQL of a node (FormulaSql.cpp) — and
// the tree they work on.
namespace reports {

/// One node of a parsed formula.
struct FormulaNode {
    enum class Kind {
        Literal, // a number, text, date or truth value (constants are folded into this)
        Field,   // {Table.Field}
        Call,    // Month (x), IsNull (x), Date (y, m, d), CurrentDate ...
        Not,     // not x
        Negate,  // -x
        And,
        Or,
        Compare,    // x op y, op one of = <> < > <= >=
        Range,      // x in a to b
        Like,       // x LIKE "pattern"
        StartsWith, // x Starts With "text"
        Add,        // x + y
        Subtract,   // x - y
    };
    Kind kind = Kind::Literal;
    int position = 0; // first character of the node in the formula text
    QString name;     // function name, comparison operator, or "Table.Field" as written
    Value literal;
    ValueType type = ValueType::Boolean;
    int fieldIndex = -1; // into Formula::fields() once bound
    int depth = 1;       // levels of nodes from this one down to its deepest leaf
    std::vector<std::unique_ptr<FormulaNode>> children;
};

/// The tree of a compiled formula; null when it selects everything.
const FormulaNode* formulaRoot(const Formula& formula);

} // namespace reports

namespace reports::formula {

/// A formula refused: thrown by the reading and the checking, caught by Formula::compile.
struct Failure {
    store::Error error;
};

[[noreturn]] void fail(int position, const QString& message);

/// The tree of a formula's text, its fields not yet bound. Throws Failure.
std::unique_ptr<FormulaNode> parse(const QString& text);

/// Binds the fields of `root` to those of `table` and checks the types of
/// every node, folding constants (CurrentDate is `today`); returns the
/// fields read, in the order the evaluator wants their values. Throws Failure.
QList<BoundField> bind(FormulaNode& root, const QString& table, const QList<store::FieldInfo>& fields,
                       const QDate& today);

/// The node's value for a row whose `fields` hold `values`.
Value evaluate(const FormulaNode& node, const QList<QVariant>& values, const QList<BoundField>& fields,
               const QDate& today);

/// The SQL of a bound node; nullopt for what SQL cannot say as the evaluator does.
std::optional<QString> toSql(const FormulaNode& node, const QList<BoundField>& fields);

/// The query dialect's DatePart unit of a date function ("Month" is "m").
QString datePartUnit(const QString& function);

/// How a type is named in a message ("a date").
QString typeName(ValueType type);

/// A number a date can be moved by, or a part of a date: whole and not absurdly large.
bool isWhole(double n);

} // namespace reports::formula
