#include "textio/format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace sitedrain::textio {

namespace {
std::string stars(int width) { return std::string(static_cast<std::size_t>(width), '*'); }

std::string right(std::string text, int width) {
  if (static_cast<int>(text.size()) > width) return stars(width);
  return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}
}  // namespace

std::string fmt_i(long long value, int width) { return right(std::to_string(value), width); }

std::string fmt_f(double value, int width, int decimals) {
  if (!std::isfinite(value)) return stars(width);
  if (std::fabs(value) >= 1e300) return stars(width);
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string text(buf);
  if (decimals == 0) text += '.';
  return right(std::move(text), width);
}

std::string fmt_a(std::string_view text, int width) {
  if (static_cast<int>(text.size()) >= width) return std::string(text.substr(0, width));
  return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + std::string(text);
}

std::string shortest(double value) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, res.ptr);
}

FreeRecord& FreeRecord::operator<<(long long v) {
  s_ += ' ';
  s_ += std::to_string(v);
  return *this;
}

FreeRecord& FreeRecord::operator<<(double v) {
  s_ += ' ';
  s_ += shortest(v);
  return *this;
}

Line& Line::at(int column, std::string_view text) {
  std::size_t start = static_cast<std::size_t>(column - 1);
  if (s_.size() < start) s_.resize(start, ' ');
  s_.resize(start);
  s_ += text;
  return *this;
}

std::string ten_per_line(std::span<const int> values, int first_column, int width) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); i += 10) {
    Line line;
    line.at(first_column, "");
    for (std::size_t j = i; j < values.size() && j < i + 10; ++j) line.add(fmt_i(values[j], width));
    out += line.str();
    out += '\n';
  }
  return out;
}

}  // namespace sitedrain::textio
