#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

namespace {
struct Cleanup {
    std::vector<fs::path> dirs;
    ~Cleanup() {
        std::error_code ec;
        for (auto& d : dirs) fs::remove_all(d, ec);
    }
};
Cleanup& cleanup() {
    static Cleanup c;
    return c;
}
} // namespace

fs::path tempDir(const std::string& tag) {
    static std::mt19937 rng(std::random_device{}());
    fs::path dir = fs::temp_directory_path() /
                   ("zentrope-" + tag + "-" + std::to_string(getpid()) + "-" + std::to_string(rng()));
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
