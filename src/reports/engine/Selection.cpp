#include "Selection.h"

#include "store/Database.h"
#include "store/Error.h"

#include <sqlite3.h>

namespace reports {

QVariant SqlRow::value(int column) const
{
    return columnValue(m_statement, column);
}

double SqlRow::number(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

qint64 SqlRow::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QVariant columnValue(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_NULL:
        return QVariant();
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(statement, column)));
    }
    }
}

bool forEachRow(store::Database& db, const QString& sql, const std::function<void(const SqlRow&)>& row,
                store::Error* error)
{
    sqlite3* handle = db.handle();
    if (!handle) {
        if (error)
            *error =
                store::Error::make(store::Error::Kind::Other, QStringLiteral("the database connection is not open"));
        return false;
    }
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, nullptr);
    if (rc == SQLITE_OK) {
        const SqlRow current(statement);
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            row(current);
    }
    const bool done = rc == SQLITE_DONE;
    if (!done && error)
        *error = store::Error::fromSqlite(rc, QString::fromUtf8(sqlite3_errmsg(handle)), db.path());
    sqlite3_finalize(statement);
    return done;
}

const store::FieldInfo* fieldNamed(const QList<store::FieldInfo>& fields, const QString& name)
{
    for (const store::FieldInfo& field : fields) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return &field;
    }
    return nullptr;
}

bool holdsText(store::FieldType type)
{
    return type == store::FieldType::Text || type == store::FieldType::Memo;
}

QString orderTerm(const SortField& field)
{
    QString term = store::Database::quoted(field.field.name);
    if (holdsText(field.field.type))
        term += QStringLiteral(" COLLATE NOCASE");
    return term + (field.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
}

std::optional<Selection> Selection::prepare(store::Database& db, const QString& table, const QString& formula,
                                            const QStringList& sortFields, const QDate& today, store::Error* error,
                                            const QList<SortField>& leading)
{
    using Kind = store::Error::Kind;
    const QList<store::FieldInfo> fields = db.tableFields(table);
    if (fields.isEmpty()) {
        if (error)
            *error = store::Error::make(Kind::Refused, QStringLiteral("the database has no table %1").arg(table));
        return std::nullopt;
    }
    Selection selection;
    selection.m_table = db.tableName(table);
    store::Error refused;
    auto compiled = Formula::compile(formula, selection.m_table, fields, today, &refused);
    if (!compiled) {
        if (error)
            *error = store::Error::at(
                refused.position, QStringLiteral("the selection formula is not valid %1.").arg(atCharacter(refused)));
        return std::nullopt;
    }
    selection.m_formula = std::move(*compiled);
    auto add = [&](const SortField& field) {
        for (const SortField& present : selection.m_order) {
            if (present.field.name == field.field.name)
                return; // the first mention decides the direction
        }
        selection.m_order.append(field);
    };
    for (SortField field : leading) {
        // A sort field on the group's own field sets the group's direction.
        for (const QString& text : sortFields) {
            if (const auto sort = parseSortField(text, selection.m_table, fields, nullptr);
                sort && sort->field.name == field.field.name)
                field.descending = sort->descending;
        }
        add(field);
    }
    for (int i = 0; i < sortFields.size(); ++i) {
        if (sortFields.at(i).trimmed().isEmpty())
            continue;
        store::Error why;
        const auto sort = parseSortField(sortFields.at(i), selection.m_table, fields, &why);
        if (!sort) {
            if (error)
                *error = store::Error::make(Kind::Refused, why.message + QLatin1Char('.'));
            return std::nullopt;
        }
        add(*sort);
    }
    return selection;
}

QString Selection::whereClause() const
{
    const QString sql = m_formula.sqlWhere();
    return sql.isEmpty() ? QString() : QStringLiteral(" WHERE ") + sql;
}

QString Selection::orderByClause() const
{
    QStringList terms;
    for (const SortField& field : m_order)
        terms << orderTerm(field);
    terms << QStringLiteral("rowid ASC");
    return QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
}

bool Selection::forEach(store::Database& db, const QStringList& columns, const std::function<void(const SqlRow&)>& row,
                        store::Error* error) const
{
    bool complete = true;
    m_formula.sqlWhere(&complete);
    QStringList selected{QStringLiteral("rowid")};
    selected << columns;
    const int residualAt = int(selected.size());
    if (!complete) {
        for (const BoundField& field : m_formula.fields())
            selected << store::Database::quoted(field.name);
    }
    const QString sql = QStringLiteral("SELECT ") + selected.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                        store::Database::quoted(m_table) + whereClause() + orderByClause();
    if (complete)
        return forEachRow(db, sql, row, error);
    const int count = int(m_formula.fields().size());
    return forEachRow(
        db, sql,
        [&](const SqlRow& current) {
            QList<QVariant> values;
            values.reserve(count);
            for (int i = 0; i < count; ++i)
                values << current.value(residualAt + i);
            if (m_formula.passesResidual(values))
                row(current);
        },
        error);
}

} // namespace reports
