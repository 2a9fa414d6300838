#pragma once

#include "reports/engine/Report.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace testing {

class TempDatabase;

/// The fixed clock the report tests run at: Tuesday 12/07/2004, 10:15:30.
QDate reportToday();

/// Fills a fresh test database with the fixed calls, notes and work sheets the
/// report tests read: calls today, yesterday, earlier this week, later this
/// week, last week, this month, last month, this year and last year, with
/// blank, empty and absent notes and names.
void fillReportData(TempDatabase& db);
/// The same through any way of running SQL on the test database.
void fillReportData(const std::function<bool(const QString&)>& exec);

/// Copies every delivered report definition into `folder`.
void copyDefinitions(const QString& folder);

/// The names of the 24 delivered report definitions.
QStringList definitionNames();

/// A run of the report file `file` on the test database, at `at` (by default
/// the report tests' clock, 10:15:30).
reports::ReportRequest requestFor(const TempDatabase& db, const QString& file, const QDateTime& at = {});

} // namespace testing
