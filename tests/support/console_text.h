// The console text of a run as the bundled cases keep it, and a run compared
// with a bundled case's expected folder.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/run_case.h"

namespace sitedrain::testing {

// The console without the per-call lines of the PDM model (one real each).
inline std::string console_without_pdm_lines(const std::string& console) {
  std::istringstream in(console);
  std::string line, out;
  while (std::getline(in, line)) {
    if (line.size() > 1 && line[0] == ' ' &&
        line.find_first_not_of(" -+.0123456789e") == std::string::npos)
      continue;
    out += line + "\n";
  }
  return out;
}

// Expects a run of the bundled case `name` to have written every file of its
// expected folder in dir, byte for byte, with its exit status and console
// (without the PDM lines; both consoles seen through `view` when given).
inline void expect_expected_outputs(const fs::path& dir, const std::string& name, int status,
                                    const std::string& console, const std::string& what = "",
                                    std::string (*view)(const std::string&) = nullptr) {
  const auto seen = [&](const std::string& text) { return view ? view(text) : text; };
  for (const auto& e : fs::directory_iterator(case_dir(name) / "expected")) {
    const std::string file = e.path().filename().string(), want = read_file(e.path());
    SCOPED_TRACE(what + " " + file);
    if (file == "exit.txt")
      EXPECT_EQ(std::to_string(status) + "\n", want);
    else if (file == "console.txt")
      EXPECT_EQ(seen(console_without_pdm_lines(console)), seen(want));
    else if (!fs::exists(dir / file))
      ADD_FAILURE() << file << " was not written";
    else
      EXPECT_EQ(read_file(dir / file), want);
  }
}

}  // namespace sitedrain::testing
