#include "CentreSettings.h"

#include "Database.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

namespace store::settings {
namespace {

bool failed(Error* error, const Error& why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

QString createStatement()
{
    return QStringLiteral("CREATE TABLE \"Settings\" (\"Name\" TEXT(50) PRIMARY KEY, \"Value\" TEXT(255))");
}

bool present(Database& db, Error* error)
{
    if (error)
        *error = {};
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'Settings' "
                               "COLLATE NOCASE")))
        return failed(error, db.errorOf(q.lastError()));
    if (!q.next())
        return false;
    const QString stored = q.value(0).toString();
    q.finish();
    // A table of that name made by another program must have our two fields.
    if (!q.exec(QStringLiteral("PRAGMA table_info(") + Database::quoted(stored) + QLatin1Char(')')))
        return failed(error, db.errorOf(q.lastError()));
    QStringList fields;
    while (q.next())
        fields << q.value(1).toString().toLower();
    for (const QString& field : {QStringLiteral("Name"), QStringLiteral("Value")}) {
        if (!fields.contains(field.toLower()))
            return failed(error,
                          Error::make(Error::Kind::Foreign,
                                      QStringLiteral("The database file \"%1\" has no field %2 in its table Settings: "
                                                     "another program may have changed it. Restore a backup of the "
                                                     "database, or ask for help.")
                                          .arg(shownPath(db.path()), field)));
    }
    return true;
}

bool add(Database& db, Error* error)
{
    Transaction transaction(db);
    if (!transaction.begun())
        return failed(error, transaction.error());
    QSqlQuery q(db.sql());
    if (!q.exec(createStatement()))
        return failed(error, db.errorOf(q.lastError()));
    q.finish();
    if (!transaction.commit())
        return failed(error, transaction.error());
    return true;
}

std::optional<int> readNumber(Database& db, const QString& name, Error* error)
{
    if (error)
        *error = {};
    if (!present(db, error))
        return std::nullopt;
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("SELECT Value FROM Settings WHERE Name = ?"));
    q.addBindValue(name);
    if (!q.exec()) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    const QString stored = q.value(0).toString();
    bool ok = false;
    // Kept in digits alone, so no locale reads it another way.
    const int value = stored.trimmed().toInt(&ok);
    if (ok)
        return value;
    failed(error,
           Error::make(Error::Kind::Foreign, QStringLiteral("The setting %1 kept in the database reads \"%2\", which "
                                                            "is not a whole number.")
                                                 .arg(name, stored)));
    return std::nullopt;
}

std::optional<int> readNumberWithin(Database& db, const QString& name, int lowest, int highest, const QString& what,
                                    Error* error)
{
    const std::optional<int> kept = readNumber(db, name, error);
    if (!kept || (*kept >= lowest && *kept <= highest))
        return kept;
    failed(error, Error::make(
                      Error::Kind::Foreign,
                      QStringLiteral("The %1 kept in the database, %2, is not one from %3 to %4.")
                          .arg(what, QString::number(*kept), QLocale().toString(lowest), QLocale().toString(highest))));
    return std::nullopt;
}

bool writeNumber(Database& db, const QString& name, int value, Error* error)
{
    Transaction transaction(db);
    if (!transaction.begun())
        return failed(error, transaction.error());
    const QString text = QString::number(value);
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("UPDATE Settings SET Value = ? WHERE Name = ?"));
    q.addBindValue(text);
    q.addBindValue(name);
    if (!q.exec())
        return failed(error, db.errorOf(q.lastError()));
    if (q.numRowsAffected() == 0) {
        q.finish();
        q.prepare(QStringLiteral("INSERT INTO Settings (Name, Value) VALUES (?, ?)"));
        q.addBindValue(name);
        q.addBindValue(text);
        if (!q.exec())
            return failed(error, db.errorOf(q.lastError()));
    }
    q.finish();
    if (!transaction.commit())
        return failed(error, transaction.error());
    return true;
}

} // namespace store::settings
