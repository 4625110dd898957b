#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "File/tBinaryFile.h"
#include "File/tFileTestSupport.h"

using namespace std::string_literals;

namespace {

using tWrite = std::function<void(tBinaryFile&)>;

// Writes a file in the given byte order and returns its bytes.
std::string written(const tScratchDirectory& dir, TFILE_ENDIANNESS order, const tWrite& write) {
  tBinaryFile file(dir / "b.bin", TFILE_WRITE, order);
  write(file);
  file.close();
  return readRaw(dir / "b.bin");
}

}  // namespace

// Each row writes one number, or only single bytes: the big-endian file is
// the little-endian one reversed, or the same.
TEST(tBinaryFileTest, ValuesStandOnDiskInTheFilesByteOrder) {
  ASSERT_EQ(TFILE_LITTLE_ENDIAN, tFile::getSystemEndianness());
  const struct { tWrite write; std::string little; bool reversed; } rows[] = {
      {[](tBinaryFile& f) { f << 0x01020304; }, "\x04\x03\x02\x01", true},
      {[](tBinaryFile& f) { f << 0x1122334455667788L; }, "\x88\x77\x66\x55", true},  // low half
      {[](tBinaryFile& f) { f << -2.0; }, "\0\0\0\0\0\0\0\xC0"s, true},
      {[](tBinaryFile& f) { f << 1.0L; }, "\0\0\0\0\0\0\0\x80\xFF\x3F\0\0\0\0\0\0"s, true},
      {[](tBinaryFile& f) { f << true << false << 'A' << static_cast<unsigned char>(0xFE); },
       "\x01\0A\xFE"s, false},
      {[](tBinaryFile& f) { f << "ab" << std::string("xy") << endl << tab; }, "ab\0xy\0\n\t"s,
       false},
      // A block is written as it is.
      {[](tBinaryFile& f) { EXPECT_TRUE(f.writeBytes("\x01\xFF\x80", 3) && f.writeBytes("", 0)); },
       "\x01\xFF\x80", false},
  };
  tScratchDirectory dir;
  for (const auto& row : rows) {
    const std::string big =
        row.reversed ? std::string(row.little.rbegin(), row.little.rend()) : row.little;
    EXPECT_EQ(row.little, written(dir, TFILE_LITTLE_ENDIAN, row.write));
    EXPECT_EQ(big, written(dir, TFILE_BIG_ENDIAN, row.write));
  }
}

TEST(tBinaryFileTest, ShortReadsLeaveValuesAloneAndNonZeroBytesAreTrue) {
  tScratchDirectory dir;
  writeRaw(dir / "raw.bin", "\0\x07\xFF\x01\x02\x03"s);
  tBinaryFile file(dir / "raw.bin", TFILE_READ);
  bool a = true, b = false, c = false;
  int value = 99;
  file >> a >> b >> c >> value;
  EXPECT_TRUE(!a && b && c);
  EXPECT_EQ(99, value);
  EXPECT_TRUE(file.eof());

  char buffer[4] = {};
  ASSERT_TRUE(file.open(dir / "raw.bin", TFILE_READ));
  EXPECT_EQ(1, file.readBytes(buffer, 4));
  EXPECT_EQ("\0\x07\xFF\x01"s, std::string(buffer, 4));
  EXPECT_EQ(0, file.readBytes(buffer, 4));  // two bytes left
  EXPECT_EQ(0, file.readBytes(buffer, -1));

  tBinaryFile closed;
  EXPECT_EQ(0, closed.readBytes(buffer, 1));
  EXPECT_FALSE(closed.writeBytes(buffer, 1));
  closed >> value << value;
  EXPECT_EQ(99, value);
}

TEST(tBinaryFileTest, StringReadsStopBeforeTheirStopByteAndFitTheBuffer) {
  tScratchDirectory dir;
  writeRaw(dir / "s.bin", "ab cd\tef\ngh\0ij"s + std::string(100, 'q'));
  tBinaryFile file(dir / "s.bin", TFILE_READ);
  std::string trace;  // word, then the word read again, then the stop byte
  for (int i = 0; i < 4; ++i) {
    std::string word = "old", again = "old";
    char stop = 'x';
    file >> word >> again >> stop;
    trace += word + "|" + again + "|" + stop + ";";
  }
  EXPECT_EQ("ab||" " ;cd||\t;ef||\n;gh||\0;"s, trace);
  std::string first, second;
  file >> first >> second;
  EXPECT_EQ("ij" + std::string(77, 'q') + "|" + std::string(23, 'q'), first + "|" + second);
}
