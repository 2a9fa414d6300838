#include "DialectTokens.h"

#include "FieldValue.h"

#include <QDate>

namespace store::dialect {
namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

std::optional<QList<Token>> tokenize(const QString& s, Error* error)
{
    QList<Token> tokens;
    const qsizetype n = s.size();
    auto fail = [&](const QString& why) -> std::optional<QList<Token>> {
        if (error)
            *error = Error::make(Error::Kind::Refused, why);
        return std::nullopt;
    };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s.at(i);
        const QChar next = i + 1 < n ? s.at(i + 1) : QChar();
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = s.indexOf(QLatin1Char(']'), i + 1);
            if (end < 0)
                return fail(QStringLiteral("A name in brackets is not closed."));
            const QString name = s.mid(i + 1, end - i - 1);
            if (name.trimmed().isEmpty())
                return fail(QStringLiteral("A name in brackets is empty."));
            tokens.append({Token::Name, name});
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
                return fail(QStringLiteral("#") + inner + QStringLiteral("# is not a date (month/day/year)."));
            tokens.append({Token::Date, date.toString(Qt::ISODate)});
            i = end + 1;
        } else if (isAsciiDigit(c) || (c == QLatin1Char('.') && isAsciiDigit(next))) {
            qsizetype j = i;
            bool point = false;
            while (j < n && (isAsciiDigit(s.at(j)) || (s.at(j) == QLatin1Char('.') && !point))) {
                point = point || s.at(j) == QLatin1Char('.');
                ++j;
            }
            if (j < n && isWordChar(s.at(j)))
                return fail(QStringLiteral("\"") + s.mid(i, j - i + 1) + QStringLiteral("\" is not a number."));
            tokens.append({Token::Number, s.mid(i, j - i)});
            i = j;
        } else if (isWordStart(c)) {
            qsizetype j = i;
            while (j < n && isWordChar(s.at(j)))
                ++j;
            tokens.append({Token::Word, s.mid(i, j - i)});
            i = j;
        } else if ((c == QLatin1Char('-') && next == QLatin1Char('-')) ||
                   (c == QLatin1Char('/') && next == QLatin1Char('*'))) {
            return fail(QStringLiteral("A filter statement cannot hold the comment mark ") + c + next +
                        QStringLiteral("."));
        } else if ((c == QLatin1Char('<') && (next == QLatin1Char('>') || next == QLatin1Char('='))) ||
                   (c == QLatin1Char('>') && next == QLatin1Char('='))) {
            tokens.append({Token::Symbol, QString(c) + next});
            i += 2;
        } else if (QStringLiteral("=<>(),.*;-+").contains(c)) {
            tokens.append({Token::Symbol, QString(c)});
            ++i;
        } else {
            return fail(QStringLiteral("A filter statement cannot hold the character \"") + c +
                        QStringLiteral("\" outside quotes."));
        }
    }
    tokens.append(Token{Token::End, QString()});
    return tokens;
}

// Brackets name a field or table in SQLite as in the classic dialect, and,
// unlike double quotes, never turn into a text when no such name exists.
QString sqlName(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

} // namespace store::dialect
