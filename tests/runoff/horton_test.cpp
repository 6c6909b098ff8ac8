#include "runoff/horton.h"

#include <gtest/gtest.h>

#include <cmath>

#include "runoff/console_capture.h"

namespace sitedrain::runoff {
namespace {

TEST(Horton, RatesOfTheTable) {
  EXPECT_EQ(HORTONFN(1, 0), 280.0);
  EXPECT_EQ(HORTONFN(2, 0), 900.0);
  EXPECT_EQ(HORTONFN(3, 0), 210.0);
  EXPECT_EQ(HORTONFN(4, 0), 670.0);
  EXPECT_NEAR(HORTONFN(3, 60), 30.1497, 5e-5);
  EXPECT_NEAR(HORTONFN(3, 60), 2.0 + 208.0 * std::exp(-2.0), 1e-13);
  // t/60 minutes with k per minute: one minute of type 4 decays by exp(-1.4).
  EXPECT_NEAR(HORTONFN(4, 60), 10.0 + 660.0 * std::exp(-1.4), 1e-12);
}

TEST(Horton, TendsToTheFinalRateAndNeverRises) {
  EXPECT_EQ(HORTONFN(1, 86400), 6.0);
  EXPECT_EQ(HORTONFN(2, 86400), 20.0);
  EXPECT_EQ(HORTONFN(3, 86400), 2.0);
  EXPECT_EQ(HORTONFN(4, 86400), 10.0);
  for (int type = 1; type <= 4; ++type)
    for (int t = 1; t <= 600; ++t) EXPECT_LE(HORTONFN(type, t), HORTONFN(type, t - 1));
}

TEST(Horton, TypeOutsideTheTableStops) {
  for (int type : {0, 5, -1, 12}) {
    std::string out = testing::stop_output([&] { HORTONFN(type, 60); });
    EXPECT_NE(out.find("Horton"), std::string::npos) << out;
  }
}

}  // namespace
}  // namespace sitedrain::runoff
