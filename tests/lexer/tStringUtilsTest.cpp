#include <gtest/gtest.h>

#include "lexer/tStringUtils.h"

TEST(tStringUtilsTest, FloatToStringCutsWithoutRounding) {
  struct Row { float value; int decimals; const char* expected; };
  const Row rows[] = {
      {2.999f, 1, "2.9"},      {5.0f, 0, "5."},        {5.0f, -1, "5.000000"},
      {-0.5f, 2, "-0.50"},     {1.25f, 10, "1.250000"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.expected, tStringUtils::floatToString(r.value, r.decimals)) << r.value;
}

TEST(tStringUtilsTest, NumbersAreReadInSinglePrecision) {
  EXPECT_EQ(static_cast<double>(0.1f), tStringUtils::stringToFloat("0.1"));
  EXPECT_EQ(100000.0, tStringUtils::stringToFloat("1e5"));
  EXPECT_EQ(0.0, tStringUtils::stringToFloat("abc"));
  EXPECT_EQ(42, tStringUtils::stringToInt("42abc"));
  EXPECT_EQ(0, tStringUtils::stringToInt("x1"));
  EXPECT_EQ("-17", tStringUtils::intToString(-17));
}

// Scripts read what was written before in single precision, and a number
// of more than 7 significant digits exactly; writeNumber gives the shortest
// text read back exactly.
TEST(tStringUtilsTest, LongNumbersAreReadExactly) {
  struct Row {
    const char* text;
    double read;
  };
  const Row reads[] = {
      {"-1.234567", static_cast<float>(-1.234567)},
      {"0.0001234567", static_cast<float>(0.0001234567)},
      {"0.123456789", 0.123456789},
      {"2.0000001", 2.0000001},
      {"1.5e-8", static_cast<float>(1.5e-8)},
      {"1.2345678e-8", 1.2345678e-8},
      {"16777217", 16777217.0},
  };
  for (const Row& r : reads) EXPECT_EQ(r.read, tStringUtils::readNumber(r.text)) << r.text;
  struct Written {
    double value;
    const char* text;
  };
  const Written writes[] = {
      {2.0, "2"},
      {static_cast<float>(0.1), "0.1"},
      {0.1, "0.10000000"},
      {-2.0 + 0.2, "-1.8000000"},
      {1.0 / 3.0, "0.3333333333333333"},
      {1e20, "1.0000000e+20"},
      {-0.74364388703715877, "-0.7436438870371588"},
  };
  for (const Written& w : writes) {
    EXPECT_EQ(w.text, tStringUtils::writeNumber(w.value)) << w.value;
    EXPECT_EQ(w.value, tStringUtils::readNumber(w.text)) << w.text;
  }
}

// Pack keeps a carriage return; whitespace is also in tTokenizerTest.
TEST(tStringUtilsTest, PackAndLowerCase) {
  EXPECT_EQ("a b", tStringUtils::pack("\t\na b\n "));
  EXPECT_EQ("x\r", tStringUtils::pack(" x\r"));
  EXPECT_EQ("", tStringUtils::pack(" \t\n "));
  EXPECT_EQ("pi_2", tStringUtils::toLower("PI_2"));
}

TEST(tStringUtilsTest, ShiftCharFollowsAUsKeyboard) {
  const std::string plain = "az;',.`1234567890-=[\\]/";
  const std::string shifted = "AZ:\"<>~!@#$%^&*()_+{|}?";
  for (size_t i = 0; i < plain.size(); ++i)
    EXPECT_EQ(shifted[i], tStringUtils::shiftChar(plain[i])) << plain[i];
  for (char c : std::string("A ?\t\0", 5)) EXPECT_EQ(c, tStringUtils::shiftChar(c));
}
