#include "SplitSet.h"

#include "DiskMedium.h"
#include "FileIo.h"
#include "SetParts.h"
#include "ZipFormat.h"
#include "ZipResult.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>

namespace upkeep::zip {

using namespace setparts;

QStringList setFiles(const QString& path)
{
    const QFileInfo last(path);
    QString base = last.fileName();
    if (last.suffix().compare(QStringLiteral("zip"), Qt::CaseInsensitive) == 0)
        base.chop(4);
    const QRegularExpression mine(QLatin1Char('^') + QRegularExpression::escape(base) +
                                      QStringLiteral("\\.z(ip|[0-9]{2,})$"),
                                  QRegularExpression::CaseInsensitiveOption);
    QStringList files;
    const QDir folder = last.absoluteDir();
    const auto names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (mine.match(name).hasMatch() || name.compare(last.fileName(), Qt::CaseInsensitive) == 0)
            files.append(folder.filePath(name));
    }
    return files;
}

QString partPath(const QString& path, int part)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    QString base = info.fileName();
    if (suffix.compare(QStringLiteral("zip"), Qt::CaseInsensitive) == 0)
        base.chop(suffix.size() + 1);
    const QString letter = suffix == QStringLiteral("ZIP") ? QStringLiteral(".Z") : QStringLiteral(".z");
    return existingCaseless(info.absolutePath(),
                            base + letter + QStringLiteral("%1").arg(part, 2, 10, QLatin1Char('0')));
}

SetInfo inspectSet(const QString& path)
{
    SetInfo info;
    if (volumeBase(path) != path || (!QFileInfo::exists(path) && QFileInfo::exists(volumePath(path, 1)))) {
        info.kind = SetKind::Volumes;
        return info;
    }
    if (QFileInfo(path).isFile()) {
        QFile file(path);
        std::optional<EndRecord> end;
        if (file.open(QIODevice::ReadOnly))
            end = findEndRecord(file);
        if (end && end->thisDisk > 0) {
            info.kind = SetKind::Split;
            info.parts = int(end->thisDisk) + 1;
        } else {
            info.kind = SetKind::Single;
        }
        info.entries = end ? qint64(end->entries) : -1;
        return info;
    }
    // Any part of a set: the disk in the drive may be one from its middle.
    const QFileInfo last(path);
    QString base = last.fileName();
    if (last.suffix().compare(QStringLiteral("zip"), Qt::CaseInsensitive) == 0)
        base.chop(4);
    const QRegularExpression part(QLatin1Char('^') + QRegularExpression::escape(base) +
                                      QStringLiteral("\\.z[0-9]{2,}$"),
                                  QRegularExpression::CaseInsensitiveOption);
    const auto names = last.absoluteDir().entryList(QDir::Files);
    for (const QString& name : names) {
        if (part.match(name).hasMatch()) {
            info.kind = SetKind::Split;
            break;
        }
    }
    return info;
}

// ---- Writing a set ----------------------------------------------------------------------

namespace {

class SetWriter {
public:
    SetWriter(const QString& target, bool clearDisks, const SetCallbacks& callbacks, qint64 total)
        : m_target(target), m_folder(QFileInfo(target).absolutePath()), m_clear(clearDisks), m_cb(callbacks),
          m_total(total)
    {
    }

    /// Readies the first disk for a set of `size` bytes; its usable space, or a negative result code.
    qint64 prepareFirstDisk(qint64 size)
    {
        // A fixed disk takes the whole set or nothing; a removable one a part worth a disk.
        const bool removable = m_cb.medium->isRemovable(m_folder);
        const qint64 needed = removable ? qMin(size, kMinimumPart) : size;
        for (int tries = 0;; ++tries) {
            if (m_cb.medium->freeSpace(m_folder) < 0)
                return -result::CreateError;
            if (const int code = clearDisk(); code != result::Success)
                return -code;
            const qint64 room = usable(m_cb.medium->freeSpace(m_folder));
            if (room >= needed)
                return room;
            if (!removable || tries >= kWrongDiskLimit)
                return -result::DiskFull;
            if (const int code = tooLittleRoom(1, room, needed); code != result::Success)
                return -code;
        }
    }

