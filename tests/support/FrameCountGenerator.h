#pragma once

#include <QDate>
#include <QString>

namespace testing {

/// Test and benchmark data: a frame count for each day from `first` to `last`,
/// reproducible from a seed, with a few days left without one as a busy
/// centre forgets them: `lanes` lanes bowling a few hundred frames each on a
/// weekday, more at the weekend.
struct FrameCountGenerator {
    quint32 seed = 1;
    int lanes = 32;
    /// About one day in this many has no frame count; 0 leaves none out.
    int missingOneIn = 40;

    /// Appends one row of Frames per day, in one transaction. False with `error` set on failure.
    bool fill(const QString& path, QDate first, QDate last, QString* error) const;
};

} // namespace testing
