// The folder a power cut leaves, built again from a record of CrashVfs.
#include "CrashVfs.h"

#include <QDir>
#include <QFile>
#include <QMutexLocker>

#include <algorithm>
#include <cstring>
#include <random>

namespace testing {
namespace {

constexpr long long kSector = 512;

using Random = std::mt19937;
using Operation = CrashVfs::Operation;

// One file as the disk holds it: for good, as the program sees it, and what
// lies between.
struct Node {
    QByteArray durable;
    QByteArray current;
    std::vector<const Operation*> pending;
};

// The folder's names: for good, as the program sees them, and the changes between.
struct Names {
    QMap<QString, int> durable;
    QMap<QString, int> current;
    std::vector<const Operation*> unsynced;
};

void put(QByteArray& bytes, long long offset, const char* data, long long size)
{
    const long long old = bytes.size();
    if (old < offset + size) {
        bytes.resize(offset + size);
        std::memset(bytes.data() + old, 0, size_t(offset + size - old));
    }
    std::memcpy(bytes.data() + offset, data, size_t(size));
}

void resize(QByteArray& bytes, long long size)
{
    const long long old = bytes.size();
    bytes.resize(size);
    if (size > old)
        std::memset(bytes.data() + old, 0, size_t(size - old));
}

// A write not yet synced, as a power cut leaves it: each sector it touches
// is left as it was, written, or (when garbled) garbage.
void tear(QByteArray& bytes, const Operation& write, bool garble, Random& random)
{
    const long long end = write.offset + write.data.size();
    for (long long at = write.offset; at < end;) {
        const long long next = std::min(end, (at / kSector + 1) * kSector);
        switch (random() % (garble ? 3 : 2)) {
        case 0:
            break;
        case 1:
            put(bytes, at, write.data.constData() + (at - write.offset), next - at);
            break;
        default: {
            QByteArray junk(qsizetype(next - at), Qt::Uninitialized);
            for (char& c : junk)
                c = char(random() & 0xff);
            put(bytes, at, junk.constData(), junk.size());
        }
        }
        at = next;
    }
}

QByteArray afterCut(const Node& node, bool garble, Random& random)
{
    QByteArray bytes = node.durable;
    for (const Operation* op : node.pending) {
        if (op->kind == Operation::Write)
            tear(bytes, *op, garble, random);
        else if (random() % 2)
            resize(bytes, op->offset);
    }
    return bytes;
}

// A change of the folder's names; a deletion or a rename only takes away a
// name that still belongs to its file.
void applyName(QMap<QString, int>& names, const Operation& op)
{
    switch (op.kind) {
    case Operation::Create:
    case Operation::Link:
        names.insert(op.name, op.node);
        break;
    case Operation::Delete:
        if (names.value(op.name, -1) == op.node)
            names.remove(op.name);
        break;
    case Operation::Rename:
        if (names.value(op.name, -1) == op.node)
            names.remove(op.name);
        names.insert(op.target, op.node);
        break;
    default:
        break;
    }
}

void apply(const Operation& op, QHash<int, Node>& nodes, Names& names)
{
    switch (op.kind) {
    case Operation::Write:
        put(nodes[op.node].current, op.offset, op.data.constData(), op.data.size());
        nodes[op.node].pending.push_back(&op);
        break;
    case Operation::Truncate:
        resize(nodes[op.node].current, op.offset);
        nodes[op.node].pending.push_back(&op);
        break;
    case Operation::Sync:
        nodes[op.node].durable = nodes[op.node].current;
        nodes[op.node].pending.clear();
        break;
    case Operation::Create:
        nodes.insert(op.node, Node{});
        [[fallthrough]];
    case Operation::Link:
    case Operation::Delete:
    case Operation::Rename:
        applyName(names.current, op);
        names.unsynced.push_back(&op);
        break;
    case Operation::FolderSync:
        names.durable = names.current;
        names.unsynced.clear();
        break;
    }
}

// Which of `count` unsynced folder changes a cut keeps, one bit each.
quint64 keptChanges(CrashVfs::FolderCut folder, size_t count, Random& random)
{
    quint64 kept = 0;
    if (folder == CrashVfs::FolderCut::InOrder) {
        const size_t first = random() % (count + 1);
        for (size_t i = 0; i < first && i < 64; ++i)
            kept |= quint64(1) << i;
    } else if (folder == CrashVfs::FolderCut::AnyOrder) {
        for (size_t i = 0; i < count && i < 64; ++i)
            kept |= quint64(random() % 2) << i;
    }
    return kept;
}

} // namespace

QMap<QString, QByteArray> CrashVfs::replay(int position, unsigned seed, FolderCut folder, quint64 kept,
                                           bool garble) const
{
    QMutexLocker lock(&m_lock);
    Random random(seed);
    QHash<int, Node> nodes;
    for (auto it = m_baselineNodes.cbegin(); it != m_baselineNodes.cend(); ++it)
        nodes.insert(it.value(), Node{m_baseline.value(it.key()), m_baseline.value(it.key()), {}});
    Names names{m_baselineNodes, m_baselineNodes, {}};
    const size_t end = std::min(size_t(std::max(position, 0)), m_operations.size());
    for (size_t i = 0; i < end; ++i)
        apply(m_operations[i], nodes, names);
    if (folder != FolderCut::Undone)
        kept = keptChanges(folder, names.unsynced.size(), random);
    // In their order, as the file system would have made them.
    for (size_t i = 0; i < names.unsynced.size() && i < 64; ++i)
        if (kept & (quint64(1) << i))
            applyName(names.durable, *names.unsynced[i]);
    // A file under two names is one file: it is cut once.
    QHash<int, QByteArray> cut;
    QMap<QString, QByteArray> files;
    for (auto it = names.durable.cbegin(); it != names.durable.cend(); ++it) {
        if (!cut.contains(it.value()))
            cut.insert(it.value(), afterCut(nodes[it.value()], garble, random));
        files.insert(it.key(), cut.value(it.value()));
    }
    return files;
}

QMap<QString, QByteArray> CrashVfs::crashState(int position, unsigned seed, FolderCut folder, bool garble) const
{
    return replay(position, seed, folder, 0, garble);
}

QMap<QString, QByteArray> CrashVfs::crashStateKeeping(int position, unsigned seed, quint64 kept, bool garble) const
{
    return replay(position, seed, FolderCut::Undone, kept, garble);
}

int CrashVfs::unsyncedFolderChanges(int position) const
{
    QMutexLocker lock(&m_lock);
    int count = 0;
    const size_t end = std::min(size_t(std::max(position, 0)), m_operations.size());
    for (size_t i = 0; i < end; ++i) {
        switch (m_operations[i].kind) {
        case Operation::Create:
        case Operation::Link:
        case Operation::Delete:
        case Operation::Rename:
            ++count;
            break;
        case Operation::FolderSync:
            count = 0;
            break;
        default:
            break;
        }
    }
    return count;
}

bool CrashVfs::write(const QMap<QString, QByteArray>& files, const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(QDir(folder).filePath(it.key()));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}

} // namespace testing
