#include "lexer/tStringUtils.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string tStringUtils::intToString(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%d", value);
  return buffer;
}

int tStringUtils::stringToInt(const std::string& text) { return std::atoi(text.c_str()); }

std::string tStringUtils::floatToString(float value, int decimals) {
  // The largest float prints as 39 digits, a point and six decimals.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value));
  std::string text(buffer);
  std::string::size_type point = text.find('.');
  if (decimals < 0 || point == std::string::npos) return text;
  return text.substr(0, point + 1 + decimals);
}

double tStringUtils::stringToFloat(const std::string& text) {
  return static_cast<float>(std::atof(text.c_str()));
}

namespace {

// Digits a script reads in single precision as before; a number written
// with more is meant exactly.
const int kSingleDigits = 7;

// Significant digits of a number as written: those of the part before any
// exponent, from the first that is not zero.
int significantDigits(const std::string& text) {
  int digits = 0;
  bool leading = true;
  for (char c : text) {
    if (c == 'e' || c == 'E') break;
    if (c < '0' || c > '9') continue;
    leading = leading && c == '0';
    if (!leading) ++digits;
  }
  return digits;
}

}  // namespace

double tStringUtils::readNumber(const std::string& text) {
  if (significantDigits(text) <= kSingleDigits) return stringToFloat(text);
  return std::atof(text.c_str());
}

// The first number of digits whose "%g" text reads back; from 8 digits on,
// "#" keeps the trailing zeros that make the digits count.
std::string tStringUtils::writeNumber(double value) {
  char text[40];
  for (int digits = 1; digits < 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (readNumber(text) == value) return text;
    if (digits > kSingleDigits && std::strtod(text, nullptr) == value) {
      std::snprintf(text, sizeof text, "%#.*g", digits, value);
      return text;
    }
  }
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

bool tStringUtils::isNumber(const std::string& text) {
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.'))
    return false;
  if (text.find_first_not_of("0123456789.eE+-") != std::string::npos) return false;
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return *end == '\0';
}

bool tStringUtils::isWhitespace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

std::string tStringUtils::pack(const std::string& text) {
  const char* trimmed = " \t\n";
  std::string::size_type first = text.find_first_not_of(trimmed);
  if (first == std::string::npos) return "";
  std::string::size_type last = text.find_last_not_of(trimmed);
  return text.substr(first, last - first + 1);
}

bool tStringUtils::hasControlCharacter(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

std::string tStringUtils::toLower(const std::string& text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

char tStringUtils::shiftChar(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  static const char kPlain[] = ";',.`1234567890-=[\\]/";
  static const char kShifted[] = ":\"<>~!@#$%^&*()_+{|}?";
  const char* at = c == '\0' ? nullptr : std::strchr(kPlain, c);
  return at ? kShifted[at - kPlain] : c;
}
