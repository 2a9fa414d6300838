#include "PageContent.h"

#include "ChartDrawing.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace reports {
namespace {

const QColor kInk(0x20, 0x20, 0x20);
const QColor kFaint(0x70, 0x70, 0x70);
const QColor kRule(0x90, 0x90, 0x90);
const QColor kShade(0xEE, 0xEE, 0xEE);
constexpr qsizetype kGeneration = 3000;

} // namespace

QStringList PageContent::lines() const
{
    QList<const DrawnText*> order;
    for (const DrawnText& t : texts)
        order << &t;
    // The graph stands where it is drawn, as one line.
    const DrawnText graph{Face::Body, chart.left(), chart.top(), chart.width(), QStringLiteral("[graph]")};
    if (!chart.isEmpty())
        order << &graph;
    std::stable_sort(order.begin(), order.end(), [](const DrawnText* a, const DrawnText* b) {
        if (std::abs(a->baseline - b->baseline) > 0.01)
            return a->baseline < b->baseline;
        return a->x < b->x;
    });
    QStringList out;
    QStringList cells;
    bool shown = false;
    double baseline = -1;
    bool heading = false;
    auto flush = [&] {
        if (shown) // a line of blank cells alone is no line
            out << (heading ? QStringLiteral("== ") : QString()) + cells.join(QStringLiteral(" | "));
        cells.clear();
        shown = false;
    };
    for (const DrawnText* t : std::as_const(order)) {
        if (std::abs(t->baseline - baseline) > 0.01) {
            flush();
            baseline = t->baseline;
            heading = t->heading;
        }
        cells << t->text;
        shown = shown || !t->text.trimmed().isEmpty();
    }
    flush();
    return out;
}

const PagePainter::Shaped& PagePainter::shaped(Face face, const QString& text)
{
    const QString key = QString::number(int(face)) + QChar(0x1F) + text;
    auto it = m_young.constFind(key);
    if (it != m_young.constEnd())
        return *it;
    Shaped entry;
    auto aged = m_old.constFind(key);
    if (aged != m_old.constEnd())
        entry = *aged;
    else
        entry.run = Typesetter::instance().glyphs(face, text, &entry.width);
    if (m_young.size() >= kGeneration) {
        m_old = std::move(m_young);
        m_young.clear();
    }
    return *m_young.insert(key, entry);
}

void PagePainter::drawText(const DrawnText& item)
{
    // Nothing to see (a mechanic not ticked is stored as one blank): nothing drawn.
    if (item.text.trimmed().isEmpty())
        return;
    const Shaped& s = shaped(item.face, item.text);
    const double x = item.right ? item.x + item.width - s.width : item.x;
    m_painter.setPen(item.faint ? kFaint : kInk);
    if (!s.run.isEmpty()) {
        m_painter.drawGlyphRun(QPointF(x, item.baseline), s.run);
        return;
    }
    // A text the report's font has no glyphs for: Qt finds a font that has them.
    QFont font = Typesetter::instance().font(item.face);
    font.setPointSizeF(font.pointSizeF() * 72.0 / m_painter.device()->logicalDpiY());
    m_painter.setFont(font);
    m_painter.drawText(QPointF(x, item.baseline), item.text);
}

void PagePainter::draw(const PageContent& page, const ChartData* chart)
{
    QPaintDevice* device = m_painter.device();
    m_painter.save();
    // One unit is one point, whatever the device's resolution.
    m_painter.scale(device->logicalDpiX() / 72.0, device->logicalDpiY() / 72.0);
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(kShade);
    for (const QRectF& shade : page.shades)
        m_painter.drawRect(shade);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.setPen(QPen(kRule, 0.5));
    for (const QLineF& rule : page.rules)
        m_painter.drawLine(rule);
    if (chart && !page.chart.isEmpty()) {
        m_painter.save();
        drawChart(m_painter, page.chart, *chart);
        m_painter.restore();
    }
    for (const DrawnText& text : page.texts)
        drawText(text);
    m_painter.restore();
}

} // namespace reports
