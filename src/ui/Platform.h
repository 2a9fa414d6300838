#pragma once

#include "store/Error.h"

#include <QDateTime>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QWidget;

namespace ui {

inline constexpr auto kAppTitle = "Tarrowby Stopwell";

enum class Buttons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Abort, Retry, Ignore, Yes, No };

/// One message box as the program asks for it; the title is already filled in.
struct Message {
    QString text;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    QString title;
    /// The button Enter presses; the first one when none is named.
    std::optional<Answer> defaultButton;
};

class MessageBoxSeam {
public:
    virtual ~MessageBoxSeam() = default;
    virtual Answer ask(const Message& message) = 0;
};

class BeepSeam {
public:
    virtual ~BeepSeam() = default;
    virtual void beep() = 0;
};

class ClockSeam {
public:
    virtual ~ClockSeam() = default;
    virtual QDateTime now() const = 0;
};

class FileDialogSeam {
public:
    virtual ~FileDialogSeam() = default;
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    /// Several existing files chosen at once; empty when none was.
    virtual QStringList openFileNames(QWidget* parent, const QString& caption, const QString& folder,
                                      const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString folder(QWidget* parent, const QString& caption, const QString& start) = 0;
};

/// A report ready for its destination. It keeps its rows as they were when
/// it ran; a long one shows its first pages while it reads the rest.
class ReportDocument {
public:
    virtual ~ReportDocument() = default;
    virtual QString title() const = 0;
    /// The report file it came from ("daily.rpt").
    virtual QString fileName() const = 0;
    /// The paper in points (1/72 inch).
    virtual QSizeF pageSize() const = 0;
    /// When the report ran: its pages show the rows of that moment.
    virtual QDateTime ranAt() const = 0;
    /// Every page (a long report is read to its end first).
    virtual int pageCount() const = 0;
    /// Pages that can be shown without waiting; all of them once complete.
    virtual int pagesReady() const = 0;
    virtual bool isComplete() const = 0;
    /// Takes in the rows read since; true once no more will come (complete,
    /// or the rest could not be read: the pages after say why).
    virtual bool catchUp() = 0;
    /// Draws a page onto the painter's device, whose origin is the paper's
    /// corner; false with the reason when the page cannot be shown.
    virtual bool paintPage(QPainter& painter, int index, store::Error* error) const = 0;
    /// The text of a page, line by line as drawn.
    virtual QStringList pageText(int index) const = 0;
    /// Writes pages `first` to `last` (from 0; -1: to the end) as a PDF file.
    virtual bool savePdf(const QString& path, store::Error* error, int first = 0, int last = -1) const = 0;
    virtual bool saveCsv(const QString& path, store::Error* error) const = 0;
};

/// The printer, copies and pages the user chose for a printout.
struct PrintChoice {
    QString printer; ///< empty: the default printer
    int copies = 1;
    int firstPage = 0; ///< from 0
    int lastPage = -1; ///< -1: to the end
};

/// What became of a printout, as the print system answers when asked after sending it.
struct PrintOutcome {
    enum class State {
        Sent,      ///< taken, printing or done
        Refused,   ///< the printer or the print system would not take it, or cancelled it
        Stopped,   ///< taken, but the printer is stopped: it waits
        NoPrinter, ///< no printer is set up (or not the one named)
        Failed,    ///< it could not be sent
    };
    State state = State::Sent;
    QString printer;
    int job = 0;
    int pages = 0;
    QString reason; ///< in words, when it was not simply sent
};

class ReportOutputSeam {
public:
    virtual ~ReportOutputSeam() = default;
    /// Opens a preview window on the report; returns once its first page shows.
    virtual void toWindow(std::shared_ptr<ReportDocument> document) = 0;
    /// Asks for the printer, copies and pages (the print dialog); nullopt
    /// when the user cancels.
    virtual std::optional<PrintChoice> choosePrinter(QWidget* parent, const ReportDocument& document,
                                                     int currentPage) = 0;
    /// Sends the report to a printer (the default one when none is chosen),
    /// then asks the print system what became of the job.
    virtual PrintOutcome toPrinter(const ReportDocument& document, const PrintChoice& choice) = 0;
};

class HelpSeam {
public:
    virtual ~HelpSeam() = default;
    /// Opens the help file at a topic; an empty topic means its contents.
    virtual void open(const QString& topic) = 0;
};

/// The removable drive the backup goes to ("A:").
class RemovableDriveSeam {
public:
    virtual ~RemovableDriveSeam() = default;
    /// The folder the medium is mounted at, or empty when no medium is in.
    virtual QString root() const = 0;
    /// Capacity of one medium in bytes.
    virtual qint64 capacity() const = 0;
    /// Bytes still free on the medium in the drive; negative when none can be read.
    virtual qint64 freeSpace() const = 0;
    /// Whether the medium in the drive is write-protected (it can still be read).
    virtual bool readOnly() const = 0;
};

/// The machine's volumes besides drive A:, and the room left on them.
class VolumesSeam {
public:
    virtual ~VolumesSeam() = default;
    /// The folders the mounted volumes a user keeps files on start at; never empty.
    virtual QStringList roots() const = 0;
    /// Bytes the program may still write on the volume holding `folder`;
    /// negative when `folder` is not a readable folder.
    virtual qint64 freeSpace(const QString& folder) const = 0;
};

/// One volume as the machine's mount table lists it.
struct MountedVolume {
    QString root;
    /// The device file ("/dev/sdb1"), empty for a volume without one.
    QString device;
    bool ready = true;
    bool readOnly = false;
};

/// The first of `volumes` on a disk the kernel marks as removable, as the
/// folder `blockFolder` (the kernel's "/sys/class/block") describes the
/// disks. A write-protected medium counts: it can be restored from. Empty
/// when there is none.
std::optional<MountedVolume> removableVolume(const QList<MountedVolume>& volumes, const QString& blockFolder);

/// The seams the program talks to the machine through. Each holds a real
/// default; tests install scripted versions.
class Platform {
public:
    static Platform& instance();

