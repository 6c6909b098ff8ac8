#include "site/legacy_writer.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include "textio/fixed_field.h"

namespace sitedrain::site {

namespace {

// Column 1 the marker, columns 2-16 the label, the value from column 17.
constexpr std::size_t kLabelWidth = 15;
constexpr int kShortField = 6;  // integers and reals with implied decimals
constexpr int kLongField = 12;  // reals without implied decimals

std::string label(std::string_view key, bool keyword) {
  std::string s(keyword ? "*" : " ");
  s += keyword ? key : std::string_view();
  s.resize(1 + kLabelWidth, ' ');
  return s;
}

std::string right(const std::string& text, int width) {
  return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

std::string whole_field(long long v, std::string_view key) {
  std::string t = std::to_string(v);
  if (t.size() > static_cast<std::size_t>(kShortField))
    throw ConvertError(std::string(key) + " = " + t + " does not fit the " +
                       std::to_string(kShortField) + " columns of its record");
  return right(t, kShortField);
}

// The shortest text of at most width characters, with a decimal point, that
// the parameter file's reader reads back as exactly v.
std::string real_field(double v, int implied, int width, std::string_view key) {
  std::optional<std::string> best;
  auto consider = [&](std::string t) {
    if (t.find('.') == std::string::npos) {
      const std::size_t e = t.find_first_of("eE");
      t.insert(e == std::string::npos ? t.size() : e, ".");
    }
    if (t.size() > static_cast<std::size_t>(width)) return;
    const std::optional<double> back = textio::parse_real(t, implied);
    if (!back || std::memcmp(&*back, &v, sizeof v) != 0) return;
    if (!best || t.size() < best->size()) best = t;
  };
  char buf[64];
  for (int p = 1; p <= 17; ++p) {
    std::snprintf(buf, sizeof buf, "%.*g", p, v);
    consider(buf);
    std::snprintf(buf, sizeof buf, "%.*f", p - 1, v);
    consider(buf);
  }
  if (!best) {
    throw ConvertError(std::string(key) + " = " + toml_number(v) +
                       " cannot be written exactly in the " + std::to_string(width) +
                       " columns of its record");
  }
  return right(*best, width);
}

class Records {
 public:
  void whole(std::string_view key, long long v, bool keyword = true) {
    text_ += label(key, keyword) + whole_field(v, key) + "\n";
  }
  void triple(std::string_view key, const params::Triple& t) {
    text_ += label(key, true) + whole_field(t.first, key) + whole_field(t.last, key) +
             whole_field(t.step, key) + "\n";
  }
  void real(std::string_view key, double v, int implied, int width, bool keyword = true) {
    text_ += label(key, keyword) + real_field(v, implied, width, key) + "\n";
  }
  template <class List>
  void wholes(std::string_view key, const List& values, int count) {
    for (int i = 0; i < count; ++i) whole(key, values[static_cast<std::size_t>(i)], i == 0);
  }
  std::string text_;
};

std::string quoted(std::string_view s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::pair<std::string, std::string> split(const std::string& name) {
  const std::size_t slash = name.find_last_of("/\\");
  if (slash == std::string::npos) return {"", name};
  return {name.substr(0, slash + 1), name.substr(slash + 1)};
}

void check_length(const std::string& s, const std::string& item) {
  if (s.size() > control::kNameLength)
    throw ConvertError(item + " has " + std::to_string(s.size()) + " characters, more than the " +
                       std::to_string(control::kNameLength) + " of the control file");
}

}  // namespace

LegacyTexts legacy_texts(const params::DesignParams& p, const control::RunFiles& files,
                         const std::string& parameter_file, const std::string& descriptor) {
  Records r;
  r.whole("ponds", p.design_pond);
  r.whole("grnff", p.greenfield_rates);
  r.whole("hydromarea", p.hydrometric_area);
  r.whole("diagf", p.diagnostic_series);
  r.whole("rnf", p.runoff_only);
  r.whole("season", p.season_code);
  r.whole("calcrp", p.return_periods_generated);
  r.whole("caldur", p.durations_generated);
  r.whole("nrp", p.return_period_count);
  r.wholes("rp", p.return_periods_years, p.return_period_count);
  r.whole("ndur", p.duration_count);
  r.wholes("dur", p.durations_min, p.duration_count);
  r.real("cchgfac", p.climate_change_factor, 2, kShortField);
  r.whole("rom", p.loss_model_code);
  r.whole("nsubc", p.subcatchment_count);
  r.wholes("surface", p.surface_codes, p.subcatchment_count);
  r.whole("wrapf", p.soil_class_per_subcatchment);
  r.wholes("soilFSR", p.soil_classes,
           p.soil_class_per_subcatchment == 1 ? p.subcatchment_count : 1);
  r.whole("fixed", p.fixed_code);
  r.whole("point", p.point_rainfall);
  r.whole("arff", p.areal_reduction);
  r.whole("ctchm", p.areal_reduction_area_code);
  r.whole("strmprf", p.storm_profile_code);
  r.whole("topl", static_cast<long long>(p.top_length_m));
  r.whole("topw", static_cast<long long>(p.top_width_m));
  r.triple("tpod", p.orifice_diameters_mm);
  r.whole("sump", p.design_sump);
  r.triple("pumprate", p.pump_rates_m3_per_h);
  r.whole("soak", p.design_soakaway);
  r.whole("sideno", p.soakaway_sides_code);
  r.real("ffill", p.fill_fraction, 4, kShortField);
  r.real("infiltco", p.infiltration_coefficient_m_per_h, 4, kShortField);
  r.whole("rhmpt", p.half_emptying_limit_h);
  r.whole("lagoonratio", p.lagoon_ratio);
  r.real("maxdepth", p.max_depth_m, 0, kLongField);
  r.real("batter", p.batter_1_in, 0, kLongField);
  for (int i = 0; i < p.subcatchment_count; ++i)
    r.real("area", p.areas_m2[static_cast<std::size_t>(i)], 0, kLongField, i == 0);
  r.whole("databaseid", p.database_id);
  if (!p.discharge_limits.empty())
    throw ConvertError(
        "discharge_limit_l_per_s has no record in the parameter file; leave it out to convert");

  const auto [ipath, ifile] = split(descriptor);
  check_length(ipath, "the descriptor file's folder");
  check_length(ifile, "the descriptor file's name");
  check_length(parameter_file, "the parameter file's name");
  std::string c = "&IFILES\n";
  c += " IPATH = ' ', " + quoted(ipath.empty() ? " " : ipath) + ",\n";
  c += " OPATH =";
  for (std::size_t j = 0; j < 8; ++j) {
    check_length(files.opath[j], "OPATH(" + std::to_string(j + 1) + ")");
    c += std::string(j ? ", " : " ") + quoted(files.opath[j].empty() ? " " : files.opath[j]);
  }
  c += ",\n IFILENAME = " + quoted(parameter_file) + ", " + quoted(ifile) + ",\n";
  c += " OFILENAME =";
  for (std::size_t j = 0; j < 8; ++j) {
    check_length(files.ofilename[j], "OFILENAME(" + std::to_string(j + 1) + ")");
    c += std::string(j ? ", " : " ") + quoted(files.ofilename[j]);
  }
  c += ",\n NUMLINE = " + std::to_string(files.numline) + "\n";
  if (files.ddf_model == rainfall::DdfModel::FEH13) c += " DDFMODEL = 'FEH13'\n";
  if (files.ddf_model == rainfall::DdfModel::FEH22) c += " DDFMODEL = 'FEH22'\n";
  c += "/\n";
  return {c, r.text_};
}

}  // namespace sitedrain::site
