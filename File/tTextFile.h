#ifndef ROOTWEAVER_FILE_TTEXTFILE_H
#define ROOTWEAVER_FILE_TTEXTFILE_H

#include <string>

#include "File/tFile.h"

// A file read and written as text: values go through printf and scanf
// conversions, lines end in LF, CR or both.
class tTextFile : public tFile {
 public:
  tTextFile();
  tTextFile(const std::string& path, TFILE_MODE mode);

  // Reads up to the delimiter, a line end or the end of the file; the stopping
  // character is not returned. With skipRepeats, every delimiter and line end
  // that follows is swallowed too. Without it, a delimiter that stopped the
  // read stays to be read next, while a line end is consumed.
  std::string readUntil(char delimiter, bool skipRepeats);
  // The text up to the next line end; the line ends and empty lines after it
  // are swallowed.
  std::string readLine();
  // Skips spaces, tabs and line ends.
  void skipSpace();

  // A double as writing it puts it in the file (%lf: six digits after the
  // point), for text that is put together before it is written.
  static std::string format(double value);
};

// Writing uses the printf conversions %d %hd %ld %u %hu %lu %f %lf %Lf %c %s.
tTextFile& operator<<(tTextFile& file, int value);
tTextFile& operator<<(tTextFile& file, short value);
tTextFile& operator<<(tTextFile& file, long value);
tTextFile& operator<<(tTextFile& file, unsigned int value);
tTextFile& operator<<(tTextFile& file, unsigned short value);
tTextFile& operator<<(tTextFile& file, unsigned long value);
tTextFile& operator<<(tTextFile& file, float value);
tTextFile& operator<<(tTextFile& file, double value);
tTextFile& operator<<(tTextFile& file, long double value);
tTextFile& operator<<(tTextFile& file, bool value);
tTextFile& operator<<(tTextFile& file, char value);
tTextFile& operator<<(tTextFile& file, unsigned char value);
tTextFile& operator<<(tTextFile& file, const char* value);
tTextFile& operator<<(tTextFile& file, const std::string& value);
tTextFile& operator<<(tTextFile& file, tFile& (*manipulator)(tFile&));

// Reading uses the matching scanf conversions (%g for float, %c for the two
// characters); a value that cannot be read is left unchanged. A string read
// takes one whitespace-delimited word of at most getMaxStringLength() - 1
// characters, leaving the rest of a longer word for the next read; at the end
// of the file it gives the empty string.
tTextFile& operator>>(tTextFile& file, int& value);
tTextFile& operator>>(tTextFile& file, short& value);
tTextFile& operator>>(tTextFile& file, long& value);
tTextFile& operator>>(tTextFile& file, unsigned int& value);
tTextFile& operator>>(tTextFile& file, unsigned short& value);
tTextFile& operator>>(tTextFile& file, unsigned long& value);
tTextFile& operator>>(tTextFile& file, float& value);
tTextFile& operator>>(tTextFile& file, double& value);
tTextFile& operator>>(tTextFile& file, long double& value);
tTextFile& operator>>(tTextFile& file, bool& value);
tTextFile& operator>>(tTextFile& file, char& value);
tTextFile& operator>>(tTextFile& file, unsigned char& value);
tTextFile& operator>>(tTextFile& file, std::string& value);

#endif
