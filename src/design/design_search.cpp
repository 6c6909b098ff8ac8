#include "design/design_search.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <list>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "design/lane_scheduler.h"
#include "design/progress_record.h"
#include "design/report_tables.h"
#include "design/results_rows.h"
#include "design/storm_inflow.h"
#include "geometry/basin.h"
#include "geometry/rounding.h"
#include "rainfall/profile.h"
#include "storage/water_balance_lanes.h"
#include "textio/console.h"
#include "textio/format.h"
#include "textio/stop.h"
#include "textio/text_file.h"

namespace sitedrain::design {

namespace {

using geometry::ROTN;
using textio::FreeRecord;

// Rewrites the progress file with the share of storms begun.
void rewrite_progress(const std::string& name, long long q, long long combinations) {
  textio::OutFile f;
  if (!f.open(name)) console::stop_with("ERROR opening file" + textio::padded_file_name(name));
  write_progress(q, combinations, f);
  if (!f.close()) console::stop_with("ERROR opening timer file");
}

// Log records of one storm, kept until the storm's turn comes.
class LogBuffer : public textio::LineSink {
 public:
  void line(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

// Everything one storm (return period i, outlet j, duration k) computed and
// would have shown or logged, for the in-order emission.
struct StormOutcome {
  bool runoff = false;  // counts as runoff for its return period
  bool stored = false;  // a result record (design runs)
  ResultRecord record;
  storage::Results results;
  double peak_flow = 0.0;  // Q_p, m^3/h
  std::string report_row;  // runoff-only runs
  LogBuffer log;
  console::Recording console;
  int stop_status = -1;  // >= 0: the storm stopped the run
};

// The storms of one return period and duration, for every outlet size.
struct DurationTask {
  int i = 0, k = 0;
  std::vector<StormOutcome> outlets;
  bool done = false;
};

class Search {
 public:
  Search(const SearchInput& in, const SearchOutput& out, const SearchOptions& options)
      : p_(*in.p),
        setup_(*in.setup),
        rain_(*in.rain),
        in_(in),
        out_(out),
        options_(options),
        kind_(storage_kind(*in.p)) {
    subs_.rom = p_.rom;
    subs_.nsubc = p_.nsubc;
    subs_.surface = p_.surface.data();
    subs_.area = p_.area.data();
    sel_.records.reserve(static_cast<std::size_t>(setup_.combinations));
    sel_.governing.resize(static_cast<std::size_t>(p_.nrp));
  }

  ~Search() { stop_workers(); }

  Selections run() {
    if (!options_.reference) start_workers();
    for (int i = 1; i <= p_.nrp; ++i) {
      if (!return_period(i)) {
        console::line("No runoff from the catchment - check parameters");
        out_.log->line(textio::fmt_a(
            "There was no runoff from the catchment for any storm - surface was too permeable",
            81));
        stop(1);
      }
      release(i);
    }
    stop_workers();
    for (ResultRecord& r : sel_.records)
      for (int c = 4; c <= 19; ++c) r.col(c) = ROTN(r.col(c), 1, 1);
    return std::move(sel_);
  }

 private:
  const params::DesignParams& p_;
  const params::RunSetup& setup_;
  const std::vector<double>& rain_;
  const SearchInput& in_;
  const SearchOutput& out_;
  const SearchOptions options_;
  const StorageKind kind_;
  runoff::SubCatchments subs_;
  Selections sel_;

  // ---- the outlet sweep of the run -------------------------------------
  params::Triple sweep() const { return kind_ == StorageKind::sump ? p_.pumprate : p_.tpod; }
  int outlet_count() const { return setup_.outlet_count; }
  double outlet_size(int j) const {
    const params::Triple t = sweep();
    return static_cast<double>(t.first + static_cast<long long>(j - 1) * t.step);
  }
  double ffill() const { return kind_ == StorageKind::soakaway ? p_.ffill : 0.0; }

  double rain(int k, int i) const {
    return rain_[static_cast<std::size_t>(k - 1) * static_cast<std::size_t>(p_.nrp) +
                 static_cast<std::size_t>(i - 1)];
  }

  runoff::StormSpec storm(int i, int k) const {
    runoff::StormSpec s;
    s.duration = setup_.durations[static_cast<std::size_t>(k - 1)];
    s.strmprf = p_.strmprf;
    s.intensity = rain(k, i) / (60 * s.duration);
    return s;
  }

  // ---- computing the storms ---------------------------------------------

  // One water-balance call of the storm.
  storage::Results simulate(const runoff::StormSpec& the_storm, const StormInflow* inflow,
                            storage::Storage& st, const storage::Outlet& outlet,
                            storage::DiagnosticSink* diag) const {
    storage::Results r = simulate_once(the_storm, inflow, st, outlet, diag);
    if (options_.stats) {
      options_.stats->calls += 1;
      options_.stats->steps += r.steps;
      options_.stats->storage_steps += r.storage_steps;
    }
    return r;
  }

  storage::Results simulate_once(const runoff::StormSpec& the_storm, const StormInflow* inflow,
                                 storage::Storage& st, const storage::Outlet& outlet,
                                 storage::DiagnosticSink* diag) const {
    if (options_.reference)
      return storage::PONDWATERBALANCE(st, outlet, 1.0, subs_, the_storm, p_.rnf, diag);
    if (inflow != nullptr && diag == nullptr) {
      std::optional<storage::Results> r = replay(*inflow, the_storm, st, outlet, p_.rnf);
      if (r) return *r;
    }
    runoff::StormRunoff live(subs_, the_storm);
    return storage::water_balance<runoff::StormRunoff, storage::Lookup::fast>(
        st, outlet, 1.0, the_storm.duration, p_.rnf, live, diag);
  }

  // A design storm: sizing, the stability iteration and its record.
  void design_storm(int i, int j, int k, const StormInflow* inflow, StormOutcome& o) const {
    const int dur = setup_.durations[static_cast<std::size_t>(k - 1)];
    const int rp = setup_.return_periods[static_cast<std::size_t>(i - 1)];
    const double size = outlet_size(j);
    const double ff = ffill();
    double qp = 0.0;
    const double im = rain(k, i) / (dur / 60.0);
    const double ip = rainfall::PROFILE(p_.strmprf, 0.5) * im;
    for (int n = 0; n < p_.nsubc; ++n) qp = qp + ip / 1000 * p_.area[static_cast<std::size_t>(n)];
    double v = dur / 60.0 * qp / (1 - ff);

    storage::Results r;
    geometry::PondDims dims;
    double d = p_.maxdepth;
    storage::Storage st;
    st.batter = p_.batter;
    st.sump = p_.sump;
    st.soak = p_.soak;
    st.sideno = p_.sideno;
    st.ffill = ff;
    st.infiltco = p_.infiltco;
    storage::Outlet outlet;
    outlet.value = size;
    outlet.table = in_.table;
    outlet.position = j;
    const runoff::StormSpec the_storm = storm(i, k);

    // A storm that brings no water is neither sized nor simulated.
    if (v > 0.0) {
      dims = geometry::POND_SIZE(v, in_.ratio, d, p_.batter, o.log);
      double v_prev = 0.0;
      for (int c = 1;; ++c) {
        st.depth = d;
        st.base_w = dims.Wb;
        st.base_l = dims.Lb;
        r = simulate(the_storm, inflow, st, outlet, nullptr);
        v = r.smax;
        if (r.total_inflow < 4.0) break;
        if (std::fabs(v - v_prev) <= 0.1) break;
        dims = geometry::POND_SIZE(v, in_.ratio, d, p_.batter, o.log);
        if (c == 10) {
          o.log.line((FreeRecord("i,k,tpod,unstable storage, prvstrg,diff")
                      << i << k << size << v << v_prev << v - v_prev)
                         .str());
          v = (v_prev + v) / 2;
        }
        if (c > 15) {
          o.log.line(
              (FreeRecord("unable to get stability at i,k,tpod,jj") << i << k << size << c).str());
          v = (v_prev + v) / 2;
          break;
        }
        v_prev = v;
      }
      // The time series describes the final storage.
      if (p_.diagf == 1 && kind_ != StorageKind::sump) {
        st.depth = d;
        r = simulate(the_storm, inflow, st, outlet, out_.diag);
        v = r.smax;
      }
    }

    const double a_top = dims.Wt * dims.Lt;
    const double a_lag = r.qmax / 0.036;
    const double a_tot = a_lag + a_top;
    o.results = r;
    o.peak_flow = qp;
    if (r.total_inflow >= 4.0) {
      o.stored = o.runoff = true;
      ResultRecord& rec = o.record;
      rec.col(1) = rp;
      rec.col(2) = size;
      rec.col(3) = dur;
      rec.col(4) = r.mean_inflow;
      rec.col(5) = r.total_inflow;
      rec.col(6) = a_tot;
      rec.col(7) = a_lag;
      rec.col(8) = a_top;
      rec.col(9) = dims.Lt;
      rec.col(10) = dims.Wt;
      rec.col(11) = d;
      rec.col(12) = v;
      rec.col(13) = r.qmax;
      rec.col(14) = r.mean_outflow;
      rec.col(15) = kind_ == StorageKind::sump ? r.tfill : std::min(r.ttmt, 24.0) * r.mean_outflow;
      rec.col(16) = r.ttmt;
      rec.col(17) = r.tthmt;
      // the settlement lagoon: an ellipse for a negative ratio, none for 0
      const int ratio = p_.lagoonratio;
      const double mag = std::abs(ratio);
      if (ratio < 0)
        rec.col(19) = 2 * std::sqrt(a_lag / mag / 3.1415926);
      else if (ratio > 0)
        rec.col(19) = std::sqrt(a_lag / mag);
      rec.col(18) = mag * rec.col(19);
    }
  }

  // A storm of a runoff-only run: one simulation and its report row.
  void runoff_storm(int i, int k, const StormInflow* inflow, StormOutcome& o) const {
    storage::Storage st;
    storage::Outlet outlet;
    outlet.value = 1.0;
    outlet.table = in_.table;
    const runoff::StormSpec the_storm = storm(i, k);
    o.results = simulate(the_storm, inflow, st, outlet, p_.diagf == 1 ? out_.diag : nullptr);
    const int rp = setup_.return_periods[static_cast<std::size_t>(i - 1)];
    o.report_row = runoff_row(rp, the_storm.duration, o.results, rain(k, i));
    o.runoff = o.results.total_inflow > 4.0;
  }

  // Computes storm (i, j, k) into o, capturing its console output and a stop.
  void compute(int i, int j, int k, const StormInflow* inflow, StormOutcome& o) const {
    if (options_.stats) options_.stats->storms += 1;
    console::Redirect redirect(o.console);
    try {
      if (kind_ == StorageKind::runoff_only)
        runoff_storm(i, k, inflow, o);
      else
        design_storm(i, j, k, inflow, o);
    } catch (const RunStop& s) {
      o.stop_status = s.status;
    }
  }

  // All outlet sizes of return period i and duration k.
  void compute_task(DurationTask& task) const {
    std::unique_ptr<StormInflow> inflow;
    if (!options_.reference && p_.diagf != 1) inflow = compute_inflow(subs_, storm(task.i, task.k));
    task.outlets.resize(static_cast<std::size_t>(outlet_count()));
    for (int j = 1; j <= outlet_count(); ++j)
      compute(task.i, j, task.k, inflow.get(), task.outlets[static_cast<std::size_t>(j - 1)]);
  }

  // ---- the workers (production path) ------------------------------------
  std::vector<DurationTask> tasks_;  // (i, k) at (i - 1) * ndur + k - 1
  std::vector<std::size_t> order_;   // the order in which they are taken
  std::atomic<std::size_t> next_{0};
  std::atomic<bool> cancelled_{false};
  std::mutex mutex_;
  std::condition_variable done_cv_;
  std::vector<std::thread> workers_;

  DurationTask& task(int i, int k) {
    return tasks_[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(p_.ndur) +
                  static_cast<std::size_t>(k - 1)];
  }

  void start_workers() {
    tasks_.resize(static_cast<std::size_t>(p_.nrp) * static_cast<std::size_t>(p_.ndur));
    for (int i = 1; i <= p_.nrp; ++i) {
      std::vector<std::size_t> ks;
      for (int k = 1; k <= p_.ndur; ++k) {
        task(i, k).i = i;
        task(i, k).k = k;
        ks.push_back(static_cast<std::size_t>(k - 1));
      }
      // longest storms first, so that a return period ends with short ones
      std::stable_sort(ks.begin(), ks.end(), [&](std::size_t a, std::size_t b) {
        return setup_.durations[a] > setup_.durations[b];
      });
      for (std::size_t k : ks)
        order_.push_back(static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(p_.ndur) + k);
    }
    int n = options_.threads > 0 ? options_.threads
                                 : static_cast<int>(std::thread::hardware_concurrency());
    n = std::max(1, std::min<int>(n, static_cast<int>(order_.size())));
    for (int t = 0; t < n; ++t) workers_.emplace_back([this] { work(); });
  }

  void work() {
    // The storms of one task after another, each a job of the scheduler:
    // their replayed water-balance calls share the thread's lanes.
    struct Running {
      DurationTask* task;
      std::unique_ptr<StormInflow> inflow;
      int next_j = 1, remaining = 0;
    };
    std::list<Running> running;
    Running* current = nullptr;  // the task whose storms are being handed out
    LaneScheduler scheduler(storage::kLanes + 4);
    scheduler.run([&](LaneScheduler::Job& job) {
      if (cancelled_) return false;
      if (current == nullptr || current->next_j > outlet_count()) {
        const std::size_t at = next_++;
        if (at >= order_.size()) return false;
        DurationTask& t = tasks_[order_[at]];
        current = &running.emplace_back();
        current->task = &t;
        if (p_.diagf != 1) current->inflow = compute_inflow(subs_, storm(t.i, t.k));
        t.outlets.resize(static_cast<std::size_t>(outlet_count()));
        current->remaining = outlet_count();
      }
      Running* r = current;
      const int j = r->next_j++;
      job = [this, r, j, &running, &current] {
        DurationTask& t = *r->task;
        compute(t.i, j, t.k, r->inflow.get(), t.outlets[static_cast<std::size_t>(j - 1)]);
        if (--r->remaining > 0) return;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          t.done = true;
        }
        done_cv_.notify_all();
        if (current == r) current = nullptr;
        running.remove_if([r](const Running& x) { return &x == r; });
      };
      return true;
    });
  }

  void stop_workers() {
    cancelled_ = true;
    for (std::thread& w : workers_) w.join();
    workers_.clear();
  }

  // The outcome of storm (i, j, k), waiting for it (production) or computing
  // it now (reference).
  StormOutcome& outcome(int i, int j, int k) {
    if (options_.reference) {
      if (tasks_.empty()) tasks_.resize(1);
      DurationTask& t = tasks_.front();
      t.outlets.resize(1);
      t.outlets[0] = StormOutcome();
      compute(i, j, k, nullptr, t.outlets[0]);
      return t.outlets[0];
    }
    DurationTask& t = task(i, k);
    std::unique_lock<std::mutex> lock(mutex_);
    done_cv_.wait(lock, [&] { return t.done; });
    return t.outlets[static_cast<std::size_t>(j - 1)];
  }

  // Frees the outcomes of a return period once it is written.
  void release(int i) {
    if (options_.reference) return;
    for (int k = 1; k <= p_.ndur; ++k) task(i, k).outlets = {};
  }

  // ---- writing, strictly in the order of the storms ---------------------

  // One return period; false when none of its storms produced runoff.
  bool return_period(int i) {
    bool runoff = false;
    for (int j = 1; j <= outlet_count(); ++j) {
      const std::size_t n_start = sel_.records.size();
      for (int k = 1; k <= p_.ndur; ++k) {
        const long long q = static_cast<long long>(i - 1) * outlet_count() * p_.ndur +
                            static_cast<long long>(j - 1) * p_.ndur + k;
        rewrite_progress(out_.progress_name, q, setup_.combinations);
        StormOutcome& o = outcome(i, j, k);
        o.console.replay();
        for (const std::string& l : o.log.lines) out_.log->line(l);
        if (o.stop_status >= 0) stop(o.stop_status);
        const bool runoff_before = runoff;
        runoff = runoff || o.runoff;
        if (kind_ == StorageKind::runoff_only) {
          out_.report->line(o.report_row);
        } else if (o.stored) {
          sel_.records.push_back(o.record);
          write_results_row(kind_, o.record, o.results, o.peak_flow, rain(k, i), *out_.full);
        }
        if (kind_ == StorageKind::sump && !runoff_before && !o.stored) {
          const int dur = setup_.durations[static_cast<std::size_t>(k - 1)];
          out_.log->line(
              textio::fmt_a("There was no runoff from the catchment for storms specified "
                            "for duration =  ",
                            81) +
              textio::fmt_i(dur, 6));
        }
      }
      // A pump sweep goes on to its end; the others end at a size without runoff.
      if (!runoff) {
        if (kind_ == StorageKind::sump) continue;
        break;
      }
      if (kind_ == StorageKind::runoff_only) break;
      if (sel_.records.size() == n_start) continue;
      select_governing(i, n_start);
    }
    if (!runoff) return false;
    if (kind_ != StorageKind::runoff_only) write_governing_and_select_smallest(i);
    return true;
  }

  // The governing storm of an outlet size: the largest total area of water
  // (volume for a soakaway), the first of equal maxima.
  void select_governing(int i, std::size_t n_start) {
    const int col = kind_ == StorageKind::soakaway ? 12 : 6;
    std::size_t gov = n_start;
    double largest = 0.0;
    for (std::size_t r = n_start; r < sel_.records.size(); ++r) {
      if (sel_.records[r].col(col) > largest) {
        largest = sel_.records[r].col(col);
        gov = r;
      }
    }
    const int number = static_cast<int>(gov) + 1;
    sel_.governing[static_cast<std::size_t>(i - 1)].push_back(number);
    // half-emptying within the required time, when a time was found at all
    const double half = sel_.records[gov].col(17);
    if (half > 0.0 && half <= p_.rhmpt) sel_.half_emptying.push_back(number);
  }

  // The governing rows of return period i, and its least demanding design.
  void write_governing_and_select_smallest(int i) {
    const std::vector<int>& gov = sel_.governing[static_cast<std::size_t>(i - 1)];
    std::vector<ResultRecord> rows;
    for (int number : gov) rows.push_back(sel_.records[static_cast<std::size_t>(number - 1)]);
    write_governing_rows(kind_, rows, *out_.report);
    const int col = kind_ == StorageKind::pond ? 6 : 12;
    double least = 1.0e10;
    int chosen = gov.empty() ? 0 : gov.front();
    for (int number : gov) {
      const double v = sel_.records[static_cast<std::size_t>(number - 1)].col(col);
      if (v < least) {
        least = v;
        chosen = number;
      }
    }
    if (chosen > 0) sel_.smallest.push_back(chosen);
  }
};

}  // namespace

Selections DESIGN_SEARCH(const SearchInput& in, const SearchOutput& out,
                         const SearchOptions& options) {
  return Search(in, out, options).run();
}

}  // namespace sitedrain::design
