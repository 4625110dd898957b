#ifndef ROOTWEAVER_FILE_TBINARYFILE_H
#define ROOTWEAVER_FILE_TBINARYFILE_H

#include <string>

#include "File/tFile.h"

// A file of raw bytes whose multi-byte values stand in a fixed byte order,
// reversed on the way in and out when it is not the host's.
class tBinaryFile : public tFile {
 public:
  tBinaryFile();
  tBinaryFile(const std::string& path, TFILE_MODE mode,
              TFILE_ENDIANNESS endianness = TFILE_LITTLE_ENDIAN);

  // open(path, mode) keeps the file's byte order.
  using tFile::open;
  bool open(const std::string& path, TFILE_MODE mode, TFILE_ENDIANNESS endianness);

  // 1 when all count bytes were read as one block, 0 otherwise.
  int readBytes(void* buffer, int count);
  // Writes count bytes with one fwrite; true when all were written.
  bool writeBytes(const void* buffer, int count);

  TFILE_ENDIANNESS getEndianness() const { return endianness_; }
  // Whether values must be reversed between memory and disk.
  bool needsReversal() const { return endianness_ != getSystemEndianness(); }

  static void reverseBytes(void* bytes, unsigned long count);

 private:
  TFILE_ENDIANNESS endianness_;  // byte order of the file's contents
};

// Sizes on disk: int, long, unsigned int, unsigned long and float 4 bytes;
// short and unsigned short 2; double 8; long double 16 (the x87 value padded
// with zeros); bool, char and unsigned char 1. Strings and character arrays
// are written with a terminating zero byte.
tBinaryFile& operator<<(tBinaryFile& file, int value);
tBinaryFile& operator<<(tBinaryFile& file, short value);
tBinaryFile& operator<<(tBinaryFile& file, long value);
tBinaryFile& operator<<(tBinaryFile& file, unsigned int value);
tBinaryFile& operator<<(tBinaryFile& file, unsigned short value);
tBinaryFile& operator<<(tBinaryFile& file, unsigned long value);
tBinaryFile& operator<<(tBinaryFile& file, float value);
tBinaryFile& operator<<(tBinaryFile& file, double value);
tBinaryFile& operator<<(tBinaryFile& file, long double value);
tBinaryFile& operator<<(tBinaryFile& file, bool value);
tBinaryFile& operator<<(tBinaryFile& file, char value);
tBinaryFile& operator<<(tBinaryFile& file, unsigned char value);
tBinaryFile& operator<<(tBinaryFile& file, const char* value);
tBinaryFile& operator<<(tBinaryFile& file, const std::string& value);
tBinaryFile& operator<<(tBinaryFile& file, tFile& (*manipulator)(tFile&));

// A value that cannot be read whole is left unchanged. A string read empties
// the string, then takes bytes until a space, line feed, tab or zero byte
// (left in the stream to be read next), the end of the file, or
// getMaxStringLength() - 1 bytes.
tBinaryFile& operator>>(tBinaryFile& file, int& value);
tBinaryFile& operator>>(tBinaryFile& file, short& value);
tBinaryFile& operator>>(tBinaryFile& file, long& value);
tBinaryFile& operator>>(tBinaryFile& file, unsigned int& value);
tBinaryFile& operator>>(tBinaryFile& file, unsigned short& value);
tBinaryFile& operator>>(tBinaryFile& file, unsigned long& value);
tBinaryFile& operator>>(tBinaryFile& file, float& value);
tBinaryFile& operator>>(tBinaryFile& file, double& value);
tBinaryFile& operator>>(tBinaryFile& file, long double& value);
tBinaryFile& operator>>(tBinaryFile& file, bool& value);
tBinaryFile& operator>>(tBinaryFile& file, char& value);
tBinaryFile& operator>>(tBinaryFile& file, unsigned char& value);
tBinaryFile& operator>>(tBinaryFile& file, std::string& value);

#endif
