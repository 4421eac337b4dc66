#include "imaging/common/ResourceBundle.h"

#include <QFile>
#include <QFileInfo>
#include <QResource>
#include <cstring>
#include <vector>

namespace {
constexpr quint16 kDirectory = 0x02; // node flags; compressed nodes are refused
}

TResourceBundle::Result TResourceBundle::Use(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        Release();
        return Missing;
    }
    if (FRegistered && path == FPath && info.size() == FSize && info.lastModified() == FModified)
        return Unchanged;
    Release();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Missing;
    if (file.size() > kMaxBytes) return Damaged;
    FData = file.readAll();
    if (!Valid(FData) ||
        !QResource::registerResource(reinterpret_cast<const uchar*>(FData.constData()), FRoot)) {
        FData.clear();
        return Damaged;
    }
    FRegistered = true;
    FPath = path;
    FSize = info.size();
    FModified = info.lastModified();
    return Changed;
}

void TResourceBundle::Release() {
    if (FRegistered)
        QResource::unregisterResource(reinterpret_cast<const uchar*>(FData.constData()), FRoot);
    FRegistered = false;
    FData.clear();
    FPath.clear();
}

bool TResourceBundle::Valid(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    auto inside = [size](qint64 at, qint64 length) {
        return at >= 0 && length >= 0 && at <= size && length <= size - at;
    };
    auto be32 = [p](qint64 at) {
        return qint64(quint32(p[at]) << 24 | quint32(p[at + 1]) << 16 | quint32(p[at + 2]) << 8 |
                      quint32(p[at + 3]));
    };
    auto be16 = [p](qint64 at) { return quint16(p[at] << 8 | p[at + 1]); };
    if (size < 24 || std::memcmp(p, "qres", 4) != 0) return false;
    const qint64 version = be32(4), tree = be32(8), data = be32(12), names = be32(16);
    if (version < 1 || version > 3 || !inside(tree, 1) || !inside(data, 1) || !inside(names, 1))
        return false;
    if (version >= 3 && be32(20) != 0) // feature flags: only uncompressed bundles
        return false;
    const qint64 nodeSize = version >= 2 ? 22 : 14;
    const qint64 nodes = (size - tree) / nodeSize;
    std::vector<bool> seen(size_t(nodes), false);
    std::vector<qint64> pending{0};
    while (!pending.empty()) {
        const qint64 node = pending.back();
        pending.pop_back();
        if (node < 0 || node >= nodes) return false;
        if (seen[size_t(node)]) continue;
        seen[size_t(node)] = true;
        const qint64 at = tree + node * nodeSize;
        const quint16 flags = be16(at + 4);
        if (node != 0) { // the root has no name of its own
            const qint64 name = names + be32(at);
            if (!inside(name, 6) || !inside(name + 6, qint64(be16(name)) * 2)) return false;
        }
        if (flags == kDirectory) {
            const qint64 count = be32(at + 6), first = be32(at + 10);
            if (count > nodes || first > nodes - count) return false;
            for (qint64 child = first; child < first + count; ++child)
                pending.push_back(child);
        } else if (flags == 0) {
            const qint64 block = data + be32(at + 10);
            if (!inside(block, 4) || !inside(block + 4, be32(block))) return false;
        } else {
            return false;
        }
    }
    return true;
}
