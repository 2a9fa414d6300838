#pragma once

#include <QString>

class QSqlError;

namespace store {

/// What went wrong in the store, the database file's upkeep or one of the
/// engines: a sentence a user can act on, and the engine's own words as the
/// detail. A default Error is "no error", so every operation can tell
/// "no row" (no error) from a failure.
struct Error {
    enum class Kind {
        None,
        Missing,  // the file is not there
        InUse,    // another program holds it locked: try again
        ReadOnly, // the file or its folder cannot be written
        Damaged,  // not a database file, or a damaged one
        Foreign,  // a database of another program, or one altered by one
        DiskFull, // no room left to store
        Io,       // the disk could not be read or written
        Refused,  // a statement, formula or value the program will not run or keep
        Leftover, // a file a run cut short left behind is in the way
        Other,
    };
    Kind kind = Kind::None;
    QString message;
    QString detail;
    /// Where in the text read the fault lies (from 0), for a statement or
    /// formula; -1 when the fault has no place.
    int position = -1;

    bool isError() const { return kind != Kind::None; }
    explicit operator bool() const { return isError(); }
    /// The message, with the engine's words after it when there are any.
    QString text() const;

    static Error make(Kind kind, const QString& message, const QString& detail = {});
    /// A statement or formula refused at `position` of its text.
    static Error at(int position, const QString& message);
    /// The sentence for a kind of failure of the database file at `path`.
    static Error about(Kind kind, const QString& path, const QString& detail = {});
    /// The same sentence with its own subject ("The compacted copy").
    static Error aboutSubject(Kind kind, const QString& subject, const QString& detail = {});
    /// An engine error while working on the database file at `path`.
    static Error fromSql(const QSqlError& error, const QString& path);
    /// The same for an SQLite result code and message: the one table that
    /// turns the engine's result codes into words.
    static Error fromSqlite(int code, const QString& engineText, const QString& path);
    /// The kind of failure an SQLite result code (and its text) stands for.
    static Kind kindOfSqlite(int code, const QString& engineText = {});
};

/// The file name as the messages show it.
QString shownPath(const QString& path);

} // namespace store
