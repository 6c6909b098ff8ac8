// Advice on a case's inputs: values that are legal and run, but that a
// person most likely meant otherwise (implied decimals, a value typed a
// column off, a record missing above, a factor that reduces the rain).
// `sitedrain check` prints them; a run prints them on standard error after
// its console.  Warnings never stop a run.
#pragma once

#include <string>
#include <vector>

#include "params/design_params.h"
#include "params/run_setup.h"
#include "rainfall/catchment.h"

namespace sitedrain::check {

struct InputWarning {
  std::string file;   // the file the value was read from
  int line = 0;       // 1-based line of the value; 0 when not known
  std::string field;  // the parameter file's key (cchgfac, rhmpt, ...)
  std::string text;   // what was read and what was probably meant
};

// In: a legacy parameter file.  Out: warnings about how its text was read
// (implied decimals far from the digits, characters beyond a field's last
// column, a record whose label is not the key expected there), in line
// order.  Reads the file only; an unreadable file gives no warning (the
// run's own reader reports it).
std::vector<InputWarning> parameter_file_warnings(const std::string& path);

// In: the values of a case as the run will use them (either input format)
// and its catchment record when read.  Out: warnings about values that are
// legal but suspicious.  file names the input the values came from.
std::vector<InputWarning> design_value_warnings(const params::DesignParams& p,
                                                const params::RunSetup& setup,
                                                const rainfall::Catchment* catchment,
                                                const std::string& file);

// In: a warning.  Out: its one-line text, "WARNING params.txt, line 19,
// cchgfac: ...", without a line number when it is not known.
std::string warning_line(const InputWarning& w);

}  // namespace sitedrain::check
