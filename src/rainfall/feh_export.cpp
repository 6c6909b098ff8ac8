#include "rainfall/feh_export.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <pugixml.hpp>
#include <vector>

#include "maths/maths.h"
#include "textio/console.h"
#include "textio/fixed_field.h"

namespace sitedrain::rainfall {

const std::optional<DepthGrid>& FehExport::grid(DdfModel model, GridKind kind) const {
  return grids[model == DdfModel::FEH13 ? 0 : 1][kind == GridKind::catchment ? 0 : 1];
}

std::string_view grid_element_name(DdfModel model, GridKind kind) {
  const bool y13 = model == DdfModel::FEH13;
  if (kind == GridKind::catchment)
    return y13 ? "CatchmentAverageDDF2013Values" : "CatchmentAverageDDF2022Values";
  return y13 ? "PointDDF2013Values" : "PointDDF2022Values";
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The largest export read: a real one is a few tens of kB.
constexpr std::size_t kMaxExportBytes = std::size_t{16} << 20;  // 16 MiB

// The deepest design rainfall a grid may give, mm: far above any rainfall
// recorded in the UK over any of the grid's durations (up to 10 days).
constexpr double kMaxGridDepthMm = 10000.0;

// The characters of a value echoed in a message before it is cut.
constexpr std::size_t kMaxEchoedCharacters = 60;

// A text of the file as a message shows it: control characters and bytes
// above 126 as \xNN, cut after 60 characters with "...".
std::string echoed(std::string_view text) {
  if (text.size() <= kMaxEchoedCharacters) return textio::printable(text);
  return textio::printable(text.substr(0, kMaxEchoedCharacters)) + "...";
}

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// A number written in full (an optional sign, digits, point, exponent; "nan"
// and "inf" too); nothing for any other text.
std::optional<double> number(std::string_view s) {
  s = trimmed(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.front() == '+') return std::nullopt;
  double v = 0.0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

// Durations (hours) of the Depths elements of a grid without duration
// attributes, in order.
constexpr std::array<double, 15> kStandardHours = {0.083, 0.25, 0.5, 0.75, 1,  2,   4,  6,
                                                   12,    18,   24,  48,   96, 192, 240};

// A duration (h) within 0.03 min (the rounding of a three-decimal hour) of a
// whole minute is that minute, so that the grid's nodes are the run's
// whole-minute durations.
double on_whole_minute(double hours) {
  const double minutes = hours * 60.0;
  const double whole = std::round(minutes);
  if (whole >= 1.0 && std::fabs(minutes - whole) <= 0.0300001) return whole / 60.0;
  return hours;
}

class ExportReader {
 public:
  ExportReader(std::string_view text, std::string_view file) : text_(text), file_(file) {}

  FehExport read() {
    const pugi::xml_parse_result r =
        doc_.load_buffer(text_.data(), text_.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!r) malformed(r);
    outside_root();
    const pugi::xml_node root = doc_.document_element();
    const std::string_view root_name = root.name();
    if (root_name != "FEHCDROMExportedDescriptors" && root_name != "FEHDescriptors")
      fail(root, "the root element must be FEHCDROMExportedDescriptors or FEHDescriptors");
    top_ = root.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; });
    root_ = root;
    FehExport x;
    const std::string_view kind = top_.name();
    if (kind == "PointDescriptors") {
      x.kind = GridKind::point;
    } else if (kind != "CatchmentDescriptors") {
      fail(top_ ? top_ : root, "the first element inside " + std::string(root_name) +
                                   " must be CatchmentDescriptors or PointDescriptors");
    }
    x.easting = grid_item(top_, "x");
    x.northing = grid_item(top_, "y");
    x.area = value(top_, "area");
    x.saar = value(top_, "saar");
    x.saar4170 = value(top_, "saar4170");
    x.sprhost = value(top_, "sprhost");
    const pugi::xml_node catchment_ddf = find("CatchmentAverageDDFValues");
    const pugi::xml_node point_ddf = find("PointDDFValues");
    for (std::size_t j = 0; j < 6; ++j) {
      if (catchment_ddf) x.catchment_ddf[j] = value(catchment_ddf, kXmlCatchmentDdf[j]);
      if (point_ddf) x.point_ddf[j] = value(point_ddf, kXmlPointDdf[j]);
    }
    for (DdfModel m : {DdfModel::FEH13, DdfModel::FEH22}) {
      for (GridKind k : {GridKind::catchment, GridKind::point}) {
        const pugi::xml_node g = find(grid_element_name(m, k));
        if (g)
          x.grids[m == DdfModel::FEH13 ? 0 : 1][k == GridKind::catchment ? 0 : 1] = depth_grid(g);
      }
    }
    return x;
  }

 private:
  std::string_view text_;
  std::string_view file_;
  pugi::xml_document doc_;
  pugi::xml_node root_, top_;

  int line_at(std::ptrdiff_t offset) const {
    int line = 1;
    const std::size_t end =
        std::min(text_.size(), static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, offset)));
    for (std::size_t i = 0; i < end; ++i)
      if (text_[i] == '\n') ++line;
    return line;
  }

  [[noreturn]] void malformed(const pugi::xml_parse_result& r) const {
    const std::size_t at = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, r.offset));
    std::string msg = "ERROR - catchment descriptor file ";
    msg += file_;
    msg += ", line " + std::to_string(line_at(r.offset)) + ": malformed XML (";
    msg += r.description();
    msg += ")";
    std::string_view near = at < text_.size() ? text_.substr(at) : std::string_view();
    near = near.substr(0, std::min(near.find_first_of("\r\n"), std::size_t{80}));
    if (at >= 2 && at <= text_.size() && text_.substr(at - 2, 2) == "</")
      msg += " at the end tag </" + echoed(near.substr(0, near.find('>'))) + ">";
    else if (near.empty())
      msg += " at the end of the file: an element is not closed";
    else
      msg += " near \"" + echoed(near.substr(0, 20)) + "\"";
    console::stop_with(msg);
  }

  // Only blanks, comments and processing instructions may stand beside the
  // root element, and the file is text: no NUL byte (the parser would end
  // the document there).
  void outside_root() const {
    if (const std::size_t nul = text_.find('\0'); nul != std::string_view::npos) {
      console::stop_with("ERROR - catchment descriptor file " + std::string(file_) + ", line " +
                         std::to_string(line_at(static_cast<std::ptrdiff_t>(nul))) +
                         ": a NUL byte; an FEH XML export is text");
    }
    pugi::xml_document whole;
    whole.load_buffer(text_.data(), text_.size(), pugi::parse_default | pugi::parse_fragment,
                      pugi::encoding_utf8);
    int elements = 0;
    for (pugi::xml_node n : whole.children()) {
      const bool element = n.type() == pugi::node_element;
      if (element && ++elements == 1) continue;
      if (!element && n.type() != pugi::node_pcdata && n.type() != pugi::node_cdata) continue;
      std::string msg = "ERROR - catchment descriptor file " + std::string(file_) + ", line " +
                        std::to_string(line_at(n.offset_debug())) + ": ";
      msg += elements == 0 ? "text before the root element"
                           : "more after the end of the root element " +
                                 echoed(doc_.document_element().name());
      if (element)
        msg += " (element " + echoed(n.name()) + ")";
      else
        msg += " (\"" + echoed(trimmed(n.value())) + "\")";
      console::stop_with(msg);
    }
  }

  // "CatchmentDescriptors/PointDDF2022Values/Depths": the node's path below
  // the root element.
  std::string path(pugi::xml_node n) const {
    std::string p;
    for (; n && n != root_ && n.type() == pugi::node_element; n = n.parent())
      p = p.empty() ? echoed(n.name()) : echoed(n.name()) + "/" + p;
    return p.empty() ? echoed(root_ ? root_.name() : "") : p;
  }

  [[noreturn]] void fail(pugi::xml_node n, const std::string& why) const {
    std::string msg = "ERROR - catchment descriptor file ";
    msg += file_;
    if (n) msg += ", line " + std::to_string(line_at(n.offset_debug()));
    const std::string where = path(n);
    if (!where.empty()) msg += ", element " + where;
    msg += ": " + why;
    console::stop_with(msg);
  }

  // An element of the descriptors: inside the first child, else inside the
  // root element.
  pugi::xml_node find(std::string_view name) const {
    const std::string n(name);
    const pugi::xml_node in_top = top_.child(n.c_str());
    return in_top ? in_top : root_.child(n.c_str());
  }

  ExportValue value(pugi::xml_node parent, std::string_view name) const {
    const pugi::xml_node n = parent.child(std::string(name).c_str());
    ExportValue v;
    if (!n) return v;
    v.line = line_at(n.offset_debug());
    const std::string_view text = trimmed(n.child_value());
    if (text.empty()) return v;
    const std::optional<double> d = number(text);
    if (!d) fail(n, "\"" + echoed(text) + "\" is not a number");
    if (std::isnan(*d)) return v;
    if (!std::isfinite(*d)) fail(n, "\"" + echoed(text) + "\" is not a finite number");
    v.value = *d;
    return v;
  }

  // The x or y attribute: a whole number; 0 when absent or empty.
  std::int32_t grid_item(pugi::xml_node n, const char* name) const {
    const std::string_view text = trimmed(n.attribute(name).value());
    if (text.empty()) return 0;
    const std::optional<double> d = number(text);
    if (!d || *d != std::trunc(*d) || std::fabs(*d) > 2147483647.0)
      fail(n,
           "attribute " + std::string(name) + " = \"" + echoed(text) + "\" is not a whole number");
    return static_cast<std::int32_t>(*d);
  }

  // The numbers of a list element ("1.3, 1.58, 2"), each finite.
  std::vector<double> list(pugi::xml_node n) const {
    std::string_view text = trimmed(n.child_value());
    if (text.empty()) fail(n, "the list is empty");
    std::vector<double> values;
    for (;;) {
      const std::size_t comma = text.find(',');
      const std::string_view item = trimmed(text.substr(0, comma));
      const std::string which = "item " + std::to_string(values.size() + 1);
      if (item.empty()) fail(n, which + " of the list is empty");
      const std::optional<double> d = number(item);
      if (!d || !std::isfinite(*d))
        fail(n, which + " of the list, \"" + echoed(item) + "\", is not a number");
      values.push_back(*d);
      if (comma == std::string_view::npos) break;
      text = text.substr(comma + 1);
    }
    return values;
  }

  DepthGrid depth_grid(pugi::xml_node g) const {
    DepthGrid grid;
    const pugi::xml_node rp = g.child("ReturnPeriods");
    if (!rp) fail(g, "it has no ReturnPeriods");
    grid.return_periods = list(rp);
    double y_before = -std::numeric_limits<double>::infinity();
    for (std::size_t j = 0; j < grid.return_periods.size(); ++j) {
      const double T = grid.return_periods[j];
      const double y = T > 1.0 ? gumbel_variate(T) : 0.0;
      if (!(T > 1.0))
        fail(rp, "return period " + grid_value_text(T) + " is not greater than 1 year");
      if (!(y > y_before) || !std::isfinite(y))
        fail(rp, "return period " + grid_value_text(T) +
                     (j > 0 ? " does not follow " + grid_value_text(grid.return_periods[j - 1]) +
                                  " in increasing order"
                            : " is too large"));
      y_before = y;
    }

    std::vector<pugi::xml_node> rows;
    for (pugi::xml_node d : g.children("Depths")) rows.push_back(d);
    if (rows.empty()) fail(g, "it has no Depths");
    std::size_t with_duration = 0;
    for (pugi::xml_node d : rows) with_duration += d.attribute("duration") ? 1 : 0;
    if (with_duration == 0 && rows.size() != kStandardHours.size())
      fail(g, "it has " + std::to_string(rows.size()) +
                  " Depths elements without a duration attribute; they must be 15");
    if (with_duration != 0 && with_duration != rows.size())
      fail(g, "either every Depths element has a duration attribute or none has");

    const std::size_t nT = grid.return_periods.size();
    for (std::size_t k = 0; k < rows.size(); ++k) {
      const pugi::xml_node d = rows[k];
      double hours_read = kStandardHours[std::min(k, kStandardHours.size() - 1)];
      if (with_duration != 0) {
        const std::string_view text = trimmed(d.attribute("duration").value());
        const std::optional<double> h = number(text);
        if (!h || !std::isfinite(*h) || !(*h > 0.0))
          fail(d, "duration \"" + echoed(text) + "\" is not a number of hours above 0");
        hours_read = *h;
      }
      const double hours = on_whole_minute(hours_read);
      if (k > 0 && !(maths::log(hours) > maths::log(grid.hours.back())))
        fail(d, "duration " + grid_value_text(hours_read) +
                    " h does not follow the one before in increasing order");
      grid.hours.push_back(hours);

      const std::vector<double> depths = list(d);
      if (depths.size() != nT)
        fail(d, "it has " + std::to_string(depths.size()) + " depths for " + std::to_string(nT) +
                    " return periods");
      const std::string at = "duration " + grid_value_text(hours_read) + " h";
      for (std::size_t j = 0; j < nT; ++j) {
        const double R = depths[j];
        const std::string which = "the depth of " + grid_value_text(R) + " mm for " + at +
                                  " and return period " + grid_value_text(grid.return_periods[j]);
        if (!(R > 0.0) || !std::isfinite(maths::log(R))) fail(d, which + " is not above 0");
        if (R > kMaxGridDepthMm)
          fail(d, which + " is above " + grid_value_text(kMaxGridDepthMm) + " mm");
        if (j > 0 && !(R > depths[j - 1]))
          fail(d, which + " is not greater than that of the return period before");
        if (k > 0 && !(R > grid.at(k - 1, j)))
          fail(d, which + " is not greater than that of the duration before");
      }
      grid.depths.insert(grid.depths.end(), depths.begin(), depths.end());
    }
    return grid;
  }
};

}  // namespace

