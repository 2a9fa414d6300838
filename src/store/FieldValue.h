#pragma once

#include "Error.h"
#include <QDate>

#include <QString>
#include <QVariant>

#include <optional>

namespace store {

/// Field type codes as the record source reports them.
enum class FieldType : int {
    YesNo = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    Currency = 5,
    Single = 6,
    Double = 7,
    Date = 8,
    Text = 10,
    Memo = 12,
};

/// The type code of a column from its declared type ("TEXT(30)", "LONG", "MEMO TEXT").
FieldType typeFromDeclared(const QString& declared);
bool isNumeric(FieldType type);

/// The classic numeric test: blanks around, an optional sign, digits with at
/// most one decimal point, and an optional exponent.
bool isNumericText(const QString& text);

/// A date as typed into a plain box: ISO "yyyy-mm-dd", or the user's short
/// or long date form. Invalid when it is none of these or impossible. Never
/// guesses the order of day and month: that is the user's convention.
QDate parseDate(const QString& text);
/// A date in the fixed month-first form of the masked entries and of the
/// query dialect's #m/d/yy# literals: "mm/dd/yyyy" or "m/d/yy", where a
/// two-digit year 00-29 is 2000-2029 and 30-99 is 1930-1999.
QDate parseMonthFirstDate(const QString& text);
/// The user's short date form with a four-digit year ("12/8/2026" in en_US).
QString shortDateFormat();
/// The user's long time form without the time zone ("1:05:09 PM" in en_US).
QString longTimeFormat();

/// How a stored value is shown in a control.
enum class Shown { Text, Masked };
QString toText(FieldType type, const QVariant& stored, Shown shown = Shown::Text);

/// The value to store for a control's text; nullopt with `error` set when the
/// text does not fit the field (a letter in a number field, an impossible date).
std::optional<QVariant> fromText(FieldType type, const QString& text, Error* error);

/// Values as the database returns them, with dates as QDate.
QVariant fromStored(FieldType type, const QVariant& raw);
/// Values as the database keeps them: dates as ISO text.
QVariant toStored(FieldType type, const QVariant& value);

/// True when two values stand for the same stored value (Null equals "").
bool sameValue(const QVariant& a, const QVariant& b);

} // namespace store
