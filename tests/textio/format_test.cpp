#include "textio/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace sitedrain::textio {
namespace {

TEST(Format, RealFieldsRoundTheBinaryValueAndOverflowToAsterisks) {
  EXPECT_EQ(fmt_f(0.25, 5, 1), "  0.2");  // 0.25 is exact: ties to even
  EXPECT_EQ(fmt_f(0.35, 5, 1), "  0.3");  // 0.35 is below the half in binary
  EXPECT_EQ(fmt_f(2.675, 6, 2), "  2.67");
  EXPECT_EQ(fmt_f(-1.25, 6, 1), "  -1.2");
  EXPECT_EQ(fmt_f(3.0, 5, 0), "   3.");  // no decimals keeps the point
  EXPECT_EQ(fmt_f(999.95, 5, 1), "*****");  // rounds up to 1000.0
  EXPECT_EQ(fmt_f(999.94, 5, 1), "999.9");
  EXPECT_EQ(fmt_f(std::nan(""), 6, 1), "******");
  EXPECT_EQ(fmt_f(std::numeric_limits<double>::infinity(), 4, 1), "****");
  EXPECT_EQ(fmt_f(1e35, 38, 1), " 99999999999999996863366107917975552.0");  // wide fields print it
  EXPECT_EQ(fmt_i(123456, 5), "*****");
  EXPECT_EQ(fmt_i(-1234, 5), "-1234");
  EXPECT_EQ(fmt_i(-12345, 5), "*****");
  EXPECT_EQ(fmt_a("SUMP", 8), "    SUMP");
}

TEST(Format, FreeRecordsUseTheShortestRoundTripForm) {
  FreeRecord r("text");
  r << 3 << 2.2 << 0.1 + 0.2 << -1e-7;
  EXPECT_EQ(r.str(), "text 3 2.2 0.30000000000000004 -1e-07");
}

}  // namespace
}  // namespace sitedrain::textio
