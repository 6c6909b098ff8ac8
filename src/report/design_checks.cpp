#include "report/design_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "design/selections.h"
#include "greenfield/greenfield.h"
#include "report/csv_storms.h"

namespace sitedrain::report {

namespace {

using params::StorageKind;
using results::DesignResults;
using results::StormRecord;

constexpr double kM2PerHa = 10000.0;

std::string fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

std::string years(int rp) {
  return std::to_string(rp) + (rp == 1 ? " year" : " years");
}

// The discharge limit of a return period: the site's own limit for it,
// else its limit for every return period, else the greenfield rate.
bool limit_of(const DesignResults& r, int rp, DischargeLimitUsed& out) {
  const params::DesignParams& p = r.head.params;
  const params::DischargeLimit* all = nullptr;
  for (const params::DischargeLimit& l : p.discharge_limits) {
    if (l.return_period_years == rp) {
      out = {rp, l.flow_l_per_s, "site discharge limit for " + years(rp)};
      return true;
    }
    if (l.return_period_years == 0 && !all) all = &l;
  }
  if (all) {
    out = {rp, all->flow_l_per_s, "site discharge limit"};
    return true;
  }
  if (p.greenfield_rates != 1) return false;
  const greenfield::Rates& g = r.head.rates;
  const double q = greenfield::greenfield_rate(g, rp) * 1000.0;
  out = {rp, q,
         rp <= 2 ? "greenfield Qbar"
                 : "greenfield " + years(rp) + " rate (Qbar x growth factor " +
                       fixed(greenfield::greenfield_rate(g, rp) / g.qbar, 3) + ")"};
  return true;
}

std::string outlet_words(StorageKind k, double size) {
  return k == StorageKind::pond ? fixed(size, 0) + " mm" : fixed(size, 1) + " m³/h";
}

std::string outlet_list(StorageKind k, const std::vector<double>& v) {
  std::string s;
  for (std::size_t n = 0; n < v.size(); ++n)
    s += (n == 0 ? "" : n + 1 == v.size() ? " and " : ", ") + outlet_words(k, v[n]);
  return s + (k == StorageKind::pond ? (v.size() == 1 ? " orifice" : " orifices")
                                     : (v.size() == 1 ? " pump rate" : " pump rates"));
}

// A text field: quoted when it holds a separator, a quote or a line end.
std::string csv_text(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char ch : s) q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
  return q + "\"";
}

class Checker {
 public:
  Checker(const DesignResults& r, const std::vector<design::StormSeries>* series)
      : r_(r), p_(r.head.params) {
    if (series)
      for (const design::StormSeries& s : *series) series_of_[s.record] = &s;
  }

  DesignChecks run() {
    DesignChecks c;
    c.any_outlet = r_.kind != StorageKind::soakaway;
    std::map<double, bool> every;  // outlet: meets every limit so far
    std::size_t unbracketed = 0, designs = 0, warnings = 0;
    for (std::size_t i = 0; i < r_.governing.size(); ++i) {
      if (r_.governing[i].empty()) continue;
      const int rp = r_.records[r_.governing[i].front()].return_period;
      ReturnPeriodOutcome o;
      o.return_period = rp;
      o.has_limit = r_.kind != StorageKind::soakaway && limit_of(r_, rp, o.limit);
      for (std::size_t n : r_.governing[i]) {
        const StormRecord& rec = r_.records[n];
        ++designs;
        const std::size_t first = c.rows.size();
        c.rows.push_back(critical_storm_bracketed(rec));
        unbracketed += c.rows.back().verdict == Verdict::does_not_meet;
        bool meets = true;  // the limits: discharge and half-emptying
        if (o.has_limit) {
          c.rows.push_back(peak_discharge(rec, o.limit));
          meets = c.rows.back().verdict == Verdict::meets;
        }
        c.rows.push_back(half_emptying(rec));
        meets = meets && c.rows.back().verdict == Verdict::meets;
        c.rows.push_back(sizing_settled(rec));
        c.rows.push_back(small_storage(rec));
        if (r_.kind == StorageKind::sump) c.rows.push_back(pump_starts(rec, n));
        for (std::size_t k = first; k < c.rows.size(); ++k)
          warnings += c.rows[k].verdict == Verdict::warning;
        if (meets) o.outlets.push_back(rec.outlet_size);
        auto [it, added] = every.emplace(rec.outlet_size, meets);
        if (!added) it->second = it->second && meets;
      }
      c.return_periods.push_back(o);
    }
    // outlets missing from a return period's governing records meet nothing there
    for (auto& [outlet, ok] : every)
      for (const ReturnPeriodOutcome& o : c.return_periods)
        if (ok && std::find(o.outlets.begin(), o.outlets.end(), outlet) == o.outlets.end())
          ok = false;
    for (const auto& [outlet, ok] : every)
      if (ok) c.meeting_every_limit.push_back(outlet);

    c.rows.push_back(climate_change_allowance());
    warnings += c.rows.back().verdict == Verdict::warning;
    c.verdict = verdict(c, unbracketed, designs, warnings);
    return c;
  }

