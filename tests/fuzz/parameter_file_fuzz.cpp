// The parameter file reader and the run set-up: any text is either read into
// a parameter set whose lists and counts the rest of the run can rely on, or
// refused with a message (a RunStop).  The advice on the same text names a
// line of it in every warning.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "check/input_warnings.h"
#include "fuzz/fuzz_support.h"
#include "params/parameter_file.h"
#include "params/run_setup.h"
#include "textio/stop.h"

using namespace sitedrain;

namespace {

// Bytes of the set-up's record table for the parameters as read; cases that
// would need more than the fuzzer's memory limit only exercise the
// allocation-failure message, which the unit tests cover.
double predicted_table_bytes(const params::DesignParams& p) {
  if (!p.storage_run()) return 0.0;
  params::Triple t = p.design_sump == 1 ? p.pump_rates_m3_per_h : p.orifice_diameters_mm;
  if (p.design_sump != 1 && (p.design_soakaway == 1 || p.runoff_only == 1)) t = {1, 1, 1};
  if (t.step == 0) return 0.0;
  const double outlets = std::trunc((static_cast<double>(t.last) - t.first) / t.step + 1.0);
  double ndur = p.duration_count;
  if (p.durations_generated == 1 && p.durations_min[2] != 0)
    ndur = std::trunc((static_cast<double>(p.durations_min[1]) - p.durations_min[0]) / p.durations_min[2]) + 1.0;
  return std::fabs(outlets) * std::fabs(ndur) * 100.0 * 19.0 * 8.0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quiet_console();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    textio::LineReader text;
    text.open_text(std::string(fuzz::as_text(data, size)), "params.txt");
    for (const check::InputWarning& w : check::parameter_file_warnings(text))
      SITEDRAIN_FUZZ_CHECK(w.line >= 1 && !w.text.empty());
  }
  try {
    textio::LineReader in;
    in.open_text(std::string(fuzz::as_text(data, size)), "params.txt");
    params::DesignParams p = params::read_parameter_file(in);
    SITEDRAIN_FUZZ_CHECK(p.return_period_count >= 0 && p.return_period_count <= params::kMaxReturnPeriods);
    SITEDRAIN_FUZZ_CHECK(p.duration_count >= 0 && p.duration_count <= params::kMaxListedDurations);
    SITEDRAIN_FUZZ_CHECK(p.subcatchment_count >= 1 && p.subcatchment_count <= params::kMaxSubCatchments);
    if (predicted_table_bytes(p) > 256.0e6) return 0;

    const params::RunSetup s = params::make_run_setup(p);
    SITEDRAIN_FUZZ_CHECK(static_cast<int>(s.return_periods.size()) == p.return_period_count);
    SITEDRAIN_FUZZ_CHECK(static_cast<int>(s.durations.size()) == p.duration_count);
    if (!p.greenfield_only()) {
      SITEDRAIN_FUZZ_CHECK(p.return_period_count >= 1 && p.duration_count >= 1);
      for (int rp : s.return_periods) SITEDRAIN_FUZZ_CHECK(rp >= 1);
      for (int d : s.durations) SITEDRAIN_FUZZ_CHECK(d >= 1);
      SITEDRAIN_FUZZ_CHECK(std::isfinite(s.total_area));
    }
    if (p.storage_run()) {
      SITEDRAIN_FUZZ_CHECK(s.outlet_count >= 1);
      SITEDRAIN_FUZZ_CHECK(s.combinations == static_cast<std::int64_t>(s.outlet_count) * p.duration_count * p.return_period_count);
      SITEDRAIN_FUZZ_CHECK(p.storm_profile_code >= 1 && p.storm_profile_code <= 3);
    }
  } catch (const RunStop&) {
  }
  return 0;
}
