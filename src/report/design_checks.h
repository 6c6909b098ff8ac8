// The checks an approving authority makes of a storage design, each with
// its figures and a verdict: the critical storm bracketed by the durations
// tested, the peak discharge against the greenfield rate (or the site's
// discharge limit) of the same return period, half-emptying within the
// limit, the sizing settled, small storage, pump starts, and the
// climate-change allowance.  The report shows them as a table, checks.csv
// holds the same rows.
#pragma once

#include <string>
#include <vector>

#include "design/storm_series.h"
#include "results/design_results.h"

namespace sitedrain::report {

// Litres per second in one m^3/h.
inline constexpr double kLitresPerM3h = 1000.0 / 3600.0;

// Starts an hour above which a pump's cycling is flagged: a common limit
// for small submersible pumps.
constexpr int kPumpStartsPerHourLimit = 12;
// Peak stored volume under which a design is flagged as small, m^3: the
// water balance counts 1 m^3 or less as empty, so depths and outflows are
// coarse near it.
constexpr double kSmallStorageM3 = 10.0;

enum class Verdict { meets, does_not_meet, warning };

// "meets", "does not meet", "warning".
std::string verdict_text(Verdict v);

struct CheckRow {
  std::string check;        // "Half-emptying", ...
  int return_period = 0;    // years; 0: the whole run
  double outlet = 0.0;      // orifice diameter (mm) or pump rate (m^3/h)
  bool has_outlet = false;  // false: a soakaway or the whole run
  double value = 0.0;       // the design's figure, in unit
  double limit = 0.0;       // what it is held against, in unit
  bool has_limit = false;
  std::string unit;
  Verdict verdict = Verdict::meets;
  std::string note;  // the figures in words, and what to do
};

// The greenfield rate or discharge limit of a return period.
struct DischargeLimitUsed {
  int return_period = 0;
  double flow_l_per_s = 0.0;
  std::string source;  // "greenfield Q1% (Qbar x growth factor 2.14)", "site discharge limit"
};

struct ReturnPeriodOutcome {
  int return_period = 0;
  bool has_limit = false;
  DischargeLimitUsed limit;
  std::vector<double> outlets;  // those meeting the discharge limit and the half-emptying limit
};

struct DesignChecks {
  std::vector<CheckRow> rows;
  std::vector<ReturnPeriodOutcome> return_periods;
  std::vector<double>
      meeting_every_limit;  // outlet sizes meeting every limit in every return period
  bool any_outlet = false;  // the run has outlet sizes (pond, sump)
  std::string verdict;      // one plain sentence
};

// In: the results of a design run and the series simulated again (for the
// pump starts; may be null).  Out: the checks.
DesignChecks design_checks(const results::DesignResults& results,
                           const std::vector<design::StormSeries>* series);

// In: the checks and the kind of storage.  Out: checks.csv (RFC 4180, CR LF).
std::string checks_csv(const DesignChecks& checks);

}  // namespace sitedrain::report
