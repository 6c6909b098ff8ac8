#include "serve/case_name.h"

namespace sitedrain::serve {

namespace {

bool allowed(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

}  // namespace

std::optional<std::string> case_name_error(std::string_view name) {
  if (name.empty()) return "a case needs a name";
  if (name.find("..") != std::string_view::npos) return "a case name may not contain '..'";
  for (char c : name) {
    if (c == '/' || c == '\\') return std::string("a case name may not contain '") + c + "'";
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return "a case name may not contain a control character";
  }
  if (name.size() > kCaseNameMaxLength)
    return "a case name has at most " + std::to_string(kCaseNameMaxLength) + " characters";
  for (char c : name)
    if (!allowed(c)) return "a case name holds letters, digits, '-' and '_' only";
  return std::nullopt;
}

}  // namespace sitedrain::serve
