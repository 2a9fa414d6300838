// The backup window: its controls and menus, the enabling rules run when a
// menu opens, the options, the busy switch, Abort and resizing.
#include "frmZipCreate.h"

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/ScreenRegistry.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

namespace upkeep {
namespace {

const QSize kDesign(640, 400);
const QRect kList(0, 0, 640, 366);
const QRect kStatus(0, 368, 640, 32);
const QRect kProgress(330, 374, 192, 20);
const QRect kAbort(530, 371, 102, 26);
// The "Path" column is this much wider than the window is beyond its design width.
constexpr int kPathColumn = 108;

// An open menu cycles among the items that share a letter, disabled ones
// included ("&Add..." and "Select &All"), so the letter never opens one. A
// letter that only one enabled item carries opens that item, as Enter would.
bool openByMnemonic(QMenu* menu, const QKeyEvent* key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->text().size() != 1 ||
        (modifiers != Qt::NoModifier && modifiers != Qt::AltModifier && modifiers != Qt::ShiftModifier))
        return false;
    const QChar letter = key->text().at(0).toUpper();
    QAction* chosen = nullptr;
    int sharing = 0;
    int enabled = 0;
    const auto actions = menu->actions();
    for (QAction* action : actions) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(action->text());
        if (!action->isVisible() || mnemonic.isEmpty() ||
            QChar(char16_t(mnemonic[0].key() & 0xffff)).toUpper() != letter)
            continue;
        ++sharing;
        if (action->isEnabled()) {
            ++enabled;
            chosen = action;
        }
    }
    // A letter of one item the menu opens itself; among several enabled ones it cycles.
    if (sharing < 2 || enabled != 1)
        return false;
    menu->setActiveAction(chosen);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &enter);
    return true;
}

} // namespace

