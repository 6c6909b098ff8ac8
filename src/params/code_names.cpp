#include "params/code_names.h"

#include <array>
#include <cstdio>

namespace sitedrain::params {

namespace {

constexpr std::array<CodeName, 5> kWrapClasses{{
    {1, "very-high", "very high winter rain acceptance (runoff low)"},
    {2, "high", "high winter rain acceptance"},
    {3, "moderate", "moderate winter rain acceptance"},
    {4, "low", "low winter rain acceptance"},
    {5, "very-low", "very low winter rain acceptance (runoff high)"},
}};

// The side sets of the soakaway's infiltration (the base always counts).
constexpr std::array<CodeName, 9> kSideSets{{
    {0, "base-only", "the base only, no side"},
    {1, "one-length-side", "one length side"},
    {2, "one-width-side", "one width side"},
    {3, "one-length-one-width", "one length side and one width side"},
    {4, "length-sides", "both length sides"},
    {5, "width-sides", "both width sides"},
    {6, "one-length-both-width", "one length side and both width sides"},
    {7, "both-length-one-width", "both length sides and one width side"},
    {8, "all-four", "all four sides"},
}};

}  // namespace

std::span<const CodeName> wrap_soil_classes() {
  return kWrapClasses;
}

std::span<const CodeName> soakaway_side_sets() {
  return kSideSets;
}

const CodeName* find_code(std::span<const CodeName> table, int code) {
  for (const CodeName& c : table)
    if (c.code == code) return &c;
  return nullptr;
}

std::optional<int> find_key(std::span<const CodeName> table, std::string_view key) {
  for (const CodeName& c : table)
    if (c.key == key) return c.code;
  return std::nullopt;
}

std::string wrap_class_text(int soil_class) {
  const CodeName* c = find_code(kWrapClasses, soil_class);
  const std::string n = std::to_string(soil_class);
  return c ? n + " (" + std::string(c->description) + ")" : n;
}

std::string infiltrating_sides_text(int side_code) {
  const int code = side_code >= 0 && side_code <= 7 ? side_code : 8;
  return std::string(kSideSets[static_cast<std::size_t>(code)].description) + " (" +
         std::to_string(side_code) + ")";
}

}  // namespace sitedrain::params
