#pragma once

#include "ui/Screen.h"

#include <array>

class QFrame;
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

/// The frames the pinsetters ran each day (table Frames): open play, league
/// play, rent-a-lane and miscellaneous, and their total.
class FrameCount : public ui::Screen {
    Q_OBJECT
public:
    FrameCount();

    ui::RecordSource* Data1;
    QLabel* Label5;
    QLabel* Label8;
    ui::MaskedDateEdit* MaskEdBox1;
    QLabel* Label6;
    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QLineEdit* Text2;
    QLabel* Label3;
    QLineEdit* Text3;
    QLabel* Label4;
    QLineEdit* Text4;
    QFrame* Line1;
    QLabel* Label7;
    QLineEdit* Text6;
    QPushButton* Command5;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command1;

    void Form_Load() override;
    void Form_Paint() override;

public slots:
    void MaskEdBox1_KeyDown(int key);
    void MaskEdBox1_LostFocus();
    void Command5_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command1_Click();

protected:
    void frameClose() override;

private:
    /// "+": the total becomes the sum of the four counts; false, after telling
    /// the user, when the sum is more than the total can hold.
    bool addUp();
    void showDateEntry();
    /// Back to browsing the stored days.
    void endNewDay();

    std::array<QLineEdit*, 4> m_counts{};
    ui::AddingMode* m_adding;
};

} // namespace shift