frmZipCreate::frmZipCreate() : ui::Screen(ui::forms::frmZipCreate, QStringLiteral("Database Backup "), kDesign)
{
    // The controls sit on one body that fills the canvas; Form_Resize places
    // them on it (the list grows, the progress bar and Abort keep to the lower right).
    m_body = new QWidget(canvas());
    m_body->setObjectName(QStringLiteral("body"));
    m_body->setGeometry(QRect(QPoint(0, 0), kDesign));

    lstMain = new QTreeWidget(m_body);
    lstMain->setObjectName(QStringLiteral("lstMain"));
    lstMain->setGeometry(kList);
    lstMain->setRootIsDecorated(false);
    lstMain->setUniformRowHeights(true);
    lstMain->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstMain->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Date"), QStringLiteral("Time"),
                              QStringLiteral("Size"), QStringLiteral("Packed"), QStringLiteral("Ratio"),
                              QStringLiteral("Path")});
    lstMain->setAccessibleName(QStringLiteral("Archive entries"));
    const int widths[] = {180, 70, 50, 80, 80, 50, kPathColumn};
    for (int column = 0; column < 7; ++column)
        lstMain->setColumnWidth(column, widths[column]);
    lstMain->header()->setStretchLastSection(false);
    for (int column = 3; column < 6; ++column)
        lstMain->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);

    stbMain = new QStatusBar(m_body);
    stbMain->setObjectName(QStringLiteral("stbMain"));
    stbMain->setGeometry(kStatus);
    stbMain->setSizeGripEnabled(false);
    m_statusText = new QLabel(stbMain);
    m_statusText->setObjectName(QStringLiteral("stbMainText"));
    stbMain->addWidget(m_statusText, 1);

    prbMain = new QProgressBar(m_body);
    prbMain->setObjectName(QStringLiteral("prbMain"));
    prbMain->setGeometry(kProgress);
    prbMain->setRange(0, 100);
    prbMain->setValue(0);
    prbMain->hide();
    cmdAbort = ui::button(m_body, QStringLiteral("cmdAbort"), QStringLiteral("Abort"), kAbort,
                          QStringLiteral("Stops the operation that is running"));
    cmdAbort->setCursor(Qt::ArrowCursor);
    cmdAbort->hide();
    connect(cmdAbort, &QPushButton::clicked, this, &frmZipCreate::cmdAbort_Click);

    ZipMain = new zip::ZipMain(this);
    ZipMain->setObjectName(QStringLiteral("ZipMain"));
    ZipMain->setMedium(&m_driveA);
    ZipMain->setCommitter(
        [this](const QString& staged, const QString& target) { return commitExtracted(staged, target); });
    ZipMain->setTargetCheck([this](const QString& target) { return mayRestoreTo(target); });
    connect(ZipMain, &zip::ZipMain::Adding, this, &frmZipCreate::ZipMain_Adding);
    connect(ZipMain, &zip::ZipMain::Updating, this, &frmZipCreate::ZipMain_Updating);
    connect(ZipMain, &zip::ZipMain::Extracting, this, &frmZipCreate::ZipMain_Extracting);
    connect(ZipMain, &zip::ZipMain::Testing, this, &frmZipCreate::ZipMain_Testing);
    connect(ZipMain, &zip::ZipMain::Deleting, this, &frmZipCreate::ZipMain_Deleting);
    connect(ZipMain, &zip::ZipMain::Fixing, this, &frmZipCreate::ZipMain_Fixing);
    connect(ZipMain, &zip::ZipMain::Status, this, &frmZipCreate::ZipMain_Status);
    connect(ZipMain, &zip::ZipMain::Listing, this, &frmZipCreate::ZipMain_Listing);
    connect(ZipMain, &zip::ZipMain::Newdisk, this, &frmZipCreate::ZipMain_Newdisk);
    connect(ZipMain, &zip::ZipMain::NoRoom, this, &frmZipCreate::ZipMain_NoRoom);
    connect(ZipMain, &zip::ZipMain::Replace, this, &frmZipCreate::ZipMain_Replace);
    connect(ZipMain, &zip::ZipMain::SkippingFile, this, &frmZipCreate::ZipMain_SkippingFile);

    // The design filter of the files dialog: one entry, the database.
    dlgSelectFiles.filter = QStringLiteral("Stopwell database (Zuvevadu.mdb)|Zuvevadu.mdb");

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileWizard = item(mnuFile, "mnuFileWizard", "&Wizard Backup", &frmZipCreate::mnuFileWizard_Click);
    mnuFileNew = item(mnuFile, "mnuFileNew", "&New Zipfile...", &frmZipCreate::mnuFileNew_Click);
    mnuFileOpen = item(mnuFile, "mnuFileOpen", "&Open Zipfile...", &frmZipCreate::mnuFileOpen_Click);
    mnuFileClose = item(mnuFile, "mnuFileClose", "&Close Zipfile", &frmZipCreate::mnuFileClose_Click);
    mnuFileBar1 = separator(mnuFile, "mnuFileBar1");
    mnuFileTest = item(mnuFile, "mnuFileTest", "&Test Zipfile...", &frmZipCreate::mnuFileTest_Click);
    mnuFileFix = mnuFile->addMenu(QStringLiteral("&Fix Zipfile..."));
    mnuFileFix->setObjectName(QStringLiteral("mnuFileFix"));
    mnuFileFix->menuAction()->setObjectName(QStringLiteral("mnuFileFix"));
    mnuFileFixNormal = item(mnuFileFix, "mnuFileFixNormal", "Normal", &frmZipCreate::mnuFileFixNormal_Click);
    mnuFileFixAgressive =
        item(mnuFileFix, "mnuFileFixAgressive", "Agressive", &frmZipCreate::mnuFileFixAgressive_Click);
    mnuFileDelete = item(mnuFile, "mnuFileDelete", "&Delete Zipfile...", &frmZipCreate::mnuFileDelete_Click);
    mnuFileBar2 = separator(mnuFile, "mnuFileBar2");
    mnuFileExit = item(mnuFile, "mnuFileExit", "E&xit", &frmZipCreate::MnuFileExit_Click);

    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditAdd = item(mnuEdit, "mnuEditAdd", "&Add...", &frmZipCreate::mnuEditAdd_Click);
    mnuEditDelete = item(mnuEdit, "mnuEditDelete", "&Delete...", &frmZipCreate::mnuEditDelete_Click);
    mnuEditExtract = item(mnuEdit, "mnuEditExtract", "&Restore...", &frmZipCreate::mnuEditExtract_Click);
    mnuEditUpdate = item(mnuEdit, "mnuEditUpdate", "&Update...", &frmZipCreate::mnuEditUpdate_Click);
    mnuEditBar1 = separator(mnuEdit, "mnuEditBar1");
    mnuEditUpdateZipDate =
        item(mnuEdit, "mnuEditUpdateZipDate", "&UpdateZipDate", &frmZipCreate::mnuEditUpdateZipDate_Click);
    mnuEditBar2 = separator(mnuEdit, "mnuEditBar2");
    mnuEditSelectAll = item(mnuEdit, "mnuEditSelectAll", "Select &All", &frmZipCreate::mnuEditSelectAll_Click);

    mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuOptionsBest = item(mnuOptions, "mnuOptionsBest", "&Best compression", &frmZipCreate::mnuOptionsBest_Click);
    mnuOptionsNormal =
        item(mnuOptions, "mnuOptionsNormal", "&Normal compression", &frmZipCreate::mnuOptionsNormal_Click);
    mnuOptionsFastest =
        item(mnuOptions, "mnuOptionsFastest", "&Fastest compression", &frmZipCreate::mnuOptionsFastest_Click);
    mnuOptionsStore =
        item(mnuOptions, "mnuOptionsStore", "&Store without compression", &frmZipCreate::mnuOptionsStore_Click);
    mnuOptionsBar1 = separator(mnuOptions, "mnuOptionsBar1");
    mnuOptionsMultidiskMode =
        item(mnuOptions, "mnuOptionsMultidiskMode", "&Multidisk mode", &frmZipCreate::mnuOptionsMultidiskMode_Click);
    mnuOptionsClearDisks =
        item(mnuOptions, "mnuOptionsClearDisks", "&Clear disks", &frmZipCreate::mnuOptionsClearDisks_Click);
    mnuOptionsBar2 = separator(mnuOptions, "mnuOptionsBar2");
    mnuOptionsUseTempFile =
        item(mnuOptions, "mnuOptionsUseTempFile", "&Use Temp File", &frmZipCreate::mnuOptionsUseTempFile_Click);

    mnuAutomatic = menuBar()->addMenu(QStringLiteral("&Automatic"));
    mnuAutomatic->setObjectName(QStringLiteral("mnuAutomatic"));
    mnuAutomaticBackup =
        item(mnuAutomatic, "mnuAutomaticBackup", "&Backup to Drive A", &frmZipCreate::mnuAutomaticBackup_Click);
    mnuAutomaticBackup->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuAutomaticRestore =
        item(mnuAutomatic, "mnuAutomaticRestore", "&Restore From Drive A", &frmZipCreate::mnuAutomaticRestore_Click);
    mnuAutomaticRestore->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));

    // Items that carry a check mark.
    for (QAction* mark :
         {mnuFileWizard, mnuOptionsBest, mnuOptionsNormal, mnuOptionsFastest, mnuOptionsStore, mnuOptionsMultidiskMode,
          mnuOptionsClearDisks, mnuOptionsUseTempFile, mnuAutomaticBackup, mnuAutomaticRestore})
        mark->setCheckable(true);

    connect(mnuFile, &QMenu::aboutToShow, this, &frmZipCreate::mnuFile_Click);
    connect(mnuEdit, &QMenu::aboutToShow, this, &frmZipCreate::mnuEdit_Click);
    connect(mnuOptions, &QMenu::aboutToShow, this, &frmZipCreate::mnuOptions_Click);

    m_body->installEventFilter(this);
    for (QMenu* menu : {mnuFile, mnuFileFix, mnuEdit, mnuOptions, mnuAutomatic})
        menu->installEventFilter(this);
    // The design size (below the menu bar) is the smallest the window gets.
    resize(kDesign.width(), kDesign.height() + menuBar()->sizeHint().height());
    setMinimumSize(size());
}

