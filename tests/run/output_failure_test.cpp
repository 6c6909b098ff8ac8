// An output file that cannot be created or written stops the run with a
// message naming it and exit status 1, never a run that claims success.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "run/driver.h"
#include "support/base_case.h"
#include "support/command.h"
#include "support/run_case.h"
#include "textio/text_file.h"

namespace sitedrain::testing {
namespace {

namespace fs = std::filesystem;

// Runs the base case with extra control-file assignments and expects the
// exit status; returns the run and whether the folder's files are as before.
struct NamedRun {
  RunResult run;
  bool unchanged;
};
NamedRun run_with_names(const std::string& assignments, int status = 1) {
  const TempDir dir("output_names");
  write_case(dir, base_parameter_lines());
  std::string control = read_file(dir / "PSnamel.nml");
  write_file(dir / "PSnamel.nml", control.insert(control.rfind('/'), assignments + "\n"));
  const auto before = snapshot(dir);
  NamedRun r{run_program(dir), false};
  r.unchanged = snapshot(dir) == before;
  EXPECT_EQ(r.run.status, status) << assignments;
  return r;
}

std::string padded(const std::string& s) {
  return s + std::string(150 - s.size(), ' ');
}
std::string last_line(const std::string& s) {
  return s.substr(s.rfind('\n', s.size() - 2) + 1);
}

TEST(OutputFailure, StopsWithTheFileName) {
  const std::pair<std::string, std::string> cases[] = {
      {" OPATH(5) = 'missing/'", "ERROR opening file" + padded("missing/out5.txt")},
      {" OPATH(1) = '/dev/', OFILENAME(1) = 'full'", "ERROR writing file" + padded("/dev/full")},
      {" OPATH(6) = '/dev/', OFILENAME(6) = 'full'", "ERROR writing file" + padded("/dev/full")},
      {" OPATH(8) = '/dev/', OFILENAME(8) = 'full'", "ERROR opening timer file"}};
  for (const auto& [assignments, message] : cases)
    EXPECT_EQ(last_line(run_with_names(assignments).run.console), message + "\n");
}

// Names that would lose data stop the run before any output file exists;
// devices may take several outputs.
TEST(OutputNames, RefusedBeforeAnyOutputIsCreated) {
  const std::string r35(35, 'r'), r147(147, 'r');
  const std::pair<std::string, std::string> cases[] = {
      {" OPATH(6) = 'sub/', OFILENAME(6) = '" + r147 + "'",
       "OPATH(6) and OFILENAME(6) give a name of 151 characters, more than 150: sub/" + r147},
      {" OFILENAME(5) = '" + r147 + "r.txt'",  // an element beyond 150, cut before the join
       "OPATH(5) and OFILENAME(5) give a name of 152 characters, more than 150: " + r147 + "r.txt"},
      {" OFILENAME(1) = '" + r35 + "rrrrr.txt', OFILENAME(2) = '" + r35 + ".txt'",  // rebuilt
       "OFILENAME(1) (" + r35 + ".txt) and OFILENAME(2) (" + r35 + ".txt) name the same file"},
      {" OFILENAME(5) = './out6.txt'",
       "OFILENAME(5) (./out6.txt) and OFILENAME(6) (out6.txt) name the same file"},
      {" OPATH(4) = './', OFILENAME(4) = 'params.txt'",
       "IFILENAME(1) (params.txt) and OFILENAME(4) (./params.txt) name the same file"},
      {" OFILENAME(3) = 'ra" + std::string(1, '\0') + "in.txt'",
       "OFILENAME(3) holds a control character: \"ra\\x00in.txt\""}};
  for (const auto& [assignments, message] : cases) {
    const NamedRun r = run_with_names(assignments);
    EXPECT_EQ(r.run.console, "PSnamel.nml\nERROR in namelist file PSnamel.nml: " + message + "\n");
    EXPECT_TRUE(r.unchanged) << message;
  }
  run_with_names(
      " OPATH(2) = '/dev/', OFILENAME(2) = 'null', OFILENAME(3) = '/dev/null',"
      " OFILENAME(7) = '/dev/null'",
      0);
}

// The write numbered `failing` (from 1) of the output file `target` fails.
std::string target;
int failing = 0;
std::size_t fail_one_write(std::FILE* f, const std::string& name, std::string_view bytes) {
  if (name == target && --failing == 0) return 0;
  return std::fwrite(bytes.data(), 1, bytes.size(), f);
}

// One lost write, with every later write and flush going through, still
// stops the run (status 1) when its file is closed.
TEST(OutputFailure, OneLostWriteStopsTheRun) {
  const std::tuple<std::string, int, std::string> cases[] = {
      {"out1.txt", 3, "ERROR writing file" + padded("out1.txt")},  // closed after the table
      {"out6.txt", 12, "ERROR writing file" + padded("out6.txt")},
      {"out8.txt", 1, "ERROR opening timer file"}};
  for (const auto& [file, write, message] : cases) {
    const TempDir dir("lost_write");
    write_case(dir, base_parameter_lines());
    const int status = run_in_child(dir, [&] {
      target = file;
      failing = write;
      textio::OutFile::set_write_function(fail_one_write);
      return run::run_program().status;
    });
    EXPECT_EQ(status, 1) << file;
    const std::string console = read_file(dir / "console.out");
    EXPECT_EQ(last_line(console), message + "\n");
  }
}

}  // namespace
}  // namespace sitedrain::testing
