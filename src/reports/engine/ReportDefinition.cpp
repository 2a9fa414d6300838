#include "ReportDefinition.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace reports {
namespace {

struct Refusal {
    QString message;
};

[[noreturn]] void refuse(const QString& message)
{
    throw Refusal{message};
}

// Reads one JSON object, refusing keys it does not know (a misspelt key
// would otherwise be dropped without a word).
class Reader {
public:
    Reader(const QJsonObject& object, QString where) : m_object(object), m_where(std::move(where)) {}

    void allow(std::initializer_list<const char*> keys) const
    {
        for (auto it = m_object.begin(); it != m_object.end(); ++it) {
            bool known = false;
            for (const char* key : keys)
                known = known || it.key() == QLatin1String(key);
            if (!known)
                refuse(QStringLiteral("%1 has an entry \"%2\" that report definitions do not have")
                           .arg(m_where, it.key()));
        }
    }
    bool has(const char* key) const { return m_object.contains(QLatin1String(key)); }
    QString text(const char* key, bool required = false) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined()) {
            if (required)
                refuse(QStringLiteral("%1 has no \"%2\"").arg(m_where, QLatin1String(key)));
            return {};
        }
        if (!v.isString())
            refuse(QStringLiteral("\"%2\" in %1 must be a text in quotes").arg(m_where, QLatin1String(key)));
        return v.toString();
    }
    double number(const char* key, double fallback, double low, double high) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isDouble() || v.toDouble() < low || v.toDouble() > high)
            refuse(QStringLiteral("\"%2\" in %1 must be a number from %3 to %4")
                       .arg(m_where, QLatin1String(key), QString::number(low), QString::number(high)));
        return v.toDouble();
    }
    bool flag(const char* key) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined())
            return false;
        if (!v.isBool())
            refuse(QStringLiteral("\"%2\" in %1 must be true or false").arg(m_where, QLatin1String(key)));
        return v.toBool();
    }
    QJsonArray array(const char* key) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            refuse(QStringLiteral("\"%2\" in %1 must be a list in [ ]").arg(m_where, QLatin1String(key)));
        return v.toArray();
    }
    QJsonObject object(const char* key) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (!v.isObject())
            refuse(QStringLiteral("\"%2\" in %1 must be an entry in { }").arg(m_where, QLatin1String(key)));
        return v.toObject();
    }
    QString choice(const char* key, const QStringList& choices, const QString& fallback) const
    {
        const QString v = text(key);
        if (v.isEmpty())
            return fallback;
        for (const QString& c : choices) {
            if (c.compare(v, Qt::CaseInsensitive) == 0)
                return c;
        }
        refuse(QStringLiteral("\"%2\" in %1 must be one of %3, not \"%4\"")
                   .arg(m_where, QLatin1String(key), choices.join(QStringLiteral(", ")), v));
    }
    const QString& where() const { return m_where; }

private:
    QJsonObject m_object;
    QString m_where;
};

Format formatOf(const Reader& r)
{
    const QString f = r.choice("format",
                               {QStringLiteral("text"), QStringLiteral("date"), QStringLiteral("dayDate"),
                                QStringLiteral("number"), QStringLiteral("memo")},
                               QStringLiteral("text"));
    if (f == QLatin1String("date"))
        return Format::Date;
    if (f == QLatin1String("dayDate"))
        return Format::DayDate;
    if (f == QLatin1String("number"))
        return Format::Number;
    if (f == QLatin1String("memo"))
        return Format::Memo;
    return Format::Text;
}

QJsonObject objectAt(const QJsonArray& array, int i, const QString& where)
{
    if (!array.at(i).isObject())
        refuse(QStringLiteral("%1 must be an entry in { }").arg(where));
    return array.at(i).toObject();
}

void readColumns(const Reader& r, ReportDefinition& d)
{
    const QJsonArray columns = r.array("columns");
    for (int i = 0; i < columns.size(); ++i) {
        const QString where = QStringLiteral("column %1").arg(i + 1);
        const Reader c(objectAt(columns, i, where), where);
        c.allow({"field", "heading", "width", "format", "align"});
        Column column;
        column.field = c.text("field", true);
        column.heading = c.text("heading");
        column.width = c.number("width", 60, 4, 1000);
        column.format = formatOf(c);
        column.alignRight = c.choice("align", {QStringLiteral("left"), QStringLiteral("right")},
                                     QStringLiteral("left")) == QLatin1String("right");
        d.columns.append(column);
    }
}

