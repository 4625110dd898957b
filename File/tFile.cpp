#include "File/tFile.h"

#include <cstdint>
#include <cstring>

tFile::tFile(int binary)
    : file_(nullptr), maxStringLength_(80), mode_(TFILE_MODE_NONE), binary_(binary) {}

tFile::tFile(const tFile& other)
    : file_(nullptr), maxStringLength_(80), mode_(TFILE_MODE_NONE), binary_(other.binary_) {
  copyFrom(other);
}

tFile& tFile::operator=(const tFile& other) {
  if (this == &other) return *this;
  close();
  copyFrom(other);
  return *this;
}

tFile::~tFile() { close(); }

void tFile::copyFrom(const tFile& other) {
  // A closed source has no path and no mode to copy; reopen sets both.
  maxStringLength_ = other.maxStringLength_;
  if (!other.isOpen()) return;
  // What the source has buffered must be on disk before the second stream looks at it.
  std::fflush(other.file_);
  reopen(other.filename_, other.mode_);
}

std::string tFile::getModeString(TFILE_MODE mode, bool binary) {
  static const char* const kModes[] = {"", "r", "w", "a", "r+", "w+", "a+"};
  if (mode < TFILE_READ || mode > TFILE_APPEND_UPDATE) return "";
  return std::string(kModes[mode]) + (binary ? "b" : "t");
}

bool tFile::open(const std::string& path, TFILE_MODE mode) {
  close();
  std::string modeString = getModeString(mode, binary_ != 0);
  if (modeString.empty()) return false;
  file_ = std::fopen(path.c_str(), modeString.c_str());
  if (!file_) return false;
  filename_ = path;
  mode_ = mode;
  return true;
}

bool tFile::reopen(const std::string& path, TFILE_MODE mode) {
  if (mode != TFILE_WRITE && mode != TFILE_WRITE_UPDATE) return open(path, mode);
  close();
  file_ = std::fopen(path.c_str(), binary_ ? "r+b" : "r+t");
  if (!file_) return false;
  std::fseek(file_, 0, SEEK_END);
  filename_ = path;
  mode_ = mode;
  return true;
}

bool tFile::close() {
  if (!file_) return false;
  bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  filename_.clear();
  mode_ = TFILE_MODE_NONE;
  return closed;
}

bool tFile::isOpen() const { return file_ != nullptr; }

bool tFile::eof() {
  if (!file_) return true;
  // A stream in error (a directory opened for reading, a failing disk) never
  // reaches its end; counting the error as the end keeps read loops finite.
  return std::feof(file_) != 0 || std::ferror(file_) != 0;
}

bool tFile::remove() {
  if (!file_) return false;
  std::string path = filename_;
  close();
  return std::remove(path.c_str()) == 0;
}

bool tFile::rename(const std::string& newPath) {
  if (!file_) return false;
  TFILE_MODE mode = mode_;
  std::string oldPath = filename_;
  close();
  if (std::rename(oldPath.c_str(), newPath.c_str()) != 0) return false;
  return reopen(newPath, mode);
}

TFILE_ENDIANNESS tFile::getSystemEndianness() {
  const std::uint16_t probe = 1;
  unsigned char first = 0;
  std::memcpy(&first, &probe, 1);
  return first == 1 ? TFILE_LITTLE_ENDIAN : TFILE_BIG_ENDIAN;
}

tFile& endl(tFile& file) {
  if (file.isOpen()) std::fputc('\n', file.getStream());
  return file;
}

tFile& tab(tFile& file) {
  if (file.isOpen()) std::fputc('\t', file.getStream());
  return file;
}
