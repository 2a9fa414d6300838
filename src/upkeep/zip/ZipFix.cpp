// Fix: rebuilds an archive from the entries that can still be read whole.
// The entries come from the central directory while it is sound, else from
// the local headers one after the other; the aggressive fix also searches
// every byte for a local header, to get past a damaged stretch. An entry is
// kept only when its data decompress to the size and CRC it was stored with.
#include "FileIo.h"
#include "SplitSet.h"
#include "ZipFormat.h"
#include "ZipInternal.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <zlib.h>

namespace upkeep::zip {
namespace {

struct Found {
    qint64 headerAt = 0;
    LocalHeader header;
    qint64 dataAt = 0;
    qint64 dataEnd = 0; // after the data and any data descriptor
    quint64 compressedSize = 0;
    quint64 size = 0;
    quint32 crc = 0;
    bool sizesKnown = false;
    // From the central directory, when it had the entry.
    quint16 madeBy = 20;
    quint32 externalAttributes = 0;
    bool searched = false; // turned up by the search for signatures
    bool checked = false;
    int reason = -1; // why it cannot be kept; -1 when it can
};

struct Verdict {
    bool whole = false;
    int reason = skip::CorruptedData;
    quint64 consumed = 0; // compressed bytes that made up the data
    quint32 crc = 0;
    quint64 size = 0;
};

// Decompresses the data at `at`; with `known` the compressed length is taken
// as stored, else deflated data end where their stream ends.
Verdict readData(QFile& in, qint64 at, quint16 method, quint64 compressedSize, bool known)
{
    Verdict verdict;
    if (method != 0 && method != 8) {
        verdict.reason = skip::UnknownCompression;
        return verdict;
    }
    if (method == 0 && !known)
        return verdict;
    if (!in.seek(at))
        return verdict;
    const qint64 available = in.size() - at;
    if (known && qint64(compressedSize) > available)
        return verdict;

    uLong crc = crc32(0, nullptr, 0);
    quint64 size = 0;
    QByteArray chunk(1 << 18, Qt::Uninitialized);
    QByteArray out(1 << 18, Qt::Uninitialized);
    qint64 left = known ? qint64(compressedSize) : available;
    if (method == 0) {
        while (left > 0) {
            const qint64 n = in.read(chunk.data(), qMin<qint64>(left, chunk.size()));
            if (n <= 0)
                return verdict;
            crc = crc32(crc, reinterpret_cast<const Bytef*>(chunk.constData()), uInt(n));
            size += quint64(n);
            left -= n;
        }
        verdict.whole = true;
        verdict.consumed = compressedSize;
        verdict.crc = quint32(crc);
        verdict.size = size;
        return verdict;
    }

    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return verdict;
    int status = Z_OK;
    while (status != Z_STREAM_END && left > 0) {
        const qint64 n = in.read(chunk.data(), qMin<qint64>(left, chunk.size()));
        if (n <= 0)
            break;
        left -= n;
        stream.next_in = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_in = uInt(n);
        while (stream.avail_in > 0 && status != Z_STREAM_END) {
            stream.next_out = reinterpret_cast<Bytef*>(out.data());
            stream.avail_out = uInt(out.size());
            status = inflate(&stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
                inflateEnd(&stream);
                return verdict;
            }
            const uInt produced = uInt(out.size()) - stream.avail_out;
            crc = crc32(crc, reinterpret_cast<const Bytef*>(out.constData()), produced);
            size += produced;
            if (status == Z_BUF_ERROR && produced == 0)
                break;
        }
    }
    verdict.consumed = stream.total_in;
    inflateEnd(&stream);
    if (status != Z_STREAM_END || (known && verdict.consumed != compressedSize))
        return verdict;
    verdict.whole = true;
    verdict.crc = quint32(crc);
    verdict.size = size;
    return verdict;
}

std::optional<LocalHeader> localAt(QFile& in, qint64 at)
{
    if (!in.seek(at))
        return std::nullopt;
    return parseLocal(in.read(kLocalHeaderSize + 0x20000));
}

int check(QFile& in, Found& found);

// Checks an entry once and settles its sizes and CRC; the reason it fails otherwise.
int settle(QFile& in, Found& found)
{
    if (!found.checked) {
        found.reason = check(in, found);
        found.checked = true;
    }
    return found.reason;
}

int check(QFile& in, Found& found)
{
    const LocalHeader& h = found.header;
    if (h.flags & 0x0001) {
        // Encrypted data cannot be checked without the password: kept as
        // stored when its extent is known.
        if (!found.sizesKnown || found.dataAt + qint64(found.compressedSize) > in.size())
            return skip::Encrypted;
        found.dataEnd = qMax(found.dataEnd, found.dataAt + qint64(found.compressedSize));
        return -1;
    }
    const Verdict verdict = readData(in, found.dataAt, h.method, found.compressedSize, found.sizesKnown);
    if (!verdict.whole)
        return verdict.reason;
    if (!found.sizesKnown) {
        // The sizes and CRC follow the data in a descriptor.
        found.compressedSize = verdict.consumed;
        qint64 at = found.dataAt + qint64(verdict.consumed);
        in.seek(at);
        const QByteArray descriptor = in.read(24);
        qsizetype skipSignature = descriptor.size() >= 4 && get32(descriptor.constData()) == kSplitSignature ? 4 : 0;
        if (descriptor.size() >= skipSignature + 12) {
            found.crc = get32(descriptor.constData() + skipSignature);
            at += skipSignature + 12;
        } else {
            found.crc = verdict.crc;
        }
        found.size = verdict.size;
        found.dataEnd = at;
    } else {
        found.dataEnd = qMax(found.dataEnd, found.dataAt + qint64(found.compressedSize));
    }
    if (verdict.crc != found.crc || verdict.size != found.size)
        return skip::BadCrc;
    return -1;
}

Found fromLocal(qint64 at, const LocalHeader& header)
{
    Found found;
    found.headerAt = at;
    found.header = header;
    found.dataAt = at + header.length();
    found.dataEnd = found.dataAt;
    found.sizesKnown = !header.hasDescriptor() || header.compressedSize != 0;
    found.compressedSize = header.compressedSize;
    found.size = header.size;
    found.crc = header.crc;
    return found;
}

} // namespace

int ZipMain::Fix(bool aggressive)
{
    Operation operation(*this);
    if (operation.refused())
        return kAnotherOperation;
    if (m_archivePath.isEmpty())
        return result::InvalidSettings;
    const SetInfo set = inspectSet(m_archivePath);
    if (set.kind == SetKind::Missing)
        return result::FileNotFound;
    if (set.kind != SetKind::Single)
        return m_multidisk ? result::NotForMultidisk : result::MultidiskNotAllowed;
    QFile in(m_archivePath);
    if (!in.open(QIODevice::ReadOnly))
        return result::ReadWriteError;
    const qint64 fileSize = in.size();

    QMap<qint64, Found> candidates; // by header position
    QStringList lost;

    // The central directory, while it holds together.
    bool directoryRead = false;
    if (const std::optional<EndRecord> end = findEndRecord(in);
        end && qint64(end->centralOffset + end->centralSize) <= end->position && in.seek(qint64(end->centralOffset))) {
        if (const auto entries = parseCentral(in.read(qint64(end->centralSize)), end->entries)) {
            directoryRead = true;
            for (const CentralEntry& entry : *entries) {
                const std::optional<LocalHeader> header = localAt(in, qint64(entry.localOffset));
                if (!header) {
                    lost.append(shownName(entry.name.constData()));
                    continue;
                }
                Found found = fromLocal(qint64(entry.localOffset), *header);
                found.header.name = entry.name;
                found.sizesKnown = true;
                found.compressedSize = entry.compressedSize;
                found.size = entry.size;
                found.crc = entry.crc;
                found.madeBy = entry.madeBy;
                found.externalAttributes = entry.externalAttributes;
                candidates.insert(found.headerAt, found);
            }
        }
    }

    // The local headers one after the other.
    if (!directoryRead) {
        qint64 at = 0;
        if (in.seek(0)) {
            const QByteArray head = in.read(4);
            if (head.size() == 4 &&
                (get32(head.constData()) == kSplitSignature || get32(head.constData()) == kSingleSplitSignature))
                at = 4;
        }
        while (at < fileSize) {
            const std::optional<LocalHeader> header = localAt(in, at);
            if (!header)
                break;
            Found found = fromLocal(at, *header);
            if (settle(in, found) >= 0 && !found.sizesKnown)
                break;
            candidates.insert(at, found);
            at = found.dataEnd > found.dataAt ? found.dataEnd : found.dataAt + qint64(found.compressedSize);
            if (!tick(at, fileSize))
                return result::Aborted;
        }
    }

    // Every local header signature anywhere in the file.
    if (aggressive) {
        const QByteArray signature("PK\x03\x04", 4);
        qint64 base = 0;
        while (base < fileSize) {
            in.seek(base);
            const QByteArray block = in.read(1 << 20);
            if (block.isEmpty())
                break;
            for (qsizetype i = block.indexOf(signature); i >= 0; i = block.indexOf(signature, i + 1)) {
                const qint64 at = base + i;
                if (candidates.contains(at))
                    continue;
                if (const std::optional<LocalHeader> header = localAt(in, at)) {
                    Found found = fromLocal(at, *header);
                    found.searched = true;
                    candidates.insert(at, found);
                }
            }
            if (block.size() < (1 << 20))
                break;
            base += block.size() - 3;
            if (!tick(base, fileSize))
                return result::Aborted;
        }
    }

    // Keep what reads back whole; a header found inside data kept already is part of that data.
    QList<Found> kept;
    qint64 coveredTo = 0;
    int losses = 0;
    for (auto it = candidates.begin(); it != candidates.end(); ++it) {
        Found& found = it.value();
        if (found.headerAt < coveredTo)
            continue;
        const QString shown = shownName(found.header.name.constData());
        const int reason = settle(in, found);
        if (reason >= 0) {
            // A signature the search turned up in the middle of damaged data is no entry.
            if (!found.searched) {
                emit SkippingFile(shown, reason);
                ++losses;
            }
            lost.removeAll(shown);
            continue;
        }
        lost.removeAll(shown);
        kept.append(found);
        coveredTo = found.dataEnd;
        if (!tick(found.dataEnd, fileSize))
            return result::Aborted;
    }
    for (const QString& name : std::as_const(lost)) {
        emit SkippingFile(name, skip::CorruptedData);
        ++losses;
    }
    if (kept.isEmpty())
        return result::BadZipFile;

    // The rebuilt archive is written beside the old one and renamed over it.
    const QString partial = m_archivePath + QStringLiteral(".fixing");
    OutputFile out;
    if (const int code = out.open(partial); code != result::Success)
        return code;
    QByteArray directory;
    qint64 position = 0;
    quint64 written = 0;
    for (const Found& found : std::as_const(kept)) {
        if (found.compressedSize >= 0xffffffffu || found.size >= 0xffffffffu || position >= 0xffffffff) {
            emit SkippingFile(shownName(found.header.name.constData()), skip::CannotOpen);
            ++losses;
            continue;
        }
        emit Fixing(shownName(found.header.name.constData()));
        LocalHeader header = found.header;
        header.version = qMax<quint16>(header.version, 20);
        header.flags = quint16(header.flags & ~0x0008);
        header.crc = found.crc;
        header.compressedSize = found.compressedSize;
        header.size = found.size;
        header.extra.clear();
        const QByteArray local = localHeaderBytes(header);
        if (const int code = out.write(local.constData(), local.size()); code != result::Success)
            return code;
        in.seek(found.dataAt);
        qint64 copied = 0;
        if (const int code = out.append(in, qint64(found.compressedSize), {}, &copied, 0); code != result::Success)
            return code;

        directory.append(centralHeaderBytes(header, found.madeBy, found.externalAttributes, quint32(position)));
        ++written;
        position += local.size() + qint64(found.compressedSize);
    }
    EndRecord end;
    end.entries = end.entriesOnDisk = written;
    end.centralOffset = quint64(position);
    end.centralSize = quint64(directory.size());
    directory.append(endRecords(end, position + directory.size()));
    if (const int code = out.write(directory.constData(), directory.size()); code != result::Success)
        return code;
    if (const int code = out.commit(); code != result::Success) {
        QFile::remove(partial);
        return code;
    }
    in.close();
    if (!replaceFile(partial, m_archivePath)) {
        QFile::remove(partial);
        return result::WriteError;
    }
    return losses > 0 ? result::FilesSkipped : result::Success;
}

} // namespace upkeep::zip
