#include "rainfall/depth_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "maths/maths.h"
#include "textio/console.h"
#include "textio/format.h"

namespace sitedrain::rainfall {

std::string_view ddf_model_name(DdfModel model) {
  switch (model) {
    case DdfModel::FEH13:
      return "FEH13";
    case DdfModel::FEH22:
      return "FEH22";
    default:
      return "FEH99";
  }
}

std::string_view grid_kind_name(GridKind kind) {
  return kind == GridKind::point ? "point" : "catchment";
}

std::string depth_source_text(DdfModel model, GridKind kind) {
  if (model == DdfModel::FEH99) return {};
  std::string s = "Rainfall depths from the ";
  s += ddf_model_name(model);
  s += ' ';
  s += grid_kind_name(kind);
  s += " depth grid";
  return s;
}

std::string grid_value_text(double v) {
  if (v == std::trunc(v) && std::fabs(v) < 1e15) return std::to_string(static_cast<long long>(v));
  return textio::shortest(v);
}

double gumbel_variate(double T) {
  return -maths::log(-maths::log(1.0 - 1.0 / T));
}

namespace {

// Nodes a <= b of an increasing list next to v (a == b when v is a node);
// b is the list's size when v lies outside it.
struct Bracket {
  std::size_t a, b;
};

Bracket bracket(const std::vector<double>& nodes, double v) {
  const std::size_t b =
      static_cast<std::size_t>(std::lower_bound(nodes.begin(), nodes.end(), v) - nodes.begin());
  if (b < nodes.size() && nodes[b] == v) return {b, b};
  if (b == 0 || b == nodes.size()) return {b, nodes.size()};
  return {b - 1, b};
}

// Weight of the upper node: (v - va) / (vb - va), 0 when the two are one.
double weight(double v, double va, double vb) {
  return vb == va ? 0.0 : (v - va) / (vb - va);
}

// "1 year", "30 years".
std::string years(double T) {
  return grid_value_text(T) + (T == 1.0 ? " year" : " years");
}

}  // namespace

double grid_depth(const DepthGrid& g, int rp, int duration) {
  const double D = duration / 60.0;
  const double T = rp;
  const Bracket k = bracket(g.hours, D);
  const Bracket j = bracket(g.return_periods, T);
  if (k.b == g.hours.size() || j.b == g.return_periods.size())
    return std::numeric_limits<double>::quiet_NaN();  // outside: refused before
  if (k.a == k.b && j.a == j.b) return g.at(k.a, j.a);
  const double wx =
      k.a == k.b ? 0.0 : weight(maths::log(D), maths::log(g.hours[k.a]), maths::log(g.hours[k.b]));
  const double wy = j.a == j.b ? 0.0
                               : weight(gumbel_variate(T), gumbel_variate(g.return_periods[j.a]),
                                        gumbel_variate(g.return_periods[j.b]));
  const double lnR = (1.0 - wx) * (1.0 - wy) * maths::log(g.at(k.a, j.a)) +
                     wx * (1.0 - wy) * maths::log(g.at(k.b, j.a)) +
                     (1.0 - wx) * wy * maths::log(g.at(k.a, j.b)) +
                     wx * wy * maths::log(g.at(k.b, j.b));
  return maths::exp(lnR);
}

void check_grid_range(const DepthGrid& g, std::string_view grid_name,
                      std::span<const int> return_periods, std::span<const int> durations) {
  auto refuse = [&](const std::string& range, const std::string& value) {
    std::string msg = "ERROR - ";
    msg += grid_name;
    msg += " covers " + range + ": the run's " + value + " is outside it";
    console::stop_with(msg);
  };
  const double t_first = g.return_periods.front(), t_last = g.return_periods.back();
  for (int rp : return_periods)
    if (rp < t_first || rp > t_last)
      refuse("return periods from " + grid_value_text(t_first) + " to " + years(t_last),
             "return period of " + years(rp));
  const double d_first = g.hours.front(), d_last = g.hours.back();
  for (int d : durations) {
    const double D = d / 60.0;
    if (D < d_first || D > d_last)
      refuse("durations from " + grid_value_text(d_first * 60.0) + " to " +
                 grid_value_text(d_last * 60.0) + " min",
             "duration of " + std::to_string(d) + " min");
  }
}

}  // namespace sitedrain::rainfall
