#include "control/control_file.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <variant>
#include <vector>

#include "control/file_identity.h"
#include "textio/console.h"
#include "textio/fixed_field.h"
#include "textio/stop.h"
#include "textio/text_file.h"

namespace sitedrain::control {

namespace {

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string_view rtrim(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool is_name_start(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool is_name_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// One value of a list: a text, an integer, or nothing (a null value).
struct Text {
  std::string s;
};
struct Whole {
  long long v;
};
struct Null {};
using Value = std::variant<Text, Whole, Null>;

class NamelistParser {
 public:
  NamelistParser(std::string_view text, std::string_view file) : t_(text), file_(file) {}

  ControlItems parse() {
    find_group();
    for (;;) {
      skip_separators();
      if (at_end()) fail("the group has no closing \"/\"");
      char c = t_[p_];
      if (c == '/') break;
      if (c == '&' || c == '$') {  // "&END" closes the group in the old form
        std::size_t q = p_ + 1;
        std::string word;
        while (q < t_.size() && is_name_char(t_[q])) word.push_back(t_[q++]);
        if (upper(word) == "END") break;
        fail("unexpected \"" + std::string(1, c) + "\"");
      }
      assignment();
    }
    return items_;
  }

 private:
  std::string_view t_;
  std::string_view file_;
  std::size_t p_ = 0;
  ControlItems items_;

  bool at_end() const { return p_ >= t_.size(); }

  int line_at(std::size_t pos) const {
    int line = 1;
    for (std::size_t i = 0; i < pos && i < t_.size(); ++i)
      if (t_[i] == '\n') ++line;
    return line;
  }

  [[noreturn]] void fail(const std::string& why) const { fail_at(p_, why); }
  [[noreturn]] void fail_at(std::size_t pos, const std::string& why) const {
    std::string msg = "ERROR in namelist file ";
    msg += file_;
    msg += ", line " + std::to_string(line_at(pos)) + ": " + why;
    console::stop_with(msg);
  }

  void find_group() {
    for (std::size_t i = 0; i < t_.size(); ++i) {
      if (t_[i] != '&') continue;
      std::size_t q = i + 1;
      std::string word;
      while (q < t_.size() && is_name_char(t_[q])) word.push_back(t_[q++]);
      if (upper(word) == "IFILES" && (q == t_.size() || !is_name_char(t_[q]))) {
        p_ = q;
        return;
      }
    }
    std::string msg = "ERROR in namelist file ";
    msg += file_;
    msg += ": group &IFILES not found";
    console::stop_with(msg);
  }

  void skip_blanks() {
    while (!at_end()) {
      char c = t_[p_];
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        ++p_;
      } else if (c == '!') {
        while (!at_end() && t_[p_] != '\n') ++p_;
      } else {
        break;
      }
    }
  }

  void skip_separators() {
    for (;;) {
      skip_blanks();
      if (!at_end() && t_[p_] == ',') {
        ++p_;
        continue;
      }
      break;
    }
  }

  // True when the text at p_ is an item name followed by "=" (or an index).
  bool looks_like_assignment() const {
    std::size_t q = p_;
    if (q >= t_.size() || !is_name_start(t_[q])) return false;
    while (q < t_.size() && is_name_char(t_[q])) ++q;
    while (q < t_.size() && (t_[q] == ' ' || t_[q] == '\t')) ++q;
    return q < t_.size() && (t_[q] == '=' || t_[q] == '(');
  }

  void assignment() {
    std::size_t start = p_;
    if (!is_name_start(t_[p_])) fail("an item name is expected");
    std::string name;
    while (!at_end() && is_name_char(t_[p_])) name.push_back(t_[p_++]);
    name = upper(name);
    skip_blanks();
    std::optional<long long> index;
    if (!at_end() && t_[p_] == '(') {
      ++p_;
      skip_blanks();
      std::string digits;
      while (!at_end() && std::isdigit(static_cast<unsigned char>(t_[p_])))
        digits.push_back(t_[p_++]);
      skip_blanks();
      if (digits.empty() || digits.size() > 9 || at_end() || t_[p_] != ')')
        fail("bad index for " + name);
      ++p_;
      index = std::stoll(digits);
      skip_blanks();
    }
    if (at_end() || t_[p_] != '=') fail("\"=\" expected after " + name);
    ++p_;
    std::vector<Value> values = value_list();
    store(name, index, values, start);
  }

  std::vector<Value> value_list() {
    std::vector<Value> values;
    bool expect = true;
    for (;;) {
      skip_blanks();
      if (at_end() || t_[p_] == '/' || t_[p_] == '&' || t_[p_] == '$') break;
      if (t_[p_] == ',') {
        if (expect) values.emplace_back(Null{});
        expect = true;
        ++p_;
        continue;
      }
      if (looks_like_assignment()) break;
      one_value(values);
      expect = false;
    }
    return values;
  }

  std::string quoted() {
    char q = t_[p_++];
    std::string s;
    for (;;) {
      if (at_end()) fail("a text has no closing quote");
      char c = t_[p_++];
      if (c == q) {
        if (!at_end() && t_[p_] == q) {
          s.push_back(q);
          ++p_;
          continue;
        }
        break;
      }
      if (c == '\n' || c == '\r') continue;  // a text may go on in the next line
      s.push_back(c);
    }
    return s;
  }

  static bool is_separator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == '/' || c == '!';
  }

  void one_value(std::vector<Value>& values) {
    std::size_t start = p_;
    long long repeat = 1;
    // r*value: a repeat count before "*"
    {
      std::size_t q = p_;
      std::string digits;
      while (q < t_.size() && std::isdigit(static_cast<unsigned char>(t_[q])))
        digits.push_back(t_[q++]);
      if (!digits.empty() && q < t_.size() && t_[q] == '*') {
        if (digits.size() > 6) fail("repeat count too large");
        repeat = std::stoll(digits);
        if (repeat < 1) fail("repeat count must be at least 1");
        p_ = q + 1;
        if (at_end() || is_separator(t_[p_])) {  // r* alone: r null values
          for (long long i = 0; i < repeat; ++i) values.emplace_back(Null{});
          return;
        }
      }
    }
    Value v;
    char c = t_[p_];
    if (c == '\'' || c == '"') {
      v = Text{quoted()};
    } else {
      std::string token;
      while (!at_end() && !is_separator(t_[p_])) token.push_back(t_[p_++]);
      std::size_t i = 0;
      if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
      bool digits = i < token.size();
      for (std::size_t k = i; k < token.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(token[k]))) digits = false;
      if (!digits || token.size() > 11)
        fail_at(start, "bad value \"" + textio::printable(token) + "\" (texts must be in quotes)");
      v = Whole{std::stoll(token)};
    }
    if (!at_end() && !is_separator(t_[p_])) fail("a separator is expected after a value");
    for (long long i = 0; i < repeat; ++i) values.push_back(v);
  }

