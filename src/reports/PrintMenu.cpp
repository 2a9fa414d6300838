#include "PrintMenu.h"

#include "CrystalReport.h"

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Pointer.h"
#include "ui/ScreenRegistry.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace reports {
namespace {

constexpr int kColumnWidth = 262;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 5;
constexpr int kFrameTop = 24; // room for the frame's caption

int frameHeight(int buttons)
{
    return kFrameTop + buttons * (kButtonHeight + kButtonGap) + 6;
}

// A sheet with lines and a small bar graph: the picture beside the reports.
QPixmap reportPicture()
{
    QPixmap picture(64, 64);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(12, 4, 40, 54));
    p.setPen(QPen(QColor(0x99, 0x99, 0x99), 1.5));
    for (int y = 12; y <= 26; y += 5)
        p.drawLine(QPointF(18, y), QPointF(46, y));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3B, 0x6E, 0xA5));
    const int heights[] = {10, 18, 13, 22};
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(18 + i * 7.5, 52 - heights[i], 5, heights[i]));
    return picture;
}

// Fills a frame with buttons, one below the other.
struct FrameFiller {
    QWidget* canvas;
    QGroupBox* frame = nullptr;
    int nextTop = kFrameTop;

    QGroupBox* start(const char* name, const char* caption, int x, int y, int buttons)
    {
        frame = ui::frame(canvas, QString::fromLatin1(name), QString::fromLatin1(caption),
                          QRect(x, y, kColumnWidth, frameHeight(buttons)));
        ui::markPlaced(frame);
        nextTop = kFrameTop;
        return frame;
    }
    QPushButton* add(const char* name, const char* caption, const char* tip = "")
    {
        QPushButton* b = ui::button(frame, QString::fromLatin1(name), QString::fromLatin1(caption),
                                    QRect(10, nextTop, kColumnWidth - 20, kButtonHeight), QString::fromLatin1(tip));
        nextTop += kButtonHeight + kButtonGap;
        return b;
    }
};

} // namespace

PrintMenu::PrintMenu() : ui::Screen(ui::forms::PrintMenu, QStringLiteral("Print Menu"), QSize(560, 566))
{
    QWidget* c = canvas();
    const int leftBottom = buildLeftColumn();
    const int rightBottom = buildRightColumn();
    const int right = 12 + kColumnWidth + 12;
    Image1 = ui::label(c, QStringLiteral("Image1"), QString(),
                       QRect(right + kColumnWidth / 2 - 32, rightBottom + 4, 64, leftBottom - rightBottom - 4));
    Image1->setPixmap(reportPicture());
    Image1->setAlignment(Qt::AlignCenter);
    Command21 = ui::button(c, QStringLiteral("Command21"), QStringLiteral("E&xit"),
                           QRect(560 / 2 - 60, leftBottom + 10, 120, 32), QStringLiteral("Back to the main menu"));
    setCancelButton(Command21);
    CrystalReport1 = new CrystalReport(this);
    connectButtons();
}

// Left column, from the top: all calls, special, graphs. Returns its foot.
int PrintMenu::buildLeftColumn()
{
    FrameFiller f{canvas()};
    const int left = 12;
    int y = 10;
    SSFrame5 = f.start("SSFrame5", "All Calls", left, y, 5);
    Command1 = f.add("Command1", "Sorted by &Date", "Every call, day by day");
    Command2 = f.add("Command2", "Sorted by &Actual Call", "Every call, by the call made");
    Command3 = f.add("Command3", "Sorted by Lane &Number", "Every call, lane by lane");
    Command4 = f.add("Command4", "Sorted by Mechanic #&1", "Every call, by mechanic #1");
    Command5 = f.add("Command5", "Sorted by Mechanic #&2", "Every call, by mechanic #2");
    y += frameHeight(5) + 8;
    SSFrame4 = f.start("SSFrame4", "Special ", left, y, 3);
    Command24 = f.add("Command24", "Print all 100 Preset Calls", "The preset calls board, section by section");
    Command25 = f.add("Command25", "User Defined (Start/End) Date", "Calls between two dates you type");
    Command26 = f.add("Command26", "User Defined (Start/End) Lane #", "Calls of the lanes you type");
    y += frameHeight(3) + 8;
    SSFrame3 = f.start("SSFrame3", "Graphs", left, y, 4);
    Command6 = f.add("Command6", "&Bar Graph ", "Calls per lane");
    Command7 = f.add("Command7", "&Pie Graph", "The calls made most often");
    Command8 = f.add("Command8", "Mechanic #1 Bar &Graph", "Calls corrected by each mechanic #1");
    Command9 = f.add("Command9", "Mechanic # 2 Ba&r Graph", "Calls corrected by each mechanic #2");
    return y + frameHeight(4);
}

// Right column: date range above notes and work completed. Returns its foot.
int PrintMenu::buildRightColumn()
{
    FrameFiller f{canvas()};
    const int right = 12 + kColumnWidth + 12;
    int y = 10;
    SSFrame1 = f.start("SSFrame1", "Date Range", right, y, 6);
    Command11 = f.add("Command11", "Calls &Today");
    Command12 = f.add("Command12", "Calls This &Week", "Sunday to Saturday");
    Command13 = f.add("Command13", "Calls This &Month");
    Command14 = f.add("Command14", "Calls This &Year");
    Command22 = f.add("Command22", "Today'&s Call Sheet Printed",
                      "Prints today's notes, work assignments and calls on the printer");
    Command23 = f.add("Command23", "Calls Y&esterday");
    y += frameHeight(6) + 8;
    SSFrame2 = f.start("SSFrame2", "Notes/Work Completed", right, y, 6);
    Command15 = f.add("Command15", "All AM Notes");
    Command16 = f.add("Command16", "All PM Notes");
    Command17 = f.add("Command17", "Notes (Start/End) Date", "Notes between two dates you type");
    Command18 = f.add("Command18", "All AM/PM Notes");
    Command19 = f.add("Command19", "All Work Assigned/Completed");
    Command20 = f.add("Command20", "Work Assignments Completed", "Work sheets between two dates you type");
    return y + frameHeight(6);
}

