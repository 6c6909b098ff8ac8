#include "textio/text_file.h"

#include <utility>

#include "textio/console.h"

namespace sitedrain::textio {

std::string read_whole_file(std::FILE* f, const std::string& file_name) {
  std::string text;
  char buf[4096];
  std::size_t n;
  while (text.size() <= kMaxLineLength && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
    text.append(buf, n);
  std::fclose(f);
  if (text.size() > kMaxLineLength)
    console::stop_with("ERROR reading file " + file_name + ": it is longer than " +
                       std::to_string(kMaxLineLength) + " bytes");
  return text;
}

std::string padded_file_name(std::string_view name) {
  std::string s(name);
  if (s.size() < 150) s.resize(150, ' ');
  return s;
}

bool LineReader::open(const std::string& name) {
  close();
  name_ = name;
  line_number_ = 0;
  f_ = std::fopen(name.c_str(), "rb");
  return f_ != nullptr;
}

void LineReader::open_text(std::string text, const std::string& name) {
  close();
  name_ = name;
  line_number_ = 0;
  text_ = std::move(text);
  pos_ = 0;
  in_memory_ = true;
}

void LineReader::close() {
  if (f_) std::fclose(f_);
  f_ = nullptr;
  in_memory_ = false;
  text_.clear();
  pos_ = 0;
}

namespace {

[[noreturn]] void line_too_long(const std::string& name, int line_number) {
  console::stop_with("ERROR reading file " + name + ", line " + std::to_string(line_number) +
                     ": the line is longer than " + std::to_string(kMaxLineLength) + " characters");
}

}  // namespace

bool LineReader::next(std::string& line) {
  line.clear();
  // Room for the line and its CR; anything longer is refused unread.
  constexpr std::size_t kKept = kMaxLineLength + 1;
  if (in_memory_) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = text_.size();
    if (end - pos_ > kKept) line_too_long(name_, line_number_ + 1);
    line.assign(text_, pos_, end - pos_);
    pos_ = end + 1;
  } else {
    if (!f_) return false;
    int c = std::fgetc(f_);
    if (c == EOF) return false;
    while (c != EOF && c != '\n') {
      if (line.size() == kKept) line_too_long(name_, line_number_ + 1);
      line.push_back(static_cast<char>(c));
      c = std::fgetc(f_);
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > kMaxLineLength) line_too_long(name_, line_number_ + 1);
  ++line_number_;
  return true;
}

namespace {

std::size_t file_write(std::FILE* f, const std::string&, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), f);
}

OutFile::WriteFunction write_function = file_write;

}  // namespace

void OutFile::set_write_function(WriteFunction f) {
  write_function = f ? f : file_write;
}

bool OutFile::open(const std::string& name) {
  close();
  name_ = name;
  failed_ = false;
  f_ = std::fopen(name.c_str(), "wb");
  if (f_) std::setvbuf(f_, nullptr, _IOFBF, 1 << 16);
  return f_ != nullptr;
}

bool OutFile::close() {
  if (!f_) return true;
  bool ok = !failed_ && std::ferror(f_) == 0;
  ok = std::fclose(f_) == 0 && ok;
  f_ = nullptr;
  return ok;
}

void OutFile::put(std::string_view bytes) {
  if (write_function(f_, name_, bytes) != bytes.size()) failed_ = true;
}

void OutFile::line(std::string_view text) {
  if (!f_) return;
  put(text);
  put("\n");
}

void OutFile::write(std::string_view text) {
  if (f_) put(text);
}

}  // namespace sitedrain::textio
