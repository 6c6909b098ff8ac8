// The FEH XML export reader, the depth grid interpolation and the checks
// that a run's depth model has what it needs.
#include "rainfall/feh_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/capture.h"
#include "support/run_case.h"

namespace sitedrain::rainfall {
namespace {

using testing::stop_output;
constexpr const char* kFile = "cd_Site.xml";

// A bundled export (invented values), as text.
std::string bundled(const std::string& case_name, const std::string& file) {
  return testing::read_file(testing::case_dir(case_name) / file);
}

// (Every layout of the exports is read by the bundled cases rainfall_feh22,
// pond_feh22 and point_feh13: catchment and point grids, attributes or none,
// CR LF, comments, "," and ", ".)
TEST(FehExport, KnownByItsFirstCharacter) {
  EXPECT_TRUE(is_xml_export("\xEF\xBB\xBF \r\n<a/>"));
  EXPECT_FALSE(is_xml_export("400000,500000,<"));
}

TEST(FehExport, RefusesMalformedExports) {
  const std::string base = bundled("rainfall_feh22", "cd_Ashby_2026.xml");
  const struct {
    std::string from, to;  // every "from" replaced
    std::string message;   // after "ERROR - catchment descriptor file cd_Site.xml, "
  } bad[] = {
      {"</FEHDescriptors>", "",
       "line 83: malformed XML (Start-end tags mismatch) at the end of "
       "the file: an element is not closed"},
      {"</Note></Notes>", "</Notes>",
       "line 11: malformed XML (Start-end tags mismatch) at the "
       "end tag </Notes>"},
      {"FEHDescriptors", "Descriptors", "line 2, element Descriptors: the root element must be"},
      {"CatchmentDescriptors", "Catchment", "line 3, element Catchment: the first element"},
      {"<saar>702", "<saar>7O2", "line 7, element CatchmentDescriptors/saar: \"7O2\" is not a"},
      {"y=\"317650\"", "y=\"1.5\"", "line 3, element CatchmentDescriptors: attribute y = \"1.5\""},
      {">1.3,", ">1,",
       "line 29, element CatchmentDescriptors/CatchmentAverageDDF2013Values/"
       "ReturnPeriods: return period 1 is not greater than 1 year"},
      {"1.3, 1.58, 2,", "1.3, 2, 1.58,", "return period 1.58 does not follow 2"},
      {"1.58, 2,", "1.58, x,", "item 3 of the list, \"x\", is not a number"},
      {"1.58, 2,", "1.58, ,", "item 3 of the list is empty"},
      {"ReturnPeriods", "Periods", "CatchmentAverageDDF2013Values: it has no ReturnPeriods"},
      {"\"0.25\"", "\"0.0834\"", "duration 0.0834 h does not follow the one before"},
      {"\"0.25\"", "\"-1\"", "duration \"-1\" is not a number of hours above 0"},
      {" duration=\"0.25\"", "", "either every Depths element has a duration attribute or none"},
      {">6.18, 6.98,", ">6.98,", "it has 21 depths for 22 return periods"},
      {">6.18,", ">0,", "the depth of 0 mm for duration 0.25 h and return period 1.3 is not above"},
      {">6.18, 6.98,", ">6.18, 6.18,",
       "the depth of 6.18 mm for duration 0.25 h and return "
       "period 1.58 is not greater than that of the return period"},
      {">6.18,", ">4,",
       "line 31, element CatchmentDescriptors/CatchmentAverageDDF2013Values/"
       "Depths: the depth of 4 mm for duration 0.25 h and return period 1.3 is "
       "not greater than that of the duration before"},
      {">6.18,", ">10000.5,",
       "the depth of 10000.5 mm for duration 0.25 h and return period 1.3 is above 10000 mm"},
      // echoed texts escaped and cut
      {"<saar>702", "<saar>0.8\x1B[2J4", "saar: \"0.8\\x1B[2J4\" is not a number"},
      {"<saar>702", "<saar>" + std::string(100, '7') + "\xFF",
       "saar: \"" + std::string(60, '7') + "...\" is not a number"},
      // nothing beside the root element, no NUL byte
      {"</FEHDescriptors>", "</FEHDescriptors>\n<!-- end -->\njunk",
       "line 84: more after the end of the root element FEHDescriptors (\"junk\")"},
      {"</FEHDescriptors>", "</FEHDescriptors><FEHDescriptors/>",
       "line 83: more after the end of the root element FEHDescriptors (element FEHDescriptors)"},
      {"</FEHDescriptors>", std::string("</FEHDescriptors>\n\0\0", 20),
       "line 84: a NUL byte; an FEH XML export is text"},
  };
  for (const auto& b : bad) {
    const std::string text = testing::replaced(base, b.from, b.to);
    const std::string msg = stop_output([&] { parse_feh_export(text, kFile); });
    EXPECT_EQ(msg.rfind("ERROR - catchment descriptor file cd_Site.xml, ", 0), 0u) << msg;
    EXPECT_NE(msg.find(b.message), std::string::npos) << msg;
  }
  std::string text = bundled("pond_feh22", "cd_Ripon_2026.xml");  // no duration attributes
  text.erase(text.find("<Depths>"),
             text.find("<Depths>", text.find("<Depths>") + 1) - text.find("<Depths>"));
  EXPECT_NE(stop_output([&] {
              parse_feh_export(text, kFile);
            }).find("it has 14 Depths elements without a duration attribute; they must be 15"),
            std::string::npos);
}

TEST(FehExport, AbsentValuesAndWhatEachModelNeeds) {
  std::string text = bundled("rainfall_feh22", "cd_Ashby_2026.xml");
  text.replace(text.find(">702<"), 5, "> NaN <");
  text.replace(text.find(">0.318<"), 7, "><");
  const FehExport x = parse_feh_export(text, kFile);
  Catchment c;
  const DescriptorKeys keys = apply_feh_export(x, 0, 1, c);
  params::DesignParams p;
  p.season_code = 2;
  p.areal_reduction = 1;
  p.areal_reduction_area_code = 1;
  p.decode_modes();
  params::RunSetup setup;
  setup.return_periods = {2, 100};
  setup.durations = {5, 14400};
  EXPECT_EQ(stop_output([&] { check_descriptor_keys(keys, p, setup, kFile); }),
            "ERROR - catchment descriptor file cd_Site.xml has no value for saar, d2 (needed by "
            "this run)\n");
  EXPECT_EQ(stop_output([&] { check_descriptor_keys(keys, p, setup, kFile, DdfModel::FEH22); }),
            "ERROR - catchment descriptor file cd_Site.xml has no value for saar (needed by this "
            "run)\n");
  EXPECT_EQ(stop_output([&] { apply_feh_export(x, 1, 1, c); }),
            "ERROR - cannot have both point and arff set to 1\n");

  use_depth_model(DdfModel::FEH22, &x, p, setup, kFile, c);  // 5 min to 240 h: in range
  EXPECT_EQ(grid_depth(c.grid, 2, 5), 5.50);
  EXPECT_EQ(stop_output([&] { use_depth_model(DdfModel::FEH13, nullptr, p, setup, "cd.csv", c); }),
            "ERROR - DDFMODEL 'FEH13' needs the FEH XML export as catchment descriptor file, "
            "and cd.csv is not one\n");
  setup.durations = {4};
  EXPECT_EQ(stop_output([&] { use_depth_model(DdfModel::FEH22, &x, p, setup, kFile, c); }),
            "ERROR - the FEH22 catchment depth grid of cd_Site.xml covers durations from 5 to "
            "14400 min: the run's duration of 4 min is outside it\n");
  setup.durations = {14401};
  EXPECT_EQ(stop_output([&] { use_depth_model(DdfModel::FEH22, &x, p, setup, kFile, c); }),
            "ERROR - the FEH22 catchment depth grid of cd_Site.xml covers durations from 5 to "
            "14400 min: the run's duration of 14401 min is outside it\n");
  setup.return_periods = {1};
  EXPECT_EQ(stop_output([&] { use_depth_model(DdfModel::FEH22, &x, p, setup, kFile, c); }),
            "ERROR - the FEH22 catchment depth grid of cd_Site.xml covers return periods from 1.3 "
            "to 100000 years: the run's return period of 1 year is outside it\n");
  p.point_rainfall = 1;
  EXPECT_EQ(stop_output([&] { use_depth_model(DdfModel::FEH13, &x, p, setup, kFile, c); }),
            "ERROR - catchment descriptor file cd_Site.xml has no PointDDF2013Values (needed by "
            "DDFMODEL 'FEH13' with point = 1)\n");
  p.design_pond = 0;
  p.greenfield_rates = 1;  // a greenfield-only run computes no depths and needs no grid
  use_depth_model(DdfModel::FEH13, nullptr, p, setup, kFile, c);
}

// An export longer than 16 MiB is refused after reading at most one byte
// more (a sparse file: nothing is stored), as is a key,value file not read.
TEST(FehExport, ReadsAtMost16MiB) {
  const testing::TempDir dir("xml_size");
  const std::string name = (dir / kFile).string();
  testing::write_file(name, "<");
  testing::fs::resize_file(name, (std::size_t{16} << 20) + 1);
  EXPECT_EQ(stop_output([&] { read_xml_export_text(name); }),
            "ERROR - catchment descriptor file " + name +
                ": longer than 16 MiB (16777216 bytes), too long for an FEH XML export\n");
  testing::fs::resize_file(name, std::size_t{16} << 20);
  EXPECT_EQ(read_xml_export_text(name)->size(), std::size_t{16} << 20);
}

// A grid of ln R = a + b x + c y + d x y (x = ln hours, y the Gumbel variate)
// is bilinear in every cell, so interpolation gives the surface back
// everywhere: at nodes (as read), on grid lines, inside cells, at the edges.
TEST(GridDepth, ReproducesABilinearSurface) {
  auto surface = [](double hours, double T) {
    const double x = std::log(hours), y = gumbel_variate(T);
    return std::exp(2.5 + 0.35 * x + 0.3 * y - 0.02 * x * y);
  };
  DepthGrid g;
  g.hours = {5 / 60.0, 0.25, 1, 6, 24, 240};
  g.return_periods = {1.3, 2, 10, 100, 1000};
  for (double h : g.hours)
    for (double T : g.return_periods) g.depths.push_back(std::round(surface(h, T) * 1e6) / 1e6);
  EXPECT_EQ(grid_depth(g, 10, 360), g.at(3, 2));  // a node: the value as read
  for (int d : {5, 7, 15, 60, 61, 360, 1000, 14400})
    for (int rp : {2, 3, 10, 55, 100, 999, 1000})
      EXPECT_NEAR(grid_depth(g, rp, d), surface(d / 60.0, rp), 2e-6) << rp << " " << d;
  EXPECT_TRUE(std::isnan(grid_depth(g, 1, 60)));
  EXPECT_TRUE(std::isnan(grid_depth(g, 2, 14401)));
}

}  // namespace
}  // namespace sitedrain::rainfall
