#ifndef ROOTWEAVER_FILE_TFILE_H
#define ROOTWEAVER_FILE_TFILE_H

#include <cstdio>
#include <string>

// How a file is opened; each value stands for one fopen mode string.
enum TFILE_MODE {
  TFILE_MODE_NONE = 0,
  TFILE_READ,
  TFILE_WRITE,
  TFILE_APPEND,
  TFILE_READ_UPDATE,
  TFILE_WRITE_UPDATE,
  TFILE_APPEND_UPDATE
};

// Byte order of multi-byte values in a binary file.
enum TFILE_ENDIANNESS { TFILE_BIG_ENDIAN = 0, TFILE_LITTLE_ENDIAN = 1 };

// A file on disk seen through one standard I/O stream, which the object owns:
// the destructor closes it, and a copy of an open file opens a second stream
// of its own on the same path. tTextFile and tBinaryFile are the two kinds;
// typed values go in and out through the stream operators declared beside
// them, and every failure is a return value (a closed file reads nothing and
// reports end of file).
//
// Reopening a path that was opened to be written from scratch (a rename, or a
// copy of the open file) must not wipe what was written: such a file is
// reopened for update and positioned at its end instead of being truncated.
class tFile {
 public:
  ~tFile();

  // Closes any open stream first. Fails, leaving the file closed, when the
  // mode is not one of the six real modes or fopen refuses.
  bool open(const std::string& path, TFILE_MODE mode);
  bool close();
  bool isOpen() const;
  // True when closed, or once a read has met the end of the file or failed,
  // so loops guarded by eof() always end.
  bool eof();
  // Closes the file and deletes it from the disk.
  bool remove();
  // Moves an open file to a new path and reopens it there with its mode.
  bool rename(const std::string& newPath);

  const std::string& getFilename() const { return filename_; }
  TFILE_MODE getMode() const { return mode_; }
  int getMaxStringLength() const { return maxStringLength_; }
  // The open stream, or null; for the stream operators and manipulators.
  std::FILE* getStream() const { return file_; }

  static TFILE_ENDIANNESS getSystemEndianness();
  // fopen mode string of a mode for a text or binary file; empty when the
  // mode has none.
  static std::string getModeString(TFILE_MODE mode, bool binary);

 protected:
  explicit tFile(int binary);
  tFile(const tFile& other);
  tFile& operator=(const tFile& other);

 private:
  // Opens path for a rename or a copy without truncating it.
  bool reopen(const std::string& path, TFILE_MODE mode);
  void copyFrom(const tFile& other);

  std::FILE* file_;         // the open stream; null when closed
  int maxStringLength_;     // longest string a string read takes, with its terminating zero
  std::string filename_;    // path of the open file; empty when closed
  TFILE_MODE mode_;         // mode of the open file; TFILE_MODE_NONE when closed
  int binary_;              // 1 for a binary file, 0 for a text file
};

// Manipulators: `file << endl` writes a line feed, `file << tab` a tab. They
// live in the global namespace and are overloads of their own, so code that
// also sees std::endl still resolves each use by the stream's type.
tFile& endl(tFile& file);
tFile& tab(tFile& file);

#endif
