#include "storage/water_balance.h"

#include "storage/storm_step.h"
#include "textio/console.h"

namespace sitedrain::storage {

// In: the call.  Out: its outcome, the storm step run as one lane whose
// depth searches iterate in a double until they end or give up.
CallOutcome water_balance(const StormCall& call) {
  StormStep step;
  SearchColumns search;
  StormStep::Next next = step.start(call);
  while (next == StormStep::Next::search) {
    load_search(step.search(), search, 0);
    bool ended = false;
    for (int j = 1; j <= kMaxDepthIterations && !ended; ++j)
      ended = depth_search_iteration<double>(search, 0) != 0;
    if (!ended) console::pause_with("rtsafe1 exceeding maximum iterations");
    next = step.resume(search.rts[0]);
  }
  switch (step.halt()) {
    case StormStep::Halt::no_coefficients:
      console::stop_with("No discharge coefficients for this orifice diameter");
    case StormStep::Halt::no_depth:
      console::stop_with("Storage depth is 0 - no depth holds the stored volume");
    default:
      break;
  }
  CallOutcome o = step.outcome();
  o.alone = false;
  return o;
}

DrainEnd drain_down(const StormCall& call, const DiagnosticStep& last, int last_t) {
  StormStep step;
  return step.drain(call, last, last_t);
}

}  // namespace sitedrain::storage
