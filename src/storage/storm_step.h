// The storm step: one water-balance call step by step, but for its depth
// searches.  A step's inflow fills the storage, the depth follows the
// stored volume (the search of storage/depth_search.h, made by whoever runs
// the call), the outflow follows the depth, and the statistics follow the
// step.  The call made alone (water_balance.h) and the lockstep lanes
// (water_balance_lanes.h) both run this state, so the physics of a step is
// written here only.
#pragma once

#include <cstdint>

#include "storage/depth_search.h"
#include "storage/water_balance.h"

namespace sitedrain::storage {

// The depth search of one step after its start: the cubic of the basin
// less the stored volume, on [0, D], in the form of one column of
// SearchColumns.
struct DepthSearch {
  double S = 0.0, batter = 0.0;
  double cubic = 0.0, square = 0.0, base_area = 0.0, twice_batter = 0.0, length_plus_width = 0.0;
  double rts = 0.0, xl = 0.0, xh = 0.0, dx = 0.0, dxold = 0.0, f = 0.0, df = 0.0;
};

// Puts a search into lane l of the columns.
inline void load_search(const DepthSearch& s, SearchColumns& c, int l) {
  c.S[l] = s.S;
  c.batter[l] = s.batter;
  c.cubic[l] = s.cubic;
  c.square[l] = s.square;
  c.base_area[l] = s.base_area;
  c.twice_batter[l] = s.twice_batter;
  c.length_plus_width[l] = s.length_plus_width;
  c.rts[l] = s.rts;
  c.xl[l] = s.xl;
  c.xh[l] = s.xh;
  c.dx[l] = s.dx;
  c.dxold[l] = s.dxold;
  c.f[l] = s.f;
  c.df[l] = s.df;
}

class StormStep {
 public:
  enum class Next { search, ended };
  // Why a call ended before its end (the lanes leave such calls to the call
  // made alone).
  enum class Halt {
    none,
    no_coefficients,  // a pond outlet without discharge coefficients
    no_depth,         // a storage of no depth holding water
    unsettled,        // a depth search that did not settle (marked by the runner)
    inexact,          // deferred statistics that underflowed
  };

  // Starts the call and runs its steps up to the first depth search that
  // needs iterating (Next::search, see search()) or to its end.
  Next start(const StormCall& call);
  // Ends the step that waited for its depth search with the depth found and
  // runs on as start does.
  Next resume(double h);
  // The search the call waits for after Next::search.
  const DepthSearch& search() const { return search_; }
  // The depth search did not settle.
  void abandon() { halt_ = Halt::unsettled; }
  Halt halt() const { return halt_; }
  // The outcome, after Next::ended or abandon().
  CallOutcome outcome() const;

  // The drain-down after a storm: from the state of the storm's last step
  // (last), steps with no inflow, each the storage update, depth and
  // outflow of a storm step, to call.diag, until the storage is empty, no
  // water leaves or the step last_t is done.  Each depth search runs alone
  // (a search that does not settle keeps its last estimate).
  DrainEnd drain(const StormCall& call, const DiagnosticStep& last, int last_t);
  const StormCall& call() const { return call_; }

 private:
  Next prepare();  // what the steps share; Next::ended when the outlet has no coefficients
  Next run_steps();
  void fill(double runoff);  // the stored volume after a step's inflow and last outflow
  void end_step(double h);
  void record_step();
  bool start_search();  // false: the root is known at once (search_.rts)
  void form_basin_terms();
  double orifice_rate_at(double depth);

  StormCall call_;
  Results out_;
  DepthSearch search_;
  // The basin's cubic at the depth search's fixed points (both ends of
  // [0, D] and its middle), which do not depend on the stored volume.
  struct BasinTerms {
    double f_low = 0.0, f_high = 0.0, f_mid = 0.0, df_mid = 0.0, mid = 0.0;
  } basin_;
  Halt halt_ = Halt::none;
  bool unit_fill_ = false;  // 1 - ffill is 1
  bool storage_run_ = false, pond_ = false;
  const double* coeff_ = nullptr;  // the outlet's coefficients by depth grid point
  int n_grid_ = 0;
  double half_volume_ = 0.0;        // half the volume of the storage filled to its full depth, m^3
  runoff::StepResult inflow_;       // of the step in progress
  double stored_ = 0.0;             // stored volume S (gross, with the fill, for a soakaway), m^3
  double depth_ = 0.0;              // depth h of the last storage step, m
  double outflow_ = 0.0;            // outflow rate Q, m^3/s
  double summed_outflow_ = 0.0;     // the outflow rates summed
  double half_full_outflow_ = 0.0;  // outflow volume while at least half full, m^3
  int half_full_steps_ = 0;
  int first_runoff_t_ = 0;  // s, 0: none yet
  int t_ = 0, last_t_ = 0;
  bool cached_ = false;
  std::uint64_t cached_depth_ = 0;
  double cached_rate_ = 0.0;
  // Deferred statistics: the values of the last storage step, the last with
  // outflow so far, and the last with outflow while at least half full.
  struct Mark {
    bool set = false;
    double peak_volume = 0.0, volume = 0.0;
    int count = 0;
  };
  int last_n_ = 0;
  double last_total_ = 0.0;
  Mark last_outflow_, last_half_;
};

}  // namespace sitedrain::storage
