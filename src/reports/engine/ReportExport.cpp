// A report written out: onto a paged device (printer or PDF) page after page,
// and its rows as CSV.
#include "Report.h"
#include "ReportRows.h"

#include "store/Database.h"
#include "store/LargeBuffers.h"

#include <QDir>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextStream>

#include <sqlite3.h>

namespace reports {
namespace {

QString csvField(QString text)
{
    if (text.contains(QLatin1Char('"')) || text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('\n')) ||
        text.contains(QLatin1Char('\r')) || text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '))) {
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

QString csvValue(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (value.typeId() == QMetaType::Double) {
        const double n = value.toDouble();
        return n == qint64(n) ? QString::number(qint64(n)) : QString::number(n, 'g', 15);
    }
    return value.toString();
}

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

bool Report::paintAll(QPainter& painter, QPagedPaintDevice& device, QString* error) const
{
    QString why;
    std::shared_ptr<store::Database> db;
    if (!m_def.isRecordLayout() && !m_def.chart) {
        store::Error opened;
        db = store::Database::open(m_databasePath, &opened);
        if (!db) {
            if (error)
                *error = opened.text();
            return false;
        }
    }
    // One reader for all pages: the rows are read once, in order.
    RowReader rows(*this, db.get());
    TextCache texts;
    for (int i = 0; i < pageCount(); ++i) {
        if (i > 0 && !device.newPage()) {
            if (error)
                *error = QStringLiteral("the output stopped after page %1").arg(i);
            return false;
        }
        paintPage(painter, i, &rows, &texts);
    }
    return true;
}

bool Report::writePdf(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("\"%1\" cannot be written: %2").arg(shownPath(path), file.errorString());
        return false;
    }
    bool painted = false;
    QString why;
    // The PDF writer builds each page in a buffer it frees at the next page:
    // handed back to the system and asked for again, it costs more than drawing.
    store::reuseLargeBuffers();
    {
        // Pages go to the file one by one as they are drawn; none is kept.
        QPdfWriter writer(&file);
        writer.setTitle(m_def.title);
        writer.setCreator(QStringLiteral("Tarrowby Stopwell"));
        writer.setPageSize(QPageSize(pageSize(), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(1200);
        QPainter painter;
        if (painter.begin(&writer)) {
            painted = paintAll(painter, writer, &why);
            painter.end();
        } else {
            why = QStringLiteral("the PDF could not be started");
        }
    }
    if (!painted) {
        file.cancelWriting();
        if (error)
            *error = QStringLiteral("\"%1\" cannot be written: %2").arg(shownPath(path), why);
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("\"%1\" cannot be written: %2").arg(shownPath(path), file.errorString());
        return false;
    }
    return true;
}

bool Report::writeCsv(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("\"%1\" cannot be written: %2").arg(shownPath(path), file.errorString());
        return false;
    }
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    auto line = [&](const QStringList& cells) {
        QStringList quoted;
        for (const QString& cell : cells)
            quoted << csvField(cell);
        out << quoted.join(QLatin1Char(',')) << "\r\n";
    };
    QString why;
    bool ok = true;
    if (m_chart) {
        line({m_chart->definition.categoryHeading.isEmpty() ? m_chart->definition.category
                                                            : m_chart->definition.categoryHeading,
              m_chart->definition.valueHeading.isEmpty() ? QStringLiteral("Calls") : m_chart->definition.valueHeading});
        for (const ChartSlice& slice : m_chart->slices)
            line({slice.label, csvValue(slice.value)});
    } else if (m_def.isRecordLayout()) {
        // One row per record: every field its lines show, as stored.
        QStringList names;
        for (const RecordLine& r : m_def.record) {
            for (int n = r.from; n <= r.to; ++n) {
                for (QString name : {r.field, r.beside}) {
                    name.replace(QStringLiteral("%1"), QString::number(n));
                    if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
                        names << name;
                }
            }
        }
        line(names);
        store::Error opened;
        auto db = store::Database::open(m_databasePath, &opened);
        ok = db != nullptr;
        if (!ok)
            why = opened.text();
        QStringList columns;
        for (const QString& name : std::as_const(names))
            columns << store::Database::quoted(name);
        for (qsizetype at = 0; ok && at < m_ids.size(); at += 500) {
            QStringList list;
            for (qint64 id : m_ids.mid(at, 500))
                list << QString::number(id);
            QHash<qint64, QStringList> rows;
            ok = forEachRow(
                *db,
                QStringLiteral("SELECT rowid, ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                    store::Database::quoted(m_def.table) + QStringLiteral(" WHERE rowid IN (") +
                    list.join(QLatin1Char(',')) + QLatin1Char(')'),
                [&](sqlite3_stmt* row) {
                    QStringList cells;
                    for (int i = 0; i < names.size(); ++i)
                        cells << csvValue(columnValue(row, 1 + i));
                    rows.insert(sqlite3_column_int64(row, 0), cells);
                },
                &why);
            for (qint64 id : m_ids.mid(at, 500))
                line(rows.value(id));
        }
    } else {
        QStringList headings;
        for (const Column& column : m_def.columns)
            headings << (column.heading.isEmpty() ? column.field : column.heading);
        line(headings);
        store::Error opened;
        auto db = store::Database::open(m_databasePath, &opened);
        ok = db != nullptr;
        if (!ok)
            why = opened.text();
        RowReader reader(*this, db.get());
        for (qint64 at = 0; ok && at < m_recordCount; at += 500) {
            const QList<QList<QVariant>> rows = reader.rows(at, 500);
            for (const QList<QVariant>& values : rows) {
                QStringList cells;
                for (int c = 0; c < m_def.columns.size(); ++c) {
                    const QVariant v = values.value(c);
                    cells << (m_columnTypes.value(c) == store::FieldType::Date ? v.toString().left(10) : csvValue(v));
                }
                line(cells);
            }
        }
    }
    out.flush();
    if (!ok || out.status() != QTextStream::Ok) {
        file.cancelWriting();
        if (error)
            *error = QStringLiteral("\"%1\" cannot be written: %2").arg(shownPath(path), why);
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("\"%1\" cannot be written: %2").arg(shownPath(path), file.errorString());
        return false;
    }
    return true;
}

} // namespace reports
