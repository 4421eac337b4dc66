#include "CliTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>

using namespace clitest;

namespace {

std::string n(long v) {
    return std::to_string(v);
}

// A frame of the JSON form as the text table's cells.
std::vector<std::string> cells(const QJsonObject& j) {
    std::vector<std::string> c;
    for (const char* key : {"index", "left", "top", "width", "height", "delay", "disposal"})
        c.push_back(n(j[key].toInt()));
    c.push_back(j["transparentIndex"].isNull() ? "none" : n(j["transparentIndex"].toInt()));
    c.push_back(j["interlaced"].toBool() ? "yes" : "no");
    c.push_back(n(j["localPalette"].toInt()));
    c.push_back(n(long(j["lzwBytes"].toInteger())));
    return c;
}

} // namespace

// Every field, in both forms, against what was written; LZW bytes against
// giflib's reading of the file.
TEST(CliInfo, ReportsWhatWasWritten) {
    const auto stripes = [](int x, int y) { return uint8_t((x / 3 + y) % 4); };
    Gif anim{40, 30, 4, 3, 5, {"made by the test", "two\nlines"}, {}};
    anim.frames = {{0, 0, 40, 30, 10, 1, -1, false, false, stripes},
                   {5, 4, 20, 17, 25, 2, 2, true, false, stripes},
                   {10, 12, 9, 9, 0, 3, 0, false, true, stripes}};
    // A lone picture without loop block: shown once.
    Gif still{16, 16, 8, 0, 1, {}, {{2, 3, 11, 9, 7, 0, 1, true, false, stripes}}};
    const std::vector<Gif> rows = {anim, still};
    const fs::path dir = testsupport::tempDir("cli-info");
    for (size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE("row " + n(long(r)));
        const Gif& g = rows[r];
        const fs::path file = dir / ("info" + n(long(r)) + ".gif");
        writeGif(file, g);
        const ToolRun json = runTool("info --json " + file.string());
        const ToolRun text = runTool("info " + file.string());
        ASSERT_EQ(json.status + text.status, 0) << json.err << text.err;
        const QJsonObject info =
            QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
        const int colours = 1 << g.bits;
        EXPECT_EQ(
            (std::vector<int>{info["screen"]["width"].toInt(), info["screen"]["height"].toInt(),
                              info["backgroundIndex"].toInt(), info["loops"].toInt(),
                              info["loopBlock"].toBool(), info["globalPalette"].toInt()}),
            (std::vector<int>{g.width, g.height, g.background, g.loops, g.frames.size() > 1,
                              colours}));
        for (const std::string& line :
             {"screen: " + n(g.width) + " x " + n(g.height) + "\n",
              "background index: " + n(g.background) + "\n", "loops: " + n(g.loops),
              "global palette: " + n(colours) + "\n"})
            EXPECT_NE(("\n" + text.out).find("\n" + line), std::string::npos) << line;
        std::vector<std::string> comments;
        for (const QJsonValue c : info["comments"].toArray())
            comments.push_back(c.toString().toStdString());
        EXPECT_EQ(comments, g.comments);

        const std::vector<long> lzw = lzwBytes(file);
        const QJsonArray frames = info["frames"].toArray();
        ASSERT_EQ(lzw.size(), g.frames.size());
        ASSERT_EQ(frames.size(), qsizetype(g.frames.size()));
        std::istringstream table(text.out.substr(text.out.find("lzw-bytes\n") + 10));
        for (size_t i = 0; i < g.frames.size(); ++i) {
            const Frame& f = g.frames[i];
            std::vector<std::string> want;
            for (int v : {int(i), f.left, f.top, f.width, f.height, f.delay, f.disposal})
                want.push_back(n(v));
            want.insert(want.end(),
                        {f.transparent < 0 ? "none" : n(f.transparent), f.interlaced ? "yes" : "no",
                         n(f.local ? colours : 0), n(lzw[i])});
            std::vector<std::string> row(want.size());
            for (std::string& cell : row)
                table >> cell;
            EXPECT_EQ(row, want) << "text, frame " << i;
            EXPECT_EQ(cells(frames[qsizetype(i)].toObject()), want) << "JSON, frame " << i;
        }
    }
}
