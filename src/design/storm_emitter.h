// The in-order emitter of a design search: takes the outcomes of the storms
// in storm order and writes what each shows and logs, its row and record,
// and the progress file, exactly as a search on one thread would.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "design/storm_sizing.h"
#include "results/design_results.h"
#include "storage/diagnostic_sink.h"
#include "textio/text_file.h"

namespace sitedrain::design {

// Where a search writes.
struct SearchOutput {
  textio::LineSink* log = nullptr;
  textio::LineSink* full = nullptr;    // full results file
  textio::LineSink* report = nullptr;  // report file
  storage::DiagnosticSink* diag = nullptr;
  std::string progress_name;  // reopened at every storm
};

// Told after each storm is written: storms done and the total.
using ProgressFn = std::function<void(std::int64_t done, std::int64_t total)>;

class StormEmitter {
 public:
  // In: the sinks, the number of storms of the search, an optional progress
  // callback and the results that receive the records and rows.
  StormEmitter(const SearchOutput& out, std::int64_t total, ProgressFn progress,
               results::DesignResults& results);

  // Before storm number q (from 1) is awaited: the progress file shows the
  // share of storms begun.  A file that cannot be written stops the run.
  void begin(std::int64_t q);

  // Storm number q, in storm order: its console lines and pauses, log
  // records, its stop of the run (thrown here), then its record with the
  // full results row, or its runoff-only row on the report.
  void emit(std::int64_t q, const StormOutcome& o);

  // The log record of a sump sweep whose duration (min) brought no runoff.
  void no_runoff_for_duration(int duration);

  // The governing rows of return period i (from 1) on the report.
  void governing_rows(int i);

  // The messages of a return period without runoff; stops the run.
  [[noreturn]] void no_runoff_at_all();

 private:
  const SearchOutput& out_;
  std::int64_t total_;
  ProgressFn progress_;
  results::DesignResults& results_;
};

}  // namespace sitedrain::design