    MessageBoxSeam& messageBox() { return *m_messageBox; }
    BeepSeam& beeper() { return *m_beep; }
    ClockSeam& clock() { return *m_clock; }
    FileDialogSeam& fileDialog() { return *m_fileDialog; }
    ReportOutputSeam& reportOutput() { return *m_reportOutput; }
    HelpSeam& help() { return *m_help; }
    RemovableDriveSeam& drive() { return *m_drive; }
    VolumesSeam& volumes() { return *m_volumes; }

    void setMessageBox(std::unique_ptr<MessageBoxSeam> seam) { m_messageBox = std::move(seam); }
    void setBeep(std::unique_ptr<BeepSeam> seam) { m_beep = std::move(seam); }
    void setClock(std::unique_ptr<ClockSeam> seam) { m_clock = std::move(seam); }
    void setFileDialog(std::unique_ptr<FileDialogSeam> seam) { m_fileDialog = std::move(seam); }
    void setReportOutput(std::unique_ptr<ReportOutputSeam> seam) { m_reportOutput = std::move(seam); }
    void setHelp(std::unique_ptr<HelpSeam> seam) { m_help = std::move(seam); }
    void setDrive(std::unique_ptr<RemovableDriveSeam> seam) { m_drive = std::move(seam); }
    void setVolumes(std::unique_ptr<VolumesSeam> seam) { m_volumes = std::move(seam); }

    /// Folder of the executable unless one is set: the installed program sets
    /// the folder its build names, tests their own.
    QString appFolder() const;
    void setAppFolder(const QString& folder) { m_appFolder = folder; }

    /// Puts every real default back.
    void reset();

    /// The program's own report output (its preview window and printing),
    /// supplied by the reports folder; reset() puts it back as the default.
    static void setReportOutputFactory(std::function<std::unique_ptr<ReportOutputSeam>()> factory);

private:
    Platform();
    std::unique_ptr<MessageBoxSeam> m_messageBox;
    std::unique_ptr<BeepSeam> m_beep;
    std::unique_ptr<ClockSeam> m_clock;
    std::unique_ptr<FileDialogSeam> m_fileDialog;
    std::unique_ptr<ReportOutputSeam> m_reportOutput;
    std::unique_ptr<HelpSeam> m_help;
    std::unique_ptr<RemovableDriveSeam> m_drive;
    std::unique_ptr<VolumesSeam> m_volumes;
    QString m_appFolder;
};

/// Shows a message box; an empty title becomes the application's title.
Answer msgBox(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None, const QString& title = {},
              std::optional<Answer> defaultButton = std::nullopt);
/// Shows a message box as given; an empty title becomes the application's title.
Answer msgBox(Message message);
void beep();
QDate today();
QDateTime now();
QString appFolder();
/// The database in the application folder, "Zuvevadu.mdb" in any case of letters.
QString databasePath();

} // namespace ui
