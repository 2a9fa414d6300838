#include "JetSql.h"

#include <QList>

#include <cstring>

namespace store::jet {
namespace {

QChar asciiUpper(QChar c)
{
    return c >= QLatin1Char('a') && c <= QLatin1Char('z') ? QChar(c.unicode() - 32) : c;
}

QString asciiUpper(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        c = asciiUpper(c);
    return result;
}

// One element of a pattern: a literal character, any character, any run, or
// a class of characters (a digit is the class 0-9).
struct Piece {
    enum Kind { Literal, One, Run, Class } kind = Literal;
    QChar c;
    bool negated = false;
    QList<QPair<QChar, QChar>> ranges; // inclusive, upper-cased
};

std::optional<QList<Piece>> parse(const QString& pattern, QString* error)
{
    QList<Piece> pieces;
    const QString p = asciiUpper(pattern);
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p.at(i);
        Piece piece;
        if (c == QLatin1Char('*')) {
            if (!pieces.isEmpty() && pieces.constLast().kind == Piece::Run)
                continue;
            piece.kind = Piece::Run;
        } else if (c == QLatin1Char('?')) {
            piece.kind = Piece::One;
        } else if (c == QLatin1Char('#')) {
            piece.kind = Piece::Class;
            piece.ranges.append({QLatin1Char('0'), QLatin1Char('9')});
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = p.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0) {
                if (error)
                    *error = QStringLiteral("The pattern \"%1\" has a \"[\" that is not closed.").arg(pattern);
                return std::nullopt;
            }
            QString body = p.mid(i + 1, close - i - 1);
            i = close;
            if (body.isEmpty())
                continue; // "[]" stands for nothing
            piece.kind = Piece::Class;
            if (body.startsWith(QLatin1Char('!')) && body.size() > 1) {
                piece.negated = true;
                body.remove(0, 1);
            }
            for (qsizetype k = 0; k < body.size(); ++k) {
                if (k + 2 < body.size() && body.at(k + 1) == QLatin1Char('-')) {
                    QChar from = body.at(k);
                    QChar to = body.at(k + 2);
                    if (to < from)
                        std::swap(from, to);
                    piece.ranges.append({from, to});
                    k += 2;
                } else {
                    piece.ranges.append({body.at(k), body.at(k)});
                }
            }
        } else {
            piece.c = c;
        }
        pieces.append(piece);
    }
    return pieces;
}

bool matchesOne(const Piece& piece, QChar c)
{
    switch (piece.kind) {
    case Piece::Literal:
        return piece.c == c;
    case Piece::One:
        return true;
    case Piece::Class: {
        bool in = false;
        for (const auto& range : piece.ranges)
            in = in || (c >= range.first && c <= range.second);
        return in != piece.negated;
    }
    case Piece::Run:
        break;
    }
    return false;
}

// A character as a GLOB pattern matches it literally.
QString globLiteral(QChar c)
{
    if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('['))
        return QLatin1Char('[') + c + QLatin1Char(']');
    return QString(c);
}

QString globClassMember(QChar c)
{
    return QString(c);
}

QString sqlString(const QString& text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

} // namespace

