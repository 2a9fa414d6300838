#include "SplitSet.h"

#include "DiskMedium.h"
#include "FileIo.h"
#include "ZipFormat.h"
#include "ZipResult.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>

namespace upkeep::zip {
namespace {

// A part smaller than this is not worth a disk: such a disk counts as full.
constexpr qint64 kMinimumPart = 64 * 1024;
// Asking for the same disk more often than this gives up.
constexpr int kWrongDiskLimit = 3;

QString volumeBase(const QString& path)
{
    static const QRegularExpression numbered(QStringLiteral("\\.001$"));
    return numbered.match(path).hasMatch() ? path.chopped(4) : path;
}

QString volumePath(const QString& base, int volume)
{
    return base + QStringLiteral(".%1").arg(volume, 3, 10, QLatin1Char('0'));
}

// Space a part may take: whole sectors only.
qint64 usable(qint64 free)
{
    return free < 0 ? -1 : free - free % 512;
}

qint64 sizeOf(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.size() : -1;
}

} // namespace

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

    /// Readies the first disk; its usable space, or a negative result code.
    qint64 prepareFirstDisk()
    {
        if (m_cb.medium->freeSpace(m_folder) < 0)
            return -result::CreateError;
        if (const int code = clearDisk(); code != result::Success)
            return -code;
        return usable(m_cb.medium->freeSpace(m_folder));
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
            if (!m_cb.medium->erase(m_folder, nullptr))
                return result::WriteError;
            return result::Success;
        }
        // A fixed disk keeps everything but the old parts of this very set.
        for (int part = 1; part < 100; ++part) {
            const QString old = partPath(m_target, part);
            if (!QFile::exists(old))
                break;
            QFile::remove(old);
        }
        return result::Success;
    }

    int openPart(int part)
    {
        m_part = part;
        m_written = 0;
        return m_out.open(partName(part));
    }

    int nextDisk()
    {
        if (const int code = m_out.commit(); code != result::Success)
            return code;
        const QString written = partName(m_part);
        const qint64 writtenSize = sizeOf(written);
        if (!m_cb.medium->isRemovable(m_folder))
            return result::DiskFull;
        for (int tries = 0;; ++tries) {
            if (tries >= kWrongDiskLimit)
                return result::WrongDiskTooOften;
            if (!m_cb.askDisk || !m_cb.askDisk(m_part + 1))
                return result::Aborted;
            // The disk just written must have left the drive, or it would be erased.
            if (m_cb.medium->freeSpace(m_folder) < 0 || sizeOf(written) == writtenSize)
                continue;
            break;
        }
        if (const int code = clearDisk(); code != result::Success)
            return code;
        m_capacity = usable(m_cb.medium->freeSpace(m_folder));
        if (m_capacity < kMinimumPart)
            return result::DiskFull;
        return openPart(m_part + 1);
    }

    QString m_target;
    QString m_folder;
    bool m_clear;
    const SetCallbacks& m_cb;
    qint64 m_total;
    qint64 m_done = 0;
    OutputFile m_out;
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
    const qint64 capacity = writer.prepareFirstDisk();
    if (capacity < 0)
        return int(-capacity);
    if (in.size() <= capacity)
        return copyInto(in, target, callbacks.progress);
    if (end->zip64Position >= 0)
        return result::NotForMultidisk;
    if (capacity < kMinimumPart)
        return result::DiskFull;

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

// ---- Reading a set ----------------------------------------------------------------------

namespace {

class SetGatherer {
public:
    SetGatherer(const QString& path, const QString& workFolder, const SetCallbacks& callbacks)
        : m_path(path), m_folder(QFileInfo(path).absolutePath()), m_work(workFolder), m_cb(callbacks),
          m_removable(callbacks.medium && callbacks.medium->isRemovable(m_folder))
    {
    }

    /// Finds every part, asking for disks as needed. A result code.
    int gather()
    {
        int wrong = 0;
        int wanted = -1;
        for (;;) {
            if (const int code = takePresent(); code != result::Success)
                return code;
            const int missing = firstMissing();
            if (missing == 0)
                return result::Success;
            if (!m_removable)
                return result::FileNotFound;
            if (missing == wanted && ++wrong >= kWrongDiskLimit)
                return result::WrongDiskTooOften;
            if (missing != wanted)
                wrong = 0;
            wanted = missing;
            const bool isLast = m_parts == 0 || missing == m_parts;
            if (!m_cb.askDisk || !m_cb.askDisk(isLast ? 0 : missing))
                return result::Aborted;
        }
    }

    int parts() const { return m_parts; }
    QString part(int n) const { return m_have.value(n); }

private:
    // The parts on the disk in the drive now; copied aside when the disk is about to change.
    int takePresent()
    {
        if (QFileInfo(m_path).isFile() && !m_have.contains(-1)) {
            QFile last(m_path);
            if (!last.open(QIODevice::ReadOnly))
                return result::ReadError;
            const std::optional<EndRecord> end = findEndRecord(last);
            if (!end)
                return result::BadZipFile;
            // A set on one disk is an ordinary archive, whatever the disk it came from.
            const int parts = int(end->thisDisk) + 1;
            if (m_parts == 0 || m_parts == parts) {
                m_parts = parts;
                if (const int code = keep(parts, m_path); code != result::Success)
                    return code;
                m_have.insert(-1, m_have.value(parts));
            }
        }
        // The parts on this disk, found in one look at its folder.
        const QFileInfo last(m_path);
        QString base = last.fileName();
        if (last.suffix().compare(QStringLiteral("zip"), Qt::CaseInsensitive) == 0)
            base.chop(4);
        const QRegularExpression part(QLatin1Char('^') + QRegularExpression::escape(base) +
                                          QStringLiteral("\\.z([0-9]{2,})$"),
                                      QRegularExpression::CaseInsensitiveOption);
        const auto names = QDir(m_folder).entryList(QDir::Files);
        for (const QString& name : names) {
            const QRegularExpressionMatch match = part.match(name);
            const int n = match.hasMatch() ? match.captured(1).toInt() : 0;
            if (n < 1 || m_have.contains(n) || (m_parts != 0 && n >= m_parts))
                continue;
            if (const int code = keep(n, QDir(m_folder).filePath(name)); code != result::Success)
                return code;
        }
        return result::Success;
    }

