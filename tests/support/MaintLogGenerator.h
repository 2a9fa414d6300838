#pragma once

#include <QDate>
#include <QString>

namespace testing {

/// Test and benchmark data for the maintenance schedule: `tasks` tasks (the
/// trade's usual ones first, then numbered variants), about two in three on
/// every lane, and each task's last completions on each lane at a reproducible
/// distance before `today` around its interval, so that the due list holds a
/// mix of done, due soon, due and overdue (mostly done, as in a centre
/// that keeps up). Frames are reckoned at about
/// `framesPerMachineADay`, as FrameCountGenerator bowls them. Writes the
/// number of lanes into Settings too.
struct MaintLogGenerator {
    quint32 seed = 1;
    int lanes = 32;
    int tasks = 8;
    int framesPerMachineADay = 460;
    /// Completions kept per task and lane, the last one around the interval before today.
    int completionsEach = 2;
    /// No completion is dated before this day (the log begins there); invalid for no such day.
    QDate firstDay;

    /// In one transaction. False with `error` set on failure.
    bool fill(const QString& path, QDate today, QString* error) const;
};

} // namespace testing
