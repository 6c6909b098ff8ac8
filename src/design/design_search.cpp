#include "design/design_search.h"

#include <cmath>
#include <cstdio>

#include "design/progress_record.h"
#include "design/report_tables.h"
#include "design/results_rows.h"
#include "geometry/basin.h"
#include "geometry/rounding.h"
#include "rainfall/profile.h"
#include "textio/console.h"
#include "textio/format.h"
#include "textio/stop.h"

namespace sitedrain::design {

namespace {

using geometry::ROTN;
using textio::FreeRecord;

// Rewrites the progress file with the share of storms begun.
void write_progress(const std::string& name, long long q, long long combinations) {
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) console::stop_with("ERROR opening file" + name);
  std::string text = progress_record(q, combinations);
  text += '\n';
  std::fwrite(text.data(), 1, text.size(), f);
  if (std::fclose(f) != 0) console::stop_with("ERROR opening timer file");
}

class Search {
 public:
  Search(const SearchInput& in, const SearchOutput& out)
      : p_(*in.p), setup_(*in.setup), rain_(*in.rain), in_(in), out_(out), kind_(storage_kind(*in.p)) {
    subs_.rom = p_.rom;
    subs_.nsubc = p_.nsubc;
    subs_.surface = p_.surface.data();
    subs_.area = p_.area.data();
    sel_.records.reserve(static_cast<std::size_t>(setup_.combinations));
    sel_.governing.resize(static_cast<std::size_t>(p_.nrp));
  }

  Selections run() {
    for (int i = 1; i <= p_.nrp; ++i) {
      if (!return_period(i)) {
        console::line("No runoff from the catchment - check parameters");
        out_.log->line(textio::fmt_a(
            "There was no runoff from the catchment for any storm - surface was too permeable", 81));
        stop(1);
      }
    }
    for (ResultRecord& r : sel_.records)
      for (int c = 4; c <= 19; ++c) r.col(c) = ROTN(r.col(c), 1, 1);
    return std::move(sel_);
  }

 private:
  const params::DesignParams& p_;
  const params::RunSetup& setup_;
  const std::vector<double>& rain_;
  const SearchInput& in_;
  const SearchOutput& out_;
  StorageKind kind_;
  runoff::SubCatchments subs_;
  Selections sel_;

  double rain(int k, int i) const {
    return rain_[static_cast<std::size_t>(k - 1) * static_cast<std::size_t>(p_.nrp) +
                 static_cast<std::size_t>(i - 1)];
  }

  // One return period; false when none of its storms produced runoff.
  bool return_period(int i) {
    bool runoff = false;
    int j = 0;
    const params::Triple sweep = kind_ == StorageKind::sump ? p_.pumprate : p_.tpod;
    double ffill = p_.ffill;
    if (kind_ == StorageKind::sump || kind_ == StorageKind::pond || kind_ == StorageKind::runoff_only) ffill = 0.0;
    // a soakaway run takes a single size; the set-up has made the triple 1, 1, 1
    const long long step = sweep.step;
    for (long long s = sweep.first; step > 0 ? s <= sweep.last : s >= sweep.last; s += step) {
      ++j;
      const std::size_t n_start = sel_.records.size();
      for (int k = 1; k <= p_.ndur; ++k) {
        long long q = static_cast<long long>(i - 1) * setup_.outlet_count * p_.ndur +
                      static_cast<long long>(j - 1) * p_.ndur + k;
        write_progress(out_.progress_name, q, setup_.combinations);
        if (kind_ == StorageKind::runoff_only)
          runoff |= runoff_storm(i, k);
        else
          runoff |= design_storm(i, j, k, static_cast<double>(s), ffill, runoff);
      }
      if (!runoff) {
        if (kind_ == StorageKind::sump) continue;
        break;
      }
      if (kind_ == StorageKind::runoff_only) break;
      if (sel_.records.size() == n_start) continue;  // no record in this group
      // the governing storm: the largest total area of water (volume for a soakaway)
      const int col = kind_ == StorageKind::soakaway ? 12 : 6;
      std::size_t gov = n_start;
      double largest = 0.0;
      for (std::size_t r = n_start; r < sel_.records.size(); ++r) {
        if (sel_.records[r].col(col) > largest) {
          largest = sel_.records[r].col(col);
          gov = r;
        }
      }
      const int number = static_cast<int>(gov) + 1;
      sel_.governing[static_cast<std::size_t>(i - 1)].push_back(number);
      const double half = sel_.records[gov].col(17);
      if (half > 0.0 && half <= p_.rhmpt) sel_.half_emptying.push_back(number);
    }
    if (!runoff) return false;
    if (kind_ != StorageKind::runoff_only) {
      const std::vector<int>& gov = sel_.governing[static_cast<std::size_t>(i - 1)];
      std::vector<ResultRecord> rows;
      for (int number : gov) rows.push_back(sel_.records[static_cast<std::size_t>(number - 1)]);
      write_governing_rows(kind_, rows, *out_.report);
      const int col = kind_ == StorageKind::pond ? 6 : 12;
      double least = 1.0e10;
      int chosen = gov.empty() ? 0 : gov.front();
      for (int number : gov) {
        double v = sel_.records[static_cast<std::size_t>(number - 1)].col(col);
        if (v < least) {
          least = v;
          chosen = number;
        }
      }
      if (chosen > 0) sel_.smallest.push_back(chosen);
    }
    return true;
  }

