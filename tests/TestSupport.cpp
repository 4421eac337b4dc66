#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

// Sanitizer options of every test program: allocation failures come back as
// null (the code under test must handle them), leaks are reported, and the
// leaks inside system libraries listed in lsan.supp are not. The sanitizer
// runtime finds these through the dynamic symbol table, so they must stay
// visible although the build hides symbols by default.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options() {
    return "allocator_may_return_null=1:detect_leaks=1";
}
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_options() {
    return "suppressions=" ZENTROPE_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
extern "C" __attribute__((visibility("default"))) const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

namespace {
// Settings in a private folder, widgets offscreen, the shared corpus found;
// what the caller's environment already says wins.
const bool environmentReady = [] {
    setenv("ZENTROPE_HOME", ZENTROPE_TEST_HOME, 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("ZENTROPE_CORPUS", ZENTROPE_TEST_CORPUS, 0);
    return true;
}();
} // namespace

namespace testsupport {

namespace {
struct Cleanup {
    std::vector<fs::path> dirs;
    ~Cleanup() {
        std::error_code ec;
        for (auto& d : dirs)
            fs::remove_all(d, ec);
    }
};
Cleanup& cleanup() {
    static Cleanup c;
    return c;
}
} // namespace

fs::path tempDir(const std::string& tag) {
    static std::mt19937 rng(std::random_device{}());
    fs::path dir = fs::temp_directory_path() / ("zentrope-" + tag + "-" + std::to_string(getpid()) +
                                                "-" + std::to_string(rng()));
    fs::create_directories(dir);
    cleanup().dirs.push_back(dir);
    return dir;
}

std::vector<unsigned char> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

fs::path corpusDir() {
    const char* env = std::getenv("ZENTROPE_CORPUS");
    if (!env || !fs::is_directory(env)) return {};
    return fs::path(env);
}

} // namespace testsupport
