// Pages of a report: where each page starts, and drawing one page.
//
// Everything is measured in points (1/72 inch) from the paper's top left
// corner, and vertically in half lines of 6 points: a row is 2, a group's
// heading or footing 3. A tabular report's pages follow from the number of
// rows in each group alone, so a report of a million calls is paged without
// reading one of them; a page reads its own rows when it is drawn.
#include "Report.h"
#include "ReportRows.h"

#include "store/Database.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRawFont>

#include <cmath>

namespace reports {

ChartPainter& currentChartPainter();

namespace {

constexpr double kMargin = 36;
constexpr double kUnit = 6;
constexpr double kBodyFont = 8.5;

enum Phase { kHeader = 0, kRows = 1, kFooter = 2, kTotal = 3, kEnd = 4, kNoRecords = 5 };

const QString kNoRecordsText = QStringLiteral("There are no records for this selection.");

// Text widths as a PDF or a printer sets them (unhinted, 1200 dots per inch),
// in points: record layouts wrap their long texts with these.
class Measure {
public:
    explicit Measure(const QFont& font) : m_image(1, 1, QImage::Format_Mono)
    {
        m_image.setDotsPerMeterX(47244);
        m_image.setDotsPerMeterY(47244);
        m_metrics.emplace(font, &m_image);
    }
    double width(const QString& text) const { return m_metrics->horizontalAdvance(text) * 72.0 / 1200.0; }

private:
    QImage m_image;
    std::optional<QFontMetricsF> m_metrics;
};

QStringList wrap(const QString& text, double width, const Measure& measure)
{
    QStringList lines;
    const QStringList paragraphs = QString(text).replace(QLatin1Char('\r'), QString()).split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (measure.width(candidate) <= width) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            // A word wider than the column is cut where it must be.
            QString rest = word;
            while (measure.width(rest) > width && rest.size() > 1) {
                qsizetype fit = rest.size() - 1;
                while (fit > 1 && measure.width(rest.left(fit)) > width)
                    --fit;
                lines << rest.left(fit);
                rest = rest.mid(fit);
            }
            line = rest;
        }
        lines << line;
    }
    while (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

struct Geometry {
    double width;
    double height;
    double left() const { return kMargin; }
    double right() const { return width - kMargin; }
    double bodyWidth() const { return width - 2 * kMargin; }
    double bodyBottom() const { return height - kMargin - 20; }
};

// Text drawn at a baseline, elided to a width.
class TextPen {
public:
    TextPen(QPainter& painter, Report::TextCache& cache) : m_painter(painter), m_cache(cache) {}
    void setFont(const QFont& font)
    {
        m_painter.setFont(font);
        // The font at the device's resolution: its sizes are points (see fontScale).
        const QFont resolved(m_painter.font(), m_painter.device());
        m_metrics.emplace(resolved, m_painter.device());
        m_raw = QRawFont::fromFont(resolved);
        m_entries = &m_cache.byFont[resolved.key()];
    }
    void draw(double x, double baseline, double width, const QString& text, bool right = false)
    {
        // Nothing to see (a mechanic not ticked is stored as one blank): nothing drawn.
        if (text.isEmpty() || (text.front().isSpace() && text.trimmed().isEmpty()))
            return;
        const QString key = text + QChar(0x1F) + QString::number(width);
        Report::TextCache::Entry* it = Report::TextCache::find(*m_entries, key);
        if (!it) {
            Report::TextCache::Entry entry;
            entry.run = glyphs(text, &entry.width);
            if (entry.width > width) {
                const QString shown = m_metrics->elidedText(text, Qt::ElideRight, width);
                entry.run = glyphs(shown, &entry.width);
            }
            it = Report::TextCache::add(*m_entries, key, entry);
        }
        if (it->run.isEmpty()) // a font without a glyph table: Qt lays the text out
            m_painter.drawText(QPointF(right ? x + width - it->width : x, baseline), text);
        else
            m_painter.drawGlyphRun(QPointF(right ? x + width - it->width : x, baseline), it->run);
    }

private:
    // The glyphs of a table cell straight from the font: cells hold names,
    // calls and numbers, which need no shaping beyond one glyph per character.
    QGlyphRun glyphs(const QString& text, double* width) const
    {
        QGlyphRun run;
        if (!m_raw.isValid()) {
            *width = m_metrics->horizontalAdvance(text);
            return run;
        }
        QList<quint32> indexes = m_raw.glyphIndexesForString(text);
        // A character the font lacks (Chinese in a note) is left to Qt, which finds another font.
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            if (indexes.at(i) == 0 && !text.at(i).isSpace()) {
                *width = m_metrics->horizontalAdvance(text);
                return run;
            }
        }
        const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(indexes);
        QList<QPointF> positions;
        positions.reserve(indexes.size());
        double x = 0;
        for (const QPointF& advance : advances) {
            positions << QPointF(x, 0);
            x += advance.x();
        }
        run.setRawFont(m_raw);
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        *width = x;
        return run;
    }

    QPainter& m_painter;
    Report::TextCache& m_cache;
    std::optional<QFontMetricsF> m_metrics;
    QRawFont m_raw;
    Report::TextCache::Generations* m_entries = nullptr;
};

} // namespace

