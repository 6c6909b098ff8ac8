#include "design/storm_series.h"

#include <algorithm>
#include <map>

#include "params/run_setup.h"
#include "storage/diagnostic_sink.h"

namespace sitedrain::design {

namespace {

constexpr int kSeriesPoints = 1500;     // kept steps of the storm, about
constexpr int kDrainDownPoints = 1500;  // and of a drain-down of the longest span

// The range of values over the steps since the last kept point.
class RangeOfSteps {
 public:
  void add(double v) {
    low_ = n_ ? std::min(low_, v) : v;
    high_ = n_ ? std::max(high_, v) : v;
    sum_ += v;
    ++n_;
  }
  // The range, begun again.
  StepRange take(double v) {
    if (n_ == 0) add(v);
    const StepRange r{low_, high_, sum_ / n_};
    *this = {};
    return r;
  }

 private:
  double low_ = 0.0, high_ = 0.0, sum_ = 0.0;
  int n_ = 0;
};

// Keeps every n-th step, the steps of the largest volume and outflow, and
// the maxima over every step; counts the pump's starts and finds when half
// of the peak volume is left.
class SeriesSink : public storage::DiagnosticSink {
 public:
  explicit SeriesSink(int every) : every_(std::max(every, 1)) {}
  void keep_every(int every) { every_ = std::max(every, 1); }

  void step(const storage::DiagnosticStep& s) override {
    SeriesPoint pt{
        static_cast<double>(s.t), s.rain * 3600.0, s.inflow, s.flowout, s.depth, s.storage, {}, {}};
    outflow_.add(s.flowout);
    depth_.add(s.depth);
    if (s.flowout > 0.0 && !(last_.flowout > 0.0)) {
      ++starts_;
      const int hour = (s.t - 1) / 3600;
      most_in_an_hour_ = std::max(most_in_an_hour_, ++starts_in_hour_[hour]);
    }
    if (s.t % every_ == 0) {
      pt.outflow_range = outflow_.take(s.flowout);
      pt.depth_range = depth_.take(s.depth);
      points_.push_back(pt);
    }
    pt.outflow_range = {s.flowout, s.flowout, s.flowout};
    pt.depth_range = {s.depth, s.depth, s.depth};
    if (first_ || s.storage > peak_volume_.volume) {
      peak_volume_ = pt;
      half_time_ = -1.0;
    } else if (half_time_ < 0.0 && s.storage <= peak_volume_.volume / 2.0) {
      half_time_ = s.t;
    }
    if (first_ || s.flowout > peak_outflow_.outflow) peak_outflow_ = pt;
    first_ = false;
    last_ = s;
    last_point_ = pt;
  }

  bool any() const { return !first_; }
  const storage::DiagnosticStep& last() const { return last_; }

  // The kept steps in time order, the peaks and the last step among them.
  StormSeries series() const {
    StormSeries out;
    std::map<double, SeriesPoint> by_time;
    for (const SeriesPoint& p : points_) by_time[p.t] = p;
    if (!first_) {
      by_time.emplace(peak_volume_.t, peak_volume_);
      by_time.emplace(peak_outflow_.t, peak_outflow_);
      by_time.emplace(last_point_.t, last_point_);
      out.max_volume = peak_volume_.volume;
      out.max_outflow = peak_outflow_.outflow * 3600.0;
      out.peak_volume_time = peak_volume_.t;
      out.end = last_.t;
    }
    for (const auto& [t, p] : by_time) out.points.push_back(p);
    out.half_volume_time = half_time_;
    out.pump_starts = starts_;
    out.most_starts_in_an_hour = most_in_an_hour_;
    return out;
  }

 private:
  int every_;
  bool first_ = true;
  std::vector<SeriesPoint> points_;
  SeriesPoint peak_volume_, peak_outflow_, last_point_;
  storage::DiagnosticStep last_;
  RangeOfSteps outflow_, depth_;
  double half_time_ = -1.0;
  int starts_ = 0, most_in_an_hour_ = 0;
  std::map<int, int> starts_in_hour_;
};

}  // namespace

std::vector<std::size_t> critical_records(const results::DesignResults& results, std::size_t most) {
  std::vector<std::size_t> picked = results.smallest;
  // the largest return periods when there are more than `most`
  if (picked.size() > most) picked.erase(picked.begin(), picked.end() - static_cast<long>(most));
  return picked;
}

std::vector<std::size_t> simulated_records(const results::DesignResults& results) {
  std::vector<std::size_t> picked = critical_records(results);
  if (results.kind == params::StorageKind::sump)
    for (const std::vector<std::size_t>& g : results.governing)
      for (std::size_t n : g)
        if (std::find(picked.begin(), picked.end(), n) == picked.end()) picked.push_back(n);
  return picked;
}

StormSeries storm_series(const SeriesInput& in, const results::StormRecord& rec,
                         std::size_t index) {
  const params::DesignParams& p = in.head->params;
  DesignStorm s;
  const auto& rps = in.head->return_periods;
  const auto& durs = in.head->durations;
  s.i = static_cast<int>(std::find(rps.begin(), rps.end(), rec.return_period) - rps.begin()) + 1;
  s.k = static_cast<int>(std::find(durs.begin(), durs.end(), rec.duration) - durs.begin()) + 1;
  s.j = params::outlet_position(params::outlet_sweep(p), rec.outlet_size);
  s.return_period = rec.return_period;
  s.duration = rec.duration;
  s.outlet_size = rec.outlet_size;
  s.rain_depth = rec.rain_depth;

  SizingSetup sizing;
  sizing.p = &p;
  sizing.subs = sub_catchments(p);
  sizing.table = in.table;
  sizing.ratio = in.ratio;
  SeriesSink sink((rec.duration * 60 + kSeriesPoints - 1) / kSeriesPoints);
  storage::Storage after;
  simulate_record(sizing, s, rec, sink, &after);
  double storm_end = 0.0;
  DrainEnd end = DrainEnd::emptied;
  if (sink.any()) {
    storm_end = sink.last().t;
    sink.keep_every((kDrainDownLimitS + kDrainDownPoints - 1) / kDrainDownPoints);
    const storage::DiagnosticStep last = sink.last();
    end = drain_record(sizing, s, after, last, kDrainDownLimitS, sink);
  }
  StormSeries out = sink.series();
  out.record = index;
  out.storm_end = storm_end;
  out.drain_end = end;
  return out;
}

}  // namespace sitedrain::design
