#include "MaintSchedule.h"

#include "ScheduleModels.h"

#include "maint/engine/Done.h"

#include "ui/ControlEvents.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/MaskedDateEdit.h"
#include "ui/ScreenRegistry.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

namespace maint {
namespace {

QWidget* page(const QString& name)
{
    auto* p = new QWidget;
    p->setObjectName(name);
    ui::markPlaced(p);
    return p;
}

ui::MaskedDateEdit* dateBox(QWidget* parent, const QString& name, QRect at, const QString& accessible)
{
    auto* box = new ui::MaskedDateEdit(parent);
    box->setObjectName(name);
    box->setGeometry(at);
    box->setAccessibleName(accessible);
    return box;
}

} // namespace

MaintSchedule::MaintSchedule()
    : ui::Screen(ui::forms::MaintSchedule, QStringLiteral("Maintenance Schedule"), QSize(1000, 700)),
      m_dueModel(new TableModel(this)), m_gridModel(new DueGridModel(this)), m_tasksModel(new TableModel(this)),
      m_historyModel(new TableModel(this))
{
    QWidget* c = canvas();
    buildTop(c);
    SSTab1 = new QTabWidget(c);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(10, 74, 980, 566);
    SSTab1->addTab(buildDueTab(), QStringLiteral("Due &List"));
    SSTab1->addTab(buildGridTab(), QStringLiteral("Due &Grid"));
    SSTab1->addTab(buildTasksTab(), QStringLiteral("&Tasks"));
    SSTab1->addTab(buildHistoryTab(), QStringLiteral("&History"));

    // What acts on the due list and the grid, below both.
    Label4 = ui::label(c, QStringLiteral("Label4"), QStringLiteral("Done &on"), QRect(10, 654, 60, 24));
    MaskEdBox1 = dateBox(c, QStringLiteral("MaskEdBox1"), QRect(72, 652, 104, 28), QStringLiteral("Done on"));
    MaskEdBox1->setToolTip(QStringLiteral("The day the work was done, MM/DD/YYYY"));
    Label4->setBuddy(MaskEdBox1);
    Label5 = ui::label(c, QStringLiteral("Label5"), QStringLiteral("&By"), QRect(188, 654, 24, 24));
    Combo1 = ui::nameDropDown(c, QStringLiteral("Combo1"), QRect(214, 652, 130, 28), kLongestName, QStringLiteral("By"),
                              QStringLiteral("The mechanic who did the work (the shift's names are in the list)"),
                              [this] { Combo1_DropDown(); });
    Label5->setBuddy(Combo1);
    Command2 = ui::button(c, QStringLiteral("Command2"), QStringLiteral("Mark &Done"), QRect(356, 650, 140, 32),
                          QStringLiteral("Records the tasks chosen above as done on that day by that mechanic"));
    Command3 =
        ui::button(c, QStringLiteral("Command3"), QStringLiteral("Onto Today's &Sheet"), QRect(790, 650, 200, 32),
                   QStringLiteral("Puts the due and overdue tasks on empty rows of today's work sheet"));
    setCancelButton(Command1);

    connect(Command1, &QPushButton::clicked, this, &MaintSchedule::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &MaintSchedule::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &MaintSchedule::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &MaintSchedule::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &MaintSchedule::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &MaintSchedule::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &MaintSchedule::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &MaintSchedule::Command8_Click);
    connect(SSTab1, &QTabWidget::currentChanged, this, &MaintSchedule::SSTab1_Click);
    connect(Grid3->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &MaintSchedule::Grid3_Click);
    // Leaving a box, or Enter in it, takes what it holds.
    ui::onLostFocus(Text1, this, [this] { Text1_LostFocus(); });
    ui::onLostFocus(Text2, this, [this] { Text2_LostFocus(); });
    connect(Text1, &QLineEdit::returnPressed, this, &MaintSchedule::Text1_LostFocus);
    connect(Text2, &QLineEdit::returnPressed, this, &MaintSchedule::Text2_LostFocus);
    // Enter in the day or the name of the work done marks it done (taken here, as the drop-down
    // would hand the key to its box a second time).
    for (QWidget* box : {static_cast<QWidget*>(MaskEdBox1), static_cast<QWidget*>(Combo1->lineEdit())})
        ui::onKeyDown(box, this, [this](QKeyEvent* event) {
            if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
                return false;
            Command2_Click();
            return true;
        });
}

MaintSchedule::~MaintSchedule() = default;

void MaintSchedule::buildTop(QWidget* c)
{
    Label1 = ui::label(c, QStringLiteral("Label1"), QStringLiteral("Lanes at the &centre"), QRect(10, 14, 130, 24));
    Text1 = ui::textBox(c, QStringLiteral("Text1"), QRect(142, 12, 56, 28), 3, QStringLiteral("Lanes at the centre"),
                        QStringLiteral("How many lanes the centre has, kept for the next time"));
    Label1->setBuddy(Text1);
    ui::selectAllOnFocus(Text1);
    Label2 = ui::label(c, QStringLiteral("Label2"), QStringLiteral("Due soon &margin (%)"), QRect(216, 14, 140, 24));
    Text2 = ui::textBox(c, QStringLiteral("Text2"), QRect(358, 12, 48, 28), 2, QStringLiteral("Due soon margin"),
                        QStringLiteral("A task is due soon this close to its interval, and overdue this far past it"));
    Label2->setBuddy(Text2);
    ui::selectAllOnFocus(Text2);
    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("E&xit"), QRect(870, 10, 120, 32),
                          QStringLiteral("Returns to the main menu"));
    Command8 = ui::button(c, QStringLiteral("Command8"), QStringLiteral("Pre&view..."), QRect(740, 10, 120, 32),
                          QStringLiteral("Shows the list on this tab as a report, to print it or save it as PDF or "
                                         "CSV"));
    Label3 = ui::label(c, QStringLiteral("Label3"), QString(), QRect(10, 46, 980, 24));
}

