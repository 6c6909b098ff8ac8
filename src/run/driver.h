// The program driver: sequences the phases of one run and owns its files and
// working tables.  Returns the process exit status (0 normal end, 1 stop).
#pragma once

#include "design/design_search.h"

namespace sitedrain::run {

// options choose how the design storms are computed (the program itself
// always takes the defaults; tests and the benchmark choose).
int run_program(const design::SearchOptions& options = {});

}  // namespace sitedrain::run
