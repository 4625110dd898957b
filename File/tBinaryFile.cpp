#include "File/tBinaryFile.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

// Every value goes through its memory image: copied into a byte buffer,
// reversed when the file's byte order is not the host's, and written as one
// block (reading is the same steps backwards). Types whose memory size differs
// from their size on disk are converted first: long and unsigned long travel
// as 32-bit integers, and a long double as a 16-byte image whose padding is
// zeroed, so a file's bytes depend only on the values written.

namespace {

constexpr int kLongDoubleDiskBytes = 16;
static_assert(sizeof(long double) <= kLongDoubleDiskBytes, "long double wider than its disk image");
// Bytes of a long double that hold its value: the 80-bit x87 format fills ten
// and leaves the rest of its memory as unspecified padding.
constexpr std::size_t kLongDoubleValueBytes =
    std::numeric_limits<long double>::digits == 64 ? 10 : sizeof(long double);
static_assert(sizeof(float) == 4 && sizeof(double) == 8, "float or double of unusual size");

template <typename T>
tBinaryFile& writeValue(tBinaryFile& file, T value) {
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  if (file.needsReversal()) tBinaryFile::reverseBytes(bytes, sizeof(T));
  file.writeBytes(bytes, sizeof(T));
  return file;
}

template <typename T>
bool readValue(tBinaryFile& file, T& value) {
  unsigned char bytes[sizeof(T)];
  if (!file.readBytes(bytes, sizeof(T))) return false;
  if (file.needsReversal()) tBinaryFile::reverseBytes(bytes, sizeof(T));
  std::memcpy(&value, bytes, sizeof(T));
  return true;
}

// Reads a value of type Disk and converts it to the caller's type.
template <typename Disk, typename T>
tBinaryFile& readAs(tBinaryFile& file, T& value) {
  Disk read;
  if (readValue(file, read)) value = static_cast<T>(read);
  return file;
}

bool isStringStop(int c) { return c == ' ' || c == '\n' || c == '\t' || c == '\0'; }

}  // namespace

tBinaryFile::tBinaryFile() : tFile(1), endianness_(TFILE_LITTLE_ENDIAN) {}

tBinaryFile::tBinaryFile(const std::string& path, TFILE_MODE mode, TFILE_ENDIANNESS endianness)
    : tFile(1), endianness_(endianness) {
  tFile::open(path, mode);
}

bool tBinaryFile::open(const std::string& path, TFILE_MODE mode, TFILE_ENDIANNESS endianness) {
  endianness_ = endianness;
  return tFile::open(path, mode);
}

int tBinaryFile::readBytes(void* buffer, int count) {
  if (!isOpen() || count < 0) return 0;
  if (count == 0) return 1;
  return std::fread(buffer, static_cast<std::size_t>(count), 1, getStream()) == 1 ? 1 : 0;
}

bool tBinaryFile::writeBytes(const void* buffer, int count) {
  if (!isOpen() || count < 0) return false;
  if (count == 0) return true;
  return std::fwrite(buffer, static_cast<std::size_t>(count), 1, getStream()) == 1;
}

void tBinaryFile::reverseBytes(void* bytes, unsigned long count) {
  unsigned char* b = static_cast<unsigned char*>(bytes);
  for (unsigned long i = 0; i < count / 2; ++i) {
    unsigned char swap = b[i];
    b[i] = b[count - 1 - i];
    b[count - 1 - i] = swap;
  }
}

tBinaryFile& operator<<(tBinaryFile& file, int value) { return writeValue(file, value); }
tBinaryFile& operator<<(tBinaryFile& file, short value) { return writeValue(file, value); }
tBinaryFile& operator<<(tBinaryFile& file, long value) {
  return writeValue(file, static_cast<std::int32_t>(value));
}
tBinaryFile& operator<<(tBinaryFile& file, unsigned int value) { return writeValue(file, value); }
tBinaryFile& operator<<(tBinaryFile& file, unsigned short value) {
  return writeValue(file, value);
}
tBinaryFile& operator<<(tBinaryFile& file, unsigned long value) {
  return writeValue(file, static_cast<std::uint32_t>(value));
}
tBinaryFile& operator<<(tBinaryFile& file, float value) { return writeValue(file, value); }
tBinaryFile& operator<<(tBinaryFile& file, double value) { return writeValue(file, value); }