int compareText(const QString& a, const QString& b)
{
    // NOCASE folds to lower case, which orders "_" after the letters' capitals.
    auto folded = [](const QString& text) {
        QByteArray bytes = text.toUtf8();
        for (char& c : bytes) {
            if (c >= 'A' && c <= 'Z')
                c = char(c + 32);
        }
        return bytes;
    };
    const QByteArray x = folded(a);
    const QByteArray y = folded(b);
    const int common = std::memcmp(x.constData(), y.constData(), size_t(std::min(x.size(), y.size())));
    if (common != 0)
        return common < 0 ? -1 : 1;
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

bool like(const QString& value, const QString& pattern)
{
    const auto pieces = parse(pattern, nullptr);
    if (!pieces)
        return false;
    const QString v = asciiUpper(value);
    // Matching over positions of the value, one piece at a time: no backtracking blow-up.
    QList<bool> reach(v.size() + 1, false);
    reach[0] = true;
    for (const Piece& piece : *pieces) {
        QList<bool> next(v.size() + 1, false);
        if (piece.kind == Piece::Run) {
            bool any = false;
            for (qsizetype i = 0; i <= v.size(); ++i) {
                any = any || reach.at(i);
                next[i] = any;
            }
        } else {
            for (qsizetype i = 0; i < v.size(); ++i)
                next[i + 1] = reach.at(i) && matchesOne(piece, v.at(i));
        }
        reach = next;
    }
    return reach.at(v.size());
}

std::optional<QString> likeSql(const QString& sql, const QString& pattern, QString* error)
{
    const auto pieces = parse(pattern, error);
    if (!pieces)
        return std::nullopt;
    QString glob;
    for (const Piece& piece : *pieces) {
        switch (piece.kind) {
        case Piece::Literal:
            glob += globLiteral(piece.c);
            break;
        case Piece::One:
            glob += QLatin1Char('?');
            break;
        case Piece::Run:
            glob += QLatin1Char('*');
            break;
        case Piece::Class: {
            // In a GLOB class "]" must come first and "^" must not; "-" goes last.
            QString members;
            bool close = false;
            bool caret = false;
            bool dash = false;
            for (const auto& range : piece.ranges) {
                if (range.first == range.second) {
                    const QChar c = range.first;
                    if (c == QLatin1Char(']'))
                        close = true;
                    else if (c == QLatin1Char('^'))
                        caret = true;
                    else if (c == QLatin1Char('-'))
                        dash = true;
                    else
                        members += globClassMember(c);
                } else {
                    members += range.first + QStringLiteral("-") + range.second;
                }
            }
            if (caret)
                members += QLatin1Char('^');
            if (dash)
                members += QLatin1Char('-');
            if (close)
                members.prepend(QLatin1Char(']'));
            if (members.isEmpty() || members == QLatin1String("^")) {
                // A class of "^" alone is the literal character.
                glob += piece.negated ? QStringLiteral("[^^]") : QStringLiteral("^");
                break;
            }
            glob += QLatin1Char('[') + (piece.negated ? QStringLiteral("^") : QString()) + members + QLatin1Char(']');
            break;
        }
        }
    }
    return QStringLiteral("upper(") + sql + QStringLiteral(") GLOB ") + sqlString(glob);
}

std::optional<int> datePart(const QString& unit, const QDate& date)
{
    if (!date.isValid())
        return std::nullopt;
    const QString u = unit.toLower();
    if (u == QLatin1String("yyyy"))
        return date.year();
    if (u == QLatin1String("q"))
        return (date.month() + 2) / 3;
    if (u == QLatin1String("m"))
        return date.month();
    if (u == QLatin1String("y"))
        return date.dayOfYear();
    if (u == QLatin1String("d"))
        return date.day();
    if (u == QLatin1String("w"))
        return date.dayOfWeek() % 7 + 1;
    if (u == QLatin1String("ww")) {
        const int offset = QDate(date.year(), 1, 1).dayOfWeek() % 7; // Sunday 0
        return (date.dayOfYear() - 1 + offset) / 7 + 1;
    }
    return std::nullopt;
}

std::optional<QString> datePartSql(const QString& unit, const QString& sql)
{
    auto part = [&](const char* format) -> QString {
        return QStringLiteral("CAST(strftime('") + QLatin1String(format) + QStringLiteral("', ") + sql +
               QStringLiteral(") AS INTEGER)");
    };
    const QString u = unit.toLower();
    if (u == QLatin1String("yyyy"))
        return part("%Y");
    if (u == QLatin1String("q"))
        return QStringLiteral("((") + part("%m") + QStringLiteral(" + 2) / 3)");
    if (u == QLatin1String("m"))
        return part("%m");
    if (u == QLatin1String("y"))
        return part("%j");
    if (u == QLatin1String("d"))
        return part("%d");
    if (u == QLatin1String("w"))
        return QStringLiteral("(") + part("%w") + QStringLiteral(" + 1)");
    if (u == QLatin1String("ww"))
        return QStringLiteral("((") + part("%j") + QStringLiteral(" - 1 + CAST(strftime('%w', ") + sql +
               QStringLiteral(", 'start of year') AS INTEGER)) / 7 + 1)");
    return std::nullopt;
}

} // namespace store::jet
