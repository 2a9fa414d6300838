#include "WorkDone.h"

#include "ui/ControlEvents.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <functional>

namespace shift {

namespace {

constexpr int kJobs = 20;
constexpr int kHalf = 10;
constexpr int kNameLength = 10;

QString numbered(const char* stem, int number)
{
    return QString::fromLatin1(stem) + QString::number(number);
}

} // namespace

WorkDone::WorkDone() : ui::Screen(ui::forms::WorkDone, QStringLiteral("Work Completed"), QSize(876, 454))
{
    QWidget* c = canvas();
    Label26 =
        ui::label(c, QStringLiteral("Label26"), QStringLiteral("Daily Work Assignments for "), QRect(16, 14, 250, 28));
    QFont heading = Label26->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.25);
    heading.setBold(true);
    Label26->setFont(heading);
    Label25 = ui::label(c, QStringLiteral("Label25"), QString(), QRect(268, 14, 160, 28));
    Label25->setFont(heading);

    Data1 = new ui::RecordSource(c, QStringLiteral("Data1"), QStringLiteral("WAssign"));
    Data1->setGeometry(576, 14, 284, 28);
    Data1->setCaption(QStringLiteral("Move Date"));
    Data1->setToolTip(QStringLiteral("Steps through database of work assignments"));

    // Two columns of ten: the job, and beside it the name box.
    const int jobWidth = 290, nameLeft = 298, nameWidth = 112, columnStep = 436;
    auto headings = [&](int left, const char* jobName, const char* nameName, QLabel*& job, QLabel*& name) {
        job = ui::label(c, QString::fromLatin1(jobName), QStringLiteral("Work Assigned Today"),
                        QRect(left, 44, jobWidth, 50));
        job->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        name = ui::label(c, QString::fromLatin1(nameName), QStringLiteral(" Enter Your Name When Completed"),
                         QRect(left + nameLeft, 44, nameWidth, 50));
        name->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        name->setWordWrap(true);
        QFont bold = job->font();
        bold.setBold(true);
        job->setFont(bold);
        name->setFont(bold);
    };
    headings(16, "Label24", "Label23", Label24, Label23);
    headings(16 + columnStep, "Label22", "Label21", Label22, Label21);

    for (int i = 0; i < kJobs; ++i) {
        const int left = 16 + (i / kHalf) * columnStep;
        const int y = 98 + (i % kHalf) * 30;
        Label[i] = ui::label(c, numbered("Label", i + 1), QString(), QRect(left, y, jobWidth, 26));
        Label[i]->setFrameShape(QFrame::StyledPanel);
        Label[i]->setFrameShadow(QFrame::Sunken);
        Label[i]->setIndent(4);
        Text[i] = ui::textBox(c, numbered("Text", i + 1), QRect(left + nameLeft, y, nameWidth, 26), kNameLength,
                              QStringLiteral("Completed job ") + QString::number(i + 1));
        ui::onClick(Text[i], this, [this, i] { nameBoxClicked(i + 1); });
    }

    Label27 = ui::label(c, QStringLiteral("Label27"), QStringLiteral("Quick Paste Name"), QRect(16, 410, 120, 28));
    Combo1 = ui::nameDropDown(
        c, QStringLiteral("Combo1"), QRect(138, 410, 150, 28), kNameLength, QStringLiteral("Quick Paste Name"),
        QStringLiteral("Select name for quick fill of mechanic name"), [this] { Combo1_DropDown(); });
    Label27->setBuddy(Combo1);

    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("E&xit"), QRect(388, 406, 100, 36),
                          QStringLiteral("Save, then return to main menu"));

    Data1->bind(Label25, QStringLiteral("DateNow"));
    for (int i = 0; i < kJobs; ++i) {
        Data1->bind(Label[i], QString::number(i + 1) + QLatin1Char('W'));
        Data1->bind(Text[i], QString::number(i + 1) + QLatin1Char('M'));
    }

    connect(Data1, &ui::RecordSource::Reposition, this, &WorkDone::Data1_Reposition);
    // Names stored beside the jobs are told on: the maintenance schedule records its tasks done.
    connect(Data1, &ui::RecordSource::stored, this, [this] {
        ui::forms::workDone::StoredDay day{Data1->Recordset().value(QStringLiteral("DateNow")).toDate(), {}, {}};
        for (int i = 1; i <= kJobs; ++i) {
            day.jobs << Data1->Recordset().value(QString::number(i) + QLatin1Char('W')).toString();
            day.names << Data1->Recordset().value(QString::number(i) + QLatin1Char('M')).toString();
        }
        ui::forms::workDone::namesStored(day);
    });
    connect(Command1, &QPushButton::clicked, this, &WorkDone::Command1_Click);
}

void WorkDone::Form_Load()
{
    Data1->setDatabaseName(ui::databasePath());
}

void WorkDone::Data1_Reposition()
{
    // A name box only beside a job that was assigned.
    for (int i = 0; i < kJobs; ++i)
        Text[i]->setVisible(!Label[i]->text().isEmpty());
}

void WorkDone::Combo1_DropDown()
{
    // The shift may have changed since the last look: read both names again.
    // What stands in the box stays until a name is picked.
    const QString shown = Combo1->currentText();
    while (Combo1->count() > 0)
        Combo1->removeItem(0);
    Combo1->insertItem(0, ui::forms::shift::mechanic1());
    Combo1->insertItem(1, ui::forms::shift::mechanic2());
    Combo1->setEditText(shown);
}

void WorkDone::nameBoxClicked(int number)
{
    if (number < 1 || number > kJobs)
        return;
    Text[number - 1]->setText(Combo1->currentText());
}

void WorkDone::Command1_Click()
{
    if (!Data1->UpdateRecord())
        return;
    ui::ScreenRegistry::instance().unloadAndShow(this, ui::forms::MainMenu);
}

void WorkDone::frameClose()
{
    Command1_Click();
}

} // namespace shift
