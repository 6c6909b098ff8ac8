// What the report writers need to know about a run: its head (the parameter
// set, the generated lists, the catchment record, the site name and the
// greenfield rates), built once by the driver.
#pragma once

#include <string>

#include "params/design_params.h"
#include "results/design_results.h"

namespace sitedrain::fixed_column {

using ReportContext = results::ReportHeadData;

// The kind of a storage run picks the table headings and row layouts.
using params::StorageKind;

// In: the parameter set.  Out: the 25-character structure label,
// "SOAKAWAY" whenever soak = 1, else "SUMP" when sump = 1, else
// "ATTENUATION POND", padded with blanks.
std::string structure_label(const params::DesignParams& p);

}  // namespace sitedrain::fixed_column
