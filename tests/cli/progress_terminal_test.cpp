// A run on a terminal (a pseudo-terminal made by script(1)): the progress
// line is drawn, erased before every console line and at the end, so the
// screen reads as the console of the bundled case.
#include <gtest/gtest.h>

#include "support/console_text.h"
#include "support/run_case.h"

namespace sitedrain::testing {
namespace {

// The lines a terminal shows for the text: '\r' returns to the line's
// start, later characters overwrite earlier ones; trailing blanks dropped.
std::string screen_of(const std::string& raw) {
  std::string out, line;
  std::size_t col = 0;
  auto end_line = [&] {
    line.erase(line.find_last_not_of(' ') + 1);
    out += line + "\n";
    line.clear();
    col = 0;
  };
  for (char ch : raw) {
    if (ch == '\r') {
      col = 0;
    } else if (ch == '\n') {
      end_line();
    } else {
      if (col < line.size())
        line[col] = ch;
      else
        line += ch;
      ++col;
    }
  }
  line.erase(line.find_last_not_of(' ') + 1);
  EXPECT_EQ(line, "") << "the progress line was left on the screen";
  return out;
}

TEST(ProgressTerminal, ErasedBeforeConsoleLinesAndAtTheEnd) {
  const TempDir dir("terminal");
  copy_files(case_dir("pond_greenfield"), dir);
  const std::string cmd = "cd '" + dir.string() +
                          "' && script -qec \"'" SITEDRAIN_EXE
                          "' --threads 1 </dev/null\" /dev/null >screen.raw 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string raw = read_file(dir / "screen.raw");
  EXPECT_NE(raw.find("\rstorms "), std::string::npos) << "no progress line was drawn";
  EXPECT_EQ(screen_of(raw), read_file(case_dir("pond_greenfield") / "expected" / "console.txt"));
}

}  // namespace
}  // namespace sitedrain::testing
