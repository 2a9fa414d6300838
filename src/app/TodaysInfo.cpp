#include "TodaysInfo.h"

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/ScreenRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace app {

TodaysInfo::TodaysInfo()
    : ui::Screen(ui::forms::TodaysInfo, QStringLiteral("Current Shift Information"), QSize(380, 200))
{
    QWidget* c = canvas();
    Label6 = ui::label(c, QStringLiteral("Label6"), QString(), QRect(10, 12, 360, 28));
    Label6->setAlignment(Qt::AlignCenter);
    QFont big = Label6->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    big.setBold(true);
    Label6->setFont(big);
    Label3 = ui::label(c, QStringLiteral("Label3"), QStringLiteral("Mechanic # 1"), QRect(40, 58, 110, 26));
    Text1 = ui::textBox(c, QStringLiteral("Text1"), QRect(160, 58, 170, 26), 10, QStringLiteral("Mechanic # 1"),
                        QStringLiteral("Enter your name here"));
    Label4 = ui::label(c, QStringLiteral("Label4"), QStringLiteral("Mechanic # 2"), QRect(40, 96, 110, 26));
    Text2 = ui::textBox(c, QStringLiteral("Text2"), QRect(160, 96, 170, 26), 10, QStringLiteral("Mechanic # 2"),
                        QStringLiteral("Enter your name here"));
    Label3->setBuddy(Text1);
    Label4->setBuddy(Text2);
    Label2 = ui::label(c, QStringLiteral("Label2"), QString(), QRect(10, 150, 40, 20));
    Label2->hide();
    Label1 = ui::label(c, QStringLiteral("Label1"), QString(), QRect(60, 150, 80, 20));
    Label1->hide();
    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("E&xit"), QRect(140, 146, 100, 36),
                          QStringLiteral("Save, then return to main menu"));
    setDefaultButton(Command1);
    connect(Command1, &QPushButton::clicked, this, &TodaysInfo::Command1_Click);
}

void TodaysInfo::Form_Paint()
{
    static const char* const names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    const QDate today = ui::today();
    // Counted with Sunday as day 1.
    const int weekday = today.dayOfWeek() % 7 + 1;
    ui::setTextIfChanged(Label2, QString::number(weekday));
    ui::setTextIfChanged(Label6, QLocale().toString(today, QLocale::LongFormat));
    const int number = Label2->text().toInt();
    for (int i = 1; i <= 7; ++i) {
        if (number == i)
            ui::setTextIfChanged(Label1, QString::fromLatin1(names[i - 1]));
    }
}

void TodaysInfo::Command1_Click()
{
    hide();
    ui::ScreenRegistry::instance().show(ui::forms::MainMenu);
}

void TodaysInfo::frameClose()
{
    // Closing the window keeps the names for the rest of the run, as Exit does.
    Command1_Click();
}

} // namespace app
