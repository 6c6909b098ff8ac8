// sitedrain check: reads a case without running it, says in plain words what
// will be designed, then the warnings on its inputs.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "check/input_warnings.h"
#include "cli/case_commands.h"
#include "cli/case_files.h"
#include "params/code_names.h"
#include "params/run_setup.h"
#include "rainfall/descriptor.h"
#include "rainfall/feh_export.h"
#include "runoff/loss_model.h"
#include "site/site_file.h"
#include "site/site_keys.h"
#include "site/site_writer.h"
#include "textio/console.h"
#include "textio/stop.h"

namespace sitedrain::cli {

namespace fs = std::filesystem;

namespace {

using params::DesignParams;

std::string number(double v) {
  std::string s = site::toml_number(v);
  if (s.size() > 2 && s.ends_with(".0")) s.resize(s.size() - 2);
  return s;
}

std::string list(const std::vector<int>& v) {
  std::string s;
  for (std::size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + std::to_string(v[i]);
  return s;
}

std::string choice_words(std::span<const params::CodeName> table, int code) {
  const params::CodeName* c = params::find_code(table, code);
  return c ? std::string(c->description) : "code " + std::to_string(code);
}

// What the run will do, in words.
std::string summary(const run::CaseInput& c, const params::RunSetup& s) {
  const DesignParams& p = c.params;
  const control::RunFiles& f = c.files;
  std::string t;
  auto line = [&t](const std::string& l) { t += l + "\n"; };
  line("Case: " + (fs::current_path() / c.file).string());
  const bool design = p.storage_run() && p.runoff_only != 1;
  std::string what = p.runoff_only == 1    ? "runoff of every design storm, no structure sized"
                     : p.greenfield_only() ? "greenfield runoff rates only"
                     : p.rainfall_only()   ? "design rainfall table only"
                     : p.storage_kind == params::StorageKind::sump ? "design of a pumped sump"
                     : p.storage_kind == params::StorageKind::soakaway
                         ? "design of a soakaway"
                         : "design of an attenuation pond with a throttle-plate orifice outlet";
  line("Run: " + what);
  line("Greenfield runoff rates: " +
       (p.greenfield_rates == 1
            ? "estimated (hydrometric area " + std::to_string(p.hydrometric_area) + ")"
            : std::string("not estimated")));
  line("Descriptor file: " + f.input[1] +
       (f.location.empty() ? "" : " (location " + f.location + ")"));
  if (!p.greenfield_only()) {
    line("Rainfall: " + std::string(rainfall::ddf_model_name(f.ddf_model)) + " model, " +
         (p.point_rainfall == 1 ? "1 km point" : "catchment") + " rainfall parameters, " +
         choice_words(site::season_choices(), p.season_code) + ", storm profile " +
         choice_words(site::storm_profile_choices(), p.storm_profile_code) +
         ", climate-change factor " + number(p.climate_change_factor));
    line("Areal reduction factor: " +
         (p.areal_reduction == 1 ? "applied, for " + choice_words(site::areal_area_choices(),
                                                                  p.areal_reduction_area_code)
                                 : std::string("not applied")));
    line("Return periods (" + std::to_string(s.return_periods.size()) +
         "): " + list(s.return_periods) + " years");
    line("Storm durations (" + std::to_string(s.durations.size()) + "): " + list(s.durations) +
         " min");
  }
  line("Loss model: " + choice_words(site::loss_model_choices(), p.loss_model_code));
  double total = 0.0;
  for (int i = 0; i < p.subcatchment_count; ++i) total += p.areas_m2[static_cast<std::size_t>(i)];
  line("Sub-catchments (" + std::to_string(p.subcatchment_count) + "), total area " +
       number(total) + " m2:");
  for (int i = 0; i < p.subcatchment_count; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    const int soil = p.soil_class_per_subcatchment == 1 ? p.soil_classes[k] : p.soil_classes[0];
    line("  " + std::to_string(i + 1) + ": " + number(p.areas_m2[k]) + " m2, " +
         runoff::surface_text(p.loss_model, p.surface_codes[k]) + ", WRAP soil class " +
         params::wrap_class_text(soil));
  }
  if (design) {
    line("Storage: starting top " + number(p.top_length_m) + " m x " + number(p.top_width_m) +
         " m, maximum depth " + number(p.max_depth_m) + " m, batter 1 in " + number(p.batter_1_in));
    const bool pump = p.storage_kind == params::StorageKind::sump;
    const params::Triple& sweep = pump ? p.pump_rates_m3_per_h : p.orifice_diameters_mm;
    if (p.storage_kind == params::StorageKind::soakaway) {
      line("Outlet: the soakaway's infiltration (one outlet size)");
      line("Infiltrating sides: " + params::infiltrating_sides_text(p.soakaway_sides_code) +
           " and the base; infiltration coefficient " + number(p.infiltration_coefficient_m_per_h) +
           " m/h");
      line("Fill: " + number(p.fill_fraction) + " of the volume, voids " +
           number(1.0 - p.fill_fraction) + " (1 - fill)");
    } else {
      line(std::string(pump ? "Pump rates: " : "Orifice diameters: ") +
           std::to_string(sweep.first) + " to " + std::to_string(sweep.last) + " in steps of " +
           std::to_string(sweep.step) + (pump ? " m3/h" : " mm") + " (" +
           std::to_string(s.outlet_count) + " sizes)");
    }
    line("Half-emptying limit: " + std::to_string(p.half_emptying_limit_h) + " h");
    if (p.lagoon_ratio == 0)
      line(
          "Settlement lagoon: ratio 0 - a lagoon area is still sized for every design, with no "
          "length or width, and the report shows no lagoon");
    else
      line(std::string("Settlement lagoon: ") + (p.lagoon_ratio < 0 ? "elliptic" : "rectangular") +
           ", length-to-width ratio " +
           std::to_string(p.lagoon_ratio < 0 ? -p.lagoon_ratio : p.lagoon_ratio));
    for (const params::DischargeLimit& d : p.discharge_limits)
      line("Discharge limit: " + number(d.flow_l_per_s) + " l/s" +
           (d.return_period_years == 0
                ? std::string(" for every return period")
                : " for the " + std::to_string(d.return_period_years) + "-year return period"));
  }
  return t;
}

}  // namespace

int check_command(std::span<const std::string_view> args, const fs::path& start) {
  std::string_view case_text;
  for (std::string_view a : args) {
    if (a.size() > 1 && a[0] == '-')
      return usage_error("check: unknown option '" + std::string(a) + "'");
    if (!case_text.empty()) return usage_error("check: one CASE_DIR only");
    case_text = a;
  }
  const fs::path case_dir = (start / std::string(case_text)).lexically_normal();
  std::error_code ec;
  if (!fs::is_directory(case_dir, ec))
    return usage_error("check: no folder '" + std::string(case_text) + "'");
  std::optional<run::CaseInput> c = load_case(case_dir, "check");
  if (!c) return 1;
  DesignParams& p = c->params;
  std::optional<params::RunSetup> setup;
  rainfall::Catchment catchment;
  bool have_catchment = false;
  try {
    setup = params::make_run_setup(p);
    // The descriptor file, checked as the run checks it.
    textio::LineReader in;
    if (!in.open(c->files.input[1]))
      console::stop_with("ERROR opening file" + textio::padded_file_name(c->files.input[1]));
    std::optional<rainfall::FehExport> xml;
    std::vector<std::string> lines;
    if (std::optional<std::string> text = rainfall::read_xml_export_text(c->files.input[1])) {
      xml = rainfall::parse_feh_export(*text, c->files.input[1]);
    } else {
      lines = rainfall::read_descriptor_lines(in, c->files.numline);
      rainfall::parse_grid_reference(lines.empty() ? std::string() : lines.front(),
                                     c->files.input[1], catchment);
    }
    control::output_names(c->files, p.season_code, c->file);
    rainfall::DescriptorKeys keys =
        xml ? rainfall::apply_feh_export(*xml, p.point_rainfall, p.areal_reduction, catchment)
            : rainfall::parse_descriptor_values(lines, p.point_rainfall, p.areal_reduction,
                                                c->files.input[1], catchment);
    rainfall::use_depth_model(c->files.ddf_model, xml ? &*xml : nullptr, p, *setup,
                              c->files.input[1], catchment);
    rainfall::check_descriptor_keys(keys, p, *setup, c->files.input[1], c->files.ddf_model);
    rainfall::check_descriptor_values(keys, catchment, p, *setup, c->files.input[1],
                                      c->files.ddf_model);
    have_catchment = true;
  } catch (const RunStop&) {
    console::flush();
    return 1;
  }
  console::flush();
  std::fputs(summary(*c, *setup).c_str(), stdout);

  const bool legacy = c->file == site::kControlFileName;
  const rainfall::Catchment* read_catchment = have_catchment ? &catchment : nullptr;
  std::vector<check::InputWarning> warnings =
      legacy ? check::legacy_case_warnings(c->files.input[0], &p, &*setup, read_catchment)
             : check::design_value_warnings(p, *setup, read_catchment, c->file);
  if (!legacy) {
    // The warnings name the records of the parameter file; a site file has
    // keys.
    site::SiteCase s = site::read_site_file(c->file);
    for (check::InputWarning& w : warnings) {
      w.field = site::site_key_of_record(w.field);
      w.file = c->file;
      if (const auto it = s.lines.find(w.field); it != s.lines.end()) w.line = it->second;
    }
  }
  if (warnings.empty()) std::fputs("No warnings.\n", stdout);
  for (const check::InputWarning& w : warnings)
    std::fputs((check::warning_line(w) + "\n").c_str(), stdout);
  return 0;
}

}  // namespace sitedrain::cli
