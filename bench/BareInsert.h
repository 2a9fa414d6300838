#pragma once

// The baseline of the logging figures: a bare prepared insert of one call in
// its own transaction, on a connection of its own to the file.
#include <QFile>
#include <QString>

#include <sqlite3.h>

namespace bench {

class BareInsert {
public:
    /// `pragmas` set the journal; with `checkpoint` every commit is followed by a
    /// WAL checkpoint (TRUNCATE), so the file alone holds it.
    BareInsert(const QString& path, const char* pragmas, bool checkpoint = false) : m_checkpoint(checkpoint)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(m_db, 5000);
        sqlite3_exec(m_db, pragmas, nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(m_db,
                           "INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, Name2) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                           -1, &m_insert, nullptr);
    }
    ~BareInsert()
    {
        sqlite3_finalize(m_insert);
        // Back to a plain rollback journal, so that whatever runs next starts alike.
        sqlite3_exec(m_db, "PRAGMA journal_mode=DELETE;", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    BareInsert(const BareInsert&) = delete;
    BareInsert& operator=(const BareInsert&) = delete;

    bool run()
    {
        bool ok = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_bind_text(m_insert, 1, "2004-12-07", -1, SQLITE_STATIC);
        sqlite3_bind_text(m_insert, 2, "10:15:30 AM", -1, SQLITE_STATIC);
        sqlite3_bind_text(m_insert, 3, "Tuesday", -1, SQLITE_STATIC);
        sqlite3_bind_int(m_insert, 4, 7);
        sqlite3_bind_text(m_insert, 5, "Sweep hitting pins", -1, SQLITE_STATIC);
        sqlite3_bind_text(m_insert, 6, "3", -1, SQLITE_STATIC);
        sqlite3_bind_text(m_insert, 7, "Dave", -1, SQLITE_STATIC);
        sqlite3_bind_text(m_insert, 8, " ", -1, SQLITE_STATIC);
        ok = ok && sqlite3_step(m_insert) == SQLITE_DONE;
        sqlite3_reset(m_insert);
        ok = ok && sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (ok && m_checkpoint)
            ok = sqlite3_exec(m_db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr) == SQLITE_OK;
        return ok;
    }

private:
    bool m_checkpoint = false;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
};

} // namespace bench