tBinaryFile& operator<<(tBinaryFile& file, long double value) {
  unsigned char bytes[kLongDoubleDiskBytes] = {};
  std::memcpy(bytes, &value, kLongDoubleValueBytes);
  if (file.needsReversal()) tBinaryFile::reverseBytes(bytes, kLongDoubleDiskBytes);
  file.writeBytes(bytes, kLongDoubleDiskBytes);
  return file;
}

tBinaryFile& operator<<(tBinaryFile& file, bool value) {
  return writeValue(file, static_cast<unsigned char>(value ? 1 : 0));
}
tBinaryFile& operator<<(tBinaryFile& file, char value) { return writeValue(file, value); }
tBinaryFile& operator<<(tBinaryFile& file, unsigned char value) {
  return writeValue(file, value);
}

tBinaryFile& operator<<(tBinaryFile& file, const char* value) {
  if (value) file.writeBytes(value, static_cast<int>(std::strlen(value) + 1));
  return file;
}

tBinaryFile& operator<<(tBinaryFile& file, const std::string& value) {
  file.writeBytes(value.c_str(), static_cast<int>(value.size() + 1));
  return file;
}

tBinaryFile& operator<<(tBinaryFile& file, tFile& (*manipulator)(tFile&)) {
  manipulator(file);
  return file;
}

tBinaryFile& operator>>(tBinaryFile& file, int& value) { return readAs<int>(file, value); }
tBinaryFile& operator>>(tBinaryFile& file, short& value) { return readAs<short>(file, value); }
tBinaryFile& operator>>(tBinaryFile& file, long& value) {
  return readAs<std::int32_t>(file, value);
}
tBinaryFile& operator>>(tBinaryFile& file, unsigned int& value) {
  return readAs<unsigned int>(file, value);
}
tBinaryFile& operator>>(tBinaryFile& file, unsigned short& value) {
  return readAs<unsigned short>(file, value);
}
tBinaryFile& operator>>(tBinaryFile& file, unsigned long& value) {
  return readAs<std::uint32_t>(file, value);
}
tBinaryFile& operator>>(tBinaryFile& file, float& value) { return readAs<float>(file, value); }
tBinaryFile& operator>>(tBinaryFile& file, double& value) { return readAs<double>(file, value); }

tBinaryFile& operator>>(tBinaryFile& file, long double& value) {
  unsigned char bytes[kLongDoubleDiskBytes];
  if (!file.readBytes(bytes, kLongDoubleDiskBytes)) return file;
  if (file.needsReversal()) tBinaryFile::reverseBytes(bytes, kLongDoubleDiskBytes);
  std::memcpy(&value, bytes, sizeof(long double));
  return file;
}

tBinaryFile& operator>>(tBinaryFile& file, bool& value) {
  unsigned char read;
  if (readValue(file, read)) value = read != 0;
  return file;
}

tBinaryFile& operator>>(tBinaryFile& file, char& value) { return readAs<char>(file, value); }
tBinaryFile& operator>>(tBinaryFile& file, unsigned char& value) {
  return readAs<unsigned char>(file, value);
}

tBinaryFile& operator>>(tBinaryFile& file, std::string& value) {
  value.clear();
  if (!file.isOpen()) return file;
  std::FILE* stream = file.getStream();
  const std::size_t limit = file.getMaxStringLength() > 1 ? file.getMaxStringLength() - 1 : 0;
  while (value.size() < limit) {
    int c = std::getc(stream);
    if (c == EOF) break;
    if (isStringStop(c)) {
      std::ungetc(c, stream);
      break;
    }
    value += static_cast<char>(c);
  }
  return file;
}
