#include "params/code_names.h"

#include <array>
#include <cstdio>

#include "runoff/fixed_loss.h"
#include "runoff/horton.h"

namespace sitedrain::params {

namespace {

// The eleven soil texture classes in the order of the Green-Ampt soil rows.
constexpr std::array<CodeName, 11> kSoilTextures{{
    {1, "sand", "sand"},
    {2, "loamy-sand", "loamy sand"},
    {3, "sandy-loam", "sandy loam"},
    {4, "loam", "loam"},
    {5, "silt-loam", "silt loam"},
    {6, "sandy-clay-loam", "sandy clay loam"},
    {7, "clay-loam", "clay loam"},
    {8, "silty-clay-loam", "silty clay loam"},
    {9, "sandy-clay", "sandy clay"},
    {10, "silty-clay", "silty clay"},
    {11, "clay", "clay"},
}};

// "Horton curve N: 280 mm/h falling to 6 mm/h, decay 1.6 per minute", from
// the curves themselves.
std::string horton_description(int row) {
  const runoff::HortonRow& r = runoff::kHortonRows[row - 1];
  char text[96];
  std::snprintf(text, sizeof text,
                "Horton curve %d: %g mm/h falling to %g mm/h, decay %g per minute", row, r.f0, r.fc,
                r.k);
  return text;
}

// The Horton models' surfaces; the descriptions live as long as the program.
const std::array<CodeName, 5>& horton_surfaces() {
  static const std::array<std::string, 4> texts{horton_description(1), horton_description(2),
                                                horton_description(3), horton_description(4)};
  static const std::array<CodeName, 5> table{{
      {1, "horton-1", texts[0]},
      {2, "horton-2", texts[1]},
      {3, "horton-3", texts[2]},
      {4, "horton-4", texts[3]},
      {runoff::kFixedLossSurface, "fixed-loss",
       "fixed-loss surface: 5 % of the storm's mean intensity is lost"},
  }};
  return table;
}

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

std::span<const CodeName> surface_types(LossModel model) {
  if (model == LossModel::green_ampt || model == LossModel::green_ampt_pdm) return kSoilTextures;
  return horton_surfaces();
}

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

std::string surface_text(LossModel model, int code) {
  const CodeName* c = find_code(surface_types(model), code);
  const std::string n = std::to_string(code);
  if (c == nullptr) return "code " + n + " (not a surface type of this model)";
  if (model == LossModel::green_ampt || model == LossModel::green_ampt_pdm)
    return std::string(c->description) + " (Green-Ampt soil row " + n + ")";
  return std::string(c->description) + " (" + n + ")";
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
