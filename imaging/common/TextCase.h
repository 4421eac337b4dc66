#pragma once
// ASCII case of file names and format names ("GIF", ".bmp"): the C locale's,
// whatever the user's locale.
#include <cctype>
#include <string>

inline std::string Upper(std::string text) {
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

inline std::string Lower(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
