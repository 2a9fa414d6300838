#include "Statistics.h"

#include "FigureModel.h"
#include "RunProgress.h"

#include "ui/ControlEvents.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/MaskedDateEdit.h"
#include "ui/ScreenRegistry.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

namespace stats {
namespace {

QComboBox* comboBox(QWidget* parent, const QString& name, QRect at, const QStringList& items, const QString& accessible)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setGeometry(at);
    combo->addItems(items);
    combo->setAccessibleName(accessible);
    return combo;
}

QWidget* page(const QString& name)
{
    auto* p = new QWidget;
    p->setObjectName(name);
    ui::markPlaced(p);
    return p;
}

QLabel* heading(QWidget* parent, const QString& name, const QString& caption, QRect at)
{
    QLabel* label = ui::label(parent, name, caption, at);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

Statistics::Statistics()
    : ui::Screen(ui::forms::Statistics, QStringLiteral("Statistics"), QSize(1000, 700)),
      m_progress(std::make_unique<RunProgress>(this))
{
    QWidget* c = canvas();
    buildRange(c);
    buildOutputs(c);
    SSTab1 = new QTabWidget(c);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(10, 76, 980, 614);
    SSTab1->addTab(buildFramesTab(), QStringLiteral("&Frames per Stop"));
    SSTab1->addTab(buildLanesTab(), QStringLiteral("&Lanes"));
    SSTab1->addTab(buildRepeatsTab(), QStringLiteral("&Repeat Calls"));
    SSTab1->addTab(buildTimesTab(), QStringLiteral("W&hen Stops Happen"));
    SSTab1->addTab(buildMechanicsTab(), QStringLiteral("Wh&o Fixed What"));
    m_stale.fill(true);

    connect(Command1, &QPushButton::clicked, this, &Statistics::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Statistics::Command2_Click);
    connect(Combo1, &QComboBox::activated, this, &Statistics::Combo1_Click);
    connect(Combo2, &QComboBox::activated, this, &Statistics::Combo2_Click);
    connect(Combo3, &QComboBox::activated, this, &Statistics::Combo3_Click);
    connect(Combo4, &QComboBox::activated, this, &Statistics::Combo4_Click);
    // Leaving a box takes what it holds; Enter presses Work Out, which takes all three.
    ui::onLostFocus(Text1, this, [this] { Text1_LostFocus(); });
    ui::onLostFocus(Text2, this, [this] { Text2_LostFocus(); });
    ui::onLostFocus(Text3, this, [this] { Text3_LostFocus(); });
    connect(SSTab1, &QTabWidget::currentChanged, this, &Statistics::SSTab1_Click);
    setOutputMenus();
    // Dates typed by hand are no longer the quick choice shown.
    for (ui::MaskedDateEdit* box : {MaskEdBox1, MaskEdBox2})
        connect(box, &ui::MaskedDateEdit::keyDown, this, [this] { Combo1->setCurrentIndex(0); });
}

Statistics::~Statistics() = default;

void Statistics::buildRange(QWidget* c)
{
    Label1 = ui::label(c, QStringLiteral("Label1"), QStringLiteral("Fro&m"), QRect(10, 14, 40, 24));
    MaskEdBox1 = new ui::MaskedDateEdit(c);
    MaskEdBox1->setObjectName(QStringLiteral("MaskEdBox1"));
    MaskEdBox1->setGeometry(52, 12, 104, 28);
    MaskEdBox1->setAccessibleName(QStringLiteral("From"));
    Label1->setBuddy(MaskEdBox1);
    Label2 = ui::label(c, QStringLiteral("Label2"), QStringLiteral("&To"), QRect(168, 14, 24, 24));
    MaskEdBox2 = new ui::MaskedDateEdit(c);
    MaskEdBox2->setObjectName(QStringLiteral("MaskEdBox2"));
    MaskEdBox2->setGeometry(194, 12, 104, 28);
    MaskEdBox2->setAccessibleName(QStringLiteral("To"));
    Label2->setBuddy(MaskEdBox2);
    Label3 = ui::label(c, QStringLiteral("Label3"), QStringLiteral("MM/DD/YYYY"), QRect(304, 14, 90, 24));
    Label4 = ui::label(c, QStringLiteral("Label4"), QStringLiteral("&Quick choice"), QRect(404, 14, 90, 24));
    QStringList choices{QStringLiteral("Dates as typed")};
    for (QuickChoice choice : {QuickChoice::LastFourWeeks, QuickChoice::ThisWeek, QuickChoice::ThisMonth,
                               QuickChoice::ThisYear, QuickChoice::Last12Months})
        choices << quickChoiceName(choice);
    Combo1 = comboBox(c, QStringLiteral("Combo1"), QRect(496, 12, 180, 28), choices, QStringLiteral("Quick choice"));
    Label4->setBuddy(Combo1);
    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("&Work Out"), QRect(690, 10, 120, 32),
                          QStringLiteral("Works out the figures for the dates typed"));
    Command2 = ui::button(c, QStringLiteral("Command2"), QStringLiteral("E&xit"), QRect(870, 10, 120, 32),
                          QStringLiteral("Returns to the main menu"));
    setDefaultButton(Command1);
    setCancelButton(Command2);
    Label5 = ui::label(c, QStringLiteral("Label5"), QString(), QRect(10, 48, 600, 24));
}

QTableView* Statistics::grid(QWidget* page, const QString& name, QRect at, const QString& accessibleName)
{
    auto* view = new QTableView(page);
    view->setObjectName(name);
    view->setGeometry(at);
    view->setAccessibleName(accessibleName);
    view->setModel(new FigureModel(view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAlternatingRowColors(true);
    view->setWordWrap(false);
    // Rows as high as each other: a listing of thousands of repeats scrolls without measuring them.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setHighlightSections(false);
    return view;
}

QChartView* Statistics::chartView(QWidget* page, const QString& name, QRect at)
{
    auto* view = new QChartView(new QChart, page);
    view->setObjectName(name);
    view->setGeometry(at);
    view->setRenderHint(QPainter::Antialiasing);
    view->setFocusPolicy(Qt::NoFocus);
    return view;
}

QWidget* Statistics::buildFramesTab()
{
    QWidget* p = page(QStringLiteral("FramesPage"));
    Label6 = ui::label(p, QStringLiteral("Label6"), QStringLiteral("&Show by"), QRect(10, 10, 60, 26));
    Combo2 = comboBox(p, QStringLiteral("Combo2"), QRect(72, 8, 110, 28),
                      {QStringLiteral("Day"), QStringLiteral("Week"), QStringLiteral("Month"), QStringLiteral("Year")},
                      QStringLiteral("Show by"));
    Combo2->setCurrentIndex(int(Grain::Week));
    Label6->setBuddy(Combo2);
    Label7 = ui::label(p, QStringLiteral("Label7"), QStringLiteral("&Goal (frames per stop)"), QRect(200, 10, 150, 26));
    Text1 = ui::textBox(p, QStringLiteral("Text1"), QRect(352, 8, 80, 28), 7, QStringLiteral("Goal"),
                        QStringLiteral("The centre's goal of frames per stop, kept for the next time"));
    Label7->setBuddy(Text1);
    ui::selectAllOnFocus(Text1);
    Grid1 = grid(p, QStringLiteral("Grid1"), QRect(10, 44, 604, 486), QStringLiteral("Frames per stop"));
    Chart1 = chartView(p, QStringLiteral("Chart1"), QRect(622, 44, 340, 486));
    Label8 = ui::label(p, QStringLiteral("Label8"), QString(), QRect(10, 536, 952, 22));
    Label9 = ui::label(p, QStringLiteral("Label9"), QString(), QRect(10, 558, 952, 22));
    return p;
}

QWidget* Statistics::buildLanesTab()
{
    QWidget* p = page(QStringLiteral("LanesPage"));
    Label10 = ui::label(p, QStringLiteral("Label10"), QStringLiteral("Lanes at the &centre"), QRect(10, 10, 130, 26));
    Text2 = ui::textBox(p, QStringLiteral("Text2"), QRect(142, 8, 60, 28), 3, QStringLiteral("Lanes at the centre"),
                        QStringLiteral("How many lanes the centre has, kept for the next time"));
    Label10->setBuddy(Text2);
    ui::selectAllOnFocus(Text2);
    Label11 = ui::label(p, QStringLiteral("Label11"), QString(), QRect(214, 10, 746, 26));
    Grid2 = grid(p, QStringLiteral("Grid2"), QRect(10, 44, 600, 206), QStringLiteral("Lanes that need attention"));
    Chart2 = chartView(p, QStringLiteral("Chart2"), QRect(618, 44, 344, 206));
    Label12 = heading(p, QStringLiteral("Label12"), QStringLiteral("Calls per lane and week"), QRect(10, 256, 400, 22));
    Grid3 = grid(p, QStringLiteral("Grid3"), QRect(10, 278, 952, 196), QStringLiteral("Calls per lane and week"));
    qobject_cast<FigureModel*>(Grid3->model())->setShaded(true);
    Grid3->setAlternatingRowColors(false);
    Label13 = heading(p, QStringLiteral("Label13"), QString(), QRect(10, 480, 700, 22));
    Grid4 = grid(p, QStringLiteral("Grid4"), QRect(10, 502, 952, 76), QStringLiteral("Calls on other lanes"));
    return p;
}

QWidget* Statistics::buildRepeatsTab()
{
    QWidget* p = page(QStringLiteral("RepeatsPage"));
    Label14 = ui::label(p, QStringLiteral("Label14"), QStringLiteral("&Again within (days)"), QRect(10, 10, 130, 26));
    Text3 = ui::textBox(p, QStringLiteral("Text3"), QRect(142, 8, 50, 28), 3, QStringLiteral("Again within days"),
                        QStringLiteral("A call on the same lane again within this many days is a repeat"));
    Label14->setBuddy(Text3);
    ui::selectAllOnFocus(Text3);
    Label15 = ui::label(p, QStringLiteral("Label15"), QString(), QRect(206, 10, 754, 26));
    Grid5 = grid(p, QStringLiteral("Grid5"), QRect(10, 44, 330, 290), QStringLiteral("Repeat calls by lane and call"));
    Chart3 = chartView(p, QStringLiteral("Chart3"), QRect(348, 44, 614, 290));
    Label16 = heading(p, QStringLiteral("Label16"),
                      QStringLiteral("Each repeat, the lane and call that repeat most first"), QRect(10, 340, 600, 22));
    Grid6 = grid(p, QStringLiteral("Grid6"), QRect(10, 362, 952, 216), QStringLiteral("Each repeat"));
    return p;
}

QWidget* Statistics::buildTimesTab()
{
    QWidget* p = page(QStringLiteral("TimesPage"));
    Label17 = ui::label(p, QStringLiteral("Label17"), QStringLiteral("&Show"), QRect(10, 10, 40, 26));
    Combo3 = comboBox(p, QStringLiteral("Combo3"), QRect(52, 8, 220, 28),
                      {QStringLiteral("By section of the board"), QStringLiteral("By hour of the day"),
                       QStringLiteral("By weekday"), QStringLiteral("By weekday and hour")},
                      QStringLiteral("Show"));
    Label17->setBuddy(Combo3);
    Grid7 = grid(p, QStringLiteral("Grid7"), QRect(10, 44, 430, 534), QStringLiteral("When stops happen"));
    Chart4 = chartView(p, QStringLiteral("Chart4"), QRect(448, 44, 514, 534));
    Grid8 = grid(p, QStringLiteral("Grid8"), QRect(10, 44, 952, 534), QStringLiteral("Calls by weekday and hour"));
    qobject_cast<FigureModel*>(Grid8->model())->setShaded(true);
    Grid8->setAlternatingRowColors(false);
    Grid8->hide();
    return p;
}

QWidget* Statistics::buildMechanicsTab()
{
    QWidget* p = page(QStringLiteral("MechanicsPage"));
    Label18 = ui::label(p, QStringLiteral("Label18"), QStringLiteral("&Show"), QRect(10, 10, 40, 26));
    Combo4 = comboBox(p, QStringLiteral("Combo4"), QRect(52, 8, 220, 28),
                      {QStringLiteral("Calls per mechanic by week"), QStringLiteral("Share of each section")},
                      QStringLiteral("Show"));
    Label18->setBuddy(Combo4);
    Grid9 = grid(p, QStringLiteral("Grid9"), QRect(10, 44, 500, 534), QStringLiteral("Who fixed what"));
    Chart5 = chartView(p, QStringLiteral("Chart5"), QRect(518, 44, 444, 534));
    return p;
}

FigureModel* Statistics::modelOf(QTableView* grid) const
{
    return grid ? qobject_cast<FigureModel*>(grid->model()) : nullptr;
}

void Statistics::showChart(QChartView* view, QChart* chart)
{
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

void Statistics::Command2_Click()
{
    ui::ScreenRegistry::instance().unloadAndShow(this, ui::forms::MainMenu);
}

} // namespace stats
