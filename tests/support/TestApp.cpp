#include "TestApp.h"

#include "AllScreens.h"
#include "store/Database.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

namespace testing {

TestApp::TestApp(const QDateTime& now)
{
    static bool registered = false;
    if (!registered) {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        registerAllScreens();
        registered = true;
    }
    QString error;
    if (!store::createDatabase(databasePath(), &error))
        qFatal("cannot make the test database: %s", qPrintable(error));
    auto& platform = ui::Platform::instance();
    platform.setAppFolder(m_dir.path());
    auto messages = std::make_unique<ui::ScriptedMessageBox>();
    m_messages = messages.get();
    platform.setMessageBox(std::move(messages));
    auto clock = std::make_unique<ui::FixedClock>(now);
    m_clock = clock.get();
    platform.setClock(std::move(clock));
    auto beep = std::make_unique<ui::CountingBeep>();
    m_beep = beep.get();
    platform.setBeep(std::move(beep));
    auto help = std::make_unique<ui::RecordingHelp>();
    m_help = help.get();
    platform.setHelp(std::move(help));
    platform.setFileDialog(std::make_unique<ui::ScriptedFileDialog>());
    platform.setReportOutput(std::make_unique<ui::RecordingReportOutput>());
    platform.setDrive(std::make_unique<ui::FolderDrive>(m_dir.filePath(QStringLiteral("drive-a")), 1457664));
    ui::ScreenRegistry::instance().setQuitHandler([this] { m_quit = true; });

    m_connection = QStringLiteral("test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(databasePath());
    db.open();
}

TestApp::~TestApp()
{
    ui::ScreenRegistry::instance().discardAll();
    settle();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    ui::Platform::instance().reset();
}

QString TestApp::databasePath() const
{
    return m_dir.filePath(QStringLiteral("Zuvevadu.mdb"));
}

QVariant TestApp::scalar(const QString& sql)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(sql)) {
        qWarning("query failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return {};
    }
    return q.next() ? q.value(0) : QVariant();
}

bool TestApp::exec(const QString& sql)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    return q.exec(sql);
}

void TestApp::settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace testing
