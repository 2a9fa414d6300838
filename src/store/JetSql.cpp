#include "JetSql.h"

#include "SqlText.h"

#include <QList>

#include <sqlite3.h>

namespace store::jet {
namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

// A character as text compares it: upper-cased, then case-folded, so that
// every pair of cases of a letter meets (dotless i and i, final sigma and
// sigma, the long s and s among them). ASCII becomes lower case, as in
// SQLite's own NOCASE.
char32_t keyOf(char32_t c)
{
    if (c < 0x80)
        return c >= U'A' && c <= U'Z' ? c + 32 : c;
    if (c > kLastCodePoint)
        return c;
    return QChar::toCaseFolded(QChar::toUpper(c));
}

// A character as a LIKE pattern and the upper() of the connection see it.
char32_t likeOf(char32_t c)
{
    if (c < 0x80)
        return c >= U'a' && c <= U'z' ? c - 32 : c;
    if (c > kLastCodePoint)
        return c;
    return QChar::toUpper(keyOf(c));
}

QString mapped(const QString& text, char32_t (*map)(char32_t))
{
    QList<uint> points = text.toUcs4();
    for (uint& c : points)
        c = map(c);
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), points.size());
}

QString likeForm(const QString& text)
{
    return mapped(text, &likeOf);
}

// The next character of UTF-8 text at `i`, moving past it. A byte that
// starts no valid sequence stands for itself, above every code point.
char32_t nextChar(const unsigned char* s, int n, int& i)
{
    const unsigned char lead = s[i];
    const int length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || i + length > n) {
        ++i;
        return kLastCodePoint + 1 + lead;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((s[i + k] & 0xC0) != 0x80) {
            ++i;
            return kLastCodePoint + 1 + lead;
        }
        c = (c << 6) | (s[i + k] & 0x3F);
    }
    i += length;
    return c;
}

// Writes c as UTF-8 at `out`; returns the bytes written.
int writeUtf8(unsigned char* out, char32_t c)
{
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return 4;
}

// The NOCASE collation: characters compared by keyOf(), ASCII byte by byte.
int compareUtf8(void*, int n1, const void* p1, int n2, const void* p2)
{
    const auto* a = static_cast<const unsigned char*>(p1);
    const auto* b = static_cast<const unsigned char*>(p2);
    int i = 0;
    int j = 0;
    while (i < n1 && j < n2) {
        char32_t x = 0;
        char32_t y = 0;
        if (a[i] < 0x80 && b[j] < 0x80) {
            x = keyOf(a[i++]);
            y = keyOf(b[j++]);
        } else {
            x = keyOf(nextChar(a, n1, i));
            y = keyOf(nextChar(b, n2, j));
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    return int(i < n1) - int(j < n2);
}

// upper(x): every letter as likeOf() has it; a byte of no character stays.
// One allocation per value, as SQLite's own upper(): a character grows by
// half its length at most (two bytes of UTF-8 become three).
void upperOf(sqlite3_context* context, int, sqlite3_value** argv)
{
    const unsigned char* s = sqlite3_value_text(argv[0]);
    if (!s) {
        sqlite3_result_null(context);
        return;
    }
    const int n = sqlite3_value_bytes(argv[0]);
    auto* out = static_cast<unsigned char*>(sqlite3_malloc64(sqlite3_uint64(n) + n / 2 + 4));
    if (!out) {
        sqlite3_result_error_nomem(context);
        return;
    }
    int length = 0;
    for (int i = 0; i < n;) {
        if (s[i] < 0x80) {
            out[length++] = static_cast<unsigned char>(likeOf(s[i++]));
            continue;
        }
        const int start = i;
        const char32_t c = nextChar(s, n, i);
        if (c > kLastCodePoint)
            out[length++] = s[start];
        else
            length += writeUtf8(out + length, likeOf(c));
    }
    sqlite3_result_text64(context, reinterpret_cast<const char*>(out), sqlite3_uint64(length), sqlite3_free,
                          SQLITE_UTF8);
}

// One element of a pattern: a literal character, any character, any run, or
// a class of characters (a digit is the class 0-9).
struct Piece {
    enum Kind { Literal, One, Run, Class } kind = Literal;
    QChar c;
    bool negated = false;
    QList<QPair<QChar, QChar>> ranges; // inclusive, upper-cased
};

std::optional<QList<Piece>> parse(const QString& pattern, Error* error)
{
    // SQLite refuses a GLOB pattern beyond 50,000 bytes; a character takes at most three.
    constexpr qsizetype kLongestPattern = 16000;
    if (pattern.size() > kLongestPattern) {
        if (error)
            *error = Error::make(Error::Kind::Refused,
                                 QStringLiteral("A LIKE pattern can hold at most %1 characters; this one has %2.")
                                     .arg(kLongestPattern)
                                     .arg(pattern.size()));
        return std::nullopt;
    }
    QList<Piece> pieces;
    const QString p = likeForm(pattern);
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
                    *error =
                        Error::make(Error::Kind::Refused,
                                    QStringLiteral("The pattern \"%1\" has a \"[\" that is not closed.").arg(pattern));
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

} // namespace

int compareText(const QString& a, const QString& b)
{
    const QList<uint> x = a.toUcs4();
    const QList<uint> y = b.toUcs4();
    const qsizetype common = std::min(x.size(), y.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char32_t p = keyOf(x.at(i));
        const char32_t q = keyOf(y.at(i));
        if (p != q)
            return p < q ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

QString caseKey(const QString& text)
{
    return mapped(text, &keyOf);
}

bool installTextRules(sqlite3* db)
{
    if (!db)
        return false;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    return sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, nullptr, &compareUtf8) == SQLITE_OK &&
           sqlite3_create_function(db, "upper", 1, flags, nullptr, &upperOf, nullptr, nullptr) == SQLITE_OK;
}

bool like(const QString& value, const QString& pattern)
{
    const auto pieces = parse(pattern, nullptr);
    if (!pieces)
        return false;
    const QString v = likeForm(value);
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

std::optional<QString> likeSql(const QString& sql, const QString& pattern, Error* error)
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
    return QStringLiteral("upper(") + sql + QStringLiteral(") GLOB ") + sqlLiteral(glob);
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
