#pragma once

#include "ui/Screen.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class RecordSource;
}
namespace ui {
class AddingMode;
class MaskedDateEdit;
} // namespace ui

namespace shift {

/// The daily work assignment sheet: one `WAssign` row per day with up to 20
/// jobs. Stored days are browsed read-only with "Move Date"; New Day opens an
/// empty day whose two halves can be filled from the weekly lists in `WList`.
class WorkAssign : public ui::Screen {
    Q_OBJECT
public:
    WorkAssign();

    QLabel* Label1;
    QLineEdit* Text21;
    ui::MaskedDateEdit* MaskEdBox2;
    QLabel* Label22;
    ui::RecordSource* Data1;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command2;
    QPushButton* Command5;
    QPushButton* Command6;
    /// The jobs: Text[0] is `Text1` … Text[19] is `Text20`.
    std::array<QLineEdit*, 20> Text{};
    /// The week list items to copy: ListItem[0] is `Label2` … ListItem[19] is `Label21`.
    std::array<QLabel*, 20> ListItem{};
    QLabel* Label27;
    ui::RecordSource* Data2;
    QLabel* Label23;
    QLabel* Label24;
    QLabel* Label28;
    ui::RecordSource* Data3;
    QLabel* Label25;
    QLabel* Label26;
    QPushButton* Command1;

    void Form_Load() override;
    void Form_Paint() override;

    /// A new day has been started and is not stored yet.
    bool isAdding() const;

public slots:
    void Command2_Click();
    void Data2_Reposition();
    void Data3_Reposition();
    void Command5_Click();
    void Command6_Click();
    void Command4_Click();
    void Command3_Click();
    void Command1_Click();

protected:
    void frameClose() override;

private:
    void quickFill(int first, QPushButton* clear, QLabel* caption, QLabel* week);
    void clearHalf(int first, QPushButton* clear, QLabel* caption, QLabel* week);
    /// Shows the current day of Data1 in its bound boxes again.
    void leaveAdding();

    ui::AddingMode* m_adding;
};

} // namespace shift
