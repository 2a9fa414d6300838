#include "FormulaParts.h"

#include "store/Database.h"

#include <QRegularExpression>

namespace reports::formula {

void fail(int position, const QString& message)
{
    throw Failure{store::Error::at(position, message)};
}

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

// Each reader takes the token that starts at `i` and returns the index after it.
int readField(const QString& s, int i, Token& t)
{
    const int close = int(s.indexOf(QLatin1Char('}'), i + 1));
    if (close < 0)
        fail(i, QStringLiteral("the field reference has no closing \"}\""));
    t.kind = Token::Kind::Field;
    t.text = s.mid(i + 1, close - i - 1);
    return close + 1;
}

int readNumber(const QString& s, int i, Token& t)
{
    const int n = int(s.size());
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
    return j;
}

// A text in double or single quotes; the quote doubled stands for itself.
int readText(const QString& s, int i, Token& t)
{
    const QChar quote = s.at(i);
    const int n = int(s.size());
    QString value;
    for (int j = i + 1; j < n; ++j) {
        if (s.at(j) != quote) {
            value += s.at(j);
        } else if (j + 1 < n && s.at(j + 1) == quote) {
            value += quote;
            ++j;
        } else {
            t.kind = Token::Kind::Text;
            t.text = value;
            return j + 1;
        }
    }
    fail(i, QStringLiteral("the text that starts here has no closing %1").arg(quote));
}

int readWord(const QString& s, int i, Token& t)
{
    int j = i;
    while (j < s.size() && (s.at(j).isLetterOrNumber() || s.at(j) == QLatin1Char('_')))
        ++j;
    t.kind = Token::Kind::Word;
    t.text = s.mid(i, j - i);
    return j;
}

int readSymbol(const QString& s, int i, Token& t)
{
    static const QStringList symbols = {QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>"),
                                        QStringLiteral("="),  QStringLiteral("<"),  QStringLiteral(">"),
                                        QStringLiteral("("),  QStringLiteral(")"),  QStringLiteral(","),
                                        QStringLiteral("+"),  QStringLiteral("-")};
    for (const QString& symbol : symbols) {
        if (s.mid(i, symbol.size()) == symbol) {
            t.kind = Token::Kind::Symbol;
            t.text = symbol;
            return i + int(symbol.size());
        }
    }
    if (s.at(i) == QLatin1Char('_'))
        fail(i, QStringLiteral("\"_\" cannot stand here: a date or number typed only in part has \"_\" "
                               "where digits are missing"));
    fail(i, QStringLiteral("\"%1\" cannot stand in a formula").arg(s.at(i)));
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
        if (c == QLatin1Char('{'))
            i = readField(s, i, t);
        else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit()))
            i = readNumber(s, i, t);
        else if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            i = readText(s, i, t);
        else if (c.isLetter())
            i = readWord(s, i, t);
        else
            i = readSymbol(s, i, t);
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

} // namespace

std::unique_ptr<FormulaNode> parse(const QString& text)
{
    Parser parser(tokenize(text));
    return parser.parseFormula();
}

} // namespace reports::formula

namespace reports {

std::optional<SortField> parseSortField(const QString& text, const QString& table,
                                        const QList<store::FieldInfo>& fields, store::Error* error)
{
    static const QRegularExpression form(QStringLiteral("^\\s*([+-]?)\\s*\\{\\s*([^.}]*)\\.([^}]*)\\}\\s*$"));
    const auto m = form.match(text);
    auto refuse = [&](const QString& why) -> std::optional<SortField> {
        if (error)
            *error = store::Error::make(store::Error::Kind::Refused, why);
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
