// The program's version, shown by --version and in the HTML report.
#pragma once

namespace sitedrain::cli {

inline constexpr const char* kVersion = "1.0.0";

}  // namespace sitedrain::cli
