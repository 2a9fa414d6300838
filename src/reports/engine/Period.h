#pragma once

#include <QString>

#include <functional>

namespace reports {

class Formula;

/// A selection formula in the words a reader of the report understands,
/// dates written as the screens write them: "Tuesday 12/08/2026",
/// "12/01/2026 to 12/31/2026", "Lanes 7 to 8", "Lanes above 30 and Actual
/// Call like "*belt*"". Empty when the formula selects every record.
/// `caption` names a field as the report names it ("callmade": "Actual Call").
QString describeSelection(const Formula& formula, const std::function<QString(const QString&)>& caption);

} // namespace reports
