#include "run/driver.h"

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "params/parameter_file.h"
#include "params/run_setup.h"
#include "run/control_file.h"
#include "textio/console.h"
#include "textio/format.h"
#include "textio/stop.h"
#include "textio/text_file.h"

namespace sitedrain::run {

namespace {

// Opens an input file; "ERROR opening file" and the name, then a stop.
void open_input(textio::LineReader& in, const std::string& name) {
  if (!in.open(name)) console::stop_with("ERROR opening file" + padded_name(name));
}

// The phases of one run, in order.
void run_case() {
  console::line("PSnamel.nml");
  RunFiles files = read_control_file("PSnamel.nml");

  textio::LineReader params_in;
  textio::LineReader descriptor_in;
  open_input(params_in, files.input[0]);
  open_input(descriptor_in, files.input[1]);

  params::DesignParams p = params::GETPARAM(params_in);
  params::RunSetup setup = params::RUN_SETUP(p);
  (void)setup;
}

}  // namespace

int MAIN_PROG() {
  // The console is written in full blocks when it is not a terminal (the
  // PDM model writes a line at every step); it is flushed before each pause.
  if (!isatty(fileno(stdout))) std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  int status = 0;
  try {
    run_case();
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
