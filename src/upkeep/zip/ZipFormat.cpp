#include "ZipFormat.h"

#include <QIODevice>

namespace upkeep::zip {

quint16 get16(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint16(u[0] | (u[1] << 8));
}

quint32 get32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint32(u[0]) | (quint32(u[1]) << 8) | (quint32(u[2]) << 16) | (quint32(u[3]) << 24);
}

quint64 get64(const char* p)
{
    return quint64(get32(p)) | (quint64(get32(p + 4)) << 32);
}

void set16(char* p, quint16 value)
{
    p[0] = char(value & 0xff);
    p[1] = char(value >> 8);
}

void set32(char* p, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((value >> (8 * i)) & 0xff);
}

void set64(char* p, quint64 value)
{
    set32(p, quint32(value & 0xffffffffu));
    set32(p + 4, quint32(value >> 32));
}

void put16(QByteArray& out, quint16 value)
{
    char b[2];
    set16(b, value);
    out.append(b, 2);
}

void put32(QByteArray& out, quint32 value)
{
    char b[4];
    set32(b, value);
    out.append(b, 4);
}

void put64(QByteArray& out, quint64 value)
{
    char b[8];
    set64(b, value);
    out.append(b, 8);
}

std::optional<EndRecord> findEndRecord(QIODevice& file)
{
    // The record is 22 bytes plus a comment of at most 65535 bytes.
    const qint64 size = file.size();
    const qint64 tailStart = qMax<qint64>(0, size - (kEndRecordSize + 0xffff + kEnd64LocatorSize));
    if (!file.seek(tailStart))
        return std::nullopt;
    const QByteArray tail = file.read(size - tailStart);
    if (tail.size() != size - tailStart)
        return std::nullopt;
    for (qsizetype at = tail.size() - kEndRecordSize; at >= 0; --at) {
        const char* p = tail.constData() + at;
        if (get32(p) != kEndSignature)
            continue;
        const quint16 commentLength = get16(p + 20);
        // The comment must reach exactly to the end of the file; allow a few
        // stray bytes after it, as some writers leave padding.
        if (at + kEndRecordSize + commentLength > tail.size())
            continue;
        EndRecord end;
        end.position = tailStart + at;
        end.thisDisk = get16(p + 4);
        end.centralDisk = get16(p + 6);
        end.entriesOnDisk = get16(p + 8);
        end.entries = get16(p + 10);
        end.centralSize = get32(p + 12);
        end.centralOffset = get32(p + 16);
        end.comment = tail.mid(at + kEndRecordSize, commentLength);

        // A zip64 locator right before the record points at the zip64 record.
        if (at >= kEnd64LocatorSize && get32(p - kEnd64LocatorSize) == kEnd64LocatorSignature) {
            const char* locator = p - kEnd64LocatorSize;
            const quint64 recordOffset = get64(locator + 8);
            // The zip64 record sits just before the locator in the same file;
            // its offset is relative to its disk, so look for it there.
            const qint64 guess = end.position - kEnd64LocatorSize - kEnd64RecordSize;
            qint64 found = -1;
            for (qint64 candidate : {guess, qint64(recordOffset)}) {
                if (candidate < 0 || !file.seek(candidate))
                    continue;
                const QByteArray record = file.read(kEnd64RecordSize);
                if (record.size() == kEnd64RecordSize && get32(record.constData()) == kEnd64Signature) {
                    found = candidate;
                    const char* r = record.constData();
                    end.thisDisk = get32(r + 16);
                    end.centralDisk = get32(r + 20);
                    end.entriesOnDisk = get64(r + 24);
                    end.entries = get64(r + 32);
                    end.centralSize = get64(r + 40);
                    end.centralOffset = get64(r + 48);
                    break;
                }
            }
            end.zip64Position = found;
        }
        return end;
    }
    return std::nullopt;
}

QByteArray endRecords(const EndRecord& end, qint64 zip64Position)
{
    QByteArray out;
    const bool zip64 = end.entries >= 0xffff || end.entriesOnDisk >= 0xffff || end.centralSize >= 0xffffffffu ||
                       end.centralOffset >= 0xffffffffu || end.thisDisk >= 0xffff || end.centralDisk >= 0xffff;
    if (zip64) {
        put32(out, kEnd64Signature);
        put64(out, kEnd64RecordSize - 12);
        put16(out, 45);
        put16(out, 45);
        put32(out, end.thisDisk);
        put32(out, end.centralDisk);
        put64(out, end.entriesOnDisk);
        put64(out, end.entries);
        put64(out, end.centralSize);
        put64(out, end.centralOffset);
        put32(out, kEnd64LocatorSignature);
        put32(out, end.thisDisk);
        put64(out, quint64(zip64Position));
        put32(out, end.thisDisk + 1);
    }
    auto clip16 = [](quint64 v) { return quint16(qMin<quint64>(v, 0xffff)); };
    auto clip32 = [](quint64 v) { return quint32(qMin<quint64>(v, 0xffffffffu)); };
    put32(out, kEndSignature);
    put16(out, clip16(end.thisDisk));
    put16(out, clip16(end.centralDisk));
    put16(out, clip16(end.entriesOnDisk));
    put16(out, clip16(end.entries));
    put32(out, clip32(end.centralSize));
    put32(out, clip32(end.centralOffset));
    put16(out, quint16(end.comment.size()));
    out.append(end.comment);
    return out;
}

