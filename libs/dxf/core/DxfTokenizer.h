#pragma once
// Group code / value pairs of an ASCII DXF file: two lines each, the code an
// integer, the value the rest of the second line (CR and outer blanks cut).
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dxfcore {

struct Group {
    int32_t code = 0;
    std::string_view value;
    size_t offset = 0; // byte offset of the group's code line
};

class DxfTokenizer {
  public:
    DxfTokenizer(std::string_view text, size_t begin = 0, size_t end = std::string_view::npos);
    // False at the end of the range or on a bad code (then bad() is true).
    bool next(Group& out);
    bool bad() const { return bad_; }
    size_t position() const { return pos_; }

  private:
    std::string_view line();
    std::string_view text_;
    size_t pos_;
    size_t end_;
    bool bad_ = false;
};

// Numbers of a value; false when it is not a finite number.
bool toDouble(std::string_view value, double& out);
bool toInt(std::string_view value, int64_t& out);

} // namespace dxfcore