bool is_xml_export(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  return !text.empty() && text.front() == '<';
}

std::optional<std::string> read_xml_export_text(const std::string& file_name) {
  std::ifstream in(file_name, std::ios::binary);
  if (!in) return std::nullopt;
  // The first non-blank character decides; a key,value file is not read on.
  std::string text;
  char c = 0;
  while (text.size() <= kMaxExportBytes && in.get(c)) {
    text.push_back(c);
    if (!is_blank(c) &&
        !(text.size() <= kByteOrderMark.size() && kByteOrderMark.substr(0, text.size()) == text))
      break;
  }
  if (!is_xml_export(text)) return std::nullopt;
  // The rest, at most one byte beyond the limit: a special file or an endless
  // stream given by mistake must not fill the memory.
  char buf[1 << 16];
  while (text.size() <= kMaxExportBytes && in.read(buf, sizeof buf).gcount() > 0)
    text.append(buf, static_cast<std::size_t>(in.gcount()));
  if (text.size() > kMaxExportBytes)
    console::stop_with("ERROR - catchment descriptor file " + file_name + ": longer than 16 MiB (" +
                       std::to_string(kMaxExportBytes) + " bytes), too long for an FEH XML export");
  return text;
}

FehExport parse_feh_export(std::string_view text, std::string_view file_name) {
  return ExportReader(text, file_name).read();
}

