#include "TestApp.h"

#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QTest>

namespace testing {

std::function<void()>& TestApp::registerScreens()
{
    static std::function<void()> hook;
    return hook;
}

TestApp::TestApp(const QDateTime& now)
{
    static bool registered = false;
    if (!registered) {
        if (registerScreens())
            registerScreens()();
        registered = true;
    }
    auto& platform = ui::Platform::instance();
    platform.setAppFolder(folder());
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
    auto dialogs = std::make_unique<ui::ScriptedFileDialog>();
    m_fileDialog = dialogs.get();
    platform.setFileDialog(std::move(dialogs));
    auto output = std::make_unique<ui::RecordingReportOutput>();
    m_reportOutput = output.get();
    platform.setReportOutput(std::move(output));
    auto drive = std::make_unique<ui::FolderDrive>(QDir(folder()).filePath(QStringLiteral("drive-a")), 1457664);
    m_drive = drive.get();
    platform.setDrive(std::move(drive));
    auto volumes = std::make_unique<ui::ScriptedVolumes>();
    m_volumes = volumes.get();
    platform.setVolumes(std::move(volumes));
    ui::ScreenRegistry::instance().setQuitHandler([this] { m_quit = true; });
}

TestApp::~TestApp()
{
    ui::ScreenRegistry::instance().discardAll();
    settle();
    ui::Platform::instance().reset();
}

void TestApp::settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace testing
