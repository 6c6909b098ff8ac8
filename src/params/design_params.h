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

struct DesignParams {
  int ponds = 0;
  int grnff = 0;
  int hydromarea = 0;
  int diagf = 0;
  int rnf = 0;
  int season = 0;
  int calcrp = 0;
  int caldur = 0;
  int nrp = 0;
  std::array<int, kMaxReturnPeriods> rp{};
  int ndur = 0;
  std::array<int, kMaxListedDurations> dur{};
  double cchgfac = 0.0;
  int rom = 0;
  int nsubc = 0;
  std::array<int, kMaxSubCatchments> surface{};
  int wrapf = 0;
  std::array<int, kMaxSubCatchments> soilFSR{};
  int fixed = 0;
  int point = 0;
  int arff = 0;
  int ctchm = 0;
  int strmprf = 0;
  double topl = 0.0;
  double topw = 0.0;
  Triple tpod;
  int sump = 0;
  Triple pumprate;
  int soak = 0;
  int sideno = 0;
  double ffill = 0.0;
  double infiltco = 0.0;
  int rhmpt = 0;
  int lagoonratio = 0;
  double maxdepth = 0.0;
  double batter = 0.0;
  std::array<double, kMaxSubCatchments> area{};
  int databaseid = 0;

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
    rp.fill(kUnsetInt);
    dur.fill(kUnsetInt);
    surface.fill(kUnsetInt);
    soilFSR.fill(kUnsetInt);
    area.fill(kUnsetReal);
  }

  // Run modes.
  bool storage_run() const { return ponds == 1 || sump == 1 || soak == 1 || rnf == 1; }
  bool greenfield_only() const { return !storage_run() && grnff == 1; }
  bool rainfall_only() const { return !storage_run() && grnff != 1; }

  // Sets the decoded modes from the codes; called whenever a code changes.
  void decode_modes() {
    loss_model = decode_loss_model(rom);
    storage_kind = decode_storage_kind(sump, soak, rnf);
    profile = decode_profile(strmprf);
    rain_season = decode_season(season);
  }
};

}  // namespace sitedrain::params
