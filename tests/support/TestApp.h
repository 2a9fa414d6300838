#pragma once

#include "TempDatabase.h"

#include "ui/ScriptedPlatform.h"

#include <functional>

namespace testing {

/// A program under test: a temporary application folder with a fresh copy of
/// the delivered database, scripted seams (message boxes, clock, beep, help,
/// file dialogs, report output, removable drive, the machine's volumes) and, for the tests of
/// screens, every screen registered. The locale is the one the test runs
/// under: what is stored must not depend on it. Build one per test function;
/// the destructor discards every screen.
class TestApp {
public:
    /// Sets the clock to `now` (default Tuesday 12/07/2004 10:15:30).
    explicit TestApp(const QDateTime& now = QDateTime(QDate(2004, 12, 7), QTime(10, 15, 30)));
    ~TestApp();

    QString folder() const { return m_db.folder(); }
    QString databasePath() const { return m_db.databasePath(); }

    ui::ScriptedMessageBox& messages() { return *m_messages; }
    ui::FixedClock& clock() { return *m_clock; }
    ui::CountingBeep& beeps() { return *m_beep; }
    ui::RecordingHelp& help() { return *m_help; }
    ui::ScriptedFileDialog& fileDialog() { return *m_fileDialog; }
    ui::RecordingReportOutput& reportOutput() { return *m_reportOutput; }
    ui::FolderDrive& drive() { return *m_drive; }
    ui::ScriptedVolumes& volumes() { return *m_volumes; }
    bool quitRequested() const { return m_quit; }

    QVariant scalar(const QString& sql) { return m_db.scalar(sql); }
    QStringList rows(const QString& sql) { return m_db.rows(sql); }
    bool exec(const QString& sql) { return m_db.exec(sql); }
    /// Lets deferred deletions and queued events run.
    static void settle();

    /// Registers the screens the test drives; set by the screen tests' support.
    static std::function<void()>& registerScreens();

private:
    TempDatabase m_db;
    ui::ScriptedMessageBox* m_messages;
    ui::FixedClock* m_clock;
    ui::CountingBeep* m_beep;
    ui::RecordingHelp* m_help;
    ui::ScriptedFileDialog* m_fileDialog;
    ui::RecordingReportOutput* m_reportOutput;
    ui::FolderDrive* m_drive;
    ui::ScriptedVolumes* m_volumes;
    bool m_quit = false;
};

} // namespace testing
