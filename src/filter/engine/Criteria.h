#pragma once

#include "FilterRows.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace filter::engine {

/// How a message box of the filter looks.
enum class MessageIcon { None, Question, Exclamation };

/// The first row CheckCriteria refused, and the message box to show for it.
/// The screen beeps (when `beep`), shows the box, and puts the focus into the
/// row's criteria box.
struct CriteriaProblem {
    int row = 0;
    QString message;
    QString title;
    MessageIcon icon = MessageIcon::Exclamation;
    bool beep = true;
};

/// The digits of a text with at most one decimal point and a leading minus
/// sign, every other character dropped: "-12.5.3x" gives "-12.53", "$5" gives
/// "5", "abc" gives "".
QString NumericPart(const QString& text);

/// The number read from the start of a text, in plain decimal form: blanks are
/// skipped, then an optional sign, digits and at most one decimal point are
/// taken up to the first other character; nothing readable gives "0". So
/// "12abc" gives "12", "-3.50" gives "-3.5", "1,000" gives "1" and "$5" gives "0".
QString leadingNumber(const QString& text);
/// The value of leadingNumber().
double leadingValue(const QString& text);

/// A date criteria: month first whatever the user's conventions ("12/1/93",
/// "12/01/2026"); a two-digit year 00-29 is 2000-2029, 30-99 is 1930-1999,
/// as in the statements' #m/d/yy# dates. Invalid when it is no such date.
QDate criteriaDate(const QString& text);

/// Checks the find rows in order and normalises their criteria: numbers are
/// rewritten in plain decimal form, yes/no words in capitals, an empty text
/// criteria becomes "empty" (and is refused once), a date-part criteria
/// becomes its number (a two-digit year its four-digit year). Stops at the
/// first row without a chosen field. Returns the first row refused, with its
/// criteria changed as the message says; nullopt when every row is acceptable.
/// Criteria changed before the refusal stay changed.
std::optional<CriteriaProblem> CheckCriteria(QList<FindRow>& rows);

} // namespace filter::engine