QAction* frmZipCreate::item(QMenu* menu, const char* name, const char* caption, void (frmZipCreate::*handler)())
{
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
        // A check mark changes only where a handler sets it.
        if (action->isCheckable())
            action->setChecked(!checked);
        // Shortcuts reach items even while their menu is disabled.
        if (m_busy != 0)
            return;
        (this->*handler)();
    });
    return action;
}

QAction* frmZipCreate::separator(QMenu* menu, const char* name)
{
    QAction* bar = menu->addSeparator();
    bar->setObjectName(QString::fromLatin1(name));
    return bar;
}

void frmZipCreate::Form_Load()
{
    setCursor(Qt::ArrowCursor);
    QFont font = lstMain->font();
    font.setBold(false);
    lstMain->setFont(font);
    m_designSize = kDesign;
    m_prbDesign = kProgress.topLeft();
    m_abortDesign = kAbort.topLeft();
    m_lstDesign = kList.size();
    ZipMain->setArchivePath(QString());
}

QString frmZipCreate::statusText() const
{
    return m_statusText->text();
}

void frmZipCreate::setStatus(const QString& text)
{
    m_statusText->setText(text);
}

// ---- Menus opened ----------------------------------------------------------------------

void frmZipCreate::mnuFile_Click()
{
    const bool open = !ZipMain->ArchivePath().isEmpty();
    mnuFileClose->setEnabled(open);
    mnuFileFix->menuAction()->setEnabled(!open && !ZipMain->MultidiskMode());
    mnuFileDelete->setEnabled(!open);
    mnuFileTest->setEnabled(!open);
}

void frmZipCreate::mnuEdit_Click()
{
    const bool open = !ZipMain->ArchivePath().isEmpty();
    const bool rows = lstMain->topLevelItemCount() > 0;
    const bool selection = HasSelection();
    const bool multidisk = ZipMain->MultidiskMode();
    mnuEditAdd->setEnabled(open && (!rows || !multidisk));
    mnuEditDelete->setEnabled(selection && !multidisk);
    mnuEditExtract->setEnabled(selection);
    mnuEditUpdate->setEnabled(open && !multidisk);
    mnuEditUpdateZipDate->setEnabled(rows && !multidisk);
    mnuEditSelectAll->setEnabled(rows);
}

