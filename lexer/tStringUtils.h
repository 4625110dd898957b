#ifndef ROOTWEAVER_LEXER_TSTRINGUTILS_H
#define ROOTWEAVER_LEXER_TSTRINGUTILS_H

#include <string>

// Static string conversions, trimming, case and character classes.
//
// Every number the program reads from a function file, a script or a text
// field goes through stringToFloat, which rounds to single precision: the
// pictures and data files depend on that rounding.
class tStringUtils {
 public:
  static std::string intToString(int value);
  static int stringToInt(const std::string& text);
  // "%f" text of the value; with decimals >= 0, cut after the point and that
  // many more characters (no further rounding).
  static std::string floatToString(float value, int decimals);
  static double stringToFloat(const std::string& text);
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
