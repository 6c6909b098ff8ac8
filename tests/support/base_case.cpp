#include "support/base_case.h"

#include <stdexcept>

#include "support/run_case.h"

namespace sitedrain::testing {

std::string record(const std::string& key, const std::string& value, bool marker) {
  std::string s = (marker ? "*" : " ") + key;
  s.resize(16, ' ');
  return s + value;
}

std::vector<std::string> base_parameter_lines() {
  return {
      record("ponds", "     1"),      record("grnff", "     0"),
      record("hydromarea", "     0"), record("diagf", "     0"),
      record("rnf", "     0"),        record("season", "     1"),
      record("calcrp", "     0"),     record("caldur", "     0"),
      record("nrp", "     2"),        record("rp", "     2"),
      record("", "    30", false),    record("ndur", "     2"),
      record("dur", "    30"),        record("", "    60", false),
      record("cchgfac", "   1.0"),    record("rom", "     2"),
      record("nsubc", "     2"),      record("surface", "     9"),
      record("", "     5", false),    record("wrapf", "     1"),
      record("soilFSR", "     4"),    record("", "     3", false),
      record("fixed", "     0"),      record("point", "     0"),
      record("arff", "     1"),       record("ctchm", "     2"),
      record("strmprf", "     3"),    record("topl", "    30"),
      record("topw", "    15"),       record("tpod", "    75   125    25"),
      record("sump", "     0"),       record("pumprate", "    10   100    10"),
      record("soak", "     0"),       record("sideno", "     0"),
      record("ffill", "   0.0"),      record("infiltco", "   0.0"),
      record("rhmpt", "    24"),      record("lagoonratio", "     2"),
      record("maxdepth", "         1.5"), record("batter", "         3.0"),
      record("area", "      16500."), record("", "       7200.", false),
      record("databaseid", "     3"),
  };
}

std::string base_descriptor_text() {
  return "393500,564000,grid reference\n"
         "AREA,1.73\n"
         "SAAR,828\n"
         "SAAR4170,846\n"
         "SPRHOST,21.87\n"
         "C,-0.0224\n"
         "D1,0.379\n"
         "D2,0.327\n"
         "D3,0.29\n"
         "E,0.279\n"
         "F,2.431\n"
         "C(1km),-0.0227\n"
         "D1(1km),0.374\n"
         "D2(1km),0.331\n"
         "D3(1km),0.286\n"
         "E(1km),0.282\n"
         "F(1km),2.423\n";
}

std::string base_control_text() {
  return "&IFILES\n"
         " IPATH = 2*' ',\n"
         " OPATH = 8*' ',\n"
         " IFILENAME = 'params.txt', 'cd_Hexham_2023.csv',\n"
         " OFILENAME = 'out1.txt', 'out2.txt', 'out3.txt', 'out4.txt',\n"
         "             'out5.txt', 'out6.txt', 'out7.txt', 'out8.txt',\n"
         " NUMLINE = 17\n"
         "/\n";
}

void write_case(const std::filesystem::path& dir, const std::vector<std::string>& param_lines) {
  std::string params;
  for (const auto& l : param_lines) params += l + "\n";
  write_file(dir / "params.txt", params);
  write_file(dir / "cd_Hexham_2023.csv", base_descriptor_text());
  write_file(dir / "PSnamel.nml", base_control_text());
}

std::size_t record_index(const std::vector<std::string>& lines, const std::string& key) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind("*" + key + " ", 0) == 0) return i;
  throw std::runtime_error("no record " + key);
}

}  // namespace sitedrain::testing
