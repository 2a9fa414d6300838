// The statistics window's range, settings and runs: what is typed is checked
// and kept, and each figure is worked out under the progress window.
#include "Statistics.h"

#include "RunProgress.h"

#include "store/CentreSettings.h"
#include "store/Database.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Platform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>

namespace stats {
namespace {

std::shared_ptr<store::Database> openDatabase()
{
    store::Error why;
    auto db = store::Database::open(ui::databasePath(), &why);
    if (!db)
        ui::msgBox(why.text(), ui::Buttons::Ok, ui::Icon::Exclamation);
    return db;
}

constexpr int kMostYears = 100;

const QString kAddTable = QStringLiteral(" Add the table of settings to the database now? Nothing else in the file "
                                         "changes.");

/// The window's check of the database when it loads: the window does not
/// open on a database it cannot read. It holds no connection afterwards, so
/// compacting and restoring are not kept waiting by an open window.
class DatabaseCheck : public QObject, public ui::SourceHook {
public:
    explicit DatabaseCheck(Statistics* window, std::function<bool()> open) : QObject(window), m_open(std::move(open)) {}
    bool openOnLoad() override { return m_open(); }
    bool writeBackOnClose() override { return true; }
    bool writeBackOnExit() override { return true; }
    void discard() override {}

private:
    std::function<bool()> m_open;
};

} // namespace

void Statistics::Form_Load()
{
    new DatabaseCheck(this, [this] {
        if (!openDatabase())
            return false;
        readSettings();
        workOutShownTab();
        return true;
    });
    Combo1->setCurrentIndex(1 + int(QuickChoice::LastFourWeeks));
    m_request.range = quickRange(QuickChoice::LastFourWeeks, ui::today());
    showRange(m_request.range);
    Text1->setText(QString::number(m_request.goal));
    Text3->setText(QString::number(m_request.repeatDays));
}

void Statistics::readSettings()
{
    auto db = openDatabase();
    if (!db)
        return;
    store::Error why;
    const bool present = store::settings::present(*db, &why);
    if (why.isError()) {
        ui::msgBox(why.text(), ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    // Declined, the table is asked for again when a goal or number of lanes is typed.
    if (!present && !db->isReadOnly()) {
        const ui::Answer answer = ui::msgBox(QStringLiteral("This database has no table for the centre's settings "
                                                            "(the goal of frames per stop and the number of lanes).") +
                                                 kAddTable,
                                             ui::Buttons::YesNo, ui::Icon::Question);
        if (answer == ui::Answer::Yes && !store::settings::add(*db, &why))
            ui::msgBox(QStringLiteral("The table of settings was not added. ") + why.text(), ui::Buttons::Ok,
                       ui::Icon::Exclamation);
    }
    auto read = [&](const QString& name, int lowest, int highest, const QString& what) -> std::optional<int> {
        const std::optional<int> kept = store::settings::readNumberWithin(*db, name, lowest, highest, what, &why);
        if (!kept && why.isError())
            ui::msgBox(why.message + QStringLiteral(" Type the %1 again in this window.").arg(what), ui::Buttons::Ok,
                       ui::Icon::Exclamation);
        return kept;
    };
    m_request.goal =
        read(store::settings::kFramesPerStopGoal, 1, store::settings::kMostFramesPerStop, QStringLiteral("goal"))
            .value_or(store::settings::kDefaultGoal);
    m_request.lanes =
        read(store::settings::kLanes, 1, store::settings::kMostLanes, QStringLiteral("number of lanes")).value_or(0);
    Text1->setText(QString::number(m_request.goal));
    Text2->setText(m_request.lanes > 0 ? QString::number(m_request.lanes) : QString());
}

bool Statistics::settingsTableReady(const QString& what)
{
    auto db = openDatabase();
    if (!db)
        return false;
    store::Error why;
    if (store::settings::present(*db, &why))
        return true;
    if (why.isError()) {
        ui::msgBox(why.text(), ui::Buttons::Ok, ui::Icon::Exclamation);
        return false;
    }
    if (db->isReadOnly())
        return false;
    const ui::Answer answer = ui::msgBox(
        QStringLiteral("The %1 can be kept only in a table of settings this database does not have.").arg(what) +
            kAddTable,
        ui::Buttons::YesNo, ui::Icon::Question);
    if (answer != ui::Answer::Yes)
        return false;
    if (!store::settings::add(*db, &why)) {
        ui::msgBox(QStringLiteral("The table of settings was not added. ") + why.text(), ui::Buttons::Ok,
                   ui::Icon::Exclamation);
        return false;
    }
    return true;
}

bool Statistics::keepNumber(const QString& setting, int value)
{
    const bool goal = setting == store::settings::kFramesPerStopGoal;
    const QString what = goal ? QStringLiteral("goal") : QStringLiteral("number of lanes");
    const QString notKept = QStringLiteral("The %1 %2 is used in this window, but it was not kept for the next time.")
                                .arg(what, QString::number(value));
    if (!settingsTableReady(what)) {
        ui::msgBox(notKept, ui::Buttons::Ok, ui::Icon::Information);
        return false;
    }
    auto db = openDatabase();
    store::Error why;
    if (!db || !store::settings::writeNumber(*db, setting, value, &why)) {
        if (why.isError())
            ui::msgBox(notKept + QLatin1Char(' ') + why.text(), ui::Buttons::Ok, ui::Icon::Exclamation);
        return false;
    }
    return true;
}

std::optional<int> Statistics::typedNumber(QLineEdit* box, int lowest, int highest, const QString& what)
{
    // Digits alone, or a number as the user's language writes it ("1,500" in English).
    static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
    const QString typed = box->text();
    const QString trimmed = typed.trimmed();
    bool ok = digits.match(trimmed).hasMatch();
    int value = ok ? trimmed.toInt() : QLocale().toInt(trimmed, &ok);
    if (ok && value >= lowest && value <= highest)
        return value;
    ui::msgBox(QStringLiteral("%1 must be a whole number from %2 to %3; \"%4\" is not.")
                   .arg(what, QLocale().toString(lowest), QLocale().toString(highest), typed),
               ui::Buttons::Ok, ui::Icon::Exclamation);
    box->setFocus();
    box->selectAll();
    return std::nullopt;
}

std::optional<DateRange> Statistics::typedRange()
{
    if (MaskEdBox1->isBlank() || MaskEdBox2->isBlank()) {
        ui::msgBox(QStringLiteral("A Starting & Ending Date Is Required"), ui::Buttons::Ok, ui::Icon::Exclamation,
                   QStringLiteral("Warning"));
        (MaskEdBox1->isBlank() ? MaskEdBox1 : MaskEdBox2)->setFocus();
        return std::nullopt;
    }
    if (!MaskEdBox1->acceptTypedDate() || !MaskEdBox2->acceptTypedDate())
        return std::nullopt;
    const DateRange range{MaskEdBox1->date(), MaskEdBox2->date()};
    // A range is worked out week by week and day by day: a hundred years is plenty.
    if (range.from.addYears(kMostYears) <= range.to) {
        ui::msgBox(QStringLiteral("The dates %1 to %2 span more than %3 years. Choose a range of at most %3 years.")
                       .arg(MaskEdBox1->maskedText(), MaskEdBox2->maskedText(), QString::number(kMostYears)),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        MaskEdBox1->setFocus();
        return std::nullopt;
    }
    if (range.to < range.from) {
        ui::msgBox(QStringLiteral("The ending date %1 comes before the starting date %2. Enter an ending date on or "
                                  "after the starting date.")
                       .arg(MaskEdBox2->maskedText(), MaskEdBox1->maskedText()),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        MaskEdBox2->setFocus();
        return std::nullopt;
    }
    return range;
}

void Statistics::showRange(const DateRange& range)
{
    MaskEdBox1->setDate(range.from);
    MaskEdBox2->setDate(range.to);
}

void Statistics::markStale()
{
    m_stale.fill(true);
}

void Statistics::Command1_Click()
{
    if (m_running)
        return;
    // A value typed and not yet taken (the focus never left its box) is taken now.
    if (!takeGoal() || !takeLanes() || !takeDays())
        return;
    const std::optional<DateRange> range = typedRange();
    if (!range)
        return;
    m_request.range = *range;
    markStale();
    workOutShownTab();
}

void Statistics::Combo1_Click()
{
    const int index = Combo1->currentIndex();
    if (m_running || index < 1)
        return;
    m_request.range = quickRange(QuickChoice(index - 1), ui::today());
    showRange(m_request.range);
    markStale();
    workOutShownTab();
}

void Statistics::Combo2_Click()
{
    if (m_running || Grain(Combo2->currentIndex()) == m_request.grain)
        return;
    m_request.grain = Grain(Combo2->currentIndex());
    m_stale[FramesTab] = true;
    workOutShownTab();
}

bool Statistics::takeGoal()
{
    if (m_running || Text1->text().trimmed() == QString::number(m_request.goal))
        return true;
    const auto goal = typedNumber(Text1, 1, store::settings::kMostFramesPerStop, QStringLiteral("The goal"));
    if (!goal)
        return false;
    Text1->setText(QString::number(*goal));
    m_request.goal = *goal;
    keepNumber(store::settings::kFramesPerStopGoal, *goal);
    // The goal only moves the goal line.
    if (!m_stale[FramesTab])
        showFrames();
    return true;
}

bool Statistics::takeLanes()
{
    const QString current = m_request.lanes > 0 ? QString::number(m_request.lanes) : QString();
    if (m_running || Text2->text().trimmed() == current)
        return true;
    const auto lanes = typedNumber(Text2, 1, store::settings::kMostLanes, QStringLiteral("The number of lanes"));
    if (!lanes)
        return false;
    Text2->setText(QString::number(*lanes));
    m_request.lanes = *lanes;
    keepNumber(store::settings::kLanes, *lanes);
    m_stale[LanesTab] = true;
    return true;
}

bool Statistics::takeDays()
{
    if (m_running || Text3->text().trimmed() == QString::number(m_request.repeatDays))
        return true;
    const auto days = typedNumber(Text3, 0, 365, QStringLiteral("The days within which a call counts as a repeat"));
    if (!days)
        return false;
    Text3->setText(QString::number(*days));
    m_request.repeatDays = *days;
    m_stale[RepeatsTab] = true;
    return true;
}

void Statistics::Text1_LostFocus()
{
    takeGoal();
}

void Statistics::Text2_LostFocus()
{
    if (takeLanes())
        workOutShownTab();
}

void Statistics::Text3_LostFocus()
{
    if (takeDays())
        workOutShownTab();
}

void Statistics::SSTab1_Click()
{
    setOutputMenus();
    workOutShownTab();
}

void Statistics::workOutShownTab()
{
    const Tab tab = Tab(SSTab1->currentIndex());
    if (m_running || tab < 0 || tab >= TabCount || !m_stale[size_t(tab)])
        return;
    releaseTab(tab);
    bool done = false;
    switch (tab) {
    case FramesTab:
        done = workOutInto(QStringLiteral("frames per stop"), 1, &m_frames);
        break;
    case LanesTab:
        done = workOutInto(QStringLiteral("the lanes"), 2, &m_lanes);
        break;
    case RepeatsTab:
        done = workOutInto(QStringLiteral("repeat calls"), 1, &m_repeats);
        break;
    case TimesTab:
        done = workOutInto(QStringLiteral("when stops happen"), 2, &m_times);
        break;
    case MechanicsTab:
        done = workOutInto(QStringLiteral("who fixed what"), 2, &m_mechanics);
        break;
    case TabCount:
        break;
    }
    if (!done) {
        clearTab(tab);
        return;
    }
    m_stale[size_t(tab)] = false;
    Label5->setText(periodLine(m_request.range.from, m_request.range.to));
    switch (tab) {
    case FramesTab:
        return showFrames();
    case LanesTab:
        return showLanes();
    case RepeatsTab:
        return showRepeats();
    case TimesTab:
        return showTimes();
    case MechanicsTab:
        return showMechanics();
    case TabCount:
        return;
    }
}

template <class Figure> bool Statistics::workOutInto(const QString& what, int steps, Figure* figure)
{
    // Worked out apart and moved in whole: no grid ever shows a figure half made.
    Figure fresh;
    if (!run(what, steps, [&](FigureRun& r) { return workOut(r, m_request, &fresh); }))
        return false;
    *figure = std::move(fresh);
    return true;
}

bool Statistics::run(const QString& what, int steps, const std::function<bool(FigureRun&)>& work)
{
    auto db = openDatabase();
    if (!db)
        return false;
    m_running = true;
    m_progress->start(what, steps);
    bool done = false;
    RunState state = RunState::Running;
    store::Error error;
    {
        FigureRun* current = nullptr;
        FigureRun figures(*db, [this, &current] { return m_progress->keepGoing(current ? current->finished() : 0); });
        current = &figures;
        done = work(figures);
        state = figures.state();
        error = figures.error();
    }
    m_progress->finish();
    m_running = false;
    if (done)
        return true;
    if (state == RunState::Cancelled) {
        Label5->setText(
            QStringLiteral("Cancelled: the figures of %1 were not worked out. Press Work Out to work them out.")
                .arg(what));
        return false;
    }
    ui::msgBox(QStringLiteral("The figures of %1 could not be worked out. ").arg(what) + error.text(), ui::Buttons::Ok,
               ui::Icon::Exclamation);
    Label5->setText(QStringLiteral("The figures of %1 could not be worked out.").arg(what));
    return false;
}

} // namespace stats
