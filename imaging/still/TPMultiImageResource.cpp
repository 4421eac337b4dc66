// ".RES" images of the still-image component: bitmap resources of the
// program (":/bitmaps/NAME.bmp") or of a Qt binary resource file.
#include "imaging/common/TextCase.h"
#include "imaging/still/TPMultiImage.h"

#include "bindings/CodecBinding.h"
#include "imaging/common/ResourceBundle.h"
#include "platform/GlobalBlock.h"

#include <QFile>
#include <QResource>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kMaxResourceName = 64;

// The resource name of a ".RES" file name: the part after the last path
// delimiter, cut at its first "." and at 64 characters; a whole number is an
// integer identifier (written in plain decimal), anything else upper-cased.
QString ResourceName(const std::string& fileName) {
    const size_t slash = fileName.find_last_of("/\\");
    std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    name = name.substr(0, name.find('.')).substr(0, kMaxResourceName);
    const bool number = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
    if (number) {
        const size_t first = name.find_first_not_of('0');
        name = first == std::string::npos ? "0" : name.substr(first);
    } else {
        name = Upper(name);
    }
    return QString::fromStdString(name);
}

// Resource files registered so far, each once (checked first: a damaged
// file must not reach Qt's unchecked reader), under a root of its own.
QString ModuleRoot(const std::string& module) {
    static std::map<std::string, std::unique_ptr<TResourceBundle>> bundles;
    auto& bundle = bundles[module];
    if (!bundle)
        bundle = std::make_unique<TResourceBundle>(
            QStringLiteral("/zentrope-module-%1").arg(bundles.size()));
    const auto result = bundle->Use(QString::fromStdString(module));
    const bool ok = result == TResourceBundle::Changed || result == TResourceBundle::Unchanged;
    return ok ? bundle->Root() : QString();
}

QByteArray ReadResource(const std::string& module, const QString& name) {
    QStringList candidates;
    if (module.empty()) {
        candidates << QStringLiteral(":/bitmaps/") + name + QStringLiteral(".bmp");
    } else {
        const QString root = ModuleRoot(module);
        if (root.isEmpty()) return {};
        candidates << QStringLiteral(":") + root + QStringLiteral("/bitmaps/") + name +
                          QStringLiteral(".bmp")
                   << QStringLiteral(":") + root + QStringLiteral("/") + name +
                          QStringLiteral(".bmp");
    }
    for (const QString& path : candidates) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) return file.readAll();
    }
    return {};
}

// A palette of the DIB's colour table; 0 for a DIB without one.
HPALETTE PaletteOfColourTable(const QByteArray& packed) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, packed.constData(), sizeof header);
    if (header.biBitCount > 8) return 0;
    const uint32_t count = header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount;
    std::vector<uint8_t> record(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(record.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = uint16_t(count);
    const auto* table = reinterpret_cast<const uint8_t*>(packed.constData()) + sizeof header;
    for (uint32_t i = 0; i < count; ++i) {
        RGBQUAD quad;
        std::memcpy(&quad, table + i * sizeof quad, sizeof quad);
        PALETTEENTRY entry{quad.rgbRed, quad.rgbGreen, quad.rgbBlue, 0};
        std::memcpy(reinterpret_cast<uint8_t*>(palette->palPalEntry) + i * sizeof entry, &entry,
                    sizeof entry);
    }
    return CreatePalette(palette);
}

} // namespace

void TPMultiImage::LoadResourceBitmap(const std::string& fileName, zp::TBitmap& bitmap) {
    const QByteArray file = ReadResource(ResourceModule, ResourceName(fileName));
    if (size_t(file.size()) <= kFileHeaderSize || !file.startsWith("BM")) return;
    // The packed DIB is the file without its file header.
    const QByteArray packed = file.mid(qsizetype(kFileHeaderSize));
    const uint64_t size = PackedDibSize(packed);
    if (!size) return;
    zp::GlobalBlock block = zp::GlobalBlock::allocate(size);
    zp::GlobalLockGuard lock(block.get());
    if (!lock) return;
    std::memcpy(lock.data(), packed.constData(), size);
    HBITMAP handle = 0;
    HPALETTE codecPalette = 0;
    if (!DLL96V1::DibtoDdb(lock.data(), handle, codecPalette)) return;
    bitmap.setHandle(handle);
    // The palette is the resource's own colour table, entry for entry.
    const HPALETTE own = PaletteOfColourTable(packed);
    if (own) {
        DeleteObject(codecPalette);
        bitmap.setPalette(own);
    } else {
        bitmap.setPalette(codecPalette);
    }
}
