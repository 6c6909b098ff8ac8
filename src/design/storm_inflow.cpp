#include "design/storm_inflow.h"

#include "parallel/lane_scheduler.h"
#include "textio/stop.h"

namespace sitedrain::design {

using parallel::LaneScheduler;

std::unique_ptr<StormInflow> compute_inflow(const runoff::SubCatchments& subs,
                                            const runoff::StormSpec& storm) {
  auto inflow = std::make_unique<StormInflow>();
  auto shown = std::make_shared<console::Recording>();
  try {
    console::Redirect redirect(*shown);
    runoff::StormRunoff live(subs, storm);
    const int steps = 60 * storm.duration;
    inflow->runoff.reserve(static_cast<std::size_t>(steps));
    // the PDM model shows a line (about 22 characters) per sub-catchment and step
    if (runoff::loss_model(subs.model).shows_every_step)
      shown->reserve(static_cast<std::size_t>(steps) * subs.count * 24);
    for (int t = 1; t <= steps; ++t) {
      const runoff::StepResult r = live.step(t, 1.0);
      if (r.end) break;
      inflow->rain_volume += r.rain_volume;
      inflow->runoff.push_back(r.runoff);
    }
  } catch (const RunStop&) {
    return nullptr;
  }
  inflow->console = std::move(shown);
  return inflow;
}

std::optional<storage::Results> replay(const StormInflow& inflow, const runoff::StormSpec& storm,
                                       storage::Storage& st, const storage::Outlet& outlet,
                                       bool runoff_only) {
  storage::StormCall call;
  call.storage = st;
  call.outlet = outlet;
  call.runoff = inflow.runoff.data();
  call.n_runoff = static_cast<int>(inflow.runoff.size());
  call.duration = storm.duration;
  call.runoff_only = runoff_only;
  storage::CallOutcome o;
  if (LaneScheduler* lanes = LaneScheduler::current()) {
    o = lanes->call(call);
    if (o.alone) return std::nullopt;
  } else {
    console::Recording side;
    try {
      console::Redirect redirect(side);
      o = storage::water_balance(call);
    } catch (const RunStop&) {
      return std::nullopt;
    }
    if (!side.empty() || !o.results.exact) return std::nullopt;
  }
  st = o.storage;
  storage::Results r = o.results;
  r.rain_volume = inflow.rain_volume;
  console::show(inflow.console);
  return r;
}

}  // namespace sitedrain::design
