#include "report/csv_tables.h"

#include <algorithm>
#include <sstream>

#include "report/csv_storms.h"
#include "report/design_checks.h"

namespace sitedrain::report {

namespace {

using params::StorageKind;
using results::DesignResults;

// A row of numbers: each the shortest round-trip text.
std::string row_of(std::initializer_list<double> values) {
  std::string s;
  for (double v : values) csv_number(s, v);
  s.erase(0, 1);  // the first separator
  return s + "\r\n";
}

std::string rainfall_csv(const CsvInput& in) {
  const auto& h = in.results->head;
  std::string s = "duration_min,return_period_years,depth_mm\r\n";
  for (std::size_t k = 0; k < h.durations.size(); ++k)
    for (std::size_t i = 0; i < h.return_periods.size(); ++i)
      s += row_of({static_cast<double>(h.durations[k]), static_cast<double>(h.return_periods[i]),
                   (*in.rain)[k * h.return_periods.size() + i]});
  return s;
}

std::string storms_csv(const DesignResults& r) {
  std::ostringstream out;
  write_storms_csv(r, out);
  return out.str();
}

// The governing records alone, their selections kept.
DesignResults governing_only(const DesignResults& r) {
  DesignResults g;
  g.kind = r.kind;
  std::vector<std::size_t> at(r.records.size(), r.records.size());
  for (const auto& rp : r.governing) {
    g.governing.emplace_back();
    for (std::size_t n : rp) {
      at[n] = g.records.size();
      g.governing.back().push_back(g.records.size());
      g.records.push_back(r.records[n]);
    }
  }
  for (std::size_t n : r.smallest)
    if (at[n] < g.records.size()) g.smallest.push_back(at[n]);
  for (std::size_t n : r.half_emptying)
    if (at[n] < g.records.size()) g.half_emptying.push_back(at[n]);
  return g;
}

std::string hydrographs_csv(const CsvInput& in) {
  const DesignResults& r = *in.results;
  const bool outlet = r.kind == StorageKind::pond || r.kind == StorageKind::sump;
  std::string s = "return_period_years,";
  if (outlet) s += r.kind == StorageKind::pond ? "orifice_diameter_mm," : "pump_rate_m3_per_h,";
  s += "duration_min,time_s,rain_intensity_mm_per_h,inflow_m3_per_s,outflow_m3_per_s,"
       "water_depth_m,stored_volume_m3\r\n";
  const std::vector<std::size_t> plotted = design::critical_records(r);
  for (const design::StormSeries& series : *in.series) {
    if (std::find(plotted.begin(), plotted.end(), series.record) == plotted.end()) continue;
    const results::StormRecord& rec = r.records[series.record];
    std::string head = std::to_string(rec.return_period);
    if (outlet) csv_number(head, rec.outlet_size);
    head += ',' + std::to_string(rec.duration);
    for (const design::SeriesPoint& p : series.points)
      s += head + "," + row_of({p.t, p.rain, p.inflow, p.outflow, p.depth, p.volume});
  }
  return s;
}

std::string greenfield_csv(const greenfield::Rates& g) {
  std::string s = "rate,flow_m3_per_s\r\n";
  s += "Qbar," + row_of({g.qbar});
  s += "Q3.33%," + row_of({g.q30});
  s += "Q1%," + row_of({g.q100});
  return s;
}

std::string runoff_csv(const DesignResults& r) {
  std::string s =
      "return_period_years,duration_min,mean_inflow_m3_per_h,runoff_volume_m3,rain_depth_mm,"
      "rain_volume_m3,runoff_coefficient\r\n";
  for (const results::RunoffRow& row : r.runoff_rows) {
    std::string line = std::to_string(row.return_period) + ',' + std::to_string(row.duration);
    for (double v : {row.mean_inflow, row.runoff_volume, row.rain_depth, row.rain_volume})
      csv_number(line, v);
    if (row.rain_volume > 0.0)
      csv_number(line, row.runoff_volume / row.rain_volume);
    else
      line += ',';  // no coefficient without rain
    s += line + "\r\n";
  }
  return s;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> csv_tables(const CsvInput& in) {
  const DesignResults& r = *in.results;
  const params::DesignParams& p = r.head.params;
  std::vector<std::pair<std::string, std::string>> files;
  if (in.rain && !in.rain->empty()) files.push_back({"rainfall.csv", rainfall_csv(in)});
  if (p.storage_run() && r.kind != StorageKind::runoff_only) {
    files.push_back({"storms.csv", storms_csv(r)});
    files.push_back({"critical.csv", storms_csv(governing_only(r))});
    if (in.series) files.push_back({"hydrographs.csv", hydrographs_csv(in)});
    files.push_back({"checks.csv", checks_csv(design_checks(r, in.series))});
  }
  if (p.greenfield_rates == 1) files.push_back({"greenfield.csv", greenfield_csv(r.head.rates)});
  if (p.storage_run() && r.kind == StorageKind::runoff_only)
    files.push_back({"runoff.csv", runoff_csv(r)});
  return files;
}

}  // namespace sitedrain::report
