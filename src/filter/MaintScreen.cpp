#include "MaintScreen.h"

#include "DataWidget.h"
#include "FindWindow.h"

#include "reports/CrystalReport.h"
#include "ui/Controls.h"
#include "ui/Platform.h"
#include "ui/RecordSource.h"
#include "ui/RecordTableModel.h"
#include "ui/ScreenRegistry.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace filter {
namespace {

FindWindow* findWindow()
{
    return qobject_cast<FindWindow*>(ui::ScreenRegistry::instance().load(QStringLiteral("FindWindow")));
}

} // namespace

MaintScreen::MaintScreen()
    : ui::Screen(QStringLiteral("MaintScreen"), QStringLiteral("Maintain Database"), QSize(940, 470))
{
    QWidget* c = canvas();
    Data1 = new ui::RecordSource(c, QStringLiteral("Data1"), QStringLiteral("DData"));
    Data1->setGeometry(10, 10, 10, 10);
    // The grid and the data widget move through the calls; the source itself is not shown.
    Data1->hide();

    GridCaption =
        ui::label(c, QStringLiteral("GridCaption"), QStringLiteral("Master List of Calls"), QRect(10, 10, 920, 24));
    GridCaption->setAlignment(Qt::AlignCenter);
    GridCaption->setFrameShape(QFrame::StyledPanel);
    GridCaption->setAutoFillBackground(true);
    GridCaption->setBackgroundRole(QPalette::Dark);
    GridCaption->setForegroundRole(QPalette::BrightText);
    QFont bold = GridCaption->font();
    bold.setBold(true);
    GridCaption->setFont(bold);

    SSDBGrid1 = new QTableView(c);
    SSDBGrid1->setObjectName(QStringLiteral("SSDBGrid1"));
    SSDBGrid1->setGeometry(10, 34, 920, 370);
    SSDBGrid1->setAccessibleName(QStringLiteral("Master List of Calls"));
    m_model = new ui::RecordTableModel(Data1,
                                       {{QStringLiteral("DateNow"), QStringLiteral("Date")},
                                        {QStringLiteral("Time"), QStringLiteral("Time")},
                                        {QStringLiteral("Weekday"), QStringLiteral("Weekday")},
                                        {QStringLiteral("LaneNo"), QStringLiteral("Lane #")},
                                        {QStringLiteral("Callmade"), QStringLiteral("Actual Call")},
                                        {QStringLiteral("Notes"), QStringLiteral("Notes")},
                                        {QStringLiteral("Name1"), QStringLiteral("Mech. #1")},
                                        {QStringLiteral("Name2"), QStringLiteral("Mech. #2")},
                                        {QStringLiteral("Type"), QStringLiteral("Category")}},
                                       this);
    // The last column takes what room is left, however little.
    SSDBGrid1->horizontalHeader()->setDefaultSectionSize(60);
    SSDBGrid1->setModel(m_model);
    SSDBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    SSDBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    SSDBGrid1->setWordWrap(false);
    SSDBGrid1->setAlternatingRowColors(true);
    SSDBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    // Every row as high as the next: a million calls scroll without measuring any of them.
    QHeaderView* rows = SSDBGrid1->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(SSDBGrid1->fontMetrics().height() + 6);
    rows->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QHeaderView* columns = SSDBGrid1->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setHighlightSections(false);
    const int widths[] = {82, 88, 82, 52, 170, 150, 66, 66};
    for (int i = 0; i < 8; ++i)
        SSDBGrid1->setColumnWidth(i, widths[i]);
    columns->setStretchLastSection(true);

    Label1 = ui::label(c, QStringLiteral("Label1"), QStringLiteral("Lane Number"), QRect(10, 420, 86, 28));
    SSDBData1 = new DataWidget(c, QStringLiteral("SSDBData1"), QStringLiteral("Lane"), Data1, QStringLiteral("LaneNo"));
    SSDBData1->setGeometry(98, 420, 210, 28);
    SSDBData1->box()->setToolTip(QStringLiteral("The lane of the call chosen in the list"));
    Label1->setBuddy(SSDBData1->box());

    FilterLabel = ui::label(c, QStringLiteral("FilterLabel"), QStringLiteral("Filter is ON"), QRect(326, 420, 120, 28));
    FilterLabel->setAlignment(Qt::AlignCenter);
    FilterLabel->setFont(bold);
    QPalette red = FilterLabel->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    FilterLabel->setPalette(red);
    FilterLabel->hide();

    Command2 = ui::button(c, QStringLiteral("Command2"), QStringLiteral("&Filter"), QRect(640, 418, 90, 32),
                          QStringLiteral("\"Click\" to create a 'filtered' set of records"));
    Command3 = ui::button(c, QStringLiteral("Command3"), QStringLiteral("&Print"), QRect(740, 418, 90, 32));
    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("E&xit"), QRect(840, 418, 90, 32),
                          QStringLiteral("\"Click\" to return"));
    CrystalReport1 = new reports::CrystalReport(this);

    setTabOrder(SSDBGrid1, SSDBData1->box());
    setTabOrder(SSDBData1->box(), Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command1);

    connect(Command2, &QPushButton::clicked, this, &MaintScreen::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &MaintScreen::Command3_Click);
    connect(Command1, &QPushButton::clicked, this, &MaintScreen::Command1_Click);
    connect(Data1, &ui::RecordSource::Reposition, this, &MaintScreen::Data1_Reposition);
    // After the grid's table was read afresh: the current call is selected again.
    connect(Data1, &ui::RecordSource::reopened, this, &MaintScreen::Data1_Reposition);
    connect(SSDBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MaintScreen::SSDBGrid1_RowColChange);
    connect(m_model, &QAbstractItemModel::modelReset, this, &MaintScreen::fitRowNumbers);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &MaintScreen::fitRowNumbers);
}

