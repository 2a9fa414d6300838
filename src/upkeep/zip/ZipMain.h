#pragma once

#include "ZipResult.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QFile;
class QTemporaryDir;
typedef struct zip zip_t;

namespace upkeep::zip {

class DiskMedium;
struct SetCallbacks;

/// The archive component of the backup window: zip archives over libzip,
/// worked through properties, operations that return a result code (0 is
/// success, see ZipResult.h) and events raised while an operation runs.
///
/// Names in `FileList`, in the events and in the listing use "\" between
/// folders; "/" is accepted too. Operations run on the caller's thread and
/// let pending window events through while they work, so a window can show
/// progress and set `Abort`. A set that spans several disks follows the zip
/// format's split-archive rules (parts name.z01, name.z02, ..., name.zip);
/// sets cut into numbered volumes (name.zip.001, ...) are read too.
class ZipMain : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString ArchivePath READ ArchivePath WRITE setArchivePath)
    Q_PROPERTY(QString FileList READ FileList WRITE setFileList)
    Q_PROPERTY(QString ExtractFolder READ ExtractFolder WRITE setExtractFolder)
    Q_PROPERTY(int Compression READ Compression WRITE setCompression)
    Q_PROPERTY(bool MultidiskMode READ MultidiskMode WRITE setMultidiskMode)
    Q_PROPERTY(bool ClearDisks READ ClearDisks WRITE setClearDisks)
    Q_PROPERTY(bool UseTempFile READ UseTempFile WRITE setUseTempFile)
    Q_PROPERTY(bool Abort READ Abort WRITE setAbort)
    Q_PROPERTY(int EntryCount READ EntryCount)
public:
    explicit ZipMain(QObject* parent = nullptr);
    ~ZipMain() override;

    /// The archive worked on; empty when none is open.
    QString ArchivePath() const { return m_archivePath; }
    void setArchivePath(const QString& path);
    /// Entries or files to process, each followed by a carriage return. The
    /// operation that uses them empties the list when it ends.
    QString FileList() const { return m_fileList; }
    void setFileList(const QString& list) { m_fileList = list; }
    /// Where Extract writes; empty means the current folder.
    QString ExtractFolder() const { return m_extractFolder; }
    void setExtractFolder(const QString& folder) { m_extractFolder = folder; }
    /// 0 store, 1 fastest ... 9 best; 6 is normal.
    int Compression() const { return m_compression; }
    void setCompression(int level) { m_compression = level; }
    /// The archive may span several disks.
    bool MultidiskMode() const { return m_multidisk; }
    void setMultidiskMode(bool on) { m_multidisk = on; }
    /// In multidisk mode, each removable disk is erased before a part is written to it.
    bool ClearDisks() const { return m_clearDisks; }
    void setClearDisks(bool on) { m_clearDisks = on; }
    /// The window offers Abort only while this is on. The archive itself is
    /// always written beside the old one and renamed over it when complete,
    /// so an aborted or failed operation leaves the old archive as it was.
    bool UseTempFile() const { return m_useTempFile; }
    void setUseTempFile(bool on) { m_useTempFile = on; }
    /// Set while an operation runs to stop it (result 190).
    bool Abort() const { return m_abort; }
    void setAbort(bool abort) { m_abort = abort; }
    /// Entries of the archive, from its end record; 0 when it cannot be read.
    int EntryCount() const;
    /// After an operation that ended with a full disk (result 150): a folder on
    /// that disk where it could not write (the medium, the temporary folder,
    /// the destination); empty when the operation did not say.
    QString FullFolder() const { return m_fullFolder; }

    /// Compresses the files of FileList into the archive: 0 adds (replacing
    /// entries of the same name), 2 updates (only files newer than their entry).
    int Add(int action);
    /// Extracts the entries of FileList (all when it is empty) into ExtractFolder.
    int Extract(int action);
    /// Removes the entries of FileList.
    int Delete();
    /// Raises Listing once per entry.
    int List();
    /// Reads every entry (or those of FileList) and checks it.
    int Test();
    /// Rebuilds the archive from what can be read of it; `aggressive` also
    /// searches damaged stretches for entries.
    int Fix(bool aggressive);
    /// Gives the archive file the date of its newest entry.
    int UpdateZipDate();

    /// Where multidisk sets go (not owned); a fixed disk by default.
    void setMedium(DiskMedium* medium);
    /// Puts an extracted file, complete and its CRC checked, over its target;
    /// false when it must not go there (the committer has told the user why).
    /// The file is written but not yet flushed to the disk: the committer
    /// flushes it before it takes the target's place. The default flushes it
    /// and renames it over the target.
    using Committer = std::function<bool(const QString& staged, const QString& target)>;
    void setCommitter(Committer committer) { m_committer = std::move(committer); }
    /// Asked before Extract makes a folder or writes a file at `target`, and
    /// before it asks whether to replace one there; false leaves the entry out
    /// (the check has told the user why).
    using TargetCheck = std::function<bool(const QString& target)>;
    void setTargetCheck(TargetCheck check) { m_targetCheck = std::move(check); }
    /// Runs now and then while an operation works; by default it lets
    /// pending window events through.
    void setEventPump(std::function<void()> pump) { m_pump = std::move(pump); }
    bool isBusy() const { return m_busy; }

