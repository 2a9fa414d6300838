#pragma once

#include "Formula.h"

#include <memory>
#include <optional>

// The formula's reading and its SQL, apart from its checking and evaluation
// (Formula.cpp). Inside the report engine only.
namespace reports::formula {

/// A formula refused: thrown by the reading and the checking, caught by Formula::compile.
struct Failure {
    FormulaError error;
};

[[noreturn]] void fail(int position, const QString& message);

/// The tree of a formula's text, its fields not yet bound. Throws Failure.
std::unique_ptr<FormulaNode> parse(const QString& text);

/// The SQL of a bound node; nullopt for what SQL cannot say as the evaluator does.
std::optional<QString> toSql(const FormulaNode& node, const QList<BoundField>& fields);

/// The query dialect's DatePart unit of a date function ("Month" is "m").
QString datePartUnit(const QString& function);

} // namespace reports::formula