QTableView* MaintSchedule::grid(QWidget* page, const QString& name, QRect at, const QString& accessibleName)
{
    auto* view = new QTableView(page);
    view->setObjectName(name);
    view->setGeometry(at);
    view->setAccessibleName(accessibleName);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setHighlightSections(false);
    return view;
}

QWidget* MaintSchedule::buildDueTab()
{
    QWidget* p = page(QStringLiteral("DuePage"));
    Grid1 = grid(p, QStringLiteral("Grid1"), QRect(8, 8, 960, 522), QStringLiteral("Due list"));
    Grid1->setModel(m_dueModel);
    Grid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return p;
}

QWidget* MaintSchedule::buildGridTab()
{
    QWidget* p = page(QStringLiteral("GridPage"));
    Grid2 = grid(p, QStringLiteral("Grid2"), QRect(8, 8, 960, 490), QStringLiteral("Due by task and lane"));
    Grid2->setModel(m_gridModel);
    Grid2->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grid2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Grid2->verticalHeader()->show();
    Grid2->horizontalHeader()->setMinimumSectionSize(16);
    int left = 8;
    for (State state : {State::Done, State::DueSoon, State::Due, State::Overdue}) {
        QLabel* key = ui::label(p, QStringLiteral("Key") + QString::number(int(state)), stateName(state),
                                QRect(left, 506, 110, 24));
        key->setAlignment(Qt::AlignCenter);
        key->setAutoFillBackground(true);
        QPalette colours = key->palette();
        colours.setColor(QPalette::Window, stateColour(state));
        colours.setColor(QPalette::WindowText, Qt::black);
        key->setPalette(colours);
        Key << key;
        left += 116;
    }
    ui::label(p, QStringLiteral("Label13"),
              QStringLiteral("Each cell: the share of the interval a lane has used since it was last done."),
              QRect(left + 8, 506, 960 - left, 24));
    return p;
}

QWidget* MaintSchedule::buildTasksTab()
{
    QWidget* p = page(QStringLiteral("TasksPage"));
    Grid3 = grid(p, QStringLiteral("Grid3"), QRect(8, 8, 960, 330), QStringLiteral("Tasks"));
    Grid3->setModel(m_tasksModel);
    Grid3->setSelectionMode(QAbstractItemView::SingleSelection);
    Label6 = ui::label(p, QStringLiteral("Label6"), QStringLiteral("T&ask"), QRect(8, 352, 170, 24));
    Text3 = ui::textBox(p, QStringLiteral("Text3"), QRect(180, 350, 360, 28), kLongestTask, QStringLiteral("Task"),
                        QStringLiteral("What is to be done, at most 40 characters so it fits a row of the work sheet"));
    Label6->setBuddy(Text3);
    Label7 =
        ui::label(p, QStringLiteral("Label7"), QStringLiteral("Every (&frames per machine)"), QRect(8, 390, 170, 24));
    Text4 = ui::textBox(p, QStringLiteral("Text4"), QRect(180, 388, 110, 28), 10,
                        QStringLiteral("Every frames per machine"),
                        QStringLiteral("Frames bowled on each machine between two times; empty for none"));
    Label7->setBuddy(Text4);
    ui::selectAllOnFocus(Text4);
    Label8 = ui::label(p, QStringLiteral("Label8"), QStringLiteral("or every (da&ys)"), QRect(304, 390, 110, 24));
    Text5 = ui::textBox(p, QStringLiteral("Text5"), QRect(416, 388, 70, 28), 4, QStringLiteral("Every days"),
                        QStringLiteral("Days between two times; empty for none"));
    Label8->setBuddy(Text5);
    ui::selectAllOnFocus(Text5);
    Option1 = ui::optionButton(p, QStringLiteral("Option1"), QStringLiteral("Once for the c&entre"),
                               QRect(180, 426, 180, 26), QStringLiteral("Once for the centre"));
    Option2 = ui::optionButton(p, QStringLiteral("Option2"), QStringLiteral("On each lane se&parately"),
                               QRect(364, 426, 200, 26), QStringLiteral("On each lane separately"));
    Option1->setChecked(true);
    Command4 = ui::button(p, QStringLiteral("Command4"), QStringLiteral("Ne&w"), QRect(600, 348, 120, 32),
                          QStringLiteral("Empties the boxes for a new task"));
    Command5 = ui::button(p, QStringLiteral("Command5"), QStringLiteral("Sa&ve"), QRect(600, 386, 120, 32),
                          QStringLiteral("Keeps the task as the boxes show it"));
    Command6 = ui::button(p, QStringLiteral("Command6"), QStringLiteral("&Remove"), QRect(600, 424, 120, 32),
                          QStringLiteral("Takes the chosen task off the schedule; its history is kept"));
    ui::label(p, QStringLiteral("Label14"),
              QStringLiteral("Choose a task in the list to change it, or press New. Leave an interval empty when the "
                             "task has none of that kind."),
              QRect(8, 466, 960, 24));
    return p;
}