QSizeF Report::pageSize() const
{
    const QSizeF paper = m_def.a4 ? QSizeF(595.28, 841.89) : QSizeF(612, 792);
    return m_def.landscape ? paper.transposed() : paper;
}

int Report::pageCount() const
{
    return int(m_def.isRecordLayout() || m_def.chart ? m_linePages.size() : m_tabPages.size());
}

double Report::bodyTop() const
{
    return m_def.columns.isEmpty() ? 78 : 92;
}

int Report::bodyUnits() const
{
    const Geometry g{pageSize().width(), pageSize().height()};
    return int(std::floor((g.bodyBottom() - bodyTop()) / kUnit));
}

QFont Report::font(double points, bool bold) const
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void Report::paginate()
{
    if (m_def.isRecordLayout() || m_def.chart)
        paginateLines();
    else
        paginateTabular();
}

// ---- Tabular pages -------------------------------------------------------------------------

Report::TabPos Report::fillPage(TabPos pos, std::vector<Band>* bands) const
{
    const int cap = bodyUnits();
    const bool grouped = m_def.group.has_value();
    int used = 0;
    auto put = [&](Band::Kind kind, int run, qint64 first = 0, qint64 count = 0) {
        if (bands)
            bands->push_back(Band{kind, run, first, count});
    };
    if (pos.phase == kNoRecords) {
        put(Band::Kind::NoRecords, 0);
        return TabPos{0, kEnd, 0};
    }
    if (grouped && (pos.phase == kRows || pos.phase == kFooter) && pos.run < m_runs.size()) {
        put(Band::Kind::Continued, pos.run);
        used += 2;
    }
    while (pos.phase != kEnd) {
        if (pos.run >= m_runs.size() && pos.phase < kTotal)
            pos = TabPos{int(m_runs.size()), kTotal, 0};
        switch (pos.phase) {
        case kHeader:
            if (grouped) {
                // A heading never stands alone at the foot of a page.
                if (used > 0 && used + 3 + 2 > cap)
                    return pos;
                put(Band::Kind::GroupHeader, pos.run);
                used += 3;
            }
            pos.phase = kRows;
            pos.offset = 0;
            break;
        case kRows: {
            const Run& run = m_runs.at(pos.run);
            const qint64 fit = (cap - used) / 2;
            if (fit <= 0)
                return pos;
            const qint64 take = std::min(fit, run.count - pos.offset);
            put(Band::Kind::Rows, pos.run, run.start + pos.offset, take);
            used += int(take * 2);
            pos.offset += take;
            if (pos.offset < run.count)
                return pos;
            pos.phase = kFooter;
            break;
        }
        case kFooter:
            if (grouped) {
                if (used + 3 > cap)
                    return pos;
                put(Band::Kind::GroupFooter, pos.run);
                used += 3;
            }
            pos = TabPos{pos.run + 1, kHeader, 0};
            break;
        case kTotal:
            if (used > 0 && used + 3 > cap)
                return pos;
            put(Band::Kind::Total, 0);
            return TabPos{pos.run, kEnd, 0};
        default:
            return TabPos{0, kEnd, 0};
        }
    }
    return pos;
}

