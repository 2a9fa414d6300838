// Developer tool: shows screens on a copy of the delivered database and saves
// a picture of each window, to look at layouts without clicking through.
// usage: stopwell-shot [--log | --maint | --calls <n>] <out-folder> <Screen>[,<Screen>|click:<Control>|tab:<n>...] ...
// Each argument after the folder is one picture: the screens named are shown
// in order and the last one is pictured, or the report preview a click
// opened. The shift is filled in first.
// --log first fills the copy with a realistic year of calls and frame counts
// for a centre of 32 lanes, the clock standing on the day after it ends;
// --maint does the same and adds the usual maintenance tasks with their history.
// --calls <n> fills it with n calls, about eleven a day on 24 lanes ending on
// the clock's day (its last day, 4:05 PM), with notes now and then.
// tab:<n> shows the n-th tab (from 0) of the last screen's tab control;
// combo:<Control>=<n> picks the n-th entry of a drop-down list as a user would.
// save:<Control>[#<n>]=<file> presses a button that asks for a file name (its
// n-th menu entry, when it has a menu) and answers with <file>: a PDF or CSV
// written as a user would save it.
#include "AllScreens.h"
#include "support/CallLogGenerator.h"
#include "support/FrameCountGenerator.h"
#include "support/MaintLogGenerator.h"
#include "ui/Platform.h"
#include "ui/ScreenRegistry.h"
#include "ui/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

// A year of a 32-lane centre: about ten calls a day, around 1,500 frames per stop.
bool fillRealisticLog(const QString& database)
{
    const QDate first(2004, 1, 4);
    testing::CallLogGenerator calls;
    calls.seed = 7;
    calls.callsPerDay = 10;
    calls.firstDay = first.toString(Qt::ISODate);
    QString error;
    if (!calls.fill(database, 3600, &error))
        return false;
    QDate last;
    // The log ends on a Saturday, the clock on the Sunday after: the weeks shown are whole.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("shot"));
        db.setDatabaseName(database);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("INSERT INTO Settings (Name, Value) VALUES ('Lanes', '32')"));
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT max(DateNow) FROM DData")) && q.next())
            last = QDate::fromString(q.value(0).toString(), Qt::ISODate);
        last = last.addDays(-((last.dayOfWeek() + 1) % 7));
        q.prepare(QStringLiteral("DELETE FROM DData WHERE DateNow > ?"));
        q.addBindValue(last.toString(Qt::ISODate));
        q.exec();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("shot"));
    testing::FrameCountGenerator frames;
    frames.seed = 7;
    if (!last.isValid() || !frames.fill(database, first, last, &error))
        return false;
    ui::Platform::instance().setClock(std::make_unique<ui::FixedClock>(QDateTime(last.addDays(1), QTime(10, 0))));
    return true;
}

// The usual maintenance tasks of the same centre, each last done around its interval before today.
bool fillMaintenance(const QString& database)
{
    testing::MaintLogGenerator tasks;
    tasks.seed = 7;
    tasks.firstDay = QDate(2004, 1, 4);
    QString error;
    if (tasks.fill(database, ui::today(), &error))
        return true;
    QTextStream(stderr) << "cannot fill the maintenance schedule: " << error << '\n';
    return false;
}

