#ifndef ROOTWEAVER_FILE_TTEXTFILE_H
#define ROOTWEAVER_FILE_TTEXTFILE_H

#include <string>

#include "File/tFile.h"

// A file read as lines of text that end in LF, CR or both.
class tTextFile : public tFile {
 public:
  tTextFile() = default;
  explicit tTextFile(const std::string& path) { open(path); }

  // The text up to the next line end, zero byte or the end of the file; the
  // line ends, zero bytes and empty lines after it are swallowed.
  std::string readLine();

  // A double as %lf writes it (six digits after the point).
  static std::string format(double value);
};

#endif
