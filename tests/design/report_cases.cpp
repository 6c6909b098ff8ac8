#include "design/report_cases.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "support/run_case.h"

namespace sitedrain::design::testdata {

namespace {

Site site(std::string location, std::int32_t easting, std::int32_t northing, double saar,
          std::vector<int> rp, std::vector<int> dur, std::initializer_list<double> area,
          std::initializer_list<int> surface, std::initializer_list<int> soil) {
  Site s;
  s.location = std::move(location);
  s.catchment.easting = easting;
  s.catchment.northing = northing;
  s.catchment.SAAR = saar;
  s.setup.return_periods = std::move(rp);
  s.setup.durations = std::move(dur);
  s.p.nrp = static_cast<int>(s.setup.return_periods.size());
  s.p.ndur = static_cast<int>(s.setup.durations.size());
  s.p.nsubc = static_cast<int>(area.size());
  std::size_t i = 0;
  for (double a : area) s.p.area[i++] = a;
  i = 0;
  for (int t : surface) s.p.surface[i++] = t;
  i = 0;
  for (int c : soil) s.p.soilFSR[i++] = c;
  s.p.wrapf = 1;
  s.p.rom = 2;
  s.p.point = 0;
  s.p.cchgfac = 1.0;
  return s;
}

}  // namespace

Site hexham_pond() {
  Site s = site("Hexham", 393500, 564000, 828.0, {1, 30, 100}, {60, 120, 240}, {16500., 7200.},
                {9, 5}, {4, 3});
  s.p.ponds = 1;
  s.p.strmprf = 3;
  s.p.cchgfac = 1.4;
  s.p.batter = 3.0;
  s.p.rhmpt = 24;
  s.p.lagoonratio = 2;
  return s;
}

Site truro_sump() {
  Site s = site("Truro", 182500, 44800, 1150.0, {2, 100}, {30, 120}, {5200., 3100.}, {11, 7},
                {4, 4});
  s.p.sump = 1;
  s.p.strmprf = 2;
  s.p.batter = 0.0;
  s.p.rhmpt = 12;
  s.p.lagoonratio = -2;
  return s;
}

Site stafford_soakaway() {
  Site s = site("Stafford", 392300, 323000, 722.0, {10, 30}, {15, 60, 180}, {540., 610.}, {11, 8},
                {3, 3});
  s.p.soak = 1;
  s.p.strmprf = 3;
  s.p.rhmpt = 48;
  s.p.lagoonratio = 2;
  return s;
}

Site bangor_soakaway() {
  Site s = site("Bangor", 258000, 371500, 1390.0, {100}, {60}, {1350.}, {10}, {4});
  s.p.soak = 1;
  s.p.diagf = 1;
  s.p.strmprf = 3;
  s.p.rhmpt = 96;
  s.p.lagoonratio = 2;
  return s;
}

Site milton_keynes_runoff() {
  Site s = site("MiltonKeynes", 485500, 238500, 610.0, {2, 30, 100}, {15, 60, 360},
                {14000., 6500., 3800.}, {10, 3, 7}, {3, 3, 3});
  s.p.rnf = 1;
  s.p.strmprf = 2;
  s.p.lagoonratio = 0;
  return s;
}

Site perth_greenfield() {
  Site s = site("Perth", 311500, 723500, 890.0, {30, 100}, {60}, {32000., 18000.}, {4, 9}, {3, 4});
  s.p.grnff = 1;
  s.p.hydromarea = 16;
  s.rates = {0.02551, 0.04854, 0.06248};
  return s;
}

std::vector<std::string> expected_lines(const std::string& case_name, const std::string& file) {
  std::istringstream in(testing::read_file(testing::case_dir(case_name) / "expected" / file));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> slice(const std::vector<std::string>& v, int first, int count) {
  auto begin = v.begin() + std::min<std::ptrdiff_t>(first, std::ssize(v));
  auto end = count < 0 ? v.end() : begin + std::min<std::ptrdiff_t>(count, v.end() - begin);
  return {begin, end};
}

std::vector<double> numbers(const std::string& row) {
  std::istringstream in(row);
  std::vector<double> v;
  for (std::string word; in >> word;) v.push_back(std::strtod(word.c_str(), nullptr));
  return v;
}

void expect_same_lines(const std::vector<std::string>& got, const std::vector<std::string>& want) {
  for (std::size_t i = 0; i < got.size() && i < want.size(); ++i)
    EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
  EXPECT_EQ(got.size(), want.size());
}

}  // namespace sitedrain::design::testdata
