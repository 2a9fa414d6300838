#include "Report.h"
#include "ReportRows.h"

#include "store/Database.h"
#include "store/JetSql.h"

#include <QDir>
#include <QLocale>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>

namespace reports {
namespace {

ChartPainter& chartPainterSlot()
{
    static ChartPainter painter;
    return painter;
}

const store::FieldInfo* findField(const QList<store::FieldInfo>& fields, const QString& name)
{
    for (const store::FieldInfo& field : fields) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return &field;
    }
    return nullptr;
}

QString expand(const QString& pattern, int n)
{
    QString result = pattern;
    return result.replace(QStringLiteral("%1"), QString::number(n));
}

bool isText(store::FieldType type)
{
    return type == store::FieldType::Text || type == store::FieldType::Memo;
}

QString numberText(double value)
{
    if (std::fabs(value) < 1e15 && value == std::floor(value))
        return QString::number(qint64(value));
    return QString::number(value, 'f', 2);
}

// The value of a field as a report shows it, in the given format.
QString shownValue(Format format, store::FieldType type, const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (format == Format::Date || format == Format::DayDate ||
        (format == Format::Text && type == store::FieldType::Date)) {
        const QDate date = QDate::fromString(value.toString().left(10), Qt::ISODate);
        if (!date.isValid())
            return value.toString();
        // Weekdays in English, as the calls store them, whatever the user's language.
        if (format == Format::DayDate)
            return QLocale::c().dayName(date.dayOfWeek()) + QLatin1Char(' ') + reportDate(date);
        return reportDate(date);
    }
    if (format == Format::Number || (format == Format::Text && store::isNumeric(type))) {
        bool ok = false;
        const double n = value.toDouble(&ok);
        return ok ? numberText(n) : value.toString();
    }
    QString text = value.toString();
    if (format == Format::Memo) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'));
        if (end >= 0)
            text = text.left(end).trimmed() + QStringLiteral(" …");
    }
    text.replace(QLatin1Char('\r'), QString());
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// "1 call", "2 calls": a count label is written in the plural.
QString counted(qint64 n, const QString& label)
{
    if (label.isEmpty())
        return QString::number(n);
    const QString word = n == 1 && label.endsWith(QLatin1Char('s')) ? label.chopped(1) : label;
    return QString::number(n) + QLatin1Char(' ') + word;
}

} // namespace

void setChartPainter(ChartPainter painter)
{
    chartPainterSlot() = std::move(painter);
}

ChartPainter& currentChartPainter();
ChartPainter& currentChartPainter()
{
    return chartPainterSlot();
}

