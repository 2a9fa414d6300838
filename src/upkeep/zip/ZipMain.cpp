#include "ZipMain.h"

#include "DiskMedium.h"
#include "FileIo.h"
#include "SplitSet.h"
#include "ZipFormat.h"
#include "ZipInternal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>

namespace upkeep::zip {

// ---- Shared helpers ---------------------------------------------------------------------

Operation::Operation(ZipMain& zip) : m_zip(zip), m_refused(zip.m_busy)
{
    if (m_refused)
        return;
    m_zip.m_busy = true;
    m_zip.m_abort = false;
    m_zip.m_fullFolder.clear();
    m_zip.m_lastPercent = -1;
    m_zip.m_sincePump.start();
}

Operation::~Operation()
{
    if (m_refused)
        return;
    m_zip.m_busy = false;
    m_zip.m_abort = false;
    m_zip.m_fileList.clear();
}

int codeForArchiveError(const zip_error_t* error, int fallback)
{
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_NOENT:
        return result::FileNotFound;
    case ZIP_ER_NOZIP:
    case ZIP_ER_INCONS:
        return result::BadZipFile;
    case ZIP_ER_MEMORY:
        return result::OutOfMemory;
    case ZIP_ER_CANCELLED:
        return result::Aborted;
    case ZIP_ER_TMPOPEN:
        return result::TempFileProblem;
    case ZIP_ER_MULTIDISK:
        return result::MultidiskNotAllowed;
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_EOF:
        return result::ReadError;
    case ZIP_ER_WRITE:
    case ZIP_ER_CLOSE:
    case ZIP_ER_RENAME:
        return zip_error_code_system(error) == ENOSPC ? result::DiskFull : result::WriteError;
    case ZIP_ER_OPEN:
        return result::ReadWriteError;
    default:
        return fallback;
    }
}

int reasonForEntryError(const zip_error_t* error)
{
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_CRC:
        return skip::BadCrc;
    case ZIP_ER_COMPNOTSUPP:
        return skip::UnknownCompression;
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        return skip::Encrypted;
    default:
        return skip::CorruptedData;
    }
}

QString shownName(const char* stored)
{
    QString name = QString::fromUtf8(stored);
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return name;
}

QString storedName(const QString& listed)
{
    QString name = listed;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return name;
}

zip_int64_t locateListed(zip_t* archive, const QString& listed)
{
    const QString wanted = storedName(listed);
    const QByteArray name = wanted.toUtf8();
    if (const zip_int64_t index = zip_name_locate(archive, name.constData(), 0); index >= 0)
        return index;
    // Archivers of other systems store "\" between folders; the list shows
    // both kinds alike, so they are compared alike.
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (const Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (zip_int64_t i = 0; i < count; ++i) {
            const char* stored = zip_get_name(archive, zip_uint64_t(i), 0);
            if (stored && storedName(QString::fromUtf8(stored)).compare(wanted, sensitivity) == 0)
                return i;
        }
    }
    return -1;
}

QString dateTimeText(std::time_t time)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(qint64(time));
    const QDate d = local.date();
    const QTime t = local.time();
    return QString::asprintf("%02d/%02d/%02d %02d:%02d", d.month(), d.day(), d.year() % 100, t.hour(), t.minute());
}

std::time_t fromDosTime(quint32 dos)
{
    const int time = int(dos & 0xffff);
    const int date = int(dos >> 16);
    QDate day(1980 + (date >> 9), (date >> 5) & 15, date & 31);
    QTime clock((time >> 11) & 31, (time >> 5) & 63, (time & 31) * 2);
    if (!day.isValid())
        day = QDate(1980, 1, 1);
    if (!clock.isValid())
        clock = QTime(0, 0);
    return std::time_t(QDateTime(day, clock).toSecsSinceEpoch());
}

bool writeEmptyArchive(const QString& path)
{
    QByteArray end(22, '\0');
    end[0] = 'P';
    end[1] = 'K';
    end[2] = 5;
    end[3] = 6;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(end) == end.size();
}

// ---- The component ----------------------------------------------------------------------

ZipMain::ZipMain(QObject* parent) : QObject(parent), m_fixedDisk(std::make_unique<DiskMedium>())
{
    m_medium = m_fixedDisk.get();
    m_pump = [] {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    };
}

ZipMain::~ZipMain() = default;

void ZipMain::setArchivePath(const QString& path)
{
    m_archivePath = path;
}

void ZipMain::setMedium(DiskMedium* medium)
{
    m_medium = medium ? medium : m_fixedDisk.get();
}

