#include "CallLabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace calls {

CallLabel::CallLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
}

qreal CallLabel::layOut(QTextLayout& layout) const
{
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setFont(font());
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(contentsRect().width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

int CallLabel::textHeight() const
{
    QTextLayout layout(text());
    return int(std::ceil(layOut(layout)));
}

void CallLabel::paintEvent(QPaintEvent*)
{
    QTextLayout layout(text());
    const qreal height = layOut(layout);
    const QRect area = contentsRect();
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    // One or two lines, centred on the row like the option button beside them.
    layout.draw(&painter, QPointF(area.left(), area.top() + qMax<qreal>(0, (area.height() - height) / 2)));
}

void CallLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void CallLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and a release over the text, as with a button.
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

} // namespace calls
