// One water-balance call of the lockstep lanes, step by step but for its
// depth searches: the state of water_balance<ReplayedInflow, Lookup::fast,
// true> with one-second steps and no diagnostic series, with the safeguarded
// Newton search of WATERDEPTH cut out so that the searches of several calls
// can run side by side (storage/water_balance_lanes.h).
#pragma once

#include <cstdint>

#include "storage/water_balance.h"

namespace sitedrain::storage {

// A call as the lanes take it.
struct LaneCall {
  Storage storage;  // the base comes back (enlarged) in LaneOutcome
  Outlet outlet;
  // The runoff of steps 1..n_runoff (m^3); the simulation ends after them.
  const double* runoff = nullptr;
  int n_runoff = 0;
  int duration = 0;  // minutes
  int rnf = 0;
  std::uint64_t tag = 0;  // the caller's
};

struct LaneOutcome {
  Results results;  // as the scalar call returns them (rain volume 0: the replay adds it)
  Storage storage;  // as the scalar call leaves it
  // The call would show something on the console or stop the run, or its
  // statistics need the step-by-step form: make it on the scalar path
  // (results and storage are then not those of the call).
  bool scalar = false;
};

// The depth search of one step: RTSAFE1 on FUNCD1(S, b, L, W, .) over
// [0, D] to 1e-9, after its start, with FUNCD1's terms that do not depend on
// the depth formed once.  The iteration itself is done by the lanes.
struct DepthSearch {
  double S = 0.0, b = 0.0;
  double c1 = 0.0;  // (4/3) b^2
  double c2 = 0.0;  // b (W + L)
  double c3 = 0.0;  // W L
  double c4 = 0.0;  // 2 b
  double c5 = 0.0;  // W + L
  double rts = 0.0, xl = 0.0, xh = 0.0, dx = 0.0, dxold = 0.0, f = 0.0, df = 0.0;
};

inline constexpr double kDepthAccuracy = 1.0e-9;

class LaneState {
 public:
  enum class Next { search, ended };

  // Starts the call and runs its steps up to the first depth search that
  // needs iterating (Next::search, see search()) or to its end.
  Next start(const LaneCall& call);
  // Ends the step that waited for its depth search with the depth found and
  // runs on as start does.
  Next resume(double h);
  // The search the lane waits for after Next::search.
  const DepthSearch& search() const { return search_; }
  // The depth search did not converge (it would pause): the call is for the
  // scalar path.
  void abandon() { scalar_ = true; }
  // The outcome, after Next::ended or abandon().
  LaneOutcome outcome() const;
  const LaneCall& call() const { return call_; }

 private:
  Next run_steps();
  void end_step(double h);
  bool start_search();  // false: the root is known at once (search_.rts)
  void form_basin_terms();
  double orifice_rate_at(double depth);

  LaneCall call_;
  Results out_;
  DepthSearch search_;
  // The basin's cubic (FUNCD1 with S = 0) at the depth search's fixed points.
  struct BasinTerms {
    double p_low = 0.0, p_high = 0.0, p_mid = 0.0, df_mid = 0.0, mid = 0.0;
  } basin_;
  bool scalar_ = false;
  bool unit_fill_ = false;  // 1 - ffill is 1
  bool storage_run_ = false, pond_ = false, unit_grid_ = false;
  const double* coeff_ = nullptr;  // the outlet's coefficients by depth point (unit grid)
  int n_grid_ = 0;
  double shalf_ = 0.0;
  double S_ = 0.0, h_prev_ = 0.0, Q_ = 0.0, sumq_ = 0.0, vhalf_ = 0.0;
  int nhalf_ = 0, t1_ = 0, step_ = 0, nsteps_ = 0;
  bool cached_ = false;
  std::uint64_t cached_h_ = 0;
  double cached_rate_ = 0.0;
  // The values of the last storage step, the last with outflow so far, and
  // the last with outflow while at least half full.
  struct Mark {
    bool set = false;
    double smax = 0.0, volume = 0.0;
    int count = 0;
  };
  int last_n_ = 0;
  double last_total_ = 0.0;
  Mark last_outflow_, last_half_;
};

}  // namespace sitedrain::storage
