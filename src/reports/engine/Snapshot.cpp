#include "Snapshot.h"

#include "Formula.h"
#include "Selection.h"

#include "store/Database.h"
#include "store/Error.h"
#include "store/JetSql.h"

#include <QUrl>

#include <sqlite3.h>

#include <chrono>

namespace reports {

void Snapshot::append(const RowChunk& chunk)
{
    for (int c = 0; c < columns(); ++c) {
        for (const QString& text : chunk.newTexts.value(c))
            m_pools[c].add(text);
        m_cells[c].append(chunk.cells.value(c));
    }
    m_recnos.append(chunk.recnos);
}

void Snapshot::appendRow(qint64 recno, const QStringList& texts)
{
    if (m_known.size() < columns())
        m_known.resize(columns());
    for (int c = 0; c < columns(); ++c) {
        const QString text = texts.value(c);
        quint32 id = 0;
        if (!text.isNull()) {
            auto it = m_known[c].find(text);
            if (it == m_known[c].end())
                it = m_known[c].insert(text, m_pools[c].add(text));
            id = *it;
        }
        m_cells[c].append(id);
    }
    m_recnos.append(recno);
}

SnapshotReader::~SnapshotReader()
{
    close();
}

void SnapshotReader::close()
{
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    if (m_db) {
        // Ends the read transaction: the file is free for writers again.
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

store::Error SnapshotReader::failure(int code) const
{
    const QString engine = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
    return store::Error::fromSqlite(code, engine, m_path);
}

std::unique_ptr<SnapshotReader> SnapshotReader::open(const QString& path, const ReadPlan& plan, store::Error* error)
{
    std::unique_ptr<SnapshotReader> reader(new SnapshotReader);
    reader->m_path = path;
    reader->m_plan = plan;
    reader->m_known.resize(plan.texts);
    // Read-only: a report never writes to the file, not even by mistake.
    const QByteArray uri = "file:" + QUrl::toPercentEncoding(path, "/") + "?mode=ro";
    int rc = sqlite3_open_v2(uri.constData(), &reader->m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(reader->m_db, store::Database::busyTimeout());
        // Text compares and sorts by the same rules as on the program's own connection.
        store::jet::installTextRules(reader->m_db);
        rc = sqlite3_exec(reader->m_db, "BEGIN", nullptr, nullptr, nullptr);
    }
    const QByteArray sql = plan.sql.toUtf8();
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(reader->m_db, sql.constData(), int(sql.size()), &reader->m_statement, nullptr);
    if (rc != SQLITE_OK) {
        if (error)
            *error = reader->failure(rc);
        return nullptr;
    }
    return reader;
}

RowChunk SnapshotReader::read(int rows)
{
    RowChunk chunk;
    chunk.cells.resize(m_plan.texts);
    chunk.newTexts.resize(m_plan.texts);
    chunk.numbers.resize(m_plan.numbers);
    while (!m_done && chunk.recnos.size() < rows) {
        if (!readRow(chunk))
            break;
    }
    chunk.last = m_done;
    if (m_done)
        close();
    return chunk;
}

bool SnapshotReader::readRow(RowChunk& chunk)
{
    const int rc = sqlite3_step(m_statement);
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE)
            chunk.error = failure(rc);
        m_done = true;
        return false;
    }
    const int residualAt = 1 + m_plan.texts + m_plan.numbers;
    if (m_plan.residual) {
        QList<QVariant> values;
        const int fields = int(m_plan.residual->fields().size());
        for (int i = 0; i < fields; ++i)
            values << columnValue(m_statement, residualAt + i);
        if (!m_plan.residual->passesResidual(values))
            return true;
    }
    chunk.recnos.append(sqlite3_column_int64(m_statement, 0));
    for (int c = 0; c < m_plan.texts; ++c) {
        quint32 id = 0;
        if (sqlite3_column_type(m_statement, 1 + c) != SQLITE_NULL) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, 1 + c));
            const int bytes = sqlite3_column_bytes(m_statement, 1 + c);
            auto& known = m_known[c];
            // Looked up without a copy; a text met for the first time is kept.
            auto it = known.constFind(QByteArray::fromRawData(text ? text : "", bytes));
            if (it == known.constEnd()) {
                const QByteArray kept(text ? text : "", bytes);
                it = known.insert(kept, quint32(known.size() + 1));
                chunk.newTexts[c].append(QString::fromUtf8(kept));
            }
            id = *it;
        }
        chunk.cells[c].append(id);
    }
    for (int n = 0; n < m_plan.numbers; ++n)
        chunk.numbers[n].append(sqlite3_column_double(m_statement, 1 + m_plan.texts + n));
    return true;
}

BackgroundReading::BackgroundReading(std::unique_ptr<SnapshotReader> reader) : m_reader(std::move(reader))
{
    m_thread = std::thread([this] { work(); });
}

BackgroundReading::~BackgroundReading()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_ready.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundReading::work()
{
    {
        // The first page is drawn first: the reading waits until its rows are
        // asked for, or a moment at most, so as not to slow the drawing down.
        std::unique_lock lock(m_mutex);
        m_ready.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_asked || m_stop; });
    }
    constexpr int kChunk = 4096;
    bool last = false;
    while (!last && !m_stop) {
        RowChunk chunk = m_reader->read(kChunk);
        last = chunk.last || chunk.error.isError();
        std::lock_guard lock(m_mutex);
        m_chunks.push_back(std::move(chunk));
        m_ready.notify_all();
    }
    // The connection closes here, on the thread that read through it.
    m_reader.reset();
    std::lock_guard lock(m_mutex);
    m_finished = true;
    m_ready.notify_all();
}

std::optional<RowChunk> BackgroundReading::take(bool wait)
{
    std::unique_lock lock(m_mutex);
    if (!m_asked) {
        m_asked = true;
        m_ready.notify_all();
    }
    if (wait)
        m_ready.wait(lock, [this] { return !m_chunks.empty() || m_finished; });
    if (m_chunks.empty())
        return std::nullopt;
    RowChunk chunk = std::move(m_chunks.front());
    m_chunks.pop_front();
    return chunk;
}

} // namespace reports