void readGroup(const Reader& r, ReportDefinition& d)
{
    if (!r.has("group"))
        return;
    const Reader g(r.object("group"), QStringLiteral("the group"));
    g.allow({"field", "heading", "format", "countLabel", "emptyLabel", "totals"});
    Group group;
    group.field = g.text("field", true);
    group.heading = g.text("heading");
    group.format = formatOf(g);
    group.countLabel = g.text("countLabel");
    group.emptyLabel = g.text("emptyLabel");
    const QJsonArray totals = g.array("totals");
    for (int i = 0; i < totals.size(); ++i) {
        if (!totals.at(i).isString())
            refuse(QStringLiteral("total %1 of the group must be a field name in quotes").arg(i + 1));
        group.totals << totals.at(i).toString();
    }
    d.group = group;
}

void readRecord(const Reader& r, ReportDefinition& d)
{
    const QJsonArray record = r.array("record");
    for (int i = 0; i < record.size(); ++i) {
        const QString where = QStringLiteral("record line %1").arg(i + 1);
        const Reader l(objectAt(record, i, where), where);
        l.allow({"text", "field", "beside", "besideText", "format", "heading", "wrap", "skipEmpty", "from", "to"});
        RecordLine line;
        line.text = l.text("text");
        line.field = l.text("field");
        line.beside = l.text("beside");
        line.besideText = l.text("besideText");
        line.format = formatOf(l);
        line.heading = l.flag("heading");
        line.wrap = l.flag("wrap");
        line.skipEmpty = l.flag("skipEmpty");
        line.from = int(l.number("from", 0, 0, 1000));
        line.to = int(l.number("to", line.from, 0, 1000));
        if (line.to < line.from)
            refuse(QStringLiteral("%1 counts from %2 down to %3").arg(where).arg(line.from).arg(line.to));
        if (line.text.isEmpty() && line.field.isEmpty() && line.beside.isEmpty() && line.besideText.isEmpty())
            refuse(QStringLiteral("%1 has neither a text nor a field").arg(where));
        d.record.append(line);
    }
}

void readChart(const Reader& r, ReportDefinition& d)
{
    if (!r.has("chart"))
        return;
    const Reader c(r.object("chart"), QStringLiteral("the chart"));
    c.allow(
        {"kind", "category", "categoryHeading", "value", "valueHeading", "top", "otherLabel", "emptyLabel", "order"});
    Chart chart;
    if (c.text("kind").isEmpty())
        refuse(QStringLiteral("the chart has no \"kind\" (bar or pie)"));
    chart.kind = c.choice("kind", {QStringLiteral("bar"), QStringLiteral("pie")}, QString()) == QLatin1String("pie")
                     ? Chart::Kind::Pie
                     : Chart::Kind::Bar;
    chart.category = c.text("category", true);
    chart.categoryHeading = c.text("categoryHeading");
    chart.value = c.text("value");
    if (chart.value.isEmpty())
        chart.value = QStringLiteral("count");
    chart.valueHeading = c.text("valueHeading");
    chart.top = int(c.number("top", 0, 0, 1000));
    chart.otherLabel = c.text("otherLabel");
    chart.emptyLabel = c.text("emptyLabel");
    chart.byValue = c.choice("order", {QStringLiteral("value"), QStringLiteral("category")}, QStringLiteral("value")) ==
                    QLatin1String("value");
    d.chart = chart;
}

