#include "textio/text_file.h"

#include <utility>

namespace sitedrain::textio {

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

bool LineReader::next(std::string& line) {
  line.clear();
  if (in_memory_) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = text_.size();
    line.assign(text_, pos_, end - pos_);
    pos_ = end + 1;
  } else {
    if (!f_) return false;
    int c = std::fgetc(f_);
    if (c == EOF) return false;
    while (c != EOF && c != '\n') {
      line.push_back(static_cast<char>(c));
      c = std::fgetc(f_);
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++line_number_;
  return true;
}

bool OutFile::open(const std::string& name) {
  close();
  name_ = name;
  f_ = std::fopen(name.c_str(), "wb");
  if (f_) std::setvbuf(f_, nullptr, _IOFBF, 1 << 16);
  return f_ != nullptr;
}

bool OutFile::close() {
  if (!f_) return true;
  bool ok = std::ferror(f_) == 0;
  ok = std::fclose(f_) == 0 && ok;
  f_ = nullptr;
  return ok;
}

void OutFile::line(std::string_view text) {
  if (!f_) return;
  std::fwrite(text.data(), 1, text.size(), f_);
  std::fputc('\n', f_);
}

void OutFile::write(std::string_view text) {
  if (f_) std::fwrite(text.data(), 1, text.size(), f_);
}

}  // namespace sitedrain::textio
