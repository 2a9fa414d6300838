#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace stats {

/// The days the figures cover, both ends included.
struct DateRange {
    QDate from;
    QDate to;
    bool operator==(const DateRange&) const = default;
    /// Days in the range, both ends counted.
    qint64 days() const { return from.daysTo(to) + 1; }
};

/// How frames per stop are grouped. Weeks run Sunday to Saturday, as the
/// weekly reports count them, so a week across the new year stays one week.
enum class Grain { Day, Week, Month, Year };

/// The ready-made ranges of the window.
enum class QuickChoice { LastFourWeeks, ThisWeek, ThisMonth, ThisYear, Last12Months };

/// The Sunday on or before `day`.
QDate weekStart(QDate day);
/// The first day of the day's period.
QDate periodStart(QDate day, Grain grain);
/// The first day of the period after the one starting on `start`.
QDate nextPeriod(QDate start, Grain grain);
/// The first days of every period the range touches, in order.
QList<QDate> periodsOf(const DateRange& range, Grain grain);

/// The range a quick choice stands for on `today`: the four Sunday-to-Saturday
/// weeks before this one; this week, month or year up to today; the twelve
/// months up to today, from the first day of the month eleven months back.
DateRange quickRange(QuickChoice choice, QDate today);
/// The name the window lists a quick choice under.
QString quickChoiceName(QuickChoice choice);

/// The engine's expression for the period of the ISO date `column`, for a
/// grain bound as parameter `grainParameter` (0 day, 1 week, 2 month, 3 year).
/// It agrees with periodStart().
QString periodSql(const QString& column, const QString& grainParameter);

} // namespace stats
