#pragma once

#include <QFont>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace ui {

/// The resizing companion: remembers every control's place at the form's
/// design size and scales them all in proportion when the form is resized.
/// Made smaller than its design, a form's lettering shrinks with it, so the
/// texts still fit their controls; larger, it keeps its design size.
class ReSize : public QObject {
    Q_OBJECT
public:
    /// Watches `canvas`, whose children were placed for `designSize`.
    ReSize(QWidget* canvas, QSize designSize);

    /// Scales every child to the canvas's current size.
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void remember(QWidget* child, double sx, double sy);
    QWidget* m_canvas;
    QSize m_design;
    QHash<QWidget*, QRect> m_designRects;
    QHash<QWidget*, QFont> m_designFonts;
    double m_lastX = 1.0;
    double m_lastY = 1.0;
};

} // namespace ui
