#pragma once

#include <QPlainTextEdit>
#include <QRect>
#include <QString>

#include <functional>

class QComboBox;

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QRadioButton;
class QWidget;

namespace ui {

// Builders for the controls of a form, placed at design coordinates. Each
// control's objectName is its design name; text boxes, check boxes and option
// buttons also get an accessible name, the caption or label they stand by.

/// Marks a container whose children are placed by hand (and so scaled by ReSize1).
void markPlaced(QWidget* container);

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, QRect at,
                    const QString& toolTip = {});
QLabel* label(QWidget* parent, const QString& name, const QString& caption, QRect at);
QLineEdit* textBox(QWidget* parent, const QString& name, QRect at, int maxLength, const QString& accessibleName,
                   const QString& toolTip = {});
/// A multi-line notes box. Lines break between words; a note holding a run of
/// thousands of characters with no room to break it (a pasted log, a key held
/// down) breaks anywhere instead, chosen before the text is laid out, since
/// laying out such a run between words takes time that grows with the square
/// of its length and would freeze the screen.
class MemoBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoBox(QWidget* parent);
    /// Shows a stored note (the data control's way in).
    void setNote(const QString& text);

protected:
    void insertFromMimeData(const QMimeData* source) override;

private:
    void chooseWrap(const QString& text);
};

QPlainTextEdit* memoBox(QWidget* parent, const QString& name, QRect at, const QString& accessibleName,
                        const QString& toolTip = {});
QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& caption, QRect at,
                    const QString& accessibleName, const QString& toolTip = {});
QRadioButton* optionButton(QWidget* parent, const QString& name, const QString& caption, QRect at,
                           const QString& accessibleName, const QString& toolTip = {});
QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption, QRect at);
/// A box for a mechanic's name, typed or picked from a list that `dropDown`
/// fills afresh each time it opens; a typed name is never added to the list.
QComboBox* nameDropDown(QWidget* parent, const QString& name, QRect at, int maxLength, const QString& accessibleName,
                        const QString& toolTip, std::function<void()> dropDown);

/// Text boxes the user retypes select their whole text when they get the focus
/// (not when their window comes back to the front).
void selectAllOnFocus(QLineEdit* edit);

/// Sets a text only when it differs, so paint handlers do not cause repaints.
void setTextIfChanged(QLineEdit* edit, const QString& text);
void setTextIfChanged(QLabel* label, const QString& text);

} // namespace ui
