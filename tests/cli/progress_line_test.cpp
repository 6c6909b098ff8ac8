// The progress line on a fake terminal and clock: at most ten draws a
// second, blanks over a longer old text, erased before console lines and at
// the end, nothing after the end.
#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include "support/capture.h"

namespace sitedrain::testing {
namespace {

TEST(ProgressLine, DrawsAtMostTenTimesASecondAndErasesItself) {
  std::string screen;
  double now = 100.0;
  cli::ProgressLine p([&](std::string_view s) { screen += s; }, [&] { return now; });
  p.start();
  EXPECT_EQ(cli::ProgressLine::text(0, 5, 0.4), "storms 0 of 5  0%  elapsed 0:00  left -:--");
  now += 3725.0;
  p.update(9, 400);
  const std::string first = "storms 9 of 400  2%  elapsed 1:02:05  left 44:57:11";
  EXPECT_EQ(screen, "\r" + first);
  screen.clear();
  now += 0.05;
  p.update(10, 400);  // too soon
  EXPECT_EQ(screen, "");
  now += 0.95;
  p.update(399, 400);  // a shorter text: blanks over the old end
  const std::string second = "storms 399 of 400  99%  elapsed 1:02:06  left 0:09";
  EXPECT_EQ(screen, "\r" + second + " \r" + second);
  screen.clear();
  p.erase();
  EXPECT_EQ(screen, "\r" + std::string(second.size(), ' ') + "\r");
  screen.clear();
  p.erase();     // nothing shown: nothing written
  p.update(10, 400);  // right after an erase: drawn again at once
  EXPECT_EQ(screen, "\rstorms 10 of 400  2%  elapsed 1:02:06  left 40:21:54");
  screen.clear();
  p.finish();
  EXPECT_EQ(screen, "\r" + std::string(52, ' ') + "\r");
  screen.clear();
  now += 10.0;
  p.update(400, 400);
  EXPECT_EQ(screen, "");
}

// The console calls its hook before each line of its own and before a
// replayed recording, not for an empty one.
TEST(ProgressLine, ConsoleHookRunsBeforeOutput) {
  static int calls = 0;
  calls = 0;
  console::set_before_output([] { ++calls; });
  const std::string out = console_of([] {
    console::line("one");
    auto r = std::make_shared<console::Recording>();
    r->line("two");
    console::show(r);
    console::show(std::make_shared<console::Recording>());
  });
  console::set_before_output(nullptr);
  EXPECT_EQ(out, "one\ntwo\n");
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace sitedrain::testing
