#include "ReSize.h"

#include <QEvent>
#include <QWidget>

#include <cmath>

namespace ui {

ReSize::ReSize(QWidget* canvas, QSize designSize) : QObject(canvas), m_canvas(canvas), m_design(designSize)
{
    setObjectName(QStringLiteral("ReSize1"));
    canvas->installEventFilter(this);
}

void ReSize::remember(QWidget* child, double sx, double sy)
{
    // A control made after the form was resized is taken back to design scale.
    const QRect now = child->geometry();
    m_designRects.insert(
        child, QRect(qRound(now.x() / sx), qRound(now.y() / sy), qRound(now.width() / sx), qRound(now.height() / sy)));
    m_designFonts.insert(child, child->font());
    connect(child, &QObject::destroyed, this, [this, child] {
        m_designRects.remove(child);
        m_designFonts.remove(child);
    });
}

void ReSize::apply()
{
    if (m_design.isEmpty())
        return;
    const double sx = double(m_canvas->width()) / m_design.width();
    const double sy = double(m_canvas->height()) / m_design.height();
    if (sx <= 0 || sy <= 0)
        return;
    // Only direct children of frames and of the canvas are placed by hand;
    // children of other widgets (a combo box's view, a spin box's edit) are theirs.
    const auto children = m_canvas->findChildren<QWidget*>();
    for (QWidget* child : children) {
        QWidget* parent = child->parentWidget();
        if (child->isWindow() || parent == nullptr || parent->property("stopwellPlaced").toBool() == false)
            continue;
        if (!m_designRects.contains(child))
            remember(child, m_lastX, m_lastY);
    }
    for (auto it = m_designRects.constBegin(); it != m_designRects.constEnd(); ++it) {
        const QRect& r = it.value();
        const int left = int(std::lround(r.x() * sx));
        const int top = int(std::lround(r.y() * sy));
        const int right = int(std::lround((r.x() + r.width()) * sx));
        const int bottom = int(std::lround((r.y() + r.height()) * sy));
        it.key()->setGeometry(left, top, right - left, bottom - top);
    }
    // Letters do not shrink in exact proportion (their sizes round to whole
    // pixels): a little smaller still, every text keeps fitting its control.
    auto lettering = [](double x, double y) { return std::min(x, y) >= 1.0 ? 1.0 : std::min(x, y) * 0.92; };
    const double letters = lettering(sx, sy);
    if (letters != lettering(m_lastX, m_lastY)) {
        for (auto it = m_designFonts.constBegin(); it != m_designFonts.constEnd(); ++it) {
            QFont font = it.value();
            if (font.pointSizeF() > 0)
                font.setPointSizeF(std::max(5.0, font.pointSizeF() * letters));
            else if (font.pixelSize() > 0)
                font.setPixelSize(std::max(7, int(std::lround(font.pixelSize() * letters))));
            it.key()->setFont(font);
        }
    }
    m_lastX = sx;
    m_lastY = sy;
}

bool ReSize::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_canvas && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

} // namespace ui
