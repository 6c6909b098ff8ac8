#include "textio/fixed_field.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "textio/console.h"

namespace sitedrain::textio {
namespace {

TEST(FixedField, Integers) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"    12", 12}, {" - 1 2", -12}, {"      ", 0},          {"", 0},
      {"+7", 7},      {"1.0", {}},     {"12a", {}},            {"-", {}},
      {"99999999999", {}},             {"-2147483648", -2147483647 - 1}};
  for (const auto& [text, value] : cases) EXPECT_EQ(parse_int(text), value) << text;
}

TEST(FixedField, RealsWithImpliedDecimals) {
  const struct {
    const char* text;
    int decimals;
    std::optional<double> value;
  } cases[] = {{"    12", 2, 0.12},   {"   1.2", 2, 1.2},    {"     1", 2, 0.01},
               {"   1.0", 2, 1.0},    {"     1", 4, 0.0001}, {"  1500", 0, 1500.0},
               {"1.5e3", 0, 1500.0},  {"15e2", 2, 15.0},  // implied decimals, then the exponent
               {"1.5D-1", 0, 0.15},   {"      ", 2, 0.0},   {" 1 . 5", 0, 1.5},
               {".5", 0, 0.5},        {"1.2.3", 0, {}},     {"abc", 0, {}},
               {".", 0, {}},          {"1e", 0, {}},        {"1e999", 0, {}}};
  for (const auto& c : cases) EXPECT_EQ(parse_real(c.text, c.decimals), c.value) << c.text;
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
