#pragma once

// Inside the report engine only: reading the rows of a tabular report.
#include "Report.h"

#include "store/Database.h"

#include <QGlyphRun>

#include <sqlite3.h>

namespace reports {

// Rows of a tabular report by their position in report order. Positions
// asked for one after the other are read by one statement; the statement
// ends with the reader, so nothing holds the database between pages.
class Report::RowReader {
public:
    RowReader(const Report& report, store::Database* db) : m_report(report), m_db(db)
    {
        for (const Column& column : report.m_def.columns)
            m_columns << store::Database::quoted(column.field);
    }
    ~RowReader() { sqlite3_finalize(m_statement); }
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    QList<QList<QVariant>> rows(qint64 first, qint64 count)
    {
        QList<QList<QVariant>> result;
        if (!m_db || count <= 0)
            return result;
        if (m_report.m_rowsByPosition)
            readInOrder(first, count, result);
        else
            readByNumber(first, count, result);
        return result;
    }

private:
    QList<QVariant> values(sqlite3_stmt* row) const
    {
        QList<QVariant> values;
        values.reserve(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i)
            values << columnValue(row, 1 + i);
        return values;
    }

    void readInOrder(qint64 first, qint64 count, QList<QList<QVariant>>& result)
    {
        if (!m_statement || first != m_next) {
            sqlite3_finalize(m_statement);
            m_statement = nullptr;
            const Selection& selection = *m_report.m_selection;
            const QByteArray sql =
                (QStringLiteral("SELECT rowid, ") + m_columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                 store::Database::quoted(m_report.m_def.table) + selection.whereClause() + selection.orderByClause() +
                 QStringLiteral(" LIMIT -1 OFFSET ") + QString::number(first))
                    .toUtf8();
            if (sqlite3_prepare_v2(sqliteHandle(*m_db), sql.constData(), int(sql.size()), &m_statement, nullptr) !=
                SQLITE_OK) {
                sqlite3_finalize(m_statement);
                m_statement = nullptr;
                return;
            }
            m_next = first;
        }
        for (qint64 i = 0; i < count && sqlite3_step(m_statement) == SQLITE_ROW; ++i) {
            result << values(m_statement);
            ++m_next;
        }
    }

    void readByNumber(qint64 first, qint64 count, QList<QList<QVariant>>& result)
    {
        const QList<qint64> ids = m_report.m_ids.mid(first, count);
        QStringList list;
        for (qint64 id : ids)
            list << QString::number(id);
        QHash<qint64, QList<QVariant>> found;
        QString ignored;
        forEachRow(
            *m_db,
            QStringLiteral("SELECT rowid, ") + m_columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                store::Database::quoted(m_report.m_def.table) + QStringLiteral(" WHERE rowid IN (") +
                list.join(QLatin1Char(',')) + QLatin1Char(')'),
            [&](sqlite3_stmt* row) { found.insert(sqlite3_column_int64(row, 0), values(row)); }, &ignored);
        // A call deleted since the report was run leaves its line empty.
        for (qint64 id : ids)
            result << found.value(id);
    }

    const Report& m_report;
    store::Database* m_db;
    QStringList m_columns;
    sqlite3_stmt* m_statement = nullptr;
    qint64 m_next = -1;
};

// Texts as laid out once, by font: a report repeats its weekdays, calls,
// names and dates on every page, and shaping a text costs more than drawing it.
// Two generations keep memory bounded without losing the texts that recur:
// a text still used when the young one fills up moves back into it.
struct Report::TextCache {
    struct Entry {
        QGlyphRun run;
        double width = 0;
    };
    struct Generations {
        QHash<QString, Entry> young;
        QHash<QString, Entry> old;
    };
    static constexpr qsizetype kGeneration = 3000;
    QHash<QString, Generations> byFont;

    /// The entry for `key`, or null. Entries stay put until the next add().
    static Entry* find(Generations& texts, const QString& key)
    {
        auto it = texts.young.find(key);
        if (it != texts.young.end())
            return &*it;
        auto aged = texts.old.find(key);
        if (aged == texts.old.end())
            return nullptr;
        const Entry kept = *aged; // the old generation may go while it moves
        return add(texts, key, kept);
    }
    static Entry* add(Generations& texts, const QString& key, const Entry& entry)
    {
        if (texts.young.size() >= kGeneration) {
            texts.old = std::move(texts.young);
            texts.young.clear();
        }
        return &*texts.young.insert(key, entry);
    }
};

} // namespace reports
