#include "Allsect.h"

#include "ListOfCalls.h"

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace calls {
namespace {

constexpr int kCallLength = 30;
constexpr int kSectionLength = 15;

} // namespace

int Allsect::callBoxOf(int section, int row)
{
    // The first box of each later tab was placed after the others were numbered.
    switch (section) {
    case 1:
        return row;
    case 2:
        return row == 1 ? 42 : 20 + row;
    case 3:
        return row == 1 ? 43 : 65 - row;
    case 4:
        return row == 1 ? 84 : 62 + row;
    default:
        return row == 1 ? 105 : 83 + row;
    }
}

int Allsect::callLabelOf(int section, int row)
{
    return section == 3 ? 61 - row : kPerSection * (section - 1) + row;
}

int Allsect::sectionBoxOf(int section)
{
    static constexpr int boxes[kSections] = {21, 41, 44, 83, 104};
    return boxes[section - 1];
}

Allsect::Allsect() : ui::Screen(ui::forms::Allsect, QStringLiteral("Pre-Set Calls"), QSize(700, 500))
{
    QWidget* c = canvas();
    Data2 = new ui::RecordSource(c, QStringLiteral("Data2"), QStringLiteral("Calls"));
    Data2->hide();

    SSTab1 = new QTabWidget(c);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(10, 10, 680, 432);
    for (int section = 1; section <= kSections; ++section) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("Section%1").arg(section));
        ui::markPlaced(page);
        SSTab1->addTab(page, QStringLiteral("Section %1").arg(section));

        const int nameBox = sectionBoxOf(section);
        QLabel* caption = ui::label(page, QStringLiteral("Label%1").arg(100 + section), QStringLiteral("Section Name"),
                                    QRect(16, 16, 100, 24));
        Label[100 + section] = caption;
        QLineEdit* name = ui::textBox(page, QStringLiteral("Text%1").arg(nameBox), QRect(120, 16, 150, 24),
                                      kSectionLength, QStringLiteral("Section %1 name").arg(section),
                                      QStringLiteral("Enter a category that refers to section # %1").arg(section));
        caption->setBuddy(name);
        ui::selectAllOnFocus(name);
        Data2->bind(name, QStringLiteral("S%1").arg(section));
        Text[nameBox] = name;

        QWidget* previous = name;
        for (int row = 1; row <= kPerSection; ++row) {
            // Calls 1 to 10 down the left, 11 to 20 down the right.
            const int x = row <= 10 ? 16 : 344;
            const int y = 60 + 32 * ((row - 1) % 10);
            const int labelNumber = callLabelOf(section, row);
            const int boxNumber = callBoxOf(section, row);
            QLabel* label = ui::label(page, QStringLiteral("Label%1").arg(labelNumber),
                                      QStringLiteral("Call # %1").arg(row), QRect(x, y, 64, 24));
            QLineEdit* box = ui::textBox(page, QStringLiteral("Text%1").arg(boxNumber), QRect(x + 68, y, 240, 24),
                                         kCallLength, QStringLiteral("Section %1 call # %2").arg(section).arg(row));
            label->setBuddy(box);
            ui::selectAllOnFocus(box);
            Data2->bind(box, QStringLiteral("C%1").arg(kPerSection * (section - 1) + row));
            Label[labelNumber] = label;
            Text[boxNumber] = box;
            setTabOrder(previous, box);
            previous = box;
        }
    }

    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("E&xit"), QRect(295, 454, 110, 34),
                          QStringLiteral("Save, then returns to main menu"));
    setDefaultButton(Command1);
    connect(Command1, &QPushButton::clicked, this, &Allsect::Command1_Click);
}

void Allsect::Form_Load()
{
    // The main menu set the hourglass to open this screen; it waits for typing now.
    ui::pointer::arrow();
    Data2->setDatabaseName(ui::databasePath());
}

void Allsect::Command1_Click()
{
    // Stays open with the edits when the store refuses them; the user was told why.
    if (!Data2->UpdateRecord())
        return;
    auto& screens = ui::ScreenRegistry::instance();
    if (auto* board = qobject_cast<ListOfCalls*>(screens.load(ui::forms::ListOfCalls)))
        board->Data1->Refresh();
    screens.unloadAndShow(this, ui::forms::MainMenu);
}

void Allsect::frameClose()
{
    // Closing the window keeps the edits and brings them to the board, as Exit does.
    Command1_Click();
}

} // namespace calls
