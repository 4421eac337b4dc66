#include "cli/InfoCommand.h"
#include "cli/LoadedAnimation.h"

#include "bindings/CodecBinding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <iomanip>
#include <iostream>

namespace {

int16_t collect(const PVGifStreamInfo* stream, const PVGifImageInfo* image, int32_t /*number*/,
                void* user) {
    auto& report = *static_cast<GifReport*>(user);
    report.Stream = *stream;
    if (image) report.Images.push_back(*image);
    return 1;
}

// Comment text on indented lines under its heading.
void printComment(std::ostream& out, size_t number, const std::string& text) {
    out << "comment " << number << ":";
    size_t start = 0;
    do {
        const size_t end = text.find('\n', start);
        out << "\n    " << text.substr(start, end - start);
        start = end == std::string::npos ? end : end + 1;
    } while (start != std::string::npos);
    out << '\n';
}

void printText(const GifReport& report, std::ostream& out) {
    const PVGifStreamInfo& s = report.Stream;
    out << "screen: " << s.ScreenWidth << " x " << s.ScreenHeight << '\n'
        << "background index: " << int(s.BackgroundIndex) << '\n'
        << "loops: " << report.Loops()
        << (!s.HasLoopExtension ? " (no loop block: shown once)"
            : s.Loops == 0      ? " (forever)"
                                : "")
        << '\n'
        << "global palette: " << s.GlobalColors << '\n';
    for (size_t i = 0; i < report.Comments.size(); ++i)
        printComment(out, i + 1, report.Comments[i]);
    out << "frames: " << report.Images.size() << '\n'
        << "frame  left   top width height delay disposal transparent interlaced local"
           "   lzw-bytes\n";
    for (size_t i = 0; i < report.Images.size(); ++i) {
        const PVGifImageInfo& f = report.Images[i];
        out << std::setw(5) << i << std::setw(6) << f.Left << std::setw(6) << f.Top << std::setw(6)
            << f.Width << std::setw(7) << f.Height << std::setw(6) << f.Delay << std::setw(9)
            << int(f.Disposal) << std::setw(12)
            << (f.Transparent ? std::to_string(f.TransparentIndex) : "none") << std::setw(11)
            << (f.Interlaced ? "yes" : "no") << std::setw(6) << f.LocalColors << std::setw(12)
            << f.LzwBytes << (f.Filled ? "  (data ends early)" : "") << '\n';
    }
}

QJsonObject toJson(const GifReport& report) {
    const PVGifStreamInfo& s = report.Stream;
    QJsonArray comments;
    for (const std::string& c : report.Comments)
        comments.append(QString::fromStdString(c)); // read as UTF-8
    QJsonArray frames;
    for (size_t i = 0; i < report.Images.size(); ++i) {
        const PVGifImageInfo& f = report.Images[i];
        frames.append(QJsonObject{
            {"index", int(i)},
            {"left", f.Left},
            {"top", f.Top},
            {"width", f.Width},
            {"height", f.Height},
            {"delay", f.Delay},
            {"disposal", f.Disposal},
            {"transparentIndex", f.Transparent ? QJsonValue(f.TransparentIndex) : QJsonValue()},
            {"interlaced", f.Interlaced != 0},
            {"localPalette", f.LocalColors},
            {"lzwBytes", qint64(f.LzwBytes)},
            {"dataEndsEarly", f.Filled != 0},
        });
    }
    return QJsonObject{
        {"screen", QJsonObject{{"width", s.ScreenWidth}, {"height", s.ScreenHeight}}},
        {"backgroundIndex", s.BackgroundIndex},
        {"loops", report.Loops()},
        {"loopBlock", s.HasLoopExtension != 0},
        {"globalPalette", s.GlobalColors},
        {"comments", comments},
        {"frames", frames},
    };
}

} // namespace

bool GifReport::Read(const std::string& file, GifReport& report, std::string& error) {
    LoadedAnimation animation;
    if (!animation.Load(file)) {
        error = animation.ErrorText();
        return false;
    }
    report = GifReport{};
    // The comments as the program keeps them (split into lines, NULs
    // already made blanks by the codec).
    for (const TStringList* lines : *animation.Model().Comments())
        report.Comments.push_back(JoinLines(*lines));
    if (!DLL96V1::an_gifinfo(file, &collect, &report)) {
        error = DLL96V1::CodecLastErrorText;
        return false;
    }
    return true;
}

int RunInfo(const std::string& file, bool json) {
    GifReport report;
    std::string error;
    if (!GifReport::Read(file, report, error)) {
        std::cerr << "zentrope-gif: " << file << ": " << error << '\n';
        return 1;
    }
    if (json)
        std::cout << QJsonDocument(toJson(report)).toJson(QJsonDocument::Indented).toStdString();
    else
        printText(report, std::cout);
    return 0;
}
