#include "FoundRecords.h"

#include "store/Database.h"
#include "store/Dialect.h"

#include <QSqlError>
#include <QSqlQuery>

namespace filter::engine {

std::optional<qint64> countFoundRecords(const QString& databasePath, const QString& statement, QString* error)
{
    auto fail = [&](const QString& why) -> std::optional<qint64> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QString why;
    const auto sql = store::translateAccessCount(statement, &why);
    if (!sql)
        return fail(why);
    const auto db = store::Database::open(databasePath, &why);
    if (!db)
        return fail(why);
    QSqlQuery query(db->sql());
    query.setForwardOnly(true);
    if (!query.exec(*sql) || !query.next())
        return fail(query.lastError().text());
    return query.value(0).toLongLong();
}

} // namespace filter::engine
