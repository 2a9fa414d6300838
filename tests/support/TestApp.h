#pragma once

#include "ui/ScriptedPlatform.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

namespace testing {

/// A program under test: a temporary application folder with a fresh copy of
/// the delivered database, scripted seams (message boxes, clock, beep, help,
/// file dialogs, report output, removable drive) and every screen registered.
/// Build one per test function; the destructor discards every screen.
class TestApp {
public:
    /// Sets the clock to `now` (default Tuesday 12/07/2004 10:15:30).
    explicit TestApp(const QDateTime& now = QDateTime(QDate(2004, 12, 7), QTime(10, 15, 30)));
    ~TestApp();

    QString folder() const { return m_dir.path(); }
    QString databasePath() const;

    ui::ScriptedMessageBox& messages() { return *m_messages; }
    ui::FixedClock& clock() { return *m_clock; }
    ui::CountingBeep& beeps() { return *m_beep; }
    ui::RecordingHelp& help() { return *m_help; }
    bool quitRequested() const { return m_quit; }

    /// The first value of the first row of a query on the database file.
    QVariant scalar(const QString& sql);
    /// Runs a statement on the database file outside the program.
    bool exec(const QString& sql);
    /// Lets deferred deletions and queued events run.
    static void settle();

private:
    QTemporaryDir m_dir;
    ui::ScriptedMessageBox* m_messages;
    ui::FixedClock* m_clock;
    ui::CountingBeep* m_beep;
    ui::RecordingHelp* m_help;
    bool m_quit = false;
    QString m_connection;
};

} // namespace testing
