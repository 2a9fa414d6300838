// Add, update and delete entries.
#include "DiskMedium.h"
#include "FileIo.h"
#include "SplitSet.h"
#include "ZipInternal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace upkeep::zip {

/// A file handed to libzip: read in the order libzip compresses, so the
/// event of each file comes when its turn comes, with progress by bytes read
/// and Abort seen at every chunk.
class FileSource {
public:
    FileSource(ZipMain& zip, QString path, QString name, bool updating)
        : m_zip(zip), m_file(std::move(path)), m_name(std::move(name)), m_updating(updating)
    {
        zip_error_init(&m_error);
        const QFileInfo info(m_file.fileName());
        m_size = info.size();
        m_mtime = std::time_t(info.lastModified().toSecsSinceEpoch());
    }
    ~FileSource() { zip_error_fini(&m_error); }

    static zip_int64_t callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        return static_cast<FileSource*>(state)->run(data, length, command);
    }

private:
    zip_int64_t fail(int code)
    {
        zip_error_set(&m_error, code, 0);
        return -1;
    }

    zip_int64_t run(void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_OPEN:
            if (!m_file.open(QIODevice::ReadOnly))
                return fail(ZIP_ER_OPEN);
            if (m_updating)
                emit m_zip.Updating(m_name, m_size);
            else
                emit m_zip.Adding(m_name, m_size);
            return 0;
        case ZIP_SOURCE_READ: {
            const qint64 n = m_file.read(static_cast<char*>(data), qint64(length));
            if (n < 0)
                return fail(ZIP_ER_READ);
            m_zip.m_addDone += n;
            if (!m_zip.tick(m_zip.m_addDone, m_zip.m_addTotal * m_zip.m_addScale))
                return fail(ZIP_ER_CANCELLED);
            return n;
        }
        case ZIP_SOURCE_CLOSE:
            m_file.close();
            return 0;
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t to = zip_source_seek_compute_offset(zip_uint64_t(m_file.pos()), zip_uint64_t(m_size),
                                                                  data, length, &m_error);
            if (to < 0 || !m_file.seek(to))
                return -1;
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return m_file.pos();
        case ZIP_SOURCE_STAT: {
            auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &m_error);
            if (!st)
                return -1;
            zip_stat_init(st);
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            st->size = zip_uint64_t(m_size);
            st->mtime = m_mtime;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&m_error, data, length);
        case ZIP_SOURCE_FREE:
            delete this;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                                  ZIP_SOURCE_SUPPORTS, -1);
        default:
            return fail(ZIP_ER_OPNOTSUPP);
        }
    }

    ZipMain& m_zip;
    QFile m_file;
    QString m_name;
    bool m_updating;
    qint64 m_size = 0;
    std::time_t m_mtime = 0;
    zip_error_t m_error;
};

namespace {

// Room beyond the files themselves that building an archive of them may take
// (headers, and deflate's worst case on data that does not compress).
constexpr qint64 kBuildMargin = 1 << 20;

// The file named in FileList, found without regard to case when only the case differs.
QString resolveFile(const QString& listed)
{
    const QFileInfo info(listed);
    if (info.exists())
        return info.absoluteFilePath();
    return existingCaseless(info.absolutePath(), info.fileName());
}

bool upToDate(zip_t* archive, zip_int64_t index, const QFileInfo& file)
{
    zip_stat_t st;
    if (zip_stat_index(archive, zip_uint64_t(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_MTIME))
        return false;
    // Entry times are kept to two seconds.
    const qint64 fileTime = file.lastModified().toSecsSinceEpoch();
    return fileTime - fileTime % 2 <= qint64(st.mtime);
}

// Entries that came out larger than they went in are stored instead, as
// Info-ZIP does; libzip copies the others as they are.
int storeWhereDeflateDidNotHelp(const QString& path)
{
    int error = 0;
    ZipHandle archive(zip_open(QFile::encodeName(path).constData(), 0, &error));
    if (!archive)
        return result::Success;
    bool changed = false;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &st) == 0 && st.comp_method != ZIP_CM_STORE &&
            st.comp_size > st.size) {
            zip_set_file_compression(archive.get(), zip_uint64_t(i), ZIP_CM_STORE, 0);
            changed = true;
        }
    }
    if (!changed)
        return result::Success;
    if (zip_close(archive.get()) != 0)
        return codeForArchiveError(zip_get_error(archive.get()), result::WriteError);
    archive.release();
    return result::Success;
}

} // namespace

