// The design checks on constructed designs, each where it passes and where
// it fails: a critical storm at an end of the durations, a discharge above
// the greenfield rate or the site's limit, a slow half-emptying, a sump
// that cycles, a 5 m³ design and no climate-change allowance; and the
// verdict line over the outlet sizes.
#include "report/design_checks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sitedrain::testing {
namespace {

using report::CheckRow;
using report::Verdict;

// Two pond designs (orifices 50 and 100 mm) of one return period.
struct Design {
  double outlet;
  int duration;        // min
  double outflow_l_s;  // peak outflow
  double half_h;       // half-emptying time
  double volume;       // peak volume, m³
};

results::DesignResults results(int rp, std::vector<Design> designs,
                               params::StorageKind kind = params::StorageKind::pond) {
  results::DesignResults r;
  r.kind = kind;
  r.head.params.storage_kind = kind;
  r.head.params.half_emptying_limit_h = 6;
  r.head.params.climate_change_factor = 1.4;
  r.head.params.greenfield_rates = 1;
  r.head.rates.qbar = 0.005;  // 5 l/s
  r.head.rates.region = 9;
  r.head.total_area = 20000.0;
  r.head.return_periods = {rp};
  r.head.durations = {15, 60, 240};
  r.governing.emplace_back();
  for (const Design& d : designs) {
    results::StormRecord rec;
    rec.return_period = rp;
    rec.outlet_size = d.outlet;
    rec.duration = d.duration;
    rec.peak_outflow = d.outflow_l_s * 3.6;
    rec.half_emptying_time = d.half_h;
    rec.peak_volume = d.volume;
    if (d.half_h > 0.0 && d.half_h <= 6) r.half_emptying.push_back(r.records.size());
    r.governing.back().push_back(r.records.size());
    r.records.push_back(rec);
  }
  return r;
}

const CheckRow& row(const report::DesignChecks& c, const std::string& check, double outlet) {
  for (const CheckRow& r : c.rows)
    if (r.check == check && (!r.has_outlet || r.outlet == outlet)) return r;
  static const CheckRow none{};
  ADD_FAILURE() << check << " " << outlet << " not found";
  return none;
}

TEST(DesignChecks, EachCheckPassesAndFails) {
  // 50 mm: within the Qbar of a 1-year storm but half-empties in 19 h; 100
  // mm: half-empties in time at 25.6 l/s against 5 l/s.
  const report::DesignChecks c = report::design_checks(
      results(1, {{50, 60, 4.2, 19.0, 900}, {100, 15, 25.6, 2.0, 5}}), nullptr);
  struct Want {
    const char* check;
    double outlet;
    Verdict verdict;
    double value, limit;
  };
  for (const Want& w : std::initializer_list<Want>{
           {"Critical storm bracketed", 50, Verdict::meets, 60, NAN},
           {"Critical storm bracketed", 100, Verdict::does_not_meet, 15, NAN},
           {"Peak discharge", 50, Verdict::meets, 4.2, 5.0},
           {"Peak discharge", 100, Verdict::does_not_meet, 25.6, 5.0},
           {"Half-emptying", 50, Verdict::does_not_meet, 19.0, 6},
           {"Half-emptying", 100, Verdict::meets, 2.0, 6},
           {"Small storage", 50, Verdict::meets, 900, 10},
           {"Small storage", 100, Verdict::warning, 5, 10},
           {"Climate-change allowance", 0, Verdict::meets, 1.4, 1}}) {
    const CheckRow& r = row(c, w.check, w.outlet);
    EXPECT_EQ(r.verdict, w.verdict) << w.check << " " << w.outlet;
    EXPECT_NEAR(r.value, w.value, 1e-9) << w.check;
    if (!std::isnan(w.limit)) {
      EXPECT_NEAR(r.limit, w.limit, 1e-9) << w.check;
    }
  }
  EXPECT_NE(row(c, "Critical storm bracketed", 100).note.find("extend the durations"),
            std::string::npos);
  ASSERT_EQ(c.return_periods.size(), 1u);
  EXPECT_TRUE(c.return_periods[0].outlets.empty());
  EXPECT_TRUE(c.meeting_every_limit.empty());
  EXPECT_EQ(c.verdict.rfind("No outlet size meets the discharge limit and the half-emptying "
                            "limit of every return period.",
                            0),
            0u)
      << c.verdict;
}

TEST(DesignChecks, GreenfieldRateOfTheReturnPeriodOrTheSiteLimit) {
  // 100 years: Qbar times the growth factor; a site limit replaces it.
  results::DesignResults r = results(100, {{50, 60, 8.0, 3.0, 900}, {100, 60, 14.0, 2.0, 900}});
  report::DesignChecks c = report::design_checks(r, nullptr);
  const double limit = row(c, "Peak discharge", 50).limit;
  EXPECT_GT(limit, 5.0 * 1.5);
  EXPECT_EQ(row(c, "Peak discharge", 50).verdict, Verdict::meets);
  EXPECT_EQ(row(c, "Peak discharge", 100).verdict, Verdict::does_not_meet);
  EXPECT_EQ(c.meeting_every_limit, std::vector<double>{50});
  EXPECT_NE(c.verdict.find("the 50 mm orifice."), std::string::npos) << c.verdict;

  r.head.params.discharge_limits = {{0, 20.0}, {100, 7.5}};  // the return period's own wins
  c = report::design_checks(r, nullptr);
  EXPECT_EQ(row(c, "Peak discharge", 50).limit, 7.5);
  EXPECT_EQ(row(c, "Peak discharge", 50).verdict, Verdict::does_not_meet);
  r.head.params.discharge_limits = {{0, 20.0}};
  r.head.params.greenfield_rates = 0;
  c = report::design_checks(r, nullptr);
  EXPECT_EQ(c.meeting_every_limit, (std::vector<double>{50, 100}));
}

TEST(DesignChecks, PumpStartsAndNoAllowance) {
  results::DesignResults r =
      results(30, {{20, 60, 5.5, 1.0, 400}, {40, 60, 11.1, 0.5, 300}}, params::StorageKind::sump);
  r.head.params.climate_change_factor = 1.0;
  std::vector<design::StormSeries> series(2);
  series[0].record = 0;
  series[0].most_starts_in_an_hour = 12;
  series[1].record = 1;
  series[1].most_starts_in_an_hour = 600;
  const report::DesignChecks c = report::design_checks(r, &series);
  EXPECT_EQ(row(c, "Pump starts", 20).verdict, Verdict::meets);
  EXPECT_EQ(row(c, "Pump starts", 40).verdict, Verdict::warning);
  EXPECT_EQ(row(c, "Pump starts", 40).value, 600);
  EXPECT_EQ(row(c, "Climate-change allowance", 0).verdict, Verdict::warning);
  // checks.csv: a header and one row per check
  const std::string csv = report::checks_csv(c);
  EXPECT_EQ(csv.rfind("check,return_period_years,outlet,value,limit,unit,verdict,note\r\n", 0), 0u);
  EXPECT_NE(csv.find("\r\nPump starts,30,40,600,12,starts/h,warning,"), std::string::npos);
  EXPECT_NE(csv.find("\r\nClimate-change allowance,,,1,1,,warning,"), std::string::npos);
}

}  // namespace
}  // namespace sitedrain::testing
