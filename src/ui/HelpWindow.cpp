#include "HelpWindow.h"

#include "Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace ui {

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Tarrowby Stopwell Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenExternalLinks(false);
    resize(640, 520);
}

QString HelpWindow::helpFile()
{
    return QDir(appFolder()).filePath(QStringLiteral("Stopwell.html"));
}

void HelpWindow::showTopic(const QString& topic)
{
    const QString file = helpFile();
    if (!QFileInfo(file).isReadable()) {
        msgBox(QStringLiteral("The help file \"%1\" cannot be found.").arg(QDir::toNativeSeparators(file)), Buttons::Ok,
               Icon::Exclamation);
        return;
    }
    static QPointer<HelpWindow> window;
    if (!window)
        window = new HelpWindow;
    QUrl url = QUrl::fromLocalFile(file);
    url.setFragment(topic.isEmpty() ? QStringLiteral("contents") : topic);
    window->m_browser->setSource(url);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace ui