DescriptorKeys apply_feh_export(const FehExport& x, int point, int arff, Catchment& c) {
  if (point > 0 && arff > 0) console::stop_with("ERROR - cannot have both point and arff set to 1");
  DescriptorKeys keys;
  keys.xml = true;
  c.easting = x.easting;
  c.northing = x.northing;
  auto take = [](const ExportValue& v, double& field, bool& found, int* line) {
    if (!v.value) return;
    field = *v.value;
    found = true;
    if (line) *line = v.line;
  };
  take(x.saar4170, c.SAAR4170, keys.SAAR4170, &keys.SAAR4170_line);
  take(x.saar, c.SAAR, keys.SAAR, &keys.SAAR_line);
  take(x.area, c.AREA, keys.AREA, &keys.AREA_line);
  bool sprhost = false;
  take(x.sprhost, c.SPRHOST, sprhost, nullptr);
  const auto& ddf = point == 0 ? x.catchment_ddf : x.point_ddf;
  const std::array<double*, 6> model = {&c.C, &c.D1, &c.D2, &c.D3, &c.E, &c.F};
  const std::array<bool*, 6> found = {&keys.C, &keys.D1, &keys.D2, &keys.D3, &keys.E, &keys.F};
  for (std::size_t j = 0; j < 6; ++j) take(ddf[j], *model[j], *found[j], nullptr);
  return keys;
}

