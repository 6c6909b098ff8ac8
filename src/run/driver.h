// The program driver: sequences the phases of one run and owns its files
// (the room for the storm records is taken before any output exists).
// Returns the exit status and what the run computed.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "control/control_file.h"
#include "design/design_search.h"
#include "geometry/orifice.h"
#include "report/run_notes.h"
#include "results/design_results.h"

namespace sitedrain::run {

// What a run computed, for the outputs beyond its eight files (the HTML
// report and the CSV tables).  Complete when the run ended normally.
struct RunData {
  results::DesignResults results;  // the head for every mode; records and rows of storage runs
  std::vector<double> rain;        // design depths rain[k * nrp + i], mm; empty: none computed
  geometry::CoeffTable table;      // pond runs: the orifice coefficients
  double ratio = 1.0;              // top length-to-width ratio of the sizing
  // The parameter file named by the control file ("" before it is known),
  // kept after a stop too: the advice on its text follows every run.
  std::string parameter_file;
  report::RunNotes notes;  // warnings shown, input files, date
};

// The exit status of a run (0 normal end, 1 stop) and, after a normal end,
// what it computed.
struct RunOutcome {
  int status = 0;
  RunData data;
};

// options choose how the design storms are computed (the program itself
// always takes the defaults; tests and the benchmark choose).  more: the
// files the command line asks for besides the eight outputs, checked with
// them before any output is created (a clash throws control::OutputClash
// out of the run).
RunOutcome run_program(const design::SearchOptions& options = {},
                       std::span<const control::CommandLineOutput> more = {});

}  // namespace sitedrain::run