QString reportDate(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString reportMoment(const QDateTime& moment)
{
    const QTime time = moment.time();
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return reportDate(moment.date()) + QStringLiteral(" %1:%2 %3")
                                           .arg(hour)
                                           .arg(time.minute(), 2, 10, QLatin1Char('0'))
                                           .arg(time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

Report::~Report() = default;

std::unique_ptr<Report> Report::run(const ReportRequest& request, QString* error)
{
    QString why;
    auto definition = ReportDefinition::load(request.folder, request.fileName, &why);
    if (!definition) {
        if (error)
            *error = why;
        return nullptr;
    }
    std::unique_ptr<Report> report(new Report);
    report->m_def = std::move(*definition);
    report->m_databasePath = request.databasePath;
    report->m_printedAt = request.printedAt;
    store::Error opened;
    auto db = store::Database::open(request.databasePath, &opened);
    if (!db)
        why = opened.text();
    if (!db || !report->build(*db, request, &why)) {
        if (error)
            *error = QStringLiteral("The report \"%1\" cannot be run: %2").arg(report->m_def.fileName, why);
        return nullptr;
    }
    report->paginate();
    return report;
}

bool Report::build(store::Database& db, const ReportRequest& request, QString* error)
{
    m_tableFields = db.tableFields(m_def.table);
    if (m_tableFields.isEmpty()) {
        *error = QStringLiteral("it reads the table \"%1\", which the database does not have.").arg(m_def.table);
        return false;
    }
    m_def.table = db.tableName(m_def.table);
    auto field = [&](const QString& name, const QString& where) -> const store::FieldInfo* {
        const store::FieldInfo* info = findField(m_tableFields, name);
        if (!info)
            *error = QStringLiteral("%1 names the field \"%2\", which the table %3 does not have.")
                         .arg(where, name, m_def.table);
        return info;
    };

    // Every field the layout names must be there before anything is read.
    for (int i = 0; i < m_def.columns.size(); ++i) {
        Column& column = m_def.columns[i];
        const store::FieldInfo* info = field(column.field, QStringLiteral("column %1").arg(i + 1));
        if (!info)
            return false;
        column.field = info->name;
        m_columnTypes << info->type;
    }
    QList<SortField> leading;
    if (m_def.group) {
        const store::FieldInfo* info = field(m_def.group->field, QStringLiteral("the group"));
        if (!info)
            return false;
        m_def.group->field = info->name;
        m_groupType = info->type;
        leading << SortField{BoundField{info->name, info->type}, false};
        for (QString& total : m_def.group->totals) {
            const store::FieldInfo* t = field(total, QStringLiteral("the group's totals"));
            if (!t)
                return false;
            if (!store::isNumeric(t->type)) {
                *error = QStringLiteral("the group adds up the field \"%1\", which holds no numbers.").arg(t->name);
                return false;
            }
            total = t->name;
        }
    }
    for (int i = 0; i < m_def.record.size(); ++i) {
        const RecordLine& line = m_def.record.at(i);
        for (int n = line.from; n <= line.to; ++n) {
            for (const QString& name : {line.field, line.beside}) {
                if (!name.isEmpty() && !field(expand(name, n), QStringLiteral("record line %1").arg(i + 1)))
                    return false;
            }
        }
    }
    if (m_def.chart) {
        if (!field(m_def.chart->category, QStringLiteral("the chart")))
            return false;
        if (m_def.chart->value.compare(QLatin1String("count"), Qt::CaseInsensitive) != 0) {
            const store::FieldInfo* v = field(m_def.chart->value, QStringLiteral("the chart"));
            if (!v)
                return false;
            if (!store::isNumeric(v->type)) {
                *error = QStringLiteral("the chart adds up the field \"%1\", which holds no numbers.").arg(v->name);
                return false;
            }
        }
    }

    // A formula or sort field the caller set replaces the report's own.
    QString formula = m_def.selection;
    if (request.selection) {
        formula = *request.selection;
        m_selectionShown = formula.simplified();
    }
    QStringList sort = m_def.sort;
    for (int i = 0; i < 3; ++i) {
        if (!request.sortFields[i] || request.sortFields[i]->trimmed().isEmpty())
            continue;
        while (sort.size() <= i)
            sort << QString();
        sort[i] = *request.sortFields[i];
    }
    if (m_def.table.compare(QLatin1String("DData"), Qt::CaseInsensitive) == 0)
        ensureDateIndex(db, m_def.table, QStringLiteral("DateNow"));
    QString why;
    auto selection = Selection::prepare(db, m_def.table, formula, sort, m_printedAt.date(), &why, leading);
    if (!selection) {
        *error = why;
        // A long formula is shown by its start: a message box is no place for a megabyte.
        constexpr qsizetype kShown = 400;
        if (why.startsWith(QLatin1String("the selection formula")))
            *error += QStringLiteral("\n\nThe formula: ") +
                      (formula.size() <= kShown
                           ? formula
                           : formula.left(kShown) + QStringLiteral("... (%1 characters in all)").arg(formula.size()));
        return false;
    }
    if (m_def.chart)
        return buildChart(db, *selection, error);
    if (m_def.isRecordLayout())
        return buildRecords(db, *selection, error);
    m_selection = std::move(*selection);
    return buildTabular(db, *m_selection, error);
}

bool Report::buildTabular(store::Database& db, const Selection& selection, QString* error)
{
    const bool grouped = m_def.group.has_value();
    const QStringList totals = grouped ? m_def.group->totals : QStringList();
    m_grandTotals = QList<double>(totals.size(), 0.0);
    bool complete = true;
    selection.formula().sqlWhere(&complete);

    // When the database keeps the report's order itself (an index: the calls
    // by date), the groups are counted in SQLite and the rows of a page are
    // read from their position when the page is drawn: the first page of a
    // million calls shows without one of them read. Other orders are sorted
    // once, keeping the record numbers.
    if (complete) {
        bool sorts = false;
        const QString plan = QStringLiteral("EXPLAIN QUERY PLAN SELECT rowid FROM ") +
                             store::Database::quoted(m_def.table) + selection.whereClause() + selection.orderByClause();
        if (!forEachRow(
                db, plan,
                [&](sqlite3_stmt* row) {
                    if (columnValue(row, 3).toString().contains(QLatin1String("TEMP B-TREE")))
                        sorts = true;
                },
                error))
            return false;
        m_rowsByPosition = !sorts;
    }
    if (m_rowsByPosition) {
        QString sql;
        if (grouped) {
            const SortField& lead = selection.order().first();
            QString key = store::Database::quoted(lead.field.name);
            if (isText(lead.field.type))
                key += QStringLiteral(" COLLATE NOCASE");
            QStringList columns{store::Database::quoted(lead.field.name), QStringLiteral("count(*)")};
            for (const QString& total : totals)
                columns << QStringLiteral("total(") + store::Database::quoted(total) + QLatin1Char(')');
            sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                  store::Database::quoted(m_def.table) + selection.whereClause() + QStringLiteral(" GROUP BY ") + key +
                  QStringLiteral(" ORDER BY ") + key +
                  (lead.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
        } else {
            sql = QStringLiteral("SELECT NULL, count(*) FROM ") + store::Database::quoted(m_def.table) +
                  selection.whereClause();
        }
        qint64 start = 0;
        const bool ok = forEachRow(
            db, sql,
            [&](sqlite3_stmt* row) {
                Run run;
                run.start = start;
                run.count = sqlite3_column_int64(row, 1);
                run.key = columnValue(row, 0);
                for (int t = 0; t < totals.size(); ++t) {
                    run.totals << sqlite3_column_double(row, 2 + t);
                    m_grandTotals[t] += run.totals.last();
                }
                start += run.count;
                if (run.count > 0)
                    m_runs.append(run);
            },
            error);
        m_recordCount = start;
        return ok;
    }

    QStringList columns;
    if (grouped)
        columns << store::Database::quoted(m_def.group->field);
    for (const QString& total : totals)
        columns << store::Database::quoted(total);
    const bool textKey = grouped && isText(m_groupType);
    QByteArray previous;
    int previousType = -1;
    const bool ok = selection.forEach(
        db, columns,
        [&](sqlite3_stmt* row) {
            const qint64 index = m_ids.size();
            m_ids.append(sqlite3_column_int64(row, 0));
            if (grouped) {
                // Rows of one group are neighbours in report order: a new key starts a new group.
                const int type = sqlite3_column_type(row, 1);
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(row, 1));
                const QByteArray key = QByteArray::fromRawData(bytes ? bytes : "", sqlite3_column_bytes(row, 1));
                bool same = !m_runs.isEmpty() && type == previousType && key == previous;
                if (!same && textKey && !m_runs.isEmpty() && type == SQLITE_TEXT && previousType == SQLITE_TEXT)
                    same = store::jet::compareText(QString::fromUtf8(key), QString::fromUtf8(previous)) == 0;
                if (!same) {
                    Run run;
                    run.start = index;
                    run.key = columnValue(row, 1);
                    run.totals = QList<double>(totals.size(), 0.0);
                    m_runs.append(run);
                    previous = QByteArray(key.constData(), key.size());
                    previousType = type;
                }
                Run& run = m_runs.last();
                ++run.count;
                for (int t = 0; t < totals.size(); ++t) {
                    const double v = sqlite3_column_double(row, 2 + t);
                    run.totals[t] += v;
                    m_grandTotals[t] += v;
                }
            }
        },
        error);
    if (!ok)
        return false;
    if (!grouped && !m_ids.isEmpty())
        m_runs.append(Run{0, m_ids.size(), QVariant(), {}});
    m_recordCount = m_ids.size();
    return true;
}

bool Report::buildRecords(store::Database& db, const Selection& selection, QString* error)
{
    // Every field the lines name, once.
    QStringList names;
    for (const RecordLine& line : std::as_const(m_def.record)) {
        for (int n = line.from; n <= line.to; ++n) {
            for (const QString& name : {line.field, line.beside}) {
                if (name.isEmpty())
                    continue;
                const QString stored = findField(m_tableFields, expand(name, n))->name;
                if (!names.contains(stored))
                    names << stored;
            }
        }
    }
    QStringList columns;
    for (const QString& name : std::as_const(names))
        columns << store::Database::quoted(name);
    QList<QList<QVariant>> rows;
    const bool ok = selection.forEach(
        db, columns,
        [&](sqlite3_stmt* row) {
            QList<QVariant> values;
            for (int i = 0; i < names.size(); ++i)
                values << columnValue(row, 1 + i);
            rows << values;
            m_ids << sqlite3_column_int64(row, 0);
        },
        error);
    if (!ok)
        return false;
    m_recordCount = rows.size();
    auto valueOf = [&](const QList<QVariant>& row, const QString& name) -> QVariant {
        const qsizetype at = names.indexOf(findField(m_tableFields, name)->name);
        return at < 0 ? QVariant() : row.value(at);
    };
    auto typeOf = [&](const QString& name) { return findField(m_tableFields, name)->type; };
    for (const QList<QVariant>& row : std::as_const(rows)) {
        for (const RecordLine& line : std::as_const(m_def.record)) {
            const bool repeated = line.from != 0 || line.to != 0;
            for (int n = line.from; n <= line.to; ++n) {
                const QString fieldName = line.field.isEmpty() ? QString() : expand(line.field, n);
                const QString besideName = line.beside.isEmpty() ? QString() : expand(line.beside, n);
                Line out;
                out.label = repeated ? expand(line.text, n) : line.text;
                if (!fieldName.isEmpty()) {
                    const QVariant v = valueOf(row, fieldName);
                    out.text =
                        line.wrap ? v.toString().trimmed() : shownValue(line.format, typeOf(fieldName), v).trimmed();
                }
                out.beside = besideName.isEmpty()
                                 ? line.besideText
                                 : shownValue(Format::Text, typeOf(besideName), valueOf(row, besideName)).trimmed();
                if (line.skipEmpty && (!fieldName.isEmpty() || !besideName.isEmpty()) && out.text.isEmpty() &&
                    (besideName.isEmpty() || out.beside.isEmpty()))
                    continue;
                if (line.heading) {
                    out.kind = Line::Kind::Heading;
                    out.units = 4;
                    out.keepWithNext = true;
                } else if (line.wrap) {
                    out.kind = Line::Kind::Text;
                    out.keepWithNext = false;
                    out.units = -1; // measured when the pages are made
                }
                m_lines << out;
            }
        }
    }
    if (rows.isEmpty()) {
        Line none;
        none.kind = Line::Kind::NoRecords;
        none.units = 3;
        m_lines << none;
    } else if (!m_def.totalLabel.isEmpty()) {
        Line total;
        total.kind = Line::Kind::Total;
        total.units = 4;
        total.text = QStringLiteral("Total: ") + counted(rows.size(), m_def.totalLabel);
        m_lines << total;
    }
    return true;
}

bool Report::buildChart(store::Database& db, const Selection& selection, QString* error)
{
    const Chart& definition = *m_def.chart;
    const store::FieldInfo* category = findField(m_tableFields, definition.category);
    const bool count = definition.value.compare(QLatin1String("count"), Qt::CaseInsensitive) == 0;
    const QString valueSql = count ? QStringLiteral("count(*)")
                                   : QStringLiteral("total(") +
                                         store::Database::quoted(findField(m_tableFields, definition.value)->name) +
                                         QLatin1Char(')');
    const QString key = store::Database::quoted(category->name) +
                        (isText(category->type) ? QStringLiteral(" COLLATE NOCASE") : QString());
    struct Entry {
        QVariant key;
        double value = 0;
        qint64 rows = 0;
    };
    QList<Entry> entries;
    bool complete = true;
    selection.formula().sqlWhere(&complete);
    bool ok = false;
    if (complete) {
        // One GROUP BY in SQLite, as a person would ask the sqlite3 command line.
        const QString sql = QStringLiteral("SELECT ") + store::Database::quoted(category->name) + QStringLiteral(", ") +
                            valueSql + QStringLiteral(", count(*) FROM ") + store::Database::quoted(m_def.table) +
                            selection.whereClause() + QStringLiteral(" GROUP BY ") + key +
                            QStringLiteral(" ORDER BY ") + key;
        ok = forEachRow(
            db, sql,
            [&](sqlite3_stmt* row) {
                entries << Entry{columnValue(row, 0), sqlite3_column_double(row, 1), sqlite3_column_int64(row, 2)};
            },
            error);
    } else {
        // Rows a formula keeps only after C++ has looked at them are counted here.
        QMap<QString, int> index;
        QStringList columns{store::Database::quoted(category->name)};
        if (!count)
            columns << store::Database::quoted(findField(m_tableFields, definition.value)->name);
        ok = selection.forEach(
            db, columns,
            [&](sqlite3_stmt* row) {
                const QVariant k = columnValue(row, 1);
                const QString folded = isText(category->type) ? store::jet::caseKey(k.toString()) : k.toString();
                auto it = index.find(folded);
                if (it == index.end()) {
                    it = index.insert(folded, int(entries.size()));
                    entries << Entry{k, 0, 0};
                }
                Entry& e = entries[*it];
                e.value += count ? 1 : sqlite3_column_double(row, 2);
                ++e.rows;
            },
            error);
        std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
            if (store::isNumeric(category->type))
                return a.key.toDouble() < b.key.toDouble();
            return store::jet::compareText(a.key.toString(), b.key.toString()) < 0;
        });
    }
    if (!ok)
        return false;

    ChartData data;
    data.definition = definition;
    data.title = m_def.title;
    for (const Entry& e : std::as_const(entries)) {
        QString label = shownValue(Format::Text, category->type, e.key).trimmed();
        if (label.isEmpty())
            label = definition.emptyLabel.isEmpty() ? QStringLiteral("(none)") : definition.emptyLabel;
        data.slices << ChartSlice{label, e.value};
        data.total += e.value;
        m_recordCount += e.rows;
    }
    if (definition.byValue) {
        std::stable_sort(data.slices.begin(), data.slices.end(),
                         [](const ChartSlice& a, const ChartSlice& b) { return a.value > b.value; });
    }
    if (definition.top > 0 && data.slices.size() > definition.top) {
        double rest = 0;
        for (qsizetype i = definition.top; i < data.slices.size(); ++i)
            rest += data.slices.at(i).value;
        data.slices.resize(definition.top);
        data.slices << ChartSlice{
            definition.otherLabel.isEmpty() ? QStringLiteral("All others") : definition.otherLabel, rest};
    }
    m_chart = data;

    if (data.slices.isEmpty()) {
        Line none;
        none.kind = Line::Kind::NoRecords;
        none.units = 3;
        m_lines << none;
        return true;
    }
    Line chart;
    chart.kind = Line::Kind::Chart;
    chart.units = 64;
    m_lines << chart;
    Line heading;
    heading.kind = Line::Kind::TableHeading;
    heading.units = 4;
    heading.keepWithNext = true;
    heading.label = definition.categoryHeading.isEmpty() ? category->name : definition.categoryHeading;
    heading.text = definition.valueHeading.isEmpty() ? (count ? QStringLiteral("Calls") : definition.value)
                                                     : definition.valueHeading;
    heading.beside = QStringLiteral("Share");
    m_lines << heading;
    for (const ChartSlice& slice : std::as_const(data.slices)) {
        Line line;
        line.kind = Line::Kind::TableRow;
        line.label = slice.label;
        line.text = numberText(slice.value);
        line.beside =
            data.total > 0 ? QString::number(100.0 * slice.value / data.total, 'f', 1) + QLatin1Char('%') : QString();
        m_lines << line;
    }
    Line total;
    total.kind = Line::Kind::Total;
    total.units = 4;
    total.label = QStringLiteral("Total");
    total.text = numberText(data.total);
    m_lines << total;
    return true;
}

QList<qint64> Report::recordIds() const
{
    if (!m_rowsByPosition)
        return m_ids;
    QList<qint64> ids;
    store::Error unopened;
    QString ignored;
    auto db = store::Database::open(m_databasePath, &unopened);
    if (db && m_selection)
        m_selection->forEach(
            *db, {}, [&](sqlite3_stmt* row) { ids << sqlite3_column_int64(row, 0); }, &ignored);
    return ids;
}

QString Report::cellText(int column, const QVariant& value) const
{
    return shownValue(m_def.columns.at(column).format, m_columnTypes.value(column), value);
}

QString Report::groupLabel(const QVariant& key) const
{
    QString value = shownValue(m_def.group->format, m_groupType, key).trimmed();
    if (value.isEmpty())
        value = m_def.group->emptyLabel.isEmpty() ? QStringLiteral("(none)") : m_def.group->emptyLabel;
    return m_def.group->heading + value;
}

QString Report::footerText(int run) const
{
    const Run& r = m_runs.at(run);
    QString text = counted(r.count, m_def.group->countLabel);
    for (int t = 0; t < m_def.group->totals.size(); ++t)
        text += QStringLiteral(", total %1: %2").arg(m_def.group->totals.at(t), numberText(r.totals.value(t)));
    return text;
}

QString Report::totalText() const
{
    QString text = QStringLiteral("Total: ") + counted(m_recordCount, m_def.totalLabel);
    if (m_def.group) {
        for (int t = 0; t < m_def.group->totals.size(); ++t)
            text += QStringLiteral(", total %1: %2").arg(m_def.group->totals.at(t), numberText(m_grandTotals.value(t)));
    }
    return text;
}

} // namespace reports