int ZipMain::addTo(zip_t* archive, int action, qint64* skipped)
{
    const QStringList names = listedNames();
    struct Planned {
        QString path;
        QString name;
    };
    QList<Planned> planned;
    qint64 total = 0;
    for (const QString& listed : names) {
        const QString path = resolveFile(listed);
        const QFileInfo info(path);
        if (!info.exists()) {
            emit SkippingFile(listed, skip::NotFound);
            ++*skipped;
            continue;
        }
        if (!info.isFile() || !info.isReadable()) {
            emit SkippingFile(listed, skip::CannotOpen);
            ++*skipped;
            continue;
        }
        // Entries carry the file's own name, as it is written on the disk.
        const QString name = info.fileName();
        const zip_int64_t existing = zip_name_locate(archive, name.toUtf8().constData(), ZIP_FL_NOCASE);
        if (action == 2 && existing >= 0 && upToDate(archive, existing, info)) {
            emit SkippingFile(name, skip::UpToDate);
            ++*skipped;
            continue;
        }
        planned.append({path, name});
        total += info.size();
    }

    m_addDone = 0;
    m_addTotal = total;
    for (const Planned& item : planned) {
        const QByteArray name = item.name.toUtf8();
        const zip_int64_t existing = zip_name_locate(archive, name.constData(), ZIP_FL_NOCASE);
        zip_error_t error;
        zip_error_init(&error);
        auto* state = new FileSource(*this, item.path, item.name, action == 2 && existing >= 0);
        zip_source_t* source = zip_source_function_create(&FileSource::callback, state, &error);
        zip_error_fini(&error);
        if (!source) {
            delete state;
            return result::OutOfMemory;
        }
        zip_int64_t index = existing;
        if (existing >= 0) {
            if (zip_file_replace(archive, zip_uint64_t(existing), source, 0) != 0) {
                zip_source_free(source);
                return codeForArchiveError(zip_get_error(archive), result::WriteError);
            }
            zip_file_rename(archive, zip_uint64_t(existing), name.constData(), ZIP_FL_ENC_UTF_8);
        } else {
            index = zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8);
            if (index < 0) {
                zip_source_free(source);
                return codeForArchiveError(zip_get_error(archive), result::WriteError);
            }
        }
        const int level = qBound(0, m_compression, 9);
        zip_set_file_compression(archive, zip_uint64_t(index), level == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                 zip_uint32_t(level));
        struct stat st;
        if (::stat(QFile::encodeName(item.path).constData(), &st) == 0)
            zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                             zip_uint32_t(st.st_mode) << 16);
    }
    return result::Success;
}

int ZipMain::Add(int action)
{
    Operation operation(*this);
    if (operation.refused())
        return kAnotherOperation;
    if (m_archivePath.isEmpty() || (action != 0 && action != 2) || m_compression < 0 || m_compression > 9)
        return result::InvalidSettings;
    if (listedNames().isEmpty())
        return result::NothingToDo;
    if (m_multidisk)
        return addMultidisk(action);

    const SetInfo set = inspectSet(m_archivePath);
    if (set.kind == SetKind::Split || set.kind == SetKind::Volumes)
        return result::MultidiskNotAllowed;
    int error = 0;
    ZipHandle archive(zip_open(QFile::encodeName(m_archivePath).constData(), ZIP_CREATE, &error));
    if (!archive) {
        zip_error_t why;
        zip_error_init_with_code(&why, error);
        const int code = codeForArchiveError(&why, result::BadZipFile);
        zip_error_fini(&why);
        return code;
    }
    qint64 skipped = 0;
    if (const int code = addTo(archive.get(), action, &skipped); code != result::Success)
        return code;
    const bool changed = zip_get_num_entries(archive.get(), 0) > 0;
    if (zip_close(archive.get()) != 0)
        return codeForArchiveError(zip_get_error(archive.get()), result::WriteError);
    archive.release();
    if (!changed && !QFileInfo::exists(m_archivePath))
        writeEmptyArchive(m_archivePath);
    if (const int code = storeWhereDeflateDidNotHelp(m_archivePath); code != result::Success)
        return code;
    return skipped > 0 ? result::FilesSkipped : result::Success;
}

