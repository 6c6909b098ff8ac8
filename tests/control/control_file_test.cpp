// The control file: namelist syntax, name joins, the rebuild of output
// names and the site location.
#include "control/control_file.h"

#include <gtest/gtest.h>

#include "support/capture.h"
#include "support/run_case.h"
#include "textio/stop.h"

namespace sitedrain::control {
namespace {

TEST(ControlFile, AcceptedSyntaxVariants) {
  const char* text =
      "Any text before the group is skipped, even &OTHER groups\n"
      "&ifiles\n"
      "  ipath = 'in/', \"in2/\" ! a comment\n"
      "  Opath = 8*'out/'\n"
      "  OFILENAME(6) = 'report.txt', ofilename(1) = 'a.txt' 'b.txt', 'c.txt'\n"
      "  ofilename(4) = \"it''s \"\"log\"\".txt\", 'r5.txt', ofilename(7) = 'd.txt', 'p.txt'\n"
      "  IFILENAME = 'par''am.txt',\n"
      "     'cd_Site_2004.csv'\n"
      "  NumLine = 36 /\n"
      "trailing text\n";
  ControlItems items = parse_control(text, "PSnamel.nml");
  RunFiles f = resolve_files(items, "PSnamel.nml");
  EXPECT_EQ(f.input[0], "in/par'am.txt");
  EXPECT_EQ(f.input[1], "in2/cd_Site_2004.csv");
  EXPECT_EQ(f.output[0], "out/a.txt");
  EXPECT_EQ(f.output[2], "out/c.txt");
  EXPECT_EQ(f.output[3], "out/it''s \"log\".txt");  // only the delimiter doubles
  EXPECT_EQ(f.output[4], "out/r5.txt");
  EXPECT_EQ(f.output[5], "out/report.txt");
  EXPECT_EQ(f.output[7], "out/p.txt");
  EXPECT_EQ(f.numline, 36);
  EXPECT_EQ(f.location, "Site");
}

TEST(ControlFile, NullValuesLeaveElementsAndBlankPathsMeanTheWorkingFolder) {
  const char* text =
      "&IFILES IFILENAME = 'p.txt', 'd.csv', OFILENAME = 8*'x.txt', OFILENAME(2) = ,'y.txt',"
      " OPATH(6) = 'res', NUMLINE = 5 /";
  RunFiles f = resolve_files(parse_control(text, "PSnamel.nml"), "PSnamel.nml");
  EXPECT_EQ(f.input[0], "p.txt");
  EXPECT_EQ(f.output[1], "x.txt");
  EXPECT_EQ(f.output[2], "y.txt");
  EXPECT_EQ(f.output[5], "resx.txt");  // no separator is inserted
}

TEST(ControlFile, MalformedOrIncompleteGroupsStop) {
  const char* bad[] = {
      "&IFILES NUMLINE = 3",              // no slash
      "&IFILES COLOUR = 'red' /",         // unknown item
      "&IFILES NUMLINE = 'ten' /",        // text for a number
      "&IFILES IPATH = in/ /",            // text without quotes
      "&IFILES IPATH(3) = 'x' /",         // index beyond the elements
      "&IFILES IPATH = 'a', 'b', 'c' /",  // too many values
      "&IFILES IPATH = 'a /",             // open quote
      "no group here",
      "&IFILES IFILENAME = 'p.txt', 'd.csv', OFILENAME = 7*'x.txt', NUMLINE = 5 /",  // unassigned
      "&IFILES IFILENAME = 'p.txt', 'd.csv', OFILENAME = 8*'x.txt' /",               // no NUMLINE
  };
  for (const char* text : bad)
    EXPECT_THROW(resolve_files(parse_control(text, "PSnamel.nml"), "PSnamel.nml"), RunStop) << text;
}

TEST(ControlFile, DepthModel) {
  using rainfall::DdfModel;
  const std::string group = "&IFILES IFILENAME = 'p.txt', 'd.xml', OFILENAME = 8*'x.txt',\n";
  auto model = [&](const std::string& item) {
    const std::string text = group + "NUMLINE = 1, " + item + " /";
    return resolve_files(parse_control(text, "PSnamel.nml"), "PSnamel.nml").ddf_model;
  };
  EXPECT_EQ(model(""), DdfModel::FEH99);
  EXPECT_EQ(model("ddfmodel = ' feh13 '"), DdfModel::FEH13);
  EXPECT_EQ(model("DDFMODEL(1) = \"FEH22\""), DdfModel::FEH22);
  EXPECT_EQ(testing::stop_output([&] { model("DDFMODEL = 'FEH2022'"); }),
            "ERROR in namelist file PSnamel.nml, line 2: DDFMODEL is 'FEH2022'; it must be "
            "'FEH99', 'FEH13' or 'FEH22'\n");
  EXPECT_THROW(model("DDFMODEL = 13"), RunStop);
}

TEST(ControlFile, NameJoins) {
  EXPECT_EQ(join_name("", "param.txt"), "param.txt");
  EXPECT_EQ(join_name("res   ", "out.txt  "), "resout.txt");
  EXPECT_EQ(join_name(std::string(100, 'p'), std::string(100, 'n')).size(), 150u);
  // the rebuild cuts each part at 35 characters
  std::string longname = std::string(40, 'a') + ".txt";
  EXPECT_EQ(rebuild_name("o/", longname), "o/" + std::string(35, 'a') + ".txt");
  EXPECT_EQ(rebuild_name("o/", "rain.txt"), join_name("o/", "rain.txt"));
  EXPECT_EQ(rebuild_name("o/", "rain"), "o/rain");
  EXPECT_EQ(rebuild_name("", "r." + std::string(40, 'x')), "r." + std::string(34, 'x'));
  // The name is cut at its first dot, not its last.
  EXPECT_EQ(rebuild_name("", "r." + std::string(40, 'x') + ".txt"), "r." + std::string(34, 'x'));
}

TEST(ControlFile, SiteLocation) {
  EXPECT_EQ(site_location("cd_Site_2004.csv"), "Site");
  EXPECT_EQ(site_location("cd_Site.csv"), "");
  EXPECT_EQ(site_location("cdSite.csv"), "");
  EXPECT_EQ(site_location("cd_" + std::string(34, 's') + "_x.csv"), std::string(34, 's'));
  EXPECT_EQ(site_location("cd_" + std::string(35, 's') + "_x.csv"), "");
  EXPECT_EQ(site_location("cd_MiltonKeynesAndSurrounds_2024.csv"), "MiltonKeynesAndSurrounds");
}

TEST(ControlFile, ProgramMessagesForMissingFiles) {
  using namespace sitedrain::testing;
  const struct {
    const char* control;  // nullptr: no control file
    std::string console;
  } cases[] = {
      {nullptr,  // and on standard error where the program looked ("@")
       "ERROR opening namelist filePSnamel.nml\nsitedrain: cannot open PSnamel.nml in the folder "
       "'@' (No such file or directory); `sitedrain new DIR` writes a case, see sitedrain "
       "--help\n"},
      {"&IFILES IFILENAME = 'missing.txt', 'd.csv', OFILENAME = 8*'x.txt', NUMLINE = 5 /",
       "ERROR opening filemissing.txt" + std::string(139, ' ') + "\n"},
      {"&IFILES IFILENAME = 'p.txt', 'd.csv', OFILENAME = 8*'x.txt',\n NUMLINE = 5, COLOUR = 3 /",
       "ERROR in namelist file PSnamel.nml, line 2: unknown item COLOUR\n"},
      {"&IFILES NUMLINE = 5\x1b[2J /",  // a field echoed shows no raw control character
       "ERROR in namelist file PSnamel.nml, line 1: bad value \"5\\x1B[2J\" (texts must be in "
       "quotes)\n"},
      {"&IFILES IFILENAME = '/dev/zero', '/dev/zero', OFILENAME = 8*'x.txt', NUMLINE = 5 /",
       "ERROR reading file /dev/zero, line 1: the line is longer than 1048576 characters\n"},
      {"", "ERROR reading file PSnamel.nml: it is longer than 1048576 bytes\n"},  // /dev/zero
  };
  for (const auto& c : cases) {
    const TempDir dir("control");
    if (c.control && *c.control) write_file(dir / "PSnamel.nml", c.control);
    if (c.control && !*c.control) fs::create_symlink("/dev/zero", dir / "PSnamel.nml");
    RunResult r = run_program(dir);
    EXPECT_EQ(r.status, 1);
    std::string console = c.console;
    if (const auto at = console.find('@'); at != std::string::npos)
      console.replace(at, 1, dir.string());
    EXPECT_EQ(r.console, "PSnamel.nml\n" + console);
  }
}

}  // namespace
}  // namespace sitedrain::control