 private:
  // The critical storm lies between the shortest and the longest duration.
  CheckRow critical_storm_bracketed(const StormRecord& rec) const {
    const auto& durs = r_.head.durations;
    CheckRow row = base("Critical storm bracketed", rec);
    row.value = rec.duration;
    row.unit = "min";
    const int shortest = durs.empty() ? 0 : durs.front();
    const int longest = durs.empty() ? 0 : durs.back();
    const bool at_end = durs.empty() || rec.duration == shortest || rec.duration == longest;
    row.verdict = at_end ? Verdict::does_not_meet : Verdict::meets;
    row.note = at_end ? std::string("the critical duration is the ") +
                            (rec.duration == shortest ? "shortest" : "longest") + " tested (" +
                            std::to_string(shortest) + " to " + std::to_string(longest) +
                            " min): extend the durations"
                      : "durations of " + std::to_string(shortest) + " to " +
                            std::to_string(longest) + " min tested on both sides";
    return row;
  }

  // Peak discharge against the limit of the return period.
  CheckRow peak_discharge(const StormRecord& rec, const DischargeLimitUsed& limit) const {
    CheckRow row = base("Peak discharge", rec);
    row.value = rec.peak_outflow * kLitresPerM3h;
    row.limit = limit.flow_l_per_s;
    row.has_limit = true;
    row.unit = "l/s";
    row.verdict = row.value <= row.limit ? Verdict::meets : Verdict::does_not_meet;
    const double ha = r_.head.total_area / kM2PerHa;
    row.note =
        fixed(row.value, 2) + " l/s against " + fixed(row.limit, 2) + " l/s of the " + limit.source;
    if (ha > 0.0)
      row.note +=
          "; " + fixed(row.value / ha, 2) + " against " + fixed(row.limit / ha, 2) + " l/s/ha";
    return row;
  }

  // Half-emptying within the limit.
  CheckRow half_emptying(const StormRecord& rec) const {
    CheckRow row = base("Half-emptying", rec);
    row.value = rec.half_emptying_time;
    row.limit = p_.half_emptying_limit_h;
    row.has_limit = true;
    row.unit = "h";
    row.verdict = design::half_empties_in_time(rec, p_.half_emptying_limit_h)
                      ? Verdict::meets
                      : Verdict::does_not_meet;
    row.note = rec.half_emptying_time > 0.0
                   ? "half-empties in " + fixed(rec.half_emptying_time, 1) + " h against " +
                         std::to_string(p_.half_emptying_limit_h) + " h"
                   : "no half-emptying time found (the storage never holds half its volume "
                     "while letting water out)";
    return row;
  }

  CheckRow sizing_settled(const StormRecord& rec) const {
    CheckRow row = base("Sizing settled", rec);
    row.value = rec.peak_volume;
    row.unit = "m³";
    row.verdict = rec.unstable ? Verdict::warning : Verdict::meets;
    row.note = rec.unstable ? "the sizing did not settle within 16 passes (U): the volume " +
                                  fixed(rec.peak_volume, 1) + " m³ is the mean of the last two"
                            : "the volume settled within 0.1 m³";
    return row;
  }

  CheckRow small_storage(const StormRecord& rec) const {
    CheckRow row = base("Small storage", rec);
    row.value = rec.peak_volume;
    row.limit = kSmallStorageM3;
    row.has_limit = true;
    row.unit = "m³";
    const bool small = rec.peak_volume < kSmallStorageM3;
    row.verdict = small ? Verdict::warning : Verdict::meets;
    row.note = small ? "peak stored volume under 10 m³: the model counts 1 m³ or less as "
                       "empty, so its depths and outflows are coarse here"
                     : "peak stored volume of 10 m³ or more";
    return row;
  }

