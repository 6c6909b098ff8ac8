// An output file that cannot be created or written stops the run with a
// message naming it and exit status 1, never a run that claims success.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "run/driver.h"
#include "support/base_case.h"
#include "support/run_case.h"
#include "textio/text_file.h"

namespace sitedrain::testing {
namespace {

namespace fs = std::filesystem;

struct OutputCase {
  const char* name;
  int file;          // output file number
  const char* path;  // its folder
  const char* base;  // its name
  std::string last_line;
};

class OutputFailure : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputFailure, StopsWithTheFileName) {
  const OutputCase& c = GetParam();
  const fs::path dir = make_temp_dir("output_failure");
  write_case(dir, base_parameter_lines());
  std::string control = read_file(dir / "PSnamel.nml");
  const std::string n = std::to_string(c.file);
  control.insert(control.rfind('/'), " OPATH(" + n + ") = '" + c.path + "', OFILENAME(" + n +
                                         ") = '" + c.base + "'\n");
  write_file(dir / "PSnamel.nml", control);
  const RunResult r = run_program(dir);
  EXPECT_EQ(r.status, 1) << r.console;
  const std::string tail = r.console.substr(r.console.rfind('\n', r.console.size() - 2) + 1);
  EXPECT_EQ(tail, c.last_line + "\n") << r.console;
  fs::remove_all(dir);
}

std::string padded(const std::string& s) { return s + std::string(150 - s.size(), ' '); }

INSTANTIATE_TEST_SUITE_P(
    Files, OutputFailure,
    ::testing::Values(
        OutputCase{"folder_missing", 5, "missing/", "out5.txt",
                   "ERROR opening file" + padded("missing/out5.txt")},
        OutputCase{"rainfall_table_full", 1, "/dev/", "full",
                   "ERROR writing file" + padded("/dev/full")},
        OutputCase{"report_full", 6, "/dev/", "full", "ERROR writing file" + padded("/dev/full")},
        OutputCase{"progress_full", 8, "/dev/", "full", "ERROR opening timer file"}),
    [](const auto& info) { return std::string(info.param.name); });

// The base case in a fresh folder, with extra assignments at the end of its
// control file.
fs::path case_with(const std::string& assignments) {
  const fs::path dir = make_temp_dir("output_names");
  write_case(dir, base_parameter_lines());
  std::string control = read_file(dir / "PSnamel.nml");
  control.insert(control.rfind('/'), assignments + "\n");
  write_file(dir / "PSnamel.nml", control);
  return dir;
}

std::map<std::string, std::string> files_of(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(dir))
    files[e.path().filename()] = read_file(e.path());
  return files;
}

struct NamesCase {
  const char* name;
  std::string assignments;
  std::string message;  // after "ERROR in namelist file PSnamel.nml: "
};

class RefusedNames : public ::testing::TestWithParam<NamesCase> {};

// Names that would lose data stop the run before any output file exists.
TEST_P(RefusedNames, StopBeforeAnyOutputIsCreated) {
  const fs::path dir = case_with(GetParam().assignments);
  const auto before = files_of(dir);
  const RunResult r = run_program(dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.console,
            "PSnamel.nml\nERROR in namelist file PSnamel.nml: " + GetParam().message + "\n");
  EXPECT_TRUE(files_of(dir) == before) << "a file was created or changed";
  fs::remove_all(dir);
}

const std::string r35(35, 'r'), r147(147, 'r');

INSTANTIATE_TEST_SUITE_P(
    Control, RefusedNames,
    ::testing::Values(
        NamesCase{
            "join_over_150", " OPATH(6) = 'sub/', OFILENAME(6) = '" + r147 + "'",
            "OPATH(6) and OFILENAME(6) give a name of 151 characters, more than 150: sub/" + r147},
        NamesCase{"element_over_150", " OFILENAME(5) = '" + r147 + "r.txt'",
                  "OPATH(5) and OFILENAME(5) give a name of 152 characters, more than 150: " +
                      r147 + "r.txt"},
        NamesCase{
            "rebuilt_name_of_output_1",
            " OFILENAME(1) = '" + r35 + "rrrrr.txt', OFILENAME(2) = '" + r35 + ".txt'",
            "OFILENAME(1) (" + r35 + ".txt) and OFILENAME(2) (" + r35 + ".txt) name the same file"},
        NamesCase{"same_file_spelt_twice", " OFILENAME(5) = './out6.txt'",
                  "OFILENAME(5) (./out6.txt) and OFILENAME(6) (out6.txt) name the same file"},
        NamesCase{"output_on_an_input", " OPATH(4) = './', OFILENAME(4) = 'params.txt'",
                  "IFILENAME(1) (params.txt) and OFILENAME(4) (./params.txt) name the same file"},
        NamesCase{"nul_in_a_name", " OFILENAME(3) = 'ra" + std::string(1, '\0') + "in.txt'",
                  "OFILENAME(3) holds a control character: \"ra\\x00in.txt\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OutputNames, DevicesMayBeSharedAndTheRunEndsNormally) {
  const fs::path dir = case_with(
      " OPATH(2) = '/dev/', OFILENAME(2) = 'null', OFILENAME(3) = "
      "'/dev/null', OFILENAME(7) = '/dev/null'");
  const RunResult r = run_program(dir);
  EXPECT_EQ(r.status, 0) << r.console;
  EXPECT_FALSE(read_file(dir / "out6.txt").empty());
  fs::remove_all(dir);
}

// The write of output file `target` numbered `failing` (from 1) fails; every
// other write goes through.
std::string target;
int failing = 0;
std::size_t fail_one_write(std::FILE* f, const std::string& name, std::string_view bytes) {
  if (name == target && --failing == 0) return 0;
  return std::fwrite(bytes.data(), 1, bytes.size(), f);
}

struct LostWrite {
  const char* name;
  const char* file;
  int write;
  std::string last_line;
};

class OneLostWrite : public ::testing::TestWithParam<LostWrite> {};

// One write that fails, with every later write and flush succeeding, still
// stops the run (status 1) when its file is closed.
TEST_P(OneLostWrite, StopsTheRun) {
  const LostWrite& c = GetParam();
  const fs::path dir = case_with("");
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(99);
    if (!std::freopen("console.out", "w", stdout) || !std::freopen("/dev/null", "r", stdin))
      _exit(98);
    target = c.file;
    failing = c.write;
    textio::OutFile::set_write_function(fail_one_write);
    const int status = run::MAIN_PROG();
    std::fflush(stdout);
    _exit(status);
  }
  int raw = 0;
  waitpid(pid, &raw, 0);
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
  const std::string console = read_file(dir / "console.out");
  EXPECT_EQ(console.substr(console.rfind('\n', console.size() - 2) + 1), c.last_line + "\n");
  fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Files, OneLostWrite,
                         ::testing::Values(LostWrite{"rainfall_table", "out1.txt", 3,
                                                     "ERROR writing file" + padded("out1.txt")},
                                           LostWrite{"report", "out6.txt", 12,
                                                     "ERROR writing file" + padded("out6.txt")},
                                           LostWrite{"progress", "out8.txt", 1,
                                                     "ERROR opening timer file"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sitedrain::testing