void readBody(const QJsonObject& root, ReportDefinition& d)
{
    const Reader r(root, QStringLiteral("the report"));
    r.allow({"stopwellReport", "title", "table", "selection", "sort", "paper", "orientation", "pageHeading",
             "pageFooting", "columns", "group", "totalLabel", "record", "labelWidth", "besideAt", "chart"});
    const QJsonValue version = root.value(QLatin1String("stopwellReport"));
    if (!version.isDouble() || version.toInt() != 1)
        refuse(QStringLiteral("the file does not start as a report definition of this program "
                              "(\"stopwellReport\": 1 is missing)"));
    d.title = r.text("title", true);
    d.table = r.text("table", true);
    d.selection = r.text("selection");
    const QJsonArray sort = r.array("sort");
    for (int i = 0; i < sort.size(); ++i) {
        if (!sort.at(i).isString())
            refuse(
                QStringLiteral("sort field %1 must be a text in quotes, as \"+{%2.DateNow}\"").arg(i + 1).arg(d.table));
        d.sort << sort.at(i).toString();
    }
    d.a4 = r.choice("paper", {QStringLiteral("Letter"), QStringLiteral("A4")}, QStringLiteral("Letter")) ==
           QLatin1String("A4");
    d.landscape = r.choice("orientation", {QStringLiteral("portrait"), QStringLiteral("landscape")},
                           QStringLiteral("portrait")) == QLatin1String("landscape");
    d.pageHeading = r.text("pageHeading");
    d.pageFooting = r.text("pageFooting");
    d.totalLabel = r.text("totalLabel");
    d.labelWidth = r.number("labelWidth", 110, 0, 600);
    d.besideAt = r.number("besideAt", 0, 0, 1000);
    readColumns(r, d);
    readGroup(r, d);
    readRecord(r, d);
    readChart(r, d);

    const int kinds = int(!d.columns.isEmpty()) + int(!d.record.isEmpty()) + int(d.chart.has_value());
    if (kinds == 0)
        refuse(QStringLiteral("the report has no \"columns\", \"record\" or \"chart\": there is nothing to print"));
    if (kinds > 1)
        refuse(QStringLiteral("the report has more than one of \"columns\", \"record\" and \"chart\""));
    if (d.group && d.columns.isEmpty())
        refuse(QStringLiteral("a \"group\" needs \"columns\""));
}

} // namespace

std::optional<ReportDefinition> ReportDefinition::parse(const QByteArray& text, const QString& fileName,
                                                        store::Error* error)
{
    auto refuse = [&](const QString& why) -> std::optional<ReportDefinition> {
        if (error)
            *error = store::Error::make(store::Error::Kind::Refused, why);
        return std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        // The offset counts bytes; a person counts lines and columns.
        const QByteArray before = text.left(parseError.offset);
        const int line = int(before.count('\n')) + 1;
        const int column = int(before.size() - before.lastIndexOf('\n'));
        return refuse(QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(parseError.errorString()));
    }
    if (!document.isObject())
        return refuse(QStringLiteral("the file holds no report definition in { }"));
    ReportDefinition d;
    d.fileName = fileName;
    try {
        readBody(document.object(), d);
    } catch (const Refusal& refusal) {
        return refuse(refusal.message);
    }
    return d;
}

std::optional<ReportDefinition> ReportDefinition::load(const QString& folder, const QString& fileName,
                                                       store::Error* error)
{
    using Kind = store::Error::Kind;
    auto failed = [&](Kind kind, const QString& why) -> std::optional<ReportDefinition> {
        if (error)
            *error = store::Error::make(kind, why);
        return std::nullopt;
    };
    const QString name = fileName.trimmed();
    if (name.isEmpty())
        return failed(Kind::Missing, QStringLiteral("No report file was named."));
    // Bare names only: a definition is looked for in the program's folder,
    // and names match without regard to case.
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return failed(Kind::Refused,
                      QStringLiteral("The report file \"%1\" must be named without a folder.").arg(name));
    const QDir dir(folder);
    QString path = dir.filePath(name);
    if (!QFileInfo::exists(path)) {
        const QStringList all = dir.entryList(QDir::Files);
        for (const QString& candidate : all) {
            if (candidate.compare(name, Qt::CaseInsensitive) == 0)
                path = dir.filePath(candidate);
        }
    }
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (!QFileInfo::exists(path))
        return failed(Kind::Missing,
                      QStringLiteral("The report file \"%1\" cannot be found in the program's folder (%2).")
                          .arg(name, QDir::toNativeSeparators(dir.absolutePath())));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(Kind::Io,
                      QStringLiteral("The report file \"%1\" cannot be read: %2.").arg(shown, file.errorString()));
    store::Error why;
    auto definition = parse(file.readAll(), name, &why);
    if (!definition)
        return failed(Kind::Refused, QStringLiteral("The report file \"%1\" is damaged: %2.").arg(shown, why.message));
    return definition;
}

} // namespace reports
