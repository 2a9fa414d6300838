#include "RaisedBorder.h"

#include "ui/Screen.h"

#include <QEvent>
#include <QPainter>

namespace filter {
namespace {

// Draws the border over the canvas's background, before its controls.
class BorderPainter final : public QObject {
public:
    explicit BorderPainter(ui::Screen* form) : QObject(form->canvas()), m_form(form)
    {
        setObjectName(QStringLiteral("RaisedBorder"));
        form->canvas()->installEventFilter(this);
    }
    int width = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || width <= 0)
            return false;
        auto* canvas = static_cast<QWidget*>(watched);
        // The window may show only the top of its canvas: the border runs along what shows.
        const QPoint origin = canvas->mapFrom(m_form, QPoint(0, 0));
        const QRect shown = QRect(origin, m_form->size()) & canvas->rect();
        QPainter painter(canvas);
        const int left = shown.left();
        const int top = shown.top();
        const int right = shown.right();
        const int bottom = shown.bottom();
        for (int k = 0; k < width; ++k) {
            painter.setPen(QColor(128, 128, 128));
            painter.drawLine(left + k, bottom - k, right - k, bottom - k);
            painter.drawLine(right - k, top + k, right - k, bottom - k);
            painter.setPen(Qt::white);
            painter.drawLine(left + k, top + k, right - k - 1, top + k);
            painter.drawLine(left + k, top + k, left + k, bottom - k - 1);
        }
        return false;
    }

private:
    ui::Screen* m_form;
};

BorderPainter* painterOf(const ui::Screen* form)
{
    return form->canvas()->findChild<BorderPainter*>(QStringLiteral("RaisedBorder"), Qt::FindDirectChildrenOnly);
}

} // namespace

void PaintRaisedBorder(ui::Screen* form, int width)
{
    if (form->isMinimized())
        return;
    const QColor grey(kRaisedGrey, kRaisedGrey, kRaisedGrey);
    if (form->palette().color(QPalette::Window) != grey) {
        QPalette palette = form->palette();
        palette.setColor(QPalette::Window, grey);
        form->setPalette(palette);
        form->setAutoFillBackground(true);
    }
    BorderPainter* painter = painterOf(form);
    if (!painter)
        painter = new BorderPainter(form);
    painter->width = width >= 1 && width <= 20 ? width : 0;
    form->canvas()->update();
}

int raisedBorderWidth(const ui::Screen* form)
{
    const BorderPainter* painter = painterOf(form);
    return painter ? painter->width : 0;
}

} // namespace filter
