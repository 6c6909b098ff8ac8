#include "runoff/runoff_step.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "rainfall/profile.h"
#include "runoff/green_ampt.h"
#include "runoff/horton.h"
#include "runoff/pdm.h"
#include "support/capture.h"

namespace sitedrain::runoff {
namespace {

struct Site {
  std::vector<int> surface;
  std::vector<double> area;
  SubCatchments subs(int rom) const {
    return {rom, static_cast<int>(surface.size()), surface.data(), area.data()};
  }
};

// depth mm over duration min, so I = depth / (60 * duration) mm/s
StormSpec storm(int duration, double depth, int strmprf = 1) {
  return {duration, strmprf, depth / (60.0 * duration)};
}

TEST(RunoffStep, FixedLossSurfaceWorkedExample) {
  Site site{{5}, {10000.0}};
  for (int rom : {0, 1, 4, -1}) {  // values other than 1, 2, 3 act as 0
    StormRunoff run(site.subs(rom), storm(60, 36.0));
    for (int t : {1, 2, 1800, 3600}) {
      StepResult r = run.step(t, 1.0);
      EXPECT_FALSE(r.end);
      EXPECT_NEAR(r.rain, 0.01, 1e-17);
      EXPECT_NEAR(r.infilt, 0.0005, 1e-18);
      EXPECT_NEAR(r.runoff, 0.095, 1e-15);
      EXPECT_NEAR(r.rain_volume, 0.1, 1e-15);
      EXPECT_EQ(run.infilt(), r.infilt);
    }
  }
}

TEST(RunoffStep, RainFollowsTheProfileAtTheStepsEnd) {
  Site site{{4}, {100.0}};
  StormSpec s = storm(60, 30.0, 3);
  StormRunoff run(site.subs(2), s);
  for (int t : {1, 2, 3})
    EXPECT_EQ(run.step(t, 1.0).rain, rainfall::PROFILE(3, t / 3600.0) * 1.0 * s.intensity);
  StepResult peak = run.step(1800, 1.0);  // the storm centre
  EXPECT_EQ(peak.rain, rainfall::PROFILE(3, 0.5) * s.intensity);
  EXPECT_NEAR(peak.rain_volume, peak.rain / 1000.0 * 100.0, 1e-18);
}

TEST(RunoffStep, FinalValueHortonUsesTheEndOfStormRate) {
  Site site{{1, 3}, {2000.0, 500.0}};
  StormRunoff run(site.subs(0), storm(60, 40.0));
  const double P = 40.0 / 3600.0, f1 = HORTONFN(1, 3600) / 3600.0, f3 = HORTONFN(3, 3600) / 3600.0;
  for (int t : {1, 900, 3600}) {
    StepResult r = run.step(t, 1.0);
    EXPECT_FALSE(r.end);
    EXPECT_EQ(r.infilt, f3);  // the last sub-catchment
    EXPECT_NEAR(r.runoff, (P - f1) / 1000.0 * 2000.0 + (P - f3) / 1000.0 * 500.0, 1e-15);
    EXPECT_NEAR(r.rain_volume, P / 1000.0 * 2500.0, 1e-15);
  }
  // Loss above the rain gives no negative runoff: type 1 ends at 6 mm/h,
  // type 5 loses 5 per cent, 3 mm/h of rain.
  Site mixed{{1, 5}, {3000.0, 1000.0}};
  StepResult r = StormRunoff(mixed.subs(0), storm(60, 3.0)).step(1, 1.0);
  EXPECT_NEAR(r.runoff, (3.0 / 3600.0) * 0.95 / 1000.0 * 1000.0, 1e-16);
  EXPECT_NEAR(r.rain_volume, 3.0 / 3600.0 / 1000.0 * 4000.0, 1e-16);
}

TEST(RunoffStep, HortonModelsEndAtAFirstStepWithoutRunoffAtTheFinalRate) {
  // 1 mm/h on type 3, whose final rate is 2 mm/h: the storm ends at once.
  Site site{{3}, {5000.0}};
  for (int rom : {0, 1}) EXPECT_TRUE(StormRunoff(site.subs(rom), storm(60, 1.0)).step(1, 1.0).end);
  Site mixed{{3, 5}, {5000.0, 100.0}};  // one sub-catchment with runoff keeps it going
  StepResult m = StormRunoff(mixed.subs(0), storm(60, 1.0)).step(1, 1.0);
  EXPECT_FALSE(m.end);
  EXPECT_GT(m.runoff, 0.0);
  // Horton: 5 mm/h exceeds the final rate, so the storm goes on although the
  // first steps, at rates near 210 mm/h, give no runoff.
  StormRunoff wet(site.subs(1), storm(60, 5.0));
  StepResult r1 = wet.step(1, 1.0);
  EXPECT_FALSE(r1.end);
  EXPECT_EQ(r1.runoff, 0.0);
  EXPECT_NEAR(r1.infilt, HORTONFN(3, 1) / 3600.0, 1e-18);
  EXPECT_NEAR(r1.rain_volume, 5.0 / 3600.0 / 1000.0 * 5000.0, 1e-15);
  EXPECT_FALSE(wet.step(2, 1.0).end);  // only the first step is checked
  EXPECT_NEAR(wet.step(3600, 1.0).runoff,
              (5.0 / 3600.0 - HORTONFN(3, 3600) / 3600.0) / 1000.0 * 5000.0, 1e-15);
}

TEST(RunoffStep, GreenAmptSlotsFollowTheSubCatchmentsAndResetAtTheFirstStep) {
  Site site{{4, 9, 4}, {1000.0, 2000.0, 500.0}};
  StormRunoff run(site.subs(2), storm(60, 50.0));
  GreenAmptState ref;
  const double P = 50.0 / 3600.0;
  auto expected = [&](int t) {
    double R = 0.0;
    for (int k = 0; k < 3; ++k) {
      double f = GREEN_AMPT(ref, site.surface[k], t == 1 ? 1 : 0, k + 1, P);
      R += std::max((P - f) / 1000.0 * site.area[k], 0.0);
    }
    return R;
  };
  for (int t = 1; t <= 1200; ++t) {
    StepResult r = run.step(t, 1.0);
    ASSERT_FALSE(r.end);
    ASSERT_EQ(r.runoff, expected(t)) << "t = " << t;
  }
  for (int t : {1, 2}) EXPECT_EQ(run.step(t, 1.0).runoff, expected(t)) << "again, t = " << t;
  // Row 1 conducts 117.8 mm/h: 10 mm/h all infiltrates, and the storm goes on.
  Site sand{{1}, {1000.0}};
  StormRunoff dry(sand.subs(2), storm(60, 10.0));
  for (int t = 1; t <= 3600; t += 599) {
    StepResult r = dry.step(t, 1.0);
    EXPECT_FALSE(r.end);
    EXPECT_EQ(r.runoff, 0.0);
    EXPECT_EQ(r.infilt, r.rain);
  }
}

TEST(RunoffStep, PdmModelRunoffAndConsoleLines) {
  Site site{{4, 7}, {1000.0, 3000.0}};
  StormRunoff run(site.subs(3), storm(60, 36.0));
  StepResult r;
  double R1 = 0.0;
  const std::string out = testing::console_of([&] {
    r = run.step(1, 1.0);
    R1 = PDM_INFILTRATION_CAPACITY(0.01, 0.0);
  });
  EXPECT_NEAR(r.runoff, R1 / 1000.0 * 1000.0 + R1 / 1000.0 * 3000.0, 1e-16);
  EXPECT_NEAR(r.rain_volume, 0.04, 1e-15);
  EXPECT_EQ(r.infilt, 0.0);  // the PDM model forms no infiltration depth
  EXPECT_FALSE(r.end);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);  // a z line per sub-catchment
}

TEST(RunoffStep, TooManySubCatchmentsStop) {
  std::vector<int> surface(11, 1);
  std::vector<double> area(11, 1.0);
  testing::stop_output([&] { StormRunoff({2, 11, surface.data(), area.data()}, storm(60, 1.0)); });
}

}  // namespace
}  // namespace sitedrain::runoff
