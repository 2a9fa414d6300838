#pragma once

#include "Error.h"
#include "FieldValue.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <memory>

struct sqlite3;

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
    /// `error` set when the file is missing, in use by another program (after
    /// waiting the busy timeout), unreadable, damaged, or not a stop database
    /// with every table and field the screens bind to; nothing is ever created
    /// in its place. A file that can only be read opens; isReadOnly() says so.
    static std::shared_ptr<Database> open(const QString& path, Error* error);

    /// How long a file locked by another program is waited for, in milliseconds.
    static void setBusyTimeout(int milliseconds);
    static int busyTimeout();

    /// Record sets holding a file open; compacting and replacing it must wait for zero.
    static int openSources(const QString& path);
    static void sourceOpened(const QString& path);
    static void sourceClosed(const QString& path);
    /// True while any connection to the file is open in this program.
    static bool isConnected(const QString& path);

    QSqlDatabase& sql() { return m_db; }
    /// The engine's own handle, for statements read without Qt's per-row overhead.
    sqlite3* handle() const;
    const QString& path() const { return m_path; }
    /// The file or its folder cannot be written: nothing can be stored.
    bool isReadOnly() const { return m_readOnly; }

    /// The fields of a table in their stored order; empty when there is no such table.
    QList<FieldInfo> tableFields(const QString& table);
    /// The table's name as stored (names match without regard to case).
    QString tableName(const QString& name);

    /// Runs a statement in the classic dialect in its own transaction.
    bool execute(const QString& statement, Error* error, int* rowsAffected = nullptr);

    /// Runs BEGIN IMMEDIATE, COMMIT or ROLLBACK through statements prepared once.
    bool runControl(const QString& statement, Error* error);

    /// An engine error of this file in words.
    Error errorOf(const QSqlError& error) const { return Error::fromSql(error, m_path); }

    /// Quoting of a name for SQL text.
    static QString quoted(const QString& name);

private:
    Database() = default;
    QSqlDatabase m_db;
    QString m_path;
    QString m_connection;
    bool m_readOnly = false;
    QHash<QString, QList<FieldInfo>> m_fields;
    QHash<QString, QString> m_tables; // lower-case name -> stored name
    QHash<QString, std::shared_ptr<QSqlQuery>> m_control;
};

/// A write transaction: rolled back unless commit() succeeds. Carries the
/// reason when it could not begin or commit.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool begun() const { return m_begun; }
    bool commit();
    const Error& error() const { return m_error; }

private:
    Database& m_db;
    Error m_error;
    bool m_begun = false;
    bool m_done = false;
};

/// How every connection that writes a stop database commits. The journal is
/// cut to nothing and synced when a transaction commits (TRUNCATE with FULL):
/// a saved row survives a power cut, the file alone always holds every saved
/// row, and a journal left beside it is empty unless a transaction was cut
/// short. Each connection sets it when it opens; the file keeps no mode.
inline constexpr const char* kJournalPragmas = "PRAGMA journal_mode=TRUNCATE; PRAGMA synchronous=FULL;";
/// Runs kJournalPragmas on a connection of the engine's own.
bool useDurableJournal(sqlite3* db);

/// The tables every stop database has.
QStringList requiredTables();
/// The fields the screens, reports and filter bind to, per table.
QStringList requiredFields(const QString& table);

/// Makes a stop database at `path` from the delivered script. Refuses when a
/// file is there already; the file appears only once it is complete.
bool createDatabase(const QString& path, Error* error);

} // namespace store