bool CentralEntry::setLocation(quint32 newDisk, quint64 offset)
{
    char* p = raw.data();
    if (m_offset64 >= 0)
        set64(p + m_offset64, offset);
    else if (offset < 0xffffffffu)
        set32(p + 42, quint32(offset));
    else
        return false;
    if (m_disk64 >= 0)
        set32(p + m_disk64, newDisk);
    else if (newDisk < 0xffff)
        set16(p + 34, quint16(newDisk));
    else
        return false;
    disk = newDisk;
    localOffset = offset;
    return true;
}

std::optional<QList<CentralEntry>> parseCentral(const QByteArray& directory, quint64 count)
{
    QList<CentralEntry> entries;
    qsizetype at = 0;
    for (quint64 i = 0; i < count; ++i) {
        if (at + kCentralHeaderSize > directory.size())
            return std::nullopt;
        const char* p = directory.constData() + at;
        if (get32(p) != kCentralSignature)
            return std::nullopt;
        const int nameLength = get16(p + 28);
        const int extraLength = get16(p + 30);
        const int commentLength = get16(p + 32);
        const qsizetype length = kCentralHeaderSize + nameLength + extraLength + commentLength;
        if (at + length > directory.size())
            return std::nullopt;
        CentralEntry entry;
        entry.raw = directory.mid(at, length);
        entry.madeBy = get16(p + 4);
        entry.flags = get16(p + 8);
        entry.method = get16(p + 10);
        entry.dosTime = get32(p + 12);
        entry.crc = get32(p + 16);
        entry.compressedSize = get32(p + 20);
        entry.size = get32(p + 24);
        entry.disk = get16(p + 34);
        entry.externalAttributes = get32(p + 38);
        entry.localOffset = get32(p + 42);
        entry.name = entry.raw.mid(kCentralHeaderSize, nameLength);

        // The zip64 extra field holds, in this order, each value whose classic field is full.
        int extraAt = kCentralHeaderSize + nameLength;
        const int extraEnd = extraAt + extraLength;
        while (extraAt + 4 <= extraEnd) {
            const quint16 id = get16(entry.raw.constData() + extraAt);
            const quint16 size = get16(entry.raw.constData() + extraAt + 2);
            if (extraAt + 4 + size > extraEnd)
                break;
            if (id == 0x0001) {
                int field = extraAt + 4;
                const int fieldEnd = field + size;
                auto take64 = [&](quint64& value) {
                    if (field + 8 > fieldEnd)
                        return -1;
                    value = get64(entry.raw.constData() + field);
                    field += 8;
                    return field - 8;
                };
                if (entry.size == 0xffffffffu)
                    take64(entry.size);
                if (entry.compressedSize == 0xffffffffu)
                    take64(entry.compressedSize);
                if (entry.localOffset == 0xffffffffu)
                    entry.m_offset64 = take64(entry.localOffset);
                if (entry.disk == 0xffff && field + 4 <= fieldEnd) {
                    entry.disk = get32(entry.raw.constData() + field);
                    entry.m_disk64 = field;
                }
            }
            extraAt += 4 + size;
        }
        entries.append(entry);
        at += length;
    }
    return entries;
}

std::optional<LocalHeader> parseLocal(const QByteArray& data)
{
    if (data.size() < kLocalHeaderSize || get32(data.constData()) != kLocalSignature)
        return std::nullopt;
    const char* p = data.constData();
    LocalHeader header;
    header.version = get16(p + 4);
    header.flags = get16(p + 6);
    header.method = get16(p + 8);
    header.dosTime = get32(p + 10);
    header.crc = get32(p + 14);
    header.compressedSize = get32(p + 18);
    header.size = get32(p + 22);
    const int nameLength = get16(p + 26);
    const int extraLength = get16(p + 28);
    if (data.size() < kLocalHeaderSize + nameLength + extraLength)
        return std::nullopt;
    header.name = data.mid(kLocalHeaderSize, nameLength);
    header.extra = data.mid(kLocalHeaderSize + nameLength, extraLength);
    // Sizes too large for the classic fields are in the zip64 extra field.
    qsizetype at = 0;
    while (at + 4 <= header.extra.size()) {
        const quint16 id = get16(header.extra.constData() + at);
        const quint16 size = get16(header.extra.constData() + at + 2);
        if (id == 0x0001 && size >= 16 && at + 4 + size <= header.extra.size()) {
            if (header.size == 0xffffffffu)
                header.size = get64(header.extra.constData() + at + 4);
            if (header.compressedSize == 0xffffffffu)
                header.compressedSize = get64(header.extra.constData() + at + 12);
        }
        at += 4 + size;
    }
    return header;
}

// The fields a local header and its directory record share, from the version needed on.
static void putEntryFields(QByteArray& out, const LocalHeader& header)
{
    put16(out, header.version);
    put16(out, header.flags);
    put16(out, header.method);
    put32(out, header.dosTime);
    put32(out, header.crc);
    put32(out, quint32(header.compressedSize));
    put32(out, quint32(header.size));
    put16(out, quint16(header.name.size()));
}

QByteArray localHeaderBytes(const LocalHeader& header)
{
    QByteArray out;
    put32(out, kLocalSignature);
    putEntryFields(out, header);
    put16(out, quint16(header.extra.size()));
    out.append(header.name);
    out.append(header.extra);
    return out;
}

QByteArray centralHeaderBytes(const LocalHeader& header, quint16 madeBy, quint32 externalAttributes,
                              quint32 localOffset)
{
    QByteArray out;
    put32(out, kCentralSignature);
    put16(out, madeBy);
    putEntryFields(out, header);
    put16(out, 0); // extra field
    put16(out, 0); // comment
    put16(out, 0); // disk
    put16(out, 0); // internal attributes
    put32(out, externalAttributes);
    put32(out, localOffset);
    out.append(header.name);
    return out;
}

} // namespace upkeep::zip
