// One run from the command line: into the case folder, the progress line on
// a terminal, the run itself, then the report and CSV tables it asked for.
#pragma once

#include "cli/command_line.h"

namespace sitedrain::cli {

// In: a parsed command line (action run).  Out: the process exit status of
// the run (0 normal end, 1 stop).
int run_case_with_outputs(const CommandLine& c);

}  // namespace sitedrain::cli
