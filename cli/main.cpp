// zentrope-gif: inspects animated GIFs and writes their composed frames,
// with the program's own model, compositor and codec.
#include "cli/FramesCommand.h"
#include "cli/InfoCommand.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: zentrope-gif info [--json] FILE\n"
    "       zentrope-gif frames FILE DIR\n"
    "       zentrope-gif --help\n"
    "\n"
    "  info    the logical screen, background index, loop count (0 = forever,\n"
    "          1 when the file has no loop block), global palette size, the\n"
    "          comments, and per frame: rectangle, delay (hundredths of a second),\n"
    "          disposal, transparent index, interlacing, local palette size\n"
    "          (0 = none) and bytes of LZW data; --json prints the same as JSON\n"
    "  frames  writes each frame as the viewer shows it, transparent where the\n"
    "          animation shows nothing, as DIR/frame-0000.png, frame-0001.png...\n"
    "          (DIR is created when missing)\n"
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
    if (command != "info" && command != "frames") return usageError("unknown command " + command);

    bool json = false, optionsDone = false;
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
        } else {
            return usageError("unknown option " + a + " for " + command);
        }
    }
    if (command == "info") {
        if (operands.size() != 1) return usageError("info takes one FILE");
        return RunInfo(operands[0], json);
    }
    if (operands.size() != 2) return usageError("frames takes FILE and DIR");
    return RunFrames(operands[0], operands[1]);
}
