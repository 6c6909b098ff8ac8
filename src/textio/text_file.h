// Text files: a line reader that accepts LF and CR LF line ends, and an
// output file written line by line.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace sitedrain::textio {

// Anything that takes whole lines: an output file, or a buffer that keeps
// them for later.
class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void line(std::string_view text) = 0;
};

// The longest line an input file may hold (1 MiB, line end not counted): no
// record needs more than a few dozen characters, and a special file given by
// mistake (/dev/zero) must not fill the memory.
inline constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;

// In: a file opened for reading and its name.  Out: its whole text, read at
// most one byte beyond kMaxLineLength (a special file given by mistake must
// not fill the memory); the file is closed.  A longer file stops the run
// with "ERROR reading file NAME: it is longer than 1048576 bytes".
std::string read_whole_file(std::FILE* f, const std::string& file_name);

// A file name as the messages show it: padded with blanks to 150 characters.
std::string padded_file_name(std::string_view name);

class LineReader {
 public:
  LineReader() = default;
  explicit LineReader(const std::string& name) { open(name); }
  ~LineReader() { close(); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool open(const std::string& name);
  // Reads the lines of a text held in memory; name is the one messages show.
  void open_text(std::string text, const std::string& name);
  bool is_open() const { return f_ != nullptr || in_memory_; }
  void close();

  // Reads the next line without its line end; false at end of file.  A line
  // longer than kMaxLineLength stops the run with a message naming the file
  // and the line.
  bool next(std::string& line);
  // Number of the line last read (from 1).
  int line_number() const { return line_number_; }
  const std::string& name() const { return name_; }

 private:
  std::FILE* f_ = nullptr;
  std::string name_;
  int line_number_ = 0;
  bool in_memory_ = false;
  std::string text_;
  std::size_t pos_ = 0;
};

class OutFile : public LineSink {
 public:
  OutFile() = default;
  ~OutFile() { close(); }
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  // Creates (or overwrites) the file; false when it cannot be opened.
  bool open(const std::string& name);
  bool is_open() const { return f_ != nullptr; }
  // Flushes and closes; false when any of the data could not be written,
  // also when the failure was in an earlier write and later ones succeeded.
  bool close();

  void line(std::string_view text) override;
  void write(std::string_view text);
  const std::string& name() const { return name_; }

  // Test seam: the function every output file hands its bytes to (by
  // default std::fwrite on the file); it returns the bytes written.  A test
  // replaces it to make one chosen write fail; nullptr restores the default.
  using WriteFunction = std::size_t (*)(std::FILE* file, const std::string& name,
                                        std::string_view bytes);
  static void set_write_function(WriteFunction f);

 private:
  void put(std::string_view bytes);

  std::FILE* f_ = nullptr;
  std::string name_;
  bool failed_ = false;  // a write came short
};

}  // namespace sitedrain::textio
