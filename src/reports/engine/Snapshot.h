#pragma once

// Inside the report engine: the rows of a report as they were when it ran.
//
// A run reads its rows once, in report order, inside one read transaction of
// a connection of its own, and keeps their values: every page, printout, PDF
// and CSV of the run shows them, whatever happens to the file afterwards, and
// none of them reads the file again. Each distinct text of a column is kept
// once; a row holds a number per column. A long report goes on reading in a
// thread of its own after its first page is shown: the file is held for
// reading only until its last row is in (a writer waits that long at most).
#include "store/Error.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

struct sqlite3;
struct sqlite3_stmt;

namespace reports {

class Formula;

/// The distinct texts of one column; 0 stands for a missing value (NULL).
class ValuePool {
public:
    ValuePool() { m_texts.append(QString()); }
    quint32 add(const QString& text)
    {
        m_texts.append(text);
        return quint32(m_texts.size() - 1);
    }
    const QString& text(quint32 id) const { return m_texts.at(id); }
    qsizetype size() const { return m_texts.size(); }

private:
    QList<QString> m_texts;
};

/// Rows read one after another: their record numbers, a value number per
/// column, the texts first met in them, and numbers added up per row.
struct RowChunk {
    QList<qint64> recnos;
    QList<QList<quint32>> cells;  // per column
    QList<QStringList> newTexts;  // per column: the texts of the next value numbers
    QList<QList<double>> numbers; // per added-up field
    bool last = false;
    store::Error error; // reading stopped here: why
};

/// The rows a report keeps: values per column as numbers into its pools.
class Snapshot {
public:
    explicit Snapshot(int columns = 0) : m_pools(columns), m_cells(columns) {}
    int columns() const { return int(m_cells.size()); }
    qint64 size() const { return m_recnos.size(); }
    qint64 recno(qint64 row) const { return m_recnos.at(row); }
    const QList<qint64>& recnos() const { return m_recnos; }
    quint32 id(int column, qint64 row) const { return m_cells.at(column).at(row); }
    const QString& text(int column, qint64 row) const { return m_pools.at(column).text(id(column, row)); }
    const ValuePool& pool(int column) const { return m_pools.at(column); }
    /// Takes in a chunk's rows and texts.
    void append(const RowChunk& chunk);
    /// A row handed in whole (a table of figures).
    void appendRow(qint64 recno, const QStringList& texts);

private:
    QList<ValuePool> m_pools;
    QList<QList<quint32>> m_cells;
    QList<qint64> m_recnos;
    QList<QHash<QString, quint32>> m_known; // for rows handed in whole
};

/// What the reader reads: one statement whose columns are the record number,
/// `texts` columns kept as text, `numbers` columns added up, then the fields
/// of a residual formula's terms (rows failing them are passed over).
struct ReadPlan {
    QString sql;
    int texts = 0;
    int numbers = 0;
    const Formula* residual = nullptr;
};

/// Reads the rows of a plan through a read-only connection of its own, in
/// one read transaction from open() to the end of the rows.
class SnapshotReader {
public:
    ~SnapshotReader();
    SnapshotReader(const SnapshotReader&) = delete;
    SnapshotReader& operator=(const SnapshotReader&) = delete;

    /// Opens `path` for reading and starts the plan; null with `error` in words.
    static std::unique_ptr<SnapshotReader> open(const QString& path, const ReadPlan& plan, store::Error* error);
    /// The next `rows` rows at most; `last` is set with the final one.
    RowChunk read(int rows);

private:
    SnapshotReader() = default;
    bool readRow(RowChunk& chunk);
    store::Error failure(int code) const;
    void close();

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    QString m_path;
    ReadPlan m_plan;
    QList<QHash<QByteArray, quint32>> m_known; // per text column: text -> value number
    bool m_done = false;
};

/// Goes on reading in a thread of its own; chunks are taken on the thread
/// that made it. Dropping it stops the reading and waits for the thread.
class BackgroundReading {
public:
    explicit BackgroundReading(std::unique_ptr<SnapshotReader> reader);
    ~BackgroundReading();
    BackgroundReading(const BackgroundReading&) = delete;
    BackgroundReading& operator=(const BackgroundReading&) = delete;

    /// The next chunk read, if one is ready (or, with `wait`, once it is).
    std::optional<RowChunk> take(bool wait);

private:
    void work();

    std::unique_ptr<SnapshotReader> m_reader;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<RowChunk> m_chunks;
    std::atomic<bool> m_stop{false};
    bool m_asked = false; // the rows were asked for: read on at once
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace reports
