// Zentrope. Until the main window lands, the program loads each GIF named
// on the command line (or every GIF in the samples folder) through the
// animated-image model and lists its frames and comments.
#include "bindings/CodecBinding.h"
#include "imaging/animated/PVAnimationModel.h"
#include "platform/Module.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

static bool describe(const fs::path& file) {
    PVAnimationModel model;
    try {
        model.LoadFromFile(file.string());
    } catch (const ErrorInvalid& e) {
        std::printf("%s: %s\n", file.c_str(), e.what());
        return false;
    }
    std::printf("%s: screen %u x %u, %zu frame(s), %zu comment block(s)\n", file.c_str(),
                model.ScreenWidth, model.ScreenHeight, model.Frames()->size(),
                model.Comments()->size());
    for (const TMyGifAnimation* f : *model.Frames())
        std::printf("  %-32s at (%d, %d) %d x %d, delay %u, disposal %u%s%s, loops %d\n",
                    f->Name.c_str(), f->Left, f->Top, f->Width, f->Height, f->Delay, f->Disposal,
                    f->HasTransparency ? ", transparent" : "", f->Interlaced ? ", interlaced" : "",
                    f->Loops);
    for (const TStringList* c : *model.Comments())
        for (const std::string& line : *c)
            std::printf("  comment: %s\n", line.c_str());
    if (model.Frames()->empty() && model.CurrentDib()->Dib())
        std::printf("  single image %d x %d, %d bits per pixel\n", model.CurrentDib()->Width(),
                    model.CurrentDib()->Height(), model.CurrentDib()->BitCount());
    return true;
}

int main(int argc, char** argv) {
    DLL96V1::Startup(argv[0]);
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i)
        files.emplace_back(argv[i]);
    if (files.empty()) {
        const fs::path samples = fs::path(ProgramFolder()) / ".." / "samples";
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(samples, ec))
            if (entry.path().extension() == ".gif") files.push_back(entry.path());
        std::sort(files.begin(), files.end());
    }
    bool ok = !files.empty();
    for (const auto& file : files)
        ok = describe(file) && ok;
    return ok ? 0 : 1;
}