    int startParts(qint64 capacity)
    {
        m_capacity = capacity;
        return openPart(1);
    }

    /// Where the next record will start once `length` bytes that must stay
    /// together are written; moves to the next disk when they do not fit.
    int reserve(qint64 length)
    {
        if (m_written + length > m_capacity) {
            if (m_written == 0)
                return result::DiskFull;
            if (const int code = nextDisk(); code != result::Success)
                return code;
            if (m_written + length > m_capacity)
                return result::DiskFull;
        }
        return result::Success;
    }

    int write(const char* data, qint64 length)
    {
        while (length > 0) {
            const qint64 room = m_capacity - m_written;
            if (room <= 0) {
                if (const int code = nextDisk(); code != result::Success)
                    return code;
                continue;
            }
            const qint64 n = qMin(room, length);
            if (const int code = m_out.write(data, n); code != result::Success)
                return code;
            m_digest.addData(QByteArrayView(data, n));
            data += n;
            length -= n;
            m_written += n;
            m_done += n;
            if (m_cb.progress && !m_cb.progress(m_done, m_total))
                return result::Aborted;
        }
        return result::Success;
    }

    int disk() const { return m_part - 1; }
    qint64 offset() const { return m_written; }

    /// Closes the last part under the archive's own name.
    int finish()
    {
        if (const int code = m_out.commit(); code != result::Success)
            return code;
        if (!replaceFile(partName(m_part), m_target))
            return result::WriteError;
        return result::Success;
    }

private:
    QString partName(int part) const { return QDir(m_folder).filePath(QFileInfo(partPath(m_target, part)).fileName()); }

    int clearDisk()
    {
        if (m_clear && m_cb.medium->isRemovable(m_folder)) {
            if (!m_cb.medium->eraseSet(m_target, nullptr))
                return result::WriteError;
            return result::Success;
        }
        // Otherwise the disk keeps everything but the parts of an earlier set of this name.
        const QStringList old = setFiles(m_target);
        for (const QString& file : old) {
            if (QFileInfo(file).fileName().compare(QFileInfo(m_target).fileName(), Qt::CaseInsensitive) != 0)
                QFile::remove(file);
        }
        return result::Success;
    }

    int tooLittleRoom(int disk, qint64 room, qint64 needed)
    {
        return m_cb.noRoom ? m_cb.noRoom(disk, qMax<qint64>(0, room), needed) : result::DiskFull;
    }

    // Whether the disk in the drive still holds the part just written, as it was written.
    bool stillHolds(const QString& written, qint64 size, const QByteArray& digest) const
    {
        if (sizeOf(written) != size)
            return false;
        QFile file(written);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        return file.open(QIODevice::ReadOnly) && hash.addData(&file) && hash.result() == digest;
    }

    int openPart(int part)
    {
        m_part = part;
        m_written = 0;
        m_digest.reset();
        return m_out.open(partName(part));
    }

    int nextDisk()
    {
        if (const int code = m_out.commit(); code != result::Success)
            return code;
        const QString written = partName(m_part);
        const qint64 writtenSize = sizeOf(written);
        const QByteArray digest = m_digest.result();
        if (!m_cb.medium->isRemovable(m_folder))
            return result::DiskFull;
        const qint64 needed = qMin(kMinimumPart, qMax<qint64>(1, m_total - m_done));
        bool ask = true;
        int crowded = 0; // disks put in that had too little room
        for (int tries = 0;;) {
            if (ask) {
                if (tries++ >= kWrongDiskLimit)
                    return result::WrongDiskTooOften;
                if (!m_cb.askDisk || !m_cb.askDisk(m_part + 1))
                    return result::Aborted;
            }
            ask = true;
            // The disk just written must have left the drive, or it would be
            // erased. Any other disk is a new one, a disk of an earlier set too.
            if (m_cb.medium->freeSpace(m_folder) < 0 || stillHolds(written, writtenSize, digest))
                continue;
            if (const int code = clearDisk(); code != result::Success)
                return code;
            m_capacity = usable(m_cb.medium->freeSpace(m_folder));
            if (m_capacity >= needed)
                break;
            if (++crowded > kWrongDiskLimit)
                return result::DiskFull;
            if (const int code = tooLittleRoom(m_part + 1, m_capacity, needed); code != result::Success)
                return code;
            ask = false;
            tries = 0;
        }
        return openPart(m_part + 1);
    }

