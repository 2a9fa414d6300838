#pragma once

#include "Error.h"

#include <QList>
#include <QString>

#include <optional>

/// The words of the classic query dialect, apart from its grammar
/// (Dialect.cpp): names in brackets, quoted texts, #dates#, numbers, words
/// and symbols, and the SQLite spelling of a text and a name.
namespace store::dialect {

struct Token {
    enum Kind { Word, Number, Name, String, Date, Symbol, End } kind = End;
    QString text; // a word, number or symbol as written; a name or string's content; a date as ISO text
};

/// The tokens of a statement, ending in one End token; nullopt with `error`
/// set for a character that cannot stand outside quotes, a comment mark, an
/// unclosed text, name or date, or a date that is none.
std::optional<QList<Token>> tokenize(const QString& s, Error* error);

/// A field or table name as SQLite takes it, in brackets.
QString sqlName(const QString& name);

} // namespace store::dialect