void PrintMenu::connectButtons()
{
    const std::pair<QPushButton*, const char*> direct[] = {
        {Command1, "alldata.rpt"},  {Command2, "calls.rpt"},    {Command3, "laneno.rpt"},
        {Command4, "smech1.rpt"},   {Command5, "smech2.rpt"},   {Command24, "100calls.rpt"},
        {Command6, "bgraph.rpt"},   {Command7, "pgraph.rpt"},   {Command8, "gmech1.rpt"},
        {Command9, "gmech2.rpt"},   {Command11, "daily.rpt"},   {Command12, "weekly.rpt"},
        {Command13, "mtodate.rpt"}, {Command14, "ytodate.rpt"}, {Command23, "daybefor.rpt"},
        {Command15, "amnotes.rpt"}, {Command16, "pmnotes.rpt"}, {Command18, "apnote.rpt"},
        {Command19, "assign.rpt"},
    };
    for (const auto& [button, file] : direct) {
        const QString name = QString::fromLatin1(file);
        connect(button, &QPushButton::clicked, this, [this, name] { runReport(name); });
    }
    connect(Command22, &QPushButton::clicked, this, &PrintMenu::Command22_Click);
    connect(Command17, &QPushButton::clicked, this, [this] { showPrompt(ui::forms::Date2); });
    connect(Command20, &QPushButton::clicked, this, [this] { showPrompt(ui::forms::Date3); });
    connect(Command25, &QPushButton::clicked, this, [this] { showPrompt(ui::forms::Date1); });
    connect(Command26, &QPushButton::clicked, this, [this] { showPrompt(ui::forms::AskLane); });
    connect(Command21, &QPushButton::clicked, this, &PrintMenu::Command21_Click);
}

void PrintMenu::runReport(const QString& file)
{
    ui::pointer::hourglass();
    CrystalReport1->setReportFileName(file);
    CrystalReport1->setAction(1);
    ui::pointer::restore();
}

void PrintMenu::Command22_Click()
{
    ui::pointer::hourglass();
    QList<std::pair<QString, std::optional<ui::PrintOutcome>>> sheet;
    for (const char* file : {"1daynote.rpt", "1assign.rpt", "daily.rpt"}) {
        CrystalReport1->setDestination(CrystalReport::kPrinter);
        CrystalReport1->setReportFileName(QString::fromLatin1(file));
        CrystalReport1->setAction(1);
        sheet.append({QString::fromLatin1(file), CrystalReport1->lastPrint()});
    }
    CrystalReport1->setDestination(CrystalReport::kWindow);
    ui::pointer::restore();
    tellCallSheet(sheet);
}

// One line at the end of the call sheet: what went to which printer.
void PrintMenu::tellCallSheet(const QList<std::pair<QString, std::optional<ui::PrintOutcome>>>& sheet)
{
    using State = ui::PrintOutcome::State;
    auto what = [](const QString& file) -> QString {
        if (file == QLatin1String("1daynote.rpt"))
            return QStringLiteral("today's notes");
        return file == QLatin1String("1assign.rpt") ? QStringLiteral("today's work assignments")
                                                    : QStringLiteral("today's calls");
    };
    auto listed = [](const QStringList& items) -> QString {
        if (items.size() < 2)
            return items.join(QString());
        return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + items.last();
    };
    QStringList sent, missing;
    QString printer;
    for (const auto& [file, outcome] : sheet) {
        if (outcome && (outcome->state == State::Sent || outcome->state == State::Stopped) &&
            (printer.isEmpty() || printer == outcome->printer)) {
            printer = outcome->printer;
            sent << QStringLiteral("%1 (%2 page%3)")
                        .arg(what(file))
                        .arg(outcome->pages)
                        .arg(outcome->pages == 1 ? QString() : QStringLiteral("s"));
        } else {
            missing << what(file);
        }
    }
    if (sent.isEmpty()) {
        ui::msgBox(QStringLiteral("Nothing of today's call sheet was printed."), ui::Buttons::Ok,
                   ui::Icon::Exclamation);
    } else if (missing.isEmpty()) {
        ui::msgBox(QStringLiteral("Today's call sheet went to the printer \"%1\": %2.").arg(printer, listed(sent)),
                   ui::Buttons::Ok, ui::Icon::Information);
    } else {
        ui::msgBox(QStringLiteral("Of today's call sheet, %1 went to the printer \"%2\"; %3 did not.")
                       .arg(listed(sent), printer, listed(missing)),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
    }
}

void PrintMenu::showPrompt(const QString& screen)
{
    ui::ScreenRegistry::instance().show(screen);
}

void PrintMenu::Command21_Click()
{
    ui::ScreenRegistry::instance().unloadAndShow(this, ui::forms::MainMenu);
}

void PrintMenu::frameClose()
{
    Command21_Click();
}

} // namespace reports
