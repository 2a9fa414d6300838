#pragma once

#include "store/Error.h"
#include "store/FieldValue.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace store {
struct FieldInfo;
}

namespace reports {

constexpr int kLongestFormula = 200000;
constexpr int kDeepestFormula = 32;

/// A value of the formula language. Null is the absent value of a field.
struct Value {
    enum class Kind { Null, Boolean, Number, Text, Date };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    QString text;
    QDate date;

    static Value null() { return {}; }
    static Value ofBool(bool b);
    static Value ofNumber(double n);
    static Value ofText(const QString& t);
    static Value ofDate(const QDate& d);
    bool isNull() const { return kind == Kind::Null; }
};

/// The type a formula node yields once its fields are known.
enum class ValueType { Boolean, Number, Text, Date };

/// One node of a parsed formula (its parts are the engine's own).
struct FormulaNode;

/// A field a formula or sort refers to, as the table stores it.
struct BoundField {
    QString name; // as stored
    store::FieldType type = store::FieldType::Text;
};

/// A parsed and checked record-selection formula over one table.
///
/// The language: field references {Table.Field} (names match without regard
/// to case), numbers, double- or single-quoted texts (a quote doubled stands
/// for itself), Date (y, m, d), CurrentDate, the functions Month, Day, Year,
/// DayOfYear, WeekOfYear, DayOfWeek (Sunday 1) and IsNull (true for Null and
/// empty text), + and - on numbers and dates (a date plus a number of days),
/// = <> < > <= >=, "x in a to b", LIKE with the classic patterns, Starts With,
/// and, or, not and parentheses. Keywords and function names are matched
/// without regard to case. Text compares without regard to the case of any
/// letter. A formula holds at most kLongestFormula characters and nests at
/// most kDeepestFormula levels (parentheses, and, or, not, signs, compared
/// values), so that no formula can exhaust the stack of the parser, the
/// evaluator or SQLite's own parser.
class Formula {
public:
    /// Parses `text` and checks it against the fields of `table`; CurrentDate
    /// is `today`. An empty or blank text selects every record. A formula
    /// refused leaves a Refused `error` with the character (from 0) where it
    /// went wrong and what is wrong there.
    static std::optional<Formula> compile(const QString& text, const QString& table,
                                          const QList<store::FieldInfo>& fields, const QDate& today,
                                          store::Error* error);

    /// A formula that selects every record.
    Formula();
    Formula(Formula&&) noexcept;
    Formula& operator=(Formula&&) noexcept;
    ~Formula();

    bool selectsAll() const { return !m_root; }
    /// Fields the formula reads, in the order the evaluator wants their values.
    const QList<BoundField>& fields() const { return m_fields; }

    /// The SQL condition for the parts that translate to SQL, and whether
    /// every part did. Empty when the formula selects everything.
    QString sqlWhere(bool* complete = nullptr) const;
    /// True when a row passes the parts that did not translate to SQL (all of
    /// them when `everything` is set). `values` hold the stored values of
    /// fields(), in that order.
    bool passesResidual(const QList<QVariant>& values, bool everything = false) const;

    /// The formula's truth for one row (Null counts as false).
    bool evaluate(const QList<QVariant>& values) const { return passesResidual(values, true); }

    /// Levels of the formula from its top down to its deepest value (0: it selects everything).
    int depth() const;

private:
    friend const FormulaNode* formulaRoot(const Formula& formula);
    std::unique_ptr<FormulaNode> m_root;
    QList<BoundField> m_fields;
    // Top-level "and" terms that SQL cannot express, evaluated row by row.
    std::vector<const FormulaNode*> m_residual;
    QStringList m_sqlTerms;
};

/// One sort field: "+{T.F}" ascending, "-{T.F}" descending (no sign: ascending).
struct SortField {
    BoundField field;
    bool descending = false;
};

/// Reads a sort field against the fields of `table`; a Refused `error` says what is wrong.
std::optional<SortField> parseSortField(const QString& text, const QString& table,
                                        const QList<store::FieldInfo>& fields, store::Error* error);

/// Where a refused formula went wrong, as a person counts: "at character N: what is wrong".
QString atCharacter(const store::Error& error);

/// A value of a stored field as the formula language sees it.
Value valueOf(store::FieldType type, const QVariant& stored);

} // namespace reports