  // Pump starts in the busiest hour of the critical storm (record n).
  CheckRow pump_starts(const StormRecord& rec, std::size_t n) const {
    CheckRow row = base("Pump starts", rec);
    row.limit = kPumpStartsPerHourLimit;
    row.has_limit = true;
    row.unit = "starts/h";
    const auto s = series_of_.find(n);
    if (s == series_of_.end()) {
      row.value = NAN;
      row.verdict = Verdict::warning;
      row.note = "not simulated";
      return row;
    }
    row.value = s->second->most_starts_in_an_hour;
    const bool many = row.value > kPumpStartsPerHourLimit;
    row.verdict = many ? Verdict::warning : Verdict::meets;
    row.note = std::to_string(s->second->most_starts_in_an_hour) +
               " starts in the busiest hour of the critical storm and its drain-down (" +
               std::to_string(s->second->pump_starts) + " in all) against " +
               std::to_string(kPumpStartsPerHourLimit) +
               " an hour (a common limit for small submersible pumps)";
    if (many) row.note += ": the pump's switching levels must hold it to fewer";
    return row;
  }

  CheckRow climate_change_allowance() const {
    CheckRow row;
    row.check = "Climate-change allowance";
    row.value = p_.climate_change_factor;
    row.limit = 1.0;
    row.has_limit = true;
    row.verdict = p_.climate_change_factor <= 1.0 ? Verdict::warning : Verdict::meets;
    row.note = p_.climate_change_factor <= 1.0
                   ? "climate-change factor " + fixed(p_.climate_change_factor, 2) +
                         ": no allowance for a wetter climate is made"
                   : "rainfall depths multiplied by " + fixed(p_.climate_change_factor, 2);
    return row;
  }

  const DesignResults& r_;
  const params::DesignParams& p_;
  std::map<std::size_t, const design::StormSeries*> series_of_;

  CheckRow base(const char* check, const StormRecord& rec) const {
    CheckRow row;
    row.check = check;
    row.return_period = rec.return_period;
    row.has_outlet = r_.kind != StorageKind::soakaway;
    row.outlet = rec.outlet_size;
    return row;
  }

  std::string verdict(const DesignChecks& c, std::size_t unbracketed, std::size_t designs,
                      std::size_t warnings) const {
    bool any_limit = false;
    for (const ReturnPeriodOutcome& o : c.return_periods) any_limit = any_limit || o.has_limit;
    const std::string limits =
        any_limit ? "the discharge limit and the half-emptying limit" : "the half-emptying limit";
    std::string s;
    if (r_.kind == StorageKind::soakaway) {
      s = c.meeting_every_limit.empty()
              ? "The soakaway does not meet the half-emptying limit of " +
                    std::to_string(p_.half_emptying_limit_h) + " h in every return period."
              : "The soakaway meets the half-emptying limit of " +
                    std::to_string(p_.half_emptying_limit_h) + " h in every return period.";
    } else if (c.meeting_every_limit.empty()) {
      s = "No outlet size meets " + limits + " of every return period.";
    } else {
      s = "Meeting " + limits + " of every return period: the " +
          outlet_list(r_.kind, c.meeting_every_limit) + ".";
    }
    if (!any_limit && r_.kind != StorageKind::soakaway)
      s += " No discharge limit was checked (no greenfield rates computed and no site limit).";
    if (unbracketed > 0)
      s += " For " + std::to_string(unbracketed) + " of " + std::to_string(designs) +
           " designs the critical storm is the shortest or longest duration tested: extend the "
           "durations.";
    if (warnings > 0)
      s += " " + std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings") +
           " in the design checks.";
    return s;
  }
};

}  // namespace

std::string verdict_text(Verdict v) {
  switch (v) {
    case Verdict::does_not_meet:
      return "does not meet";
    case Verdict::warning:
      return "warning";
    case Verdict::meets:
      break;
  }
  return "meets";
}

DesignChecks design_checks(const DesignResults& results,
                           const std::vector<design::StormSeries>* series) {
  return Checker(results, series).run();
}

std::string checks_csv(const DesignChecks& checks) {
  std::string s = "check,return_period_years,outlet,value,limit,unit,verdict,note\r\n";
  for (const CheckRow& row : checks.rows) {
    s += csv_text(row.check) + ',';
    if (row.return_period > 0) s += std::to_string(row.return_period);
    if (row.has_outlet)
      csv_number(s, row.outlet);
    else
      s += ',';
    csv_number(s, row.value);
    if (row.has_limit)
      csv_number(s, row.limit);
    else
      s += ',';
    std::string unit = row.unit == "m³" ? "m3" : row.unit;
    s += ',' + csv_text(unit) + ',' + verdict_text(row.verdict) + ',' + csv_text(row.note) + "\r\n";
  }
  return s;
}

}  // namespace sitedrain::report
