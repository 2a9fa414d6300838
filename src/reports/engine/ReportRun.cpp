// A report definition run: its fields checked, its selection prepared, its
// rows read (a long list goes on reading after its first pages are made).
#include "ChartReport.h"
#include "Period.h"
#include "RecordBody.h"
#include "Report.h"
#include "ReportPrivate.h"
#include "Selection.h"
#include "TableBody.h"

#include "store/Database.h"

namespace reports {
namespace {

// Rows read before the first page is made: a year or two of calls is read
// whole before the report shows; a longer list goes on reading while its
// first page is looked at. Columns are as wide as the values met here; a
// wider value further on wraps within its column.
constexpr int kFirstRows = 5000;

store::Error refused(const QString& why)
{
    return store::Error::make(store::Error::Kind::Refused, why);
}

// A run that failed: the message names the report file before saying why.
bool cannotRun(const QString& fileName, store::Error why, store::Error* error)
{
    why.message = QStringLiteral("The report \"%1\" cannot be run: %2").arg(fileName, why.message);
    *error = why;
    return false;
}

QString expand(const QString& pattern, int n)
{
    QString result = pattern;
    return result.replace(QStringLiteral("%1"), QString::number(n));
}

// Every field a definition names, checked against its table before anything is read.
class FieldCheck {
public:
    FieldCheck(ReportDefinition& def, const QList<store::FieldInfo>& fields) : m_def(def), m_fields(fields) {}

    bool run(store::Error* error)
    {
        for (int i = 0; i < m_def.columns.size(); ++i) {
            if (!name(m_def.columns[i].field, QStringLiteral("column %1").arg(i + 1), error))
                return false;
        }
        if (m_def.group && !checkGroup(error))
            return false;
        for (int i = 0; i < m_def.record.size(); ++i) {
            const RecordLine& line = m_def.record.at(i);
            for (int n = line.from; n <= line.to; ++n) {
                for (const QString& field : {line.field, line.beside}) {
                    QString expanded = expand(field, n);
                    if (!field.isEmpty() && !name(expanded, QStringLiteral("record line %1").arg(i + 1), error))
                        return false;
                }
            }
        }
        return !m_def.chart || checkChart(error);
    }

private:
    const store::FieldInfo* name(QString& field, const QString& where, store::Error* error)
    {
        const store::FieldInfo* info = fieldNamed(m_fields, field);
        if (!info) {
            *error = refused(QStringLiteral("%1 names the field \"%2\", which the table %3 does not have.")
                                 .arg(where, field, m_def.table));
            return nullptr;
        }
        field = info->name;
        return info;
    }
    bool numbers(QString& field, const QString& where, const QString& what, store::Error* error)
    {
        const store::FieldInfo* info = name(field, where, error);
        if (info && !store::isNumeric(info->type))
            *error =
                refused(QStringLiteral("%1 adds up the field \"%2\", which holds no numbers.").arg(what, info->name));
        return info && store::isNumeric(info->type);
    }
    bool checkGroup(store::Error* error)
    {
        if (!name(m_def.group->field, QStringLiteral("the group"), error))
            return false;
        for (QString& total : m_def.group->totals) {
            if (!numbers(total, QStringLiteral("the group's totals"), QStringLiteral("the group"), error))
                return false;
        }
        return true;
    }
    bool checkChart(store::Error* error)
    {
        if (!name(m_def.chart->category, QStringLiteral("the chart"), error))
            return false;
        return m_def.chart->value.compare(QLatin1String("count"), Qt::CaseInsensitive) == 0 ||
               numbers(m_def.chart->value, QStringLiteral("the chart"), QStringLiteral("the chart"), error);
    }

