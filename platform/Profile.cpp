#include "platform/Profile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::mutex profileMutex;

bool sameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower((unsigned char)x) == std::tolower((unsigned char)y);
           });
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

fs::path profilePath(const char* file) {
    fs::path p = file ? file : "win.ini";
    return p.is_absolute() ? p : fs::path(SettingsFolder()) / p;
}

std::vector<std::string> readLines(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// [first, last) line range of a section's body; first == npos when absent.
std::pair<size_t, size_t> findSection(const std::vector<std::string>& lines,
                                      const std::string& name) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string t = trim(lines[i]);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']' &&
            sameText(trim(t.substr(1, t.size() - 2)), name)) {
            size_t j = i + 1;
            while (j < lines.size() && !(trim(lines[j]).rfind('[', 0) == 0))
                ++j;
            return {i + 1, j};
        }
    }
    return {std::string::npos, std::string::npos};
}

bool keyOf(const std::string& line, std::string& key, std::string& value) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) return false;
    key = trim(line.substr(0, eq));
    value = trim(line.substr(eq + 1));
    return !key.empty() && key[0] != ';';
}

int32_t copyOut(const std::string& value, char* buffer, int32_t size) {
    if (!buffer || size < 1) return 0;
    const int32_t n = std::min<int32_t>(int32_t(value.size()), size - 1);
    std::memcpy(buffer, value.data(), size_t(n));
    buffer[n] = '\0';
    return n;
}

} // namespace

const char* SettingsFolder() {
    thread_local std::string folder;
    const char* home = std::getenv("ZENTROPE_HOME");
    if (home && *home) {
        folder = home;
    } else {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        const char* user = std::getenv("HOME");
        fs::path base = xdg && *xdg ? fs::path(xdg) : fs::path(user ? user : "/tmp") / ".config";
        folder = (base / "zentrope").string();
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder.c_str();
}

int32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                char* buffer, int32_t size, const char* file) {
    std::lock_guard lock(profileMutex);
    const std::string fallback = defaultValue ? defaultValue : "";
    if (!section || !key) return copyOut(fallback, buffer, size);
    const auto lines = readLines(profilePath(file));
    auto [first, last] = findSection(lines, section);
    if (first != std::string::npos) {
        for (size_t i = first; i < last; ++i) {
            std::string k, v;
            if (keyOf(lines[i], k, v) && sameText(k, key)) return copyOut(v, buffer, size);
        }
    }
    return copyOut(fallback, buffer, size);
}

int32_t WritePrivateProfileString(const char* section, const char* key, const char* value,
                                  const char* file) {
    if (!section) return 0;
    std::lock_guard lock(profileMutex);
    const fs::path path = profilePath(file);
    auto lines = readLines(path);
    auto [first, last] = findSection(lines, section);
    if (!key) {
        if (first != std::string::npos)
            lines.erase(lines.begin() + long(first) - 1, lines.begin() + long(last));
    } else if (first == std::string::npos) {
        if (value) {
            if (!lines.empty() && !trim(lines.back()).empty()) lines.emplace_back();
            lines.push_back("[" + std::string(section) + "]");
            lines.push_back(std::string(key) + "=" + value);
        }
    } else {
        bool done = false;
        for (size_t i = first; i < last && !done; ++i) {
            std::string k, v;
            if (keyOf(lines[i], k, v) && sameText(k, key)) {
                if (value)
                    lines[i] = std::string(key) + "=" + value;
                else
                    lines.erase(lines.begin() + long(i));
                done = true;
            }
        }
        if (!done && value) {
            size_t at = last;
            while (at > first && trim(lines[at - 1]).empty())
                --at;
            lines.insert(lines.begin() + long(at), std::string(key) + "=" + value);
        }
    }
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    const fs::path temp = path.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        for (const auto& l : lines)
            out << l << '\n';
        if (!out.flush()) return 0;
    }
    fs::rename(temp, path, ec);
    return ec ? 0 : 1;
}

int32_t GetProfileString(const char* section, const char* key, const char* defaultValue,
                         char* buffer, int32_t size) {
    return GetPrivateProfileString(section, key, defaultValue, buffer, size, "win.ini");
}

int32_t WriteProfileString(const char* section, const char* key, const char* value) {
    return WritePrivateProfileString(section, key, value, "win.ini");
}
