#include "textio/fixed_field.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "textio/console.h"

namespace sitedrain::textio {

std::string_view columns(std::string_view line, int first, int width) {
  std::size_t start = static_cast<std::size_t>(first - 1);
  if (start >= line.size()) return {};
  return line.substr(start, static_cast<std::size_t>(width));
}

namespace {

std::string without_blanks(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\t') out.push_back(c);
  return out;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<std::int32_t> parse_int(std::string_view text, std::string* why) {
  std::string s = without_blanks(text);
  if (s.empty()) return 0;
  std::size_t i = 0;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    i = 1;
  }
  if (i == s.size()) {
    if (why) *why = "a sign without digits";
    return std::nullopt;
  }
  long long value = 0;
  for (; i < s.size(); ++i) {
    if (s[i] == '.') {
      if (why) *why = "a whole number is required (no decimal point)";
      return std::nullopt;
    }
    if (!is_digit(s[i])) {
      if (why) *why = "not a whole number";
      return std::nullopt;
    }
    value = value * 10 + (s[i] - '0');
    if (value > 2147483648LL) {
      if (why) *why = "number too large";
      return std::nullopt;
    }
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) {
    if (why) *why = "number too large";
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::optional<double> parse_real(std::string_view text, int implied_decimals, std::string* why) {
  std::string s = without_blanks(text);
  if (s.empty()) return 0.0;
  // sign, digits, optional point and digits, optional exponent (E or D)
  std::size_t i = 0;
  std::string mantissa;
  if (s[i] == '+' || s[i] == '-') mantissa.push_back(s[i++]);
  bool point = false;
  int digits = 0;
  for (; i < s.size(); ++i) {
    if (is_digit(s[i])) {
      mantissa.push_back(s[i]);
      ++digits;
    } else if (s[i] == '.' && !point) {
      mantissa.push_back('.');
      point = true;
    } else {
      break;
    }
  }
  long long exponent = 0;
  if (i < s.size()) {
    char c = s[i];
    if (c != 'e' && c != 'E' && c != 'd' && c != 'D') {
      if (why) *why = "not a number";
      return std::nullopt;
    }
    ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size()) {
      if (why) *why = "exponent without digits";
      return std::nullopt;
    }
    for (; i < s.size(); ++i) {
      if (!is_digit(s[i])) {
        if (why) *why = "not a number";
        return std::nullopt;
      }
      if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  if (digits == 0) {
    if (why) *why = "not a number";
    return std::nullopt;
  }
  if (!point) exponent -= implied_decimals;
  // One correctly rounded conversion of the whole decimal value.
  std::string literal = mantissa + "e" + std::to_string(exponent);
  errno = 0;
  char* end = nullptr;
  double value = std::strtod(literal.c_str(), &end);
  if (errno == ERANGE && (value > 1.0 || value < -1.0)) {
    if (why) *why = "number too large";
    return std::nullopt;
  }
  return value;
}

std::string printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\r') {
      out += "\\r";
    } else if (c < 32 || c > 126) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

std::string field_error(const FieldPlace& where, int first, int width, std::string_view text,
                        std::string_view why) {
  std::string msg = "ERROR reading file ";
  msg += where.file;
  msg += ", line " + std::to_string(where.line);
  msg += ", ";
  msg += where.field;
  msg += " (columns " + std::to_string(first) + "-" + std::to_string(first + width - 1) + "): \"";
  msg += printable(text);
  msg += "\" - ";
  msg += why;
  return msg;
}

std::int32_t read_int(std::string_view line, int first, int width, const FieldPlace& where) {
  std::string_view text = columns(line, first, width);
  std::string why;
  auto v = parse_int(text, &why);
  if (!v) console::stop_with(field_error(where, first, width, text, why));
  return *v;
}

double read_real(std::string_view line, int first, int width, int implied_decimals,
                 const FieldPlace& where) {
  std::string_view text = columns(line, first, width);
  std::string why;
  auto v = parse_real(text, implied_decimals, &why);
  if (!v) console::stop_with(field_error(where, first, width, text, why));
  return *v;
}

}  // namespace sitedrain::textio
