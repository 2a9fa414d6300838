#pragma once

#include "store/Error.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace testing {

/// The record numbers (Recno, the rowid) of the rows of `table` in the
/// database file at `databasePath` that the report engine's selection of
/// `formula` gives, in the order of `sortFields` ("+{T.F}" / "-{T.F}", then
/// the record number): what a report run on that file would print. An empty
/// formula selects every row. Nullopt with `error` set when the file cannot
/// be read or the formula or a sort field is not valid. CurrentDate is
/// `today` (an invalid date: the system's date).
std::optional<QList<qint64>> selectRecordIds(const QString& databasePath, const QString& table, const QString& formula,
                                             const QStringList& sortFields, store::Error* error,
                                             const QDate& today = {});

} // namespace testing