signals:
    void Adding(const QString& name, qint64 size);
    void Updating(const QString& name, qint64 size);
    void Extracting(const QString& name, qint64 size);
    void Testing(const QString& name, qint64 size);
    void Deleting(const QString& name);
    void Fixing(const QString& name);
    /// Completion of the running operation in percent.
    void Status(int percent);
    /// One entry: its stored name, sizes, "MM/dd/yy HH:mm" and the space saved in percent.
    void Listing(const QString& name, qint64 size, qint64 compressedSize, const QString& dateTime, int ratio);
    /// Disk `disk` of a set is needed (0: the last one); set `cancel` to stop.
    void Newdisk(int disk, bool& cancel);
    /// Disk `disk` of a set being written has only `free` bytes once the set's
    /// own files are off it, where `needed` are wanted. Set `retry` to look at
    /// the disk in the drive again; left false the disk counts as full.
    void NoRoom(int disk, qint64 free, qint64 needed, bool& retry);
    /// `name` exists already; answer with replace::Yes or replace::No.
    void Replace(const QString& name, int& reply);
    /// A file or entry was left out, for a skip:: reason.
    void SkippingFile(const QString& name, int reason);

private:
    friend class Operation;
    friend class FileSource;

    /// Names of FileList, without the carriage returns.
    QStringList listedNames() const;
    /// Progress of the running operation; false once Abort is set.
    bool tick(qint64 done, qint64 total);
    /// Lets window events through now and then; false once Abort is set.
    bool keepAlive();
    /// Opens the archive for reading, joining a set of disks first.
    int openForReading(zip_t** archive);
    /// Lists a set from its last disk alone; kNeedsAllDisks when its directory spans disks.
    int listLastDisk();
    static constexpr int kNeedsAllDisks = -1;
    /// The joined copy of a set of disks, made once per archive path.
    int joinedCopy(QString* path);
    QString workFolder();
    int addTo(zip_t* archive, int action, qint64* skipped);
    int addMultidisk(int action);
    int extractEntry(zip_t* archive, qint64 index, const QString& folder, qint64* done, qint64 total, bool* skipped);
    /// Makes `folders` below `root`; a result code, or a skip reason negated.
    int makeFolders(const QString& root, const QStringList& folders, QString* made);
    /// Inflates an entry into `staged`, no further than `declared` bytes when that is known
    /// (not negative); a result code, with `reason` set when the entry is to be skipped.
    int writeEntry(zip_t* archive, qint64 index, qint64 declared, QFile& staged, qint64* done, qint64 total,
                   int* reason);
    bool commitExtracted(const QString& staged, const QString& target);
    bool askDisk(int disk);
    /// What the set routines ask of the component: disks, progress, room.
    SetCallbacks setCallbacks();
    /// The result `code`, noting where the disk was full when it is 150.
    int fullAt(int code, const QString& folder);

    QString m_archivePath;
    QString m_fileList;
    QString m_extractFolder;
    QString m_fullFolder;
    int m_compression = 6;
    bool m_multidisk = false;
    bool m_clearDisks = false;
    bool m_useTempFile = true;
    bool m_abort = false;
    bool m_busy = false;

    DiskMedium* m_medium;
    std::unique_ptr<DiskMedium> m_fixedDisk;
    Committer m_committer;
    TargetCheck m_targetCheck;
    std::function<void()> m_pump;
    QElapsedTimer m_sincePump;
    int m_lastPercent = -1;
    // Bytes compressed by the running Add, of m_addTotal, counted m_addScale times over.
    qint64 m_addDone = 0;
    qint64 m_addTotal = 0;
    int m_addScale = 1;
    std::unique_ptr<QTemporaryDir> m_work;
    QString m_joinedFor; // archive path the joined copy belongs to
    QString m_joined;
};

} // namespace upkeep::zip
