#include "ChartReport.h"

#include "ReportPrivate.h"
#include "Selection.h"
#include "TableBody.h"

#include "store/Database.h"
#include "store/JetSql.h"

#include <QMap>

#include <algorithm>

namespace reports {
namespace {

struct Entry {
    QVariant key;
    double value = 0;
    qint64 rows = 0;
    QString first, last; // dates of the first and last row counted
};

// The category, its value and count, and the dates of its first and last row.
class Counter {
public:
    Counter(const Chart& chart, const QList<store::FieldInfo>& fields)
        : m_category(*fieldNamed(fields, chart.category)),
          m_count(chart.value.compare(QLatin1String("count"), Qt::CaseInsensitive) == 0)
    {
        if (!m_count)
            m_value = fieldNamed(fields, chart.value)->name;
        for (const store::FieldInfo& field : fields) {
            if (field.type == store::FieldType::Date && m_date.isEmpty())
                m_date = field.name;
        }
    }

    bool count(store::Database& db, const Selection& selection, QList<Entry>& entries, store::Error* error) const
    {
        bool complete = true;
        selection.formula().sqlWhere(&complete);
        return complete ? inSql(db, selection, entries, error) : rowByRow(db, selection, entries, error);
    }

private:
    QString dates(const char* f) const
    {
        return m_date.isEmpty()
                   ? QStringLiteral("NULL")
                   : QLatin1String(f) + QLatin1Char('(') + store::Database::quoted(m_date) + QLatin1Char(')');
    }
    // One GROUP BY in SQLite, as a person would ask the sqlite3 command line.
    bool inSql(store::Database& db, const Selection& selection, QList<Entry>& entries, store::Error* error) const
    {
        const QString key = store::Database::quoted(m_category.name) +
                            (holdsText(m_category.type) ? QStringLiteral(" COLLATE NOCASE") : QString());
        const QString value = m_count ? QStringLiteral("count(*)")
                                      : QStringLiteral("total(") + store::Database::quoted(m_value) + QLatin1Char(')');
        const QString sql = QStringLiteral("SELECT ") + store::Database::quoted(m_category.name) +
                            QStringLiteral(", ") + value + QStringLiteral(", count(*), ") + dates("min") +
                            QStringLiteral(", ") + dates("max") + QStringLiteral(" FROM ") +
                            store::Database::quoted(selection.table()) + selection.whereClause() +
                            QStringLiteral(" GROUP BY ") + key + QStringLiteral(" ORDER BY ") + key;
        return forEachRow(
            db, sql,
            [&](const SqlRow& row) {
                entries << Entry{row.value(0), row.number(1), row.integer(2), row.value(3).toString(),
                                 row.value(4).toString()};
            },
            error);
    }
    // Rows a formula keeps only after C++ has looked at them are counted here.
    bool rowByRow(store::Database& db, const Selection& selection, QList<Entry>& entries, store::Error* error) const
    {
        QMap<QString, int> index;
        QStringList columns{store::Database::quoted(m_category.name),
                            m_date.isEmpty() ? QStringLiteral("NULL") : store::Database::quoted(m_date)};
        if (!m_count)
            columns << store::Database::quoted(m_value);
        const bool ok = selection.forEach(
            db, columns,
            [&](const SqlRow& row) {
                const QVariant k = row.value(1);
                const QString folded = holdsText(m_category.type) ? store::jet::caseKey(k.toString()) : k.toString();
                auto it = index.find(folded);
                if (it == index.end()) {
                    it = index.insert(folded, int(entries.size()));
                    entries << Entry{k, 0, 0, {}, {}};
                }
                Entry& e = entries[*it];
                e.value += m_count ? 1 : row.number(3);
                ++e.rows;
                const QString date = row.value(2).toString();
                if (!date.isEmpty() && (e.first.isEmpty() || date < e.first))
                    e.first = date;
                if (!date.isEmpty() && date > e.last)
                    e.last = date;
            },
            error);
        std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
            if (store::isNumeric(m_category.type))
                return a.key.toDouble() < b.key.toDouble();
            return store::jet::compareText(a.key.toString(), b.key.toString()) < 0;
        });
        return ok;
    }

    store::FieldInfo m_category;
    bool m_count;
    QString m_value;
    QString m_date;
};

ChartData chartOf(const Chart& definition, const QList<Entry>& entries, store::FieldType type)
{
    ChartData data;
    data.kind = definition.kind == Chart::Kind::Pie ? ChartData::Kind::Pie : ChartData::Kind::Bar;
    data.categoryHeading = definition.categoryHeading.isEmpty() ? definition.category : definition.categoryHeading;
    data.series << (definition.valueHeading.isEmpty() ? QStringLiteral("Calls") : definition.valueHeading);
    for (const Entry& e : entries) {
        QString label = e.key.toString().trimmed();
        if (store::isNumeric(type) && !label.isEmpty())
            label = numberText(e.key.toDouble());
        if (label.isEmpty())
            label = definition.emptyLabel.isEmpty() ? QStringLiteral("(none)") : definition.emptyLabel;
        data.slices << ChartSlice{label, e.value, {e.value}};
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
        const QString label = definition.otherLabel.isEmpty() ? QStringLiteral("All others") : definition.otherLabel;
        data.slices << ChartSlice{label, rest, {rest}};
        data.lastIsRest = true;
    }
    return data;
}

} // namespace

bool buildChart(ReportPrivate& report, const ReportDefinition& definition, store::Database& db,
                const Selection& selection, const QList<store::FieldInfo>& fields, store::Error* error)
{
    const Chart& chart = *definition.chart;
    const Counter counter(chart, fields);
    QList<Entry> entries;
    if (!counter.count(db, selection, entries, error))
        return false;
    const store::FieldInfo* category = fieldNamed(fields, chart.category);
    ChartData data = chartOf(chart, entries, category->type);
    qint64 rows = 0;
    QString first, last;
    for (const Entry& e : std::as_const(entries)) {
        rows += e.rows;
        if (!e.first.isEmpty() && (first.isEmpty() || e.first < first))
            first = e.first;
        if (e.last > last)
            last = e.last;
    }
    // What the graph counted, from its first day to its last.
    if (!first.isEmpty())
        report.period = QStringLiteral("%1 from %2 to %3")
                            .arg(data.series.first(), reportDate(QDate::fromString(first.left(10), Qt::ISODate)),
                                 reportDate(QDate::fromString(last.left(10), Qt::ISODate)));

    TableShape shape;
    shape.columns << TableColumn{data.categoryHeading, Format::Text, false, 220, false, false}
                  << TableColumn{data.series.first(), Format::Text, true, 80, false, false}
                  << TableColumn{QStringLiteral("Share"), Format::Text, true, 70, false, false};
    shape.chart = FigureTable::ChartPlace::Above;
    const double total = data.total();
    shape.totalCells = QStringList{QStringLiteral("Total"), numberText(total), QString()};
    auto body = std::make_unique<TableBody>(shape, 3);
    for (const ChartSlice& slice : std::as_const(data.slices))
        body->takeRow(
            {slice.label, numberText(slice.value),
             total > 0 ? QString::number(100.0 * slice.value / total, 'f', 1) + QLatin1Char('%') : QString()});
    report.body = std::move(body);
    report.rowsCounted = rows;
    report.chart = std::move(data);
    return true;
}

} // namespace reports