int ZipMain::addMultidisk(int action)
{
    // A set cannot be changed in place: it is written anew, to a new archive
    // only. On a removable disk that is cleared first, an earlier set's files
    // are erased instead.
    const SetInfo set = inspectSet(m_archivePath);
    const bool cleared = m_clearDisks && m_medium->isRemovable(QFileInfo(m_archivePath).absolutePath());
    if (!cleared && (set.kind == SetKind::Split || set.kind == SetKind::Volumes || set.entries > 0))
        return result::NotForMultidisk;

    // The archive is built whole in the temporary folder first: it must fit there.
    const QString work = workFolder();
    qint64 size = 0;
    for (const QString& listed : listedNames())
        size += qMax<qint64>(0, QFileInfo(resolveFile(listed)).size());
    if (const qint64 room = m_medium->freeSpace(work); room >= 0 && room < size + kBuildMargin)
        return fullAt(result::DiskFull, work);
    const QString built = QDir(work).filePath(QStringLiteral("built.zip"));
    QFile::remove(built);
    int error = 0;
    ZipHandle archive(zip_open(QFile::encodeName(built).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!archive)
        return result::TempFileProblem;
    qint64 skipped = 0;
    // Compressing is the first half of the work, writing the disks the second.
    m_addScale = 2;
    if (const int code = addTo(archive.get(), action, &skipped); code != result::Success) {
        m_addScale = 1;
        return code;
    }
    const bool any = zip_get_num_entries(archive.get(), 0) > 0;
    const int closed = zip_close(archive.get());
    m_addScale = 1;
    if (closed != 0) {
        const int code = codeForArchiveError(zip_get_error(archive.get()), result::TempFileProblem);
        QFile::remove(built);
        return fullAt(code, work);
    }
    archive.release();
    if (!any)
        return skipped > 0 ? result::FilesSkipped : result::NothingToDo;
    if (const int code = storeWhereDeflateDidNotHelp(built); code != result::Success)
        return fullAt(code, work);

    SetCallbacks callbacks = setCallbacks();
    callbacks.progress = [this](qint64 done, qint64 total) { return tick(total + done, 2 * total); };
    const int code =
        fullAt(writeSet(built, m_archivePath, m_clearDisks, callbacks), QFileInfo(m_archivePath).absolutePath());
    QFile::remove(built);
    if (code != result::Success)
        return code;
    return skipped > 0 ? result::FilesSkipped : result::Success;
}

int ZipMain::Delete()
{
    Operation operation(*this);
    if (operation.refused())
        return kAnotherOperation;
    const SetInfo set = inspectSet(m_archivePath);
    if (set.kind == SetKind::Missing)
        return m_archivePath.isEmpty() ? result::InvalidSettings : result::FileNotFound;
    if (set.kind != SetKind::Single)
        return m_multidisk ? result::NotForMultidisk : result::MultidiskNotAllowed;
    int error = 0;
    ZipHandle archive(zip_open(QFile::encodeName(m_archivePath).constData(), 0, &error));
    if (!archive) {
        zip_error_t why;
        zip_error_init_with_code(&why, error);
        const int code = codeForArchiveError(&why, result::BadZipFile);
        zip_error_fini(&why);
        return code;
    }
    qint64 skipped = 0;
    const QStringList names = listedNames();
    for (const QString& listed : names) {
        const zip_int64_t index = locateListed(archive.get(), listed);
        if (index < 0) {
            emit SkippingFile(listed, skip::NotFound);
            ++skipped;
            continue;
        }
        emit Deleting(listed);
        zip_delete(archive.get(), zip_uint64_t(index));
    }
    zip_register_progress_callback_with_state(
        archive.get(), 0.01,
        [](zip_t*, double fraction, void* self) { static_cast<ZipMain*>(self)->tick(qint64(fraction * 1000), 1000); },
        nullptr, this);
    zip_register_cancel_callback_with_state(
        archive.get(), [](zip_t*, void* self) { return static_cast<ZipMain*>(self)->m_abort ? 1 : 0; }, nullptr, this);
    if (zip_close(archive.get()) != 0)
        return codeForArchiveError(zip_get_error(archive.get()), result::WriteError);
    archive.release();
    // An archive whose last entry went stays, empty.
    if (!QFileInfo::exists(m_archivePath))
        writeEmptyArchive(m_archivePath);
    return skipped > 0 ? result::FilesSkipped : result::Success;
}

} // namespace upkeep::zip
