// Sizing a basin for values beyond all measure stops the run instead of
// reducing the depth for ever.
#include <gtest/gtest.h>

#include <limits>

#include "geometry/basin.h"
#include "support/capture.h"

namespace sitedrain::geometry {
namespace {

// A value run found that a batter of 1e300 made every dimension NaN and the
// depth reductions endless; an infinite volume does likewise.
TEST(PondSizeDomain, NoFiniteDimensionsStopTheRun) {
  struct Case {
    double V, b;
    const char* message;
  };
  const Case cases[] = {
      {500.0, 1e300,
       "Storage cannot be sized: a volume of 500 m^3 with batter 1e+300 and depth 1.5 m gives no "
       "finite dimensions\n"},
      {std::numeric_limits<double>::infinity(), 3.0,
       "Storage cannot be sized: a volume of inf m^3 with batter 3 and depth 1.5 m gives no "
       "finite dimensions\n"},
  };
  for (const Case& c : cases) {
    testing::KeptLines log;
    double d = 1.5;
    EXPECT_EQ(testing::stop_output([&] { POND_SIZE(c.V, 2.0, d, c.b, log); }), c.message);
  }
}

}  // namespace
}  // namespace sitedrain::geometry
