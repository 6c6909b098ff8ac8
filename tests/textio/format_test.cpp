#include "textio/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace sitedrain::textio {
namespace {

TEST(Format, RealFieldsAreCorrectlyRoundedFromTheBinaryValue) {
  EXPECT_EQ(fmt_f(0.25, 5, 1), "  0.2");  // 0.25 is exact: ties to even
  EXPECT_EQ(fmt_f(0.35, 5, 1), "  0.3");  // 0.35 is below the half in binary
  EXPECT_EQ(fmt_f(2.675, 6, 2), "  2.67");
  EXPECT_EQ(fmt_f(-1.25, 6, 1), "  -1.2");
  EXPECT_EQ(fmt_f(828.0, 8, 1), "   828.0");
  EXPECT_EQ(fmt_f(0.1729, 10, 4), "    0.1729");
}

TEST(Format, ZeroDecimalsKeepThePoint) {
  EXPECT_EQ(fmt_f(1500.0, 10, 0), "     1500.");
  EXPECT_EQ(fmt_f(16500.0, 10, 0), "    16500.");
  EXPECT_EQ(fmt_f(100.0 * 16 / 24, 8, 0), "     67.");
  EXPECT_EQ(fmt_f(3.0, 5, 0), "   3.");
}

TEST(Format, TooWideFillsWithAsterisks) {
  EXPECT_EQ(fmt_f(2500.0 / 2.0, 5, 1), "*****");
  EXPECT_EQ(fmt_f(999.95, 5, 1), "*****");  // rounds up to 1000.0
  EXPECT_EQ(fmt_f(999.94, 5, 1), "999.9");
  EXPECT_EQ(fmt_f(1e6, 12, 5), "************");
  EXPECT_EQ(fmt_f(std::nan(""), 6, 1), "******");
  EXPECT_EQ(fmt_f(std::numeric_limits<double>::infinity(), 4, 1), "****");
  EXPECT_EQ(fmt_i(123456, 5), "*****");
  EXPECT_EQ(fmt_i(-1234, 5), "-1234");
  EXPECT_EQ(fmt_i(-12345, 5), "*****");
}

TEST(Format, TextFields) {
  EXPECT_EQ(fmt_a("ATTENUATION POND         ", 17), "ATTENUATION POND ");
  EXPECT_EQ(fmt_a("SUMP", 8), "    SUMP");
  EXPECT_EQ(fmt_a("", 3), "   ");
}

TEST(Format, LinesByColumn) {
  Line l;
  l.at(2, "Location  ").at(12, fmt_a("Hexham         ", 15)).at(30, " NGR ");
  EXPECT_EQ(l.str(), " Location  Hexham             NGR ");
  EXPECT_EQ(Line().at(5, "x").str(), "    x");
}

TEST(Format, TenPerLine) {
  std::vector<int> v;
  for (int i = 1; i <= 12; ++i) v.push_back(i * 10);
  std::string s = ten_per_line(v, 36, 6);
  std::string pad(35, ' ');
  EXPECT_EQ(s, pad + "    10    20    30    40    50    60    70    80    90   100\n" + pad +
                   "   110   120\n");
}

TEST(Format, FreeRecords) {
  FreeRecord r("text");
  r << 3 << 2.2 << 0.1 + 0.2 << -1e-7;
  EXPECT_EQ(r.str(), "text 3 2.2 0.30000000000000004 -1e-07");
}

}  // namespace
}  // namespace sitedrain::textio
