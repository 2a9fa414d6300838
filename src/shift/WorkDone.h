#pragma once

#include "ui/Screen.h"

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class RecordSource;
}

namespace shift {

/// Work completed: the jobs of one day of the assignment sheet, read-only,
/// with a box beside each job for the name of whoever finished it. A drop-down
/// offers the two names of the shift, pasted into a name box with one click.
class WorkDone : public ui::Screen {
    Q_OBJECT
public:
    WorkDone();

    QLabel* Label26;
    QLabel* Label25;
    ui::RecordSource* Data1;
    QLabel* Label24;
    QLabel* Label23;
    QLabel* Label22;
    QLabel* Label21;
    /// The jobs: Label[0] is `Label1` … Label[19] is `Label20`.
    std::array<QLabel*, 20> Label{};
    /// Who completed each job: Text[0] is `Text1` … Text[19] is `Text20`.
    std::array<QLineEdit*, 20> Text{};
    QLabel* Label27;
    QComboBox* Combo1;
    QPushButton* Command1;

    void Form_Load() override;

public slots:
    void Data1_Reposition();
    void Combo1_DropDown();
    /// A click on name box `Text<number>` (1 to 20): it takes the drop-down's text.
    void nameBoxClicked(int number);
    void Command1_Click();

protected:
    void frameClose() override;
};

} // namespace shift
