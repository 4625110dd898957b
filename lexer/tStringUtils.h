#ifndef ROOTWEAVER_LEXER_TSTRINGUTILS_H
#define ROOTWEAVER_LEXER_TSTRINGUTILS_H

#include <string>

// Static string conversions, trimming, case and character classes.
//
// Every number the program reads from a function file, a script or a text
// field goes through stringToFloat, which rounds to single precision: the
// pictures and data files depend on that rounding. Scripts and the window's
// fields read through readNumber instead, which keeps that rounding for the
// numbers written before and reads longer ones exactly.
class tStringUtils {
 public:
  static std::string intToString(int value);
  static int stringToInt(const std::string& text);
  // "%f" text of the value; with decimals >= 0, cut after the point and that
  // many more characters (no further rounding).
  static std::string floatToString(float value, int decimals);
  static double stringToFloat(const std::string& text);
  // A number written with more than 7 significant digits (leading zeros do
  // not count, trailing ones do: 2.0000000 has 8) in double precision; any
  // other as stringToFloat reads it, so that what was written before reads
  // as before.
  static double readNumber(const std::string& text);
  // The shortest text that readNumber reads back as the value exactly: a
  // value that single precision holds in 7 digits or fewer, or else at least
  // 8 digits (up to 17, with trailing zeros kept).
  static std::string writeNumber(double value);
  // Whether the whole text is an unsigned number as the readers' number
  // tokens write it: digits with an optional fraction and exponent (12, .5,
  // 2.5E+3).
  static bool isNumber(const std::string& text);

  static bool isWhitespace(char c);
  // Whether the text holds a byte below 32 or 127 (DEL); the text renderer
  // takes byte 1 for the start of a colour escape.
  static bool hasControlCharacter(const std::string& text);
  // Trims spaces, tabs and line feeds at both ends; a carriage return stays.
  static std::string pack(const std::string& text);
  static std::string toLower(const std::string& text);
  // The character the same key types with Shift held on a US keyboard.
  static char shiftChar(char c);
};

#endif
