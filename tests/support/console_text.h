// The console text of a run as the bundled cases keep it.
#pragma once

#include <sstream>
#include <string>

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

}  // namespace sitedrain::testing
