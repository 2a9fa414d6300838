#include "StatementBuilder.h"

#include "RowClause.h"

#include <QRegularExpression>

namespace filter::engine {
namespace {

// Blanks as the criteria boxes trim them: spaces only.
QString trimSpaces(const QString& text, bool leading, bool trailing)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (leading && start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (trailing && end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

QString withoutBrackets(const QString& name)
{
    if (name.size() >= 2 && name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        return name.mid(1, name.size() - 2);
    return name;
}

// " ORDER BY [F] ASC, ..." and the report's sort texts, for the sort rows filled from the top.
void appendSorting(const FilterRows& rows, const QString& table, QString& statement, BuiltFilter& built)
{
    if (rows.deleteChecked || rows.sort.isEmpty())
        return;
    for (int j = 0; j < rows.sort.size() && j < kSortRows; ++j) {
        const SortRow& sort = rows.sort.at(j);
        if (sort.field.isEmpty() || (j == 0 && sort.field == kDoNotSort))
            return;
        const bool ascending = sort.order == QLatin1String("Ascending");
        statement += (j == 0 ? QStringLiteral(" ORDER BY [") : QStringLiteral(", [")) + sort.field +
                     (ascending ? QStringLiteral("] ASC") : QStringLiteral("] DESC"));
        built.sortTexts[j] = (ascending ? QStringLiteral("+{") : QStringLiteral("-{")) + table + QLatin1Char('.') +
                             sort.field + QLatin1Char('}');
    }
}

} // namespace

QString QuoteCriteria(const QString& criteria)
{
    QString text = trimSpaces(criteria, false, true);
    if (text == QLatin1String("''"))
        return text;
    static const QString enclosed = QStringLiteral("#?():;*");
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'')) {
            text.insert(i, QLatin1Char('\''));
            i += 2;
        } else if (enclosed.contains(c)) {
            text.replace(i, 1, QLatin1Char('[') + c + QLatin1Char(']'));
            i += 3;
        } else {
            ++i;
        }
    }
    return trimSpaces(text, true, true);
}

QString CurrentTableName(const QString& source)
{
    if (!source.toLower().contains(QLatin1String("select")))
        return source;
    const qsizetype dot = source.indexOf(QLatin1Char('.'), 6);
    if (dot >= 7)
        return withoutBrackets(source.mid(7, dot - 7));
    // No "T.*" after Select: the table the statement reads from.
    static const QRegularExpression from(QStringLiteral("\\bfrom\\s+(\\[[^\\]]*\\]|\\w+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return withoutBrackets(from.match(source).captured(1));
}

BuiltFilter CreateSQLStatement(const FilterRows& rows, const QString& table)
{
    BuiltFilter built;
    built.sortTexts = {QString(), QString(), QString()};
    const QString selectAll = QStringLiteral("Select ") + table + QStringLiteral(".* From ") + table;
    const QString deleteAll = QStringLiteral("Delete * From ") + table;
    QString statement;
    if (!rows.find.isEmpty() && rows.find.constFirst().field == kFindAllRecords) {
        built.findsAll = true;
        statement = rows.deleteChecked ? deleteAll : selectAll;
    } else {
        QString formula;
        for (int i = 0; i < rows.find.size() && i < kFindRows; ++i) {
            const FindRow& row = rows.find.at(i);
            if (!row.hasField())
                break;
            if (i == 0)
                statement = (rows.deleteChecked ? deleteAll : selectAll) + QStringLiteral(" Where ");
            const RowClause clause = rowClause(row, table);
            statement += clause.statement;
            formula += clause.formula;
            const bool joined = i < kFindRows - 1 && !row.condition.isEmpty() && i + 1 < rows.find.size() &&
                                rows.find.at(i + 1).hasField();
            if (joined) {
                statement += QLatin1Char(' ') + row.condition.toUpper() + QLatin1Char(' ');
                formula += QLatin1Char(' ') + row.condition.toLower() + QLatin1Char(' ');
            }
        }
        // A delete is never printed: its formula stays empty.
        if (!rows.deleteChecked)
            built.reportFormula = formula;
    }
    if (!statement.isEmpty())
        appendSorting(rows, table, statement, built);
    built.statement = statement;
    return built;
}

} // namespace filter::engine