QWidget* MaintSchedule::buildHistoryTab()
{
    QWidget* p = page(QStringLiteral("HistoryPage"));
    Label9 = ui::label(p, QStringLiteral("Label9"), QStringLiteral("Tas&k"), QRect(8, 10, 40, 24));
    Combo2 = new QComboBox(p);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setGeometry(50, 8, 300, 28);
    Combo2->setAccessibleName(QStringLiteral("Task"));
    Label9->setBuddy(Combo2);
    Label10 = ui::label(p, QStringLiteral("Label10"), QStringLiteral("La&ne"), QRect(364, 10, 40, 24));
    Text6 = ui::textBox(p, QStringLiteral("Text6"), QRect(406, 8, 70, 28), 6, QStringLiteral("Lane"),
                        QStringLiteral("One lane, C for the centre, empty for every lane"));
    Label10->setBuddy(Text6);
    ui::selectAllOnFocus(Text6);
    Label11 = ui::label(p, QStringLiteral("Label11"), QStringLiteral("&From"), QRect(490, 10, 40, 24));
    MaskEdBox2 = dateBox(p, QStringLiteral("MaskEdBox2"), QRect(532, 8, 104, 28), QStringLiteral("From"));
    Label11->setBuddy(MaskEdBox2);
    Label12 = ui::label(p, QStringLiteral("Label12"), QStringLiteral("T&o"), QRect(648, 10, 24, 24));
    MaskEdBox3 = dateBox(p, QStringLiteral("MaskEdBox3"), QRect(674, 8, 104, 28), QStringLiteral("To"));
    Label12->setBuddy(MaskEdBox3);
    Command7 = ui::button(p, QStringLiteral("Command7"), QStringLiteral("Sho&w"), QRect(796, 6, 120, 32),
                          QStringLiteral("Shows the completions of that task and lane between those dates"));
    Grid4 = grid(p, QStringLiteral("Grid4"), QRect(8, 44, 960, 486), QStringLiteral("History"));
    Grid4->setModel(m_historyModel);
    return p;
}

const Table& MaintSchedule::history() const
{
    return m_historyModel->table();
}

void MaintSchedule::SSTab1_Click()
{
    const Tab tab = Tab(SSTab1->currentIndex());
    const bool onDue = tab == DueTab || tab == GridTab;
    for (QWidget* control :
         {static_cast<QWidget*>(Label4), static_cast<QWidget*>(MaskEdBox1), static_cast<QWidget*>(Label5),
          static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Command2), static_cast<QWidget*>(Command3)})
        control->setVisible(onDue);
    Command8->setVisible(tab != TasksTab);
    // Enter presses the tab's own button: Save on the tasks, Show on the history.
    setDefaultButton(tab == TasksTab ? Command5 : tab == HistoryTab ? Command7 : nullptr);
    if (tab == HistoryTab && m_historyModel->rowCount() == 0)
        Command7_Click();
}

void MaintSchedule::Combo1_DropDown()
{
    const QString shown = Combo1->currentText();
    while (Combo1->count() > 0)
        Combo1->removeItem(0);
    for (const QString& name : {ui::forms::shift::mechanic1(), ui::forms::shift::mechanic2()})
        if (!name.trimmed().isEmpty())
            Combo1->addItem(name);
    Combo1->setEditText(shown);
}

void MaintSchedule::Command1_Click()
{
    ui::ScreenRegistry::instance().unloadAndShow(this, ui::forms::MainMenu);
}

} // namespace maint
