#include "params/parameter_file.h"

#include <cstdlib>
#include <string>

#include "textio/console.h"
#include "textio/fixed_field.h"
#include "textio/stop.h"

namespace sitedrain::params {

namespace {

using console::stop_after_keypress;

// "value of surface must be between 1 and 11 for rom = 2 or 3": the range of
// the surface codes and every model code that accepts as many.
std::string surface_range_message(int max_surface) {
  std::string codes;
  for (const LossModelCode& c : kLossModelCodes) {
    if (c.surface_types != max_surface) continue;
    if (!codes.empty()) codes += " or ";
    codes += std::to_string(c.code);
  }
  return "value of surface must be between 1 and " + std::to_string(max_surface) +
         " for rom = " + codes;
}

using Role = RecordRead::Role;

// Positional reader of the parameter file's records; with a trace it notes
// each record and field it reads.
class Records {
 public:
  Records(textio::LineReader& in, std::vector<RecordRead>* trace) : in_(in), trace_(trace) {}

  // The next record, for the named key; the file ending early stops the run.
  void next(std::string_view key, Role role = Role::keyword) {
    key_ = key;
    if (!in_.next(line_)) {
      std::string msg = "ERROR reading file " + in_.name() + ": the file ends before the " +
                        std::string(key) + " record (line " +
                        std::to_string(in_.line_number() + 1) + ")";
      console::stop_with(msg);
    }
    if (trace_) trace_->push_back({in_.line_number(), std::string(key), role, line_, {}});
  }

  bool marker() const { return !line_.empty() && line_[0] != ' '; }
  // Number of the record last read, from 1.
  int line() const { return in_.line_number(); }
  const std::string& file() const { return in_.name(); }

  int integer(int first = 17) const {
    const int v = textio::read_int(line_, first, 6, place());
    note({first, 6, -1});
    return v;
  }
  double real(int implied, int width = 6) const {
    const double v = textio::read_real(line_, 17, width, implied, place());
    note({17, width, implied});
    return v;
  }

  // Next keyword record: a blank column 1 gives the key's mismatch message.
  void keyword(std::string_view key, std::string_view mismatch = {}) {
    next(key);
    if (!marker()) {
      if (mismatch.empty())
        stop_after_keypress("mismatch of values in the parameter file at " + std::string(key));
      stop_after_keypress(mismatch);
    }
  }

 private:
  textio::FieldPlace place() const { return {in_.name(), in_.line_number(), key_}; }
  void note(const FieldRead& f) const {
    if (trace_) trace_->back().fields.push_back(f);
  }

