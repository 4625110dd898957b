#include <gtest/gtest.h>

#include <string>

#include "File/tSourceText.h"

namespace {

// Where the character at offset came from, as line:column.
std::string placeAt(const tSourceText& source, unsigned offset) {
  unsigned line, column;
  if (!source.findPlace(offset, line, column)) return "none";
  return std::to_string(line) + ":" + std::to_string(column);
}

}  // namespace

// A UTF-8 byte-order mark before the first line is no part of the text, and
// the first line's columns count from after it; anywhere else, or cut short,
// the bytes are the text's.
TEST(tSourceTextTest, AByteOrderMarkAtTheStartIsLeftOut) {
  const struct {
    const char* bytes;
    const char* text;
    const char* firstPlace;  // of the text's second character, the first after "\n"
  } rows[] = {
      {"x = 1", "\nx = 1", "1:1"},
      {"\xEF\xBB\xBFx = 1", "\nx = 1", "1:1"},
      {"\xEF\xBB\xBF  x = 1", "\nx = 1", "1:3"},
      {"\xEF\xBB\xBF// note\r\n\tx", "\nx", "2:2"},
      {"\xEF\xBB\xBF", "", "none"},
      {"\xEF\xBB\xBF\xEF\xBB\xBFx", "\n\xEF\xBB\xBFx", "1:1"},
      {"\xEF\xBBx", "\n\xEF\xBBx", "1:1"},
      {"x\n\xEF\xBB\xBFy", "\nx\n\xEF\xBB\xBFy", "1:1"},
  };
  for (const auto& row : rows) {
    const tSourceText source(row.bytes);
    EXPECT_EQ(row.text, source.getText()) << row.bytes;
    EXPECT_EQ(row.firstPlace, placeAt(source, 1)) << row.bytes;
  }
  const tSourceText source("\xEF\xBB\xBFrun (f)\n");
  EXPECT_EQ("script.blam:1:5", source.placeOf("script.blam", 5));
  EXPECT_EQ("(", source.characterAt(5));
}