void frmZipCreate::mnuOptions_Click()
{
    const bool multidisk = ZipMain->MultidiskMode();
    mnuOptionsUseTempFile->setChecked(ZipMain->UseTempFile() && !multidisk);
    mnuOptionsUseTempFile->setEnabled(!multidisk);
    mnuOptionsClearDisks->setChecked(multidisk && ZipMain->ClearDisks());
    mnuOptionsClearDisks->setEnabled(multidisk);
    mnuOptionsMultidiskMode->setChecked(multidisk);
    const int level = ZipMain->Compression();
    mnuOptionsStore->setChecked(level == 0);
    mnuOptionsFastest->setChecked(level == 1);
    mnuOptionsNormal->setChecked(level == 6);
    mnuOptionsBest->setChecked(level == 9);
}

// ---- Options: each acts on the component at once --------------------------------------

void frmZipCreate::mnuOptionsBest_Click()
{
    ZipMain->setCompression(9);
}

void frmZipCreate::mnuOptionsNormal_Click()
{
    ZipMain->setCompression(6);
}

void frmZipCreate::mnuOptionsFastest_Click()
{
    ZipMain->setCompression(1);
}

void frmZipCreate::mnuOptionsStore_Click()
{
    ZipMain->setCompression(0);
}

// The next three follow the check mark as it was when the menu was last
// opened; the check mark itself changes only when the menu opens again.
void frmZipCreate::mnuOptionsMultidiskMode_Click()
{
    ZipMain->setMultidiskMode(!mnuOptionsMultidiskMode->isChecked());
}

void frmZipCreate::mnuOptionsClearDisks_Click()
{
    ZipMain->setClearDisks(!mnuOptionsClearDisks->isChecked());
}

void frmZipCreate::mnuOptionsUseTempFile_Click()
{
    ZipMain->setUseTempFile(!mnuOptionsUseTempFile->isChecked());
}

// ---- The busy switch, progress, Abort --------------------------------------------------

void frmZipCreate::EnableControls(bool& state)
{
    m_busy = qint16(m_busy + (state ? 1 : -1));
    const bool idle = m_busy == 0;
    if (idle)
        setCursor(Qt::ArrowCursor);
    else
        setCursor(Qt::WaitCursor);
    state = idle;
    cmdAbort->setVisible(!idle);
    prbMain->setVisible(!idle);
    for (QMenu* menu : {mnuFile, mnuEdit, mnuOptions, mnuAutomatic})
        menu->menuAction()->setEnabled(idle);
    lstMain->setEnabled(idle);
}

void frmZipCreate::SetProgress(int percent)
{
    prbMain->setValue(qBound(0, percent, 100));
}

bool frmZipCreate::HasSelection() const
{
    const QTreeWidgetItem* current = lstMain->currentItem();
    return lstMain->topLevelItemCount() > 0 && current && current->isSelected();
}

void frmZipCreate::cmdAbort_Click()
{
    if (ZipMain->UseTempFile()) {
        if (ui::msgBox(QStringLiteral("Are you sure you want to abort the current operation?"), ui::Buttons::YesNo,
                       ui::Icon::Question, QStringLiteral("Abort")) == ui::Answer::Yes) {
            mnuAutomaticBackup->setChecked(false);
            ZipMain->setAbort(true);
        }
    } else {
        ui::msgBox(QStringLiteral("You cannot abort an operation when you are not using a temporary file."),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
    }
}

void frmZipCreate::MnuFileExit_Click()
{
    ui::ScreenRegistry::instance().unload(this);
}

void frmZipCreate::frameClose()
{
    // While an operation runs the window stays; Abort is the way to stop it.
    if (m_busy != 0)
        return;
    ui::Screen::frameClose();
}

// ---- Resizing --------------------------------------------------------------------------

bool frmZipCreate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_body && event->type() == QEvent::Resize)
        Form_Resize();
    if (auto* menu = qobject_cast<QMenu*>(watched);
        menu && event->type() == QEvent::KeyPress && openByMnemonic(menu, static_cast<QKeyEvent*>(event)))
        return true;
    return ui::Screen::eventFilter(watched, event);
}

void frmZipCreate::Form_Resize()
{
    if (isMinimized() || m_designSize.isEmpty())
        return;
    const int dx = qMax(0, m_body->width() - m_designSize.width());
    const int dy = qMax(0, m_body->height() - m_designSize.height());
    prbMain->move(m_prbDesign + QPoint(dx, dy));
    cmdAbort->move(m_abortDesign + QPoint(dx, dy));
    lstMain->resize(m_lstDesign + QSize(dx, dy));
    lstMain->setColumnWidth(6, dx + kPathColumn);
    stbMain->setGeometry(kStatus.x(), kStatus.y() + dy, kStatus.width() + dx, kStatus.height());
}

} // namespace upkeep
