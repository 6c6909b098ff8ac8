#include "fixed_column/report_head.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <string_view>

#include "fixed_column/row_fields.h"
#include "fixed_column/site_details.h"
#include "fixed_column/table_headings.h"
#include "runoff/loss_model.h"
#include "textio/format.h"

namespace sitedrain::fixed_column {

using textio::fmt_a;
using textio::fmt_f;
using textio::fmt_i;
using textio::Line;

namespace {

// In: a storm profile.  Out: its line.
std::string_view profile_text(params::StormProfile profile) {
  switch (profile) {
    case params::StormProfile::winter75:
      return " Rainfall storm profile used:    Winter 75% distribution";
    case params::StormProfile::summer50:
      return " Rainfall storm profile used:    Summer 50% distribution";
    case params::StormProfile::uniform:
      break;
  }
  return " Rainfall storm profile used:    uniform distribution";
}

// In: point.  Out: the line naming the rainfall estimate, or an empty view.
std::string_view estimate_text(int point) {
  switch (point) {
    case 1:
      return " Based on point estimate";
    case 0:
      return " Based on catchment estimate with areal reduction factor ";
    default:
      return {};
  }
}

// In: the context.  Out: the area heading and one line per sub-catchment
// (surface type, and WRAP class when greenfield rates are asked for).
void write_subcatchments(const ReportContext& ctx, textio::LineSink& out) {
  const params::DesignParams& p = ctx.params;
  const bool wrap = p.greenfield_rates == 1;
  Line heading;
  heading.at(38, "Area (m^2)").at(63, "Surface type");
  if (wrap) heading.at(89, "WRAP type");
  out.line(heading.str());
  const int n = std::min(p.subcatchment_count, params::kMaxSubCatchments);
  for (int i = 1; i <= n; ++i) {
    const auto slot = static_cast<std::size_t>(i - 1);
    Line row;
    row.at(2, "Sub-catchment  ")
        .at(17, fmt_i(i, 3))
        .at(36, fmt_f(p.areas_m2[slot], 10, 0))
        .at(62, fmt_i(p.surface_codes[slot], 6));
    if (wrap) row.at(89, fmt_i(shown_soil_class(p, i), 6));
    out.line(row.str());
  }
}

// In: the context.  Out: the design criteria: climate change factor,
// the return-period and duration lists, the rainfall estimate, the batter
// and half-emptying line and the settlement lagoon line.
void write_design_criteria(const ReportContext& ctx, textio::LineSink& out) {
  const params::DesignParams& p = ctx.params;
  out.line(
      Line().at(2, "Climate change factor").at(23, fmt_f(p.climate_change_factor, 10, 1)).str());
  out.line("");
  out.line(Line().at(2, "Design storm ").at(36, "Return periods (year)").str());
  fields::put_lines(textio::ten_per_line(ctx.return_periods, 36, 6), out);
  out.line("");
  out.line(Line().at(36, "Storm durations (min.)").str());
  fields::put_lines(textio::ten_per_line(ctx.durations, 36, 6), out);

  const rainfall::Catchment& c = ctx.catchment;
  const std::string source = rainfall::depth_source_text(c.model, c.grid_kind);
  if (std::string_view text = estimate_text(p.point_rainfall); !text.empty()) {
    out.line("");
    out.line(text);
    if (!source.empty()) out.line(" " + source);
    out.line("");
  } else if (!source.empty()) {
    out.line("");
    out.line(" " + source);
    out.line("");
  }
  if (p.design_pond == 1 || p.design_sump == 1)
    out.line(Line()
                 .at(2, fmt_a(structure_label(p), 17))
                 .at(36, "Batter of")
                 .at(45, fmt_f(p.batter_1_in, 5, 0))
                 .at(52, "Half-emptying time of")
                 .at(73, fmt_i(p.half_emptying_limit_h, 6))
                 .at(79, " h")
                 .str());
  if (p.lagoon_ratio != 0) {
    const char* shape = p.lagoon_ratio > 0 ? "Rectangular shape          Ratio:    "
                                           : "Ellipse shape              Ratio:    ";
    out.line(Line()
                 .at(2, "Settlement lagoon: ")
                 .at(36, shape)
                 .at(73, fmt_i(std::abs(static_cast<long long>(p.lagoon_ratio)), 5))
                 .str());
    out.line("");
    out.line("");
  }
}

}  // namespace

void write_report_head(const ReportContext& ctx, textio::LineSink& report) {
  const params::DesignParams& p = ctx.params;
  const char* title = p.runoff_only == 1 ? "RAPID SURFACE RUNOFF ESTIMATES" : "SITE DETAILS";
  report.line(Line().at(20, fmt_a(title, 40)).str());
  report.line("");
  write_location_line(ctx, report);
  write_subcatchments(ctx, report);
  if (p.greenfield_rates == 1) write_greenfield_rates(ctx, report);

  // A code of no model (read as the final-value Horton model) has no line.
  if (const runoff::LossModelEntry* model = runoff::loss_model_of_code(p.loss_model_code)) {
    report.line("");
    report.line(model->report_line);
  }
  report.line("");
  report.line(profile_text(p.profile));
  report.line("");
  if (p.runoff_only == 0) {
    report.line("");
    report.line(Line().at(46, fmt_a(structure_label(p), 17)).at(63, "SPECIFICATIONS").str());
    report.line("");
  }
  write_design_criteria(ctx, report);
  headings::write_report_headings(p.storage_kind, report);
}

void write_storage_head(const ReportContext& ctx, textio::LineSink& report,
                        textio::LineSink& results) {
  write_report_head(ctx, report);
  headings::write_results_headings(ctx.params.storage_kind, results);
}

}  // namespace sitedrain::fixed_column
