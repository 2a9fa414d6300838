#include "FoundRecords.h"

#include "store/Database.h"
#include "store/Dialect.h"

#include <QSqlError>
#include <QSqlQuery>

namespace filter::engine {

std::optional<qint64> countFoundRecords(const QString& databasePath, const QString& statement, store::Error* error)
{
    auto fail = [&](const store::Error& why) -> std::optional<qint64> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    store::Error refusal;
    const auto sql = store::translateAccessCount(statement, &refusal);
    if (!sql)
        return fail(refusal);
    store::Error why;
    const auto db = store::Database::open(databasePath, &why);
    if (!db)
        return fail(why);
    QSqlQuery query(db->sql());
    query.setForwardOnly(true);
    if (!query.exec(*sql) || !query.next())
        return fail(db->errorOf(query.lastError()));
    return query.value(0).toLongLong();
}

} // namespace filter::engine
