#include "cli/FramesCommand.h"
#include "cli/LoadedAnimation.h"

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace {

// Qt's PNG "quality" 70 is zlib level 2: on animation frames within a few
// per cent of the default level's size, at two to five times its speed.
constexpr int kPngQuality = 70;

std::string frameName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", index);
    return name;
}

// The canvas as it stands, as an RGBA PNG, written under a temporary name
// and renamed once complete, so no PNG is ever seen half written. (Not
// QSaveFile: its sync to disk per file would dominate the run.)
bool writePng(const PVWebImg::PVCompositor& canvas, const fs::path& path) {
    // The canvas words are QImage's ARGB32 order already; no copy is made.
    const QImage image(reinterpret_cast<const uchar*>(canvas.Pixels()), canvas.Width(),
                       canvas.Height(), qsizetype(canvas.Width()) * 4, QImage::Format_ARGB32);
    fs::path part = path;
    part += ".part";
    std::error_code ec;
    if (!image.isNull() && image.save(QString::fromStdString(part.string()), "PNG", kPngQuality)) {
        fs::rename(part, path, ec);
        if (!ec) return true;
    }
    fs::remove(part, ec);
    return false;
}

} // namespace

int RunFrames(const std::string& file, const std::string& dir) {
    // Loaded in full before anything is written: a damaged file leaves DIR
    // as it was.
    LoadedAnimation animation;
    if (!animation.Load(file)) {
        std::cerr << "zentrope-gif: " << file << ": " << animation.ErrorText() << '\n';
        return 1;
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir, ec)) {
        std::cerr << "zentrope-gif: " << dir << ": cannot create the folder\n";
        return 1;
    }
    PVWebImg::PVCompositor canvas;
    const int count = animation.FrameCount();
    for (int i = 0; i < count; ++i) {
        if (!animation.Compose(i, canvas)) {
            // An empty canvas means the screen itself was refused.
            std::cerr << "zentrope-gif: " << file << ": frame " << i << " cannot be composed"
                      << (canvas.Width() == 0 ? " (the logical screen needs more than 1 GiB)"
                                              : " (its picture cannot be read)")
                      << "; frames before it were written\n";
            return 1;
        }
        const fs::path path = fs::path(dir) / frameName(i);
        if (!writePng(canvas, path)) {
            std::cerr << "zentrope-gif: " << path.string() << ": cannot be written\n";
            return 1;
        }
    }
    std::cout << count << (count == 1 ? " frame" : " frames") << " of " << canvas.Width() << " x "
              << canvas.Height() << " written to " << dir << '\n';
    return 0;
}
