#include "runoff/horton.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/capture.h"

namespace sitedrain::runoff {
namespace {

TEST(Horton, InitialDecayedAndFinalRates) {
  const struct {
    int type;
    double initial, final_rate;
  } table[] = {{1, 280.0, 6.0}, {2, 900.0, 20.0}, {3, 210.0, 2.0}, {4, 670.0, 10.0}};
  for (const auto& r : table) {
    EXPECT_EQ(HORTONFN(r.type, 0), r.initial) << r.type;
    EXPECT_EQ(HORTONFN(r.type, 86400), r.final_rate) << r.type;
    for (int t = 1; t <= 600; ++t) EXPECT_LE(HORTONFN(r.type, t), HORTONFN(r.type, t - 1));
  }
  EXPECT_NEAR(HORTONFN(3, 60), 30.1497, 5e-5);
  // t/60 minutes with k per minute: one minute of type 4 decays by exp(-1.4).
  EXPECT_NEAR(HORTONFN(4, 60), 10.0 + 660.0 * std::exp(-1.4), 1e-12);
  for (int type : {0, 5, -1, 12}) {
    std::string out = testing::stop_output([&] { HORTONFN(type, 60); });
    EXPECT_NE(out.find("Horton"), std::string::npos) << out;
  }
}

}  // namespace
}  // namespace sitedrain::runoff