    ReportDefinition& m_def;
    const QList<store::FieldInfo>& m_fields;
};

// Rows still to come, read in a thread of their own; the selection they are
// tested against lives as long as the reading.
struct Feed {
    std::shared_ptr<Selection> selection;
    std::shared_ptr<BackgroundReading> reading;
    std::optional<RowChunk> operator()(bool wait) const { return reading->take(wait); }
};

ReadPlan planFor(const Selection& selection, const QStringList& texts, const QStringList& numbers)
{
    bool complete = true;
    selection.formula().sqlWhere(&complete);
    QStringList columns{QStringLiteral("rowid")};
    for (const QString& field : texts)
        columns << store::Database::quoted(field);
    for (const QString& field : numbers)
        columns << store::Database::quoted(field);
    if (!complete) {
        for (const BoundField& field : selection.formula().fields())
            columns << store::Database::quoted(field.name);
    }
    ReadPlan plan;
    plan.sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
               store::Database::quoted(selection.table()) + selection.whereClause() + selection.orderByClause();
    plan.texts = int(texts.size());
    plan.numbers = int(numbers.size());
    plan.residual = complete ? nullptr : &selection.formula();
    return plan;
}

} // namespace

class ReportBuilder {
public:
    ReportBuilder(ReportPrivate& report, const ReportRequest& request) : d(report), m_request(request) {}

    bool build(ReportDefinition def, store::Error* error);

private:
    bool prepare(store::Database& db, store::Error* error);
    QString caption(const QString& field) const;
    bool buildList(store::Error* error);
    bool buildRecords(store::Error* error);

