#include "SelectedRecords.h"

#include "reports/engine/Selection.h"
#include "store/Database.h"

namespace testing {

std::optional<QList<qint64>> selectRecordIds(const QString& databasePath, const QString& table, const QString& formula,
                                             const QStringList& sortFields, store::Error* error, const QDate& today)
{
    auto db = store::Database::open(databasePath, error);
    if (!db)
        return std::nullopt;
    const auto selection = reports::Selection::prepare(*db, table, formula, sortFields,
                                                       today.isValid() ? today : QDate::currentDate(), error);
    if (!selection)
        return std::nullopt;
    QList<qint64> ids;
    if (!selection->forEach(
            *db, {}, [&](const reports::SqlRow& row) { ids.append(row.integer(0)); }, error))
        return std::nullopt;
    return ids;
}

} // namespace testing
