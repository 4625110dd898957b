#include "File/tTextFile.h"

#include <cstdio>
#include <vector>

namespace {

bool isLineEnd(int c) { return c == '\n' || c == '\r'; }

template <typename T>
tTextFile& print(tTextFile& file, const char* format, T value) {
  if (file.isOpen()) std::fprintf(file.getStream(), format, value);
  return file;
}

template <typename T>
tTextFile& scan(tTextFile& file, const char* format, T& value) {
  T read;
  if (file.isOpen() && std::fscanf(file.getStream(), format, &read) == 1) value = read;
  return file;
}

}  // namespace

tTextFile::tTextFile() : tFile(0) {}

tTextFile::tTextFile(const std::string& path, TFILE_MODE mode) : tFile(0) { open(path, mode); }

std::string tTextFile::readUntil(char delimiter, bool skipRepeats) {
  std::string text;
  if (!isOpen()) return text;
  std::FILE* stream = getStream();
  int c;
  while ((c = std::getc(stream)) != EOF && c != delimiter && !isLineEnd(c))
    text += static_cast<char>(c);
  if (c == EOF) return text;
  if (skipRepeats) {
    while ((c = std::getc(stream)) != EOF && (c == delimiter || isLineEnd(c))) {
    }
    if (c != EOF) std::ungetc(c, stream);
  } else if (!isLineEnd(c)) {
    std::ungetc(c, stream);
  }
  return text;
}

std::string tTextFile::readLine() { return readUntil('\0', true); }

void tTextFile::skipSpace() {
  if (!isOpen()) return;
  std::FILE* stream = getStream();
  int c;
  while ((c = std::getc(stream)) == ' ' || c == '\t' || isLineEnd(c)) {
  }
  if (c != EOF) std::ungetc(c, stream);
}

std::string tTextFile::format(double value) {
  // The longest %lf text: 309 integer digits, a sign, a point and six decimals.
  char text[320];
  std::snprintf(text, sizeof text, "%lf", value);
  return text;
}

tTextFile& operator<<(tTextFile& file, int value) { return print(file, "%d", value); }
tTextFile& operator<<(tTextFile& file, short value) { return print(file, "%hd", value); }
tTextFile& operator<<(tTextFile& file, long value) { return print(file, "%ld", value); }
tTextFile& operator<<(tTextFile& file, unsigned int value) { return print(file, "%u", value); }
tTextFile& operator<<(tTextFile& file, unsigned short value) { return print(file, "%hu", value); }
tTextFile& operator<<(tTextFile& file, unsigned long value) { return print(file, "%lu", value); }
tTextFile& operator<<(tTextFile& file, float value) {
  return print(file, "%f", static_cast<double>(value));
}
tTextFile& operator<<(tTextFile& file, double value) { return print(file, "%lf", value); }
tTextFile& operator<<(tTextFile& file, long double value) { return print(file, "%Lf", value); }
tTextFile& operator<<(tTextFile& file, bool value) { return print(file, "%d", value ? 1 : 0); }
tTextFile& operator<<(tTextFile& file, char value) { return print(file, "%c", value); }
tTextFile& operator<<(tTextFile& file, unsigned char value) { return print(file, "%c", value); }

tTextFile& operator<<(tTextFile& file, const char* value) {
  return value ? print(file, "%s", value) : file;
}

tTextFile& operator<<(tTextFile& file, const std::string& value) {
  return print(file, "%s", value.c_str());
}

tTextFile& operator<<(tTextFile& file, tFile& (*manipulator)(tFile&)) {
  manipulator(file);
  return file;
}

tTextFile& operator>>(tTextFile& file, int& value) { return scan(file, "%d", value); }
tTextFile& operator>>(tTextFile& file, short& value) { return scan(file, "%hd", value); }
tTextFile& operator>>(tTextFile& file, long& value) { return scan(file, "%ld", value); }
tTextFile& operator>>(tTextFile& file, unsigned int& value) { return scan(file, "%u", value); }
tTextFile& operator>>(tTextFile& file, unsigned short& value) { return scan(file, "%hu", value); }
tTextFile& operator>>(tTextFile& file, unsigned long& value) { return scan(file, "%lu", value); }
tTextFile& operator>>(tTextFile& file, float& value) { return scan(file, "%g", value); }
tTextFile& operator>>(tTextFile& file, double& value) { return scan(file, "%lf", value); }
tTextFile& operator>>(tTextFile& file, long double& value) { return scan(file, "%Lf", value); }
tTextFile& operator>>(tTextFile& file, char& value) { return scan(file, "%c", value); }

tTextFile& operator>>(tTextFile& file, bool& value) {
  int read = value ? 1 : 0;
  scan(file, "%d", read);
  value = read != 0;
  return file;
}

tTextFile& operator>>(tTextFile& file, unsigned char& value) {
  char read = static_cast<char>(value);
  scan(file, "%c", read);
  value = static_cast<unsigned char>(read);
  return file;
}

tTextFile& operator>>(tTextFile& file, std::string& value) {
  value.clear();
  if (!file.isOpen() || file.getMaxStringLength() < 2) return file;
  // The width keeps a long word inside the buffer; what is left of the word
  // stays in the stream for the next read.
  std::vector<char> word(file.getMaxStringLength(), '\0');
  std::string format = "%" + std::to_string(file.getMaxStringLength() - 1) + "s";
  if (std::fscanf(file.getStream(), format.c_str(), word.data()) == 1) value = word.data();
  return file;
}
