#include "design/design_search.h"

#include <algorithm>
#include <list>
#include <memory>
#include <optional>

#include "design/selections.h"
#include "design/storm_inflow.h"
#include "parallel/lane_scheduler.h"
#include "parallel/ordered_executor.h"
#include "storage/water_balance_lanes.h"

namespace sitedrain::design {

using parallel::LaneScheduler;
using parallel::OrderedExecutor;

namespace {

using params::StorageKind;

class Search {
 public:
  Search(const SearchInput& in, const SearchOutput& out, const SearchOptions& options)
      : p_(*in.p),
        setup_(*in.setup),
        rain_(*in.rain),
        out_(out),
        options_(options),
        kind_(in.p->storage_kind),
        emitter_(out, in.setup->combinations, options.progress, results_) {
    sizing_.p = in.p;
    sizing_.subs = sub_catchments(p_);
    sizing_.table = in.table;
    sizing_.ratio = in.ratio;
    sizing_.in_order = options.in_order;
    sizing_.stats = options.stats;
    results_.kind = kind_;
    if (in.record_room != nullptr) results_.records = std::move(*in.record_room);
    results_.records.reserve(static_cast<std::size_t>(setup_.combinations));
    results_.governing.resize(static_cast<std::size_t>(p_.return_period_count));
  }

  results::DesignResults run() {
    if (!options_.in_order) start();
    for (int i = 1; i <= p_.return_period_count; ++i) {
      if (!return_period(i)) emitter_.no_runoff_at_all();
      release(i);
    }
    if (executor_) executor_->stop();
    return std::move(results_);
  }

 private:
  const params::DesignParams& p_;
  const params::RunSetup& setup_;
  const std::vector<double>& rain_;
  const SearchOutput& out_;
  const SearchOptions& options_;
  const StorageKind kind_;
  SizingSetup sizing_;
  results::DesignResults results_;
  StormEmitter emitter_;

  int outlet_count() const { return setup_.outlet_count; }

  // Storm (i, j, k) of the search.
  DesignStorm storm(int i, int j, int k) const {
    DesignStorm s;
    s.i = i, s.j = j, s.k = k;
    s.return_period = setup_.return_periods[static_cast<std::size_t>(i - 1)];
    s.duration = setup_.durations[static_cast<std::size_t>(k - 1)];
    s.outlet_size = params::outlet_size(params::outlet_sweep(p_), j);
    s.rain_depth =
        rain_[static_cast<std::size_t>(k - 1) * static_cast<std::size_t>(p_.return_period_count) +
              static_cast<std::size_t>(i - 1)];
    return s;
  }

  storage::DiagnosticSink* diag() const { return p_.diagnostic_series == 1 ? out_.diag : nullptr; }

  StormOutcome compute(const DesignStorm& s, const StormInflow* inflow) const {
    if (options_.before_storm) options_.before_storm(s);
    return size_storm(sizing_, s, inflow, diag());
  }

  // ---- the production path: one task per return period and duration,
  // computing every outlet size on one inflow -----------------------------
  std::vector<std::vector<StormOutcome>> outcomes_;  // task (i - 1) * ndur + k - 1, by outlet
  std::unique_ptr<OrderedExecutor> executor_;
  StormOutcome current_;  // the in-order path's storm

  std::size_t task(int i, int k) const {
    return static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(p_.duration_count) +
           static_cast<std::size_t>(k - 1);
  }

  // The storms of the tasks of one worker, side by side: each storm is a job
  // of the thread's lane scheduler, so that the replayed water-balance calls
  // of up to kLanes storms share the lanes.  Tasks are taken one at a time
  // as the lanes need more calls; each is done when its last storm is.
  void run_tasks(OrderedExecutor::Stream& tasks) {
    struct Running {
      std::size_t t = 0;
      int i = 0, k = 0;
      std::unique_ptr<StormInflow> inflow;
      int next_j = 1, remaining = 0;
    };
    std::list<Running> running;
    Running* current = nullptr;  // the task whose storms are being handed out
    LaneScheduler scheduler(storage::kLanes + 4);
    scheduler.run([&](LaneScheduler::Job& job) {
      if (current == nullptr || current->next_j > outlet_count()) {
        std::size_t t = 0;
        if (!tasks.next(t)) return false;
        current = &running.emplace_back();
        current->t = t;
        current->i = static_cast<int>(t / static_cast<std::size_t>(p_.duration_count)) + 1;
        current->k = static_cast<int>(t % static_cast<std::size_t>(p_.duration_count)) + 1;
        if (p_.diagnostic_series != 1)
          current->inflow =
              compute_inflow(sizing_.subs, storm_spec(p_, storm(current->i, 1, current->k)));
        outcomes_[t].resize(static_cast<std::size_t>(outlet_count()));
        current->remaining = outlet_count();
      }
      Running* r = current;
      const int j = r->next_j++;
      job = [this, r, j, &running, &current, &tasks] {
        outcomes_[r->t][static_cast<std::size_t>(j - 1)] =
            compute(storm(r->i, j, r->k), r->inflow.get());
        if (--r->remaining > 0) return;
        tasks.done(r->t);
        if (current == r) current = nullptr;
        running.remove_if([r](const Running& x) { return &x == r; });
      };
      return true;
    });
  }

