#include "RunProgress.h"

#include "ui/Pointer.h"

#include <QApplication>
#include <QCursor>
#include <QProgressDialog>

namespace stats {

RunProgress::RunProgress(QWidget* parent) : m_parent(parent) {}

RunProgress::~RunProgress()
{
    finish();
}

void RunProgress::start(const QString& what, int steps)
{
    finish();
    m_what = what;
    m_steps = std::max(1, steps);
    m_cancelled = false;
    m_sinceStart.start();
    m_sincePump.start();
    ui::pointer::hourglass();
}

bool RunProgress::keepGoing(int stepsDone)
{
    if (m_cancelled)
        return false;
    if (m_sincePump.elapsed() < pumpEveryMs)
        return true;
    m_sincePump.restart();
    if (!m_window && m_sinceStart.elapsed() >= showAfterMs) {
        m_window = new QProgressDialog(m_parent);
        m_window->setObjectName(QStringLiteral("Progress"));
        m_window->setWindowTitle(QStringLiteral("Working Out the Figures"));
        m_window->setLabelText(QStringLiteral("Working out %1...").arg(m_what));
        m_window->setCancelButtonText(QStringLiteral("&Cancel"));
        m_window->setRange(0, m_steps);
        m_window->setMinimumDuration(0);
        m_window->setAutoClose(false);
        m_window->setAutoReset(false);
        // Nothing else may reach the database until the run is over.
        m_window->setWindowModality(Qt::ApplicationModal);
        m_window->show();
        // The pointer the Cancel button is clicked with.
        if (ui::pointer::depth() > 0)
            QApplication::changeOverrideCursor(QCursor(Qt::BusyCursor));
    }
    if (m_window) {
        m_window->setValue(std::min(stepsDone, m_steps));
        // Once the progress window holds every other one off, clicks reach it alone.
        QCoreApplication::processEvents();
        m_cancelled = m_window && m_window->wasCanceled();
    } else {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return !m_cancelled;
}

void RunProgress::finish()
{
    if (!m_sinceStart.isValid())
        return;
    m_sinceStart.invalidate();
    if (m_window) {
        m_window->hide();
        m_window->deleteLater();
        m_window = nullptr;
    }
    ui::pointer::restore();
}

} // namespace stats
