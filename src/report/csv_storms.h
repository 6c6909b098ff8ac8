// Every storm record of a design as a CSV table (RFC 4180): one header row
// of column names with their units, then one row per record in storm
// order.  Numbers are the shortest text that reads back as the same double
// ('.' decimal point, no padding, exponent form where shorter); a value
// that is not finite is an empty field.  Lines end with CR LF.
#pragma once

#include <ostream>
#include <string>

#include "results/design_results.h"

namespace sitedrain::report {

// Appends ',' and the shortest text of v that reads back as the same double
// (nothing after the ',' for a value that is not finite).
void csv_number(std::string& s, double v);

// In: the kind of storage designed.  Out: the header row, without its line
// end.  The outlet column is orifice_diameter_mm for a pond and
// pump_rate_m3_per_h for a sump; a soakaway has none.
std::string storms_csv_header(params::StorageKind kind);

// In: the results.  Out: the header and every record's row on out; the
// last four columns flag an unstable sizing and the record's selections
// (governing, smallest, half-emptying) with 1 or 0.
void write_storms_csv(const results::DesignResults& results, std::ostream& out);

}  // namespace sitedrain::report