void Report::paginateTabular()
{
    m_tabPages.clear();
    TabPos pos = m_recordCount == 0 ? TabPos{0, kNoRecords, 0} : TabPos{0, kHeader, 0};
    while (pos.phase != kEnd) {
        m_tabPages.append(pos);
        const TabPos next = fillPage(pos, nullptr);
        if (next == pos)
            break; // nothing fits: never loop
        pos = next;
    }
}

std::vector<Report::Band> Report::pageBands(int index) const
{
    std::vector<Band> bands;
    if (index >= 0 && index < m_tabPages.size())
        fillPage(m_tabPages.at(index), &bands);
    return bands;
}

// ---- Record layouts and graphs -------------------------------------------------------------

void Report::measureLines()
{
    const Geometry g{pageSize().width(), pageSize().height()};
    const double besideAt = m_def.besideAt > 0 ? m_def.besideAt : g.bodyWidth() * 2 / 3;
    const Measure measure(font(kBodyFont));
    QList<Line> measured;
    for (const Line& line : std::as_const(m_lines)) {
        if (line.units >= 0) {
            measured << line;
            continue;
        }
        const double right = line.beside.isEmpty() ? g.bodyWidth() : besideAt - 6;
        const double width = (right - m_def.labelWidth) * 0.97;
        const QStringList parts = wrap(line.text, width, measure);
        for (int i = 0; i < parts.size(); ++i) {
            Line part = line;
            part.units = 2;
            part.text = parts.at(i);
            if (i > 0) {
                part.label.clear();
                part.beside.clear();
            }
            measured << part;
        }
    }
    m_lines = measured;
}

void Report::paginateLines()
{
    measureLines();
    m_linePages.clear();
    const int cap = bodyUnits();
    int used = 0;
    for (int i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines.at(i);
        int need = line.units;
        if (line.keepWithNext && i + 1 < m_lines.size())
            need += m_lines.at(i + 1).units;
        if (m_linePages.isEmpty() || (used > 0 && used + need > cap)) {
            m_linePages << i;
            used = 0;
        }
        used += line.units;
    }
    if (m_linePages.isEmpty())
        m_linePages << 0;
}

// ---- Drawing -------------------------------------------------------------------------------

void Report::paintPage(QPainter& painter, int index) const
{
    store::Error ignored;
    auto db = m_def.isRecordLayout() || m_def.chart ? nullptr : store::Database::open(m_databasePath, &ignored);
    RowReader rows(*this, db.get());
    paintPage(painter, index, &rows, nullptr);
}

