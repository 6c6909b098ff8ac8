// The head of a storage-run report: site details, the design criteria,
// the lists of return periods and durations, then the table headings of the
// report; and the headings of the full results file, written with it.
#pragma once

#include "fixed_column/report_context.h"
#include "textio/text_file.h"

namespace sitedrain::fixed_column {

// In: the context.  Out: the report head on report, ending with the
// report's table headings for the run's kind.
void write_report_head(const ReportContext& ctx, textio::LineSink& report);

// In: the context.  Out: the report head on report and the heading block
// of the full results file on results: what a storage run writes before
// its design search.
void write_storage_head(const ReportContext& ctx, textio::LineSink& report,
                        textio::LineSink& results);

}  // namespace sitedrain::fixed_column