    int keep(int n, const QString& path)
    {
        if (!m_removable) {
            m_have.insert(n, path);
            return result::Success;
        }
        const QString copy = QDir(m_work).filePath(QStringLiteral("part%1").arg(n));
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return result::ReadError;
        if (const int code = copyInto(in, copy, {}); code != result::Success)
            return code;
        m_have.insert(n, copy);
        return result::Success;
    }

    int firstMissing() const
    {
        if (m_parts == 0)
            return -1;
        for (int n = 1; n <= m_parts; ++n) {
            if (!m_have.contains(n))
                return n;
        }
        return 0;
    }

    QString m_path;
    QString m_folder;
    QString m_work;
    const SetCallbacks& m_cb;
    bool m_removable;
    int m_parts = 0;
    QMap<int, QString> m_have; // part -> file; -1 marks that the last part was taken
};

int joinVolumes(const QString& path, const QString& joined, const SetCallbacks& callbacks)
{
    const QString base = volumeBase(path);
    QList<QString> volumes;
    qint64 total = 0;
    for (int n = 1; QFileInfo(volumePath(base, n)).isFile(); ++n) {
        volumes.append(volumePath(base, n));
        total += sizeOf(volumes.last());
    }
    if (volumes.isEmpty())
        return result::FileNotFound;
    OutputFile out;
    if (const int code = out.open(joined); code != result::Success)
        return code;
    qint64 done = 0;
    for (const QString& volume : volumes) {
        QFile in(volume);
        if (!in.open(QIODevice::ReadOnly))
            return result::ReadError;
        if (const int code = out.append(in, in.size(), callbacks.progress, &done, total); code != result::Success)
            return code;
    }
    return out.commit();
}

} // namespace

int joinSet(const QString& path, const QString& joined, const QString& workFolder, const SetCallbacks& callbacks)
{
    if (inspectSet(path).kind == SetKind::Volumes)
        return joinVolumes(path, joined, callbacks);

    SetGatherer gatherer(path, workFolder, callbacks);
    if (const int code = gatherer.gather(); code != result::Success)
        return code;
    const int parts = gatherer.parts();

    // Offsets in the set count from the start of each part; in the joined
    // archive from its start, without the split signature of the first part.
    QList<qint64> starts;
    qint64 total = 0;
    for (int n = 1; n <= parts; ++n) {
        starts.append(total);
        total += sizeOf(gatherer.part(n));
    }
    qint64 shift = 0;
    {
        QFile first(gatherer.part(1));
        if (!first.open(QIODevice::ReadOnly))
            return result::ReadError;
        const QByteArray head = first.read(4);
        if (head.size() == 4 &&
            (get32(head.constData()) == kSplitSignature || get32(head.constData()) == kSingleSplitSignature))
            shift = 4;
    }
    std::optional<EndRecord> end;
    {
        QFile last(gatherer.part(parts));
        if (!last.open(QIODevice::ReadOnly))
            return result::ReadError;
        end = findEndRecord(last);
        if (!end)
            return result::BadZipFile;
    }
    auto place = [&](quint32 disk, quint64 offset) -> qint64 {
        return int(disk) < starts.size() ? starts.at(int(disk)) + qint64(offset) - shift : -1;
    };

    OutputFile out;
    if (const int code = out.open(joined); code != result::Success)
        return code;
    qint64 done = 0;
    for (int n = 1; n <= parts; ++n) {
        QFile in(gatherer.part(n));
        if (!in.open(QIODevice::ReadOnly))
            return result::ReadError;
        if (n == 1 && shift)
            in.seek(shift);
        if (const int code = out.append(in, in.size() - in.pos(), callbacks.progress, &done, total);
            code != result::Success)
            return code;
    }

    const qint64 central = place(end->centralDisk, end->centralOffset);
    if (central < 0 || central + qint64(end->centralSize) > out.size())
        return result::BadZipFile;
    std::optional<QList<CentralEntry>> entries =
        parseCentral(out.readAt(central, qint64(end->centralSize)), end->entries);
    if (!entries)
        return result::BadZipFile;
    QByteArray directory;
    for (CentralEntry& entry : *entries) {
        const qint64 local = place(entry.disk, entry.localOffset);
        if (local < 0 || !entry.setLocation(0, quint64(local)))
            return result::BadZipFile;
        directory.append(entry.raw);
    }
    EndRecord joinedEnd = *end;
    joinedEnd.thisDisk = 0;
    joinedEnd.centralDisk = 0;
    joinedEnd.entriesOnDisk = joinedEnd.entries;
    joinedEnd.centralOffset = quint64(central);
    joinedEnd.centralSize = quint64(directory.size());
    directory.append(endRecords(joinedEnd, central + directory.size()));
    if (const int code = out.truncateAndAppend(central, directory); code != result::Success)
        return code;
    return out.commit();
}

} // namespace upkeep::zip