void use_depth_model(DdfModel model, const FehExport* x, const params::DesignParams& p,
                     const params::RunSetup& setup, std::string_view file_name, Catchment& c) {
  c.model = model;
  c.grid_kind = p.point_rainfall == 0 ? GridKind::catchment : GridKind::point;
  if (model == DdfModel::FEH99 || !(p.storage_run() || p.rainfall_only())) return;
  std::string what = "DDFMODEL '";
  what += ddf_model_name(model);
  what += "'";
  if (x == nullptr) {
    console::stop_with("ERROR - " + what +
                       " needs the FEH XML export as catchment descriptor file, and " +
                       std::string(file_name) + " is not one");
  }
  const std::optional<DepthGrid>& g = x->grid(model, c.grid_kind);
  if (!g) {
    console::stop_with("ERROR - catchment descriptor file " + std::string(file_name) + " has no " +
                       std::string(grid_element_name(model, c.grid_kind)) + " (needed by " + what +
                       " with point = " + std::to_string(p.point_rainfall) + ")");
  }
  const std::string name = "the " + std::string(ddf_model_name(model)) + " " +
                           std::string(grid_kind_name(c.grid_kind)) + " depth grid of " +
                           std::string(file_name);
  check_grid_range(*g, name, setup.return_periods, setup.durations);
  c.grid = *g;
}

}  // namespace sitedrain::rainfall
