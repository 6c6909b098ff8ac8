#include "textio/fixed_field.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "support/capture.h"
#include "textio/console.h"
#include "textio/text_file.h"

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

TEST(FixedField, EchoedFieldsArePrintable) {
  EXPECT_EQ(printable("ab ~\r\t\x1b[2J\x7f\xc3\xa9"), "ab ~\\r\\x09\\x1B[2J\\x7F\\xC3\\xA9");
  EXPECT_EQ(field_error({"p.txt", 3, "nrp"}, 17, 6, "1\r", "not a number"),
            "ERROR reading file p.txt, line 3, nrp (columns 17-22): \"1\\r\" - not a number");
}

TEST(TextFile, LinesUpTo1MiBAreReadAndLongerOnesRefused) {
  const std::string longest(kMaxLineLength, 'x');
  LineReader in;
  in.open_text("a\r\n" + longest + "\r\n" + longest + "yz", "in.txt");
  std::string line;
  ASSERT_TRUE(in.next(line) && in.next(line));
  EXPECT_EQ(line, longest);  // the CR is not counted
  EXPECT_EQ(testing::stop_output([&] { in.next(line); }),
            "ERROR reading file in.txt, line 3: the line is longer than 1048576 characters\n");
}

TEST(Console, FlushTickerFlushesOncePerPeriod) {
  using namespace std::chrono_literals;
  console::FlushTicker::Clock::time_point now{};
  int flushes = 0;
  console::FlushTicker ticker(
      1s, [&] { return now; }, [&] { ++flushes; }, false);
  const std::pair<std::chrono::milliseconds, int> steps[] = {
      {999ms, 0}, {1ms, 1}, {500ms, 1}, {499ms, 1}, {1ms, 2}, {5000ms, 3}, {999ms, 3}};
  for (const auto& [advance, expected] : steps) {
    now += advance;
    ticker.poll();
    EXPECT_EQ(flushes, expected) << "after " << (now.time_since_epoch() / 1ms) << " ms";
  }
  // The program's ticker runs a thread; it ends with its owner.
  { console::FlushTicker running; }
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
