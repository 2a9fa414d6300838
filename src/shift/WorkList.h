#pragma once

#include "ui/Screen.h"

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class RecordSource;
}

namespace shift {

/// The pre-made work lists: one `WList` row per week of the year with 20
/// routine jobs, stepped through with the navigation bar and edited in place.
class WorkList : public ui::Screen {
    Q_OBJECT
public:
    WorkList();

    QLabel* Label2;
    QLabel* Label1;
    ui::RecordSource* Data1;
    QGroupBox* Frame1;
    /// The week's jobs: Text[0] is `Text1` … Text[19] is `Text20`.
    std::array<QLineEdit*, 20> Text{};
    QPushButton* Command1;

    void Form_Load() override;

public slots:
    void Data1_Reposition();
    void Command1_Click();

protected:
    void frameClose() override;
};

} // namespace shift
