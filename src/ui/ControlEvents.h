#pragma once

#include <QPointer>

#include <functional>

class QKeyEvent;
class QWidget;

namespace ui {

// Handlers of a control's focus and key events (GotFocus, LostFocus,
// KeyDown), so screens need no event filter of their own.
//
// Only a real change of focus between the controls of a window counts (Tab,
// a click, a shortcut, the program moving it): a message box taking the
// focus, or the user switching to another window and back, neither leaves
// nor enters a control. A control disabled or hidden is not left either.
// The handlers stop running once `owner` is gone.

void onGotFocus(QWidget* control, QObject* owner, std::function<void()> handler);
void onLostFocus(QWidget* control, QObject* owner, std::function<void()> handler);
/// Runs before the control takes the key; a true return swallows the key.
void onKeyDown(QWidget* control, QObject* owner, std::function<bool(QKeyEvent*)> handler);
/// Runs on a click of the left mouse button on the control.
void onClick(QWidget* control, QObject* owner, std::function<void()> handler);

/// Stops every handler on the controls of a window: a window being torn down
/// moves the focus between controls that must no longer answer.
void detachControlEvents(QWidget* window);

} // namespace ui
