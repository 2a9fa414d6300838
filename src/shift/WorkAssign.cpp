#include "WorkAssign.h"

#include "ui/AddingMode.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Platform.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace shift {

namespace {

constexpr int kJobs = 20;
constexpr int kHalf = 10;

QString numbered(const char* stem, int number)
{
    return QString::fromLatin1(stem) + QString::number(number);
}

} // namespace

WorkAssign::WorkAssign() : ui::Screen(ui::forms::WorkAssign, QStringLiteral("Maintenance To Be Done"), QSize(720, 526))
{
    QWidget* c = canvas();
    Label1 = ui::label(c, QStringLiteral("Label1"), QStringLiteral("Daily Work Assignment Sheet For"),
                       QRect(16, 14, 296, 28));
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.25);
    heading.setBold(true);
    Label1->setFont(heading);

    Text21 = ui::textBox(c, QStringLiteral("Text21"), QRect(318, 14, 112, 28), 10, QStringLiteral("Date"));
    Text21->setEnabled(false);
    MaskEdBox2 = new ui::MaskedDateEdit(c);
    MaskEdBox2->setObjectName(QStringLiteral("MaskEdBox2"));
    MaskEdBox2->setGeometry(318, 14, 112, 28);
    MaskEdBox2->setAccessibleName(QStringLiteral("Date"));
    MaskEdBox2->hide();
    MaskEdBox2->setEnabled(false);
    Label22 = ui::label(c, QStringLiteral("Label22"), QStringLiteral("MM/DD/YYYY"), QRect(318, 44, 112, 18));
    Label22->setAlignment(Qt::AlignCenter);
    Label22->hide();

    Data1 = new ui::RecordSource(c, QStringLiteral("Data1"), QStringLiteral("WAssign"));
    Data1->setGeometry(16, 50, 280, 28);
    Data1->setCaption(QStringLiteral("Move Date"));
    Data1->setToolTip(QStringLiteral("Steps through database of work assigned"));

    Command3 = ui::button(c, QStringLiteral("Command3"), QStringLiteral("&Cancel"), QRect(556, 8, 74, 28),
                          QStringLiteral("Cancels the current addition of work assignments"));
    Command3->hide();
    Command4 = ui::button(c, QStringLiteral("Command4"), QStringLiteral("&Save"), QRect(634, 8, 74, 28),
                          QStringLiteral("Saves current work assignments"));
    Command4->hide();
    Command2 = ui::button(c, QStringLiteral("Command2"), QStringLiteral("New &Day"), QRect(556, 40, 152, 34),
                          QStringLiteral("Adds a new date of work assignments"));

    Command5 = ui::button(c, QStringLiteral("Command5"), QStringLiteral("Clear"), QRect(16, 88, 80, 26),
                          QStringLiteral("Clears all items below"));
    Command5->hide();
    Command6 = ui::button(c, QStringLiteral("Command6"), QStringLiteral("Clear"), QRect(376, 88, 80, 26),
                          QStringLiteral("Clears all items below"));
    Command6->hide();

    // Jobs 1 to 10 in the left column, 11 to 20 in the right; typed only while adding.
    for (int i = 0; i < kJobs; ++i) {
        const int column = i / kHalf;
        const QRect at(16 + column * 360, 120 + (i % kHalf) * 30, 328, 26);
        Text[i] = ui::textBox(c, numbered("Text", i + 1), at, 40, QStringLiteral("Job ") + QString::number(i + 1));
        Text[i]->setEnabled(false);
    }

    // Hidden labels holding the chosen week's items, bound to the week lists.
    for (int i = 0; i < kJobs; ++i) {
        ListItem[i] = ui::label(c, numbered("Label", i + 2), QString(), QRect(16, 500, 10, 10));
        ListItem[i]->hide();
    }

    auto quickFillRow = [c](int left, const char* captionName, const char* sourceName, const char* weekCaptionName,
                            const char* weekName, QLabel*& caption, ui::RecordSource*& source, QLabel*& weekCaption,
                            QLabel*& week) {
        const int y = 428;
        caption = ui::label(c, QString::fromLatin1(captionName), QStringLiteral("Quick Fill"), QRect(left, y, 70, 28));
        caption->hide();
        source = new ui::RecordSource(c, QString::fromLatin1(sourceName), QStringLiteral("WList"));
        source->setGeometry(left + 72, y, 156, 28);
        source->setToolTip(QStringLiteral("Fills in list above"));
        source->hide();
        weekCaption =
            ui::label(c, QString::fromLatin1(weekCaptionName), QStringLiteral("Week #"), QRect(left + 240, y, 52, 28));
        weekCaption->hide();
        week = ui::label(c, QString::fromLatin1(weekName), QString(), QRect(left + 292, y, 36, 28));
        week->hide();
    };
    quickFillRow(16, "Label27", "Data2", "Label23", "Label24", Label27, Data2, Label23, Label24);
    quickFillRow(376, "Label28", "Data3", "Label25", "Label26", Label28, Data3, Label25, Label26);

    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("E&xit"), QRect(310, 478, 100, 36),
                          QStringLiteral("Save, then return to main menu"));

    Data1->bind(Text21, QStringLiteral("DateNow"));
    Data1->bind(MaskEdBox2, QStringLiteral("DateNow"));
    for (int i = 0; i < kJobs; ++i)
        Data1->bind(Text[i], QString::number(i + 1) + QLatin1Char('W'));
    for (int i = 0; i < kHalf; ++i) {
        Data2->bind(ListItem[i], numbered("WL", i + 1));
        Data3->bind(ListItem[kHalf + i], numbered("WL", kHalf + i + 1));
    }
    Data2->bind(Label24, QStringLiteral("Weekno"));
    Data3->bind(Label26, QStringLiteral("Weekno"));

    m_adding = new ui::AddingMode(Data1, MaskEdBox2, QStringLiteral("A date is required!"),
                                  QList<QWidget*>(Text.begin(), Text.end()), this);

    connect(Command2, &QPushButton::clicked, this, &WorkAssign::Command2_Click);
    connect(Data2, &ui::RecordSource::Reposition, this, &WorkAssign::Data2_Reposition);
    connect(Data3, &ui::RecordSource::Reposition, this, &WorkAssign::Data3_Reposition);
    connect(Command5, &QPushButton::clicked, this, &WorkAssign::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &WorkAssign::Command6_Click);
    connect(Command4, &QPushButton::clicked, this, &WorkAssign::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &WorkAssign::Command3_Click);
    connect(Command1, &QPushButton::clicked, this, &WorkAssign::Command1_Click);
}

