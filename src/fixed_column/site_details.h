// Lines that describe the site, shared by the greenfield-only report and the
// head of a storage-run report.
#pragma once

#include <string>

#include "fixed_column/report_context.h"
#include "textio/text_file.h"

namespace sitedrain::fixed_column {

// In: the context.  Out: the location line (site name left-aligned in 15
// columns, grid reference, annual rainfall), then an empty line.
void write_location_line(const ReportContext& ctx, textio::LineSink& out);

// In: the parameter set and sub-catchment i (from 1).  Out: the WRAP soil
// class shown for it: its slot when wrapf = 1 or i = 1, otherwise the
// unset marker -999 (only one class is given then).
int shown_soil_class(const params::DesignParams& p, int i);

// In: the context.  Out: an empty line, the rate headings (Qbar, Q3.33%,
// Q1%) and the line of greenfield runoff rates.
void write_greenfield_rates(const ReportContext& ctx, textio::LineSink& out);

}  // namespace sitedrain::fixed_column
