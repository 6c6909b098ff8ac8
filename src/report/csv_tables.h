// The run's tables as CSV files (RFC 4180: one header row of names with
// their units, numbers as the shortest text that reads back to the same
// double, '.' decimal point, no padding, CR LF line ends):
//   rainfall.csv     duration, return period, depth (long format)
//   storms.csv       every storm record of a design search
//   critical.csv     the governing record of each return period and outlet
//   hydrographs.csv  the series of the critical storms the report plots,
//                    each with its drain-down
//   checks.csv       the design checks (check, return period, outlet,
//                    value, limit, unit, verdict, note)
//   greenfield.csv   the greenfield rates, when computed
//   runoff.csv       every storm of a runoff-only run
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "design/storm_series.h"
#include "results/design_results.h"

namespace sitedrain::report {

struct CsvInput {
  const results::DesignResults* results = nullptr;  // the head for every mode
  const std::vector<double>* rain = nullptr;        // depths rain[k * nrp + i], mm; empty: none
  const std::vector<design::StormSeries>* series = nullptr;
};

// Every name csv_tables may give a table, in the order above (the names the
// command line checks before a run).
inline constexpr std::array<std::string_view, 7> kCsvTableNames = {
    "rainfall.csv", "storms.csv",     "critical.csv", "hydrographs.csv",
    "checks.csv",   "greenfield.csv", "runoff.csv"};

// In: what the run computed.  Out: the tables of its mode, as file name and
// contents.
std::vector<std::pair<std::string, std::string>> csv_tables(const CsvInput& in);

}  // namespace sitedrain::report
