#pragma once

// What the tests of the backup window share: its messages, the database
// read back, disks changed when the window asks, and dialogs that are
// closed when a check on them fails, so a test never waits for its timeout.
#include "ZipSupport.h"
#include "support/TestApp.h"

#include "ui/Screen.h"
#include "ui/ScreenRegistry.h"
#include "upkeep/frmZipCreate.h"

#include <QApplication>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUuid>

using upkeep::frmZipCreate;
using Texts = QStringList;

namespace testing::window {

inline ui::ScreenRegistry& screens()
{
    return ui::ScreenRegistry::instance();
}

inline frmZipCreate* openWindow()
{
    return qobject_cast<frmZipCreate*>(screens().show(QStringLiteral("frmZipCreate")));
}

const QString kBackupQuestion = QStringLiteral("Please insert a blank formatted floppy disk in drive A?\rIf you "
                                               "continue, all data on the floppy will be erased and a backup disk "
                                               "will be created!");
const QString kRestoreQuestion = QStringLiteral("Please insert your backup disk in drive A?");
const QString kCompleted = QStringLiteral("Compressed backup process completed!");
const QString kNoDisk = QStringLiteral("There is no disk in drive A, or it is not formatted!");
const QString kNotRestored = QStringLiteral("The database was not restored from drive A; it is as it was.");

inline QString replaceQuestion(const testing::TestApp& app)
{
    return QStringLiteral("The file '") + app.databasePath() +
           QStringLiteral("' already exists. Do you want to replace this file?");
}

/// The calls in the database file, read through a connection of its own
/// (the test's own connection still sees a file that was replaced).
inline int callsIn(const QString& path)
{
    const QString name = QUuid::createUuid().toString();
    int calls = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("SELECT count(*) FROM DData")) && q.next())
            calls = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(name);
    return calls;
}

/// Calls enough to fill `disks` floppies once compressed.
inline void growDatabase(testing::TestApp& app, int rows)
{
    QVERIFY(app.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                    "INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Name1, Notes) "
                                    "SELECT '2004-12-07', '10:15:30', 'Tuesday', i % 32 + 1, 'Pin elevator', "
                                    "'Dave', hex(randomblob(300)) FROM n")
                         .arg(rows)));
}

/// Changes the disk in drive A: whenever the window asks for one.
inline void answerDiskPrompts(testing::TestApp& app, int lastDisk)
{
    app.messages().onAsk = [&app, lastDisk](const ui::Message& message) {
        static const QRegularExpression numbered(QStringLiteral("^Please insert disk #(\\d+) of the set\\.$"));
        if (const auto match = numbered.match(message.text); match.hasMatch())
            app.drive().changeDisk(match.captured(1).toInt());
        else if (message.text == QLatin1String("Please insert the last disk of the set."))
            app.drive().changeDisk(lastDisk);
    };
}

inline QStringList rowTexts(QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList columns;
        for (int c = 0; c < 7; ++c)
            columns << list->topLevelItem(i)->text(c);
        rows << columns.join(QLatin1Char('|'));
    }
    return rows;
}

/// Runs `check` once the modal dialog or window the next call opens shows,
/// then closes whatever is still modal: a failed check (which returns early)
/// fails the test at once instead of leaving it waiting on the dialog.
inline void whenModal(std::function<void()> check)
{
    QTimer::singleShot(0, [check = std::move(check)] {
        check();
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* screen = qobject_cast<ui::Screen*>(modal))
            ui::ScreenRegistry::instance().unload(screen);
        else if (modal)
            modal->close();
    });
}

} // namespace testing::window
