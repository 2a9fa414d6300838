#include "Screen.h"

#include "ControlEvents.h"
#include "Controls.h"
#include "Platform.h"
#include "ReSize.h"
#include "ScreenRegistry.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

namespace ui {

Screen::Screen(const QString& name, const QString& title, QSize designSize)
    : QWidget(nullptr, Qt::Window), m_canvas(new QWidget(this))
{
    setObjectName(name);
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_canvas, 1);
    m_canvas->setObjectName(QStringLiteral("canvas"));
    m_canvas->setMinimumSize(designSize / 2);
    markPlaced(m_canvas);
    m_canvas->resize(designSize);
    resize(designSize);
    ReSize1 = new ReSize(m_canvas, designSize);

    // F1 opens the help file in every screen.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [] { Platform::instance().help().open({}); });
}

Screen::~Screen()
{
    // The screen's own part is gone: no control may call into it while Qt
    // tears the controls down.
    detachControlEvents(this);
}

QMenuBar* Screen::menuBar()
{
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(this);
        m_menuBar->setObjectName(QStringLiteral("menuBar"));
        static_cast<QVBoxLayout*>(layout())->insertWidget(0, m_menuBar);
        resize(width(), height() + m_menuBar->sizeHint().height());
    }
    return m_menuBar;
}

void Screen::setDefaultButton(QPushButton* button)
{
    if (m_default)
        m_default->setDefault(false);
    m_default = button;
    if (button)
        button->setDefault(true);
}

void Screen::setCancelButton(QPushButton* button)
{
    m_cancel = button;
}

QList<SourceHook*> Screen::sources() const
{
    QList<SourceHook*> result;
    const auto objects = findChildren<QObject*>();
    for (QObject* object : objects) {
        if (auto* hook = dynamic_cast<SourceHook*>(object))
            result.append(hook);
    }
    return result;
}

void Screen::runPaint()
{
    if (m_inPaint)
        return;
    m_inPaint = true;
    Form_Paint();
    m_inPaint = false;
}

bool Screen::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::WindowActivate:
        runPaint();
        break;
    case QEvent::Resize:
        if (isVisible())
            runPaint();
        break;
    default:
        break;
    }
    return handled;
}

void Screen::frameClose()
{
    ScreenRegistry::instance().unload(this);
}

void Screen::closeEvent(QCloseEvent* event)
{
    // The registry decides what becomes of the window; Qt must not hide it on its own.
    event->ignore();
    frameClose();
}

void Screen::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); focused && focused->isEnabled()) {
            focused->click();
            return;
        }
        if (m_default && m_default->isVisible() && m_default->isEnabled()) {
            m_default->click();
            return;
        }
    } else if (key == Qt::Key_Escape && m_cancel && m_cancel->isVisible() && m_cancel->isEnabled()) {
        m_cancel->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Screen::showEvent(QShowEvent* event)
{
    if (!m_fitted) {
        m_fitted = true;
        fitToScreen();
    }
    QWidget::showEvent(event);
}

void Screen::fitToScreen()
{
    const QScreen* display = screen();
    if (!display)
        return;
    const QRect free = display->availableGeometry();
    // The frame the window manager adds is not known before the first show.
    QSize frame = frameGeometry().size() - size();
    if (frame.width() <= 0 && frame.height() <= 0)
        frame = QSize(16, 40);
    const double fx = double(free.width() - frame.width()) / width();
    const double fy = double(free.height() - frame.height()) / height();
    const double factor = std::min(fx, fy);
    if (factor >= 1.0 || factor <= 0.0)
        return;
    resize(int(width() * factor), int(height() * factor));
    move(free.topLeft());
}

void Screen::setVisible(bool visible)
{
    const bool hadKeyboard = !visible && isVisible() && isActiveWindow();
    QWidget::setVisible(visible);
    if (hadKeyboard)
        ScreenRegistry::instance().returnKeyboard(this);
}

void Screen::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit closed();
}

} // namespace ui
