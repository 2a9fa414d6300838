#include "Dialect.h"

#include "FieldValue.h"

#include <QRegularExpression>

namespace store {
namespace {

struct Token {
    enum Kind { Word, Name, String, Date, Symbol, Space } kind;
    QString text;
};

std::optional<QList<Token>> tokenize(const QString& s, QString* error)
{
    QList<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto fail = [&](const QString& why) -> std::optional<QList<Token>> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            qsizetype j = i;
            while (j < n && s.at(j).isSpace())
                ++j;
            tokens.append({Token::Space, QStringLiteral(" ")});
            i = j;
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = s.indexOf(QLatin1Char(']'), i + 1);
            if (end < 0)
                return fail(QStringLiteral("A name in brackets is not closed."));
            tokens.append({Token::Name, s.mid(i + 1, end - i - 1)});
            i = end + 1;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            QString text;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s.at(j) == c) {
                    if (j + 1 < n && s.at(j + 1) == c) {
                        text += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                text += s.at(j++);
            }
            if (!closed)
                return fail(QStringLiteral("A quoted text is not closed."));
            tokens.append({Token::String, text});
            i = j + 1;
        } else if (c == QLatin1Char('#')) {
            const qsizetype end = s.indexOf(QLatin1Char('#'), i + 1);
            if (end < 0)
                return fail(QStringLiteral("A date between # signs is not closed."));
            const QString inner = s.mid(i + 1, end - i - 1);
            const QDate date = parseMonthFirstDate(inner);
            if (!date.isValid())
                return fail(QStringLiteral("#%1# is not a date.").arg(inner));
            tokens.append({Token::Date, date.toString(Qt::ISODate)});
            i = end + 1;
        } else if (c.isLetterOrNumber() || c == QLatin1Char('_')) {
            qsizetype j = i;
            while (j < n && (s.at(j).isLetterOrNumber() || s.at(j) == QLatin1Char('_') ||
                             (s.at(j) == QLatin1Char('.') && j + 1 < n && s.at(j + 1).isDigit() && s.at(i).isDigit())))
                ++j;
            tokens.append({Token::Word, s.mid(i, j - i)});
            i = j;
        } else {
            tokens.append({Token::Symbol, QString(c)});
            ++i;
        }
    }
    return tokens;
}

QString sqlString(const QString& text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

QString sqlName(const QString& name)
{
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

bool isWord(const Token& t, const char* word)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Index of the next token that is not a space, from `i` on.
qsizetype nextSolid(const QList<Token>& tokens, qsizetype i)
{
    while (i < tokens.size() && tokens.at(i).kind == Token::Space)
        ++i;
    return i;
}

} // namespace

std::optional<QString> translateAccessSql(const QString& statement, QString* error)
{
    auto tokens = tokenize(statement, error);
    if (!tokens)
        return std::nullopt;
    QList<Token>& t = *tokens;
    // One statement only: a single trailing semicolon is allowed.
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t.at(i).kind == Token::Symbol && t.at(i).text == QLatin1String(";")) {
            if (nextSolid(t, i + 1) != t.size()) {
                if (error)
                    *error = QStringLiteral("Only one statement can be run at a time.");
                return std::nullopt;
            }
            t.remove(i, t.size() - i);
            break;
        }
    }
    const qsizetype first = nextSolid(t, 0);
    if (first >= t.size() || !(isWord(t.at(first), "select") || isWord(t.at(first), "delete"))) {
        if (error)
            *error = QStringLiteral("Only Select and Delete statements can be run.");
        return std::nullopt;
    }
    // "Delete * From" and "Delete T.* From" become "DELETE FROM".
    if (isWord(t.at(first), "delete")) {
        qsizetype i = nextSolid(t, first + 1);
        const qsizetype fromAt = [&] {
            for (qsizetype k = i; k < t.size(); ++k)
                if (isWord(t.at(k), "from"))
                    return k;
            return qsizetype(-1);
        }();
        if (fromAt < 0) {
            if (error)
                *error = QStringLiteral("A Delete statement needs From.");
            return std::nullopt;
        }
        t.remove(first + 1, fromAt - first - 1);
        t.insert(first + 1, {Token::Space, QStringLiteral(" ")});
    }
    QString out;
    for (const Token& token : t) {
        switch (token.kind) {
        case Token::Space:
            out += QLatin1Char(' ');
            break;
        case Token::Name:
            out += sqlName(token.text);
            break;
        case Token::String:
            out += sqlString(token.text);
            break;
        case Token::Date:
            out += sqlString(token.text);
            break;
        case Token::Symbol:
            out += token.text;
            break;
        case Token::Word:
            out += token.text;
            break;
        }
    }
    return out.trimmed();
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