QStringList ZipMain::listedNames() const
{
    QStringList names;
    const auto parts = m_fileList.split(QLatin1Char('\r'));
    for (const QString& part : parts) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

bool ZipMain::tick(qint64 done, qint64 total)
{
    const int percent = total > 0 ? int(qBound(qint64(0), done * 100 / total, qint64(100))) : 100;
    if (percent != m_lastPercent) {
        m_lastPercent = percent;
        emit Status(percent);
    }
    return keepAlive();
}

bool ZipMain::keepAlive()
{
    // Often enough for the window to follow, rarely enough to cost nothing.
    if (m_pump && m_sincePump.elapsed() >= 30) {
        m_pump();
        m_sincePump.restart();
    }
    return !m_abort;
}

bool ZipMain::askDisk(int disk)
{
    bool cancel = false;
    emit Newdisk(disk, cancel);
    return !cancel && !m_abort;
}

SetCallbacks ZipMain::setCallbacks()
{
    SetCallbacks callbacks;
    callbacks.medium = m_medium;
    callbacks.askDisk = [this](int disk) { return askDisk(disk); };
    callbacks.progress = [this](qint64 done, qint64 total) { return tick(done, total); };
    callbacks.noRoom = [this](int disk, qint64 free, qint64 needed) {
        bool retry = false;
        emit NoRoom(disk, free, needed, retry);
        if (m_abort)
            return result::Aborted;
        return retry ? result::Success : result::DiskFull;
    };
    return callbacks;
}

int ZipMain::fullAt(int code, const QString& folder)
{
    if (code == result::DiskFull && m_fullFolder.isEmpty())
        m_fullFolder = QFileInfo(folder).absoluteFilePath();
    return code;
}

QString ZipMain::workFolder()
{
    if (!m_work || !m_work->isValid()) {
        // Work folders of runs that were killed go before a new one is made.
        removeWorkLeftovers();
        m_work = std::make_unique<QTemporaryDir>(workFolderTemplate());
    }
    return m_work->path();
}

int ZipMain::EntryCount() const
{
    const SetInfo set = inspectSet(m_archivePath);
    return set.entries > 0 ? int(qMin<qint64>(set.entries, 0x7fffffff)) : 0;
}

int ZipMain::joinedCopy(QString* path)
{
    // The disks of a set are gathered once; a later operation on the same
    // archive reads the joined copy, unless the last part changed meanwhile.
    const QFileInfo last(m_archivePath);
    const QString key = m_archivePath + QLatin1Char('|') +
                        (last.isFile() ? QString::number(last.size()) + QLatin1Char('|') +
                                             QString::number(last.lastModified().toMSecsSinceEpoch())
                                       : QString());
    if (!m_joined.isEmpty() && QFileInfo::exists(m_joined) &&
        (m_joinedFor == key || (!last.isFile() && m_joinedFor.startsWith(m_archivePath + QLatin1Char('|'))))) {
        *path = m_joined;
        return result::Success;
    }
    const QString work = workFolder();
    QTemporaryDir parts(QDir(work).filePath(QStringLiteral("parts-XXXXXX")));
    const QString joined = QDir(work).filePath(QStringLiteral("joined.zip"));
    // The parts and the joined copy go to the temporary folder.
    const int code = fullAt(joinSet(m_archivePath, joined, parts.path(), setCallbacks()), work);
    if (code != result::Success) {
        QFile::remove(joined);
        m_joined.clear();
        return code;
    }
    // The key is taken again: the disk in the drive may now be another one.
    const QFileInfo now(m_archivePath);
    m_joinedFor = m_archivePath + QLatin1Char('|') +
                  (now.isFile() ? QString::number(now.size()) + QLatin1Char('|') +
                                      QString::number(now.lastModified().toMSecsSinceEpoch())
                                : QString());
    m_joined = joined;
    *path = joined;
    return result::Success;
}

int ZipMain::openForReading(zip_t** archive)
{
    *archive = nullptr;
    if (m_archivePath.isEmpty())
        return result::InvalidSettings;
    const SetInfo set = inspectSet(m_archivePath);
    QString file = m_archivePath;
    switch (set.kind) {
    case SetKind::Missing:
        // A set read before: its disks may all have left the drive.
        if (!m_multidisk || m_joined.isEmpty() || !m_joinedFor.startsWith(m_archivePath + QLatin1Char('|')))
            return result::FileNotFound;
        if (const int code = joinedCopy(&file); code != result::Success)
            return code;
        break;
    case SetKind::Single:
        break;
    case SetKind::Split:
    case SetKind::Volumes:
        if (!m_multidisk)
            return result::MultidiskNotAllowed;
        if (const int code = joinedCopy(&file); code != result::Success)
            return code;
        break;
    }
    int error = 0;
    *archive = zip_open(QFile::encodeName(file).constData(), ZIP_RDONLY, &error);
    if (*archive)
        return result::Success;
    if (error == ZIP_ER_NOZIP && QFileInfo(file).size() == 0)
        return result::EmptyZipFile;
    zip_error_t why;
    zip_error_init_with_code(&why, error);
    const int code = codeForArchiveError(&why, result::BadZipFile);
    zip_error_fini(&why);
    return code;
}

int ZipMain::listLastDisk()
{
    const QString folder = QFileInfo(m_archivePath).absolutePath();
    for (int tries = 0; !QFileInfo(m_archivePath).isFile(); ++tries) {
        if (!m_medium->isRemovable(folder))
            return result::FileNotFound;
        if (tries >= 3)
            return result::WrongDiskTooOften;
        if (!askDisk(0))
            return result::Aborted;
    }
    QFile last(m_archivePath);
    if (!last.open(QIODevice::ReadOnly))
        return result::ReadError;
    const std::optional<EndRecord> end = findEndRecord(last);
    if (!end)
        return result::BadZipFile;
    if (end->centralDisk != end->thisDisk || end->entriesOnDisk != end->entries)
        return kNeedsAllDisks;
    if (!last.seek(qint64(end->centralOffset)))
        return result::BadZipFile;
    const auto entries = parseCentral(last.read(qint64(end->centralSize)), end->entries);
    if (!entries)
        return result::BadZipFile;
    for (qsizetype i = 0; i < entries->size(); ++i) {
        const CentralEntry& entry = entries->at(i);
        // Names are UTF-8 when flagged so; otherwise whatever reads as UTF-8 is taken as such.
        QString name = QString::fromUtf8(entry.name);
        if (!(entry.flags & 0x0800) && name.contains(QChar::ReplacementCharacter))
            name = QString::fromLatin1(entry.name);
        name.replace(QLatin1Char('/'), QLatin1Char('\\'));
        const qint64 size = qint64(entry.size);
        const qint64 packed = qint64(entry.compressedSize);
        const int ratio = size > 0 ? qMax(0, int(qRound(100.0 - packed * 100.0 / double(size)))) : 0;
        emit Listing(name, size, packed, dateTimeText(fromDosTime(entry.dosTime)), ratio);
        if (!keepAlive())
            return result::Aborted;
    }
    return result::Success;
}

int ZipMain::List()
{
    Operation operation(*this);
    if (operation.refused())
        return kAnotherOperation;
    // The last disk of a set holds its directory: listing needs no other disk.
    const bool joined = m_joinedFor.section(QLatin1Char('|'), 0, 0) == m_archivePath && !m_joined.isEmpty();
    if (m_multidisk && !joined && inspectSet(m_archivePath).kind == SetKind::Split) {
        const int code = listLastDisk();
        if (code != kNeedsAllDisks)
            return code;
    }
    zip_t* raw = nullptr;
    if (const int code = openForReading(&raw); code != result::Success)
        return code;
    ZipHandle archive(raw);
    const zip_int64_t count = zip_get_num_entries(raw, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(raw, zip_uint64_t(i), 0, &st) != 0)
            return result::BadZipFile;
        const qint64 size = qint64(st.size);
        const qint64 packed = qint64(st.comp_size);
        const int ratio = size > 0 ? qMax(0, int(qRound(100.0 - packed * 100.0 / double(size)))) : 0;
        emit Listing(shownName(st.name), size, packed, dateTimeText(st.mtime), ratio);
        // The window shows its own progress of a listing, entry by entry.
        if (!keepAlive())
            return result::Aborted;
    }
    return result::Success;
}

int ZipMain::UpdateZipDate()
{
    Operation operation(*this);
    if (operation.refused())
        return kAnotherOperation;
    const SetInfo set = inspectSet(m_archivePath);
    if (set.kind == SetKind::Split || set.kind == SetKind::Volumes)
        return m_multidisk ? result::NotForMultidisk : result::MultidiskNotAllowed;
    zip_t* raw = nullptr;
    if (const int code = openForReading(&raw); code != result::Success)
        return code;
    ZipHandle archive(raw);
    std::time_t newest = 0;
    bool found = false;
    const zip_int64_t count = zip_get_num_entries(raw, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(raw, zip_uint64_t(i), 0, &st) != 0 || QByteArray(st.name).endsWith('/'))
            continue;
        newest = found ? qMax(newest, st.mtime) : st.mtime;
        found = true;
    }
    archive.reset();
    if (!found)
        return result::EmptyOrDirectoriesOnly;
    QFile file(m_archivePath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append) ||
        !file.setFileTime(QDateTime::fromSecsSinceEpoch(qint64(newest)), QFileDevice::FileModificationTime))
        return result::WriteError;
    return result::Success;
}

} // namespace upkeep::zip