// The row numbers take the room of the largest one from the start, so the
// columns do not move when the grid reaches the millionth call.
void MaintScreen::fitRowNumbers()
{
    const QString largest = QString::number(std::max(m_model->rowCount(), 1));
    QFont bold = SSDBGrid1->verticalHeader()->font();
    bold.setBold(true); // the current call's number
    SSDBGrid1->verticalHeader()->setFixedWidth(QFontMetrics(bold).horizontalAdvance(largest) + 16);
}

void MaintScreen::Form_Load()
{
    Data1->setDatabaseName(ui::databasePath());
    fitRowNumbers();
}

void MaintScreen::Form_Unload()
{
    // The filter window acts on the browser that is open: it goes with this one.
    if (auto* find = qobject_cast<FindWindow*>(ui::ScreenRegistry::instance().find(QStringLiteral("FindWindow"))))
        find->CancelButton_Click();
}

bool MaintScreen::filterOn() const
{
    return !FilterLabel->isHidden();
}

void MaintScreen::setFilterOn(bool on)
{
    FilterLabel->setVisible(on);
}

// The grid follows the record source's current call.
void MaintScreen::Data1_Reposition()
{
    const int row = m_model->currentRow();
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex current = SSDBGrid1->currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    m_following = true;
    const QModelIndex target = m_model->index(row, current.isValid() ? current.column() : 0);
    SSDBGrid1->selectionModel()->setCurrentIndex(target,
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    SSDBGrid1->scrollTo(target);
    m_following = false;
}

// A call chosen in the grid becomes the record source's current call.
void MaintScreen::SSDBGrid1_RowColChange(const QModelIndex& current)
{
    if (m_following || !current.isValid() || current.row() == m_model->currentRow())
        return;
    // Refused when the lane typed for the call shown cannot be stored: the grid stays on that call.
    if (!Data1->moveToPosition(current.row()))
        Data1_Reposition();
}

// Filter.
void MaintScreen::Command2_Click()
{
    ui::ScreenRegistry::instance().show(QStringLiteral("FindWindow"));
}

// Print.
void MaintScreen::Command3_Click()
{
    if (!filterOn()) {
        ui::beep();
        ui::msgBox(QStringLiteral("This is for printing 'Filtered' records only"), ui::Buttons::Ok,
                   ui::Icon::Exclamation, QStringLiteral("Notice"));
        return;
    }
    FindWindow* find = findWindow();
    if (!find)
        return;
    CrystalReport1->setSelectionFormula(find->Label4->text());
    // The sort texts are filled from the top; the first empty one ends the chain, and the
    // fields after it are cleared so that the calls print in the order the grid shows them.
    const QLabel* sorts[] = {find->Label6, find->Label7, find->Label8};
    bool chained = true;
    for (int i = 0; i < 3; ++i) {
        chained = chained && !sorts[i]->text().isEmpty();
        CrystalReport1->setSortFields(i, chained ? sorts[i]->text() : QString());
    }
    CrystalReport1->setReportFileName(QStringLiteral("filter.rpt"));
    CrystalReport1->setAction(1);
}

// Exit.
void MaintScreen::Command1_Click()
{
    ui::ScreenRegistry::instance().unloadAndShow(this, QStringLiteral("MainMenu"));
}

void MaintScreen::frameClose()
{
    Command1_Click();
}

} // namespace filter
