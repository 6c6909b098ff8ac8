// The case folders of a workspace as the server sees them: which format a
// case is in, what the cases list shows of it, the files a run writes and
// the copying of a case.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "run/case_input.h"

namespace sitedrain::serve {

// The files a run started by the server adds to the case folder.
inline constexpr const char* kReportFile = "report.html";   // --report
inline constexpr const char* kCsvFolder = "csv";            // --csv
inline constexpr const char* kConsoleFile = "console.txt";  // the run's console
inline constexpr const char* kSiteFile = "site.toml";
inline constexpr const char* kControlFile = "PSnamel.nml";
inline constexpr const char* kLegacyFolder = "legacy";

// Which case files a folder holds: the run's own test.
using run::case_format;
using run::CaseFormat;

// The whole text of a file; empty when it cannot be read.
std::string read_text(const std::filesystem::path& p);

// One line of the cases list.
struct CaseSummary {
  std::string name;
  CaseFormat format = CaseFormat::none;
  std::string site_name;  // empty when unknown
  std::string storage;    // "pond", "sump", "soakaway", "none"; empty when unknown
  std::string last_run;   // "2026-12-07 11:40" (UTC); empty: never run
};

// The case folders of the workspace (subfolders whose names are valid case
// names and that hold a case in either format), sorted by name.
std::vector<CaseSummary> list_cases(const std::filesystem::path& workspace);

// The outputs of the case that exist now, as names relative to the case
// folder ("report.txt", "report.html", "csv/storms.csv"), in a fixed order:
// the run's eight output files, the HTML report, the CSV tables, the console.
std::vector<std::string> existing_outputs(const std::filesystem::path& case_dir);

// The case's progress file (absolute), when its inputs name one.
std::optional<std::filesystem::path> progress_file_of(const std::filesystem::path& case_dir);

// Copies a case's inputs to a new folder (which must not exist): every file
// but the run's outputs.  Throws std::runtime_error with the reason.
void duplicate_case(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace sitedrain::serve
