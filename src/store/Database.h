#pragma once

#include "FieldValue.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <memory>

namespace store {

/// One field of a table or statement.
struct FieldInfo {
    QString name;
    FieldType type = FieldType::Text;
    bool isKey = false; // the store's record number, never written by a screen
};

/// One connection to a stop database file, shared by every record source on it.
class Database {
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    /// The connection to the file at `path`, opened if need be. Null with
    /// `error` naming the path when the file is missing, unreadable or not a
    /// stop database; nothing is ever created in its place.
    static std::shared_ptr<Database> open(const QString& path, QString* error);

    /// Record sources holding a file open; compacting and replacing it must wait for zero.
    static int openSources(const QString& path);
    static void sourceOpened(const QString& path);
    static void sourceClosed(const QString& path);

    QSqlDatabase& sql() { return m_db; }
    const QString& path() const { return m_path; }

    /// The fields of a table in their stored order; empty when there is no such table.
    QList<FieldInfo> tableFields(const QString& table);
    /// The table's name as stored (names match without regard to case).
    QString tableName(const QString& name);

    /// Runs a statement in the classic dialect in its own transaction.
    bool execute(const QString& statement, QString* error, int* rowsAffected = nullptr);

    /// Runs BEGIN IMMEDIATE, COMMIT or ROLLBACK through statements prepared once.
    bool runControl(const QString& statement, QString* error);

    /// Quoting of a name for SQL text.
    static QString quoted(const QString& name);

private:
    Database() = default;
    QSqlDatabase m_db;
    QString m_path;
    QString m_connection;
    QHash<QString, QList<FieldInfo>> m_fields;
    QHash<QString, QString> m_tables; // lower-case name -> stored name
    QHash<QString, std::shared_ptr<QSqlQuery>> m_control;
};

/// A write transaction: rolled back unless commit() succeeds.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool begun() const { return m_begun; }
    bool commit(QString* error);

private:
    Database& m_db;
    bool m_begun = false;
    bool m_done = false;
};

/// The tables every stop database has.
QStringList requiredTables();

/// Makes a stop database at `path` from the delivered script. Refuses when a
/// file is there already; the file appears only once it is complete.
bool createDatabase(const QString& path, QString* error);

} // namespace store
