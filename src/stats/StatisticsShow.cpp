// The statistics window's figures on screen: each table in its grid, each chart beside it.
#include "Statistics.h"

#include "FigureCharts.h"
#include "FigureModel.h"
#include "FigurePrint.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

namespace stats {
namespace {

void fill(FigureModel* model, QTableView* view, const FigureTable& table)
{
    model->setTable(&table);
    // Columns as wide as their captions and first rows: a long listing is not measured whole.
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setResizeContentsPrecision(200);
    view->resizeColumnsToContents();
    view->horizontalHeader()->setStretchLastSection(false);
}

} // namespace

void Statistics::showFrames()
{
    fill(modelOf(Grid1), Grid1, m_frames.table);
    showChart(Chart1, charts::framesPerStop(m_frames, m_request.grain, m_request.goal));
    Label8->setText(print::framesSummary(m_frames));
    Label9->setText(print::leftOutNote(m_frames));
}

void Statistics::showLanes()
{
    fill(modelOf(Grid2), Grid2, m_lanes.ranked);
    fill(modelOf(Grid3), Grid3, m_lanes.grid);
    fill(modelOf(Grid4), Grid4, m_lanes.outside);
    showChart(Chart2, charts::bars(QStringLiteral("Calls per Lane"), m_lanes.perLane, QStringLiteral("Lane"),
                                   QStringLiteral("Calls")));
    Label11->setText(m_request.lanes > 0
                         ? QStringLiteral("Lanes 1 to %1, most calls first; calls logged on other lanes are listed "
                                          "apart below.")
                               .arg(m_request.lanes)
                         : QStringLiteral("Type how many lanes the centre has: calls on other lanes are then listed "
                                          "apart."));
    const int others = m_lanes.outside.rowCount();
    Label13->setText(m_lanes.outside.title() + (others == 0 ? QStringLiteral(": none") : QString()));
}

void Statistics::showRepeats()
{
    fill(modelOf(Grid5), Grid5, m_repeats.ranked);
    fill(modelOf(Grid6), Grid6, m_repeats.repeats);
    showChart(Chart3, charts::lyingBars(QStringLiteral("Lanes and Calls That Repeat Most"), m_repeats.top,
                                        QStringLiteral("Repeats")));
    Label15->setText(print::repeatsNote(m_repeats, m_request.repeatDays));
}

void Statistics::showTimes()
{
    const int view = Combo3->currentIndex();
    const bool grid = view == 3;
    Grid7->setVisible(!grid);
    Chart4->setVisible(!grid);
    Grid8->setVisible(grid);
    if (grid) {
        fill(modelOf(Grid8), Grid8, m_times.weekdayByHour);
        return;
    }
    const FigureTable& table = view == 0 ? m_times.bySection : view == 1 ? m_times.byHour : m_times.byWeekday;
    const QString category = view == 0   ? QStringLiteral("Section")
                             : view == 1 ? QStringLiteral("Hour")
                                         : QStringLiteral("Weekday");
    fill(modelOf(Grid7), Grid7, table);
    QList<Bar> bars = charts::barsOf(table, 1);
    if (view == 1) {
        // Hours as numbers under their bars; the first column reads "18:00".
        for (Bar& bar : bars)
            bar.label = bar.label.section(QLatin1Char(':'), 0, 0);
    }
    showChart(Chart4, charts::bars(table.title(), bars, category, QStringLiteral("Calls")));
}

void Statistics::showMechanics()
{
    if (Combo4->currentIndex() == 0) {
        fill(modelOf(Grid9), Grid9, m_mechanics.byWeek);
        showChart(Chart5, charts::mechanicWeeks(m_mechanics));
    } else {
        fill(modelOf(Grid9), Grid9, m_mechanics.sectionShares);
        showChart(Chart5, charts::sectionShares(m_mechanics));
    }
}

void Statistics::Combo3_Click()
{
    if (!m_stale[TimesTab])
        showTimes();
}

void Statistics::Combo4_Click()
{
    if (!m_stale[MechanicsTab])
        showMechanics();
}

void Statistics::releaseTab(Tab tab)
{
    // The grids let go of the figure first: a long listing is not held twice.
    const QList<QTableView*> grids[TabCount] = {{Grid1},
                                                {Grid2, Grid3, Grid4},
                                                {Grid5, Grid6},
                                                {Grid7, Grid8},
                                                {Grid9}};
    for (QTableView* grid : grids[tab])
        modelOf(grid)->setTable(nullptr);
    switch (tab) {
    case FramesTab:
        m_frames = FramesPerStop();
        return;
    case LanesTab:
        m_lanes = LaneFigures();
        return;
    case RepeatsTab:
        m_repeats = RepeatCalls();
        return;
    case TimesTab:
        m_times = StopTimes();
        return;
    case MechanicsTab:
        m_mechanics = MechanicFigures();
        return;
    case TabCount:
        return;
    }
}

void Statistics::clearTab(Tab tab)
{
    // A figure not worked out shows nothing rather than figures of other dates.
    switch (tab) {
    case FramesTab:
        m_frames = FramesPerStop();
        showFrames();
        Label8->clear();
        Label9->clear();
        return;
    case LanesTab:
        m_lanes = LaneFigures();
        showLanes();
        Label13->clear();
        return;
    case RepeatsTab:
        m_repeats = RepeatCalls();
        showRepeats();
        Label15->clear();
        return;
    case TimesTab:
        m_times = StopTimes();
        showTimes();
        return;
    case MechanicsTab:
        m_mechanics = MechanicFigures();
        showMechanics();
        return;
    case TabCount:
        return;
    }
}

} // namespace stats
