// The short report of a greenfield-only run: the site, the sub-catchments
// with their WRAP soil classes and the greenfield runoff rates.
#pragma once

#include "fixed_column/report_context.h"
#include "textio/text_file.h"

namespace sitedrain::fixed_column {

// In: the context (params, catchment, location, rates).  Out: the whole
// greenfield-only report on out.  Closing the file is the caller's.
void write_greenfield_report(const ReportContext& ctx, textio::LineSink& out);

}  // namespace sitedrain::fixed_column
