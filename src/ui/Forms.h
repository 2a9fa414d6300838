#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;
class QLineEdit;

/// Where the screens meet: the form names the screen registry knows, and the
/// controls of one screen that others read, each through one typed accessor.
namespace ui::forms {

inline const QString MainMenu = QStringLiteral("MainMenu");
inline const QString TodaysInfo = QStringLiteral("TodaysInfo");
inline const QString About = QStringLiteral("About");
inline const QString Password1 = QStringLiteral("Password1");
inline const QString Password2 = QStringLiteral("Password2");
inline const QString Password4 = QStringLiteral("Password4");
inline const QString MakePasswords = QStringLiteral("MakePasswords");
inline const QString ListOfCalls = QStringLiteral("ListOfCalls");
inline const QString EnterLaneNo = QStringLiteral("EnterLaneNo");
inline const QString Allsect = QStringLiteral("Allsect");
inline const QString Notes = QStringLiteral("Notes");
inline const QString FrameCount = QStringLiteral("FrameCount");
inline const QString WorkAssign = QStringLiteral("WorkAssign");
inline const QString WorkDone = QStringLiteral("WorkDone");
inline const QString WorkList = QStringLiteral("WorkList");
inline const QString PrintMenu = QStringLiteral("PrintMenu");
inline const QString Date1 = QStringLiteral("Date1");
inline const QString Date2 = QStringLiteral("Date2");
inline const QString Date3 = QStringLiteral("Date3");
inline const QString AskLane = QStringLiteral("AskLane");
inline const QString MaintScreen = QStringLiteral("MaintScreen");
inline const QString FindWindow = QStringLiteral("FindWindow");
inline const QString frmZipCreate = QStringLiteral("frmZipCreate");
inline const QString ExtractDialog = QStringLiteral("ExtractDialog");
inline const QString Statistics = QStringLiteral("Statistics");
inline const QString MaintSchedule = QStringLiteral("MaintSchedule");

/// The shift information screen's values, read straight off its controls
/// (loading it hidden, with empty names, when it is not loaded yet).
namespace shift {
/// Mechanic #1's name box (`TodaysInfo.Text1`).
QLineEdit* mechanic1Box();
/// Mechanic #2's name box (`TodaysInfo.Text2`).
QLineEdit* mechanic2Box();
QString mechanic1();
QString mechanic2();
/// Today's weekday name as the screen last showed it (`TodaysInfo.Label1`).
QString weekday();
} // namespace shift

/// The names Work Completed stores beside a day's jobs, told to whoever keeps
/// track of the jobs it put on the sheet (the maintenance schedule).
namespace workDone {
/// A day of the sheet as it was stored: its date, its 20 jobs and the 20 names beside them.
struct StoredDay {
    QDate day;
    QStringList jobs;
    QStringList names;
};
using Listener = std::function<void(const StoredDay&)>;
/// Sets the one listener (none by default).
void setStoredListener(Listener listener);
/// Work Completed stored a day: the listener hears of it.
void namesStored(const StoredDay& day);
} // namespace workDone

} // namespace ui::forms
