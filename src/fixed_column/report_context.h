// What the report writers need to know about a run: the parameter set, the
// generated lists, the catchment record, the site name and the greenfield
// rates.
#pragma once

#include <string>
#include <string_view>

#include "greenfield/greenfield.h"
#include "params/design_params.h"
#include "params/run_setup.h"
#include "rainfall/catchment.h"

namespace sitedrain::fixed_column {

struct ReportContext {
  const params::DesignParams& params;
  const params::RunSetup& setup;  // return-period and duration lists
  const rainfall::Catchment& catchment;
  std::string_view location;  // site name, any length (may be empty)
  greenfield::Rates rates;    // read only when grnff = 1
};

// The kind of a storage run picks the table headings and row layouts.
using params::StorageKind;

// In: the parameter set.  Out: the 25-character structure label,
// "SOAKAWAY" whenever soak = 1, else "SUMP" when sump = 1, else
// "ATTENUATION POND", padded with blanks.
std::string structure_label(const params::DesignParams& p);

}  // namespace sitedrain::fixed_column
