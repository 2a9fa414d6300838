#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace ui {
class RecordSource;
}

namespace filter {

/// A data widget bound to one field of a record source: its caption, the
/// field of the current record in a box that edits it (with the record
/// source's checks), and a small navigation bar (first, previous, next, last).
class DataWidget : public QWidget {
    Q_OBJECT
public:
    DataWidget(QWidget* parent, const QString& name, const QString& caption, ui::RecordSource* source,
               const QString& field);

    QLabel* caption() const { return m_caption; }
    QLineEdit* box() const { return m_box; }
    /// The navigation buttons: first, previous, next, last.
    QToolButton* button(int index) const { return m_buttons.at(index); }

private:
    QLabel* m_caption;
    QLineEdit* m_box;
    QList<QToolButton*> m_buttons;
};

} // namespace filter
