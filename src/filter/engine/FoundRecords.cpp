#include "FoundRecords.h"

#include "store/Database.h"
#include "store/Dialect.h"

#include <QSqlError>
#include <QSqlQuery>

namespace filter::engine {

std::optional<qint64> countFoundRecords(const QString& databasePath, const QString& statement, store::StoreError* error)
{
    auto fail = [&](const store::StoreError& why) -> std::optional<qint64> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QString refusal;
    const auto sql = store::translateAccessCount(statement, &refusal);
    if (!sql)
        return fail(store::StoreError::make(store::StoreError::Kind::Refused, refusal));
    store::StoreError why;
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
