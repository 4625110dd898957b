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
