#pragma once

#include "ui/Screen.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace ui {
class RecordSource;
}

namespace calls {

/// Edits the texts of the 100 preset calls and the five section names, one
/// tab per section; Exit stores them and the board shows them.
class Allsect : public ui::Screen {
    Q_OBJECT
public:
    static constexpr int kSections = 5;
    static constexpr int kPerSection = 20;

    Allsect();

    /// Design numbers of the text box beside "Call # j" on tab k, of that
    /// label, and of the tab's section name box.
    static int callBoxOf(int section, int row);
    static int callLabelOf(int section, int row);
    static int sectionBoxOf(int section);

    void Form_Load() override;

    ui::RecordSource* Data2;
    QTabWidget* SSTab1;
    QPushButton* Command1;
    /// By design number: Text[1] .. Text[105] (calls and section names).
    std::array<QLineEdit*, 106> Text{};
    /// By design number: Label[1] .. Label[100] "Call # j"; Label[101] .. Label[105] name the section boxes.
    std::array<QLabel*, 106> Label{};

public slots:
    void Command1_Click();

protected:
    void frameClose() override;
};

} // namespace calls
