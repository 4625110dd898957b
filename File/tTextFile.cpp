#include "File/tTextFile.h"

#include <cstdio>

namespace {

bool endsLine(int c) { return c == '\n' || c == '\r' || c == '\0'; }

}  // namespace

std::string tTextFile::readLine() {
  std::string text;
  if (!isOpen()) return text;
  std::FILE* stream = getStream();
  int c;
  while ((c = std::getc(stream)) != EOF && !endsLine(c)) text += static_cast<char>(c);
  if (c == EOF) return text;
  while ((c = std::getc(stream)) != EOF && endsLine(c)) {
  }
  if (c != EOF) std::ungetc(c, stream);
  return text;
}

std::string tTextFile::format(double value) {
  // The longest %lf text: 309 integer digits, a sign, a point and six decimals.
  char text[320];
  std::snprintf(text, sizeof text, "%lf", value);
  return text;
}
