#include "runoff/runoff_step.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "runoff/pdm.h"
#include "support/capture.h"

namespace sitedrain::runoff {
namespace {

struct Site {
  std::vector<int> surface;
  std::vector<double> area;
  SubCatchments subs(int rom) const {
    return {params::decode_loss_model(rom), static_cast<int>(surface.size()), surface.data(),
            area.data()};
  }
};

// depth mm over duration min, so I = depth / (60 * duration) mm/s
StormSpec storm(int duration, double depth) {
  return {duration, params::StormProfile::uniform, depth / (60.0 * duration)};
}

TEST(RunoffStep, FixedLossSurfaceAndNoNegativeRunoff) {
  Site site{{5}, {10000.0}};
  for (int rom : {0, 1, 4, -1}) {  // values other than 1, 2, 3 act as 0
    StormRunoff run(site.subs(rom), storm(60, 36.0));
    for (int t : {1, 1800, 3600}) {
      StepResult r = run.step(t, 1.0);
      EXPECT_FALSE(r.end);
      EXPECT_NEAR(r.rain, 0.01, 1e-17);
      EXPECT_NEAR(r.infilt, 0.0005, 1e-18);
      EXPECT_NEAR(r.runoff, 0.095, 1e-15);
      EXPECT_NEAR(r.rain_volume, 0.1, 1e-15);
    }
  }
  // Type 1 ends at 6 mm/h, type 5 loses 5 per cent: 3 mm/h of rain.
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
  EXPECT_FALSE(StormRunoff(mixed.subs(0), storm(60, 1.0)).step(1, 1.0).end);
  // 5 mm/h exceeds the final rate: the storm goes on although the first
  // steps, at rates near 210 mm/h, give no runoff.
  EXPECT_FALSE(StormRunoff(site.subs(1), storm(60, 5.0)).step(1, 1.0).end);
}

TEST(RunoffStep, PdmModelRunoffAndConsoleLines) {
  Site site{{4, 7}, {1000.0, 3000.0}};
  StormRunoff run(site.subs(3), storm(60, 36.0));
  StepResult r;
  double R1 = 0.0;
  const std::string out = testing::console_of([&] {
    r = run.step(1, 1.0);
    R1 = pdm_runoff(0.01, 0.0);
  });
  EXPECT_NEAR(r.runoff, R1 / 1000.0 * 1000.0 + R1 / 1000.0 * 3000.0, 1e-16);
  EXPECT_EQ(r.infilt, 0.0);  // the PDM model forms no infiltration depth
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);  // a z line per sub-catchment
  std::vector<int> surface(11, 1);
  std::vector<double> area(11, 1.0);
  testing::stop_output([&] {
    StormRunoff({params::LossModel::green_ampt, 11, surface.data(), area.data()}, storm(60, 1.0));
  });
}

}  // namespace
}  // namespace sitedrain::runoff
