// Test helpers for the geometry tests: a log that keeps its lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "textio/text_file.h"

namespace sitedrain::testing {

struct KeptLines : textio::LineSink {
  std::vector<std::string> lines;
  void line(std::string_view text) override { lines.emplace_back(text); }
};

}  // namespace sitedrain::testing
