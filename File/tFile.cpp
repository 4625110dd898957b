#include "File/tFile.h"

tFile::~tFile() { close(); }

bool tFile::open(const std::string& path) {
  close();
  // Text files find their own line ends, so both kinds read the bytes as they are.
  file_ = std::fopen(path.c_str(), "rb");
  return file_ != nullptr;
}

void tFile::close() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
}

bool tFile::eof() {
  if (!file_) return true;
  // A stream in error (a directory opened for reading, a failing disk) never
  // reaches its end; counting the error as the end keeps read loops finite.
  return std::feof(file_) != 0 || std::ferror(file_) != 0;
}
