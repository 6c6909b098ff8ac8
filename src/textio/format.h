// Fixed-column output fields, shared by every output file.
//
//   Iw    an integer right-aligned in w columns;
//   Fw.d  a real rounded to d decimals (the correctly rounded decimal of the
//         binary value, as printf gives it), right-aligned in w columns, always
//         with its decimal point (also when d = 0: 1500 in F10.0 is "     1500.");
//   Aw    a text in w columns: a shorter text right-aligned behind blanks, a
//         longer one cut to its first w characters.
// A number too wide for its field, or not finite, fills the field with '*'.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sitedrain::textio {

std::string fmt_i(long long value, int width);
std::string fmt_f(double value, int width, int decimals);
std::string fmt_a(std::string_view text, int width);

// Shortest text that reads back as the same double ("2.2", "1e-07", "-0.5").
std::string shortest(double value);

// A free-format record: the text, then each number after one blank,
// integers as such and reals in shortest round-trip form.
class FreeRecord {
 public:
  explicit FreeRecord(std::string_view text) : s_(text) {}
  FreeRecord& operator<<(long long v);
  FreeRecord& operator<<(int v) { return *this << static_cast<long long>(v); }
  FreeRecord& operator<<(double v);
  const std::string& str() const { return s_; }

 private:
  std::string s_;
};

// A text line built by columns (from 1).  at() pads with blanks up to the
// column and writes the text there; the line ends at its last written
// character.
class Line {
 public:
  Line& at(int column, std::string_view text);
  Line& add(std::string_view text) {
    s_ += text;
    return *this;
  }
  const std::string& str() const { return s_; }

 private:
  std::string s_;
};

// "Ten per line": the values as Iw fields from the given column, a new line
// after every ten.  Returns the lines.
std::string ten_per_line(std::span<const int> values, int first_column, int width);

}  // namespace sitedrain::textio
