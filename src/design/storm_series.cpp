#include "design/storm_series.h"

#include <algorithm>
#include <map>

#include "params/run_setup.h"
#include "storage/diagnostic_sink.h"

namespace sitedrain::design {

namespace {

constexpr int kSeriesPoints = 1500;

// Keeps every n-th step, the steps of the largest volume and outflow, and
// the maxima over every step.
class SeriesSink : public storage::DiagnosticSink {
 public:
  explicit SeriesSink(int every) : every_(std::max(every, 1)) {}
  void step(const storage::DiagnosticStep& s) override {
    const SeriesPoint pt{
        static_cast<double>(s.t), s.rain * 3600.0, s.inflow, s.flowout, s.depth, s.storage};
    if (s.t % every_ == 0) points_.push_back(pt);
    if (first_ || s.storage > peak_volume_.volume) peak_volume_ = pt;
    if (first_ || s.flowout > peak_outflow_.outflow) peak_outflow_ = pt;
    first_ = false;
  }
  // The kept steps in time order, the peaks among them.
  std::vector<SeriesPoint> points() const {
    std::map<double, SeriesPoint> by_time;
    for (const SeriesPoint& p : points_) by_time[p.t] = p;
    if (!first_) {
      by_time[peak_volume_.t] = peak_volume_;
      by_time[peak_outflow_.t] = peak_outflow_;
    }
    std::vector<SeriesPoint> out;
    for (const auto& [t, p] : by_time) out.push_back(p);
    return out;
  }
  double max_volume() const { return first_ ? 0.0 : peak_volume_.volume; }
  double max_outflow() const { return first_ ? 0.0 : peak_outflow_.outflow; }

 private:
  int every_;
  bool first_ = true;
  std::vector<SeriesPoint> points_;
  SeriesPoint peak_volume_, peak_outflow_;
};

}  // namespace

std::vector<std::size_t> critical_records(const DesignResults& results, std::size_t most) {
  std::vector<std::size_t> picked = results.smallest;
  // the largest return periods when there are more than `most`
  if (picked.size() > most) picked.erase(picked.begin(), picked.end() - static_cast<long>(most));
  return picked;
}

StormSeries storm_series(const SeriesInput& in, const StormRecord& rec, std::size_t index) {
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
  simulate_record(sizing, s, rec, sink);
  StormSeries out;
  out.record = index;
  out.points = sink.points();
  out.max_volume = sink.max_volume();
  out.max_outflow = sink.max_outflow() * 3600.0;
  return out;
}

}  // namespace sitedrain::design
