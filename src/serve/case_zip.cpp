#include "serve/case_zip.h"

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace sitedrain::serve {

namespace fs = std::filesystem;

namespace {

std::string read_whole(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + p.string());
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::runtime_error zip_failure(zip_error_t* error) {
  return std::runtime_error(std::string("cannot make the zip archive: ") +
                            zip_error_strerror(error));
}

}  // namespace

std::string zip_case_folder(const fs::path& case_dir, const std::string& name) {
  std::vector<fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(case_dir))
    if (e.is_regular_file() && !e.is_symlink()) files.push_back(e.path());
  std::sort(files.begin(), files.end());

  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (!buffer) throw zip_failure(&error);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  if (!archive) {
    zip_source_free(buffer);
    throw zip_failure(&error);
  }
  zip_source_keep(buffer);  // read back after zip_close
  auto discard = [&] {
    zip_discard(archive);
    zip_source_free(buffer);
  };
  for (const fs::path& f : files) {
    std::string data;
    try {
      data = read_whole(f);
    } catch (...) {
      discard();
      throw;
    }
    // The archive frees the copy (an empty file needs none: libzip does not
    // free a buffer of length 0).
    void* copy = nullptr;
    if (!data.empty()) {
      copy = std::malloc(data.size());
      if (!copy) {
        discard();
        throw std::bad_alloc();
      }
      std::memcpy(copy, data.data(), data.size());
    }
    zip_source_t* source = zip_source_buffer(archive, copy, data.size(), copy ? 1 : 0);
    const std::string entry = name + "/" + fs::relative(f, case_dir).generic_string();
    if (!source || zip_file_add(archive, entry.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
      if (source)
        zip_source_free(source);
      else
        std::free(copy);
      discard();
      throw std::runtime_error("cannot add " + entry + " to the zip archive");
    }
  }
  if (zip_close(archive) < 0) {
    zip_error_t* e = zip_get_error(archive);
    const std::runtime_error failure = zip_failure(e);
    discard();
    throw failure;
  }
  zip_stat_t stat;
  std::string bytes;
  if (zip_source_open(buffer) < 0 || zip_source_stat(buffer, &stat) < 0) {
    zip_source_free(buffer);
    throw std::runtime_error("cannot read back the zip archive");
  }
  bytes.resize(static_cast<std::size_t>(stat.size));
  const zip_int64_t n = zip_source_read(buffer, bytes.data(), stat.size);
  zip_source_close(buffer);
  zip_source_free(buffer);
  if (n < 0 || static_cast<zip_uint64_t>(n) != stat.size)
    throw std::runtime_error("cannot read back the zip archive");
  return bytes;
}

}  // namespace sitedrain::serve
