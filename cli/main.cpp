// zentrope-gif: inspects animated GIFs and writes their composed frames,
// with the program's own model, compositor and codec.
#include "cli/FramesCommand.h"
#include "cli/InfoCommand.h"
#include "cli/OptimizeCommand.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: zentrope-gif info [--json] [--compare OTHER] FILE\n"
    "       zentrope-gif frames FILE DIR\n"
    "       zentrope-gif optimize [-O1|-O2|-O3] [--lossy N] IN OUT\n"
    "       zentrope-gif --help\n"
    "\n"
    "  info    the logical screen, background index, loop count (0 = forever,\n"
    "          1 when the file has no loop block), global palette size, the\n"
    "          comments, and per frame: rectangle, delay (hundredths of a second),\n"
    "          disposal, transparent index, interlacing, local palette size\n"
    "          (0 = none) and bytes of LZW data; --json prints the same as JSON;\n"
    "          --compare OTHER adds the bytes of each frame side by side with\n"
    "          OTHER's (an optimised copy, say) and both files' sizes\n"
    "  frames  writes each frame as the viewer shows it, transparent where the\n"
    "          animation shows nothing, as DIR/frame-0000.png, frame-0001.png...\n"
    "          (DIR is created when missing)\n"
    "  optimize  writes IN as OUT in as few bytes as it can, showing the same\n"
    "          frames pixel for pixel: -O1 crops frames to what changes and\n"
    "          merges repeated frames, -O2 also makes unchanged pixels\n"
    "          transparent where that packs better, -O3 (the default) also\n"
    "          tries more ways to pack each frame; --lossy N (1..200) lets\n"
    "          pixels take colours up to RGB distance N away for smaller data\n"
    "          (no longer exact)\n"
    "\n"
    "Exit status: 0 done, 1 the file cannot be read or a frame not written,\n"
    "2 wrong arguments.\n";

int usageError(const std::string& why) {
    std::cerr << "zentrope-gif: " << why << "\n\n" << kUsage;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usageError("no command given");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    if (command != "info" && command != "frames" && command != "optimize")
        return usageError("unknown command " + command);

    bool json = false, optionsDone = false;
    std::string compare;
    int level = 3, lossy = 0;
    std::vector<std::string> operands;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsDone || a.empty() || a[0] != '-' || a == "-") {
            operands.push_back(a);
        } else if (a == "--") {
            optionsDone = true; // names that start with '-' follow
        } else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--json" && command == "info") {
            json = true;
        } else if (a == "--compare" && command == "info") {
            if (i + 1 >= args.size()) return usageError("--compare needs a file");
            compare = args[++i];
        } else if ((a == "-O1" || a == "-O2" || a == "-O3") && command == "optimize") {
            level = a[2] - '0';
        } else if (a == "--lossy" && command == "optimize") {
            const std::string value = i + 1 < args.size() ? args[++i] : "";
            size_t used = 0;
            try {
                lossy = std::stoi(value, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used == 0 || used != value.size() || lossy < 0 || lossy > 200)
                return usageError("--lossy takes a number from 0 to 200");
        } else {
            return usageError("unknown option " + a + " for " + command);
        }
    }
    if (command == "info") {
        if (operands.size() != 1) return usageError("info takes one FILE");
        return RunInfo(operands[0], json, compare);
    }
    if (command == "optimize") {
        if (operands.size() != 2) return usageError("optimize takes IN and OUT");
        return RunOptimize(operands[0], operands[1], level, lossy);
    }
    if (operands.size() != 2) return usageError("frames takes FILE and DIR");
    return RunFrames(operands[0], operands[1]);
}
