#include "cli/OptimizeCommand.h"
#include "cli/LoadedAnimation.h"

#include "bindings/ErrorInvalid.h"

#include <QFile>
#include <QSaveFile>
#include <filesystem>
#include <iostream>

namespace {

// Copies in's bytes over out through a temporary file renamed once complete.
bool keepInput(const std::string& in, const std::string& out) {
    QFile source(QString::fromStdString(in));
    if (!source.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = source.readAll();
    QSaveFile target(QString::fromStdString(out));
    if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size()) return false;
    return target.commit();
}

} // namespace

int RunOptimize(const std::string& in, const std::string& out, int level, int lossy) {
    LoadedAnimation animation;
    if (!animation.Load(in)) {
        std::cerr << "zentrope-gif: " << in << ": " << animation.ErrorText() << '\n';
        return 1;
    }
    PVAnimationModel& model = animation.Model();
    // A still GIF loads as a lone picture; as a frame it can be written.
    model.FrameFromSingleImage();
    const size_t framesIn = model.Frames()->size();
    model.OptimizeLevel = level;
    model.LossyDistance = lossy;
    std::string failure;
    model.OnPvlibError = [&failure](PVAnimationModel*, int16_t, const std::string& text,
                                    const char*) {
        failure = text.empty() ? "The codec failed without saying why." : text;
    };
    try {
        model.SaveToFile(out);
    } catch (const ErrorInvalid& e) {
        failure = e.what();
    }
    if (!failure.empty()) {
        std::cerr << "zentrope-gif: " << out << ": " << failure << '\n';
        return 1;
    }
    std::error_code ec;
    const auto before = std::filesystem::file_size(in, ec);
    auto after = std::filesystem::file_size(out, ec);
    std::cout << in << ": " << framesIn << " frames, " << before << " bytes\n";
    // An input packed better than we pack it (another optimiser's output)
    // is kept as it is: exact output never grows a file.
    if (!ec && lossy == 0 && after > before && keepInput(in, out)) {
        std::cout << out << ": " << before << " bytes (the input's own; ours took " << after
                  << ")\n";
        return 0;
    }
    std::cout << out << ": " << (ec ? 0 : after) << " bytes\n";
    return 0;
}