void Report::paintPage(QPainter& painter, int index, RowReader* reader, TextCache* texts) const
{
    const Geometry g{pageSize().width(), pageSize().height()};
    const double dpi = painter.device()->logicalDpiY();
    const double scale = painter.device()->logicalDpiX() / 72.0;
    const double fontScale = 72.0 / dpi;
    auto pointFont = [&](double points, bool bold = false, bool italic = false) {
        QFont f = font(points * fontScale, bold);
        f.setItalic(italic);
        return f;
    };

    painter.save();
    painter.scale(scale, painter.device()->logicalDpiY() / 72.0);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    TextCache local;
    // Fonts are sized so that the device's metrics are points.
    TextPen pen(painter, texts ? *texts : local);
    const QColor ink(0x20, 0x20, 0x20);
    const QColor faint(0x70, 0x70, 0x70);
    const QPen rule(QColor(0x90, 0x90, 0x90), 0.5);
    painter.setPen(ink);

    // Heading: title and print date on every page.
    pen.setFont(pointFont(14, true));
    pen.draw(g.left(), kMargin + 15, g.bodyWidth() - 170, m_def.title);
    pen.setFont(pointFont(8));
    painter.setPen(faint);
    pen.draw(g.right() - 170, kMargin + 15, 170, QStringLiteral("Printed ") + reportMoment(m_printedAt), true);
    QString subtitle = m_def.pageHeading;
    if (!m_selectionShown.isEmpty())
        subtitle += (subtitle.isEmpty() ? QString() : QStringLiteral("    ")) + QStringLiteral("Selection: ") +
                    m_selectionShown;
    pen.draw(g.left(), kMargin + 31, g.bodyWidth(), subtitle);
    painter.setPen(rule);
    painter.drawLine(QPointF(g.left(), kMargin + 36), QPointF(g.right(), kMargin + 36));

    // Room after a column: more after a number set to the right, so that it
    // does not run into the text of the next column.
    auto gap = [this](int c) { return m_def.columns[c].alignRight ? 8.0 : 4.0; };
    // Columns, scaled down together when they are wider than the paper.
    QList<double> xs;
    QList<double> widths;
    if (!m_def.columns.isEmpty()) {
        double total = 0;
        for (const Column& column : m_def.columns)
            total += column.width;
        const double factor = total > g.bodyWidth() ? g.bodyWidth() / total : 1.0;
        double x = g.left();
        for (const Column& column : m_def.columns) {
            xs << x;
            widths << column.width * factor;
            x += column.width * factor;
        }
        painter.setPen(ink);
        pen.setFont(pointFont(kBodyFont, true));
        for (int c = 0; c < m_def.columns.size(); ++c)
            pen.draw(xs[c], kMargin + 49, widths[c] - gap(c), m_def.columns[c].heading, m_def.columns[c].alignRight);
        painter.setPen(rule);
        painter.drawLine(QPointF(g.left(), kMargin + 53), QPointF(g.right(), kMargin + 53));
    }

    double y = bodyTop();
    painter.setPen(ink);
    if (m_def.columns.isEmpty()) {
        // Record layouts and graphs.
        const double besideAt = g.left() + (m_def.besideAt > 0 ? m_def.besideAt : g.bodyWidth() * 2 / 3);
        const int first = m_linePages.value(index, int(m_lines.size()));
        const int last = index + 1 < m_linePages.size() ? m_linePages.at(index + 1) : int(m_lines.size());
        const double labelRight = g.left() + m_def.labelWidth;
        // Graph tables: the category, its value and its share in three columns.
        const double valueRight = g.left() + 380;
        const double shareRight = g.left() + 460;
        for (int i = first; i < last; ++i) {
            const Line& line = m_lines.at(i);
            const double h = line.units * kUnit;
            const double base = y + h - 3;
            switch (line.kind) {
            case Line::Kind::Heading: {
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor(0xEE, 0xEE, 0xEE));
                painter.drawRect(QRectF(g.left(), y + 9, g.bodyWidth(), 14));
                painter.setBrush(Qt::NoBrush);
                painter.setPen(ink);
                pen.setFont(pointFont(10, true));
                const QString text = line.label.isEmpty()  ? line.text
                                     : line.text.isEmpty() ? line.label
                                                           : line.label + QStringLiteral("  ") + line.text;
                pen.draw(g.left() + 3, base - 2, besideAt - g.left() - 6, text);
                pen.draw(besideAt, base - 2, g.right() - besideAt, line.beside);
                break;
            }
            case Line::Kind::Text:
                pen.setFont(pointFont(kBodyFont, true));
                pen.draw(g.left(), base, m_def.labelWidth - 6, line.label);
                pen.setFont(pointFont(kBodyFont));
                pen.draw(labelRight, base, (line.beside.isEmpty() ? g.right() : besideAt - 6) - labelRight, line.text);
                pen.draw(besideAt, base, g.right() - besideAt, line.beside);
                break;
            case Line::Kind::Chart: {
                const QRectF area(g.left(), y + 4, g.bodyWidth(), h - 8);
                if (m_chart && currentChartPainter()) {
                    painter.save();
                    currentChartPainter()(painter, area, *m_chart, fontScale);
                    painter.restore();
                } else {
                    painter.setPen(rule);
                    painter.drawRect(area);
                    painter.setPen(ink);
                }
                break;
            }
            case Line::Kind::TableHeading:
            case Line::Kind::TableRow:
            case Line::Kind::Total: {
                const bool bold = line.kind != Line::Kind::TableRow;
                pen.setFont(pointFont(kBodyFont, bold));
                if (line.kind == Line::Kind::Total && m_chart) {
                    pen.draw(g.left(), base, 300, line.label);
                    pen.draw(valueRight - 80, base, 80, line.text, true);
                } else if (line.kind == Line::Kind::Total) {
                    pen.draw(g.left(), base, g.bodyWidth(), line.text);
                } else {
                    pen.draw(g.left(), base, 300, line.label);
                    pen.draw(valueRight - 80, base, 80, line.text, true);
                    pen.draw(shareRight - 70, base, 70, line.beside, true);
                }
                if (line.kind == Line::Kind::TableHeading) {
                    painter.setPen(rule);
                    painter.drawLine(QPointF(g.left(), y + h), QPointF(shareRight, y + h));
                    painter.setPen(ink);
                }
                break;
            }
            case Line::Kind::NoRecords:
                pen.setFont(pointFont(10, false, true));
                pen.draw(g.left(), base, g.bodyWidth(), kNoRecordsText);
                break;
            }
            y += h;
        }
    } else {
        const std::vector<Band> bands = pageBands(index);
        for (const Band& band : bands) {
            switch (band.kind) {
            case Band::Kind::GroupHeader:
            case Band::Kind::Continued: {
                const double top = band.kind == Band::Kind::GroupHeader ? y + kUnit : y;
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor(0xEE, 0xEE, 0xEE));
                painter.drawRect(QRectF(g.left(), top + 0.5, g.bodyWidth(), 11.5));
                painter.setBrush(Qt::NoBrush);
                painter.setPen(ink);
                pen.setFont(pointFont(9, true));
                QString text = groupLabel(m_runs.at(band.run).key);
                if (band.kind == Band::Kind::Continued)
                    text += QStringLiteral(" (continued)");
                pen.draw(g.left() + 3, top + 9.5, g.bodyWidth() - 6, text);
                y = top + 12;
                break;
            }
            case Band::Kind::Rows: {
                pen.setFont(pointFont(kBodyFont));
                const QList<QList<QVariant>> rows = reader->rows(band.first, band.count);
                for (qint64 r = 0; r < band.count; ++r) {
                    const QList<QVariant> values = rows.value(r);
                    for (int c = 0; c < m_def.columns.size(); ++c)
                        pen.draw(xs[c], y + 9, widths[c] - gap(c), cellText(c, values.value(c)),
                                 m_def.columns[c].alignRight);
                    y += 12;
                }
                break;
            }
            case Band::Kind::GroupFooter:
                pen.setFont(pointFont(kBodyFont, false, true));
                painter.setPen(faint);
                pen.draw(g.left() + 12, y + 9, g.bodyWidth() - 12, footerText(band.run));
                painter.setPen(ink);
                y += 12 + kUnit;
                break;
            case Band::Kind::Total:
                painter.setPen(rule);
                painter.drawLine(QPointF(g.left(), y + 3), QPointF(g.right(), y + 3));
                painter.setPen(ink);
                pen.setFont(pointFont(9, true));
                pen.draw(g.left(), y + kUnit + 9, g.bodyWidth(), totalText());
                y += 12 + kUnit;
                break;
            case Band::Kind::NoRecords:
                pen.setFont(pointFont(10, false, true));
                pen.draw(g.left(), y + kUnit + 10, g.bodyWidth(), kNoRecordsText);
                y += 12 + kUnit;
                break;
            }
        }
    }

    // Footing: the file and "Page N of M" on every page.
    painter.setPen(rule);
    painter.drawLine(QPointF(g.left(), g.height - kMargin - 14), QPointF(g.right(), g.height - kMargin - 14));
    painter.setPen(faint);
    pen.setFont(pointFont(8));
    QString left = m_def.fileName;
    if (!m_def.pageFooting.isEmpty())
        left = m_def.pageFooting + QStringLiteral("    ") + left;
    pen.draw(g.left(), g.height - kMargin - 3, g.bodyWidth() - 120, left);
    pen.draw(g.right() - 120, g.height - kMargin - 3, 120,
             QStringLiteral("Page %1 of %2").arg(index + 1).arg(pageCount()), true);
    painter.restore();
}

