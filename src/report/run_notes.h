// What a report says about the run beside its results: the warnings and
// adjustments the run showed (in its own words), the input files with
// their SHA-256, and the date of the run.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace sitedrain::report {

struct InputFile {
  std::string name;    // as the control file names it
  std::string sha256;  // lower-case hex; empty when the file could not be read
};

struct RunNotes {
  std::vector<std::string> warnings;  // in the order shown, repeats kept
  std::vector<InputFile> inputs;
  std::string date;  // "2026-12-07 11:26 UTC"
};

// In: the value of SOURCE_DATE_EPOCH (null when unset) and the clock's
// time.  Out: the run's date in UTC: the variable's when it holds whole
// seconds since 1970, else the clock's.
std::string run_date_text(const char* source_date_epoch, std::time_t now);

// In: a file's name.  Out: the file and its SHA-256 (empty when unreadable
// or not a regular file).
InputFile input_file(const std::string& name);

}  // namespace sitedrain::report
