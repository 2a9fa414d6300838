#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

class QIODevice;

namespace upkeep::zip {

// Records of the zip format, read and written byte by byte where libzip does
// not reach: split sets and the repair of damaged archives.

inline constexpr quint32 kLocalSignature = 0x04034b50;
inline constexpr quint32 kCentralSignature = 0x02014b50;
inline constexpr quint32 kEndSignature = 0x06054b50;
inline constexpr quint32 kEnd64Signature = 0x06064b50;
inline constexpr quint32 kEnd64LocatorSignature = 0x07064b50;
/// Opens the first part of a split set; the same value marks a data descriptor.
inline constexpr quint32 kSplitSignature = 0x08074b50;
/// Opens a set that was meant to be split but fitted on one disk.
inline constexpr quint32 kSingleSplitSignature = 0x30304b50;

inline constexpr int kLocalHeaderSize = 30;
inline constexpr int kCentralHeaderSize = 46;
inline constexpr int kEndRecordSize = 22;
inline constexpr int kEnd64LocatorSize = 20;
inline constexpr int kEnd64RecordSize = 56;

quint16 get16(const char* p);
quint32 get32(const char* p);
quint64 get64(const char* p);
void put16(QByteArray& out, quint16 value);
void put32(QByteArray& out, quint32 value);
void put64(QByteArray& out, quint64 value);
void set16(char* p, quint16 value);
void set32(char* p, quint32 value);
void set64(char* p, quint64 value);

/// The end of the central directory, with its zip64 extension folded in.
struct EndRecord {
    qint64 position = 0;       // where the classic record starts in its file
    qint64 zip64Position = -1; // where the zip64 record starts in the same file, if there is one
    quint32 thisDisk = 0;
    quint32 centralDisk = 0;
    quint64 entriesOnDisk = 0;
    quint64 entries = 0;
    quint64 centralSize = 0;
    quint64 centralOffset = 0; // relative to the start of centralDisk
    QByteArray comment;
};

/// Finds the end record near the end of a file (the last part of a set).
std::optional<EndRecord> findEndRecord(QIODevice& file);

/// Writes the end records for a directory; a zip64 record comes first when a value needs it.
QByteArray endRecords(const EndRecord& end, qint64 zip64Position);

/// One central directory record, kept whole so that it can be copied with
/// only its location changed.
struct CentralEntry {
    QByteArray raw;
    quint16 madeBy = 0;
    quint16 flags = 0;
    quint16 method = 0;
    quint32 dosTime = 0; // time in the low half, date in the high half
    quint32 crc = 0;
    quint64 compressedSize = 0;
    quint64 size = 0;
    quint32 disk = 0;
    quint64 localOffset = 0;
    quint32 externalAttributes = 0;
    QByteArray name;

    /// Moves the entry's local header to another disk and offset.
    bool setLocation(quint32 disk, quint64 offset);

private:
    friend std::optional<QList<CentralEntry>> parseCentral(const QByteArray&, quint64);
    int m_offset64 = -1; // positions of zip64 extra fields inside raw
    int m_disk64 = -1;
};

/// Reads `count` records from a central directory.
std::optional<QList<CentralEntry>> parseCentral(const QByteArray& directory, quint64 count);

/// A local file header.
struct LocalHeader {
    quint16 version = 0;
    quint16 flags = 0;
    quint16 method = 0;
    quint32 dosTime = 0;
    quint32 crc = 0;
    quint64 compressedSize = 0;
    quint64 size = 0;
    QByteArray name;
    QByteArray extra;
    qint64 length() const { return kLocalHeaderSize + name.size() + extra.size(); }
    bool hasDescriptor() const { return flags & 0x0008; }
};

/// Reads a local header at the start of `data`; nullopt when there is none.
std::optional<LocalHeader> parseLocal(const QByteArray& data);

/// Bytes of a local header as written.
QByteArray localHeaderBytes(const LocalHeader& header);

/// Bytes of the directory record of an entry whose local header is `header`
/// and lies at `localOffset` of the first disk; without extra field or comment.
QByteArray centralHeaderBytes(const LocalHeader& header, quint16 madeBy, quint32 externalAttributes,
                              quint32 localOffset);

} // namespace upkeep::zip
