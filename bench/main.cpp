// Runs every benchmark, then prints ours-against-peer ratios from this one
// run: throughput (higher is better for us above 1.00) and, where a
// benchmark reports "bytes", output size (lower is better for us below 1.00).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Result {
    double itemsPerSecond = 0;
    double bytes = 0;
};

class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, Result> results;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            Result& r = results[run.benchmark_name()];
            if (auto it = run.counters.find("items_per_second"); it != run.counters.end())
                r.itemsPerSecond = it->second.value;
            if (auto it = run.counters.find("bytes"); it != run.counters.end())
                r.bytes = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-28s %-10s %14s %14s %8s %10s\n", "case", "peer", "ours MP/s", "peer MP/s",
                "speed", "size");
    for (const auto& [name, ours] : reporter.results) {
        const auto at = name.find("_ours_");
        if (at == std::string::npos) continue;
        for (const auto& [peerName, peer] : reporter.results) {
            const auto peerAt = peerName.find('_', at + 1);
            if (peerName.compare(0, at + 1, name, 0, at + 1) != 0 || peerAt == std::string::npos ||
                peerName.substr(peerAt) != name.substr(at + 5) || peerName == name)
                continue;
            const std::string peerLabel = peerName.substr(at + 1, peerAt - at - 1);
            const double speed =
                peer.itemsPerSecond > 0 ? ours.itemsPerSecond / peer.itemsPerSecond : 0;
            char size[16] = "-";
            if (ours.bytes > 0 && peer.bytes > 0)
                std::snprintf(size, sizeof size, "%.3f", ours.bytes / peer.bytes);
            std::printf("%-28s %-10s %14.1f %14.1f %7.2fx %10s\n", name.c_str(), peerLabel.c_str(),
                        ours.itemsPerSecond / 1e6, peer.itemsPerSecond / 1e6, speed, size);
        }
    }
    return 0;
}
