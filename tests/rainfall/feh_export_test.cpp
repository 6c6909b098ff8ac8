// The FEH XML export reader, the depth grid interpolation and the checks
// that a run's depth model has what it needs.
#include "rainfall/feh_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/capture.h"

namespace sitedrain::rainfall {
namespace {

using testing::stop_output;
constexpr const char* kFile = "cd_Site.xml";

struct Layout {
  bool point = false;
  bool durations = true;  // duration attributes
  std::string sep = ", ";
  std::string eol = "\n";
};

// An export: grid reference 412345, 98765, saar 850, the 1999 parameters and
// an FEH22 grid of return periods 2, 10, 100 by the 15 standard durations,
// depth 10 (k + 1) + 2 j + 0.25 at duration k and return period j.
std::string export_text(const Layout& e) {
  const char* hours[] = {"0.083", "0.25", "0.5", "0.75", "1",  "2",   "4",  "6",
                         "12",    "18",   "24",  "48",   "96", "192", "240"};
  const std::string kind = e.point ? "PointDescriptors" : "CatchmentDescriptors";
  const std::string km = e.point ? "_1_km" : "";
  std::string t = "<?xml version=\"1.0\"?>" + e.eol + "<!-- test -->" + e.eol +
                  (e.point ? "<FEHCDROMExportedDescriptors>" : "<FEHDescriptors>") + e.eol + "<" +
                  kind + " x=\"412345\" y=\" 098765\">" + e.eol +
                  "<saar>850</saar><altbar>12</altbar>" + e.eol;
  t += e.point ? "<PointDDFValues>" : "<CatchmentAverageDDFValues>";
  for (const char* v : {"c", "d1", "d2", "d3", "e", "f"})
    t += "<" + std::string(v) + km + ">0.5</" + std::string(v) + km + ">";
  t += e.point ? "</PointDDFValues>" : "</CatchmentAverageDDFValues>";
  const std::string grid = e.point ? "PointDDF2022Values" : "CatchmentAverageDDF2022Values";
  t += e.eol + "<" + grid + "><ReturnPeriods>2" + e.sep + "10" + e.sep + "100</ReturnPeriods>";
  for (int k = 0; k < 15; ++k) {
    t += e.eol + "<Depths" + (e.durations ? " duration=\"" + std::string(hours[k]) + "\"" : "") +
         ">";
    for (int j = 0; j < 3; ++j)
      t += (j ? e.sep : "") + std::to_string(10 * (k + 1) + 2 * j) + ".25";
    t += "</Depths>";
  }
  return t + e.eol + "</" + grid + ">" + e.eol + "</" + kind + ">" + e.eol +
         (e.point ? "</FEHCDROMExportedDescriptors>" : "</FEHDescriptors>") + e.eol;
}

TEST(FehExport, ReadsEveryLayout) {
  const Layout layouts[] = {{}, {true, false, ",", "\r\n"}, {false, true, ",", "\r\n"}};
  for (const Layout& e : layouts) {
    const FehExport x = parse_feh_export(export_text(e), kFile);
    const GridKind kind = e.point ? GridKind::point : GridKind::catchment;
    EXPECT_EQ(x.kind, kind);
    Catchment c;
    const DescriptorKeys keys = apply_feh_export(x, e.point ? 1 : 0, 0, c);
    EXPECT_EQ(c.easting, 412345);
    EXPECT_EQ(c.northing, 98765);
    EXPECT_EQ(c.SAAR, 850.0);
    EXPECT_EQ(c.F, 0.5);
    EXPECT_TRUE(keys.xml && keys.SAAR && keys.F && !keys.AREA);
    EXPECT_FALSE(x.grid(DdfModel::FEH13, kind));
    const DepthGrid& g = *x.grid(DdfModel::FEH22, kind);
    EXPECT_EQ(g.hours.front(), 5 / 60.0);  // 0.083 h is the 5-minute storm
    EXPECT_EQ(g.hours[1], 0.25);
    EXPECT_EQ(g.hours.back(), 240.0);
    EXPECT_EQ(g.return_periods, (std::vector<double>{2, 10, 100}));
    EXPECT_EQ(g.at(14, 2), 154.25);
  }
  EXPECT_TRUE(is_xml_export("\xEF\xBB\xBF \r\n<a/>"));
  EXPECT_FALSE(is_xml_export("400000,500000,<"));
}

TEST(FehExport, RefusesMalformedExports) {
  const std::string base = export_text({});
  const struct {
    std::string from, to;
    const char* message;  // after "ERROR - catchment descriptor file cd_Site.xml, "
  } bad[] = {
      {"</Depths>", "",
       "line 23: malformed XML (Start-end tags mismatch) at the end tag "
       "</CatchmentAverageDDF2022Values>"},
      {"FEHDescriptors>", "Descriptors>", "line 3, element Descriptors: the root element must be"},
      {"CatchmentDescriptors", "Catchment", "line 4, element Catchment: the first element"},
      {"850", "8 50", "line 5, element CatchmentDescriptors/saar: \"8 50\" is not a number"},
      {"y=\" 098765\"", "y=\"1.5\"", "line 4, element CatchmentDescriptors: attribute y = \"1.5\""},
      {"<ReturnPeriods>2, 10", "<ReturnPeriods>1, 10",
       "return period 1 is not greater than 1 year"},
      {"<ReturnPeriods>2, 10", "<ReturnPeriods>20, 10", "return period 10 does not follow 20"},
      {"<ReturnPeriods>2, 10", "<ReturnPeriods>2, x", "item 2 of the list, \"x\", is not a number"},
      {"<ReturnPeriods>2, 10", "<ReturnPeriods>2, ,10", "item 2 of the list is empty"},
      {"ReturnPeriods", "Periods", "CatchmentAverageDDF2022Values: it has no ReturnPeriods"},
      {"\"0.25\"", "\"0.0834\"", "duration 0.0834 h does not follow the one before"},
      {"\"0.25\"", "\"-1\"", "duration \"-1\" is not a number of hours above 0"},
      {" duration=\"0.25\"", "", "either every Depths element has a duration attribute or none"},
      {">20.25, 22.25, 24.25<", ">20.25, 22.25<", "it has 2 depths for 3 return periods"},
      {">20.25, 22.25, ", ">0, 22.25, ", "the depth of 0 mm for duration 0.25 h and return"},
      {">20.25, 22.25, ", ">20.25, 20.25, ",
       "20.25 mm for duration 0.25 h and return period 10 is "
       "not greater than that of the return period before"},
      {">20.25, 22.25, ", ">10.25, 12.25, ",
       "line 9, element CatchmentDescriptors/"
       "CatchmentAverageDDF2022Values/Depths:"
       " the depth of 10.25 mm for duration 0.25 h and return "
       "period 2 is not greater than that of the duration"},
  };
  for (const auto& b : bad) {
    std::string text = base;  // every b.from replaced
    for (std::size_t at = 0; (at = text.find(b.from, at)) != std::string::npos; at += b.to.size())
      text.replace(at, b.from.size(), b.to);
    const std::string msg = stop_output([&] { parse_feh_export(text, kFile); });
    EXPECT_EQ(msg.rfind("ERROR - catchment descriptor file cd_Site.xml, ", 0), 0u) << msg;
    EXPECT_NE(msg.find(b.message), std::string::npos) << msg;
  }
  Layout no_durations;
  no_durations.durations = false;
  std::string text = export_text(no_durations);
  text.erase(text.find("<Depths>"), text.find("</Depths>") + 9 - text.find("<Depths>"));
  EXPECT_NE(stop_output([&] {
              parse_feh_export(text, kFile);
            }).find("it has 14 Depths elements without a duration attribute; they must be 15"),
            std::string::npos);
}

TEST(FehExport, AbsentValuesAndWhatEachModelNeeds) {
  std::string text = export_text({});
  text.replace(text.find("850"), 3, " NaN ");
  text.replace(text.find("<d2>0.5"), 7, "<d2>");
  const FehExport x = parse_feh_export(text, kFile);
  Catchment c;
  const DescriptorKeys keys = apply_feh_export(x, 0, 1, c);
  params::DesignParams p;
  p.season = 2;
  p.arff = 1;
  p.ctchm = 1;
  params::RunSetup setup;
  setup.return_periods = {2, 100};
  setup.durations = {5, 14400};
  EXPECT_EQ(stop_output([&] { check_descriptor_keys(keys, p, setup, kFile); }),
            "ERROR - catchment descriptor file cd_Site.xml has no value for saar4170, saar, "
            "area, d2 (needed by this run)\n");
  EXPECT_EQ(stop_output([&] { check_descriptor_keys(keys, p, setup, kFile, DdfModel::FEH22); }),
            "ERROR - catchment descriptor file cd_Site.xml has no value for saar, area "
            "(needed by this run)\n");
  EXPECT_EQ(stop_output([&] { apply_feh_export(x, 1, 1, c); }),
            "ERROR - cannot have both point and arff set to 1\n");

  use_depth_model(DdfModel::FEH22, &x, p, setup, kFile, c);  // 5 min to 240 h: in range
  EXPECT_EQ(GRID_DEPTH(c.grid, 100, 14400), 154.25);
  EXPECT_EQ(stop_output([&] { use_depth_model(DdfModel::FEH13, nullptr, p, setup, "cd.csv", c); }),
            "ERROR - DDFMODEL 'FEH13' needs the FEH XML export as catchment descriptor file, "
            "and cd.csv is not one\n");
  EXPECT_EQ(stop_output([&] { use_depth_model(DdfModel::FEH13, &x, p, setup, kFile, c); }),
            "ERROR - catchment descriptor file cd_Site.xml has no CatchmentAverageDDF2013Values "
            "(needed by DDFMODEL 'FEH13' with point = 0)\n");
  setup.durations = {4};
  EXPECT_EQ(stop_output([&] { use_depth_model(DdfModel::FEH22, &x, p, setup, kFile, c); }),
            "ERROR - the FEH22 catchment depth grid of cd_Site.xml covers durations from 5 to "
            "14400 min: the run's duration of 4 min is outside it\n");
  setup.return_periods = {1};
  EXPECT_EQ(stop_output([&] { use_depth_model(DdfModel::FEH22, &x, p, setup, kFile, c); }),
            "ERROR - the FEH22 catchment depth grid of cd_Site.xml covers return periods from 2 "
            "to 100 years: the run's return period of 1 year is outside it\n");
  p.ponds = 0;
  p.grnff = 1;  // a greenfield-only run computes no depths and needs no grid
  use_depth_model(DdfModel::FEH13, nullptr, p, setup, kFile, c);
}

// A grid of ln R = a + b x + c y + d x y (x = ln hours, y the Gumbel variate)
// is bilinear in every cell, so interpolation gives the surface back
// everywhere: at nodes (as read), on grid lines, inside cells, at the edges.
TEST(GridDepth, ReproducesABilinearSurface) {
  auto surface = [](double hours, double T) {
    const double x = std::log(hours), y = GUMBEL_VARIATE(T);
    return std::exp(2.5 + 0.35 * x + 0.3 * y - 0.02 * x * y);
  };
  DepthGrid g;
  g.hours = {5 / 60.0, 0.25, 1, 6, 24, 240};
  g.return_periods = {1.3, 2, 10, 100, 1000};
  for (double h : g.hours)
    for (double T : g.return_periods) g.depths.push_back(std::round(surface(h, T) * 1e6) / 1e6);
  EXPECT_EQ(GRID_DEPTH(g, 10, 360), g.at(3, 2));  // a node: the value as read
  for (int d : {5, 7, 15, 60, 61, 360, 1000, 14400})
    for (int rp : {2, 3, 10, 55, 100, 999, 1000})
      EXPECT_NEAR(GRID_DEPTH(g, rp, d), surface(d / 60.0, rp), 2e-6) << rp << " " << d;
  EXPECT_TRUE(std::isnan(GRID_DEPTH(g, 1, 60)));
  EXPECT_TRUE(std::isnan(GRID_DEPTH(g, 2, 14401)));
}

}  // namespace
}  // namespace sitedrain::rainfall
