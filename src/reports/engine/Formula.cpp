#include "Formula.h"

#include "store/Database.h"
#include "store/JetSql.h"

#include <QRegularExpression>

#include <cmath>

namespace reports {
namespace {

using Node = FormulaNode;
using NodePtr = std::unique_ptr<FormulaNode>;

// ---- Words -----------------------------------------------------------------------------

struct Token {
    enum class Kind { End, Field, Number, Text, Word, Symbol };
    Kind kind = Kind::End;
    int position = 0;
    QString text; // field body, text value, word, or symbol
    double number = 0;
};

struct Failure {
    FormulaError error;
};

[[noreturn]] void fail(int position, const QString& message)
{
    throw Failure{FormulaError{position, message}};
}

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

QList<Token> tokenize(const QString& s)
{
    QList<Token> tokens;
    int i = 0;
    const int n = int(s.size());
    while (true) {
        while (i < n && s.at(i).isSpace())
            ++i;
        Token t;
        t.position = i;
        if (i >= n) {
            tokens.append(t);
            return tokens;
        }
        const QChar c = s.at(i);
        if (c == QLatin1Char('{')) {
            const int close = int(s.indexOf(QLatin1Char('}'), i + 1));
            if (close < 0)
                fail(i, QStringLiteral("the field reference has no closing \"}\""));
            t.kind = Token::Kind::Field;
            t.text = s.mid(i + 1, close - i - 1);
            i = close + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            int j = i;
            while (j < n && s.at(j).isDigit())
                ++j;
            if (j < n && s.at(j) == QLatin1Char('.')) {
                ++j;
                while (j < n && s.at(j).isDigit())
                    ++j;
            }
            t.kind = Token::Kind::Number;
            t.number = s.mid(i, j - i).toDouble();
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            QString value;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s.at(j) == c) {
                    if (j + 1 < n && s.at(j + 1) == c) {
                        value += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                value += s.at(j++);
            }
            if (!closed)
                fail(i, QStringLiteral("the text that starts here has no closing %1").arg(c));
            t.kind = Token::Kind::Text;
            t.text = value;
            i = j + 1;
        } else if (c.isLetter()) {
            int j = i;
            while (j < n && (s.at(j).isLetterOrNumber() || s.at(j) == QLatin1Char('_')))
                ++j;
            t.kind = Token::Kind::Word;
            t.text = s.mid(i, j - i);
            i = j;
        } else {
            static const QStringList symbols = {QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>"),
                                                QStringLiteral("="),  QStringLiteral("<"),  QStringLiteral(">"),
                                                QStringLiteral("("),  QStringLiteral(")"),  QStringLiteral(","),
                                                QStringLiteral("+"),  QStringLiteral("-")};
            for (const QString& symbol : symbols) {
                if (s.mid(i, symbol.size()) == symbol) {
                    t.kind = Token::Kind::Symbol;
                    t.text = symbol;
                    break;
                }
            }
            if (t.kind != Token::Kind::Symbol) {
                if (c == QLatin1Char('_'))
                    fail(i, QStringLiteral("\"_\" cannot stand here: a date or number typed only in part has \"_\" "
                                           "where digits are missing"));
                fail(i, QStringLiteral("\"%1\" cannot stand in a formula").arg(c));
            }
            i += int(t.text.size());
        }
        tokens.append(t);
    }
}

// ---- Parsing -----------------------------------------------------------------------------

struct FunctionInfo {
    const char* name;
    int arguments;
};

constexpr FunctionInfo kFunctions[] = {
    {"Date", 3},       {"Month", 1},     {"Day", 1},    {"Year", 1},        {"DayOfYear", 1},
    {"WeekOfYear", 1}, {"DayOfWeek", 1}, {"IsNull", 1}, {"CurrentDate", 0},
};

const FunctionInfo* findFunction(const QString& word)
{
    for (const FunctionInfo& f : kFunctions) {
        if (word.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

class Parser {
public:
    explicit Parser(QList<Token> tokens) : m_tokens(std::move(tokens)) {}

    NodePtr parseFormula()
    {
        NodePtr root = parseOr();
        if (peek().kind != Token::Kind::End)
            fail(peek().position,
                 QStringLiteral("%1 was not expected here; is an \"and\" or \"or\" missing?").arg(describe(peek())));
        return root;
    }

private:
    const Token& peek() const { return m_tokens.at(m_index); }
    Token take() { return m_tokens.at(m_index++); }
    bool isWord(const char* word) const
    {
        return peek().kind == Token::Kind::Word && peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char* symbol) const
    {
        return peek().kind == Token::Kind::Symbol && peek().text == QLatin1String(symbol);
    }
    static QString describe(const Token& t)
    {
        switch (t.kind) {
        case Token::Kind::End:
            return QStringLiteral("the end of the formula");
        case Token::Kind::Field:
            return QStringLiteral("{") + t.text + QStringLiteral("}");
        case Token::Kind::Text:
            return QStringLiteral("the text \"") + t.text + QLatin1Char('"');
        default:
            return QLatin1Char('"') + t.text + QLatin1Char('"');
        }
    }
    void expectSymbol(const char* symbol, const QString& what)
    {
        if (!isSymbol(symbol))
            fail(peek().position, QStringLiteral("%1 is expected here, not %2").arg(what, describe(peek())));
        take();
    }

    static NodePtr make(Node::Kind kind, int position)
    {
        auto node = std::make_unique<Node>();
        node->kind = kind;
        node->position = position;
        return node;
    }
    static void tooDeep(int position)
    {
        fail(position, QStringLiteral("the formula is nested too deeply here: at most %1 levels of parentheses, "
                                      "\"and\", \"or\", \"not\", signs and compared values can stand one "
                                      "inside another")
                           .arg(kDeepestFormula));
    }
    static void adopt(Node& node, NodePtr child)
    {
        node.depth = std::max(node.depth, child->depth + 1);
        node.children.push_back(std::move(child));
        if (node.depth > kDeepestFormula)
            tooDeep(node.position);
    }
    static NodePtr binary(Node::Kind kind, int position, NodePtr a, NodePtr b)
    {
        NodePtr node = make(kind, position);
        adopt(*node, std::move(a));
        adopt(*node, std::move(b));
        return node;
    }
    // A parse that goes one level deeper (parentheses, a function's values,
    // "not", a sign) is refused before it can exhaust the stack.
    struct Level {
        explicit Level(Parser& parser) : m_parser(parser)
        {
            if (++m_parser.m_nesting > kDeepestFormula)
                tooDeep(m_parser.peek().position);
        }
        ~Level() { --m_parser.m_nesting; }
        Parser& m_parser;
    };
    // Terms joined by "and" or "or" as a balanced tree, so that a long chain
    // stays shallow; both are associative, Null included.
    static NodePtr chain(Node::Kind kind, std::vector<NodePtr>& terms, const std::vector<int>& at, size_t from,
                         size_t to)
    {
        if (to - from == 1)
            return std::move(terms[from]);
        const size_t middle = from + (to - from) / 2;
        NodePtr left = chain(kind, terms, at, from, middle);
        return binary(kind, at[middle - 1], std::move(left), chain(kind, terms, at, middle, to));
    }
    NodePtr joined(Node::Kind kind, const char* word, NodePtr (Parser::*term)())
    {
        std::vector<NodePtr> terms;
        std::vector<int> at;
        terms.push_back((this->*term)());
        while (isWord(word)) {
            at.push_back(take().position);
            terms.push_back((this->*term)());
        }
        return chain(kind, terms, at, 0, terms.size());
    }

    NodePtr parseOr()
    {
        const Level level(*this);
        return joined(Node::Kind::Or, "or", &Parser::parseAnd);
    }
    NodePtr parseAnd() { return joined(Node::Kind::And, "and", &Parser::parseNot); }
    NodePtr parseNot()
    {
        if (isWord("not")) {
            const Level level(*this);
            NodePtr node = make(Node::Kind::Not, take().position);
            adopt(*node, parseNot());
            return node;
        }
        return parseComparison();
    }
    NodePtr parseComparison()
    {
        NodePtr left = parseAdditive();
        const Token& t = peek();
        if (t.kind == Token::Kind::Symbol &&
            (t.text == QLatin1String("=") || t.text == QLatin1String("<>") || t.text == QLatin1String("<") ||
             t.text == QLatin1String(">") || t.text == QLatin1String("<=") || t.text == QLatin1String(">="))) {
            const Token op = take();
            NodePtr node = binary(Node::Kind::Compare, op.position, std::move(left), parseAdditive());
            node->name = op.text;
            return node;
        }
        if (isWord("in")) {
            NodePtr node = make(Node::Kind::Range, take().position);
            adopt(*node, std::move(left));
            adopt(*node, parseAdditive());
            if (!isWord("to"))
                fail(peek().position, QStringLiteral("\"to\" is expected here, not %1 (a range is written "
                                                     "\"in 1 to 12\")")
                                          .arg(describe(peek())));
            take();
            adopt(*node, parseAdditive());
            return node;
        }
        if (isWord("like")) {
            const int at = take().position;
            return binary(Node::Kind::Like, at, std::move(left), parseAdditive());
        }
        if (isWord("starts")) {
            const int at = take().position;
            if (!isWord("with"))
                fail(peek().position, QStringLiteral("\"with\" is expected after \"starts\""));
            take();
            return binary(Node::Kind::StartsWith, at, std::move(left), parseAdditive());
        }
        return left;
    }
    NodePtr parseAdditive()
    {
        NodePtr left = parseUnary();
        while (isSymbol("+") || isSymbol("-")) {
            const Token op = take();
            left = binary(op.text == QLatin1String("+") ? Node::Kind::Add : Node::Kind::Subtract, op.position,
                          std::move(left), parseUnary());
        }
        return left;
    }
    NodePtr parseUnary()
    {
        if (isSymbol("-")) {
            const Level level(*this);
            NodePtr node = make(Node::Kind::Negate, take().position);
            adopt(*node, parseUnary());
            return node;
        }
        if (isSymbol("+"))
            take();
        return parsePrimary();
    }
    NodePtr parsePrimary()
    {
        const Token t = peek();
        switch (t.kind) {
        case Token::Kind::Number: {
            take();
            NodePtr node = make(Node::Kind::Literal, t.position);
            node->literal = Value::ofNumber(t.number);
            return node;
        }
        case Token::Kind::Text: {
            take();
            NodePtr node = make(Node::Kind::Literal, t.position);
            node->literal = Value::ofText(t.text);
            return node;
        }
        case Token::Kind::Field: {
            take();
            NodePtr node = make(Node::Kind::Field, t.position);
            node->name = t.text;
            return node;
        }
        case Token::Kind::Symbol:
            if (t.text == QLatin1String("(")) {
                take();
                NodePtr inner = parseOr();
                expectSymbol(")", QStringLiteral("\")\""));
                return inner;
            }
            break;
        case Token::Kind::Word: {
            if (isWord("true") || isWord("false")) {
                take();
                NodePtr node = make(Node::Kind::Literal, t.position);
                node->literal = Value::ofBool(t.text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0);
                return node;
            }
            static const QStringList keywords = {
                QStringLiteral("and"),  QStringLiteral("or"),     QStringLiteral("to"),  QStringLiteral("in"),
                QStringLiteral("like"), QStringLiteral("starts"), QStringLiteral("with")};
            if (keywords.contains(t.text.toLower()))
                fail(t.position, QStringLiteral("a value is missing here (found \"%1\")").arg(t.text));
            const FunctionInfo* function = findFunction(t.text);
            if (!function)
                fail(t.position, QStringLiteral("\"%1\" is not a number, a date, a text in quotes, a field in "
                                                "braces or a function this report engine knows")
                                     .arg(t.text));
            take();
            NodePtr node = make(Node::Kind::Call, t.position);
            node->name = QString::fromLatin1(function->name);
            if (function->arguments == 0) {
                if (isSymbol("(")) { // CurrentDate () as well as CurrentDate
                    take();
                    expectSymbol(")", QStringLiteral("\")\""));
                }
                return node;
            }
            expectSymbol("(", QStringLiteral("\"(\" after %1").arg(node->name));
            for (int a = 0; a < function->arguments; ++a) {
                if (a > 0)
                    expectSymbol(",", QStringLiteral("\",\" and the next value of %1").arg(node->name));
                adopt(*node, parseOr());
            }
            expectSymbol(")", QStringLiteral("\")\" closing %1").arg(node->name));
            return node;
        }
        case Token::Kind::End:
            break;
        }
        fail(t.position, QStringLiteral("a value is missing here (found %1)").arg(describe(t)));
    }

    QList<Token> m_tokens;
    int m_index = 0;
    int m_nesting = 0;
};

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

QString datePartUnit(const QString& function)
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
                QString why;
                if (!store::jet::likeSql(QStringLiteral("x"), pattern.literal.text, &why))
                    fail(pattern.position, why);
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

std::optional<QString> toSql(const Node& node, const QList<BoundField>& fields)
{
    auto child = [&](int i) { return toSql(*node.children.at(i), fields); };
    auto collate = [&](const Node& of) {
        return of.type == ValueType::Text ? QStringLiteral(" COLLATE NOCASE") : QString();
    };
    switch (node.kind) {
    case Node::Kind::Literal:
        switch (node.literal.kind) {
        case Value::Kind::Number:
            return QString::number(node.literal.number, 'g', 17);
        case Value::Kind::Text:
            return sqlText(node.literal.text);
        case Value::Kind::Date:
            return sqlText(node.literal.date.toString(Qt::ISODate));
        case Value::Kind::Boolean:
            return node.literal.boolean ? QStringLiteral("1") : QStringLiteral("0");
        case Value::Kind::Null:
            return QStringLiteral("NULL");
        }
        return std::nullopt;
    case Node::Kind::Field:
        return store::Database::quoted(fields.at(node.fieldIndex).name);
    case Node::Kind::Not: {
        const auto a = child(0);
        return a ? std::optional(QStringLiteral("(NOT ") + *a + QLatin1Char(')')) : std::nullopt;
    }
    case Node::Kind::Negate: {
        const auto a = child(0);
        return a ? std::optional(QStringLiteral("(-") + *a + QLatin1Char(')')) : std::nullopt;
    }
    case Node::Kind::And:
    case Node::Kind::Or: {
        const auto a = child(0), b = child(1);
        if (!a || !b)
            return std::nullopt;
        const QString op = node.kind == Node::Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        return QLatin1Char('(') + *a + op + *b + QLatin1Char(')');
    }
    case Node::Kind::Compare: {
        const auto a = child(0), b = child(1);
        if (!a || !b)
            return std::nullopt;
        return QLatin1Char('(') + *a + QLatin1Char(' ') + node.name + QLatin1Char(' ') + *b +
               collate(*node.children[0]) + QLatin1Char(')');
    }
    case Node::Kind::Range: {
        const auto x = child(0), a = child(1), b = child(2);
        if (!x || !a || !b)
            return std::nullopt;
        const QString c = collate(*node.children[0]);
        return QStringLiteral("(") + *x + QStringLiteral(" >= ") + *a + c + QStringLiteral(" AND ") + *x +
               QStringLiteral(" <= ") + *b + c + QStringLiteral(")");
    }
    case Node::Kind::Like: {
        const auto x = child(0);
        if (!x)
            return std::nullopt;
        const auto sql = store::jet::likeSql(*x, node.children[1]->literal.text);
        return sql ? std::optional(QLatin1Char('(') + *sql + QLatin1Char(')')) : std::nullopt;
    }
    case Node::Kind::StartsWith: {
        const auto x = child(0);
        if (!x)
            return std::nullopt;
        const QString prefix = node.children[1]->literal.text;
        if (prefix.isEmpty())
            return QStringLiteral("(") + *x + QStringLiteral(" IS NOT NULL)");
        return QStringLiteral("(substr(") + *x + QStringLiteral(", 1, ") + QString::number(prefix.toUcs4().size()) +
               QStringLiteral(") = ") + sqlText(prefix) + QStringLiteral(" COLLATE NOCASE)");
    }
    case Node::Kind::Add:
    case Node::Kind::Subtract: {
        const auto a = child(0), b = child(1);
        if (!a || !b)
            return std::nullopt;
        const ValueType ta = node.children[0]->type, tb = node.children[1]->type;
        const bool add = node.kind == Node::Kind::Add;
        if (ta == ValueType::Number && tb == ValueType::Number)
            return QLatin1Char('(') + *a + (add ? QStringLiteral(" + ") : QStringLiteral(" - ")) + *b +
                   QLatin1Char(')');
        // Days added to a date: whole numbers only, as the evaluator has it.
        auto shifted = [](const QString& date, const QString& days) -> QString {
            return QStringLiteral("(CASE WHEN ") + days + QStringLiteral(" = CAST(") + days +
                   QStringLiteral(" AS INTEGER) THEN date(") + date + QStringLiteral(", printf('%+d days', ") + days +
                   QStringLiteral(")) END)");
        };
        if (ta == ValueType::Date && tb == ValueType::Number)
            return shifted(*a, add ? *b : QStringLiteral("(-") + *b + QLatin1Char(')'));
        if (ta == ValueType::Number && tb == ValueType::Date)
            return shifted(*b, *a);
        return QStringLiteral("CAST(julianday(") + *a + QStringLiteral(") - julianday(") + *b +
               QStringLiteral(") AS INTEGER)");
    }
    case Node::Kind::Call: {
        if (node.name == QLatin1String("IsNull")) {
            const auto x = child(0);
            return x ? std::optional(QStringLiteral("(") + *x + QStringLiteral(" IS NULL OR ") + *x +
                                     QStringLiteral(" = '')"))
                     : std::nullopt;
        }
        // A date made from values of a row is checked day by day in C++:
        // SQLite's date() would roll 2004-02-30 over into March.
        if (node.name == QLatin1String("Date") || node.name == QLatin1String("CurrentDate"))
            return std::nullopt;
        const auto x = child(0);
        if (!x)
            return std::nullopt;
        return store::jet::datePartSql(datePartUnit(node.name), *x);
    }
    }
    return std::nullopt;
}

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

QString sqlText(const QString& text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
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
        Parser parser(tokenize(text));
        NodePtr root = parser.parseFormula();
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

std::optional<SortField> parseSortField(const QString& text, const QString& table,
                                        const QList<store::FieldInfo>& fields, QString* error)
{
    static const QRegularExpression form(QStringLiteral("^\\s*([+-]?)\\s*\\{\\s*([^.}]*)\\.([^}]*)\\}\\s*$"));
    const auto m = form.match(text);
    auto refuse = [&](const QString& why) -> std::optional<SortField> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (!m.hasMatch())
        return refuse(
            QStringLiteral("the sort field \"%1\" is not written as +{%2.Field} or -{%2.Field}").arg(text, table));
    if (m.captured(2).trimmed().compare(table, Qt::CaseInsensitive) != 0)
        return refuse(QStringLiteral("the sort field \"%1\" names the table %2; this report reads %3")
                          .arg(text, m.captured(2).trimmed(), table));
    const QString name = m.captured(3).trimmed();
    for (const store::FieldInfo& info : fields) {
        if (info.name.compare(name, Qt::CaseInsensitive) == 0)
            return SortField{BoundField{info.name, info.type}, m.captured(1) == QLatin1String("-")};
    }
    return refuse(QStringLiteral("the sort field \"%1\": the table %2 has no field \"%3\"").arg(text, table, name));
}

} // namespace reports
