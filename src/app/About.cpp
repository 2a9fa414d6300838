#include "About.h"

#include "ui/Controls.h"
#include "ui/Forms.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace app {
namespace {

// A bowling pin, drawn rather than shipped as a file.
QPixmap pinPicture()
{
    QPixmap pixmap(64, 96);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath pin;
    pin.moveTo(32, 4);
    pin.cubicTo(44, 4, 44, 26, 38, 34);
    pin.cubicTo(34, 40, 52, 56, 50, 74);
    pin.cubicTo(49, 86, 42, 92, 32, 92);
    pin.cubicTo(22, 92, 15, 86, 14, 74);
    pin.cubicTo(12, 56, 30, 40, 26, 34);
    pin.cubicTo(20, 26, 20, 4, 32, 4);
    p.setPen(QPen(Qt::darkGray, 1.5));
    p.setBrush(Qt::white);
    p.drawPath(pin);
    p.setPen(QPen(QColor(200, 30, 30), 3));
    p.drawLine(25, 28, 39, 28);
    p.drawLine(24, 33, 40, 33);
    return pixmap;
}

} // namespace

About::About() : ui::Screen(ui::forms::About, QStringLiteral("Revised on December 19, 2004"), QSize(420, 250))
{
    QWidget* c = canvas();
    auto* picture = ui::label(c, QStringLiteral("Image1"), QString(), QRect(16, 16, 64, 96));
    picture->setPixmap(pinPicture());
    auto* product =
        ui::label(c, QStringLiteral("Label1"), QStringLiteral("Tarrowby Stopwell"), QRect(100, 16, 300, 28));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    product->setFont(big);
    ui::label(c, QStringLiteral("Label2"), QStringLiteral("Pinsetter call log for bowling centre mechanics"),
              QRect(100, 46, 310, 20));
    auto* line = new QFrame(c);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(16, 120, 388, 4);
    ui::label(c, QStringLiteral("Label3"), QStringLiteral("Tarrowby Software"), QRect(16, 132, 388, 20));
    ui::label(c, QStringLiteral("Label4"), QStringLiteral("118 Kingpin Road, Tarrowby TB4 9LS"),
              QRect(16, 152, 388, 20));
    ui::label(c, QStringLiteral("Label5"), QStringLiteral("Telephone: 0131 496 0734"), QRect(16, 172, 388, 20));
    ui::label(c, QStringLiteral("Label6"), QStringLiteral("Internet:"), QRect(16, 196, 70, 20));
    ui::label(c, QStringLiteral("Label7"), QStringLiteral("www.tarrowby.example"), QRect(90, 196, 300, 20));
    ui::label(c, QStringLiteral("Label8"), QStringLiteral("E-Mail:"), QRect(16, 216, 70, 20));
    ui::label(c, QStringLiteral("Label9"), QStringLiteral("stopwell@tarrowby.example"), QRect(90, 216, 300, 20));
}

} // namespace app
