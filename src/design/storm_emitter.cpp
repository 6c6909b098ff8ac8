#include "design/storm_emitter.h"

#include "fixed_column/progress_record.h"
#include "fixed_column/report_tables.h"
#include "fixed_column/results_rows.h"
#include "textio/console.h"
#include "textio/format.h"
#include "textio/stop.h"

namespace sitedrain::design {

using fixed_column::runoff_row;
using fixed_column::table_row;
using fixed_column::write_progress;
using fixed_column::write_results_row;

using params::StorageKind;

StormEmitter::StormEmitter(const SearchOutput& out, std::int64_t total, ProgressFn progress,
                           results::DesignResults& results)
    : out_(out), total_(total), progress_(std::move(progress)), results_(results) {}

void StormEmitter::begin(std::int64_t q) {
  textio::OutFile f;
  if (!f.open(out_.progress_name))
    console::stop_with("ERROR opening file" + textio::padded_file_name(out_.progress_name));
  write_progress(q, total_, f);
  if (!f.close()) console::stop_with("ERROR opening timer file");
}

void StormEmitter::emit(std::int64_t q, const StormOutcome& o) {
  o.console.replay();
  for (const std::string& l : o.log.lines) out_.log->line(l);
  if (o.stop_status >= 0) stop(o.stop_status);
  if (results_.kind == StorageKind::runoff_only) {
    results_.runoff_rows.push_back(o.row);
    out_.report->line(runoff_row(o.row));
  } else if (o.stored) {
    results_.records.push_back(o.record);
    write_results_row(results_.kind, o.record, *out_.full);
  }
  if (progress_) progress_(q, total_);
}

void StormEmitter::no_runoff_for_duration(int duration) {
  out_.log->line(textio::fmt_a("There was no runoff from the catchment for storms specified "
                               "for duration =  ",
                               81) +
                 textio::fmt_i(duration, 6));
}

void StormEmitter::governing_rows(int i) {
  for (std::size_t n : results_.governing[static_cast<std::size_t>(i - 1)])
    out_.report->line(table_row(results_.kind, results_.records[n]));
}

void StormEmitter::no_runoff_at_all() {
  console::line("No runoff from the catchment - check parameters");
  out_.log->line(textio::fmt_a(
      "There was no runoff from the catchment for any storm - surface was too permeable", 81));
  stop(1);
}

}  // namespace sitedrain::design
