// The catchment descriptor reader and the design rainfall table.  The first
// four bytes choose the run (line count, season, point/arff/ctchm, mode,
// durations, return periods); the rest is the descriptor file.  Any file is
// either read into a catchment record from which every depth of the table,
// and the greenfield rates, come out as finite numbers of 0 or more, or
// refused with a message (a RunStop).
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "fuzz/fuzz_support.h"
#include "greenfield/greenfield.h"
#include "params/design_params.h"
#include "params/run_setup.h"
#include "rainfall/descriptor.h"
#include "rainfall/design_rainfall.h"
#include "textio/stop.h"

using namespace sitedrain;

namespace {

constexpr std::array<int, 8> kDurations = {5, 15, 30, 60, 360, 1440, 5760, 23040};
constexpr std::array<int, 8> kReturnPeriods = {1, 2, 5, 30, 100, 1000, 10000, 100000};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quiet_console();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const int numline = 1 + data[0] % 40;
  const unsigned flags = data[1];
  const unsigned dur_bits = data[2];
  const unsigned rp_bits = data[3];

  params::DesignParams p;
  p.season_code = 1 + static_cast<int>(flags % 3);
  p.point_rainfall = (flags >> 2) & 1;
  p.areal_reduction = (flags >> 3) & 1;
  p.areal_reduction_area_code = 1 + ((flags >> 4) & 1);
  p.greenfield_rates = (flags >> 5) & 1;
  p.hydrometric_area = 22;
  switch (flags >> 6) {
    case 0: p.design_pond = 1; break;
    case 1: p.runoff_only = 1; break;
    case 2: p.design_soakaway = 1; break;
    default: break;  // rainfall-only, or greenfield-only with grnff
  }
  p.climate_change_factor = 1.0;
  p.subcatchment_count = 2;
  p.areas_m2[0] = 16500.0;
  p.areas_m2[1] = 7200.0;
  p.soil_classes[0] = 4;
  p.soil_classes[1] = 3;
  p.soil_class_per_subcatchment = 1;
  p.decode_modes();

  params::RunSetup setup;
  for (std::size_t k = 0; k < kDurations.size(); ++k)
    if (dur_bits & (1u << k)) setup.durations.push_back(kDurations[k]);
  for (std::size_t i = 0; i < kReturnPeriods.size(); ++i)
    if (rp_bits & (1u << i)) setup.return_periods.push_back(kReturnPeriods[i]);
  if (setup.durations.empty()) setup.durations.push_back(60);
  if (setup.return_periods.empty()) setup.return_periods.push_back(30);
  p.duration_count = static_cast<int>(setup.durations.size());
  p.return_period_count = static_cast<int>(setup.return_periods.size());
  setup.total_area = p.areas_m2[0] + p.areas_m2[1];

  try {
    textio::LineReader in;
    in.open_text(std::string(fuzz::as_text(data + 4, size - 4)), "cd_Site_2024.csv");
    rainfall::Catchment c;
    const std::vector<std::string> lines = rainfall::read_descriptor_lines(in, numline);
    rainfall::parse_grid_reference(lines.front(), in.name(), c);
    const rainfall::DescriptorKeys keys =
        rainfall::parse_descriptor_values(lines, p.point_rainfall, p.areal_reduction, in.name(), c);
    rainfall::check_descriptor_keys(keys, p, setup, in.name());
    rainfall::check_descriptor_values(keys, c, p, setup, in.name());

    fuzz::NullSink rain_file, log;
    const rainfall::RainfallOutcome rain =
        rainfall::design_rainfall(p, setup, c, rain_file, log);
    for (double depth : rain.table.v) {
      if (!(std::isfinite(depth) && depth >= 0.0)) std::fprintf(stderr, "depth %g\n", depth);
      SITEDRAIN_FUZZ_CHECK(std::isfinite(depth) && depth >= 0.0);
    }
    if (p.greenfield_rates == 1) {
      const greenfield::Rates r = greenfield::estimate_greenfield_rates(
          c.SAAR4170, p.hydrometric_area, std::span<const double>(p.areas_m2.data(), 2),
          std::span<const int>(p.soil_classes.data(), 2), p.soil_class_per_subcatchment);
      SITEDRAIN_FUZZ_CHECK(std::isfinite(r.qbar) && std::isfinite(r.q30) && std::isfinite(r.q100));
      SITEDRAIN_FUZZ_CHECK(r.qbar >= 0.0);
    }
  } catch (const RunStop&) {
  }
  return 0;
}