void WorkAssign::Form_Load()
{
    const QString path = ui::databasePath();
    Data1->setDatabaseName(path);
    Data2->setDatabaseName(path);
    Data3->setDatabaseName(path);
}

void WorkAssign::Form_Paint()
{
    // The Clear buttons and week numbers come back only with the next move of a week list.
    Command5->hide();
    Command6->hide();
    Label23->hide();
    Label24->hide();
    Label25->hide();
    Label26->hide();
}

bool WorkAssign::isAdding() const
{
    return m_adding->isAdding();
}

void WorkAssign::Command2_Click()
{
    if (!m_adding->begin())
        return;
    Text21->hide();
    MaskEdBox2->show();
    Label22->show();
    Label27->show();
    Label28->show();
    Command3->show();
    Command4->show();
    Data2->show();
    Data3->show();
    // One day at a time: a second New Day would store this one as it stands.
    Command2->setEnabled(false);
    for (QLineEdit* job : Text)
        job->setEnabled(true);
    MaskEdBox2->setEnabled(true);
    MaskEdBox2->setFocus();
    MaskEdBox2->setCursorPosition(0);
}

void WorkAssign::quickFill(int first, QPushButton* clear, QLabel* caption, QLabel* week)
{
    // The week lists also report a move when they open with the screen; only a
    // day being added takes a copy, so a stored day is never changed by it.
    if (!isAdding())
        return;
    clear->show();
    for (int i = first; i < first + kHalf; ++i)
        Text[i]->setText(ListItem[i]->text());
    caption->show();
    week->show();
}

void WorkAssign::Data2_Reposition()
{
    quickFill(0, Command5, Label23, Label24);
}

void WorkAssign::Data3_Reposition()
{
    quickFill(kHalf, Command6, Label25, Label26);
}

void WorkAssign::clearHalf(int first, QPushButton* clear, QLabel* caption, QLabel* week)
{
    for (int i = first; i < first + kHalf; ++i)
        Text[i]->clear();
    caption->hide();
    week->hide();
    clear->hide();
}

void WorkAssign::Command5_Click()
{
    clearHalf(0, Command5, Label23, Label24);
}

void WorkAssign::Command6_Click()
{
    clearHalf(kHalf, Command6, Label25, Label26);
}

void WorkAssign::leaveAdding()
{
    Command6->hide();
    Command5->hide();
    Command4->hide();
    Command3->hide();
    Command2->setEnabled(true);
    Command2->setFocus();
    Data2->hide();
    Data3->hide();
    Label23->hide();
    Label24->hide();
    Label25->hide();
    Label26->hide();
    Label27->hide();
    Label28->hide();
    for (QLineEdit* job : Text)
        job->setEnabled(false);
    MaskEdBox2->hide();
    Text21->show();
    MaskEdBox2->setEnabled(false);
}

void WorkAssign::Command4_Click()
{
    if (!isAdding() || !m_adding->save())
        return;
    leaveAdding();
}

void WorkAssign::Command3_Click()
{
    // Back to the day shown before New Day; the new one is dropped unstored.
    m_adding->cancel();
    leaveAdding();
    Label22->hide();
}

void WorkAssign::Command1_Click()
{
    // A day being added is stored with a real date, or dropped when nothing
    // was typed or copied into it.
    if (!m_adding->settle())
        return;
    Command4->hide();
    Command3->hide();
    for (QLineEdit* job : Text)
        job->setEnabled(false);
    ui::ScreenRegistry::instance().unloadAndShow(this, ui::forms::MainMenu);
}

void WorkAssign::frameClose()
{
    // Closing the window is Exit: a day being added is stored only with a real date.
    Command1_Click();
}

} // namespace shift
