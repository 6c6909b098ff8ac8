#include "rainfall/design_rainfall.h"

#include <cmath>
#include <limits>
#include <string>

#include "rainfall/feh.h"
#include "rainfall/fsr.h"
#include "rainfall/rainfall_table_file.h"
#include "textio/console.h"
#include "textio/format.h"

namespace sitedrain::rainfall {

double model_depth(const Catchment& c, int rp, int duration) {
  if (c.model != DdfModel::FEH99) return grid_depth(c.grid, rp, duration);
  if (duration < 60) {
    const double r60 = feh99_depth(c.C, c.D1, c.D2, c.D3, c.E, c.F, rp, 60);
    double f60, fd, m5, growth;
    fsr_rainfall(c.SAAR4170, rp, 60, f60, m5, growth);
    fsr_rainfall(c.SAAR4170, rp, duration, fd, m5, growth);
    return (r60 / f60) * fd;
  }
  return feh99_depth(c.C, c.D1, c.D2, c.D3, c.E, c.F, rp, duration);
}

double areal_depth(double R, int arff, int ctchm, double total_area_m2, const Catchment& c,
                   int duration) {
  if (arff != 1) return R;
  if (ctchm == 2) return R * areal_reduction_factor(total_area_m2 * 1.0e-6, duration);
  if (ctchm == 1) return R * areal_reduction_factor(c.AREA, duration);
  return R;
}

double seasonal_depth(double R, params::Season season, int duration, double saar) {
  double h = duration / 60.0;
  if (h > 24.0) h = 24.0;
  if (h < 1.0) h = 1.0;
  switch (season) {
    case params::Season::summer:
      if (saar <= 500.0) return R;
      return R * summer_factor(h, saar);
    case params::Season::winter:
      return R * winter_factor(h, saar);
    case params::Season::all_year:
    case params::Season::none:
      break;
  }
  return R;
}

double final_depth(double chosen, double cchgfac) {
  const double N = std::round(10.0 * chosen);  // whole tenths, halves away from zero
  return N / 10.0 * cchgfac;
}

RainfallOutcome design_rainfall(const params::DesignParams& p, const params::RunSetup& setup,
                                const Catchment& c, textio::LineSink& rain_file,
                                textio::LineSink& log) {
  const auto& rps = setup.return_periods;
  const auto& durs = setup.durations;
  write_rainfall_table_head(p.rain_season, c, p.climate_change_factor, rps, rain_file);
  if (!durs.empty() && durs[0] < 60 && params::seasonal(p.rain_season)) {
    rain_file.line(kShortDurationSeasonWarning);
    log.line(textio::fmt_a(kShortDurationSeasonWarning, 81));
    console::line(
        "WARNING: DURATION < 1H SEASONAL ADJUSTMENT CANNOT BE RELIED UPON. - DURATION (min.) = " +
        std::to_string(durs[0]));
  }

  RainfallOutcome out;
  if (!p.storage_run() && !p.rainfall_only()) return out;

  const int nrp = static_cast<int>(rps.size());
  const int ndur = static_cast<int>(durs.size());
  out.table = DepthTable(ndur, nrp);
  for (int i = 0; i < nrp; ++i) {
    for (int k = 0; k < ndur; ++k) {
      const int d = durs[k];
      double R = model_depth(c, rps[i], d);
      if (d > params::kLongestStorm) {
        console::line("ERROR - rainfall is not estimated  for storms longer than 16 days");
        out.beyond_16_days = true;
      }
      R = areal_depth(R, p.areal_reduction, p.areal_reduction_area_code, setup.total_area, c, d);
      const double depth =
          final_depth(seasonal_depth(R, p.rain_season, d, c.SAAR), p.climate_change_factor);
      // Descriptor values far outside the models' range (depth-duration-
      // frequency parameters, return periods far beyond the FSR table)
      // give depths that are not numbers, or negative.
      if (!(depth >= 0.0 && depth <= std::numeric_limits<double>::max())) {
        const std::string what = std::isfinite(depth)
                                     ? "a depth of " + textio::shortest(depth) + " mm"
                                     : std::string("no finite depth");
        console::stop_with("ERROR - the rainfall models give " + what + " for a return period of " +
                           std::to_string(rps[i]) + " years and a duration of " +
                           std::to_string(d) + " min: check the catchment descriptor values");
      }
      out.table.at(k, i) = depth;
    }
  }
  write_rainfall_table_rows(durs, out.table, rain_file);
  return out;
}

}  // namespace sitedrain::rainfall
