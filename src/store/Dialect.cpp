#include "Dialect.h"

#include "DialectTokens.h"
#include "JetSql.h"
#include "SqlText.h"

#include <QRegularExpression>

#include <algorithm>

namespace store {
namespace {

using dialect::sqlName;
using dialect::Token;
using store::sqlLiteral;

struct Operand {
    enum Kind { Column, Number, String, Date, Null, Bool, Expression } kind = Expression;
    QString sql;
    QString value;  // a string's content; "1" or "0" for Yes and No
    QString yearOf; // DatePart("yyyy", column): the column's SQL
};

// A field or expression as text, an empty field (Null) being the empty text.
QString emptyAsText(const Operand& operand)
{
    return operand.kind == Operand::Column || operand.kind == Operand::Expression
               ? QStringLiteral("ifnull(") + operand.sql + QStringLiteral(",'')")
               : operand.sql;
}

// Limits that keep a statement within what this parser's stack and SQLite's
// own parser and expression tree take.
constexpr qsizetype kLongestStatement = 200000;
constexpr int kDeepest = 64;    // parentheses, NOTs and DatePart inside one another
constexpr int kMostTests = 250; // comparisons, LIKEs and IS NULLs in one statement

const QStringList kComparisons = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                                  QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};

class Parser {
public:
    Parser(QList<Token> tokens, const QList<FieldInfo>& fields) : m_tokens(std::move(tokens)), m_fields(fields) {}

    enum class Output { Rows, SelectedRows, Count };
    std::optional<QString> statement(Output output);
    QString error;

private:
    const Token& peek(qsizetype ahead = 0) const { return m_tokens.at(std::min(m_pos + ahead, m_tokens.size() - 1)); }
    bool isWord(const char* word, qsizetype ahead = 0) const
    {
        const Token& t = peek(ahead);
        return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char* symbol, qsizetype ahead = 0) const
    {
        const Token& t = peek(ahead);
        return t.kind == Token::Symbol && t.text == QLatin1String(symbol);
    }
    bool acceptWord(const char* word)
    {
        if (!isWord(word))
            return false;
        ++m_pos;
        return true;
    }
    bool acceptSymbol(const char* symbol)
    {
        if (!isSymbol(symbol))
            return false;
        ++m_pos;
        return true;
    }
    bool fail(const QString& why)
    {
        if (error.isEmpty())
            error = why;
        return false;
    }
    bool unexpected();

    std::optional<QString> identifier();
    std::optional<QString> orExpr();
    std::optional<QString> andExpr();
    std::optional<QString> notExpr();
    std::optional<QString> predicate();
    std::optional<Operand> operand();
    std::optional<QString> comparison(const Operand& left, const QString& op, const Operand& right);
    std::optional<QString> orderBy();
    bool isTextField(const QString& name) const;

    QList<Token> m_tokens;
    qsizetype m_pos = 0;
    // One level deeper for as long as it lives; too deep fails the parse.
    struct Level {
        explicit Level(Parser& parser) : m_parser(parser)
        {
            if (++m_parser.m_depth > kDeepest)
                m_parser.fail(QStringLiteral("The filter statement is nested too deeply: at most %1 parentheses, "
                                             "NOTs and DateParts can stand one inside another.")
                                  .arg(kDeepest));
        }
        ~Level() { --m_parser.m_depth; }
        bool tooDeep() const { return m_parser.m_depth > kDeepest; }
        Parser& m_parser;
    };

