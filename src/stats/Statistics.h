#pragma once

#include "stats/engine/Figures.h"
#include "ui/Screen.h"

#include <array>
#include <memory>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableView;

namespace ui {
class MaskedDateEdit;
}

namespace reports {
struct FigureTable;
}

namespace stats {

class FigureModel;
class RunProgress;

/// The manager's figures over a range of days: frames per stop, the lanes
/// that need attention, repeat calls, when stops happen and who fixed what,
/// each a table beside its chart. A figure is worked out when its tab is
/// shown and its range or setting changed.
class Statistics : public ui::Screen {
    Q_OBJECT
public:
    Statistics();
    ~Statistics() override;

    enum Tab { FramesTab, LanesTab, RepeatsTab, TimesTab, MechanicsTab, TabCount };

    // The range.
    QLabel* Label1;
    ui::MaskedDateEdit* MaskEdBox1;
    QLabel* Label2;
    ui::MaskedDateEdit* MaskEdBox2;
    QLabel* Label3;
    QLabel* Label4;
    QComboBox* Combo1;
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label5;
    // What the tab shows, previewed, printed, saved as PDF or CSV.
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QTabWidget* SSTab1;
    // Frames per stop.
    QLabel* Label6;
    QComboBox* Combo2;
    QLabel* Label7;
    QLineEdit* Text1;
    QLabel* Label8;
    QTableView* Grid1;
    QChartView* Chart1;
    QLabel* Label9;
    // Lanes that need attention.
    QLabel* Label10;
    QLineEdit* Text2;
    QLabel* Label11;
    QTableView* Grid2;
    QChartView* Chart2;
    QLabel* Label12;
    QTableView* Grid3;
    QLabel* Label13;
    QTableView* Grid4;
    // Repeat calls.
    QLabel* Label14;
    QLineEdit* Text3;
    QLabel* Label15;
    QTableView* Grid5;
    QChartView* Chart3;
    QLabel* Label16;
    QTableView* Grid6;
    // When stops happen.
    QLabel* Label17;
    QComboBox* Combo3;
    QTableView* Grid7;
    QChartView* Chart4;
    QTableView* Grid8;
    // Who fixed what.
    QLabel* Label18;
    QComboBox* Combo4;
    QTableView* Grid9;
    QChartView* Chart5;

    /// What the next figures are worked out for, as last accepted.
    const Request& request() const { return m_request; }
    /// The figures as last worked out (empty until their tab was shown).
    const FramesPerStop& framesPerStop() const { return m_frames; }
    const LaneFigures& laneFigures() const { return m_lanes; }
    const RepeatCalls& repeatCalls() const { return m_repeats; }
    const StopTimes& stopTimes() const { return m_times; }
    const MechanicFigures& mechanicFigures() const { return m_mechanics; }
    /// The model behind a grid of the window.
    FigureModel* modelOf(QTableView* grid) const;
    /// The pacing of long runs (tests show its window at once).
    RunProgress& progress() { return *m_progress; }

    void Form_Load() override;

    /// Where a printout of the figures goes.
    enum class Output { Preview, Print, Pdf, Csv };
    /// The printouts of the tab shown, one per table, as the buttons' menus list them.
    QStringList printouts() const;
    /// Sends printout `index` of the tab shown to `output`, working the
    /// figure out first when it is not; a failure is told in a message box.
    void sendOut(Output output, int index);

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Combo1_Click();
    void Combo2_Click();
    void Combo3_Click();
    void Combo4_Click();
    void Text1_LostFocus();
    void Text2_LostFocus();
    void Text3_LostFocus();
    void SSTab1_Click();

private:
    void buildRange(QWidget* c);
    void buildOutputs(QWidget* c);
    /// A tab of several tables gives each output button a menu of them.
    void setOutputMenus();
    /// The printout `index` of `tab`'s figure, as the engine prints it.
    reports::FigureTable printout(Tab tab, int index) const;
    QWidget* buildFramesTab();
    QWidget* buildLanesTab();
    QWidget* buildRepeatsTab();
    QWidget* buildTimesTab();
    QWidget* buildMechanicsTab();
    QTableView* grid(QWidget* page, const QString& name, QRect at, const QString& accessibleName);
    QChartView* chartView(QWidget* page, const QString& name, QRect at);
    static void showChart(QChartView* view, QChart* chart);

    // Settings kept in the database.
    void readSettings();
    bool settingsTableReady(const QString& what);
    bool keepNumber(const QString& setting, int value);
    /// Each takes what its box holds when it changed; false after saying why it was refused.
    bool takeGoal();
    bool takeLanes();
    bool takeDays();
    /// The number typed in a box, or nullopt after saying why it was refused.
    std::optional<int> typedNumber(QLineEdit* box, int lowest, int highest, const QString& what);
    /// The dates typed, or nullopt after saying why they were refused.
    std::optional<DateRange> typedRange();
    void showRange(const DateRange& range);

    // Working out and showing the figures.
    void markStale();
    void workOutShownTab();
    /// Works out one figure under the progress window into `figure`; false when it did not finish.
    template <class Figure> bool workOutInto(const QString& what, int steps, Figure* figure);
    /// Runs `work` under the progress window; false (after telling the user) when it did not finish.
    bool run(const QString& what, int steps, const std::function<bool(FigureRun&)>& work);
    void showFrames();
    void showLanes();
    void showRepeats();
    void showTimes();
    void showMechanics();
    /// Empties a tab's grids and drops its figure.
    void releaseTab(Tab tab);
    /// Shows a tab without figures (not worked out).
    void clearTab(Tab tab);

    Request m_request;
    FramesPerStop m_frames;
    LaneFigures m_lanes;
    RepeatCalls m_repeats;
    StopTimes m_times;
    MechanicFigures m_mechanics;
    std::array<bool, TabCount> m_stale{};
    std::array<QMenu*, 4> m_outputMenus{};
    std::unique_ptr<RunProgress> m_progress;
    bool m_running = false;
};

} // namespace stats
