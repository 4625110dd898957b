#ifndef ROOTWEAVER_FILE_TFILE_H
#define ROOTWEAVER_FILE_TFILE_H

#include <cstdio>
#include <string>

// A file on disk read through one standard I/O stream, which the object owns:
// the destructor closes it. tTextFile and tBinaryFile are the two kinds; every
// failure is a return value (a closed file reads nothing and reports end of
// file).
class tFile {
 public:
  ~tFile();
  tFile(const tFile&) = delete;
  tFile& operator=(const tFile&) = delete;

  // Closes any open stream first; false, leaving the file closed, when fopen
  // refuses.
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return file_ != nullptr; }
  // True when closed, or once a read has met the end of the file or failed,
  // so loops guarded by eof() always end.
  bool eof();

 protected:
  tFile() = default;
  // The open stream, or null.
  std::FILE* getStream() const { return file_; }

 private:
  std::FILE* file_ = nullptr;  // the open stream; null when closed
};

#endif
