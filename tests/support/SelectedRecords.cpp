#include "SelectedRecords.h"

#include "reports/engine/Selection.h"
#include "store/Database.h"

#include <sqlite3.h>

namespace testing {

std::optional<QList<qint64>> selectRecordIds(const QString& databasePath, const QString& table, const QString& formula,
                                             const QStringList& sortFields, QString* error, const QDate& today)
{
    store::Error why;
    auto db = store::Database::open(databasePath, &why);
    if (!db) {
        if (error)
            *error = why.text();
        return std::nullopt;
    }
    const auto selection = reports::Selection::prepare(*db, table, formula, sortFields,
                                                       today.isValid() ? today : QDate::currentDate(), error);
    if (!selection)
        return std::nullopt;
    QList<qint64> ids;
    if (!selection->forEach(
            *db, {}, [&](sqlite3_stmt* statement) { ids.append(sqlite3_column_int64(statement, 0)); }, error))
        return std::nullopt;
    return ids;
}

} // namespace testing
