// The incomplete gamma function and the safeguarded Newton root searches.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "numeric/gamma.h"
#include "numeric/rtsafe.h"
#include "support/capture.h"

namespace sitedrain::numeric {
namespace {

using testing::console_of;

// The warnings pause for a line of input: feed them an empty input.
class Gamma : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr); }
};

TEST_F(Gamma, ErfcKnownValuesWithoutWarnings) {
  EXPECT_NEAR(log_gamma(10.0), std::log(362880.0), 1e-10);
  EXPECT_EQ(complementary_erf(0.0), 1.0);
  const struct {
    double x, erfc;
  } known[] = {{0.1, 0.8875370839817152},   {0.5, 0.4795001221869535},
               {1.0, 0.15729920705028513},  {1.5, 0.033894853524689274},
               {2.0, 0.004677734981047266}, {3.0, 2.209049699858544e-05}};
  for (auto k : known) EXPECT_NEAR(complementary_erf(k.x), k.erfc, 3e-7 * k.erfc + 1e-15) << k.x;
  for (double x : {0.01, 0.3, 0.9, 1.2, 1.3, 2.0, 4.0}) {
    const double e = complementary_erf(-x);
    EXPECT_GT(e, 1.0);
    EXPECT_LE(e, 2.0);
    EXPECT_NEAR(e, 2.0 - complementary_erf(x), kGammaEps) << x;
  }
  EXPECT_EQ(console_of([] {
              for (double x = -5.0; x <= 5.0; x += 0.0625) complementary_erf(x);
            }),
            "");
}

TEST(Rtsafe, UnbracketedRootWarnsAndCarriesOn) {
  // No bracket: a warning, a pause, and the search carries on.
  ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
  double y = 0.0;
  const std::string out =
      testing::console_of([&] { y = sizing_root(10.0, 3.0, 2.0, 0.0, 1.0, 1.0e-6); });
  EXPECT_EQ(out.rfind("root must be bracketed in rtsafe\n", 0), 0u) << out;
  EXPECT_TRUE(std::isfinite(y));
}

TEST(Rtsafe, RootAtABracketEndIsReturnedAsIs) {
  EXPECT_EQ(sizing_root(0.0, 3.0, 2.0, 0.0, 3.0, 1.0e-6), 0.0);  // V = 0: f(0) = 0
}

}  // namespace
}  // namespace sitedrain::numeric
