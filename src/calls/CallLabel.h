#pragma once

#include <QLabel>

class QTextLayout;

namespace calls {

/// A call's text on the board: clicking it picks the call, and a text too
/// long for one line wraps, between words where it can and anywhere where it
/// must, so a call is never cut off.
class CallLabel : public QLabel {
    Q_OBJECT
public:
    explicit CallLabel(QWidget* parent);

    /// Height the text needs at the label's current width.
    int textHeight() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    /// Lays the text out in lines of the label's width; returns their height.
    qreal layOut(QTextLayout& layout) const;
    bool m_pressed = false;
};

} // namespace calls
