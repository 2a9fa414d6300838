// Extract: entries come out only below the chosen folder, each written
// beside its target and put in place once complete and checked. An entry is
// written only while it fits the free space there and stays within the size
// stored for it, so a damaged or made-up entry cannot fill the disk.
#include "DiskMedium.h"
#include "EntryPath.h"
#include "FileIo.h"
#include "ZipInternal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>

#include <cerrno>
#include <unistd.h>

namespace upkeep::zip {
namespace {

/// The check of the component's user refused a target and has told the user why.
constexpr int kRefused = -1;

/// Longest name, in bytes, that the file system holding `folder` takes.
qint64 longestName(const QString& folder)
{
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 ? qint64(limit) : 255;
}

bool tooLong(const QString& folder, const QString& name)
{
    return QFile::encodeName(name).size() > longestName(folder);
}

QFile::Permissions permissionsFor(quint8 system, quint32 attributes)
{
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    constexpr quint8 kUnix = 3;
    if (system != kUnix || (attributes >> 16) == 0)
        return permissions;
    const quint32 mode = attributes >> 16;
    permissions = {};
    const QFile::Permission bits[] = {QFile::ExeOther, QFile::WriteOther, QFile::ReadOther,
                                      QFile::ExeGroup, QFile::WriteGroup, QFile::ReadGroup,
                                      QFile::ExeOwner, QFile::WriteOwner, QFile::ReadOwner};
    for (int bit = 0; bit < 9; ++bit) {
        if (mode & (1u << bit))
            permissions |= bits[bit];
    }
    return permissions | QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
}

} // namespace

int ZipMain::Extract(int)
{
    Operation operation(*this);
    if (operation.refused())
        return kAnotherOperation;
    zip_t* raw = nullptr;
    if (const int code = openForReading(&raw); code != result::Success)
        return code;
    ZipHandle archive(raw);

    const QString folder =
        QFileInfo(m_extractFolder.trimmed().isEmpty() ? QDir::currentPath() : m_extractFolder.trimmed())
            .absoluteFilePath();
    if (!QDir().mkpath(folder))
        return result::CannotCreateFolder;
    // What an earlier extraction cut short left staged there goes first.
    removeStagedLeftovers(folder, true);

    // The entries asked for, in the archive's order.
    const zip_int64_t count = zip_get_num_entries(raw, 0);
    QList<zip_int64_t> chosen;
    qint64 skipped = 0;
    const QStringList names = listedNames();
    if (names.isEmpty()) {
        for (zip_int64_t i = 0; i < count; ++i)
            chosen.append(i);
    } else {
        QHash<zip_int64_t, bool> wanted;
        for (const QString& listed : names) {
            const zip_int64_t index = locateListed(raw, listed);
            if (index < 0) {
                emit SkippingFile(listed, skip::NotFound);
                ++skipped;
                continue;
            }
            wanted.insert(index, true);
        }
        for (zip_int64_t i = 0; i < count; ++i) {
            if (wanted.contains(i))
                chosen.append(i);
        }
    }
    qint64 total = 0;
    for (zip_int64_t index : chosen) {
        zip_stat_t st;
        if (zip_stat_index(raw, zip_uint64_t(index), 0, &st) == 0)
            total += qint64(st.size);
    }

    qint64 done = 0;
    for (zip_int64_t index : chosen) {
        bool wasSkipped = false;
        const int code = extractEntry(raw, index, folder, &done, total, &wasSkipped);
        if (code != result::Success)
            return code;
        if (wasSkipped)
            ++skipped;
        if (m_abort)
            return result::Aborted;
    }
    return skipped > 0 ? result::FilesSkipped : result::Success;
}

int ZipMain::makeFolders(const QString& root, const QStringList& folders, QString* made)
{
    QString path = root;
    for (const QString& folder : folders) {
        if (tooLong(path, folder))
            return -skip::NameTooLong;
        const QString parent = path;
        path = existingCaseless(parent, folder);
        const QFileInfo info(path);
        // A link could lead elsewhere.
        if (info.isSymLink())
            return -skip::OutsideFolder;
        if (!info.exists()) {
            if (m_targetCheck && !m_targetCheck(path))
                return kRefused;
            if (!QDir().mkdir(path))
                return errno == ENAMETOOLONG ? -skip::NameTooLong : result::CannotCreateFolder;
        }
        if (!QFileInfo(path).isDir())
            return result::CannotCreateFolder;
    }
    *made = path;
    return result::Success;
}

int ZipMain::extractEntry(zip_t* archive, qint64 index, const QString& folder, qint64* done, qint64 total,
                          bool* skipped)
{
    auto skipWith = [&](const QString& name, int reason) {
        if (reason != kRefused)
            emit SkippingFile(name, reason);
        *skipped = true;
        return result::Success;
    };
    zip_stat_t st;
    if (zip_stat_index(archive, zip_uint64_t(index), 0, &st) != 0)
        return result::BadZipFile;
    const QString shown = shownName(st.name);
    const QString stored = QString::fromUtf8(st.name);
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    zip_file_get_external_attributes(archive, zip_uint64_t(index), 0, &system, &attributes);

    const std::optional<QString> relative = safeRelativePath(stored);
    if (!relative)
        return skipWith(shown, skip::OutsideFolder);
    const EntryKind kind = entryKind(stored, system, attributes);
    if (kind == EntryKind::Link)
        return skipWith(shown, skip::NotAFile);

    QStringList parts = relative->split(QLatin1Char('/'));
    const QString leaf = kind == EntryKind::Folder ? QString() : parts.takeLast();
    QString parent;
    const int made = makeFolders(folder, parts, &parent);
    if (made < 0)
        return skipWith(shown, made == kRefused ? kRefused : -made);
    if (made != result::Success)
        return made;
    if (kind == EntryKind::Folder)
        return result::Success;
    if (tooLong(parent, leaf))
        return skipWith(shown, skip::NameTooLong);

    // A file already there under another case is the one to replace.
    const QString target = existingCaseless(parent, leaf);
    if (m_targetCheck && !m_targetCheck(target))
        return skipWith(shown, kRefused);
    // The whole entry must fit beside the file it may replace.
    const bool sized = st.valid & ZIP_STAT_SIZE;
    if (const qint64 free = m_medium->freeSpace(parent); sized && free >= 0 && qint64(st.size) > free)
        return skipWith(shown, skip::NoRoom);
    const QFileInfo existing(target);
    if (existing.isSymLink() || existing.exists()) {
        if (existing.isDir() && !existing.isSymLink())
            return skipWith(shown, skip::CannotOpen);
        int reply = replace::No;
        emit Replace(QDir::toNativeSeparators(target), reply);
        if (m_abort)
            return result::Aborted;
        if (reply == replace::No)
            return skipWith(shown, skip::NotOverwritten);
        if (reply != replace::Yes)
            return result::BadEventParameter;
    }

    emit Extracting(shown, qint64(st.size));
    // The staged file's name must fit the file system too.
    const QString stagedLeaf = tooLong(parent, QFileInfo(stagedTemplate(parent, leaf)).fileName()) ? leaf.left(32) : leaf;
    QTemporaryFile staged(stagedTemplate(parent, stagedLeaf));
    if (!staged.open())
        return result::CreateError;
    int reason = -1;
    if (const int code = writeEntry(archive, index, sized ? qint64(st.size) : -1, staged, done, total, &reason);
        code != result::Success || reason >= 0)
        return reason >= 0 ? skipWith(shown, reason) : code;

    staged.setPermissions(permissionsFor(system, attributes));
    staged.setFileTime(QDateTime::fromSecsSinceEpoch(qint64(st.mtime)), QFileDevice::FileModificationTime);
    staged.close();
    // A file the committer refuses stays out; it has told the user why.
    if (!commitExtracted(staged.fileName(), target))
        *skipped = true;
    return result::Success;
}

int ZipMain::writeEntry(zip_t* archive, qint64 index, qint64 declared, QFile& staged, qint64* done, qint64 total,
                        int* reason)
{
    ZipFileHandle entry(zip_fopen_index(archive, zip_uint64_t(index), 0));
    if (!entry) {
        *reason = reasonForEntryError(zip_get_error(archive));
        return result::Success;
    }
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 written = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(entry.get(), buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0) {
            *reason = reasonForEntryError(zip_file_get_error(entry.get()));
            return result::Success;
        }
        if (n == 0)
            break;
        // Data beyond the size stored for the entry are damaged, or made to fill the disk.
        written += n;
        if (declared >= 0 && written > declared) {
            *reason = skip::CorruptedData;
            return result::Success;
        }
        errno = 0;
        if (staged.write(buffer.constData(), n) != n)
            return errno == ENOSPC ? result::DiskFull : result::WriteError;
        *done += n;
        if (!tick(*done, total))
            return result::Aborted;
    }
    if (!staged.flush())
        return errno == ENOSPC ? result::DiskFull : result::WriteError;
    return result::Success;
}

bool ZipMain::commitExtracted(const QString& staged, const QString& target)
{
    if (m_committer)
        return m_committer(staged, target);
    return commitFile(staged, target);
}

} // namespace upkeep::zip