  template <std::size_t N>
  void store_texts(std::array<std::optional<std::string>, N>& arr, const std::string& name,
                   std::optional<long long> index, const std::vector<Value>& values,
                   std::size_t pos) {
    long long first = index.value_or(1);
    if (first < 1 || first > static_cast<long long>(N))
      fail_at(pos, "index of " + name + " must be 1 to " + std::to_string(N));
    long long k = first;
    for (const Value& v : values) {
      if (k > static_cast<long long>(N))
        fail_at(pos, "more than " + std::to_string(N) + " values for " + name);
      if (const Text* t = std::get_if<Text>(&v)) {
        arr[static_cast<std::size_t>(k - 1)] = t->s;
      } else if (std::holds_alternative<Whole>(v)) {
        fail_at(pos, "the values of " + name + " are texts in quotes");
      }
      ++k;
    }
  }

  // DDFMODEL: one text naming the depth-duration-frequency model.
  void store_model(std::optional<long long> index, const std::vector<Value>& values,
                   std::size_t pos) {
    if ((index && *index != 1) || values.size() > 1) fail_at(pos, "DDFMODEL has a single value");
    if (values.empty() || std::holds_alternative<Null>(values[0])) return;
    const Text* t = std::get_if<Text>(&values[0]);
    std::string model = t ? upper(rtrim(t->s)) : std::string();
    while (!model.empty() && model.front() == ' ') model.erase(0, 1);
    for (rainfall::DdfModel m :
         {rainfall::DdfModel::FEH99, rainfall::DdfModel::FEH13, rainfall::DdfModel::FEH22}) {
      if (t && model == rainfall::ddf_model_name(m)) {
        items_.ddfmodel = m;
        return;
      }
    }
    const std::string given = t ? "'" + t->s + "'" : std::to_string(std::get<Whole>(values[0]).v);
    fail_at(pos, "DDFMODEL is " + given + "; it must be 'FEH99', 'FEH13' or 'FEH22'");
  }