    const QList<FieldInfo>& m_fields;
    int m_depth = 0;
    int m_tests = 0;
};

bool Parser::unexpected()
{
    const Token& t = peek();
    if (t.kind == Token::End)
        return fail(QStringLiteral("The filter statement ends too early."));
    if (t.kind == Token::Symbol && t.text == QLatin1String(";"))
        return fail(QStringLiteral("Only one statement can be run at a time."));
    QString shown = t.text;
    if (t.kind == Token::String)
        shown = QLatin1Char('\'') + shown + QLatin1Char('\'');
    else if (t.kind == Token::Name)
        shown = QLatin1Char('[') + shown + QLatin1Char(']');
    if (shown.size() > 40)
        shown = shown.left(40) + QStringLiteral("...");
    return fail(QStringLiteral("The filter statement cannot be read at \"") + shown + QStringLiteral("\"."));
}

std::optional<QString> Parser::identifier()
{
    const Token& t = peek();
    if (t.kind != Token::Name && t.kind != Token::Word) {
        unexpected();
        return std::nullopt;
    }
    ++m_pos;
    return t.text;
}

std::optional<QString> Parser::statement(Output output)
{
    QString head;
    QString table;
    QString qualifier;
    const bool isSelect = acceptWord("select");
    const bool isDelete = !isSelect && acceptWord("delete");
    if (!isSelect && !isDelete) {
        fail(QStringLiteral("Only Select and Delete statements can be run."));
        return std::nullopt;
    }
    if (isDelete && output == Output::SelectedRows) {
        fail(QStringLiteral("A Delete statement cannot be opened as a set of records; nothing was deleted."));
        return std::nullopt;
    }
    QStringList columns;
    bool star = false;
    if (acceptSymbol("*")) {
        star = true;
    } else if ((peek().kind == Token::Word || peek().kind == Token::Name) && isSymbol(".", 1) && isSymbol("*", 2)) {
        qualifier = peek().text;
        m_pos += 3;
        star = true;
    } else if (isSelect) {
        do {
            const auto column = identifier();
            if (!column)
                return std::nullopt;
            columns.append(sqlName(*column));
        } while (acceptSymbol(","));
    }
    if (!acceptWord("from")) {
        unexpected();
        return std::nullopt;
    }
    const auto from = identifier();
    if (!from)
        return std::nullopt;
    table = *from;
    if (!qualifier.isEmpty() && qualifier.compare(table, Qt::CaseInsensitive) != 0) {
        fail(QStringLiteral("The statement reads the table ") + table + QStringLiteral(" but asks for the fields of ") +
             qualifier + QStringLiteral("."));
        return std::nullopt;
    }
    if (output == Output::Count)
        head = QStringLiteral("SELECT count(*) FROM ") + sqlName(table);
    else if (isDelete)
        head = QStringLiteral("DELETE FROM ") + sqlName(table);
    else if (star)
        head = QStringLiteral("SELECT ") +
               (qualifier.isEmpty() ? QStringLiteral("*") : sqlName(table) + QStringLiteral(".*")) +
               QStringLiteral(" FROM ") + sqlName(table);
    else
        head =
            QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + sqlName(table);

    QString sql = head;
    if (acceptWord("where")) {
        const auto condition = orExpr();
        if (!condition)
            return std::nullopt;
        sql += QStringLiteral(" WHERE ") + *condition;
    }
    QString order;
    if (isSelect && isWord("order") && isWord("by", 1)) {
        m_pos += 2;
        const auto items = orderBy();
        if (!items)
            return std::nullopt;
        order = *items;
    }
    // A record source shows the calls in the order they were logged, within
    // the sort asked for: never in the order an index happens to give.
    if (output == Output::SelectedRows)
        order += order.isEmpty() ? QStringLiteral("rowid") : QStringLiteral(", rowid");
    if (!order.isEmpty() && output != Output::Count)
        sql += QStringLiteral(" ORDER BY ") + order;
    const bool semicolon = acceptSymbol(";");
    if (peek().kind != Token::End) {
        if (semicolon)
            fail(QStringLiteral("Only one statement can be run at a time."));
        else
            unexpected();
        return std::nullopt;
    }
    return sql;
}

std::optional<QString> Parser::orderBy()
{
    QStringList items;
    do {
        const auto name = identifier();
        if (!name)
            return std::nullopt;
        QString column = *name;
        if (acceptSymbol(".")) {
            const auto field = identifier();
            if (!field)
                return std::nullopt;
            column = *field;
        }
        QString item = sqlName(column);
        if (isTextField(column))
            item += QStringLiteral(" COLLATE NOCASE");
        if (acceptWord("desc"))
            item += QStringLiteral(" DESC");
        else if (acceptWord("asc"))
            item += QStringLiteral(" ASC");
        items.append(item);
    } while (acceptSymbol(","));
    return items.join(QStringLiteral(", "));
}

bool Parser::isTextField(const QString& name) const
{
    for (const FieldInfo& field : m_fields) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return field.type == FieldType::Text || field.type == FieldType::Memo;
    }
    return false;
}

