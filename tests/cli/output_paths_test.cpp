// Where the report and the CSV tables may go: never onto the case's files,
// its eight outputs or each other (by the names the files are opened under,
// links followed), never replacing a device or a FIFO; a failed write leaves
// nothing behind.  Also a console that cannot be written, and each bad
// command line: its message and the usage, status 2, nothing read or written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "cli/command_line.h"
#include "support/command.h"
#include "textio/text_file.h"

namespace sitedrain::testing {
namespace {

// A start folder holding the sump case in C, an empty folder O and a file.
struct StartFolder : TempDir {
  StartFolder() : TempDir("output_paths") {
    fs::create_directories(*this / "C");
    fs::create_directories(*this / "O");
    copy_files(case_dir("sump_design"), *this / "C");
    write_file(*this / "a_file", "mine\n");
  }
};

void edit_control(const fs::path& start, const std::string& from, const std::string& to) {
  const fs::path control = start / "C" / "PSnamel.nml";
  write_file(control, replaced(read_file(control), from, to));
}

struct RefusedRun {
  const char* name;
  std::function<void(const fs::path& start)> prepare;
  const char* args;
  int status;
  std::string out, err;  // "@" stands for the start folder; err ends with the usage when status 2
};

class Refused : public ::testing::TestWithParam<RefusedRun> {};

// Each run is refused with its message and status, and no byte of the
// start folder, inputs included, changes.
TEST_P(Refused, NothingChanged) {
  const RefusedRun& c = GetParam();
  const StartFolder start;
  if (c.prepare) c.prepare(start);
  const auto before = snapshot(start);
  const CommandResult r = run_command_in(start, c.args);
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.out, replaced(c.out, "@", start.string()));
  EXPECT_EQ(r.err, replaced(c.err, "@", start.string()) + (c.status == 2 ? cli::usage_text() : ""));
  EXPECT_EQ(snapshot(start), before);
}

std::string name_of(const ::testing::TestParamInfo<RefusedRun>& info) {
  return info.param.name;
}

const std::string kControl = "PSnamel.nml\n";
const std::string kNamelist = kControl + "ERROR in namelist file PSnamel.nml: ";

INSTANTIATE_TEST_SUITE_P(
    OutputPaths, Refused,
    ::testing::Values(
        RefusedRun{"report_on_the_parameter_file", nullptr, "--report C/truro_sump.txt C", 2,
                   kControl,
                   "sitedrain: IFILENAME(1) (truro_sump.txt) and --report (@/C/truro_sump.txt) "
                   "name the same file\n"},
        RefusedRun{"report_on_the_control_file", nullptr, "--report C/PSnamel.nml C", 2, kControl,
                   "sitedrain: the namelist file (PSnamel.nml) and --report (@/C/PSnamel.nml) "
                   "name the same file\n"},
        RefusedRun{"table_on_the_descriptor",
                   [](const fs::path& s) {
                     fs::rename(s / "C" / "cd_Truro_site.csv", s / "C" / "storms.csv");
                     edit_control(s, "cd_Truro_site.csv", "storms.csv");
                   },
                   "--csv C C", 2, kControl,
                   "sitedrain: IFILENAME(2) (storms.csv) and --csv (@/C/storms.csv) name the same "
                   "file\n"},
        RefusedRun{"report_on_output_6", nullptr, "--report C/report.txt C", 2, kControl,
                   "sitedrain: OFILENAME(6) (report.txt) and --report (@/C/report.txt) name the "
                   "same file\n"},
        RefusedRun{"report_through_a_link_to_output_5",
                   [](const fs::path& s) {
                     fs::create_symlink("../C/results_full.txt", s / "O" / "r.html");
                   },
                   "--report O/r.html C", 2, kControl,
                   "sitedrain: OFILENAME(5) (results_full.txt) and --report (@/O/r.html) name the "
                   "same file\n"},
        RefusedRun{"report_is_a_table", nullptr, "--report O/checks.csv --csv O C", 2, "",
                   "sitedrain: --report 'O/checks.csv' is the table checks.csv of --csv 'O'\n"},
        RefusedRun{"report_and_tables_one_path", nullptr, "--report O/x --csv O/x C", 2, "",
                   "sitedrain: --report 'O/x' and --csv 'O/x' name the same path\n"},
        RefusedRun{"tables_below_a_file", nullptr, "--csv a_file/t C", 2, "",
                   "sitedrain: --csv 'a_file/t' is below the file '@/a_file'\n"},
        RefusedRun{"tables_below_the_report", nullptr, "--report O/r --csv O/r/t C", 2, "",
                   "sitedrain: --csv 'O/r/t' is below the report 'O/r'\n"},
        RefusedRun{
            "output_on_the_control_file",
            [](const fs::path& s) { edit_control(s, "'progress.txt'", "'./PSnamel.nml'"); }, "C", 1,
            kNamelist + "the namelist file (PSnamel.nml) and OFILENAME(8) (./PSnamel.nml) name the "
                        "same file\n",
            ""},
        RefusedRun{"output_through_a_link_not_yet_resolving",
                   [](const fs::path& s) {
                     edit_control(s, "'report.txt'", "'link6.txt'");
                     fs::create_symlink("results_full.txt", s / "C" / "link6.txt");
                   },
                   "C", 1,
                   kNamelist +
                       "OFILENAME(5) (results_full.txt) and OFILENAME(6) (link6.txt) name the same "
                       "file\n",
                   ""}),
    name_of);

// A bad command line: its message and the usage, before anything is read.
RefusedRun usage(const char* name, const char* args, const std::string& message) {
  return {name, nullptr, args, 2, "", "sitedrain: " + message + "\n"};
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Refused,
    ::testing::Values(
        usage("unknown_option", "--reprot x.html", "unknown option '--reprot'"),
        usage("short_option", "-t 2", "unknown option '-t'"),
        usage("missing_value", "--report", "--report needs a value"),
        usage("option_as_value", "--csv --threads 2", "--csv needs a value"),
        usage("empty_value", "--csv=", "--csv needs a value"),
        usage("threads_zero", "--threads 0",
              "--threads needs a whole number of at least 1, not '0'"),
        usage("threads_text", "--threads=two",
              "--threads needs a whole number of at least 1, not 'two'"),
        usage("threads_overflow", "--threads 99999999999",
              "--threads needs a whole number of at least 1, not '99999999999'"),
        usage("no_folder", "nowhere", "no folder 'nowhere'"),
        usage("no_case", "O",
              "no case in 'O' (no site.toml or PSnamel.nml); `sitedrain new O` writes a site file "
              "there"),
        usage("two_folders", "C O", "one CASE_DIR only, not 'C' and 'O'"),
        usage("empty_folder_name", "''", "CASE_DIR is empty"),
        usage("escape_in_option", "\"$(printf '%s\\033[2Jport' --re)\"",
              "unknown option '--re\\x1B[2Jport'"),
        usage("report_is_folder", "--report O", "--report needs a file name, not the folder 'O'"),
        usage("report_folder_missing", "--report missing/r.html",
              "no folder for the report 'missing/r.html'"),
        usage("csv_is_file", "--csv a_file", "--csv needs a folder, not the file 'a_file'")),
    name_of);

bool fifo_at(const fs::path& p) {
  return fs::is_fifo(fs::symlink_status(p));
}

// A FIFO and a device get the report's bytes and stay what they are; a
// device that cannot be written stops the run without replacing it.
TEST(OutputPaths, SpecialFilesWrittenNotReplaced) {
  const StartFolder start;
  ASSERT_EQ(run_command_in(start, "--report O/plain.html C").status, 0);
  const std::string report = read_file(start / "O" / "plain.html");
  ASSERT_EQ(::mkfifo((start / "O" / "pipe").c_str(), 0600), 0);
  // The reader ends when the writer closes the FIFO.
  ASSERT_EQ(std::system(("cd '" + start.string() +
                         "/O' && (cat pipe >got.html; touch got.done) >/dev/null 2>&1 &")
                            .c_str()),
            0);
  EXPECT_EQ(run_command_in(start, "--report O/pipe C").status, 0);
  for (int n = 0; n < 600 && !fs::exists(start / "O" / "got.done"); ++n) ::usleep(10000);
  EXPECT_TRUE(fifo_at(start / "O" / "pipe"));
  EXPECT_EQ(read_file(start / "O" / "got.html"), report);

  EXPECT_EQ(run_command_in(start, "--report /dev/null C").status, 0);
  EXPECT_TRUE(fs::is_character_file(fs::symlink_status("/dev/null")));
  const CommandResult full = run_command_in(start, "--report /dev/full --csv O/new/tables C");
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.out.substr(full.out.rfind('\n', full.out.size() - 2) + 1),
            "ERROR writing file" + textio::padded_file_name("/dev/full") + "\n");
  EXPECT_TRUE(fs::is_character_file(fs::symlink_status("/dev/full")));
  EXPECT_FALSE(fs::exists(start / "O" / "new"));  // the folders the run made are gone
}

