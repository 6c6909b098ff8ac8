#include "run/driver.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "design/design_search.h"
#include "fixed_column/closing_tables.h"
#include "fixed_column/diagnostic_file.h"
#include "fixed_column/greenfield_report.h"
#include "fixed_column/report_context.h"
#include "fixed_column/report_head.h"
#include "geometry/basin.h"
#include "geometry/orifice.h"
#include "greenfield/greenfield.h"
#include "params/parameter_file.h"
#include "params/run_setup.h"
#include "rainfall/descriptor.h"
#include "rainfall/design_rainfall.h"
#include "rainfall/feh_export.h"
#include "run/control_file.h"
#include "textio/console.h"
#include "textio/format.h"
#include "textio/stop.h"
#include "textio/text_file.h"

namespace sitedrain::run {

namespace {

// Opens an input file; "ERROR opening file" and the name, then a stop.
void open_input(textio::LineReader& in, const std::string& name) {
  if (!in.open(name)) console::stop_with("ERROR opening file" + textio::padded_file_name(name));
}

// The eight output files, numbered from 1 as in the control file.
struct Outputs {
  std::array<textio::OutFile, 8> file;
  textio::OutFile& operator()(int j) { return file[static_cast<std::size_t>(j - 1)]; }

  // Closes the files still open; a file whose data could not be written
  // stops the run rather than let it claim success.
  void close_all() {
    for (int j = 1; j <= 8; ++j) close(j);
  }
  void close(int j) {
    textio::OutFile& f = (*this)(j);
    std::string name = f.name();
    if (f.is_open() && !f.close())
      console::stop_with("ERROR writing file" + textio::padded_file_name(name));
  }
};

// The phases of one run, in order.
void run_case(const design::SearchOptions& options, RunData* data,
              std::span<const CommandLineOutput> more) {
  console::line("PSnamel.nml");
  RunFiles files = read_control_file("PSnamel.nml");

  textio::LineReader params_in;
  textio::LineReader descriptor_in;
  open_input(params_in, files.input[0]);
  open_input(descriptor_in, files.input[1]);

  params::DesignParams p = params::GETPARAM(params_in);
  params::RunSetup setup = params::make_run_setup(p);

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
  const std::array<std::string, 8> names = output_names(files, p.season, "PSnamel.nml", more);
  Outputs out;
  for (int j = 1; j <= 8; ++j) {
    const std::string& name = names[static_cast<std::size_t>(j - 1)];
    if (!out(j).open(name))
      console::stop_with("ERROR opening file" + textio::padded_file_name(name));
  }

  rainfall::DescriptorKeys keys =
      xml ? rainfall::apply_feh_export(*xml, p.point, p.arff, catchment)
          : rainfall::parse_descriptor_values(lines, p.point, p.arff, files.input[1], catchment);
  rainfall::use_depth_model(files.ddf_model, xml ? &*xml : nullptr, p, setup, files.input[1],
                            catchment);
  rainfall::check_descriptor_keys(keys, p, setup, files.input[1], files.ddf_model);
  rainfall::check_descriptor_values(keys, catchment, p, setup, files.input[1], files.ddf_model);

  if (p.diagf == 1) fixed_column::write_diagnostic_headings(out(7));

  // Design rainfall.
  rainfall::RainfallOutcome rain;
  if (p.season >= 1 && p.season <= 3) {
    rain = rainfall::DESIGN_RAINFALL(p, setup, catchment, out(p.season), out(4));
    out.close(p.season);
    out.close(1);
  }
  if (p.storage_run() && rain.beyond_16_days) stop(1);

  greenfield::Rates rates;
  if (p.grnff == 1) {
    const std::size_t n = static_cast<std::size_t>(p.nsubc);
    rates = greenfield::GREENFIELD(catchment.SAAR4170, p.hydromarea,
                                   std::span<const double>(p.area.data(), n),
                                   std::span<const int>(p.soilFSR.data(), n), p.wrapf);
  }
  const fixed_column::ReportContext ctx{p, setup, catchment, files.location, rates};
  const design::ReportHeadData head{
      p, setup.return_periods, setup.durations, setup.total_area, catchment, files.location, rates};
  if (data) {
    data->results.head = head;
    if (!p.greenfield_only()) data->rain = rain.table.v;
  }

  if (p.greenfield_only()) {
    fixed_column::write_greenfield_report(ctx, out(6));
    out.close(6);
  }
  if (!p.storage_run()) {
    out.close_all();
    return;
  }

  // The storage design.
  geometry::CoeffTable table;
  if (p.ponds == 1 && p.storage_kind == params::StorageKind::pond)
    table = geometry::build_coefficient_table(p.tpod, setup.depth_steps);
  double ratio = 1.0;
  if (p.rnf != 1) {
    console::line("Calculating the pond dimensions");
    ratio = geometry::check_initial_top(p.topl, p.topw, p.maxdepth, p.batter);
  }

  fixed_column::write_storage_head(ctx, out(6), out(5));

  fixed_column::DiagnosticFile diagnostic(out(7));
  design::SearchInput in;
  in.p = &p;
  in.setup = &setup;
  in.rain = &rain.table.v;
  in.table = &table;
  in.ratio = ratio;
  design::SearchOutput sink;
  sink.log = &out(4);
  sink.full = &out(5);
  sink.report = &out(6);
  sink.diag = &diagnostic;
  sink.progress_name = out(8).name();
  out.close(8);       // rewritten at every storm
  setup.tables = {};  // the search keeps its own tables
  design::DesignResults results = design::design_search(in, sink, options);
  results.head = head;
  fixed_column::write_closing_tables(results, out(6));
  out.close_all();
  if (data) {
    data->results = std::move(results);
    data->table = std::move(table);
    data->ratio = ratio;
  }
}

}  // namespace

int run_program(const design::SearchOptions& options, RunData* data,
                std::span<const CommandLineOutput> more) {
  // The console is written in full blocks when it is not a terminal (the
  // PDM model writes a line at every step); it is flushed before each pause.
  // A helper thread then flushes it at least once a second, so that a user
  // following it sees a long run go on.
  std::optional<console::FlushTicker> ticker;
  if (!isatty(fileno(stdout))) {
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    ticker.emplace();
  }
  int status = 0;
  try {
    run_case(options, data, more);
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
  return status;
}

}  // namespace sitedrain::run
