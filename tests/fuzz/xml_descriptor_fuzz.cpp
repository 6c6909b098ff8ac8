// The FEH XML export as descriptor file, with the depth model of the run.  The
// first four bytes choose the run (model, season, point/arff/ctchm, mode,
// durations, return periods); the rest is the export.  Any export is either
// read into a catchment record from which every depth of the table comes out
// as a finite number of 0 or more, or refused with a message (a RunStop).
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "fuzz/fuzz_support.h"
#include "params/design_params.h"
#include "params/run_setup.h"
#include "rainfall/descriptor.h"
#include "rainfall/design_rainfall.h"
#include "rainfall/feh_export.h"
#include "textio/stop.h"

using namespace sitedrain;

namespace {

constexpr std::array<int, 8> kDurations = {4, 5, 15, 50, 60, 1440, 14400, 23040};
constexpr std::array<int, 8> kReturnPeriods = {1, 2, 5, 30, 100, 1000, 100000, 200000};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quiet_console();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const unsigned flags = data[0];
  const unsigned more = data[1];
  const auto model = static_cast<rainfall::DdfModel>(more % 3);

  params::DesignParams p;
  p.season_code = 1 + static_cast<int>(flags % 3);
  p.point_rainfall = (flags >> 2) & 1;
  p.areal_reduction = (flags >> 3) & 1;
  p.areal_reduction_area_code = 1 + ((flags >> 4) & 1);
  p.design_pond = (flags >> 5) & 1;  // else a rainfall-only run
  p.climate_change_factor = 1.0;
  p.decode_modes();
  params::RunSetup setup;
  for (std::size_t k = 0; k < kDurations.size(); ++k)
    if (data[2] & (1u << k)) setup.durations.push_back(kDurations[k]);
  for (std::size_t i = 0; i < kReturnPeriods.size(); ++i)
    if (data[3] & (1u << i)) setup.return_periods.push_back(kReturnPeriods[i]);
  if (setup.durations.empty()) setup.durations.push_back(60);
  if (setup.return_periods.empty()) setup.return_periods.push_back(30);
  setup.total_area = 16500.0;

  try {
    const std::string_view text = fuzz::as_text(data + 4, size - 4);
    if (!rainfall::is_xml_export(text)) return 0;
    const std::string name = "cd_Site_2024.xml";
    const rainfall::FehExport x = rainfall::parse_feh_export(text, name);
    rainfall::Catchment c;
    const rainfall::DescriptorKeys keys =
        rainfall::apply_feh_export(x, p.point_rainfall, p.areal_reduction, c);
    rainfall::use_depth_model(model, &x, p, setup, name, c);
    rainfall::check_descriptor_keys(keys, p, setup, name, model);
    rainfall::check_descriptor_values(keys, c, p, setup, name, model);

    fuzz::NullSink rain_file, log;
    const rainfall::RainfallOutcome rain = rainfall::design_rainfall(p, setup, c, rain_file, log);
    for (double depth : rain.table.v) {
      if (!(std::isfinite(depth) && depth >= 0.0)) std::fprintf(stderr, "depth %g\n", depth);
      SITEDRAIN_FUZZ_CHECK(std::isfinite(depth) && depth >= 0.0);
    }
  } catch (const RunStop&) {
  }
  return 0;
}