  void store(const std::string& name, std::optional<long long> index,
             const std::vector<Value>& values, std::size_t pos) {
    if (name == "IPATH") return store_texts(items_.ipath, name, index, values, pos);
    if (name == "OPATH") return store_texts(items_.opath, name, index, values, pos);
    if (name == "IFILENAME") return store_texts(items_.ifilename, name, index, values, pos);
    if (name == "OFILENAME") return store_texts(items_.ofilename, name, index, values, pos);
    if (name == "NUMLINE") {
      if (index && *index != 1) fail_at(pos, "NUMLINE has a single value");
      if (values.size() > 1) fail_at(pos, "NUMLINE has a single value");
      if (values.empty()) return;
      if (const Whole* w = std::get_if<Whole>(&values[0])) {
        if (w->v < -2147483647LL || w->v > 2147483647LL) fail_at(pos, "NUMLINE is too large");
        items_.numline = static_cast<int>(w->v);
      } else if (std::holds_alternative<Text>(values[0])) {
        fail_at(pos, "NUMLINE must be a whole number");
      }
      return;
    }
    if (name == "DDFMODEL") return store_model(index, values, pos);
    fail_at(pos, "unknown item " + name);
  }
};

}  // namespace

ControlItems parse_control(std::string_view text, std::string_view file_name) {
  return NamelistParser(text, file_name).parse();
}

namespace {

std::string_view first_150(std::string_view s) {
  return s.substr(0, std::min(s.size(), kNameLength));
}

// The joins without the final cut at 150 characters.
std::string whole_join(std::string_view path, std::string_view name) {
  std::string s(rtrim(first_150(path)));
  s += rtrim(first_150(name));
  return s;
}

std::string whole_rebuild(std::string_view path, std::string_view name) {
  name = first_150(name);
  std::size_t dot = name.find('.');
  if (dot == std::string_view::npos) return whole_join(path, name);
  std::string_view before = name.substr(0, dot);
  std::string_view from = name.substr(dot);
  std::string s(rtrim(first_150(path)));
  s += rtrim(before.substr(0, std::min<std::size_t>(before.size(), 35)));
  s += rtrim(from.substr(0, std::min<std::size_t>(from.size(), 35)));
  return s;
}

std::string cut_150(std::string s) {
  if (s.size() > kNameLength) s.resize(kNameLength);
  return s;
}

[[noreturn]] void namelist_error(std::string_view file_name, const std::string& what) {
  std::string msg = "ERROR in namelist file ";
  msg += file_name;
  msg += ": " + what;
  console::stop_with(msg);
}

std::string item(std::string_view name, int j) {
  return std::string(name) + "(" + std::to_string(j) + ")";
}

// A name element holding a NUL or another control character stops the run
// (the NUL would cut the name where the file system reads it).
void check_characters(const std::optional<std::string>& element, const std::string& what,
                      std::string_view file_name) {
  if (!element) return;
  for (char ch : *element) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32 || c == 127)
      namelist_error(file_name,
                     what + " holds a control character: \"" + textio::printable(*element) + "\"");
  }
}

}  // namespace

std::string join_name(std::string_view path, std::string_view name) {
  return cut_150(whole_join(path, name));
}

std::string rebuild_name(std::string_view path, std::string_view name) {
  return cut_150(whole_rebuild(path, name));
}

std::string site_location(std::string_view name) {
  std::size_t first = name.find('_');
  if (first == std::string_view::npos) return {};
  std::string_view after = name.substr(first + 1, 35);
  std::size_t second = after.find('_');
  if (second == std::string_view::npos) return {};
  return std::string(after.substr(0, second));
}