// A call log as a centre keeps one: the days up to today, a mechanic's note now and then.
bool fillLog(const QString& database, int calls)
{
    testing::CallLogGenerator generator;
    generator.callsPerDay = 11;
    generator.lanes = 24;
    generator.firstDay = QDate::currentDate().addDays(-calls / 11).toString(Qt::ISODate);
    QString error;
    if (!generator.fill(database, calls, &error)) {
        QTextStream(stderr) << error << '\n';
        return false;
    }
    const QStringList notes = {
        QStringLiteral("Replaced the respot cell and adjusted the table clutch; ran twenty frames to check it."),
        QStringLiteral("Chain came off the sprocket. Put it back and checked the tension."),
        QStringLiteral("Customer's child in the pit: stopped the machine, reset it, told the desk."),
        QStringLiteral("Ball lift belt slipping, tightened. Order a new belt before the weekend leagues."),
    };
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("shot"));
    db.setDatabaseName(database);
    if (!db.open())
        return false;
    QSqlQuery q(db);
    for (int i = 0; i < notes.size(); ++i) {
        q.prepare(QStringLiteral("UPDATE DData SET Notes = ? WHERE rowid % 53 = ?"));
        q.addBindValue(notes.at(i));
        q.addBindValue(i * 13);
        q.exec();
    }
    q.exec(QStringLiteral("SELECT max(DateNow) FROM DData"));
    const QDate last = q.next() ? QDate::fromString(q.value(0).toString(), Qt::ISODate) : QDate::currentDate();
    ui::Platform::instance().setClock(std::make_unique<ui::FixedClock>(QDateTime(last, QTime(16, 5))));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStringList args = QCoreApplication::arguments();
    const bool maint = args.size() > 1 && args.at(1) == QLatin1String("--maint");
    const bool log = maint || (args.size() > 1 && args.at(1) == QLatin1String("--log"));
    if (log)
        args.removeAt(1);
    int calls = 0;
    if (args.size() > 2 && args.at(1) == QLatin1String("--calls")) {
        calls = args.at(2).toInt();
        args.remove(1, 2);
    }
    if (args.size() < 3) {
        QTextStream(stderr)
            << "usage: stopwell-shot [--log | --maint | --calls <n>] <out-folder> <Screen>[,<Screen>...] ...\n";
        return 2;
    }
    QTemporaryDir folder;
    // The delivered database and report definitions, so reports can be pictured too.
    const QDir app(QCoreApplication::applicationDirPath());
    for (const QString& name : app.entryList({QStringLiteral("Zuvevadu.mdb"), QStringLiteral("*.rpt")}, QDir::Files))
        QFile::copy(app.filePath(name), folder.filePath(name));
    ui::Platform::instance().setAppFolder(folder.path());
    ui::Platform::instance().setMessageBox(std::make_unique<ui::ScriptedMessageBox>());
    auto scriptedFiles = std::make_unique<ui::ScriptedFileDialog>();
    ui::ScriptedFileDialog* files = scriptedFiles.get();
    ui::Platform::instance().setFileDialog(std::move(scriptedFiles));
    if (log && !fillRealisticLog(QDir(folder.path()).filePath(QStringLiteral("Zuvevadu.mdb")))) {
        QTextStream(stderr) << "cannot fill the log\n";
        return 1;
    }
    if (maint && !fillMaintenance(QDir(folder.path()).filePath(QStringLiteral("Zuvevadu.mdb"))))
        return 1;
    if (calls > 0 && !fillLog(QDir(folder.path()).filePath(QStringLiteral("Zuvevadu.mdb")), calls))
        return 1;
    registerAllScreens();
    auto& screens = ui::ScreenRegistry::instance();
    if (auto* name = screens.control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text1")))
        name->setText(QStringLiteral("Dave"));
    if (auto* name = screens.control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text2")))
        name->setText(QStringLiteral("Marco"));
    QDir().mkpath(args.at(1));
    for (int i = 2; i < args.size(); ++i) {
        QWidget* last = nullptr;
        QString suffix;
        for (const QString& name : args.at(i).split(QLatin1Char(','))) {
            if (name.startsWith(QLatin1String("tab:"))) {
                if (auto* tabs = last ? last->findChild<QTabWidget*>(QStringLiteral("SSTab1")) : nullptr)
                    tabs->setCurrentIndex(name.mid(4).toInt());
                suffix = QStringLiteral("-tab") + name.mid(4);
            } else if (name.startsWith(QLatin1String("combo:"))) {
                const QString control = name.mid(6).section(QLatin1Char('='), 0, 0);
                const int index = name.section(QLatin1Char('='), 1).toInt();
                if (auto* combo = last ? last->findChild<QComboBox*>(control) : nullptr) {
                    combo->setCurrentIndex(index);
                    emit combo->activated(index);
                }
                suffix += QLatin1Char('-') + control + QString::number(index);
            } else if (name.startsWith(QLatin1String("save:"))) {
                const QString control = name.mid(5).section(QLatin1Char('='), 0, 0);
                files->names.enqueue(name.section(QLatin1Char('='), 1));
                auto* button = last ? last->findChild<QPushButton*>(control.section(QLatin1Char('#'), 0, 0)) : nullptr;
                const int entry = control.section(QLatin1Char('#'), 1).toInt();
                if (QAction* item = button && button->menu() ? button->menu()->actions().value(entry) : nullptr)
                    item->trigger();
                else if (button)
                    button->click();
            } else if (name.startsWith(QLatin1String("click:"))) {
                // "click:Label10" clicks a named control of the screen shown last.
                QWidget* target = last ? last->findChild<QWidget*>(name.mid(6)) : nullptr;
                if (target)
                    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, target->height() / 2));
                // The picture is of the window the click put the focus in (a report's preview).
                QTest::qWait(50);
                if (QWidget* active = QApplication::activeWindow())
                    last = active;
            } else {
                last = screens.show(name);
            }
            QTest::qWait(100);
        }
        if (!last)
            continue;
        QTest::qWait(300);
        // A window pictured again (a second report's preview) gets a number.
        const QString stem = last->objectName() + suffix;
        QString file = QDir(args.at(1)).filePath(stem + QStringLiteral(".png"));
        for (int n = 2; QFile::exists(file); ++n)
            file = QDir(args.at(1)).filePath(stem + QStringLiteral("-%1.png").arg(n));
        last->grab().save(file);
        QTextStream(stdout) << file << '\n';
    }
    return 0;
}
