#include "site/site_writer.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "params/code_names.h"
#include "runoff/loss_model.h"
#include "site/site_keys.h"

namespace sitedrain::site {

namespace {

using params::CodeName;
using params::DesignParams;

std::string rtrim(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

// A TOML basic string: quotes, backslashes and control characters escaped.
std::string toml_string(std::string_view s) {
  std::string out = "\"";
  for (char ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 32 || c == 127) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", c);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string key_text(std::span<const CodeName> table, int code, std::string_view record) {
  if (const CodeName* c = params::find_code(table, code)) return toml_string(c->key);
  throw ConvertError(std::string(record) + " = " + std::to_string(code) +
                     " has no name in a site file");
}

std::string triple_text(const params::Triple& t) {
  return "{ from = " + std::to_string(t.first) + ", to = " + std::to_string(t.last) +
         ", step = " + std::to_string(t.step) + " }";
}

template <std::size_t N>
std::string series_text(bool generated, int count, const std::array<int, N>& v) {
  if (generated) return triple_text({v[0], v[1], v[2]});
  std::string s = "[";
  for (int i = 0; i < count; ++i)
    s += (i ? ", " : "") + std::to_string(v[static_cast<std::size_t>(i)]);
  return s + "]";
}

void require_flag(int v, std::string_view record) {
  if (v != 0 && v != 1)
    throw ConvertError(std::string(record) + " = " + std::to_string(v) +
                       " has no name in a site file (0 or 1)");
}

// A key's value in the site file and whether the run uses the key.
struct Value {
  std::string text;  // empty: the key is not written
  bool used = true;
};

class Writer {
 public:
  Writer(const DesignParams& p, const control::RunFiles& f, const WriteOptions& o)
      : p_(p), f_(f), o_(o) {
    require_flag(p.design_pond, "ponds");
    require_flag(p.runoff_only, "rnf");
    require_flag(p.design_sump, "sump");
    require_flag(p.design_soakaway, "soak");
    require_flag(p.greenfield_rates, "grnff");
    require_flag(p.diagnostic_series, "diagf");
    require_flag(p.point_rainfall, "point");
    require_flag(p.areal_reduction, "arff");
    require_flag(p.return_periods_generated, "calcrp");
    require_flag(p.durations_generated, "caldur");
    if (p.design_pond + p.design_sump + p.design_soakaway + p.runoff_only > 1)
      throw ConvertError("ponds = " + std::to_string(p.design_pond) +
                         ", sump = " + std::to_string(p.design_sump) +
                         ", soak = " + std::to_string(p.design_soakaway) +
                         ", rnf = " + std::to_string(p.runoff_only) +
                         ": a site file names one storage (or runoff only); set the others to 0");
    if (params::find_loss_model_code(p.loss_model_code) == nullptr)
      throw ConvertError("rom = " + std::to_string(p.loss_model_code) +
                         " has no name in a site file (loss models " +
                         std::to_string(params::kLossModelCodes.front().code) + " to " +
                         std::to_string(params::kLossModelCodes.back().code) + ")");
    model_ = params::decode_loss_model(p.loss_model_code);
    design_ = p.storage_run() && p.runoff_only != 1;
    greenfield_only_ = p.greenfield_only();
  }

  std::string text();

 private:
  const DesignParams& p_;
  const control::RunFiles& f_;
  const WriteOptions& o_;
  params::LossModel model_;
  bool design_ = false;
  bool greenfield_only_ = false;

  Value top_value(const SiteKey& k) const;
  std::optional<Value> run_value(std::string_view n) const;
  std::optional<Value> rainfall_value(std::string_view n) const;
  std::optional<Value> storage_value(std::string_view n) const;
  // A key with a default: written when the case holds another value (and
  // always in a commented file).
  Value defaulted(bool is_default, std::string text) const {
    if (is_default && !o_.commented) return {"", false};
    return {std::move(text), true};
  }
  void entry(std::string& out, const SiteKey& k, const Value& v) const;
};

// The reader's default of a value the run does not use: written only when
// the case holds another value, so that the site file gives the very same
// parameter set.
Value unused_unless(bool used, bool is_default, std::string text) {
  if (!used && is_default) return {"", false};
  return {std::move(text), used};
}

Value Writer::top_value(const SiteKey& k) const {
  if (std::optional<Value> v = run_value(k.name)) return *v;
  if (std::optional<Value> v = rainfall_value(k.name)) return *v;
  if (std::optional<Value> v = storage_value(k.name)) return *v;
  return {"", false};
}

// The files and what the run computes.
std::optional<Value> Writer::run_value(std::string_view n) const {
  const DesignParams& p = p_;
  if (n == "descriptor_file")
    return Value{toml_string(o_.descriptor.empty() ? rtrim(f_.input[1]) : o_.descriptor)};
  if (n == "descriptor_lines")
    return defaulted(f_.numline == kDefaultDescriptorLines, std::to_string(f_.numline));
  if (n == "run") {
    const int run = p.runoff_only == 1        ? run_runoff_only
                    : p.storage_run()         ? run_design
                    : p.greenfield_rates == 1 ? run_greenfield_only
                                              : run_rainfall_only;
    return Value{toml_string(run_choices()[static_cast<std::size_t>(run)].key)};
  }
  if (n == "storage") {
    const int s = !design_                 ? storage_none
                  : p.design_sump == 1     ? storage_sump
                  : p.design_soakaway == 1 ? storage_soakaway
                                           : storage_pond;
    if (!design_ && !o_.commented) return Value{"", false};
    return Value{toml_string(storage_choices()[static_cast<std::size_t>(s)].key)};
  }
  if (n == "greenfield_rates") {
    if (greenfield_only_ || !p.storage_run()) return Value{"", false};
    return defaulted(p.greenfield_rates == 0, p.greenfield_rates == 1 ? "true" : "false");
  }
  if (n == "hydrometric_area")
    return unused_unless(p.greenfield_rates == 1, p.hydrometric_area == 0,
                         std::to_string(p.hydrometric_area));
  if (n == "diagnostic_series")
    return defaulted(p.diagnostic_series == 0, p.diagnostic_series == 1 ? "true" : "false");
  return std::nullopt;
}

// The rainfall, the loss model and the soil class of the site.
std::optional<Value> Writer::rainfall_value(std::string_view n) const {
  const DesignParams& p = p_;
  const bool rain = !greenfield_only_;
  if (n == "rainfall_model") {
    const int m = static_cast<int>(f_.ddf_model);
    return defaulted(m == 0, key_text(rainfall_model_choices(), m, "DDFMODEL"));
  }
  if (n == "rainfall_estimate")
    return defaulted(p.point_rainfall == 0,
                     key_text(rainfall_estimate_choices(), p.point_rainfall, "point"));
  if (n == "areal_reduction")
    return unused_unless(rain, p.areal_reduction == 0, p.areal_reduction == 1 ? "true" : "false");
  if (n == "areal_reduction_area") {
    if (p.areal_reduction_area_code != 1 && p.areal_reduction_area_code != 2) {
      if (rain)
        throw ConvertError("ctchm = " + std::to_string(p.areal_reduction_area_code) +
                           " has no name (1 or 2)");
      return Value{"", false};
    }
    return unused_unless(rain && p.areal_reduction == 1, p.areal_reduction_area_code == 1,
                         key_text(areal_area_choices(), p.areal_reduction_area_code, "ctchm"));
  }
  if (n == "season") {
    if (p.season_code < 1 || p.season_code > 3) {
      if (rain) throw ConvertError("season = " + std::to_string(p.season_code) + " has no name");
      return Value{"", false};
    }
    return unused_unless(rain, false, key_text(season_choices(), p.season_code, "season"));
  }
  if (n == "storm_profile")
    return unused_unless(rain, p.storm_profile_code == 1,
                         key_text(storm_profile_choices(), p.storm_profile_code, "strmprf"));
  if (n == "climate_change_factor")
    return unused_unless(rain, p.climate_change_factor == 0.0,
                         toml_number(p.climate_change_factor));
  if (n == "return_periods_years")
    return unused_unless(rain, p.return_period_count == 0,
                         series_text(p.return_periods_generated == 1, p.return_period_count,
                                     p.return_periods_years));
  if (n == "durations_min")
    return unused_unless(
        rain, p.duration_count == 0,
        series_text(p.durations_generated == 1, p.duration_count, p.durations_min));
  if (n == "loss_model") return Value{key_text(loss_model_choices(), p.loss_model_code, "rom")};
  if (n == "soil_class") {
    if (p.soil_class_per_subcatchment == 1) return Value{o_.commented ? "\"low\"" : "", false};
    return Value{key_text(params::wrap_soil_classes(), p.soil_classes[0], "soilFSR")};
  }
  return std::nullopt;
}

// The structure and the design criteria.
std::optional<Value> Writer::storage_value(std::string_view n) const {
  const DesignParams& p = p_;
  if (n == "top_length_m")
    return unused_unless(design_, p.top_length_m == 0.0,
                         std::to_string(static_cast<long long>(p.top_length_m)));
  if (n == "top_width_m")
    return unused_unless(design_, p.top_width_m == 0.0,
                         std::to_string(static_cast<long long>(p.top_width_m)));
  if (n == "max_depth_m")
    return unused_unless(design_, p.max_depth_m == 0.0, toml_number(p.max_depth_m));
  if (n == "batter_1_in")
    return unused_unless(design_, p.batter_1_in == 0.0, toml_number(p.batter_1_in));
  if (n == "orifice_diameters_mm")
    return unused_unless(p.design_pond == 1,
                         p.orifice_diameters_mm.first == 0 && p.orifice_diameters_mm.last == 0 &&
                             p.orifice_diameters_mm.step == 0,
                         triple_text(p.orifice_diameters_mm));
  if (n == "pump_rates_m3_per_h")
    return unused_unless(p.design_sump == 1,
                         p.pump_rates_m3_per_h.first == 0 && p.pump_rates_m3_per_h.last == 0 &&
                             p.pump_rates_m3_per_h.step == 0,
                         triple_text(p.pump_rates_m3_per_h));
  if (n == "soakaway_sides") {
    const int code =
        p.soakaway_sides_code >= 0 && p.soakaway_sides_code <= 7 ? p.soakaway_sides_code : 8;
    if (p.design_soakaway == 1 && code != p.soakaway_sides_code && code != 8)
      throw ConvertError("sideno = " + std::to_string(p.soakaway_sides_code) + " has no name");
    return unused_unless(p.design_soakaway == 1, p.soakaway_sides_code == 0,
                         key_text(params::soakaway_side_sets(), code, "sideno"));
  }
  if (n == "fill_fraction")
    return unused_unless(p.design_soakaway == 1, p.fill_fraction == 0.0,
                         toml_number(p.fill_fraction));
  if (n == "infiltration_coefficient_m_per_h")
    return unused_unless(p.design_soakaway == 1, p.infiltration_coefficient_m_per_h == 0.0,
                         toml_number(p.infiltration_coefficient_m_per_h));
  if (n == "half_emptying_limit_h")
    return unused_unless(design_, p.half_emptying_limit_h == 0,
                         std::to_string(p.half_emptying_limit_h));
  if (n == "lagoon_length_to_width")
    return unused_unless(design_, p.lagoon_ratio == 0,
                         std::to_string(p.lagoon_ratio < 0 ? -static_cast<long long>(p.lagoon_ratio)
                                                           : p.lagoon_ratio));
  if (n == "lagoon_shape")
    return defaulted(p.lagoon_ratio >= 0,
                     toml_string(p.lagoon_ratio < 0 ? "elliptic" : "rectangular"));
  if (n == "discharge_limit_l_per_s") {
    if (p.discharge_limits.empty()) return Value{o_.commented ? "5.0" : "", false};
    if (p.discharge_limits.size() == 1 && p.discharge_limits[0].return_period_years == 0)
      return Value{toml_number(p.discharge_limits[0].flow_l_per_s)};
    std::string s = "{ ";
    for (std::size_t i = 0; i < p.discharge_limits.size(); ++i)
      s += (i ? ", " : "") + std::to_string(p.discharge_limits[i].return_period_years) + " = " +
           toml_number(p.discharge_limits[i].flow_l_per_s);
    return Value{s + " }"};
  }
  return std::nullopt;
}

void Writer::entry(std::string& out, const SiteKey& k, const Value& v) const {
  if (o_.commented) {
    out += "\n# " + std::string(k.help);
    if (!k.unit.empty()) out += " [" + std::string(k.unit) + "]";
    out += "\n#   ";
    const std::span<const CodeName> choices = key_choices(k, model_);
    if (!choices.empty() && k.type != ValueType::soil_class) {
      out += "one of:";
      for (const CodeName& c : choices) out += " \"" + std::string(c.key) + "\"";
    } else {
      out += std::string(k.allowed);
    }
    out += "; ";
    out += !k.default_value.empty()       ? "default " + std::string(k.default_value)
           : k.needed == Needed::optional ? std::string("optional")
                                          : "needed " + std::string(needed_text(k.needed));
    out += "\n";
  }
  if (v.text.empty()) return;
  if (!v.used && o_.commented) out += "# ";
  out += std::string(k.name) + " = " + v.text + "\n";
}

std::string Writer::text() {
  std::string out;
  if (o_.commented)
    out +=
        "# sitedrain site file: one case, every value by name.  Comments start with #.\n"
        "# Names of files are relative to this file.  `sitedrain check` shows what will\n"
        "# be designed; keys written behind # are not used by this run.\n";
  std::string_view group;
  for (const SiteKey& k : site_keys()) {
    if (k.section != Section::top || k.name == "subcatchment" || k.name == "output_files") continue;
    if (o_.commented && k.group != group) {
      group = k.group;
      out += "\n# ---- " + std::string(group) + " ----\n";
    }
    entry(out, k, top_value(k));
  }
  for (int i = 0; i < p_.subcatchment_count; ++i) {
    const std::size_t s = static_cast<std::size_t>(i);
    out += "\n[[subcatchment]]\n";
    for (const SiteKey& k : site_keys()) {
      if (k.section != Section::subcatchment) continue;
      Value v;
      if (k.name == "area_m2") {
        v.text = toml_number(p_.areas_m2[s]);
      } else if (k.name == "surface") {
        v.text = key_text(runoff::surface_types(model_), p_.surface_codes[s], "surface");
      } else if (p_.soil_class_per_subcatchment == 1) {
        v.text = key_text(params::wrap_soil_classes(), p_.soil_classes[s], "soilFSR");
      }
      if (i > 0 && o_.commented) {
        if (!v.text.empty()) out += std::string(k.name) + " = " + v.text + "\n";
      } else {
        entry(out, k, v);
      }
    }
  }
  const std::span<const std::string_view> defaults = default_output_names();
  std::string outputs;
  std::size_t j = 0;
  for (const SiteKey& k : site_keys()) {
    if (k.section != Section::output_files) continue;
    const std::string name = rtrim(f_.opath[j]) + rtrim(f_.ofilename[j]);
    const bool is_default = name == defaults[j];
    // The run rebuilds the names of output 1 and of the season's file from
    // the parts of the name; the site file must give the same name.
    const std::size_t slash = name.find_last_of("/\\");
    const std::string path = slash == std::string::npos ? "" : name.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    if (control::rebuild_name(path, file) != control::rebuild_name(f_.opath[j], f_.ofilename[j]))
      throw ConvertError("OPATH(" + std::to_string(j + 1) + ") and OFILENAME(" +
                         std::to_string(j + 1) + ") give a name a site file cannot hold: " + name);
    if (name.empty()) throw ConvertError("OFILENAME(" + std::to_string(j + 1) + ") is empty");
    if (!is_default || o_.commented) {
      if (o_.commented) {
        Value v{toml_string(name), true};
        entry(outputs, k, v);
      } else {
        outputs += std::string(k.name) + " = " + toml_string(name) + "\n";
      }
    }
    ++j;
  }
  if (!outputs.empty()) {
    out += "\n";
    if (o_.commented) out += "# Names of the eight output files, relative to this file.\n";
    out += "[output_files]\n" + outputs;
  }
  return out;
}

}  // namespace

std::string toml_number(double v) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, ec == std::errc() ? end : buf);
  if (s.find_first_of(".eEn") == std::string::npos) s += ".0";  // n: inf, nan
  return s;
}

std::string site_file_text(const params::DesignParams& p, const control::RunFiles& files,
                           const WriteOptions& options) {
  return Writer(p, files, options).text();
}

}  // namespace sitedrain::site
