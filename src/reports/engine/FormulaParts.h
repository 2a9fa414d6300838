#pragma once

#include "Formula.h"

#include <memory>
#include <optional>

// Inside the report engine: the parts of the formula language behind
// Formula::compile — reading (FormulaParse.cpp), checking (FormulaCheck.cpp),
// evaluating (FormulaEval.cpp) and the SQL of a node (FormulaSql.cpp).
namespace reports::formula {

/// A formula refused: thrown by the reading and the checking, caught by Formula::compile.
struct Failure {
    FormulaError error;
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
