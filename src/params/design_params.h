// The design parameter set: every value of the parameter file under its key.
#pragma once

#include <array>
#include <cstdint>

namespace sitedrain::params {

inline constexpr int kMaxReturnPeriods = 100;
inline constexpr int kMaxListedDurations = 3;
inline constexpr int kMaxSubcatchments = 10;
// Durations are whole minutes and the rainfall model ends at 16 days (23040
// minutes), so a longer generated list holds storms that no run can use.
inline constexpr int kMaxGeneratedDurations = 23040;
// List slots beyond a list's count keep these markers.
inline constexpr int kUnsetInt = -999;
inline constexpr double kUnsetReal = -999.9;

// A generation triple: first, last, step.
struct Triple {
  int first = 0;
  int last = 0;
  int step = 0;
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
  std::array<int, kMaxSubcatchments> surface{};
  int wrapf = 0;
  std::array<int, kMaxSubcatchments> soilFSR{};
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
  std::array<double, kMaxSubcatchments> area{};
  int databaseid = 0;

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
  // Runoff model as the computations see it: anything but 1, 2, 3 is 0.
  int model() const { return (rom == 1 || rom == 2 || rom == 3) ? rom : 0; }
};

}  // namespace sitedrain::params
