#include "run/driver.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "control/control_file.h"
#include "design/design_search.h"
#include "fixed_column/closing_tables.h"
#include "fixed_column/diagnostic_file.h"
#include "fixed_column/greenfield_report.h"
#include "fixed_column/report_context.h"
#include "fixed_column/report_head.h"
#include "geometry/basin.h"
#include "geometry/orifice.h"
#include "greenfield/greenfield.h"
#include "params/run_setup.h"
#include "rainfall/descriptor.h"
#include "rainfall/design_rainfall.h"
#include "rainfall/feh_export.h"
#include "run/case_input.h"
#include "run/run_warnings.h"
#include "textio/console.h"
#include "textio/format.h"
#include "textio/stop.h"
#include "textio/text_file.h"

namespace sitedrain::run {

namespace {

// The eight output files, in the control file's order.
enum class Output {
  rainfall_all_year,
  rainfall_summer,
  rainfall_winter,
  log,
  full_results,
  report,
  diagnostic,
  progress,
};
constexpr std::size_t kOutputCount = 8;

// The rainfall table file of a season (1 all-year, 2 summer, 3 winter).
Output rainfall_output(int season) {
  return season == 2   ? Output::rainfall_summer
         : season == 3 ? Output::rainfall_winter
                       : Output::rainfall_all_year;
}

struct Outputs {
  std::array<textio::OutFile, kOutputCount> file;
  textio::OutFile& operator[](Output o) { return file[static_cast<std::size_t>(o)]; }

