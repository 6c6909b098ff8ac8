#include "textio/fixed_field.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "textio/console.h"

namespace sitedrain::textio {
namespace {

TEST(FixedField, Integers) {
  EXPECT_EQ(parse_int("    12"), 12);
  EXPECT_EQ(parse_int(" - 1 2"), -12);
  EXPECT_EQ(parse_int("      "), 0);
  EXPECT_EQ(parse_int(""), 0);
  EXPECT_EQ(parse_int("+7"), 7);
  EXPECT_FALSE(parse_int("1.0"));
  EXPECT_FALSE(parse_int("12a"));
  EXPECT_FALSE(parse_int("-"));
  EXPECT_FALSE(parse_int("99999999999"));
  EXPECT_EQ(parse_int("-2147483648"), -2147483647 - 1);
}

TEST(FixedField, RealsWithImpliedDecimals) {
  EXPECT_EQ(parse_real("    12", 2), 0.12);
  EXPECT_EQ(parse_real("   1.2", 2), 1.2);
  EXPECT_EQ(parse_real("     1", 2), 0.01);
  EXPECT_EQ(parse_real("   1.0", 2), 1.0);
  EXPECT_EQ(parse_real("     1", 4), 0.0001);
  EXPECT_EQ(parse_real("  1500", 0), 1500.0);
  EXPECT_EQ(parse_real("1.5e3", 0), 1500.0);
  EXPECT_EQ(parse_real("15e2", 2), 15.0);  // implied decimals, then the exponent
  EXPECT_EQ(parse_real("1.5D-1", 0), 0.15);
  EXPECT_EQ(parse_real("      ", 2), 0.0);
  EXPECT_EQ(parse_real(" 1 . 5", 0), 1.5);
  EXPECT_EQ(parse_real(".5", 0), 0.5);
  EXPECT_FALSE(parse_real("1.2.3", 0));
  EXPECT_FALSE(parse_real("abc", 0));
  EXPECT_FALSE(parse_real(".", 0));
  EXPECT_FALSE(parse_real("1e", 0));
  EXPECT_FALSE(parse_real("1e999", 0));
}

TEST(FixedField, ColumnsOfShortLines) {
  EXPECT_EQ(columns("*nrp            3", 17, 6), "3");
  EXPECT_EQ(columns("*nrp", 17, 6), "");
  EXPECT_EQ(columns("*nrp               3  extra", 17, 6), "   3  ");
}

TEST(Console, PauseReadsOneLineAndReturnsAtEndOfInput) {
  std::FILE* saved = stdin;
  std::FILE* in = std::tmpfile();
  std::fputs("first line\nsecond", in);
  std::rewind(in);
  stdin = in;
  console::pause();
  char buf[32] = {};
  ASSERT_NE(std::fgets(buf, sizeof buf, stdin), nullptr);
  EXPECT_STREQ(buf, "second");
  console::pause();  // at end of input: returns at once
  stdin = saved;
  std::fclose(in);
}

}  // namespace
}  // namespace sitedrain::textio