    ReportPrivate& d;
    const ReportRequest& m_request;
    ReportDefinition m_def;
    QList<store::FieldInfo> m_fields;
    std::shared_ptr<Selection> m_selection;
};

bool ReportBuilder::build(ReportDefinition def, store::Error* error)
{
    m_def = std::move(def);
    d.title = m_def.title;
    d.fileName = m_def.fileName;
    d.pageHeading = m_def.pageHeading;
    d.pageFooting = m_def.pageFooting;
    d.printedAt = m_request.printedAt;
    const QSizeF paper = m_def.a4 ? QSizeF(595.28, 841.89) : QSizeF(612, 792);
    d.paper = m_def.landscape ? paper.transposed() : paper;
    store::Error why;
    auto db = store::Database::open(m_request.databasePath, &why);
    if (!db || !prepare(*db, &why))
        return cannotRun(m_def.fileName, why, error);
    bool built = false;
    if (m_def.chart)
        built = buildChart(d, m_def, *db, *m_selection, m_fields, &why);
    else if (m_def.isRecordLayout())
        built = buildRecords(&why);
    else
        built = buildList(&why);
    if (!built)
        return cannotRun(m_def.fileName, why, error);
    d.startBody();
    return true;
}

bool ReportBuilder::prepare(store::Database& db, store::Error* error)
{
    m_fields = db.tableFields(m_def.table);
    if (m_fields.isEmpty()) {
        *error =
            refused(QStringLiteral("it reads the table \"%1\", which the database does not have.").arg(m_def.table));
        return false;
    }
    m_def.table = db.tableName(m_def.table);
    if (!FieldCheck(m_def, m_fields).run(error))
        return false;
    QList<SortField> leading;
    if (m_def.group) {
        const store::FieldInfo* group = fieldNamed(m_fields, m_def.group->field);
        leading << SortField{BoundField{group->name, group->type}, false};
    }
    // A formula or sort field the caller set replaces the report's own.
    const QString formula = m_request.selection ? *m_request.selection : m_def.selection;
    QStringList sort = m_def.sort;
    for (int i = 0; i < 3; ++i) {
        if (!m_request.sortFields[i] || m_request.sortFields[i]->trimmed().isEmpty())
            continue;
        while (sort.size() <= i)
            sort << QString();
        sort[i] = *m_request.sortFields[i];
    }
    auto selection = Selection::prepare(db, m_def.table, formula, sort, m_request.printedAt.date(), error, leading);
    if (!selection) {
        // A refused formula is shown, a long one by its start: a message box is no place for a megabyte.
        constexpr qsizetype kShown = 400;
        if (error->position >= 0)
            error->message +=
                QStringLiteral("\n\nThe formula: ") +
                (formula.size() <= kShown
                     ? formula
                     : formula.left(kShown) + QStringLiteral("... (%1 characters in all)").arg(formula.size()));
        return false;
    }
    m_selection = std::make_shared<Selection>(std::move(*selection));
    d.period = describeSelection(m_selection->formula(), [this](const QString& field) { return caption(field); });
    return true;
}

// A field as the report names it: its column's heading, "Date" for a date.
QString ReportBuilder::caption(const QString& field) const
{
    for (const Column& column : std::as_const(m_def.columns)) {
        if (column.field == field && !column.heading.isEmpty())
            return column.heading;
    }
    const store::FieldInfo* info = fieldNamed(m_fields, field);
    return info && info->type == store::FieldType::Date ? QStringLiteral("Date") : field;
}

bool ReportBuilder::buildList(store::Error* error)
{
    TableShape shape;
    QStringList texts;
    for (const Column& column : std::as_const(m_def.columns)) {
        const store::FieldInfo* info = fieldNamed(m_fields, column.field);
        shape.columns << TableColumn{column.heading,
                                     column.format,
                                     column.alignRight,
                                     column.width,
                                     info->type == store::FieldType::Date,
                                     store::isNumeric(info->type)};
        texts << info->name;
    }
    QStringList numbers;
    if (m_def.group) {
        const Group& g = *m_def.group;
        const store::FieldInfo* info = fieldNamed(m_fields, g.field);
        TableGroup group;
        group.column = int(texts.indexOf(info->name));
        if (group.column < 0) {
            group.column = int(texts.size());
            texts << info->name;
        }
        group.value = TableColumn{
            g.heading, g.format, false, 0, info->type == store::FieldType::Date, store::isNumeric(info->type)};
        group.heading = g.heading;
        group.countLabel = g.countLabel;
        group.emptyLabel = g.emptyLabel;
        group.caseless = holdsText(info->type);
        group.totals = g.totals;
        numbers = g.totals;
        shape.group = group;
    }
    shape.totalLabel = m_def.totalLabel;
    auto reader = SnapshotReader::open(m_request.databasePath, planFor(*m_selection, texts, numbers), error);
    if (!reader)
        return false;
    auto body = std::make_unique<TableBody>(shape, int(texts.size()));
    const RowChunk first = reader->read(kFirstRows);
    body->take(first);
    if (first.error) {
        *error = first.error;
        return false;
    }
    if (!first.last)
        body->follow(Feed{m_selection, std::make_shared<BackgroundReading>(std::move(reader))});
    d.body = std::move(body);
    return true;
}

bool ReportBuilder::buildRecords(store::Error* error)
{
    // Every field the lines name, once.
    QStringList names;
    QList<bool> isDate, isNumber;
    for (const RecordLine& line : std::as_const(m_def.record)) {
        for (int n = line.from; n <= line.to; ++n) {
            for (const QString& field : {line.field, line.beside}) {
                const store::FieldInfo* info = field.isEmpty() ? nullptr : fieldNamed(m_fields, expand(field, n));
                if (!info || names.contains(info->name))
                    continue;
                names << info->name;
                isDate << (info->type == store::FieldType::Date);
                isNumber << store::isNumeric(info->type);
            }
        }
    }
    auto reader = SnapshotReader::open(m_request.databasePath, planFor(*m_selection, names, {}), error);
    if (!reader)
        return false;
    auto body = std::make_unique<RecordBody>(m_def, names, isDate, isNumber);
    // Notes, work sheets and preset calls are read whole: a record a day at most.
    RowChunk chunk;
    do {
        chunk = reader->read(kFirstRows);
        body->take(chunk);
        if (chunk.error) {
            *error = chunk.error;
            return false;
        }
    } while (!chunk.last);
    d.body = std::move(body);
    return true;
}

std::unique_ptr<Report> Report::run(const ReportRequest& request, store::Error* error)
{
    store::Error why;
    auto definition = ReportDefinition::load(request.folder, request.fileName, &why);
    if (!definition) {
        if (error)
            *error = why;
        return nullptr;
    }
    std::unique_ptr<Report> report = ReportPrivate::make();
    if (!ReportBuilder(ReportPrivate::of(*report), request).build(std::move(*definition), &why)) {
        if (error)
            *error = why;
        return nullptr;
    }
    return report;
}

} // namespace reports