QStringList Report::pageText(int index) const
{
    store::Error ignored;
    auto db = m_def.isRecordLayout() || m_def.chart ? nullptr : store::Database::open(m_databasePath, &ignored);
    RowReader rows(*this, db.get());
    return pageText(index, &rows);
}

QStringList Report::pageText(int index, RowReader* reader) const
{
    QStringList out;
    out << m_def.title + QStringLiteral(" | Printed ") + reportMoment(m_printedAt);
    QString subtitle = m_def.pageHeading;
    if (!m_selectionShown.isEmpty())
        subtitle +=
            (subtitle.isEmpty() ? QString() : QStringLiteral(" | ")) + QStringLiteral("Selection: ") + m_selectionShown;
    if (!subtitle.isEmpty())
        out << subtitle;
    if (!m_def.columns.isEmpty()) {
        QStringList headings;
        for (const Column& column : m_def.columns)
            headings << column.heading;
        out << headings.join(QStringLiteral(" | "));
        const std::vector<Band> bands = pageBands(index);
        for (const Band& band : bands) {
            switch (band.kind) {
            case Band::Kind::GroupHeader:
                out << QStringLiteral("== ") + groupLabel(m_runs.at(band.run).key);
                break;
            case Band::Kind::Continued:
                out << QStringLiteral("== ") + groupLabel(m_runs.at(band.run).key) + QStringLiteral(" (continued)");
                break;
            case Band::Kind::Rows: {
                const QList<QList<QVariant>> rows = reader->rows(band.first, band.count);
                for (qint64 r = 0; r < band.count; ++r) {
                    const QList<QVariant> values = rows.value(r);
                    QStringList cells;
                    for (int c = 0; c < m_def.columns.size(); ++c)
                        cells << cellText(c, values.value(c));
                    out << cells.join(QStringLiteral(" | "));
                }
                break;
            }
            case Band::Kind::GroupFooter:
                out << QStringLiteral("   ") + footerText(band.run);
                break;
            case Band::Kind::Total:
                out << totalText();
                break;
            case Band::Kind::NoRecords:
                out << kNoRecordsText;
                break;
            }
        }
    } else {
        const int first = m_linePages.value(index, int(m_lines.size()));
        const int last = index + 1 < m_linePages.size() ? m_linePages.at(index + 1) : int(m_lines.size());
        for (int i = first; i < last; ++i) {
            const Line& line = m_lines.at(i);
            QStringList parts;
            for (const QString& part : {line.label, line.text, line.beside}) {
                if (!part.isEmpty())
                    parts << part;
            }
            switch (line.kind) {
            case Line::Kind::Heading:
                out << QStringLiteral("== ") + parts.join(QStringLiteral(" | "));
                break;
            case Line::Kind::Chart:
                if (m_chart) {
                    out << QStringLiteral("[%1 graph]")
                               .arg(m_chart->definition.kind == Chart::Kind::Pie ? QStringLiteral("pie")
                                                                                 : QStringLiteral("bar"));
                }
                break;
            case Line::Kind::NoRecords:
                out << kNoRecordsText;
                break;
            default:
                out << parts.join(QStringLiteral(" | "));
            }
        }
    }
    out << m_def.fileName + QStringLiteral(" | Page %1 of %2").arg(index + 1).arg(pageCount());
    return out;
}

} // namespace reports
