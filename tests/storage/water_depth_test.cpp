#include "storage/water_depth.h"

#include <gtest/gtest.h>

#include "geometry/basin.h"
#include "textio/console.h"
#include "textio/stop.h"

namespace sitedrain::storage {
namespace {

TEST(Waterdepth, DepthOfAVolumeThatFits) {
  double W = 5.0, L = 5.0;
  EXPECT_NEAR(WATERDEPTH(100.0, 0.0, W, L, 10.0), 4.0, 1e-9);
  EXPECT_EQ(W, 5.0);
  EXPECT_EQ(L, 5.0);
  W = 4.0;
  L = 9.0;
  const double h = WATERDEPTH(150.0, 2.0, W, L, 3.0);
  EXPECT_NEAR(geometry::PONDVOLBASE(h, 2.0, W, L), 150.0, 1e-6);
}

TEST(Waterdepth, TooSmallABaseIsEnlargedForTheCaller) {
  double W = 5.0, L = 10.0;
  const double h = WATERDEPTH(150.0, 0.0, W, L, 2.0);  // holds 100 at full depth
  EXPECT_GT(W * L * 2.0, 150.0);
  EXPECT_LT(W * L * 2.0, 150.0 * 1.0003);  // the first enlargement that fits
  EXPECT_NEAR(L / W, 2.0, 1e-12);
  EXPECT_LE(h, 2.0);
  EXPECT_NEAR(W * L * h, 150.0, 1e-6);
}

TEST(Waterdepth, ZeroBaseGrowsFromTheMinimum) {
  double W = 0.0, L = 0.0;
  const double h = WATERDEPTH(2.0, 1.0, W, L, 1.0);  // sides alone hold 4/3
  EXPECT_GT(W, 0.01);
  EXPECT_EQ(W, L);
  EXPECT_NEAR(geometry::PONDVOLBASE(h, 1.0, W, L), 2.0, 1e-6);
}

TEST(Waterdepth, NoDepthStops) {
  double W = 5.0, L = 5.0;
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(WATERDEPTH(2.0, 1.0, W, L, 0.0), RunStop);
  console::flush();
  ::testing::internal::GetCapturedStdout();
}

}  // namespace
}  // namespace sitedrain::storage
