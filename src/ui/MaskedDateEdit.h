#pragma once

#include <QDate>
#include <QLineEdit>

namespace ui {

/// The masked date entry: mask "##/##/####" with the prompt "_", so it reads
/// "__/__/____" while nothing is typed. Bound dates show as "mm/dd/yyyy".
class MaskedDateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedDateEdit(QWidget* parent = nullptr);

    static constexpr auto kEmpty = "__/__/____";

    /// The entry as it reads, prompt characters included ("12/0_/____").
    QString maskedText() const { return displayText(); }
    /// Sets the entry; empty text clears it back to "__/__/____".
    void setMaskedText(const QString& text);
    /// (Re)applies the "##/##/####" mask, keeping the digits typed.
    void setDateMask();
    /// True while no digit has been typed.
    bool isBlank() const;
    /// The date typed, or an invalid date when it is incomplete or impossible.
    QDate date() const;
    void setDate(const QDate& date);
    /// A day is stored only with a real calendar date: when something is typed
    /// that is no date (13/45/2004, 12/0_/____), says so, takes the focus back
    /// and returns false. A blank entry is left to the screen's own message.
    bool acceptTypedDate();

signals:
    /// A key was pressed in the entry, before it is applied.
    void keyDown(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
};

} // namespace ui