  // Closes the files still open; a file whose data could not be written
  // stops the run rather than let it claim success.
  void close_all() {
    for (textio::OutFile& f : file) close(f);
  }
  void close(Output o) { close((*this)[o]); }
  static void close(textio::OutFile& f) {
    std::string name = f.name();
    if (f.is_open() && !f.close())
      console::stop_with("ERROR writing file" + textio::padded_file_name(name));
  }
};

// The room for a design's storm records, taken before the outputs open so
// that a case too large for memory stops before any output file exists.
std::vector<results::StormRecord> reserve_record_room(const params::DesignParams& p,
                                                      const params::RunSetup& setup) {
  std::vector<results::StormRecord> room;
  if (!p.storage_run()) return room;
  try {
    room.reserve(static_cast<std::size_t>(setup.combinations));
  } catch (const std::exception&) {  // bad_alloc, or more than a vector can hold
    params::stop_for_allocation_failure();
  }
  return room;
}

// The phases of one run, in order; data receives what the run computed.
void run_case(const design::SearchOptions& options, RunData& data,
              std::span<const control::CommandLineOutput> more) {
  Outputs out;
  WarningCollector warnings(out[Output::log], data.notes.warnings);
  data.notes.date = report::run_date_text(std::getenv("SOURCE_DATE_EPOCH"), std::time(nullptr));
  // The case in either format: a site file, or the control and parameter files.
  textio::LineReader descriptor_in;
  CaseInput input = read_case(descriptor_in, &data.parameter_file);
  const control::RunFiles& files = input.files;
  params::DesignParams& p = input.params;
  data.notes.inputs.push_back(report::input_file(input.file));
  if (!data.parameter_file.empty())
    data.notes.inputs.push_back(report::input_file(data.parameter_file));
  data.notes.inputs.push_back(report::input_file(files.input[1]));
  params::RunSetup setup = params::make_run_setup(p);
  std::vector<results::StormRecord> record_room = reserve_record_room(p, setup);

  // The descriptor file's lines and its grid reference; or the FEH XML export.
  rainfall::Catchment catchment;
  std::vector<std::string> lines;
  std::optional<rainfall::FehExport> xml;
  if (std::optional<std::string> text = rainfall::read_xml_export_text(files.input[1])) {
    xml = rainfall::parse_feh_export(*text, files.input[1]);
  } else {
    lines = rainfall::read_descriptor_lines(descriptor_in, files.numline);
    rainfall::parse_grid_reference(lines.empty() ? std::string() : lines.front(), files.input[1],
                                   catchment);
  }

  // All eight outputs; output 1 and the chosen season's file by the rebuilt name.
  const std::array<std::string, kOutputCount> names =
      control::output_names(files, p.season_code, input.file, more);
  for (std::size_t j = 0; j < kOutputCount; ++j) {
    if (!out.file[j].open(names[j]))
      console::stop_with("ERROR opening file" + textio::padded_file_name(names[j]));
  }

  rainfall::DescriptorKeys keys =
      xml ? rainfall::apply_feh_export(*xml, p.point_rainfall, p.areal_reduction, catchment)
          : rainfall::parse_descriptor_values(lines, p.point_rainfall, p.areal_reduction,
                                              files.input[1], catchment);
  rainfall::use_depth_model(files.ddf_model, xml ? &*xml : nullptr, p, setup, files.input[1],
                            catchment);
  rainfall::check_descriptor_keys(keys, p, setup, files.input[1], files.ddf_model);
  rainfall::check_descriptor_values(keys, catchment, p, setup, files.input[1], files.ddf_model);

  if (p.diagnostic_series == 1) fixed_column::write_diagnostic_headings(out[Output::diagnostic]);

  // Design rainfall.
  rainfall::RainfallOutcome rain;
  if (p.season_code >= 1 && p.season_code <= 3) {
    rain = rainfall::design_rainfall(p, setup, catchment, out[rainfall_output(p.season_code)],
                                     warnings);
    out.close(rainfall_output(p.season_code));
    out.close(Output::rainfall_all_year);
  }
  if (p.storage_run() && rain.beyond_16_days) stop(1);

  greenfield::Rates rates;
  if (p.greenfield_rates == 1) {
    const std::size_t n = static_cast<std::size_t>(p.subcatchment_count);
    rates = greenfield::estimate_greenfield_rates(
        catchment.SAAR4170, p.hydrometric_area, std::span<const double>(p.areas_m2.data(), n),
        std::span<const int>(p.soil_classes.data(), n), p.soil_class_per_subcatchment);
  }
  // The head of every report, built once: the fixed-column writers read it
  // and it travels with the results to the HTML report and the CSV tables.
  results::ReportHeadData& head = data.results.head;
  head = {p,    setup.return_periods, setup.durations, setup.total_area, catchment, files.location,
          rates};
  if (!p.greenfield_only()) data.rain = rain.table.v;

  if (p.greenfield_only()) {
    fixed_column::write_greenfield_report(head, out[Output::report]);
    out.close(Output::report);
  }
  if (!p.storage_run()) {
    out.close_all();
    return;
  }

  // The storage design.
  if (p.design_pond == 1 && p.storage_kind == params::StorageKind::pond)
    data.table = geometry::build_coefficient_table(p.orifice_diameters_mm, setup.depth_steps);
  if (p.runoff_only != 1) {
    console::line("Calculating the pond dimensions");
    data.ratio =
        geometry::check_initial_top(p.top_length_m, p.top_width_m, p.max_depth_m, p.batter_1_in);
  }

  fixed_column::write_storage_head(head, out[Output::report], out[Output::full_results]);

  fixed_column::DiagnosticFile diagnostic(out[Output::diagnostic]);
  design::SearchInput in;
  in.p = &p;
  in.setup = &setup;
  in.rain = &rain.table.v;
  in.table = &data.table;
  in.ratio = data.ratio;
  in.record_room = &record_room;
  design::SearchOutput sink;
  sink.log = &warnings;
  sink.full = &out[Output::full_results];
  sink.report = &out[Output::report];
  sink.diag = &diagnostic;
  sink.progress_name = out[Output::progress].name();
  out.close(Output::progress);  // rewritten at every storm
  results::ReportHeadData kept_head = std::move(head);
  data.results = design::design_search(in, sink, options);
  data.results.head = std::move(kept_head);
  fixed_column::write_closing_tables(data.results, out[Output::report]);
  out.close_all();
}

}  // namespace

RunOutcome run_program(const design::SearchOptions& options,
                       std::span<const control::CommandLineOutput> more) {
  // The console is written in full blocks when it is not a terminal (the
  // PDM model writes a line at every step); it is flushed before each pause.
  // A helper thread then flushes it at least once a second, so that a user
  // following it sees a long run go on.
  std::optional<console::FlushTicker> ticker;
  if (!isatty(fileno(stdout))) {
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    ticker.emplace();
  }
  RunOutcome outcome;
  int& status = outcome.status;
  try {
    run_case(options, outcome.data, more);
  } catch (const RunStop& s) {
    status = s.status;
  } catch (const std::bad_alloc&) {
    console::line(textio::fmt_a("ALLOACTION ERROR - probably insufficient memory", 81));
    console::line("Unexcpected allocation error");
    status = 1;
  } catch (const std::exception& e) {
    console::line(std::string("ERROR - unexpected failure: ") + e.what());
    status = 1;
  }
  console::flush();
  if (status != 0) {  // only a normal end's data is complete; the file name stays
    std::string parameter_file = std::move(outcome.data.parameter_file);
    outcome.data = {};
    outcome.data.parameter_file = std::move(parameter_file);
  }
  return outcome;
}

}  // namespace sitedrain::run
