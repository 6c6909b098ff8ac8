// The orifice table's grid point, the soakaway's wetted sides, and the
// oracle's depth of a stored volume.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "geometry/basin.h"
#include "storage/orifice_outflow.h"
#include "storage/soakaway.h"
#include "support/capture.h"
#include "support/reference_water_balance.h"

namespace sitedrain::storage {
namespace {

TEST(OrificeGrid, PointWithoutTheSearchAgreesWithTheBisection) {
  for (int n : {0, 1, 2, 3, 7, 1500, 2500}) {
    std::vector<double> xs = {-1.0,
                              0.0,
                              0.5,
                              std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              1.0e9};
    for (int k = 0; k <= n + 1; ++k) {
      const double v = k;
      xs.insert(xs.end(), {v, std::nextafter(v, -1.0e9), std::nextafter(v, 1.0e9), v + 0.5});
    }
    for (int k = 1; k < 400; ++k) xs.push_back(1000.0 * (k * 0.00731));
    for (double x : xs)
      ASSERT_EQ(locate_unit_grid(n, x), testing::bisection_locate(n, x)) << n << " " << x;
  }
}

TEST(Soakaway, BaseAndSideCodes) {
  // 10 by 5, vertical, 1 m deep, one length and one width side: 15 m^2 of sides.
  EXPECT_NEAR(soakaway_outflow(10.0, 5.0, 0.0, 3, 0.036, 1.0), 2.34, 1e-12);
  EXPECT_EQ(soakaway_outflow(10.0, 5.0, 2.0, 0, 0.036, 3.0), 50.0 * 0.036);  // base only
  const double L = 7.0, W = 3.0, b = 0.5, h = 1.2, s = std::sqrt(b * b + 1.0);
  const double len = (h * b + L) * h * s, wid = (h * b + W) * h * s;
  const double sides[] = {len,     wid,           len + wid,     2 * len,
                          2 * wid, len + 2 * wid, 2 * len + wid, 2 * (len + wid)};
  for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 99, -1})  // wetted sides with infiltco 1
    EXPECT_NEAR(soakaway_outflow(L, W, b, code, 1.0, h) - W * L,
                sides[code >= 1 && code <= 7 ? code - 1 : 7], 1e-12)
        << code;
}

TEST(ReferenceWaterDepth, DepthOfAVolumeAndEnlargementOfTheBase) {
  using testing::reference_water_depth;
  double W = 4.0, L = 9.0;
  EXPECT_NEAR(geometry::basin_volume(reference_water_depth(150.0, 2.0, W, L, 3.0), 2.0, 4.0, 9.0),
              150.0, 1e-6);
  EXPECT_TRUE(W == 4.0 && L == 9.0);
  W = 5.0, L = 10.0;  // holds 100 at full depth: enlarged for the caller
  const double h = reference_water_depth(150.0, 0.0, W, L, 2.0);
  EXPECT_TRUE(W * L * 2.0 > 150.0 && W * L * 2.0 < 150.0 * 1.0003);  // the first that fits
  EXPECT_NEAR(L / W, 2.0, 1e-12);
  EXPECT_NEAR(W * L * h, 150.0, 1e-6);
  W = 0.0, L = 0.0;  // a zero base grows from the minimum
  const double h0 = reference_water_depth(2.0, 1.0, W, L, 1.0);
  EXPECT_NEAR(geometry::basin_volume(h0, 1.0, W, L), 2.0, 1e-6);
  EXPECT_TRUE(W > 0.01 && W == L);
  testing::stop_output([&] { reference_water_depth(2.0, 1.0, W, L, 0.0); });  // no depth
}

}  // namespace
}  // namespace sitedrain::storage
