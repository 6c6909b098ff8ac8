#include "storage/water_balance.h"

namespace sitedrain::storage {

// In: the storage (base in/out), the outlet, the step length, the
// sub-catchments and the storm, the runoff-only flag and the optional
// diagnostic sink.  Out: the storm's figures, with the runoff computed step
// by step from the storm.
Results PONDWATERBALANCE(Storage& storage, const Outlet& outlet, double dt,
                         const runoff::SubCatchments& subs, const runoff::StormSpec& storm,
                         int rnf, DiagnosticSink* diag) {
  runoff::StormRunoff inflow(subs, storm);
  return water_balance<runoff::StormRunoff, Lookup::reference>(storage, outlet, dt, storm.duration,
                                                                rnf, inflow, diag);
}

}  // namespace sitedrain::storage
