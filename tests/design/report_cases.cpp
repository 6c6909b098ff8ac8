#include "design/report_cases.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/run_case.h"

namespace sitedrain::design::testdata {

namespace {

struct Flags {
  int ponds = 0, sump = 0, soak = 0, rnf = 0, grnff = 0, strmprf = 0, rhmpt = 0, lagoonratio = 0;
  double cchgfac = 1.0, batter = 0.0;
};

Site site(std::string location, int easting, int northing, double saar, std::vector<int> rp,
          std::vector<int> dur, std::vector<double> area, std::vector<int> surface,
          std::vector<int> soil, Flags f) {
  Site s;
  s.location = std::move(location);
  s.catchment.easting = easting;
  s.catchment.northing = northing;
  s.catchment.SAAR = saar;
  s.setup.return_periods = std::move(rp);
  s.setup.durations = std::move(dur);
  s.p.nsubc = static_cast<int>(area.size());
  for (std::size_t i = 0; i < area.size(); ++i) {
    s.p.area[i] = area[i];
    s.p.surface[i] = surface[i];
    s.p.soilFSR[i] = soil[i];
  }
  s.p.wrapf = 1;
  s.p.rom = 2;
  s.p.point = 0;
  s.p.ponds = f.ponds, s.p.sump = f.sump, s.p.soak = f.soak, s.p.rnf = f.rnf;
  s.p.grnff = f.grnff, s.p.strmprf = f.strmprf, s.p.rhmpt = f.rhmpt;
  s.p.lagoonratio = f.lagoonratio, s.p.cchgfac = f.cchgfac, s.p.batter = f.batter;
  return s;
}

}  // namespace

Site hexham_pond() {
  return site(
      "Hexham", 393500, 564000, 828.0, {1, 30, 100}, {60, 120, 240}, {16500., 7200.}, {9, 5},
      {4, 3},
      {.ponds = 1, .strmprf = 3, .rhmpt = 24, .lagoonratio = 2, .cchgfac = 1.4, .batter = 3.0});
}

Site truro_sump() {
  return site("Truro", 182500, 44800, 1150.0, {2, 100}, {30, 120}, {5200., 3100.}, {11, 7}, {4, 4},
              {.sump = 1, .strmprf = 2, .rhmpt = 12, .lagoonratio = -2});
}

Site stafford_soakaway() {
  return site("Stafford", 392300, 323000, 722.0, {10, 30}, {15, 60, 180}, {540., 610.}, {11, 8},
              {3, 3}, {.soak = 1, .strmprf = 3, .rhmpt = 48, .lagoonratio = 2});
}

Site bangor_soakaway() {
  return site("Bangor", 258000, 371500, 1390.0, {100}, {60}, {1350.}, {10}, {4},
              {.soak = 1, .strmprf = 3, .rhmpt = 96, .lagoonratio = 2});
}

Site milton_keynes_runoff() {
  return site("MiltonKeynes", 485500, 238500, 610.0, {2, 30, 100}, {15, 60, 360},
              {14000., 6500., 3800.}, {10, 3, 7}, {3, 3, 3}, {.rnf = 1, .strmprf = 2});
}

Site perth_greenfield() {
  Site s = site("Perth", 311500, 723500, 890.0, {30, 100}, {60}, {32000., 18000.}, {4, 9}, {3, 4},
                {.grnff = 1, .strmprf = 3, .lagoonratio = 2});
  s.rates = {0.02551, 0.04854, 0.06248};
  return s;
}

std::vector<std::string> expected_lines(const std::string& case_name, const std::string& file,
                                        int first) {
  std::istringstream in(testing::read_file(testing::case_dir(case_name) / "expected" / file));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (first-- <= 0) lines.push_back(line);
  return lines;
}

std::vector<double> numbers(const std::string& row) {
  std::istringstream in(row);
  std::vector<double> v;
  for (double x; in >> x;) v.push_back(x);
  return v;
}

void expect_same_lines(const std::vector<std::string>& got, const std::vector<std::string>& want) {
  for (std::size_t i = 0; i < got.size() && i < want.size(); ++i)
    EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
  EXPECT_EQ(got.size(), want.size());
}

}  // namespace sitedrain::design::testdata