// A table that cannot be written after others were: none of them, nor the
// report, nor a temporary file is left.
TEST(OutputPaths, FailedWriteRollsBackWhatWasWritten) {
  const StartFolder start;
  fs::create_directories(start / "O" / "t" / "critical.csv");
  const CommandResult r = run_command_in(start, "--report O/r.html --csv O/t C");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1),
            "ERROR writing file" + textio::padded_file_name((start / "O/t/critical.csv").string()) +
                "\n");
  EXPECT_EQ(listing(start / "O"), "t\nt/critical.csv\n");
  EXPECT_EQ(read_file(start / "C" / "report.txt"),
            read_file(case_dir("sump_design") / "expected" / "report.txt"));
}

// Standard output that cannot be written ends with status 1 and a message
// on standard error, for the usage and for a run.
TEST(OutputPaths, UnwritableConsoleIsAFailure) {
  const StartFolder start;
  const fs::path err = start / "O" / "err.txt";
  for (const char* args : {"--help", "--version", "C"}) {
    const std::string cmd = "cd '" + start.string() + "' && '" SITEDRAIN_EXE "' " + args +
                            " </dev/null >/dev/full 2>'" + err.string() + "'";
    const int raw = std::system(cmd.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1) << args;
    EXPECT_EQ(read_file(err), "sitedrain: standard output could not be written\n") << args;
  }
}

}  // namespace
}  // namespace sitedrain::testing
