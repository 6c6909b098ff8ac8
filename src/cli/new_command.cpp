// sitedrain new: a site file with every key explained, for a small site.
#include <cstdio>
#include <fstream>
#include <string>
#include <system_error>

#include "cli/case_commands.h"
#include "params/design_params.h"
#include "run/control_file.h"
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
  p.ponds = storage == site::storage_pond;
  p.sump = storage == site::storage_sump;
  p.soak = storage == site::storage_soakaway;
  p.rnf = storage == site::storage_none;
  p.grnff = 0;
  p.hydromarea = 22;
  p.season = 1;
  p.nrp = 3;
  p.rp[0] = 1;
  p.rp[1] = 30;
  p.rp[2] = 100;
  p.ndur = 3;
  p.dur[0] = 60;
  p.dur[1] = 120;
  p.dur[2] = 240;
  p.cchgfac = 1.4;
  p.rom = 2;
  p.nsubc = 2;
  p.surface[0] = 9;
  p.surface[1] = 5;
  p.wrapf = 1;
  p.soilFSR[0] = 4;
  p.soilFSR[1] = 3;
  p.arff = 1;
  p.ctchm = 2;
  p.strmprf = 3;
  p.topl = 30;
  p.topw = 15;
  p.tpod = {75, 125, 25};
  p.pumprate = {20, 80, 20};
  p.sideno = 8;
  p.ffill = 0.3;
  p.infiltco = 0.05;
  p.rhmpt = 24;
  p.lagoonratio = 2;
  p.maxdepth = 1.5;
  p.batter = 3.0;
  p.area[0] = 16500.0;
  p.area[1] = 7200.0;
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
  run::RunFiles files;
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
