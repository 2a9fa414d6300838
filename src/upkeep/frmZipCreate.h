#pragma once

#include "DriveA.h"
#include "XZipDemo1.h"

#include "ui/Screen.h"
#include "upkeep/zip/ZipMain.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QStatusBar;
class QTreeWidget;

namespace upkeep {

/// The backup window: one-step backup of the database to drive A: and
/// restore from it, a guided backup, and a small manager of zip archives
/// around the archive component ZipMain.
class frmZipCreate : public ui::Screen {
    Q_OBJECT
public:
    frmZipCreate();

    zip::ZipMain* ZipMain;
    QTreeWidget* lstMain;
    QStatusBar* stbMain;
    QProgressBar* prbMain;
    QPushButton* cmdAbort;
    FileDialog dlgSelectFiles;
    FileDialog dlgSelectZip;

    QMenu* mnuFile;
    QAction* mnuFileWizard;
    QAction* mnuFileNew;
    QAction* mnuFileOpen;
    QAction* mnuFileClose;
    QAction* mnuFileBar1;
    QAction* mnuFileTest;
    QMenu* mnuFileFix;
    QAction* mnuFileFixNormal;
    QAction* mnuFileFixAgressive;
    QAction* mnuFileDelete;
    QAction* mnuFileBar2;
    QAction* mnuFileExit;
    QMenu* mnuEdit;
    QAction* mnuEditAdd;
    QAction* mnuEditDelete;
    QAction* mnuEditExtract;
    QAction* mnuEditUpdate;
    QAction* mnuEditBar1;
    QAction* mnuEditUpdateZipDate;
    QAction* mnuEditBar2;
    QAction* mnuEditSelectAll;
    QMenu* mnuOptions;
    QAction* mnuOptionsBest;
    QAction* mnuOptionsNormal;
    QAction* mnuOptionsFastest;
    QAction* mnuOptionsStore;
    QAction* mnuOptionsBar1;
    QAction* mnuOptionsMultidiskMode;
    QAction* mnuOptionsClearDisks;
    QAction* mnuOptionsBar2;
    QAction* mnuOptionsUseTempFile;
    QMenu* mnuAutomatic;
    QAction* mnuAutomaticBackup;
    QAction* mnuAutomaticRestore;

    /// The status bar's text.
    QString statusText() const;
    /// Whether an operation is running (the busy counter is not 0).
    bool isBusy() const { return m_busy != 0; }
    /// Set by the extract dialog: true when it was left with Cancel.
    bool extractCancelled = false;

    void Form_Load() override;

public slots:
    // Menus opened: their items enabled and checked.
    void mnuFile_Click();
    void mnuEdit_Click();
    void mnuOptions_Click();

    void mnuFileWizard_Click();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    void mnuFileTest_Click();
    void mnuFileFixNormal_Click();
    void mnuFileFixAgressive_Click();
    void mnuFileDelete_Click();
    void MnuFileExit_Click();
    void mnuEditAdd_Click();
    void mnuEditDelete_Click();
    void mnuEditExtract_Click();
    void mnuEditUpdate_Click();
    void mnuEditUpdateZipDate_Click();
    void mnuEditSelectAll_Click();
    void mnuOptionsBest_Click();
    void mnuOptionsNormal_Click();
    void mnuOptionsFastest_Click();
    void mnuOptionsStore_Click();
    void mnuOptionsMultidiskMode_Click();
    void mnuOptionsClearDisks_Click();
    void mnuOptionsUseTempFile_Click();
    void mnuAutomaticBackup_Click();
    void mnuAutomaticRestore_Click();
    void cmdAbort_Click();
    void Form_Resize();

    // Events of the archive component.
    void ZipMain_Adding(const QString& name, qint64 size);
    void ZipMain_Updating(const QString& name, qint64 size);
    void ZipMain_Extracting(const QString& name, qint64 size);
    void ZipMain_Testing(const QString& name, qint64 size);
    void ZipMain_Deleting(const QString& name);
    void ZipMain_Fixing(const QString& name);
    void ZipMain_Status(int percent);
    void ZipMain_Listing(const QString& name, qint64 size, qint64 compressedSize, const QString& dateTime, int ratio);
    void ZipMain_Newdisk(int disk, bool& cancel);
    void ZipMain_NoRoom(int disk, qint64 free, qint64 needed, bool& retry);
    void ZipMain_Replace(const QString& name, int& reply);
    void ZipMain_SkippingFile(const QString& name, int reason);

protected:
    void frameClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// How a step of an automatic sequence ended.
    enum class Outcome { Done, Stopped, NoDisk, Failed };

    QAction* item(QMenu* menu, const char* name, const char* caption, void (frmZipCreate::*handler)());
    QAction* separator(QMenu* menu, const char* name);

    void EnableControls(bool& state);
    void RefreshList(const QString& operation);
    void ShowArchiveSummary();
    void SetProgress(int percent);
    bool HasSelection() const;
    int ProcessSelected(int action);
    void RepairArchive(bool aggressive);
    void setStatus(const QString& text);
    /// ReportResult for the component's last operation; a full disk is
    /// named by where it could not write, else by `written` (where it wrote).
    void report(int result, const QString& operation, const QString& written = {});
    /// Whether the disk holding the program's folder has room for a restored
    /// database of `bytes`; says so when it has not.
    bool roomToRestore(qint64 bytes);

    Outcome newArchive();
    Outcome openArchive();
    Outcome addFiles();
    Outcome restoreSelected();
    /// Puts an extracted file in place; the database only once checked and while no screen has it open.
    bool commitExtracted(const QString& staged, const QString& target);
    /// Whether a restore may write `target`: never a file the database engine reads beside the database.
    bool mayRestoreTo(const QString& target);

    QLabel* m_statusText;
    QWidget* m_body;
    DriveA m_driveA;
    qint16 m_busy = 0;
    int m_listed = 0;
    qint64 m_totalSize = 0;
    qint64 m_totalPacked = 0;
    int m_expected = 0;
    // Geometry as designed, for Form_Resize.
    QSize m_designSize;
    QPoint m_prbDesign;
    QPoint m_abortDesign;
    QSize m_lstDesign;
    int m_lastListResult = 0;
    bool m_databaseRestored = false;
};

} // namespace upkeep
