#pragma once

#include <QString>

class QSqlError;

namespace store {

/// What went wrong in the store: a sentence a user can act on, and the
/// engine's own words as the detail. A default StoreError is "no error", so
/// every operation can tell "no row" (no error) from a failure.
struct StoreError {
    enum class Kind {
        None,
        Missing,  // the file is not there
        InUse,    // another program holds it locked: try again
        ReadOnly, // the file or its folder cannot be written
        Damaged,  // not a database file, or a damaged one
        Foreign,  // a database of another program, or one altered by one
        DiskFull, // no room left to store
        Io,       // the disk could not be read or written
        Refused,  // a statement or value the store will not run or keep
        Other,
    };
    Kind kind = Kind::None;
    QString message;
    QString detail;

    bool isError() const { return kind != Kind::None; }
    explicit operator bool() const { return isError(); }
    /// The message, with the engine's words after it when there are any.
    QString text() const;

    static StoreError make(Kind kind, const QString& message, const QString& detail = {});
    /// The sentence for a kind of failure of the database file at `path`.
    static StoreError about(Kind kind, const QString& path, const QString& detail = {});
    /// An engine error while working on the database file at `path`.
    static StoreError fromSql(const QSqlError& error, const QString& path);
    /// The same for an SQLite result code and message.
    static StoreError fromSqlite(int code, const QString& engineText, const QString& path);
};

/// The file name as the messages show it.
QString shownPath(const QString& path);

} // namespace store