RunFiles resolve_files(const ControlItems& items, std::string_view file_name) {
  auto missing = [&](const std::string& what) {
    namelist_error(file_name, what + " is not assigned");
  };
  for (int j = 0; j < 2; ++j) {
    check_characters(items.ipath[j], item("IPATH", j + 1), file_name);
    check_characters(items.ifilename[j], item("IFILENAME", j + 1), file_name);
  }
  for (int j = 0; j < 8; ++j) {
    check_characters(items.opath[j], item("OPATH", j + 1), file_name);
    check_characters(items.ofilename[j], item("OFILENAME", j + 1), file_name);
  }
  RunFiles files;
  for (int j = 0; j < 2; ++j) {
    if (!items.ifilename[j]) missing(item("IFILENAME", j + 1));
    files.input[j] = join_name(items.ipath[j].value_or(""), *items.ifilename[j]);
  }
  for (int j = 0; j < 8; ++j) {
    if (!items.ofilename[j]) missing(item("OFILENAME", j + 1));
    files.opath[j] = items.opath[j].value_or("");
    files.ofilename[j] = *items.ofilename[j];
    files.output[j] = join_name(files.opath[j], files.ofilename[j]);
  }
  if (!items.numline) missing("NUMLINE");
  if (*items.numline < 1) namelist_error(file_name, "NUMLINE must be at least 1");
  files.numline = *items.numline;
  files.ddf_model = items.ddfmodel.value_or(rainfall::DdfModel::FEH99);
  files.location = site_location(first_150(*items.ifilename[1]));
  return files;
}

std::array<std::string, 8> output_names(const RunFiles& files, int season,
                                        std::string_view file_name,
                                        std::span<const CommandLineOutput> more) {
  std::array<std::string, 8> names;
  for (int j = 1; j <= 8; ++j) {
    const std::size_t e = static_cast<std::size_t>(j - 1);
    const std::string_view path = files.opath[e], name = files.ofilename[e];
    const std::string whole = std::string(rtrim(path)) + std::string(rtrim(name));
    std::string used = (j == 1 || j == season) ? whole_rebuild(path, name) : whole_join(path, name);
    // A name element longer than its 150 characters is cut before any join.
    if (rtrim(path).size() > kNameLength || rtrim(name).size() > kNameLength) used = whole;
    if (used.size() > kNameLength)
      namelist_error(file_name, item("OPATH", j) + " and " + item("OFILENAME", j) +
                                    " give a name of " + std::to_string(used.size()) +
                                    " characters, more than " + std::to_string(kNameLength) + ": " +
                                    used);
    names[e] = used;
  }
  // Two items that are one regular file would mix or lose their contents;
  // the control file is an input like the others.
  struct Named {
    std::string item, name;
    FileIdentity id;
    bool option;  // named on the command line
  };
  std::vector<Named> all;
  const std::string control(file_name);
  all.push_back({"the namelist file", control, FileIdentity(control), false});
  for (int j = 1; j <= 2; ++j) {
    const std::string& n = files.input[static_cast<std::size_t>(j - 1)];
    all.push_back({item("IFILENAME", j), n, FileIdentity(n), false});
  }
  const std::size_t first_output = all.size();
  for (int j = 1; j <= 8; ++j) {
    const std::string& n = names[static_cast<std::size_t>(j - 1)];
    all.push_back({item("OFILENAME", j), n, FileIdentity(n), false});
  }
  for (const CommandLineOutput& o : more)
    all.push_back({o.option, o.name, FileIdentity(o.name), true});
  for (std::size_t b = first_output; b < all.size(); ++b)
    for (std::size_t a = 0; a < b; ++a) {
      if (!all[a].id.same(all[b].id)) continue;
      const std::string both = all[a].item + " (" + all[a].name + ") and " + all[b].item + " (" +
                               all[b].name + ") name the same file";
      if (all[b].option) throw OutputClash{both};
      namelist_error(file_name, both);
    }
  return names;
}

RunFiles read_control_file(const std::string& file_name) {
  std::FILE* f = std::fopen(file_name.c_str(), "rb");
  if (!f) {
    const int error = errno;
    console::line("ERROR opening namelist file" + file_name);
    // A second line, on standard error, for someone who started the program
    // in the wrong folder, or who has no case yet.
    console::flush();
    std::error_code ec;
    const std::string folder = std::filesystem::current_path(ec).string();
    std::fprintf(stderr,
                 "sitedrain: cannot open %s in the folder '%s' (%s); `sitedrain new DIR` "
                 "writes a case, see sitedrain --help\n",
                 textio::printable(file_name).c_str(), textio::printable(folder).c_str(),
                 std::strerror(error));
    stop(1);
  }
  const std::string text = textio::read_whole_file(f, file_name);
  return resolve_files(parse_control(text, file_name), file_name);
}

}  // namespace sitedrain::control
