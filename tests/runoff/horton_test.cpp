#include "runoff/horton.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/capture.h"

namespace sitedrain::runoff {
namespace {

// The bundled Horton case uses types 4, 2 and 5 only: types 1 and 3 decay here.
TEST(Horton, InitialDecayedAndFinalRates) {
  const struct {
    int type;
    double initial, final_rate;
  } table[] = {{1, 280.0, 6.0}, {2, 900.0, 20.0}, {3, 210.0, 2.0}, {4, 670.0, 10.0}};
  for (const auto& r : table) {
    EXPECT_EQ(HORTONFN(r.type, 0), r.initial) << r.type;
    EXPECT_EQ(HORTONFN(r.type, 86400), r.final_rate) << r.type;
  }
  EXPECT_NEAR(HORTONFN(3, 60), 30.1497, 5e-5);
  EXPECT_NEAR(HORTONFN(1, 60), 6.0 + 274.0 * std::exp(-1.6), 1e-12);
  for (int type : {0, 5, -1, 12})
    EXPECT_NE(testing::stop_output([&] { HORTONFN(type, 60); }).find("Horton"), std::string::npos);
}

}  // namespace
}  // namespace sitedrain::runoff
