#pragma once

#include "store/Error.h"

#include <QString>

#include <functional>

struct sqlite3;

namespace upkeep::dbfile {

// The database file as a whole: checked, compacted, and replaced by another
// in one step. A file is only ever replaced by a complete, checked one, and
// only while no record source has it open.

/// Steps of compacting and replacing, in the order they happen.
enum class Step { Copying, Copied, Checked, Replaced, Opened };

struct Hooks {
    /// Runs now and then while a long step works (the window repaints).
    std::function<void()> pump;
    /// Runs as each step is reached.
    std::function<void(Step)> step;
};

/// How far a file is checked. `Full` is SQLite's integrity check, which also
/// looks up every row in every index; `Structure` is its quick check: every
/// page, record and field whole, in time that grows with the file alone.
enum class Depth { Full, Structure };

/// Whether `path` is a whole stop database: it opens, holds the seven tables
/// and passes SQLite's check to `depth`. `error` says what is wrong, of
/// `subject` ("The compacted copy").
bool verifyDatabase(const QString& path, const QString& subject, store::Error* error, const Hooks* hooks = nullptr,
                    Depth depth = Depth::Full);

/// "SL.MDB" beside the database: where the compacted copy is made.
QString compactCopyPath(const QString& database);
/// Where a replaced database is kept until the one that replaced it has opened.
QString previousPath(const QString& database);

/// The journal SQLite writes beside the compacted copy while it is made.
QString compactCopyJournalPath(const QString& database);

/// Removes what a compaction cut short left beside the database: the
/// compacted copy's journal once the copy itself is gone. Never the database,
/// its own journal, or a file of another name. (The database a restore keeps
/// as previousPath() stays until the next restore: should the computer stop
/// while it is there, it is the database as it was.)
void removeLeftovers(const QString& database);
/// Deletes a compacted copy left over from a run cut short, with its journal,
/// once the user has chosen so. False when the copy stays.
bool removeCompactCopy(const QString& database);

/// Compacts the database with VACUUM INTO "SL.MDB" beside it, checks the
/// copy and renames it over the database; no error when it did. Otherwise the
/// database is as it was and no copy is left behind, a leftover excepted,
/// which is never touched: its error is Kind::Leftover with the copy's name
/// as the detail. Kind::InUse when a screen or connection of the program or
/// another program's change was in the way.
store::Error compactDatabase(const QString& database, const Hooks& hooks = {});

/// Puts `staged` in the place of `database` once it passed verifyDatabase()
/// to the structure (its bytes are the archived ones, checked against the
/// archive's CRC; its indexes are as they were in the database backed up),
/// while no screen has the database open. The replaced file is kept beside
/// it until the new one has opened, and put back when it does not.
bool replaceDatabase(const QString& staged, const QString& database, store::Error* error, const Hooks& hooks = {});

/// Holds the database still (a shared lock) while it is copied, so the copy
/// is whole even if another program wants to write.
class ReadLock {
public:
    explicit ReadLock(const QString& database);
    ~ReadLock();
    ReadLock(const ReadLock&) = delete;
    ReadLock& operator=(const ReadLock&) = delete;
    bool held() const { return m_held; }

private:
    sqlite3* m_db = nullptr;
    bool m_held = false;
};

} // namespace upkeep::dbfile
