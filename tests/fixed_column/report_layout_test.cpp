// Layout rules of the report and result files that the bundled cases do not
// reach: optional head lines, long lists and labels, and fields too wide.
#include <gtest/gtest.h>

#include "fixed_column/closing_tables.h"
#include "fixed_column/diagnostic_file.h"
#include "fixed_column/report_head.h"
#include "fixed_column/results_rows.h"
#include "support/capture.h"
#include "textio/format.h"

namespace sitedrain::fixed_column {
namespace {

using params::StorageKind;
using results::RunoffRow;
using results::StormRecord;
using testing::KeptLines;

// The pond design at Hexham.
struct Hexham {
  params::DesignParams p;
  std::vector<int> return_periods{1, 30, 100};
  std::vector<int> durations{60, 120, 240};
  rainfall::Catchment catchment{.easting = 393500, .northing = 564000, .SAAR = 828.0};
  std::string location = "Hexham";
  greenfield::Rates rates;
  Hexham() {
    p.subcatchment_count = 2;
    p.areas_m2[0] = 16500., p.areas_m2[1] = 7200., p.surface_codes[0] = 9, p.surface_codes[1] = 5;
    p.soil_classes[0] = 4, p.soil_classes[1] = 3, p.soil_class_per_subcatchment = 1,
    p.loss_model_code = 2, p.point_rainfall = 0;
    p.design_pond = 1, p.design_sump = 0, p.design_soakaway = 0, p.runoff_only = 0,
    p.greenfield_rates = 0, p.storm_profile_code = 3;
    p.half_emptying_limit_h = 24, p.lagoon_ratio = 2, p.climate_change_factor = 1.4,
    p.batter_1_in = 3.0;
  }
  std::vector<std::string> head() const {
    KeptLines out;
    write_report_head({p, return_periods, durations, 0.0, catchment, location, rates}, out);
    return out.lines;
  }
};

TEST(ReportHead, ModelAndEstimateLinesOnlyForKnownCodes) {
  const std::vector<std::string> full = Hexham().head();
  Hexham site;
  site.p.loss_model_code = 5;
  std::vector<std::string> want = full;
  want.erase(want.begin() + 7, want.begin() + 9);  // the empty line and the model line
  EXPECT_EQ(site.head(), want);
  site = Hexham();
  site.p.point_rainfall = 2;
  want = full;
  want.erase(want.begin() + 22, want.begin() + 25);  // the estimate line with its empty lines
  EXPECT_EQ(site.head(), want);
  site.p.point_rainfall = 1;
  EXPECT_EQ(site.head()[23], " Based on point estimate");
}

TEST(ReportHead, TwelveReturnPeriodsTakeTwoLines) {
  Hexham site;
  site.return_periods = {1, 2, 5, 10, 20, 30, 50, 75, 100, 200, 500, 1000};
  const std::vector<std::string> head = site.head();
  const std::string pad(35, ' ');
  EXPECT_EQ(head[18], pad + "     1     2     5    10    20    30    50    75   100   200");
  EXPECT_EQ(head[19], pad + "   500  1000");
  EXPECT_EQ(head[20], "");
}

TEST(ReportHead, LocationAndStructureLabelFields) {
  Hexham site;
  site.location = "NewcastleUponTyneCentral";
  EXPECT_EQ(site.head()[2].substr(0, 34), " Location  NewcastleUponTy    NGR ");
  site.location = "";
  EXPECT_EQ(site.head()[2].substr(0, 34), " Location                     NGR ");
  EXPECT_EQ(textio::fmt_a(structure_label(site.p), 17), "ATTENUATION POND ");
  site.p.design_sump = 1;  // with ponds = 1
  EXPECT_EQ(textio::fmt_a(structure_label(site.p), 17), "SUMP             ");
  site.p.design_soakaway = 1;
  EXPECT_EQ(structure_label(site.p), "SOAKAWAY                 ");
  site.p.decode_modes();
  EXPECT_EQ(site.p.storage_kind, StorageKind::sump);
}

TEST(ReportHead, GreenfieldRatesWithASingleSoilClass) {
  Hexham site;
  site.p.greenfield_rates = 1;
  site.p.soil_class_per_subcatchment = 0;  // later soil slots show the unset marker
  site.rates = {0.01234, 0.02345, 0.03456};
  const std::vector<std::string> head = site.head();
  EXPECT_EQ(head[5].substr(61), "     9                          4");
  EXPECT_EQ(head[6].substr(61), "     5                       -999");
  EXPECT_EQ(head[9].substr(33), "     0.01234                   0.02345                   0.03456");
}

TEST(ResultFields, TooWideValuesShowAsterisks) {
  StormRecord r{.return_period = 100, .outlet_size = 75, .duration = 240, .peak_volume = 1999.8};
  EXPECT_EQ(half_emptying_row(r), " 999.9     100     75    240");
  r.peak_volume = 2500.0;
  EXPECT_EQ(half_emptying_row(r), " *****     100     75    240");

  // times rounded, a storage too wide for its field
  const StormRecord p{.return_period = 100,
                      .outlet_size = 150,
                      .duration = 360,
                      .mean_inflow = 1234.99,
                      .outflow_24h = 123456789.0,
                      .emptying_time = 2.25,
                      .half_emptying_time = 0.04,
                      .peak_rain_flow = 2469.98,
                      .rain_depth = 55.55};
  EXPECT_EQ(pond_results_row(p).substr(16),
            "      1234     7409        0        0        0        0    0.0      0.0**********"
            "    0.0     2.3     0.0    0.5000     55.5");

  // No rain volume: a zero ratio; a million cubic metres overflows.
  EXPECT_EQ(diagnostic_line({.t = 3600, .inflow = 0.5}),
            "   60.00000     0.00000     0.00000     0.50000     0.00000"
            "     0.00000     0.00000     0.00000     0.00000     0.00000");
  const std::string line =
      diagnostic_line({.t = 60, .inflow = 1.0, .rain_volume = 2.0, .storage = 1000000.0});
  ASSERT_EQ(line.size(), 119u);
  EXPECT_EQ(line.substr(71, 12), "     0.50000");
  EXPECT_EQ(line.substr(107), "************");
}

TEST(ResultFields, EmptyListsAndDryStorms) {
  KeptLines report;
  write_half_emptying_block(StorageKind::pond, {}, report);
  ASSERT_EQ(report.lines.size(), 7u);
  EXPECT_EQ(report.lines[6],
            " All minimally-sized ponds have half-emptying times greater than specified time - "
            "increase the orifice diameters");
  const RunoffRow dry{2, 15, 12.34, 5.0, 6.6, 0.0};  // no coefficient
  EXPECT_EQ(runoff_row(dry), "    2      15        12.3        5.0        6.6");
}

}  // namespace
}  // namespace sitedrain::fixed_column
