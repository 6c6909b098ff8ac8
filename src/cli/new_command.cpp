// sitedrain new: a site file with every key explained, for a small site.
#include <cstdio>
#include <fstream>
#include <string>
#include <system_error>

#include "cli/case_commands.h"
#include "control/control_file.h"
#include "params/design_params.h"
#include "site/site_file.h"
#include "site/site_keys.h"
#include "site/site_writer.h"

namespace sitedrain::cli {

namespace fs = std::filesystem;

namespace {

// The bundled example's descriptor file, the default name of a new case's.
constexpr std::string_view kExampleDescriptor = "cd_Hexham_2023_v2.csv";

// A small realistic site: two sub-catchments of 1.65 ha and 0.72 ha in
// Northumberland, rainfall as the bundled example gives it.
params::DesignParams example_site(int storage) {
  params::DesignParams p;
  p.design_pond = storage == site::storage_pond;
  p.design_sump = storage == site::storage_sump;
  p.design_soakaway = storage == site::storage_soakaway;
  p.runoff_only = storage == site::storage_none;
  p.greenfield_rates = 0;
  p.hydrometric_area = 22;
  p.season_code = 1;
  p.return_period_count = 3;
  p.return_periods_years[0] = 1;
  p.return_periods_years[1] = 30;
  p.return_periods_years[2] = 100;
  p.duration_count = 3;
  p.durations_min[0] = 60;
  p.durations_min[1] = 120;
  p.durations_min[2] = 240;
  p.climate_change_factor = 1.4;
  p.loss_model_code = 2;
  p.subcatchment_count = 2;
  p.surface_codes[0] = 9;
  p.surface_codes[1] = 5;
  p.soil_class_per_subcatchment = 1;
  p.soil_classes[0] = 4;
  p.soil_classes[1] = 3;
  p.areal_reduction = 1;
  p.areal_reduction_area_code = 2;
  p.storm_profile_code = 3;
  p.top_length_m = 30;
  p.top_width_m = 15;
  p.orifice_diameters_mm = {75, 125, 25};
  p.pump_rates_m3_per_h = {20, 80, 20};
  p.soakaway_sides_code = 8;
  p.fill_fraction = 0.3;
  p.infiltration_coefficient_m_per_h = 0.05;
  p.half_emptying_limit_h = 24;
  p.lagoon_ratio = 2;
  p.max_depth_m = 1.5;
  p.batter_1_in = 3.0;
  p.areas_m2[0] = 16500.0;
  p.areas_m2[1] = 7200.0;
  return p;
}

}  // namespace

int new_command(std::span<const std::string_view> args, const fs::path& start) {
  int storage = site::storage_pond;
  std::string_view descriptor_text, dir_text;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view a = args[i], value;
    std::string_view name = a;
    const bool option = a.size() > 1 && a[0] == '-';
    if (option) {
      bool has_value = false;
      if (const auto eq = a.find('='); eq != std::string_view::npos) {
        name = a.substr(0, eq);
        value = a.substr(eq + 1);
        has_value = true;
      }
      if (name != "--storage" && name != "--descriptor")
        return usage_error("new: unknown option '" + std::string(name) + "'");
      if (!has_value && i + 1 < args.size()) {
        value = args[++i];
        has_value = true;
      }
      if (!has_value || value.empty())
        return usage_error("new: " + std::string(name) + " needs a value");
      if (name == "--storage") {
        const auto code = params::find_key(site::storage_choices(), value);
        if (!code)
          return usage_error("new: --storage is pond, sump, soakaway or none, not '" +
                             std::string(value) + "'");
        storage = *code;
      } else {
        descriptor_text = value;
      }
      continue;
    }
    if (!dir_text.empty()) return usage_error("new: one DIR only");
    dir_text = a;
  }
  if (dir_text.empty()) return usage_error("new: the folder DIR of the new case is missing");

  const fs::path dir = (start / std::string(dir_text)).lexically_normal();
  std::error_code ec;
  if (fs::exists(dir, ec) && !fs::is_directory(dir, ec))
    return usage_error("new: '" + std::string(dir_text) + "' is a file, not a folder");
  for (std::string_view existing : {site::kSiteFileName, site::kControlFileName}) {
    if (fs::exists(dir / existing, ec)) {
      std::fprintf(stderr, "sitedrain: new: %s holds a case already (%s); nothing written\n",
                   dir.string().c_str(), std::string(existing).c_str());
      return 1;
    }
  }
  fs::path descriptor_from;
  std::string descriptor_name(kExampleDescriptor);
  if (!descriptor_text.empty()) {
    descriptor_from = (start / std::string(descriptor_text)).lexically_normal();
    if (!fs::is_regular_file(descriptor_from, ec))
      return usage_error("new: no descriptor file '" + std::string(descriptor_text) + "'");
    descriptor_name = descriptor_from.filename().string();
  }

  params::DesignParams p = example_site(storage);
  control::RunFiles files;
  files.input[1] = descriptor_name;
  files.numline = site::kDefaultDescriptorLines;
  for (std::size_t j = 0; j < 8; ++j) files.ofilename[j] = site::default_output_names()[j];
  site::WriteOptions options;
  options.commented = true;
  const std::string text = site::site_file_text(p, files, options);

  fs::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "sitedrain: new: cannot create the folder %s: %s\n", dir.string().c_str(),
                 ec.message().c_str());
    return 1;
  }
  const fs::path copy = dir / descriptor_name;
  if (!descriptor_from.empty() && !fs::equivalent(descriptor_from, copy, ec)) {
    if (fs::exists(copy, ec)) {
      std::fprintf(stderr, "sitedrain: new: %s exists already; nothing written\n",
                   copy.string().c_str());
      return 1;
    }
    fs::copy_file(descriptor_from, copy, ec);
    if (ec) {
      std::fprintf(stderr, "sitedrain: new: cannot copy %s: %s\n", descriptor_from.string().c_str(),
                   ec.message().c_str());
      return 1;
    }
  }
  const fs::path target = dir / site::kSiteFileName;
  {
    std::ofstream out(target, std::ios::binary);
    out << text;
    out.close();
    if (out.fail()) {
      fs::remove(target, ec);
      std::fprintf(stderr, "sitedrain: new: cannot write %s\n", target.string().c_str());
      return 1;
    }
  }
  std::printf("Wrote %s\n", target.string().c_str());
  if (!fs::exists(copy, ec))
    std::printf(
        "Put the catchment descriptor file %s beside it (the bundled example's is\n"
        "examples/pond_design/%s), or change descriptor_file; then run\n"
        "  sitedrain check %s\n  sitedrain %s\n",
        descriptor_name.c_str(), std::string(kExampleDescriptor).c_str(),
        std::string(dir_text).c_str(), std::string(dir_text).c_str());
  else
    std::printf("Check it with `sitedrain check %s`, run it with `sitedrain %s`.\n",
                std::string(dir_text).c_str(), std::string(dir_text).c_str());
  return 0;
}

}  // namespace sitedrain::cli