  textio::LineReader& in_;
  std::vector<RecordRead>* trace_;
  std::string line_;
  std::string_view key_;
};

// A keyword record holding a 0/1 flag.
int flag(Records& r, std::string_view key) {
  r.keyword(key);
  const int v = r.integer();
  if (v != 0 && v != 1) stop_after_keypress("value of " + std::string(key) + " must be 0 or 1");
  return v;
}

// The two-blank variants of the mismatch message.
std::string wide_mismatch(std::string_view key) {
  return "mismatch of values  in the parameter file at " + std::string(key);
}

// Reads n list records into slots; from the second record on a non-blank
// column 1 means the count exceeds the records written.
template <class Slot, class ReadOne>
void read_list(Records& r, std::string_view key, int n, Slot& slots, std::string_view exceeded,
               ReadOne read_one) {
  for (int i = 0; i < n; ++i) {
    r.next(key, i == 0 ? Role::list_first : Role::list_later);
    if (i > 0 && r.marker()) stop_after_keypress(exceeded);
    slots[static_cast<std::size_t>(i)] = read_one(r);
  }
}

// A value no computation of the run can use: what is allowed, and where the
// value was read.
[[noreturn]] void bad_value(std::string_view key, std::string_view allowed, const Records& r,
                            int line) {
  stop_after_keypress("value of " + std::string(key) + " must be " + std::string(allowed) + " (" +
                      r.file() + ", line " + std::to_string(line) + ")");
}

// Count records of lists: beyond the slots, or negative, stops before any
// value of the list is stored.
void check_count(std::string_view key, int value, int max) {
  if (value < 0 || value > max)
    stop_after_keypress("value of " + std::string(key) + " must be between 0 and " +
                        std::to_string(max));
}

// The generation test of a first, last, step triple (values already checked).
bool generation_ok(int count, int first, int last, int step, long long max_values) {
  if (count != 3) return false;
  if (!(last >= first || step <= 0)) return false;
  if (!(std::llabs(static_cast<long long>(last) - first) >= std::llabs(step))) return false;
  if (step == 0) return false;
  long long n = (static_cast<long long>(last) - first) / step + 1;
  if (n < 1) return false;
  if (max_values > 0 && n > max_values) return false;
  return true;
}

// ponds to season: what the run computes.
void read_run_records(Records& r, DesignParams& p) {
  p.design_pond = flag(r, "ponds");

  p.greenfield_rates = flag(r, "grnff");

  r.keyword("hydromarea");
  p.hydrometric_area = r.integer();
  if (p.hydrometric_area < 0 || p.hydrometric_area > 300)
    stop_after_keypress("value of hydromarea must be between 1 and 300");
  if (p.greenfield_rates == 1 && p.hydrometric_area == 0)
    stop_after_keypress("value of hydromarea = 0; specify a value ");

  p.diagnostic_series = flag(r, "diagf");

  p.runoff_only = flag(r, "rnf");

  r.keyword("season");
  p.season_code = r.integer();
  if (!(p.design_pond == 0 && p.greenfield_rates == 1) && (p.season_code < 1 || p.season_code > 3))
    stop_after_keypress("value of season must be 1,2 or 3");
}

// calcrp to rp: the return periods, listed or generated.
void read_return_periods(Records& r, DesignParams& p) {
  r.keyword("calcrp");
  p.return_periods_generated = r.integer();
  r.keyword("caldur");
  p.durations_generated = r.integer();

  r.keyword("nrp");
  p.return_period_count = r.integer();
  check_count("nrp", p.return_period_count, kMaxReturnPeriods);
  read_list(r, "rp", p.return_period_count, p.return_periods_years,
            "nrp is greater than the actual number of rp values",
            [](Records& rec) { return rec.integer(); });
  for (int i = 0; i < p.return_period_count; ++i) {
    int v = p.return_periods_years[static_cast<std::size_t>(i)];
    if (v < 0) stop_after_keypress("nrp is less than the actual number of rp values");
    if (v == 0 && (p.return_periods_generated != 1 || i == 0))
      stop_after_keypress("value of rp must be greater than 0");
  }
  if (p.return_periods_generated == 1 &&
      !generation_ok(p.return_period_count, p.return_periods_years[0], p.return_periods_years[1],
                     p.return_periods_years[2], kMaxReturnPeriods))
    stop_after_keypress("ERROR in parameters for generating return periods",
                        "the records expected with calcrp = 1: nrp 3, then three rp records of one "
                        "value each: the first return period, the last and the step (years)");
}

// ndur and dur: the storm durations, listed or generated.
void read_durations(Records& r, DesignParams& p) {
  r.keyword("ndur");
  p.duration_count = r.integer();
  check_count("ndur", p.duration_count, kMaxListedDurations);
  read_list(r, "dur", p.duration_count, p.durations_min,
            "ndur is greater than the actual number of dur values",
            [](Records& rec) { return rec.integer(); });
  for (int i = 0; i < p.duration_count; ++i) {
    int v = p.durations_min[static_cast<std::size_t>(i)];
    if (v < 0) stop_after_keypress("ndur is less than the actual number of dur values");
    if (v == 0 && (p.durations_generated != 1 || i == 0))
      stop_after_keypress("value of dur must be greater than 0");
  }
  if (p.durations_generated == 1 && !generation_ok(p.duration_count, p.durations_min[0],
                                                   p.durations_min[1], p.durations_min[2], 0))
    stop_after_keypress("ERROR in parameters for generating storm durations",
                        "the records expected with caldur = 1: ndur 3, then three dur records of "
                        "one value each: the first duration, the last and the step (minutes)");
  if (p.durations_generated == 1 &&
      (static_cast<long long>(p.durations_min[1]) - p.durations_min[0]) / p.durations_min[2] + 1 >
          kMaxGeneratedDurations)
    bad_value("dur",
              "a first, last and step giving at most " + std::to_string(kMaxGeneratedDurations) +
                  " durations",
              r, r.line() - 2);
}

// rom to soilFSR: the loss model, the surface types and the soil classes.
void read_subcatchment_records(Records& r, DesignParams& p) {
  r.keyword("rom");
  p.loss_model_code = r.integer();

  r.keyword("nsubc");
  p.subcatchment_count = r.integer();
  check_count("nsubc", p.subcatchment_count, kMaxSubCatchments);
  if (p.subcatchment_count == 0) p.subcatchment_count = 1;

  read_list(r, "surface", p.subcatchment_count, p.surface_codes,
            "nsubc is greater than the actual number of surface values",
            [](Records& rec) { return rec.integer(); });
  const int max_surface = surface_type_count(decode_loss_model(p.loss_model_code));
  for (int i = 0; i < p.subcatchment_count; ++i) {
    int v = p.surface_codes[static_cast<std::size_t>(i)];
    if (v < 0) stop_after_keypress("nsubc is less than the actual number of surface values");
    if (v == 0) stop_after_keypress("surface value should be non-zero");
    if (v > max_surface) stop_after_keypress(surface_range_message(max_surface));
  }

  r.keyword("wrapf");
  p.soil_class_per_subcatchment = r.integer();
  const int nsoil = p.soil_class_per_subcatchment == 1 ? p.subcatchment_count : 1;
  read_list(r, "soilFSR", nsoil, p.soil_classes,
            "nsubc is greater than the actual number of soilFSR values",
            [](Records& rec) { return rec.integer(); });
  for (int i = 0; i < nsoil; ++i) {
    int v = p.soil_classes[static_cast<std::size_t>(i)];
    if (v < 0) stop_after_keypress("nsubc is less than the actual number of soilFSR values");
    if (p.greenfield_rates == 1 && (v < 1 || v > 5))
      stop_after_keypress("value of soilFSR must be between 1 and 5");
  }
}

// fixed to strmprf: the rainfall options.
void read_rainfall_options(Records& r, DesignParams& p) {
  r.keyword("fixed");
  p.fixed_code = r.integer();
  r.keyword("point");
  p.point_rainfall = r.integer();
  r.keyword("arff");
  p.areal_reduction = r.integer();

  r.keyword("ctchm");
  p.areal_reduction_area_code = r.integer();
  if (!(p.design_pond == 0 && p.greenfield_rates == 1) && p.areal_reduction_area_code != 1 &&
      p.areal_reduction_area_code != 2)
    stop_after_keypress("Invalid value for ctchm flag - must be 1 or 2");

  r.keyword("strmprf");
  p.storm_profile_code = r.integer();
  if (p.storm_profile_code < 1 || p.storm_profile_code > 3)
    stop_after_keypress("value of strmprf must be 1, 2 or 3");
}

// topl to soak: the starting top and the outlets; the storage kind is
// known after them.
void read_outlet_records(Records& r, DesignParams& p) {
  r.keyword("topl");
  p.top_length_m = r.integer();
  r.keyword("topw", wide_mismatch("topw"));
  p.top_width_m = r.integer();

  r.keyword("tpod");
  p.orifice_diameters_mm = {r.integer(17), r.integer(23), r.integer(29)};

  r.keyword("sump", wide_mismatch("sump"));
  p.design_sump = r.integer();

  r.keyword("pumprate");
  p.pump_rates_m3_per_h = {r.integer(17), r.integer(23), r.integer(29)};

  r.keyword("soak", wide_mismatch("soak"));
  p.design_soakaway = r.integer();
}

// sideno to batter: the structure.
void read_structure_records(Records& r, DesignParams& p) {
  const bool design = p.storage_run() && p.runoff_only != 1;  // a structure is sized

  r.keyword("sideno", wide_mismatch("sideno"));
  p.soakaway_sides_code = r.integer();

  r.keyword("ffill", wide_mismatch("ffill"));
  p.fill_fraction = r.real(4);
  if (p.design_soakaway == 1 && (p.fill_fraction < 0.0 || p.fill_fraction >= 1.0))
    stop_after_keypress("value of ffill must be at least 0 and less than 1");

  r.keyword("infiltco");
  p.infiltration_coefficient_m_per_h = r.real(4);
  if (p.design_soakaway == 1 && !(p.infiltration_coefficient_m_per_h > 0.0))
    bad_value("infiltco", "greater than 0 for a soakaway", r, r.line());

  r.keyword("rhmpt");
  p.half_emptying_limit_h = r.integer();
  if (design && p.half_emptying_limit_h < 0) bad_value("rhmpt", "0 or more", r, r.line());

  r.next("lagoonratio");  // column 1 of this record is not checked
  p.lagoon_ratio = r.integer();
  if (p.storage_run() && (p.lagoon_ratio < -99999 || p.lagoon_ratio > 99999))
    bad_value("lagoonratio", "between -99999 and 99999", r, r.line());

  r.keyword("maxdepth", wide_mismatch("maxdepth"));
  p.max_depth_m = r.real(0, 12);
  // The orifice's coefficient table has a row per millimetre of depth; far
  // beyond the coefficient data (heads up to 6.1 m) it only costs time.
  if (design && p.max_depth_m > 100.0) bad_value("maxdepth", "100 m or less", r, r.line());

  r.keyword("batter");
  p.batter_1_in = r.real(0, 12);
  // A slope flatter than 1 in 100 is no side of a basin, and far beyond it
  // the sizing's products overflow.
  if (design && !(p.batter_1_in >= 0.0 && p.batter_1_in <= 100.0))
    bad_value("batter", "between 0 and 100", r, r.line());
}

// The sub-catchment areas.
void read_areas(Records& r, DesignParams& p) {
  read_list(r, "area", p.subcatchment_count, p.areas_m2,
            "nsubc is greater than the actual number of catchment area values",
            [](Records& rec) { return rec.real(0, 12); });
  double total_area = 0.0;
  for (int i = 0; i < p.subcatchment_count; ++i) {
    if (p.areas_m2[static_cast<std::size_t>(i)] < 0.0)
      stop_after_keypress("nsubc is less than the actual number of catchment area  values");
    total_area += p.areas_m2[static_cast<std::size_t>(i)];
  }
  // Rain on no area gives no runoff and no greenfield rate.
  if ((p.storage_run() || p.greenfield_rates == 1) && !(total_area > 0.0))
    bad_value("area", "greater than 0 for at least one sub-catchment", r,
              r.line() - p.subcatchment_count + 1);
}

// The records in file order with their checks; trace, when given, receives
// each record read.
DesignParams read_records(textio::LineReader& in, std::vector<RecordRead>* trace) {
  DesignParams p;
  Records r(in, trace);
  read_run_records(r, p);
  read_return_periods(r, p);
  read_durations(r, p);
  r.keyword("cchgfac");
  p.climate_change_factor = r.real(2);
  const int cchgfac_line = r.line();  // checked once the run mode is known

  read_subcatchment_records(r, p);
  read_rainfall_options(r, p);
  read_outlet_records(r, p);
  // The run mode is known from here on.  The factor multiplies every depth
  // of the design rainfall table.
  if (!p.greenfield_only() && !(p.climate_change_factor > 0.0))
    bad_value("cchgfac", "greater than 0", r, cchgfac_line);
  read_structure_records(r, p);
  read_areas(r, p);
  r.keyword("databaseid");
  p.database_id = r.integer();
  p.decode_modes();
  return p;
}

}  // namespace

DesignParams read_parameter_file(textio::LineReader& in) {
  return read_records(in, nullptr);
}

ParameterTrace trace_parameter_file(textio::LineReader& in) {
  ParameterTrace t;
  console::Recording silent;
  const console::Redirect quiet(silent);
  try {
    t.params = read_records(in, &t.records);
  } catch (const RunStop&) {
    t.stopped = true;
  }
  return t;
}

}  // namespace sitedrain::params
