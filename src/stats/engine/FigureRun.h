#pragma once

#include "store/Error.h"

#include <QDate>
#include <QString>
#include <QVariantList>

#include <functional>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace store {
class Database;
}

namespace stats {

/// One statement of a figure: its text with parameters ?1, ?2 ... and their
/// values (texts and whole numbers). What the user chose reaches the engine
/// only as these values, never inside the text.
struct Statement {
    QString purpose; ///< what it works out, in a few words
    QString sql;
    QVariantList parameters;
};

/// A row of a running statement, read in place.
class Row {
public:
    explicit Row(sqlite3_stmt* statement) : m_statement(statement) {}
    bool isNull(int column) const;
    /// Held as a whole number by the engine (a lane number typed as "7.5" is not).
    bool isInteger(int column) const;
    /// Held as a number with a fraction.
    bool isReal(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    /// The value as UTF-8 text, valid until the next row.
    std::string_view text(int column) const;
    /// An ISO "yyyy-mm-dd" value as a date; invalid when it is none.
    QDate date(int column) const;

private:
    sqlite3_stmt* m_statement;
};

/// How a run ended.
enum class RunState { Running, Cancelled, Failed };

/// Runs the statements of the figures on one stop database. Every statement of
/// one run reads the same rows (one read transaction), and nothing is ever
/// written. `keepGoing` is called every few thousand steps of the engine and
/// between statements: the window repaints there and reads its Cancel button;
/// false stops the run at once.
class FigureRun {
public:
    using KeepGoing = std::function<bool()>;
    explicit FigureRun(store::Database& db, KeepGoing keepGoing = {});
    ~FigureRun();
    FigureRun(const FigureRun&) = delete;
    FigureRun& operator=(const FigureRun&) = delete;

    /// Runs one statement, handing each row to `onRow`. False once the run is
    /// cancelled or has failed; later calls then do nothing.
    bool each(const Statement& statement, const std::function<void(const Row&)>& onRow);

    RunState state() const { return m_state; }
    /// Why the run failed, in words a user can act on.
    const store::Error& error() const { return m_error; }
    /// Statements finished so far.
    int finished() const { return m_finished; }

private:
    static int onProgress(void* run);
    bool fail(int code);
    bool bind(sqlite3_stmt* statement, const QVariantList& parameters);

    sqlite3* m_db;
    QString m_path;
    KeepGoing m_keepGoing;
    RunState m_state = RunState::Running;
    store::Error m_error;
    int m_finished = 0;
    bool m_began = false;
};

} // namespace stats
