#pragma once

#include <QString>

namespace testing {

/// Test and benchmark data: fills a stop database's call log with realistic calls: reproducible from a
/// seed, several calls a day over consecutive days, spread from 10:00 to midnight, two shifts of two
/// mechanics, lanes 1 to `lanes`, calls drawn from the preset board with a few
/// calls far more common than others.
struct CallLogGenerator {
    quint32 seed = 1;
    int lanes = 32;
    int callsPerDay = 40;
    QString firstDay = QStringLiteral("2004-01-05");

    /// Appends `rows` calls to DData of the database at `path`, in batches of
    /// one transaction each. False with `error` set on failure.
    bool fill(const QString& path, qint64 rows, QString* error) const;
};

} // namespace testing
