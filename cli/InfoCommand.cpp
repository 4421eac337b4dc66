#include "cli/InfoCommand.h"
#include "cli/LoadedAnimation.h"

#include "bindings/CodecBinding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <filesystem>
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

uint64_t fileBytes(const std::string& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    return ec ? 0 : uint64_t(size);
}

// Frames side by side by position; the files may hold different counts
// (an optimiser merges repeated frames), so a missing frame shows "-".
void printCompare(const GifReport& a, const GifReport& b, const std::string& fileA,
                  const std::string& fileB, std::ostream& out) {
    out << "compared with " << fileB << ":\n"
        << "frame   lzw-bytes       other\n";
    uint64_t totalA = 0, totalB = 0;
    const size_t n = std::max(a.Images.size(), b.Images.size());
    const auto cell = [](const GifReport& r, size_t i) {
        return i < r.Images.size() ? std::to_string(r.Images[i].LzwBytes) : std::string("-");
    };
    for (size_t i = 0; i < n; ++i) {
        if (i < a.Images.size()) totalA += a.Images[i].LzwBytes;
        if (i < b.Images.size()) totalB += b.Images[i].LzwBytes;
        out << std::setw(5) << i << std::setw(12) << cell(a, i) << std::setw(12) << cell(b, i)
            << '\n';
    }
    out << "total" << std::setw(12) << totalA << std::setw(12) << totalB << '\n'
        << "file bytes: " << fileBytes(fileA) << " and " << fileBytes(fileB) << '\n';
}

QJsonObject compareJson(const GifReport& b, const std::string& fileA, const std::string& fileB) {
    QJsonArray frames;
    for (const PVGifImageInfo& f : b.Images)
        frames.append(qint64(f.LzwBytes));
    return QJsonObject{{"file", QString::fromStdString(fileB)},
                       {"fileBytes", qint64(fileBytes(fileB))},
                       {"thisFileBytes", qint64(fileBytes(fileA))},
                       {"lzwBytes", frames}};
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

int RunInfo(const std::string& file, bool json, const std::string& compare) {
    GifReport report, other;
    std::string error;
    if (!GifReport::Read(file, report, error)) {
        std::cerr << "zentrope-gif: " << file << ": " << error << '\n';
        return 1;
    }
    if (!compare.empty() && !GifReport::Read(compare, other, error)) {
        std::cerr << "zentrope-gif: " << compare << ": " << error << '\n';
        return 1;
    }
    if (json) {
        QJsonObject object = toJson(report);
        if (!compare.empty()) object["compare"] = compareJson(other, file, compare);
        std::cout << QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
    } else {
        printText(report, std::cout);
        if (!compare.empty()) printCompare(report, other, file, compare, std::cout);
    }
    return 0;
}
