#pragma once
// Helpers shared by the test programs.
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A fresh empty folder under the system temp folder, removed at exit.
std::filesystem::path tempDir(const std::string& tag);
std::vector<unsigned char> readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);
// ../shared/corpus (from $ZENTROPE_CORPUS); empty when it is not there.
std::filesystem::path corpusDir();

} // namespace testsupport
