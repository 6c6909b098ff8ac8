// The design parameter set: every value of the parameter file under its key.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "params/modes.h"

namespace sitedrain::params {

inline constexpr int kMaxReturnPeriods = 100;
inline constexpr int kMaxListedDurations = 3;
// A generated list longer than the longest storm in minutes holds storms
// that no run can use.
inline constexpr int kMaxGeneratedDurations = kLongestStorm;
// List slots beyond a list's count keep these markers.
inline constexpr int kUnsetInt = -999;
inline constexpr double kUnsetReal = -999.9;

// A generation triple: first, last, step.
struct Triple {
  int first = 0;
  int last = 0;
  int step = 0;
};

// A discharge limit of the design criteria: the peak outflow allowed for a
// return period (0: every return period without a limit of its own).
struct DischargeLimit {
  int return_period_years = 0;
  double flow_l_per_s = 0.0;
};

// The parameter set under names of its own; the comment names each value's
// key in the parameter file.
struct DesignParams {
  int design_pond = 0;               // ponds: 1: size a pond with an orifice
  int greenfield_rates = 0;          // grnff: 1: estimate the greenfield runoff rates
  int hydrometric_area = 0;          // hydromarea
  int diagnostic_series = 0;         // diagf: 1: write the diagnostic time series
  int runoff_only = 0;               // rnf: 1: runoff only, no storage
  int season_code = 0;               // season: 1 all year, 2 summer, 3 winter
  int return_periods_generated = 0;  // calcrp: 1: from a triple
  int durations_generated = 0;       // caldur: 1: durations from a triple
  int return_period_count = 0;       // nrp
  std::array<int, kMaxReturnPeriods> return_periods_years{};  // rp
  int duration_count = 0;                                     // ndur
  std::array<int, kMaxListedDurations> durations_min{};       // dur
  double climate_change_factor = 0.0;                         // cchgfac
  int loss_model_code = 0;                                    // rom: 0..3, decoded into loss_model
  int subcatchment_count = 0;                                 // nsubc
  std::array<int, kMaxSubCatchments> surface_codes{};         // surface
  int soil_class_per_subcatchment = 0;                        // wrapf: 1: a class each
  std::array<int, kMaxSubCatchments> soil_classes{};          // soilFSR
  int fixed_code = 0;                             // fixed: read and kept, used by nothing
  int point_rainfall = 0;                         // point: 1: 1 km point rainfall parameters
  int areal_reduction = 0;                        // arff: 1: apply the areal reduction factor
  int areal_reduction_area_code = 0;              // ctchm: 1 or 2: the area it is taken for
  int storm_profile_code = 0;                     // strmprf: decoded into profile
  double top_length_m = 0.0;                      // topl
  double top_width_m = 0.0;                       // topw
  Triple orifice_diameters_mm;                    // tpod
  int design_sump = 0;                            // sump: 1: size a pumped sump
  Triple pump_rates_m3_per_h;                     // pumprate
  int design_soakaway = 0;                        // soak: 1: size a soakaway
  int soakaway_sides_code = 0;                    // sideno: which sides infiltrate
  double fill_fraction = 0.0;                     // ffill
  double infiltration_coefficient_m_per_h = 0.0;  // infiltco
  int half_emptying_limit_h = 0;                  // rhmpt
  int lagoon_ratio = 0;      // lagoonratio: length to width; its sign gives the shape
  double max_depth_m = 0.0;  // maxdepth
  double batter_1_in = 0.0;  // batter
  std::array<double, kMaxSubCatchments> areas_m2{};  // area
  int database_id = 0;                               // databaseid: read and kept, used by nothing

  // Design criteria that only a site file gives (none from a parameter
  // file): the discharge limits that replace the greenfield rates in the
  // report's discharge check.
  std::vector<DischargeLimit> discharge_limits;

  // The mode codes above, decoded (decode_modes).
  LossModel loss_model = LossModel::final_horton;
  StorageKind storage_kind = StorageKind::pond;
  StormProfile profile = StormProfile::uniform;
  Season rain_season = Season::none;

  DesignParams() {
    return_periods_years.fill(kUnsetInt);
    durations_min.fill(kUnsetInt);
    surface_codes.fill(kUnsetInt);
    soil_classes.fill(kUnsetInt);
    areas_m2.fill(kUnsetReal);
  }

  // Run modes.
  bool storage_run() const {
    return design_pond == 1 || design_sump == 1 || design_soakaway == 1 || runoff_only == 1;
  }
  bool greenfield_only() const { return !storage_run() && greenfield_rates == 1; }
  bool rainfall_only() const { return !storage_run() && greenfield_rates != 1; }

  // Sets the decoded modes from the codes; called whenever a code changes.
  void decode_modes() {
    loss_model = decode_loss_model(loss_model_code);
    storage_kind = decode_storage_kind(design_sump, design_soakaway, runoff_only);
    profile = decode_profile(storm_profile_code);
    rain_season = decode_season(season_code);
  }
};

}  // namespace sitedrain::params
