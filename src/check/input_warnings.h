// Advice on a case's inputs: values that are legal and run, but that a
// person most likely meant otherwise (implied decimals, a value typed a
// column off, a record missing above, a factor that reduces the rain).
// `sitedrain check` prints them; a run prints them on standard error after
// its console.  Warnings never stop a run.
#pragma once

#include <string>
#include <vector>

#include "params/design_params.h"
#include "params/run_setup.h"
#include "rainfall/catchment.h"
#include "results/design_results.h"
#include "textio/text_file.h"

namespace sitedrain::check {

// What a warning is about, and so who shows it.
enum class WarningKind {
  misreading,  // the value was most likely read otherwise than meant: check and every run
  design,      // a legal design choice worth a second look (durations, areas): check only
};

struct InputWarning {
  std::string file;   // the file the value was read from
  int line = 0;       // 1-based line of the value; 0 when not known
  std::string field;  // the parameter file's key (cchgfac, rhmpt, ...)
  std::string text;   // what was read and what was probably meant
  WarningKind kind = WarningKind::misreading;
};

// In: a legacy parameter file.  Out: warnings about how its text was read
// (implied decimals far from the digits, characters beyond a field's last
// column, a record whose label is not the key expected there), in line
// order.  Reads the file only; an unreadable file gives no warning (the
// run's own reader reports it).
std::vector<InputWarning> parameter_file_warnings(const std::string& path);
// The same for a parameter file already opened (its name names the file).
std::vector<InputWarning> parameter_file_warnings(textio::LineReader& in);

// In: the values of a case as the run will use them (either input format)
// and its catchment record when read.  Out: warnings about values that are
// legal but suspicious.  file names the input the values came from.
std::vector<InputWarning> design_value_warnings(const params::DesignParams& p,
                                                const params::RunSetup& setup,
                                                const rainfall::Catchment* catchment,
                                                const std::string& file);

// In: a legacy parameter file and, when the whole case was read, its values
// as the run uses them (p null: none).  Out: the warnings of both functions
// above in line order; a value warning takes the line of its field's record
// and is left out where the text of the same field has a warning already.
std::vector<InputWarning> legacy_case_warnings(const std::string& path,
                                               const params::DesignParams* p,
                                               const params::RunSetup* setup,
                                               const rainfall::Catchment* catchment);

// In: the parameter file a run read ("" for none) and, after a normal end,
// the head of its results (null after a stop).  Out: the warnings a run
// shows after its console: the misreadings (after a stop, of the values as
// the file gives them when it was read to the end).
std::vector<InputWarning> run_warnings(const std::string& parameter_file,
                                       const results::ReportHeadData* head);

// In: a warning.  Out: its one-line text, "WARNING params.txt, line 19,
// cchgfac: ...", without a line number when it is not known.
std::string warning_line(const InputWarning& w);

}  // namespace sitedrain::check
