#pragma once

#include "ui/Screen.h"

#include <array>

class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace ui {
class RecordSource;
}

namespace calls {

/// The board of the 100 preset calls, five sections of 20 under their names.
/// Picking a call opens the lane entry with a new call record started for it.
class ListOfCalls : public ui::Screen {
    Q_OBJECT
public:
    static constexpr int kCalls = 100;
    static constexpr int kPerSection = 20;
    /// The hidden option that is selected while no call is.
    static constexpr int kNoCall = 101;

    ListOfCalls();

    /// Section (1 to 5) of call 1 to 100.
    static constexpr int sectionOf(int call) { return (call + kPerSection - 1) / kPerSection; }

    void Form_Load() override;

    ui::RecordSource* Data1;
    QFrame* Line1;
    QPushButton* Command1;
    /// By design number: Option[1] .. Option[100] pick a call, Option[101] is the hidden "no call".
    std::array<QRadioButton*, kNoCall + 1> Option{};
    /// By design number: Label[1] .. Label[5] are the section names, Label[N + 5] the text of call N.
    std::array<QLabel*, kCalls + 6> Label{};

public slots:
    /// Option N became selected: call N is picked.
    void Option_Click(int call);
    /// The text of a call (Label6 .. Label105) was clicked.
    void Label_Click(int label);
    void Command1_Click();
    void Data1_Reposition();

protected:
    void frameClose() override;

private:
    QButtonGroup* m_group;
};

} // namespace calls
