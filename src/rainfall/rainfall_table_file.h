// The rainfall table file: a short head naming the site, the climate-change
// factor, SAAR and the return periods, then one row of depths per duration.
#pragma once

#include <span>
#include <string_view>

#include "params/modes.h"
#include "rainfall/catchment.h"
#include "rainfall/depth_table.h"
#include "textio/text_file.h"

namespace sitedrain::rainfall {

// The seasonal-adjustment warning as written to the table and log files
// (the first 81 characters of the full warning).
inline constexpr std::string_view kShortDurationSeasonWarning =
    "WARNING: DURATIONS < 1Hour SEASONAL ADJUSTMENT CANNOT BE RELIED UPON / ADJUSTMENT";

// Writes the head (label with grid reference, climate-change factor, SAAR,
// for FEH13 and FEH22 the line naming the depth grid, an empty line, the
// return-period heading lines); the label names the season.
void write_rainfall_table_head(params::Season season, const Catchment& c, double cchgfac,
                               std::span<const int> return_periods, textio::LineSink& out);

// Writes one row per duration (minutes): the duration, then the depth (mm)
// for each return period of the table.
void write_rainfall_table_rows(std::span<const int> durations, const DepthTable& table,
                               textio::LineSink& out);

}  // namespace sitedrain::rainfall
