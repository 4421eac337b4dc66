#pragma once
// zentrope-gif info: what it says about a file, gathered once so that the
// text and the JSON forms are printed from the same data.
#include "libs/codec/PvCodec.h"

#include <string>
#include <vector>

struct GifReport {
    PVGifStreamInfo Stream{};
    std::vector<PVGifImageInfo> Images;
    std::vector<std::string> Comments; // each block's text, its lines joined with LF

    // Reads the file as the program does (so it fails exactly where the
    // viewer would), then its block structure through the codec; false
    // with the codec's text in `error`.
    static bool Read(const std::string& file, GifReport& report, std::string& error);

    // Loops as the program plays them: the loop block's count (0 = forever),
    // 1 (shown once) when the file has no loop block.
    int Loops() const { return Stream.HasLoopExtension ? Stream.Loops : 1; }
};

// zentrope-gif info [--json] [--compare OTHER] FILE: prints the report to
// standard output; with `compare` also each frame's LZW bytes beside those
// of the same frame of that file, and both file sizes. Answers the exit
// status: 0, or 1 after printing the codec's text to standard error.
int RunInfo(const std::string& file, bool json, const std::string& compare = {});
