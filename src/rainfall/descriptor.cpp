#include "rainfall/descriptor.h"

#include <algorithm>
#include <array>

#include "textio/console.h"
#include "textio/fixed_field.h"

namespace sitedrain::rainfall {

namespace {

std::string fit_line(std::string_view text) {
  std::string s(text.substr(0, kDescriptorLineWidth));
  s.resize(kDescriptorLineWidth, ' ');
  return s;
}

std::string_view without_trailing_blanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// One item of line 1, read whole: text starts at column first (from 1).
std::int32_t grid_item(std::string_view text, int first, std::string_view file_name,
                       std::string_view field) {
  std::string why;
  auto v = textio::parse_int(text, &why);
  if (!v) {
    const int width = std::max(1, static_cast<int>(text.size()));
    console::stop_with(textio::field_error({file_name, 1, field}, first, width, text, why));
  }
  return *v;
}

constexpr std::array<std::string_view, 6> kCatchmentKeys = {"C", "D1", "D2", "D3", "E", "F"};
constexpr std::array<std::string_view, 6> kPointKeys = {"C(1km)",  "D1(1km)", "D2(1km)",
                                                        "D3(1km)", "E(1km)",  "F(1km)"};

}  // namespace

std::vector<std::string> read_descriptor_lines(textio::LineReader& in, int numline) {
  if (numline < 1) {
    console::stop_with("ERROR - NUMLINE is " + std::to_string(numline) +
                       ": the catchment descriptor file " + in.name() +
                       " needs at least its grid reference line");
  }
  std::vector<std::string> lines;
  std::string text;
  for (int i = 0; i < numline; ++i) {
    if (!in.next(text)) {
      console::stop_with("ERROR reading file " + in.name() + ": it has " + std::to_string(i) +
                         " lines, but NUMLINE asks for " + std::to_string(numline));
    }
    lines.push_back(fit_line(text));
  }
  return lines;
}

void parse_grid_reference(std::string_view line1, std::string_view file_name, Catchment& c) {
  const std::string line = fit_line(line1);
  const std::string_view s(line);
  const std::size_t first_comma = s.find(',');
  std::string_view east_text;
  std::string_view north_text;
  int north_first = 1;
  if (first_comma != std::string_view::npos) {
    east_text = s.substr(0, first_comma);
    const std::string_view rest = s.substr(first_comma + 1);
    const std::size_t second_comma = rest.find(',');
    if (second_comma != std::string_view::npos) north_text = rest.substr(0, second_comma);
    north_first = static_cast<int>(first_comma) + 2;
  }
  c.easting = grid_item(east_text, 1, file_name, "easting");
  c.northing = grid_item(north_text, north_first, file_name, "northing");
}

DescriptorKeys parse_descriptor_values(const std::vector<std::string>& lines, int point, int arff,
                                       std::string_view file_name, Catchment& c) {
  DescriptorKeys keys;
  const auto& model_keys = point == 0 ? kCatchmentKeys : kPointKeys;
  const std::array<double*, 6> model = {&c.C, &c.D1, &c.D2, &c.D3, &c.E, &c.F};
  const std::array<bool*, 6> model_found = {&keys.C,  &keys.D1, &keys.D2,
                                            &keys.D3, &keys.E,  &keys.F};
  const int width = static_cast<int>(kDescriptorLineWidth);

  for (std::size_t n = 1; n < lines.size(); ++n) {
    const std::string line = fit_line(lines[n]);
    const std::string_view s(line);
    const std::size_t comma = s.find(',');
    std::string_view key;
    int first = 1;  // column of the value text
    if (comma != std::string_view::npos) {
      key = without_trailing_blanks(s.substr(0, comma));
      first = static_cast<int>(comma) + 2;
    }
    const int value_width = std::min(10, width + 1 - first);
    const std::string field = comma == std::string_view::npos
                                  ? std::string("value (the line has no comma)")
                                  : "value of " + textio::printable(key);
    const textio::FieldPlace where{file_name, static_cast<int>(n) + 1, field};

    double value = 0.0;
    if (key == "SAAR4170") {
      c.SAAR4170 = textio::read_int(s, first, value_width, where);
      keys.SAAR4170 = true;
      keys.SAAR4170_line = where.line;
    } else if (key == "SAAR") {
      c.SAAR = textio::read_int(s, first, value_width, where);
      keys.SAAR = true;
      keys.SAAR_line = where.line;
    } else {
      value = textio::read_real(s, first, value_width, 3, where);
    }
    if (key == "AREA") {
      c.AREA = value;
      keys.AREA = true;
      keys.AREA_line = where.line;
    }
    if (key == "SPRHOST") c.SPRHOST = value;
    if (point > 0 && arff > 0) {
      console::stop_with("ERROR - cannot have both point and arff set to 1");
    }
    for (std::size_t j = 0; j < model_keys.size(); ++j) {
      if (key == model_keys[j]) {
        *model[j] = value;
        *model_found[j] = true;
      }
    }
  }
  return keys;
}

namespace {

// What a run takes from the descriptor file.
struct Needs {
  bool table;      // the design rainfall table is computed
  bool parameters;  // ... by the 1999 model, from C..F
  bool SAAR4170;   // FSR depths of storms under an hour, greenfield rates
  bool SAAR;       // seasonal factors
  bool AREA;       // areal reduction on the descriptor area
};

Needs needs_of(const params::DesignParams& p, const params::RunSetup& setup, DdfModel model) {
  Needs n;
  n.table = p.storage_run() || p.rainfall_only();
  n.parameters = n.table && model == DdfModel::FEH99;
  const bool short_storm =
      std::any_of(setup.durations.begin(), setup.durations.end(), [](int d) { return d < 60; });
  n.SAAR4170 = (n.parameters && short_storm) || p.greenfield_rates == 1;
  n.SAAR = n.table && params::seasonal(p.rain_season);
  n.AREA = n.table && p.areal_reduction == 1 && p.areal_reduction_area_code == 1;
  return n;
}

}  // namespace

void check_descriptor_keys(const DescriptorKeys& keys, const params::DesignParams& p,
                           const params::RunSetup& setup, std::string_view file_name,
                           DdfModel model) {
  const Needs needs = needs_of(p, setup, model);
  const bool table = needs.table;
  std::vector<std::string_view> missing;
  if (!keys.SAAR4170 && needs.SAAR4170) missing.push_back(keys.xml ? "saar4170" : "SAAR4170");
  if (table) {
    if (!keys.SAAR && needs.SAAR) missing.push_back(keys.xml ? "saar" : "SAAR");
    if (!keys.AREA && needs.AREA) missing.push_back(keys.xml ? "area" : "AREA");
  }
  if (needs.parameters) {
    const auto& names = keys.xml ? (p.point_rainfall == 0 ? kXmlCatchmentDdf : kXmlPointDdf)
                                 : (p.point_rainfall == 0 ? kCatchmentKeys : kPointKeys);
    const std::array<bool, 6> found = {keys.C, keys.D1, keys.D2, keys.D3, keys.E, keys.F};
    for (std::size_t j = 0; j < names.size(); ++j)
      if (!found[j]) missing.push_back(names[j]);
  }
  if (missing.empty()) return;
  std::string msg = "ERROR - catchment descriptor file ";
  msg += file_name;
  msg += keys.xml ? " has no value for " : " has no line for ";
  for (std::size_t j = 0; j < missing.size(); ++j) {
    if (j > 0) msg += ", ";
    msg += missing[j];
  }
  msg += " (needed by this run)";
  console::stop_with(msg);
}

void check_descriptor_values(const DescriptorKeys& keys, const Catchment& c,
                             const params::DesignParams& p, const params::RunSetup& setup,
                             std::string_view file_name, DdfModel model) {
  const Needs needs = needs_of(p, setup, model);
  auto positive = [&](bool needed, double value, int line, std::string_view key) {
    if (!needed || value > 0.0) return;
    std::string msg = "ERROR - catchment descriptor file ";
    msg += file_name;
    msg += ", line " + std::to_string(line) + ": value of ";
    msg += key;
    msg += " must be greater than 0";
    console::stop_with(msg);
  };
  positive(needs.SAAR4170, c.SAAR4170, keys.SAAR4170_line, keys.xml ? "saar4170" : "SAAR4170");
  positive(needs.SAAR, c.SAAR, keys.SAAR_line, keys.xml ? "saar" : "SAAR");
  positive(needs.AREA, c.AREA, keys.AREA_line, keys.xml ? "area" : "AREA");
}

}  // namespace sitedrain::rainfall
