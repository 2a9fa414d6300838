#include "WorkList.h"

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace shift {

namespace {

constexpr int kJobs = 20;
constexpr int kHalf = 10;

} // namespace

WorkList::WorkList() : ui::Screen(ui::forms::WorkList, QStringLiteral("Pre-Made Work Lists"), QSize(720, 454))
{
    QWidget* c = canvas();
    Label2 = ui::label(c, QStringLiteral("Label2"), QStringLiteral("Week #"), QRect(16, 16, 64, 28));
    QFont heading = Label2->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.25);
    heading.setBold(true);
    Label2->setFont(heading);
    Label1 = ui::label(c, QStringLiteral("Label1"), QString(), QRect(82, 16, 60, 28));
    Label1->setFont(heading);

    Data1 = new ui::RecordSource(c, QStringLiteral("Data1"), QStringLiteral("WList"));
    Data1->setGeometry(420, 16, 284, 28);
    Data1->setToolTip(QStringLiteral("Steps through database of weekly work assignments pre-made list"));

    Frame1 = ui::frame(c, QStringLiteral("Frame1"), QStringLiteral("Work List"), QRect(16, 56, 688, 338));
    for (int i = 0; i < kJobs; ++i) {
        const QRect at(12 + (i / kHalf) * 338, 28 + (i % kHalf) * 30, 326, 26);
        Text[i] = ui::textBox(Frame1, QStringLiteral("Text") + QString::number(i + 1), at, 40,
                              QStringLiteral("Job ") + QString::number(i + 1));
    }

    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("E&xit"), QRect(310, 406, 100, 36),
                          QStringLiteral("Save, then return to main menu"));

    Data1->bind(Label1, QStringLiteral("Weekno"));
    for (int i = 0; i < kJobs; ++i)
        Data1->bind(Text[i], QStringLiteral("WL") + QString::number(i + 1));

    connect(Data1, &ui::RecordSource::Reposition, this, &WorkList::Data1_Reposition);
    connect(Command1, &QPushButton::clicked, this, &WorkList::Command1_Click);
}

void WorkList::Form_Load()
{
    Data1->setDatabaseName(ui::databasePath());
}

void WorkList::Data1_Reposition()
{
    // The week that was left has already been stored by the move itself.
    Data1->UpdateRecord();
}

void WorkList::Command1_Click()
{
    if (!Data1->UpdateRecord())
        return;
    ui::ScreenRegistry::instance().unloadAndShow(this, ui::forms::MainMenu);
}

void WorkList::frameClose()
{
    Command1_Click();
}

} // namespace shift
