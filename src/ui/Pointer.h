#pragma once

namespace ui::pointer {

/// The application-wide busy pointer: a counted override, so nested
/// hourglass / restore pairs balance.
void hourglass();
/// Undoes one hourglass(); does nothing when none is pending.
void restore();
/// Shows the arrow while any hourglass is pending (a modal screen waiting for input).
void arrow();
/// Pending hourglass() calls.
int depth();

/// Hourglass for the lifetime of the guard.
class BusyGuard {
public:
    BusyGuard() { hourglass(); }
    ~BusyGuard() { restore(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
};

} // namespace ui::pointer