  void start() {
    const std::size_t count = static_cast<std::size_t>(p_.return_period_count) *
                              static_cast<std::size_t>(p_.duration_count);
    outcomes_.resize(count);
    std::vector<std::size_t> order;
    order.reserve(count);
    for (int i = 1; i <= p_.return_period_count; ++i) {
      std::vector<int> ks;
      for (int k = 1; k <= p_.duration_count; ++k) ks.push_back(k);
      // longest storms first, so that a return period ends with short ones
      std::stable_sort(ks.begin(), ks.end(), [&](int a, int b) {
        return setup_.durations[static_cast<std::size_t>(a - 1)] >
               setup_.durations[static_cast<std::size_t>(b - 1)];
      });
      for (int k : ks) order.push_back(task(i, k));
    }
    executor_ = std::make_unique<OrderedExecutor>(
        count, std::move(order), options_.threads,
        [this](OrderedExecutor::Stream& tasks) { run_tasks(tasks); });
  }

  // The outcome of storm (i, j, k), waiting for it (production) or
  // computing it now (in order).
  const StormOutcome& outcome(int i, int j, int k) {
    if (options_.in_order) {
      current_ = compute(storm(i, j, k), nullptr);
      return current_;
    }
    executor_->wait(task(i, k));
    return outcomes_[task(i, k)][static_cast<std::size_t>(j - 1)];
  }

  // Frees the outcomes of a return period once it is written.
  void release(int i) {
    if (options_.in_order) return;
    for (int k = 1; k <= p_.duration_count; ++k) outcomes_[task(i, k)] = {};
  }

  // ---- in the order of the storms ---------------------------------------

  // One return period; false when none of its storms produced runoff.
  bool return_period(int i) {
    bool runoff = false;
    std::vector<std::size_t>& governing = results_.governing[static_cast<std::size_t>(i - 1)];
    for (int j = 1; j <= outlet_count(); ++j) {
      const std::size_t n_start = results_.records.size();
      for (int k = 1; k <= p_.duration_count; ++k) {
        const std::int64_t q =
            static_cast<std::int64_t>(i - 1) * outlet_count() * p_.duration_count +
            static_cast<std::int64_t>(j - 1) * p_.duration_count + k;
        emitter_.begin(q);
        const StormOutcome& o = outcome(i, j, k);
        emitter_.emit(q, o);
        const bool runoff_before = runoff;
        runoff = runoff || o.runoff;
        if (kind_ == StorageKind::sump && !runoff_before && !o.stored)
          emitter_.no_runoff_for_duration(setup_.durations[static_cast<std::size_t>(k - 1)]);
      }
      // A pump sweep goes on to its end; the others end at a size without runoff.
      if (!runoff) {
        if (kind_ == StorageKind::sump) continue;
        break;
      }
      if (kind_ == StorageKind::runoff_only) break;
      if (results_.records.size() == n_start) continue;
      const std::span<const results::StormRecord> sized(results_.records.data() + n_start,
                                                        results_.records.size() - n_start);
      const std::size_t gov = n_start + governing_storm(kind_, sized);
      governing.push_back(gov);
      if (half_empties_in_time(results_.records[gov], p_.half_emptying_limit_h))
        results_.half_emptying.push_back(gov);
    }
    if (!runoff) return false;
    if (kind_ != StorageKind::runoff_only) {
      emitter_.governing_rows(i);
      if (!governing.empty())
        results_.smallest.push_back(smallest_design(kind_, results_.records, governing));
    }
    return true;
  }
};

}  // namespace

results::DesignResults design_search(const SearchInput& in, const SearchOutput& out,
                                     const SearchOptions& options) {
  return Search(in, out, options).run();
}

}  // namespace sitedrain::design
