#ifndef ROOTWEAVER_TESTS_FILE_TFILETESTSUPPORT_H
#define ROOTWEAVER_TESTS_FILE_TFILETESTSUPPORT_H

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A fresh directory under /tmp, removed with its contents at the end.
class tScratchDirectory {
 public:
  tScratchDirectory() {
    char name[] = "/tmp/rootweaver_file_XXXXXX";
    path_ = mkdtemp(name) ? std::string(name) + "/" : std::string();
  }
  ~tScratchDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  tScratchDirectory(const tScratchDirectory&) = delete;
  tScratchDirectory& operator=(const tScratchDirectory&) = delete;

  // A path inside the directory; empty when mkdtemp failed.
  std::string operator/(const std::string& name) const { return path_ + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;  // the directory, with "/" appended
};

inline void writeRaw(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string readRaw(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::size_t countOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

inline bool pathExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

#endif