std::optional<QString> Parser::orExpr()
{
    auto left = andExpr();
    if (!left)
        return std::nullopt;
    QString sql = *left;
    while (acceptWord("or")) {
        const auto right = andExpr();
        if (!right)
            return std::nullopt;
        sql += QStringLiteral(" OR ") + *right;
    }
    return sql;
}

std::optional<QString> Parser::andExpr()
{
    auto left = notExpr();
    if (!left)
        return std::nullopt;
    QString sql = *left;
    while (acceptWord("and")) {
        const auto right = notExpr();
        if (!right)
            return std::nullopt;
        sql += QStringLiteral(" AND ") + *right;
    }
    return sql;
}

std::optional<QString> Parser::notExpr()
{
    if (acceptWord("not")) {
        const Level level(*this);
        if (level.tooDeep())
            return std::nullopt;
        const auto inner = notExpr();
        if (!inner)
            return std::nullopt;
        return QStringLiteral("NOT ") + *inner;
    }
    return predicate();
}

std::optional<QString> Parser::predicate()
{
    // Deeply nested parentheses are refused before they can exhaust the stack.
    if (acceptSymbol("(")) {
        const Level level(*this);
        if (level.tooDeep())
            return std::nullopt;
        const auto inner = orExpr();
        if (!inner)
            return std::nullopt;
        if (!acceptSymbol(")")) {
            unexpected();
            return std::nullopt;
        }
        return QLatin1Char('(') + *inner + QLatin1Char(')');
    }
    if (++m_tests > kMostTests) {
        fail(QStringLiteral("The filter statement holds too many tests: at most %1 can be joined by AND and OR.")
                 .arg(kMostTests));
        return std::nullopt;
    }
    const auto left = operand();
    if (!left)
        return std::nullopt;
    if (peek().kind == Token::Symbol && kComparisons.contains(peek().text)) {
        const QString op = peek().text;
        ++m_pos;
        const auto right = operand();
        if (!right)
            return std::nullopt;
        return comparison(*left, op, *right);
    }
    const bool negated = acceptWord("not");
    if (acceptWord("like")) {
        if (peek().kind != Token::String) {
            fail(QStringLiteral("LIKE must be followed by a pattern in quotes."));
            return std::nullopt;
        }
        const QString pattern = peek().text;
        ++m_pos;
        Error why;
        const auto glob = jet::likeSql(emptyAsText(*left), pattern, &why);
        if (!glob) {
            fail(why.message);
            return std::nullopt;
        }
        return (negated ? QStringLiteral("NOT (") : QStringLiteral("(")) + *glob + QLatin1Char(')');
    }
    if (!negated && acceptWord("is")) {
        const bool isNot = acceptWord("not");
        if (!acceptWord("null")) {
            unexpected();
            return std::nullopt;
        }
        return left->sql + (isNot ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
    }
    unexpected();
    return std::nullopt;
}

std::optional<Operand> Parser::operand()
{
    const Token t = peek();
    Operand result;
    if (t.kind == Token::Symbol && (t.text == QLatin1String("-") || t.text == QLatin1String("+")) &&
        peek(1).kind == Token::Number) {
        m_pos += 2;
        result.kind = Operand::Number;
        result.sql = (t.text == QLatin1String("-") ? QStringLiteral("-") : QString()) + peek(-1).text;
        return result;
    }
    switch (t.kind) {
    case Token::Number:
        ++m_pos;
        result.kind = Operand::Number;
        result.sql = t.text.startsWith(QLatin1Char('.')) ? QLatin1Char('0') + t.text : t.text;
        return result;
    case Token::String:
        ++m_pos;
        result.kind = Operand::String;
        result.value = t.text;
        result.sql = sqlLiteral(t.text);
        return result;
    case Token::Date:
        ++m_pos;
        result.kind = Operand::Date;
        result.sql = sqlLiteral(t.text);
        return result;
    case Token::Name:
    case Token::Word: {
        if (t.kind == Token::Word && isSymbol("(", 1)) {
            if (t.text.compare(QLatin1String("DatePart"), Qt::CaseInsensitive) != 0) {
                fail(QStringLiteral("The function ") + t.text + QStringLiteral(" cannot be used in a filter."));
                return std::nullopt;
            }
            m_pos += 2;
            if (peek().kind != Token::String) {
                fail(QStringLiteral("DatePart needs its interval in quotes, such as \"m\"."));
                return std::nullopt;
            }
            const QString unit = peek().text;
            ++m_pos;
            if (!acceptSymbol(",")) {
                unexpected();
                return std::nullopt;
            }
            const Level level(*this);
            if (level.tooDeep())
                return std::nullopt;
            const auto date = operand();
            if (!date)
                return std::nullopt;
            if (!acceptSymbol(")")) {
                unexpected();
                return std::nullopt;
            }
            const auto sql = jet::datePartSql(unit, date->sql);
            if (!sql) {
                fail(QStringLiteral("DatePart does not know the interval \"") + unit + QStringLiteral("\"."));
                return std::nullopt;
            }
            result.kind = Operand::Expression;
            result.sql = *sql;
            if (unit.compare(QLatin1String("yyyy"), Qt::CaseInsensitive) == 0 && date->kind == Operand::Column)
                result.yearOf = date->sql;
            return result;
        }
        if (t.kind == Token::Word) {
            const QString word = t.text.toLower();
            if (word == QLatin1String("null")) {
                ++m_pos;
                result.kind = Operand::Null;
                result.sql = QStringLiteral("NULL");
                return result;
            }
            if (word == QLatin1String("yes") || word == QLatin1String("true") || word == QLatin1String("on") ||
                word == QLatin1String("no") || word == QLatin1String("false") || word == QLatin1String("off")) {
                ++m_pos;
                result.kind = Operand::Bool;
                const bool yes =
                    word == QLatin1String("yes") || word == QLatin1String("true") || word == QLatin1String("on");
                result.value = yes ? QStringLiteral("1") : QStringLiteral("0");
                result.sql = yes ? QStringLiteral("-1") : QStringLiteral("0");
                return result;
            }
        }
        ++m_pos;
        QString name = t.text;
        if (acceptSymbol(".")) {
            const auto field = identifier();
            if (!field)
                return std::nullopt;
            result.sql = sqlName(name) + QLatin1Char('.') + sqlName(*field);
        } else {
            result.sql = sqlName(name);
        }
        result.kind = Operand::Column;
        return result;
    }
    case Token::Symbol:
    case Token::End:
        break;
    }
    unexpected();
    return std::nullopt;
}

std::optional<QString> Parser::comparison(const Operand& left, const QString& op, const Operand& right)
{
    // Yes and No: any value but 0 is Yes; an unset (Null) box is No.
    if (left.kind == Operand::Bool || right.kind == Operand::Bool) {
        const Operand& word = left.kind == Operand::Bool ? left : right;
        const Operand& other = left.kind == Operand::Bool ? right : left;
        if (op != QLatin1String("=") && op != QLatin1String("<>")) {
            fail(QStringLiteral("Yes and No can only be compared with = and <>."));
            return std::nullopt;
        }
        const bool yes = (word.value == QLatin1String("1")) == (op == QLatin1String("="));
        if (yes)
            return QLatin1Char('(') + other.sql + QStringLiteral(" <> 0)");
        return QStringLiteral("(ifnull(") + other.sql + QStringLiteral(",0) = 0)");
    }
    // Null and quoted texts: text comparison, an empty field being the empty text.
    const bool textual = left.kind == Operand::String || right.kind == Operand::String || left.kind == Operand::Null ||
                         right.kind == Operand::Null;
    if (textual) {
        auto side = [](const Operand& o) {
            if (o.kind == Operand::Null)
                return QStringLiteral("''");
            if (o.kind == Operand::String)
                return sqlLiteral(comparisonText(o.value));
            return emptyAsText(o);
        };
        const QString compared = QLatin1Char('(') + side(left) + QLatin1Char(' ') + op + QLatin1Char(' ') +
                                 side(right) + QStringLiteral(" COLLATE NOCASE)");
        // One lone apostrophe (''''), which is also what the filter writes for
        // "empty" beside <, >, <> and the like: an empty field never compares with it.
        const Operand& field = right.kind == Operand::String ? left : right;
        const Operand& text = right.kind == Operand::String ? right : left;
        if (text.kind == Operand::String && text.value == QLatin1String("'") &&
            (field.kind == Operand::Column || field.kind == Operand::Expression))
            return QLatin1Char('(') + emptyAsText(field) + QStringLiteral(" <> '' AND ") + compared + QLatin1Char(')');
        return compared;
    }
    // A year of a date field as a range of the stored ISO dates, so an index on the field serves it.
    if (op == QLatin1String("=") && !left.yearOf.isEmpty() && right.kind == Operand::Number) {
        bool whole = false;
        const int year = right.sql.toInt(&whole);
        if (whole && year >= 1 && year <= 9998) {
            auto start = [](int y) { return QStringLiteral("'%1-01-01'").arg(y, 4, 10, QLatin1Char('0')); };
            return QLatin1Char('(') + left.yearOf + QStringLiteral(" >= ") + start(year) + QStringLiteral(" AND ") +
                   left.yearOf + QStringLiteral(" < ") + start(year + 1) + QLatin1Char(')');
        }
    }
    return left.sql + QLatin1Char(' ') + op + QLatin1Char(' ') + right.sql;
}

std::optional<QString> translate(const QString& statement, const QList<FieldInfo>& fields, Parser::Output output,
                                 Error* error)
{
    if (statement.size() > kLongestStatement) {
        if (error)
            *error = Error::make(Error::Kind::Refused,
                                 QStringLiteral("The filter statement is too long: at most %1 characters can be run.")
                                     .arg(kLongestStatement));
        return std::nullopt;
    }
    auto tokens = dialect::tokenize(statement, error);
    if (!tokens)
        return std::nullopt;
    Parser parser(std::move(*tokens), fields);
    auto sql = parser.statement(output);
    if (!sql && error)
        *error =
            Error::make(Error::Kind::Refused,
                        parser.error.isEmpty() ? QStringLiteral("The filter statement cannot be read.") : parser.error);
    return sql;
}

} // namespace

std::optional<QString> translateAccessSql(const QString& statement, Error* error)
{
    return translate(statement, {}, Parser::Output::Rows, error);
}

std::optional<QString> translateAccessSelect(const QString& statement, const QList<FieldInfo>& fields, Error* error)
{
    return translate(statement, fields, Parser::Output::SelectedRows, error);
}

std::optional<QString> translateAccessCount(const QString& statement, Error* error)
{
    return translate(statement, {}, Parser::Output::Count, error);
}

QString comparisonText(const QString& literalValue)
{
    static const QRegularExpression enclosed(QStringLiteral("\\[([#?()*:;])\\]"));
    QString text = literalValue;
    text.replace(enclosed, QStringLiteral("\\1"));
    return text;
}

QString singleTableOf(const QString& statement)
{
    static const QRegularExpression whole(
        QStringLiteral(
            "^\\s*select\\s+\\[?(\\w+)\\]?\\.\\*\\s+from\\s+\\[?(\\w+)\\]?(\\s+(where|order\\s+by)\\b.*)?\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = whole.match(statement);
    if (!m.hasMatch() || m.captured(1).compare(m.captured(2), Qt::CaseInsensitive) != 0)
        return {};
    return m.captured(2);
}

} // namespace store
