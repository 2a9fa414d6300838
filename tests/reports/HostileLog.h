#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace testing {

/// The day the hostile log is read on: Tuesday 12/08/2026.
QDate hostileToday();
/// The moment its reports run: Tuesday 12/08/2026 4:05 PM.
QDateTime hostileNow();

/// Fills a fresh database with what tests every limit of a printed page:
/// calls at times from 10:00:00 to 12:59:59 AM and PM (each time once),
/// weekdays as long as "Wednesday", calls and names of 30 characters, notes
/// of several sentences and several lines, a day of 75 calls that runs over a
/// page, calls of every range a report asks for (today, yesterday, this week,
/// month and year, last year), notes and work sheets as long as their fields
/// allow, and preset calls of 30 characters. `exec` runs one statement.
void fillHostileLog(const std::function<bool(const QString&)>& exec);

/// A word too long for any column: it has to be cut where the column ends.
QString unbreakableWord();

} // namespace testing
