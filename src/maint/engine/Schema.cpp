#include "Schema.h"

#include "store/CentreSettings.h"
#include "store/Database.h"

#include <QSqlError>
#include <QSqlQuery>

namespace maint::schema {
namespace {

struct TableDef {
    QString name;
    QStringList fields;
    QStringList statements; // the table first, then its indexes
};

QList<TableDef> definitions()
{
    return {
        {QStringLiteral("MaintTasks"),
         {QStringLiteral("TaskId"), QStringLiteral("Task"), QStringLiteral("Frames"), QStringLiteral("Days"),
          QStringLiteral("PerLane"), QStringLiteral("Added"), QStringLiteral("Removed")},
         {QStringLiteral("CREATE TABLE \"MaintTasks\" (\"TaskId\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Task\" "
                         "TEXT(40) NOT NULL, \"Frames\" LONG, \"Days\" LONG, \"PerLane\" YESNO NOT NULL DEFAULT 0, "
                         "\"Added\" DATETIME NOT NULL, \"Removed\" DATETIME)")}},
        {QStringLiteral("MaintDone"),
         {QStringLiteral("DoneId"), QStringLiteral("TaskId"), QStringLiteral("Lane"), QStringLiteral("DateDone"),
          QStringLiteral("Mechanic"), QStringLiteral("FramesPerMachine"), QStringLiteral("SheetId")},
         {QStringLiteral("CREATE TABLE \"MaintDone\" (\"DoneId\" INTEGER PRIMARY KEY AUTOINCREMENT, \"TaskId\" LONG "
                         "NOT NULL, \"Lane\" LONG NOT NULL, \"DateDone\" DATETIME NOT NULL, \"Mechanic\" TEXT(10), "
                         "\"FramesPerMachine\" LONG, \"SheetId\" LONG)"),
          QStringLiteral("CREATE INDEX \"MaintDone_TaskLane\" ON \"MaintDone\" (\"TaskId\", \"Lane\", \"DateDone\")")}},
        {QStringLiteral("MaintSheet"),
         {QStringLiteral("SheetId"), QStringLiteral("DateNow"), QStringLiteral("JobRow"), QStringLiteral("TaskId"),
          QStringLiteral("Lanes"), QStringLiteral("Job")},
         {QStringLiteral("CREATE TABLE \"MaintSheet\" (\"SheetId\" INTEGER PRIMARY KEY AUTOINCREMENT, \"DateNow\" "
                         "DATETIME NOT NULL, \"JobRow\" LONG NOT NULL, \"TaskId\" LONG NOT NULL, \"Lanes\" MEMO, "
                         "\"Job\" TEXT(40))"),
          QStringLiteral("CREATE INDEX \"MaintSheet_DateNow\" ON \"MaintSheet\" (\"DateNow\")")}},
    };
}

bool failed(store::Error* error, const store::Error& why)
{
    if (error)
        *error = why;
    return false;
}

/// The fields of a table as stored, in lower case; empty when there is no such table.
std::optional<QStringList> storedFields(store::Database& db, const QString& table, store::Error* error)
{
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("PRAGMA table_info(") + store::Database::quoted(table) + QLatin1Char(')'))) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    QStringList fields;
    while (q.next())
        fields << q.value(1).toString().toLower();
    return fields;
}

} // namespace

QStringList tables()
{
    QStringList names;
    for (const TableDef& def : definitions())
        names << def.name;
    return names;
}

QStringList createStatements()
{
    QStringList statements;
    for (const TableDef& def : definitions())
        statements << def.statements;
    return statements;
}

bool present(store::Database& db, store::Error* error)
{
    if (error)
        *error = {};
    bool all = true;
    for (const TableDef& def : definitions()) {
        const std::optional<QStringList> fields = storedFields(db, def.name, error);
        if (!fields)
            return false;
        if (fields->isEmpty()) {
            all = false;
            continue;
        }
        for (const QString& field : def.fields) {
            if (!fields->contains(field.toLower()))
                return failed(error, store::Error::make(
                                         store::Error::Kind::Foreign,
                                         QStringLiteral("The database file \"%1\" has no field %2 in its table %3: "
                                                        "another program may have changed it. Restore a backup of the "
                                                        "database, or ask for help.")
                                             .arg(store::shownPath(db.path()), field, def.name)));
        }
    }
    return all;
}

QStringList missing(store::Database& db, store::Error* error)
{
    // A table of ours that another program changed is an error, not a table to add.
    store::Error why;
    present(db, &why);
    if (!why.isError())
        store::settings::present(db, &why);
    if (why.isError()) {
        failed(error, why);
        return {};
    }
    if (error)
        *error = {};
    QStringList names;
    if (!store::settings::present(db, &why))
        names << QStringLiteral("Settings");
    for (const TableDef& def : definitions()) {
        const std::optional<QStringList> fields = storedFields(db, def.name, error);
        if (!fields)
            return {};
        if (fields->isEmpty())
            names << def.name;
    }
    return names;
}

bool add(store::Database& db, store::Error* error)
{
    store::Transaction transaction(db);
    if (!transaction.begun())
        return failed(error, transaction.error());
    store::Error why;
    if (!store::settings::present(db, &why)) {
        if (why.isError())
            return failed(error, why);
        QSqlQuery q(db.sql());
        if (!q.exec(store::settings::createStatement()))
            return failed(error, db.errorOf(q.lastError()));
    }
    for (const TableDef& def : definitions()) {
        const std::optional<QStringList> fields = storedFields(db, def.name, error);
        if (!fields)
            return false;
        if (!fields->isEmpty())
            continue;
        for (const QString& statement : def.statements) {
            QSqlQuery q(db.sql());
            if (!q.exec(statement))
                return failed(error, db.errorOf(q.lastError()));
        }
    }
    if (!transaction.commit())
        return failed(error, transaction.error());
    return true;
}

} // namespace maint::schema
