// The statistics window's printouts: what a tab shows, previewed, printed and
// saved as PDF or CSV through the report engine and the program's report output.
#include "Statistics.h"

#include "FigurePrint.h"

#include "reports/ReportOutput.h"
#include "reports/engine/Report.h"
#include "ui/Controls.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

namespace stats {

void Statistics::buildOutputs(QWidget* c)
{
    Command3 = ui::button(c, QStringLiteral("Command3"), QStringLiteral("Pre&view"), QRect(620, 44, 84, 28),
                          QStringLiteral("Shows the figures of this tab as they print, page by page"));
    Command4 = ui::button(c, QStringLiteral("Command4"), QStringLiteral("&Print..."), QRect(708, 44, 76, 28),
                          QStringLiteral("Prints the figures of this tab (Ctrl+P)"));
    Command5 = ui::button(c, QStringLiteral("Command5"), QStringLiteral("Save as P&DF..."), QRect(788, 44, 100, 28),
                          QStringLiteral("Saves the figures of this tab as a PDF file"));
    Command6 = ui::button(c, QStringLiteral("Command6"), QStringLiteral("Sav&e as CSV..."), QRect(892, 44, 98, 28),
                          QStringLiteral("Saves the table of this tab for a spreadsheet"));
    const std::array<QPushButton*, 4> buttons{Command3, Command4, Command5, Command6};
    for (size_t i = 0; i < buttons.size(); ++i)
        m_outputMenus[i] = new QMenu(buttons[i]);
    connect(Command3, &QPushButton::clicked, this, &Statistics::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Statistics::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Statistics::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Statistics::Command6_Click);
    auto* print = new QShortcut(QKeySequence::Print, this);
    connect(print, &QShortcut::activated, Command4, &QPushButton::click);
}

QStringList Statistics::printouts() const
{
    switch (Tab(SSTab1->currentIndex())) {
    case LanesTab:
        return {QStringLiteral("&1 Lanes That Need Attention"), QStringLiteral("&2 Calls per Lane and Week"),
                QStringLiteral("&3 Calls on Other Lanes")};
    case RepeatsTab:
        return {QStringLiteral("&1 Repeat Calls by Lane and Call"), QStringLiteral("&2 Each Repeat Call")};
    default:
        return {QString()};
    }
}

void Statistics::setOutputMenus()
{
    // One table: the button sends it out at once. Several: the button's menu names them.
    const QStringList names = printouts();
    const std::array<QPushButton*, 4> buttons{Command3, Command4, Command5, Command6};
    for (size_t i = 0; i < buttons.size(); ++i) {
        QMenu* menu = m_outputMenus[i];
        menu->clear();
        for (int index = 0; index < names.size() && names.size() > 1; ++index) {
            QAction* item = menu->addAction(names.at(index));
            connect(item, &QAction::triggered, this, [this, i, index] { sendOut(Output(i), index); });
        }
        buttons[i]->setMenu(names.size() > 1 ? menu : nullptr);
    }
}

void Statistics::Command3_Click()
{
    if (!Command3->menu())
        sendOut(Output::Preview, 0);
}

void Statistics::Command4_Click()
{
    if (!Command4->menu())
        sendOut(Output::Print, 0);
}

void Statistics::Command5_Click()
{
    if (!Command5->menu())
        sendOut(Output::Pdf, 0);
}

void Statistics::Command6_Click()
{
    if (!Command6->menu())
        sendOut(Output::Csv, 0);
}

reports::FigureTable Statistics::printout(Tab tab, int index) const
{
    switch (tab) {
    case FramesTab:
        return print::framesPerStop(m_frames, m_request);
    case LanesTab:
        return index == 0   ? print::lanesRanked(m_lanes, m_request)
               : index == 1 ? print::laneWeeks(m_lanes, m_request)
                            : print::otherLanes(m_lanes, m_request);
    case RepeatsTab:
        return index == 0 ? print::repeatsRanked(m_repeats, m_request) : print::eachRepeat(m_repeats, m_request);
    case TimesTab: {
        const int view = Combo3->currentIndex();
        const FigureTable& shown = view == 0   ? m_times.bySection
                                   : view == 1 ? m_times.byHour
                                   : view == 2 ? m_times.byWeekday
                                               : m_times.weekdayByHour;
        return print::stopTimes(shown, m_request, view < 3);
    }
    case MechanicsTab:
        return Combo4->currentIndex() == 0 ? print::mechanicWeeks(m_mechanics, m_request)
                                           : print::sectionShares(m_mechanics, m_request);
    case TabCount:
        break;
    }
    return {};
}

void Statistics::sendOut(Output output, int index)
{
    // A tab not worked out (cancelled, or a setting just changed) is worked out first.
    workOutShownTab();
    const Tab tab = Tab(SSTab1->currentIndex());
    if (m_running || tab < 0 || tab >= TabCount || m_stale[size_t(tab)])
        return;
    std::shared_ptr<reports::ReportDocumentAdapter> document;
    store::Error error;
    {
        ui::pointer::BusyGuard busy;
        std::unique_ptr<reports::Report> report = reports::Report::fromFigures(printout(tab, index), ui::now(), &error);
        if (report)
            document = std::make_shared<reports::ReportDocumentAdapter>(std::move(report));
    }
    if (!document) {
        ui::msgBox(error.text(), ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    switch (output) {
    case Output::Preview:
        ui::Platform::instance().reportOutput().toWindow(document);
        return;
    case Output::Print:
        reports::printAsked(this, *document, 0);
        return;
    case Output::Pdf:
        reports::savePdfAsked(this, *document);
        return;
    case Output::Csv:
        reports::saveCsvAsked(this, *document);
        return;
    }
}

} // namespace stats
