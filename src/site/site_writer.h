// Writing a case as a site file: `sitedrain convert` (a legacy case in keys)
// and `sitedrain new` (a commented file with every key).
#pragma once

#include <stdexcept>
#include <string>

#include "control/control_file.h"
#include "params/design_params.h"

namespace sitedrain::site {

// A legacy value the site file has no name for; what() names the record.
struct ConvertError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct WriteOptions {
  // Every key with its meaning, unit, default and when it is needed in a
  // comment; keys the run does not use are written commented out.
  bool commented = false;
  // The descriptor file name as the site file gives it (relative to the
  // site file); empty: files.input[1].
  std::string descriptor;
};

// In: a case's parameter set and run files (as read from either format,
// before the run set-up).  Out: the site file's text.  Throws ConvertError
// for a value that has no name in the site file (a loss-model code outside
// 0 to 3, two storage flags set, a WRAP class 0, ...).
std::string site_file_text(const params::DesignParams& p, const control::RunFiles& files,
                           const WriteOptions& options = {});

// "16500.0", "1.4", "0.0003": the shortest text that reads back to the same
// double, always with a decimal point or an exponent (a TOML float).
std::string toml_number(double v);

}  // namespace sitedrain::site