  runoff::StormSpec storm(int i, int k) const {
    runoff::StormSpec s;
    s.duration = setup_.durations[static_cast<std::size_t>(k - 1)];
    s.strmprf = p_.strmprf;
    s.intensity = rain(k, i) / (60 * s.duration);
    return s;
  }

  // A storm of a runoff-only run: one simulation and its report row.
  bool runoff_storm(int i, int k) {
    storage::Storage st;
    storage::Outlet outlet;
    outlet.value = 1.0;
    outlet.table = in_.table;
    runoff::StormSpec spec = storm(i, k);
    storage::Results r = storage::PONDWATERBALANCE(st, outlet, 1.0, subs_, spec, p_.rnf,
                                                   p_.diagf == 1 ? out_.diag : nullptr);
    const int rp = setup_.return_periods[static_cast<std::size_t>(i - 1)];
    out_.report->line(runoff_row(rp, spec.duration, r, rain(k, i)));
    return r.total_inflow > 4.0;
  }

  // A storm of a design run: sizing, the stability iteration, the record.
  bool design_storm(int i, int j, int k, double size, double ffill, bool runoff_before) {
    const int dur = setup_.durations[static_cast<std::size_t>(k - 1)];
    const int rp = setup_.return_periods[static_cast<std::size_t>(i - 1)];
    double qp = 0.0;
    const double im = rain(k, i) / (dur / 60.0);
    const double ip = rainfall::PROFILE(p_.strmprf, 0.5) * im;
    for (int n = 0; n < p_.nsubc; ++n) qp = qp + ip / 1000 * p_.area[static_cast<std::size_t>(n)];
    double v = dur / 60.0 * qp / (1 - ffill);

    storage::Results r;
    geometry::PondDims dims;
    double d = p_.maxdepth;
    storage::Storage st;
    st.batter = p_.batter;
    st.sump = p_.sump;
    st.soak = p_.soak;
    st.sideno = p_.sideno;
    st.ffill = ffill;
    st.infiltco = p_.infiltco;
    storage::Outlet outlet;
    outlet.value = size;
    outlet.table = in_.table;
    outlet.position = j;
    const runoff::StormSpec spec = storm(i, k);

    if (v > 0.0) {
      dims = geometry::POND_SIZE(v, in_.ratio, d, p_.batter, *out_.log);
      double v_prev = 0.0;
      for (int c = 1;; ++c) {
        st.depth = d;
        st.base_w = dims.Wb;
        st.base_l = dims.Lb;
        r = storage::PONDWATERBALANCE(st, outlet, 1.0, subs_, spec, p_.rnf, nullptr);
        v = r.smax;
        if (r.total_inflow < 4.0) break;
        if (std::fabs(v - v_prev) <= 0.1) break;
        dims = geometry::POND_SIZE(v, in_.ratio, d, p_.batter, *out_.log);
        if (c == 10) {
          out_.log->line((FreeRecord("i,k,tpod,unstable storage, prvstrg,diff")
                          << i << k << size << v << v_prev << v - v_prev)
                             .str());
          v = (v_prev + v) / 2;
        }
        if (c > 15) {
          out_.log->line((FreeRecord("unable to get stability at i,k,tpod,jj") << i << k << size << c)
                             .str());
          v = (v_prev + v) / 2;
          break;
        }
        v_prev = v;
      }
      if (p_.diagf == 1 && kind_ != StorageKind::sump) {
        st.depth = d;
        r = storage::PONDWATERBALANCE(st, outlet, 1.0, subs_, spec, p_.rnf, out_.diag);
        v = r.smax;
      }
    }

    const double a_top = dims.Wt * dims.Lt;
    const double a_lag = r.qmax / 0.036;
    const double a_tot = a_lag + a_top;
    bool stored = false;
    if (r.total_inflow >= 4.0) {
      stored = true;
      ResultRecord rec;
      rec.col(1) = rp;
      rec.col(2) = size;
      rec.col(3) = dur;
      rec.col(4) = r.mean_inflow;
      rec.col(5) = r.total_inflow;
      rec.col(6) = a_tot;
      rec.col(7) = a_lag;
      rec.col(8) = a_top;
      rec.col(9) = dims.Lt;
      rec.col(10) = dims.Wt;
      rec.col(11) = d;
      rec.col(12) = v;
      rec.col(13) = r.qmax;
      rec.col(14) = r.mean_outflow;
      rec.col(15) = kind_ == StorageKind::sump ? r.tfill : std::min(r.ttmt, 24.0) * r.mean_outflow;
      rec.col(16) = r.ttmt;
      rec.col(17) = r.tthmt;
      const int ratio = p_.lagoonratio;
      const double mag = std::abs(ratio);
      if (ratio < 0)
        rec.col(19) = 2 * std::sqrt(a_lag / mag / 3.1415926);
      else if (ratio > 0)
        rec.col(19) = std::sqrt(a_lag / mag);
      rec.col(18) = mag * rec.col(19);
      sel_.records.push_back(rec);
      write_results_row(kind_, rec, r, qp, rain(k, i), *out_.full);
    }
    if (kind_ == StorageKind::sump && !runoff_before && !stored) {
      out_.log->line(
          textio::fmt_a("There was no runoff from the catchment for storms specified for duration =  ",
                        81) +
          textio::fmt_i(dur, 6));
    }
    return stored;
  }
};

}  // namespace

Selections DESIGN_SEARCH(const SearchInput& in, const SearchOutput& out) {
  return Search(in, out).run();
}

}  // namespace sitedrain::design
