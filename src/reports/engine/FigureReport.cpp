// A table of figures the program computed, shown as a report: the same
// pages, graph, printing, PDF and CSV as a report of the database.
#include "Report.h"
#include "ReportPrivate.h"
#include "TableBody.h"

#include <QDate>

#include <cmath>
#include <limits>

namespace reports {
namespace {

// A value as it is kept: numbers with their places, dates as yyyy-mm-dd.
QString stored(const FigureTable::Column& column, const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (column.type) {
    case FigureTable::Type::Number: {
        // A text stays as given, even one that reads as a number (a lane "7.5").
        if (value.typeId() == QMetaType::QString)
            return value.toString();
        bool ok = false;
        const double n = value.toDouble(&ok);
        return ok ? QString::number(n, 'f', column.decimals) : value.toString();
    }
    case FigureTable::Type::Date: {
        const QDate date =
            value.typeId() == QMetaType::QDate ? value.toDate() : QDate::fromString(value.toString(), Qt::ISODate);
        return date.isValid() ? date.toString(Qt::ISODate) : value.toString();
    }
    case FigureTable::Type::Text:
        break;
    }
    return value.toString();
}

bool check(const FigureTable& table, store::Error* error)
{
    QString why;
    if (table.columns.isEmpty())
        why = QStringLiteral("it has no columns");
    for (int r = 0; r < table.rows.size() && why.isEmpty(); ++r) {
        if (table.rows.at(r).size() != table.columns.size())
            why = QStringLiteral("row %1 has %2 values for %3 columns")
                      .arg(r + 1)
                      .arg(table.rows.at(r).size())
                      .arg(table.columns.size());
    }
    const bool charted = table.chartPlace != FigureTable::ChartPlace::None;
    if (charted && why.isEmpty()) {
        if (table.chartCategory < 0 || table.chartCategory >= table.columns.size() || table.chartValues.isEmpty())
            why = QStringLiteral("its graph names no column of categories or of values");
        for (int c : table.chartValues) {
            if (c < 0 || c >= table.columns.size() || table.columns.at(c).type != FigureTable::Type::Number)
                why = QStringLiteral("its graph shows a column that holds no numbers");
        }
    }
    if (!why.isEmpty() && error)
        *error = store::Error::make(store::Error::Kind::Refused,
                                    QStringLiteral("The figures \"%1\" cannot be shown: %2.").arg(table.title, why));
    return why.isEmpty();
}

ChartData chartOf(const FigureTable& table)
{
    ChartData data;
    data.kind = table.chartKind;
    data.categoryHeading = table.columns.at(table.chartCategory).caption;
    for (int c : table.chartValues)
        data.series << table.columns.at(c).caption;
    for (const QList<QVariant>& row : table.rows) {
        ChartSlice slice;
        slice.label = stored(table.columns.at(table.chartCategory), row.at(table.chartCategory));
        if (table.columns.at(table.chartCategory).type == FigureTable::Type::Date)
            slice.label = reportDate(QDate::fromString(slice.label, Qt::ISODate));
        // A cell without a number (empty, or a word such as "no stop") is no
        // point of the graph: a gap in a line, no bar; never a zero.
        for (int c : table.chartValues) {
            bool ok = false;
            const double value = row.at(c).toDouble(&ok);
            slice.values << (ok && std::isfinite(value) ? value : std::numeric_limits<double>::quiet_NaN());
        }
        slice.value = slice.values.value(0);
        data.slices << slice;
    }
    return data;
}

} // namespace

std::unique_ptr<Report> Report::fromFigures(const FigureTable& table, const QDateTime& printedAt, store::Error* error)
{
    if (!check(table, error))
        return nullptr;
    std::unique_ptr<Report> report = ReportPrivate::make();
    ReportPrivate& d = ReportPrivate::of(*report);
    d.title = table.title;
    d.fileName = table.fileName;
    d.period = table.period;
    d.printedAt = printedAt;
    d.paper = table.landscape ? QSizeF(792, 612) : QSizeF(612, 792);
    TableShape shape;
    for (const FigureTable::Column& column : table.columns) {
        const bool number = column.type == FigureTable::Type::Number;
        const bool date = column.type == FigureTable::Type::Date;
        shape.columns << TableColumn{column.caption, date ? Format::Date : Format::Text, number, 0, date, false};
    }
    shape.chart = table.chartPlace;
    shape.emptyText = QStringLiteral("There are no figures for this period.");
    auto body = std::make_unique<TableBody>(shape, int(table.columns.size()));
    for (const QList<QVariant>& row : table.rows) {
        QStringList texts;
        for (int c = 0; c < table.columns.size(); ++c)
            texts << stored(table.columns.at(c), row.at(c));
        body->takeRow(texts);
    }
    d.body = std::move(body);
    if (table.chartPlace != FigureTable::ChartPlace::None && !table.rows.isEmpty())
        d.chart = chartOf(table);
    d.startBody();
    return report;
}

} // namespace reports
