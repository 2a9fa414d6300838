// A record layout: for each record its lines, each text wrapped within its
// column, and the pages they fill (a heading never ends a page).
#include "RecordBody.h"

#include <QDate>
#include <QLocale>

namespace reports {
namespace {

QString expand(const QString& pattern, int n)
{
    QString result = pattern;
    return result.replace(QStringLiteral("%1"), QString::number(n));
}

} // namespace

RecordBody::RecordBody(const ReportDefinition& definition, QStringList fields, QList<bool> isDate, QList<bool> isNumber)
    : m_def(definition), m_fields(std::move(fields)), m_isDate(std::move(isDate)), m_isNumber(std::move(isNumber)),
      m_rows(int(m_fields.size()))
{
}

void RecordBody::take(const RowChunk& chunk)
{
    if (chunk.error)
        m_failure = chunk.error;
    m_rows.append(chunk);
}

QString RecordBody::value(qint64 row, const QString& field, Format format) const
{
    const qsizetype column = m_fields.indexOf(field);
    if (column < 0)
        return {};
    const QString& stored = m_rows.text(int(column), row);
    if (stored.isNull())
        return {};
    const QDate date = QDate::fromString(stored.left(10), Qt::ISODate);
    if ((format == Format::Date || format == Format::DayDate || m_isDate.value(column)) && date.isValid()) {
        if (format == Format::DayDate)
            return QLocale::c().dayName(date.dayOfWeek()) + QLatin1Char(' ') + reportDate(date);
        return reportDate(date);
    }
    if (format == Format::Number || m_isNumber.value(column)) {
        bool ok = false;
        const double n = stored.toDouble(&ok);
        if (ok)
            return numberText(n);
    }
    return cleanText(stored).trimmed();
}

double RecordBody::besideAt() const
{
    return m_frame.left() + (m_def.besideAt > 0 ? m_def.besideAt : m_frame.width() * 2 / 3);
}

// A line, its texts wrapped in their columns: as many lines as the longest needs.
void RecordBody::addWrapped(Line line, bool beside)
{
    const Typesetter& type = Typesetter::instance();
    const double labelRight = m_frame.left() + m_def.labelWidth;
    const bool heading = line.kind == Line::Kind::Heading;
    const Face face = heading ? Face::Heading : Face::Body;
    const double textLeft = heading ? m_frame.left() + 3 : labelRight;
    const double textRight = beside || heading ? besideAt() - 6 : m_frame.right();
    const QStringList labels = heading ? QStringList() : type.wrap(Face::Bold, line.label, m_def.labelWidth - 6);
    const QStringList texts = type.wrap(face, line.text, textRight - textLeft);
    const QStringList besides = type.wrap(face, line.beside, m_frame.right() - besideAt());
    const qsizetype count = std::max({labels.size(), texts.size(), besides.size(), qsizetype(1)});
    for (qsizetype i = 0; i < count; ++i) {
        Line part = line;
        part.label = labels.value(i);
        part.text = texts.value(i);
        part.beside = besides.value(i);
        if (i > 0) {
            part.kind = Line::Kind::Text;
            part.units = 2;
        }
        part.keepWithNext = line.keepWithNext || (heading && i + 1 < count);
        m_lines << part;
    }
}

void RecordBody::addLine(const RecordLine& shape, int n, qint64 row)
{
    const bool repeated = shape.from != 0 || shape.to != 0;
    const QString field = shape.field.isEmpty() ? QString() : expand(shape.field, n);
    const QString besideField = shape.beside.isEmpty() ? QString() : expand(shape.beside, n);
    Line line;
    line.label = repeated ? expand(shape.text, n) : shape.text;
    if (!field.isEmpty())
        line.text = value(row, field, shape.format);
    line.beside = besideField.isEmpty() ? shape.besideText : value(row, besideField, Format::Text);
    if (shape.skipEmpty && (!field.isEmpty() || !besideField.isEmpty()) && line.text.isEmpty() &&
        (besideField.isEmpty() || line.beside.isEmpty()))
        return;
    if (shape.heading) {
        line.kind = Line::Kind::Heading;
        line.units = 4;
        line.keepWithNext = true;
        if (line.text.isEmpty())
            line.text = line.label;
        else if (!line.label.isEmpty())
            line.text = line.label + QStringLiteral("  ") + line.text;
    }
    addWrapped(line, !besideField.isEmpty() || !shape.besideText.isEmpty());
}

void RecordBody::addRecord(qint64 row)
{
    for (const RecordLine& shape : std::as_const(m_def.record)) {
        for (int n = shape.from; n <= shape.to; ++n)
            addLine(shape, n, row);
    }
}

void RecordBody::start(const PageFrame& frame)
{
    m_frame = frame;
    m_lines.clear();
    for (qint64 row = 0; row < m_rows.size(); ++row)
        addRecord(row);
    if (m_rows.size() == 0) {
        m_lines << Line{Line::Kind::NoRecords, {}, {}, {}, 3, false};
    } else if (!m_def.totalLabel.isEmpty()) {
        m_lines << Line{
            Line::Kind::Total, {}, QStringLiteral("Total: ") + counted(m_rows.size(), m_def.totalLabel), {}, 4, false};
    }
    paginate();
}

void RecordBody::paginate()
{
    m_pageStarts.clear();
    const int capacity = m_frame.unitsFrom(m_frame.top);
    int used = 0;
    for (int i = 0; i < m_lines.size(); ++i) {
        // A heading goes over with the lines it keeps with.
        int need = 0;
        for (int j = i; j < m_lines.size(); ++j) {
            need += m_lines.at(j).units;
            if (!m_lines.at(j).keepWithNext || need > capacity)
                break;
        }
        if (m_pageStarts.isEmpty() || (used > 0 && used + std::min(need, capacity) > capacity)) {
            m_pageStarts << i;
            used = 0;
        }
        used += m_lines.at(i).units;
    }
    if (m_pageStarts.isEmpty())
        m_pageStarts << 0;
}

void RecordBody::drawLine(const Line& line, double y, PageContent& content) const
{
    const double left = m_frame.left();
    const double beside = besideAt();
    const double base = y + line.units * PageFrame::kUnit - 3;
    // Only what is there: a line's empty parts are no cells of its text.
    auto put = [&](Face face, double x, double baseline, double width, const QString& text) {
        if (!text.isEmpty())
            content.text(face, x, baseline, width, text);
    };
    switch (line.kind) {
    case Line::Kind::Heading:
        content.shades << QRectF(left, y + 9, m_frame.width(), 14);
        content.text(Face::Heading, left + 3, base - 2, beside - left - 6, line.text);
        content.texts.last().heading = true;
        put(Face::Heading, beside, base - 2, m_frame.right() - beside, line.beside);
        break;
    case Line::Kind::Text: {
        const double labelRight = left + m_def.labelWidth;
        put(Face::Bold, left, base, m_def.labelWidth - 6, line.label);
        const double textRight = line.beside.isEmpty() ? m_frame.right() : beside - 6;
        put(Face::Body, labelRight, base, textRight - labelRight, line.text);
        put(Face::Body, beside, base, m_frame.right() - beside, line.beside);
        break;
    }
    case Line::Kind::Total:
        content.text(Face::Bold, left, base, m_frame.width(), line.text);
        break;
    case Line::Kind::NoRecords:
        content.text(Face::Notice, left, base, m_frame.width(),
                     QStringLiteral("There are no records for this selection."));
        break;
    }
}

void RecordBody::page(int index, PageContent& content) const
{
    if (index < 0 || index >= m_pageStarts.size())
        return;
    const int first = m_pageStarts.at(index);
    const int last = index + 1 < m_pageStarts.size() ? m_pageStarts.at(index + 1) : int(m_lines.size());
    double y = m_frame.top;
    for (int i = first; i < last; ++i) {
        drawLine(m_lines.at(i), y, content);
        y += m_lines.at(i).units * PageFrame::kUnit;
    }
}

// One row per record: every field its lines show, as stored.
bool RecordBody::csv(const std::function<void(const QStringList&)>& line) const
{
    line(m_fields);
    for (qint64 row = 0; row < m_rows.size(); ++row) {
        QStringList cells;
        for (int c = 0; c < m_fields.size(); ++c) {
            const QString& stored = m_rows.text(c, row);
            cells << (m_isDate.value(c) ? stored.left(10) : stored);
        }
        line(cells);
    }
    return true;
}

} // namespace reports
