#include "RangePrompts.h"

#include "CrystalReport.h"

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"

#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace reports {

DatePrompt::DatePrompt(const QString& name, const QString& table, const QString& reportFile)
    : ui::Screen(name, QStringLiteral("Date Range"), QSize(300, 178)), m_table(table), m_reportFile(reportFile)
{
    QWidget* c = canvas();
    Frame2 = ui::frame(c, QStringLiteral("Frame2"), QStringLiteral("Date Range"), QRect(10, 8, 280, 116));
    ui::markPlaced(Frame2);
    Label1 = ui::label(Frame2, QStringLiteral("Label1"), QStringLiteral("Starting Date"), QRect(12, 28, 110, 26));
    MaskEdBox1 = new ui::MaskedDateEdit(Frame2);
    MaskEdBox1->setObjectName(QStringLiteral("MaskEdBox1"));
    MaskEdBox1->setGeometry(126, 28, 110, 26);
    MaskEdBox1->setAccessibleName(QStringLiteral("Starting Date"));
    Label1->setBuddy(MaskEdBox1);
    Label2 = ui::label(Frame2, QStringLiteral("Label2"), QStringLiteral("Ending Date"), QRect(12, 62, 110, 26));
    MaskEdBox2 = new ui::MaskedDateEdit(Frame2);
    MaskEdBox2->setObjectName(QStringLiteral("MaskEdBox2"));
    MaskEdBox2->setGeometry(126, 62, 110, 26);
    MaskEdBox2->setAccessibleName(QStringLiteral("Ending Date"));
    Label2->setBuddy(MaskEdBox2);
    Label3 = ui::label(Frame2, QStringLiteral("Label3"), QStringLiteral("MM/DD/YYYY"), QRect(126, 90, 110, 20));
    Label3->setAlignment(Qt::AlignCenter);
    Text3 = ui::textBox(c, QStringLiteral("Text3"), QRect(10, 130, 10, 10), 0, QStringLiteral("Formula"));
    Text3->hide();
    Command3 = ui::button(c, QStringLiteral("Command3"), QStringLiteral("&Continue"), QRect(100, 134, 100, 34),
                          QStringLiteral("Runs the report for these dates"));
    setDefaultButton(Command3);
    CrystalReport1 = new CrystalReport(this);
    connect(Command3, &QPushButton::clicked, this, &DatePrompt::Command3_Click);
}

void DatePrompt::Command3_Click()
{
    ui::pointer::hourglass();
    const QString start = MaskEdBox1->maskedText();
    const QString end = MaskEdBox2->maskedText();
    const QDate from = QDate::fromString(start, QStringLiteral("MM/dd/yyyy"));
    const QDate to = QDate::fromString(end, QStringLiteral("MM/dd/yyyy"));
    if (MaskEdBox1->isBlank() || MaskEdBox2->isBlank()) {
        ui::msgBox(QStringLiteral("A Starting & Ending Date Is Required"), ui::Buttons::Ok, ui::Icon::Exclamation,
                   QStringLiteral("Warning"));
        MaskEdBox1->setFocus();
    } else if (from.isValid() && to.isValid() && to < from) {
        // A range that ends before it starts holds no day: said as such, not as a report without rows.
        ui::msgBox(QStringLiteral("The Ending Date (%1) comes before the Starting Date (%2).").arg(end, start),
                   ui::Buttons::Ok, ui::Icon::Exclamation, QStringLiteral("Warning"));
        MaskEdBox2->setFocus();
    } else {
        // Cut by position, MM/DD/YYYY, as typed: an untyped digit stays "_".
        auto date = [](const QString& text) -> QString {
            return text.right(4) + QLatin1Char(',') + text.mid(0, 2) + QLatin1Char(',') + text.mid(3, 2);
        };
        const QString field = QLatin1Char('{') + m_table + QStringLiteral(".DateNow}");
        Text3->setText(field + QStringLiteral(" >= Date (") + date(start) + QStringLiteral(") and ") + field +
                       QStringLiteral(" <= Date (") + date(end) + QLatin1Char(')'));
        CrystalReport1->setSelectionFormula(Text3->text());
        CrystalReport1->setReportFileName(m_reportFile);
        CrystalReport1->setAction(1);
    }
    ui::pointer::restore();
}

AskLane::AskLane() : ui::Screen(ui::forms::AskLane, QStringLiteral("Lane Number "), QSize(300, 178))
{
    QWidget* c = canvas();
    Frame2 = ui::frame(c, QStringLiteral("Frame2"), QStringLiteral("Lane # Range"), QRect(10, 8, 280, 116));
    ui::markPlaced(Frame2);
    Label1 = ui::label(Frame2, QStringLiteral("Label1"), QStringLiteral("Starting Lane"), QRect(12, 32, 110, 26));
    Text1 = ui::textBox(Frame2, QStringLiteral("Text1"), QRect(126, 32, 80, 26), 0, QStringLiteral("Starting Lane"));
    Label1->setBuddy(Text1);
    Label2 = ui::label(Frame2, QStringLiteral("Label2"), QStringLiteral("Ending Lane"), QRect(12, 70, 110, 26));
    Text2 = ui::textBox(Frame2, QStringLiteral("Text2"), QRect(126, 70, 80, 26), 0, QStringLiteral("Ending Lane"));
    Label2->setBuddy(Text2);
    ui::selectAllOnFocus(Text1);
    ui::selectAllOnFocus(Text2);
    Text3 = ui::textBox(c, QStringLiteral("Text3"), QRect(10, 130, 10, 10), 0, QStringLiteral("Formula"));
    Text3->hide();
    Command3 = ui::button(c, QStringLiteral("Command3"), QStringLiteral("&Continue"), QRect(100, 134, 100, 34),
                          QStringLiteral("Runs the report for these lanes"));
    setDefaultButton(Command3);
    CrystalReport1 = new CrystalReport(this);
    connect(Command3, &QPushButton::clicked, this, &AskLane::Command3_Click);
}

void AskLane::Command3_Click()
{
    ui::pointer::hourglass();
    bool numbers = false, second = false;
    const qint64 from = Text1->text().trimmed().toLongLong(&numbers);
    const qint64 to = Text2->text().trimmed().toLongLong(&second);
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) {
        ui::msgBox(QStringLiteral("A Starting & Ending Lane Is Required"), ui::Buttons::Ok, ui::Icon::Exclamation,
                   QStringLiteral("Warning"));
        Text1->setFocus();
    } else if (numbers && second && to < from) {
        ui::msgBox(QStringLiteral("The Ending Lane (%1) comes before the Starting Lane (%2).").arg(to).arg(from),
                   ui::Buttons::Ok, ui::Icon::Exclamation, QStringLiteral("Warning"));
        Text2->setFocus();
    } else {
        Text3->setText(QStringLiteral("{DData.LaneNo} in ") + Text1->text() + QStringLiteral(" to ") + Text2->text());
        CrystalReport1->setSelectionFormula(Text3->text());
        CrystalReport1->setReportFileName(QStringLiteral("sellane.rpt"));
        CrystalReport1->setAction(1);
    }
    ui::pointer::restore();
}

} // namespace reports
