#include "libs/dxf/core/DxfTokenizer.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace dxfcore {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

DxfTokenizer::DxfTokenizer(std::string_view text, size_t begin, size_t end)
    : text_(text), pos_(std::min(begin, text.size())), end_(std::min(end, text.size())) {}

std::string_view DxfTokenizer::line() {
    const size_t start = pos_;
    size_t stop = text_.find('\n', start);
    if (stop == std::string_view::npos || stop > end_) stop = end_;
    pos_ = stop < end_ ? stop + 1 : end_;
    return text_.substr(start, stop - start);
}

bool DxfTokenizer::next(Group& out) {
    if (bad_ || pos_ >= end_) return false;
    out.offset = pos_;
    const std::string_view codeText = trim(line());
    if (pos_ >= end_ && codeText.empty()) return false;
    int64_t code = 0;
    if (!toInt(codeText, code) || code < -5 || code > 1071) {
        // A file cut inside its last line ends there; anywhere else it is corrupt.
        if (pos_ >= end_) return false;
        bad_ = true;
        return false;
    }
    out.code = int32_t(code);
    std::string_view value = line();
    if (!value.empty() && value.back() == '\r') value.remove_suffix(1);
    out.value = value;
    return true;
}

bool toDouble(std::string_view value, double& out) {
    value = trim(value);
    if (!value.empty() && value.front() == '+') value.remove_prefix(1);
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), out);
    return ec == std::errc() && end == value.data() + value.size() && std::isfinite(out);
}

bool toInt(std::string_view value, int64_t& out) {
    value = trim(value);
    if (!value.empty() && value.front() == '+') value.remove_prefix(1);
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), out);
    return ec == std::errc() && end == value.data() + value.size() && !value.empty();
}

} // namespace dxfcore
