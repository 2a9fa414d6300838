#pragma once

#include "ui/Screen.h"

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace ui {
class RecordSource;
}
namespace ui {
class AddingMode;
class MaskedDateEdit;
} // namespace ui

namespace shift {

/// One page of notes per day (table DWork): the two AM and the two PM
/// mechanics of the day and a note for each, one note box shown at a time.
class Notes : public ui::Screen {
    Q_OBJECT
public:
    Notes();

    ui::RecordSource* Data1;
    QLineEdit* Text2;
    ui::MaskedDateEdit* MaskEdBox1;
    QLabel* Label4;
    QGroupBox* Frame1;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QGroupBox* Frame2;
    QLineEdit* Text5;
    QLineEdit* Text6;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPlainTextEdit* Text1;
    QPlainTextEdit* Text7;
    QPlainTextEdit* Text8;
    QPlainTextEdit* Text9;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command1;

    void Form_Load() override;
    void Form_Paint() override;

public slots:
    void Data1_Reposition();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Text3_LostFocus();
    void MaskEdBox1_KeyDown(int key);
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command1_Click();

protected:
    void frameClose() override;

private:
    /// Label3 shows the name of the mechanic whose option is selected.
    void nameLabelRule();
    void optionClick(int option);
    void setBoxesEnabled(bool enabled);
    void showDateEntry();

    std::array<QRadioButton*, 4> m_options{};
    std::array<QLineEdit*, 4> m_names{};
    std::array<QPlainTextEdit*, 4> m_notes{};
    ui::AddingMode* m_adding;
};

} // namespace shift
