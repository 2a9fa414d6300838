// The maintenance schedule on paper: the due list, the lanes in each state
// and the history chosen go to the report preview, which prints them and
// saves them as PDF and CSV.
#include "MaintSchedule.h"

#include "ScheduleModels.h"
#include "SchedulePrint.h"

#include "reports/ReportOutput.h"
#include "store/Database.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"

#include <QComboBox>
#include <QHash>
#include <QTabWidget>

namespace maint {

void MaintSchedule::Command8_Click()
{
    if (!m_ready)
        return;
    const Tab tab = Tab(SSTab1->currentIndex());
    std::optional<reports::FigureTable> figures;
    if (tab == HistoryTab) {
        figures = historyFigures();
    } else if (tab == DueTab || tab == GridTab) {
        // Worked out afresh, as the sheet is: the page shows what is due now.
        if (m_lanes <= 0) {
            ui::msgBox(QStringLiteral("Type the number of lanes at the centre in Lanes at the centre first: the due "
                                      "list is worked out from it."),
                       ui::Buttons::Ok, ui::Icon::Exclamation);
            Text1->setFocus();
            return;
        }
        if (!refresh())
            return;
        const QString period = duePeriod(m_due);
        if (tab == DueTab)
            figures = figuresOf(dueListOnPaper(), period, QStringLiteral("maintenance due list"));
        else
            figures = figuresOf(m_due.lanesByState(),
                                period + QStringLiteral(" Tasks done on each lane separately, each lane under its "
                                                        "state."),
                                QStringLiteral("maintenance due by lane"));
    }
    if (figures)
        preview(*figures);
}

Table MaintSchedule::dueListOnPaper() const
{
    Table table = m_due.table(printLocale());
    // Shorter captions over the numbers leave their room on the page to the tasks and intervals, so that
    // "100,000 frames or 365 days" and most tasks keep to one line.
    const QHash<QString, QString> shorter{
        {QStringLiteral("Frames per machine since"), QStringLiteral("Frames per machine")},
        {QStringLiteral("Days without a frame count"), QStringLiteral("Days without a count")}};
    for (Column& column : table.columns)
        column.caption = shorter.value(column.caption, column.caption);
    return table;
}

std::optional<reports::FigureTable> MaintSchedule::historyFigures()
{
    // What the boxes say now, shown in the window too, so the page and the window agree.
    if (!showHistory())
        return std::nullopt;
    const Table& table = m_historyModel->table();
    HistoryWords words;
    words.filter = m_historyFilter;
    words.taskText = m_historyTask;
    words.first = m_historyFilter.from;
    words.last = m_historyFilter.to;
    if (!table.rows.isEmpty()) {
        if (!words.first.isValid())
            words.first = table.rows.first().value(0).toDate();
        if (!words.last.isValid())
            words.last = table.rows.last().value(0).toDate();
    }
    if (words.last.isValid() && words.last > ui::today())
        words.last = ui::today();
    auto db = database();
    if (!db)
        return std::nullopt;
    store::Error why;
    const std::optional<int> uncounted = daysWithoutCount(*db, words.first, words.last, &why);
    if (!uncounted) {
        tellFailure(QStringLiteral("The history was not put in a report."), why);
        return std::nullopt;
    }
    words.uncounted = *uncounted;
    return figuresOf(table, historyPeriod(words), QStringLiteral("maintenance history"));
}

void MaintSchedule::preview(const reports::FigureTable& figures)
{
    std::shared_ptr<reports::ReportDocumentAdapter> document;
    store::Error error;
    {
        ui::pointer::BusyGuard busy;
        std::unique_ptr<reports::Report> report = reports::Report::fromFigures(figures, ui::now(), &error);
        if (report)
            document = std::make_shared<reports::ReportDocumentAdapter>(std::move(report));
    }
    if (!document) {
        ui::msgBox(QStringLiteral("The %1 could not be put in a report: %2").arg(figures.title.toLower(), error.text()),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    ui::Platform::instance().reportOutput().toWindow(document);
}

} // namespace maint
