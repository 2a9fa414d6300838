#include "ControlEvents.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace ui {
namespace {

bool realFocusChange(QEvent* event)
{
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

class Watcher final : public QObject {
public:
    Watcher(QWidget* control, QObject* owner, QEvent::Type type, std::function<bool(QEvent*)> handler)
        : QObject(control), m_owner(owner), m_type(type), m_handler(std::move(handler))
    {
        setObjectName(QStringLiteral("stopwell-control-events"));
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != m_type || !m_owner)
            return false;
        auto* control = static_cast<QWidget*>(watched);
        switch (m_type) {
        case QEvent::FocusIn:
            if (!realFocusChange(event))
                return false;
            break;
        case QEvent::FocusOut:
            if (!realFocusChange(event) || !control->isEnabled() || !control->isVisible())
                return false;
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton || !control->isEnabled())
                return false;
            break;
        default:
            break;
        }
        return m_handler(event);
    }

private:
    QPointer<QObject> m_owner;
    QEvent::Type m_type;
    std::function<bool(QEvent*)> m_handler;
};

} // namespace

void onGotFocus(QWidget* control, QObject* owner, std::function<void()> handler)
{
    new Watcher(control, owner, QEvent::FocusIn, [handler = std::move(handler)](QEvent*) {
        handler();
        return false;
    });
}

void onLostFocus(QWidget* control, QObject* owner, std::function<void()> handler)
{
    new Watcher(control, owner, QEvent::FocusOut, [handler = std::move(handler)](QEvent*) {
        handler();
        return false;
    });
}

void onKeyDown(QWidget* control, QObject* owner, std::function<bool(QKeyEvent*)> handler)
{
    new Watcher(control, owner, QEvent::KeyPress,
                [handler = std::move(handler)](QEvent* event) { return handler(static_cast<QKeyEvent*>(event)); });
}

void onClick(QWidget* control, QObject* owner, std::function<void()> handler)
{
    new Watcher(control, owner, QEvent::MouseButtonPress, [handler = std::move(handler)](QEvent*) {
        handler();
        return false;
    });
}

void detachControlEvents(QWidget* window)
{
    const auto watchers = window->findChildren<Watcher*>(QStringLiteral("stopwell-control-events"));
    qDeleteAll(watchers);
}

} // namespace ui
