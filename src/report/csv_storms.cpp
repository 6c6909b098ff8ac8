#include "report/csv_storms.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace sitedrain::report {

namespace {

using params::StorageKind;
using results::DesignResults;
using results::StormRecord;

// A column of the table: its name and its value in a record.
struct Column {
  std::string_view name;
  double (*value)(const StormRecord&);
};

// The columns after the outlet, in order.
constexpr std::array<Column, 21> kColumns = {{
    {"duration_min", [](const StormRecord& r) { return static_cast<double>(r.duration); }},
    {"mean_inflow_m3_per_h", [](const StormRecord& r) { return r.mean_inflow; }},
    {"runoff_volume_m3", [](const StormRecord& r) { return r.runoff_volume; }},
    {"water_area_m2", [](const StormRecord& r) { return r.water_area; }},
    {"lagoon_area_m2", [](const StormRecord& r) { return r.lagoon_area; }},
    {"top_area_m2", [](const StormRecord& r) { return r.top_area; }},
    {"top_length_m", [](const StormRecord& r) { return r.top_length; }},
    {"top_width_m", [](const StormRecord& r) { return r.top_width; }},
    {"depth_m", [](const StormRecord& r) { return r.depth; }},
    {"peak_volume_m3", [](const StormRecord& r) { return r.peak_volume; }},
    {"peak_outflow_m3_per_h", [](const StormRecord& r) { return r.peak_outflow; }},
    {"mean_outflow_m3_per_h", [](const StormRecord& r) { return r.mean_outflow; }},
    {"outflow_24h_m3", [](const StormRecord& r) { return r.outflow_24h; }},
    {"runoff_duration_h", [](const StormRecord& r) { return r.runoff_duration; }},
    {"emptying_time_h", [](const StormRecord& r) { return r.emptying_time; }},
    {"half_emptying_time_h", [](const StormRecord& r) { return r.half_emptying_time; }},
    {"lagoon_length_m", [](const StormRecord& r) { return r.lagoon_length; }},
    {"lagoon_width_m", [](const StormRecord& r) { return r.lagoon_width; }},
    {"peak_rain_flow_m3_per_h", [](const StormRecord& r) { return r.peak_rain_flow; }},
    {"rain_depth_mm", [](const StormRecord& r) { return r.rain_depth; }},
    {"rain_volume_m3", [](const StormRecord& r) { return r.rain_volume; }},
}};

std::string_view outlet_name(StorageKind kind) {
  return kind == StorageKind::pond   ? "orifice_diameter_mm"
         : kind == StorageKind::sump ? "pump_rate_m3_per_h"
                                     : std::string_view();
}

}  // namespace

void csv_number(std::string& s, double v) {
  s += ',';
  if (!std::isfinite(v)) return;
  char buf[32];
  s.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

std::string storms_csv_header(StorageKind kind) {
  std::string s = "return_period_years";
  if (!outlet_name(kind).empty()) (s += ',') += outlet_name(kind);
  for (const Column& c : kColumns) (s += ',') += c.name;
  s += ",unstable,governing,smallest,half_emptying";
  return s;
}

void write_storms_csv(const DesignResults& results, std::ostream& out) {
  out << storms_csv_header(results.kind) << "\r\n";
  // the selections of each record: bit 0 governing, 1 smallest, 2 half-emptying
  std::vector<unsigned char> selected(results.records.size(), 0);
  for (const std::vector<std::size_t>& g : results.governing)
    for (std::size_t n : g) selected[n] |= 1;
  for (std::size_t n : results.smallest) selected[n] |= 2;
  for (std::size_t n : results.half_emptying) selected[n] |= 4;
  std::string s;
  for (std::size_t n = 0; n < results.records.size(); ++n) {
    const StormRecord& r = results.records[n];
    s = std::to_string(r.return_period);
    if (!outlet_name(results.kind).empty()) csv_number(s, r.outlet_size);
    for (const Column& c : kColumns) csv_number(s, c.value(r));
    s += r.unstable ? ",1" : ",0";
    for (unsigned bit : {1u, 2u, 4u}) s += (selected[n] & bit) ? ",1" : ",0";
    out << s << "\r\n";
  }
}

}  // namespace sitedrain::report
