#pragma once

#include <QDate>
#include <QString>

#include <functional>

namespace testing {

/// A small call log whose figures are worked out by hand in the tests: 23
/// calls from Sunday 11/28/2004 to Wednesday 01/05/2005 on lanes 1 to 12 and
/// one lane "7.5", frame counts on ten of those days (one of them all zero,
/// one with no call), a call and a count just outside, and the section names
/// "Pin handling", "Ball return", "Detection", "Scoring", "Lane and people".
/// Times are in both long forms a machine stores, "7:30:00 PM" and
/// "19:30:00", and one ("noon") in neither.
struct GoldenLog {
    /// The range the hand-worked figures are for: 11/28/2004 to 01/08/2005.
    static QDate from() { return QDate(2004, 11, 28); }
    static QDate to() { return QDate(2005, 1, 8); }

    /// Writes the log through `exec`, which runs one statement on the file.
    static bool write(const std::function<bool(const QString&)>& exec);
};

} // namespace testing
