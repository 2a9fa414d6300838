#pragma once

#include <QDate>
#include <QString>

#include <functional>

namespace testing {

/// A small maintenance log whose figures are worked out by hand in the tests,
/// for a centre of 24 lanes (so 25,000 frames per machine are 600,000 frames):
///
///   frame counts   11/01 50,000 (the day task 1 was done: not counted)
///                  11/02 100,000   11/03 150,000 + 50,000 (two rows)
///                  11/04 0 (no count)   11/05 no row
///                  11/06 299,999   11/07 1   11/08 60,000   11/09 1
///   tasks (added 10/01/2004)
///     1 "Lube deck gearboxes"   every 25,000 frames, centre; done 11/01 by Dave
///     2 "Clean pit carpet"      every 7 days, each lane; done Sunday 11/07 on
///                               lanes 1-24 by Marco, lane 3 also on 11/01
///     3 "Check ball lift belts" every 25,000 frames or 30 days, centre; done 10/15
///     4 "Replace deck belts"    every 365 days, each lane; never done
///     5 "Old task"              every 10 days, centre; removed 10/20, done 10/10
struct MaintLog {
    static constexpr int kLanes = 24;
    /// Writes the log through `exec`, which runs one statement on the file.
    static bool write(const std::function<bool(const QString&)>& exec);
};

} // namespace testing
