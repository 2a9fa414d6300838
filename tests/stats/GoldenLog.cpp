#include "GoldenLog.h"

#include <QLocale>
#include <QStringList>

namespace testing {
namespace {

struct Call {
    const char* date;
    const char* time;
    const char* lane; // as SQL: 3, or 7.5
    const char* call;
    const char* section;
    const char* name1;
    const char* name2;
};

// Numbered as the tests work them out; call 0 lies before the range.
const Call kCalls[] = {
    {"2004-11-27", "10:00:00", "3", "Pins jammed in elevator", "1", "Dave", " "},     // 0
    {"2004-11-28", "10:05:00", "3", "Pins jammed in elevator", "1", "Dave", " "},     // 1
    {"2004-11-28", "7:30:00 PM", "3", "Ball stuck in pit", "2", " ", "Marco"},        // 2
    {"2004-11-29", "14:10:00", "5", "Pins jammed in elevator", "1", "Dave", "Marco"}, // 3
    {"2004-11-30", "10:15:00", "3", "Pins jammed in elevator", "1", "Dave", " "},     // 4
    {"2004-11-30", "11:00:00", "12", "Deck not lowering", "1", "Dave", " "},          // 5
    {"2004-11-30", "8:00:00 PM", "7", "Foul light on", "3", "Ray", " "},              // 6
    {"2004-12-02", "09:00:00", "3", "Pins jammed in elevator", "1", "Ray", " "},      // 7
    {"2004-12-02", "10:00:00", "5", "Ball stuck in pit", "2", " ", "Marco"},          // 8
    {"2004-12-02", "18:00:00", "5", "Pins jammed in elevator", "1", "Ray", "Tomasz"}, // 9
    {"2004-12-02", "21:00:00", "12", "Deck not lowering", "1", " ", "Tomasz"},        // 10
    {"2004-12-03", "10:00:00", "7", "Foul light on", "3", "Dave", " "},               // 11
    {"2004-12-03", "3:00:00 PM", "1", "Scoring monitor blank", "4", " ", "Marco"},    // 12
    {"2004-12-03", "22:00:00", "5", "Ball stuck in pit", "2", " ", " "},              // 13
    {"2004-12-04", "11:00:00 AM", "1", "Scoring monitor blank", "4", "Dave", " "},    // 14
    {"2004-12-04", "16:00:00", "3", "Ball stuck in pit", "2", "Dave", " "},           // 15
    {"2004-12-30", "13:00:00", "7", "Foul light on", "3", "Ray", " "},                // 16
    {"2004-12-31", "10:00:00 AM", "2", "Pin on deck", "1", "Dave", " "},              // 17
    {"2004-12-31", "20:00:00", "2", "Pin on deck", "1", " ", "Tomasz"},               // 18
    {"2005-01-01", "12:00:00", "9", "Ball return belt off", "2", " ", "Marco"},       // 19
    {"2005-01-01", "13:00:00", "2", "Sweep stuck", "5", "Dave", " "},                 // 20
    {"2005-01-02", "12:10:00 AM", "9", "Ball return belt off", "2", "Ray", " "},      // 21
    {"2005-01-05", "11:00:00", "2", "Sweep stuck", "5", "Dave", " "},                 // 22
    {"2005-01-03", "noon", "7.5", "Bumper stuck", "5", "Ray", " "},                   // 23
};

// Day and total; 2004-11-20 lies before the range, 2004-12-30 is a day of zeros.
const std::pair<const char*, int> kFrames[] = {
    {"2004-11-20", 9999}, {"2004-11-28", 3000}, {"2004-11-29", 1500}, {"2004-12-01", 2000},
    {"2004-12-02", 1200}, {"2004-12-03", 2400}, {"2004-12-04", 4100}, {"2004-12-30", 0},
    {"2004-12-31", 5000}, {"2005-01-01", 3000}, {"2005-01-02", 1000},
};

} // namespace

bool GoldenLog::write(const std::function<bool(const QString&)>& exec)
{
    // One transaction: the file is synced once, not once a row.
    if (!exec(QStringLiteral("BEGIN")))
        return false;
    if (!exec(QStringLiteral("UPDATE Calls SET S1 = 'Pin handling', S2 = 'Ball return', S3 = 'Detection', "
                             "S4 = 'Scoring', S5 = 'Lane and people'")))
        return false;
    for (const Call& c : kCalls) {
        const QDate day = QDate::fromString(QString::fromLatin1(c.date), Qt::ISODate);
        const QString sql =
            QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, Name2, Notes) "
                           "VALUES ('%1', '%2', '%3', %4, '%5', '%6', '%7', '%8', '')")
                .arg(QString::fromLatin1(c.date), QString::fromLatin1(c.time), QLocale::c().dayName(day.dayOfWeek()),
                     QString::fromLatin1(c.lane), QString::fromLatin1(c.call), QString::fromLatin1(c.section),
                     QString::fromLatin1(c.name1), QString::fromLatin1(c.name2));
        if (!exec(sql))
            return false;
    }
    for (const auto& [date, total] : kFrames) {
        // The four counts are those of a day whose total was added up by "+".
        const QString sql = QStringLiteral("INSERT INTO Frames (DateNow, Open, League, Rent, Misc, total) "
                                           "VALUES ('%1', %2, %3, 0, 0, %4)")
                                .arg(QString::fromLatin1(date))
                                .arg(total / 2)
                                .arg(total - total / 2)
                                .arg(total);
        if (!exec(sql))
            return false;
    }
    return exec(QStringLiteral("COMMIT"));
}

} // namespace testing