    QString m_target;
    QString m_folder;
    bool m_clear;
    const SetCallbacks& m_cb;
    qint64 m_total;
    qint64 m_done = 0;
    OutputFile m_out;
    QCryptographicHash m_digest{QCryptographicHash::Sha1};
    int m_part = 0;
    qint64 m_capacity = 0;
    qint64 m_written = 0;
};

} // namespace

int writeSet(const QString& source, const QString& target, bool clearDisks, const SetCallbacks& callbacks)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return result::TempFileProblem;
    const std::optional<EndRecord> end = findEndRecord(in);
    if (!end)
        return result::TempFileProblem;
    SetWriter writer(target, clearDisks, callbacks, in.size());
    const qint64 capacity = writer.prepareFirstDisk(in.size());
    if (capacity < 0)
        return int(-capacity);
    if (in.size() <= capacity)
        return copyInto(in, target, callbacks.progress);
    if (end->zip64Position >= 0)
        return result::NotForMultidisk;

    if (!in.seek(qint64(end->centralOffset)))
        return result::TempFileProblem;
    const QByteArray directory = in.read(qint64(end->centralSize));
    std::optional<QList<CentralEntry>> entries = parseCentral(directory, end->entries);
    if (!entries)
        return result::TempFileProblem;
    QList<int> order(entries->size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return entries->at(a).localOffset < entries->at(b).localOffset; });

    if (const int code = writer.startParts(capacity); code != result::Success)
        return code;
    QByteArray signature;
    put32(signature, kSplitSignature);
    if (const int code = writer.write(signature.constData(), signature.size()); code != result::Success)
        return code;

    QByteArray buffer;
    for (int n = 0; n < order.size(); ++n) {
        CentralEntry& entry = (*entries)[order[n]];
        const qint64 start = qint64(entry.localOffset);
        const qint64 stop =
            n + 1 < order.size() ? qint64(entries->at(order[n + 1]).localOffset) : qint64(end->centralOffset);
        if (!in.seek(start))
            return result::TempFileProblem;
        const std::optional<LocalHeader> header = parseLocal(in.read(kLocalHeaderSize + 0x20000));
        if (!header || start + header->length() > stop)
            return result::TempFileProblem;
        // A local header never straddles two disks.
        if (const int code = writer.reserve(header->length()); code != result::Success)
            return code;
        entry.setLocation(quint32(writer.disk()), quint64(writer.offset()));
        if (!in.seek(start))
            return result::TempFileProblem;
        qint64 left = stop - start;
        while (left > 0) {
            buffer = in.read(qMin<qint64>(left, 1 << 20));
            if (buffer.isEmpty())
                return result::TempFileProblem;
            if (const int code = writer.write(buffer.constData(), buffer.size()); code != result::Success)
                return code;
            left -= buffer.size();
        }
    }

    // Nor does a record of the central directory.
    EndRecord last = *end;
    last.entriesOnDisk = 0;
    for (int i = 0; i < entries->size(); ++i) {
        const CentralEntry& entry = entries->at(i);
        const int diskBefore = writer.disk();
        if (const int code = writer.reserve(entry.raw.size()); code != result::Success)
            return code;
        if (i == 0) {
            last.centralDisk = quint32(writer.disk());
            last.centralOffset = quint64(writer.offset());
        }
        if (writer.disk() != diskBefore)
            last.entriesOnDisk = 0;
        ++last.entriesOnDisk;
        if (const int code = writer.write(entry.raw.constData(), entry.raw.size()); code != result::Success)
            return code;
    }
    QByteArray closing = endRecords(last, -1);
    const int diskBefore = writer.disk();
    if (const int code = writer.reserve(closing.size()); code != result::Success)
        return code;
    if (writer.disk() != diskBefore)
        last.entriesOnDisk = 0;
    last.thisDisk = quint32(writer.disk());
    closing = endRecords(last, -1);
    if (const int code = writer.write(closing.constData(), closing.size()); code != result::Success)
        return code;
    return writer.finish();
}

} // namespace upkeep::zip
