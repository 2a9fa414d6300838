#include "FigureRun.h"

#include "store/Database.h"

#include <sqlite3.h>

namespace stats {
namespace {

// Engine steps between two calls of keepGoing: a few hundred microseconds of
// work, so Cancel answers at once and the calls cost nothing measurable.
constexpr int kStepsBetweenChecks = 4000;

} // namespace

bool Row::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

bool Row::isInteger(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER;
}

bool Row::isReal(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_FLOAT;
}

qint64 Row::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double Row::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

std::string_view Row::text(int column) const
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    if (!bytes)
        return {};
    return {bytes, size_t(sqlite3_column_bytes(m_statement, column))};
}

QDate Row::date(int column) const
{
    // Read by hand: listings of repeats read two dates a row, a million rows over.
    const std::string_view iso = text(column);
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-')
        return {};
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (iso[size_t(i)] < '0' || iso[size_t(i)] > '9')
                return {};
            parts[p] = parts[p] * 10 + (iso[size_t(i)] - '0');
        }
    }
    return QDate(parts[0], parts[1], parts[2]);
}

FigureRun::FigureRun(store::Database& db, KeepGoing keepGoing)
    : m_db(db.handle()), m_path(db.path()), m_keepGoing(std::move(keepGoing))
{
    if (!m_db) {
        m_state = RunState::Failed;
        m_error = store::Error::about(store::Error::Kind::Other, m_path);
        return;
    }
    // One read transaction: every statement of the run sees the same calls.
    // Inside a transaction another screen opened, the statements share it.
    if (sqlite3_get_autocommit(m_db)) {
        const int rc = sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            fail(rc);
            return;
        }
        m_began = true;
    }
    sqlite3_progress_handler(m_db, kStepsBetweenChecks, &FigureRun::onProgress, this);
}

FigureRun::~FigureRun()
{
    if (!m_db)
        return;
    sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
    // Nothing was written: ending the transaction only lets go of the file. A
    // commit leaves any statement another screen keeps open as it was, where a
    // rollback would abort it.
    if (m_began && !sqlite3_get_autocommit(m_db) &&
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

int FigureRun::onProgress(void* run)
{
    auto* self = static_cast<FigureRun*>(run);
    if (self->m_state == RunState::Running && self->m_keepGoing && !self->m_keepGoing())
        self->m_state = RunState::Cancelled;
    return self->m_state == RunState::Cancelled ? 1 : 0;
}

bool FigureRun::fail(int code)
{
    if (m_state == RunState::Cancelled || code == SQLITE_INTERRUPT) {
        m_state = RunState::Cancelled;
        return false;
    }
    m_state = RunState::Failed;
    m_error =
        store::Error::fromSqlite(sqlite3_extended_errcode(m_db), QString::fromUtf8(sqlite3_errmsg(m_db)), m_path);
    return false;
}

bool FigureRun::bind(sqlite3_stmt* statement, const QVariantList& parameters)
{
    for (int i = 0; i < parameters.size(); ++i) {
        const QVariant& value = parameters.at(i);
        int rc = SQLITE_OK;
        if (value.typeId() == QMetaType::QString) {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(statement, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        } else if (value.isNull()) {
            rc = sqlite3_bind_null(statement, i + 1);
        } else {
            rc = sqlite3_bind_int64(statement, i + 1, value.toLongLong());
        }
        if (rc != SQLITE_OK)
            return fail(rc);
    }
    return true;
}

bool FigureRun::each(const Statement& statement, const std::function<void(const Row&)>& onRow)
{
    if (m_state != RunState::Running)
        return false;
    if (m_keepGoing && !m_keepGoing()) {
        m_state = RunState::Cancelled;
        return false;
    }
    sqlite3_stmt* prepared = nullptr;
    const QByteArray sql = statement.sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &prepared, nullptr) != SQLITE_OK)
        return fail(sqlite3_errcode(m_db));
    bool ok = bind(prepared, statement.parameters);
    const Row row(prepared);
    int rc = SQLITE_ROW;
    while (ok && (rc = sqlite3_step(prepared)) == SQLITE_ROW)
        onRow(row);
    if (ok && rc != SQLITE_DONE)
        ok = fail(rc);
    sqlite3_finalize(prepared);
    if (ok)
        ++m_finished;
    return ok;
}

} // namespace stats
