// Design rainfall from a grid of depths (the FEH13 and FEH22 models): depths
// in mm by duration and return period, read from the FEH XML export, with
// bilinear interpolation of ln(depth) in ln(duration) and in the Gumbel
// reduced variate of the return period between the grid's nodes.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sitedrain::rainfall {

// The depth-duration-frequency model of a run (control file item DDFMODEL).
// FEH99 is the six-parameter model with FSR ratios below an hour; FEH13 and
// FEH22 are depth grids.
enum class DdfModel { FEH99, FEH13, FEH22 };

// Which grid of the export gives the depths: the catchment average
// (point = 0) or the 1 km point (point = 1).
enum class GridKind { catchment, point };

// In: a model.  Out: its name as the control file writes it ("FEH22").
std::string_view ddf_model_name(DdfModel model);

// In: a grid kind.  Out: "catchment" or "point".
std::string_view grid_kind_name(GridKind kind);

// In: the model and grid kind of a run.  Out: the line that names the source
// of the depths ("Rainfall depths from the FEH22 catchment depth grid"), or
// an empty text for FEH99, whose outputs say nothing of it.
std::string depth_source_text(DdfModel model, GridKind kind);

struct DepthGrid {
  std::vector<double> hours;           // durations (h), strictly increasing
  std::vector<double> return_periods;  // years, strictly increasing, all above 1
  std::vector<double> depths;          // mm, depths[k * return_periods.size() + j]

  double at(std::size_t k, std::size_t j) const { return depths[k * return_periods.size() + j]; }
};

// In: a value of a grid.  Out: its text for messages: a whole number in full
// ("100000"), any other in shortest form ("0.083").
std::string grid_value_text(double v);

// Gumbel reduced variate y = -ln(-ln(1 - 1/T)) of a return period T (years,
// above 1), without any conversion of short periods.
double gumbel_variate(double T);

// In: a grid, return period rp (years) and duration (minutes), both inside
// the grid's ranges (check_grid_range).  Out: the depth (mm): the grid value
// as read at a node; elsewhere exp of the bilinear interpolation of ln(depth)
// in x = ln(hours) and y = gumbel_variate between the neighbouring nodes.
double grid_depth(const DepthGrid& g, int rp, int duration);

// In: a grid, its name for messages (e.g. "the FEH22 catchment depth grid of
// cd_Site.xml"), the run's return periods and durations.  Stops the run, with
// a message naming the value and the grid's range, at the first return
// period or duration outside the grid.
void check_grid_range(const DepthGrid& g, std::string_view grid_name,
                      std::span<const int> return_periods, std::span<const int> durations);

}  // namespace sitedrain::rainfall
