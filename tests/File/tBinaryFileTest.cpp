#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <functional>
#include <string>

#include "File/tBinaryFile.h"
#include "File/tFileTestSupport.h"

using namespace std::string_literals;

namespace {

template <typename T>
T binaryRoundTrip(const tScratchDirectory& dir, TFILE_ENDIANNESS endianness, T value, T initial) {
  {
    tBinaryFile out(dir / "value.bin", TFILE_WRITE, endianness);
    out << value;
  }
  tBinaryFile in(dir / "value.bin", TFILE_READ, endianness);
  T read = initial;
  in >> read;
  return read;
}

}  // namespace

TEST(tBinaryFileTest, ValuesStandOnDiskInTheFilesByteOrder) {
  ASSERT_EQ(TFILE_LITTLE_ENDIAN, tFile::getSystemEndianness());
  const std::string ld = "\0\0\0\0\0\0\0\x80\xFF\x3F\0\0\0\0\0\0"s;  // 1.0L, little-endian
  const struct { std::function<void(tBinaryFile&)> write; std::string little, big; } rows[] = {
      {[](tBinaryFile& f) { f << 0x01020304; }, "\x04\x03\x02\x01", "\x01\x02\x03\x04"},
      {[](tBinaryFile& f) { f << static_cast<short>(0x0102); }, "\x02\x01", "\x01\x02"},
      {[](tBinaryFile& f) { f << -2L; }, "\xFE\xFF\xFF\xFF", "\xFF\xFF\xFF\xFE"},
      // A long keeps its low four bytes on disk.
      {[](tBinaryFile& f) { f << 0x1122334455667788L << 0x1122334455667788UL; },
       "\x88\x77\x66\x55\x88\x77\x66\x55", "\x55\x66\x77\x88\x55\x66\x77\x88"},
      {[](tBinaryFile& f) { f << 0xA1B2C3D4u; }, "\xD4\xC3\xB2\xA1", "\xA1\xB2\xC3\xD4"},
      {[](tBinaryFile& f) { f << static_cast<unsigned short>(0xABCD); }, "\xCD\xAB", "\xAB\xCD"},
      {[](tBinaryFile& f) { f << 0x0A0B0C0DUL; }, "\x0D\x0C\x0B\x0A", "\x0A\x0B\x0C\x0D"},
      {[](tBinaryFile& f) { f << 1.0f; }, "\0\0\x80\x3F"s, "\x3F\x80\0\0"s},
      {[](tBinaryFile& f) { f << -2.0; }, "\0\0\0\0\0\0\0\xC0"s, "\xC0\0\0\0\0\0\0\0"s},
      {[](tBinaryFile& f) { f << 1.0L; }, ld, std::string(ld.rbegin(), ld.rend())},
      {[](tBinaryFile& f) { f << true << false; }, "\x01\0"s, "\x01\0"s},
      {[](tBinaryFile& f) { f << 'A' << static_cast<unsigned char>(0xFE); }, "A\xFE", "A\xFE"},
      {[](tBinaryFile& f) { f << "ab" << std::string("xy"); }, "ab\0xy\0"s, "ab\0xy\0"s},
      {[](tBinaryFile& f) { f << endl << tab; }, "\n\t", "\n\t"},
      {[](tBinaryFile& f) { f << 1 << static_cast<short>(2); }, "\x01\0\0\0\x02\0"s,
       "\0\0\0\x01\0\x02"s},
      // A block is written as it is.
      {[](tBinaryFile& f) { EXPECT_TRUE(f.writeBytes("\x01\xFF\x80", 3) && f.writeBytes("", 0)); },
       "\x01\xFF\x80", "\x01\xFF\x80"},
  };
  tScratchDirectory dir;
  for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
    for (TFILE_ENDIANNESS e : {TFILE_LITTLE_ENDIAN, TFILE_BIG_ENDIAN}) {
      {
        tBinaryFile file(dir / "b.bin", TFILE_WRITE, e);
        rows[i].write(file);
      }
      EXPECT_EQ(e == TFILE_LITTLE_ENDIAN ? rows[i].little : rows[i].big, readRaw(dir / "b.bin"))
          << "row " << i << " endianness " << e;
    }
  }
}

TEST(tBinaryFileTest, EveryTypeReadsBackInBothByteOrders) {
  tScratchDirectory dir;
  for (TFILE_ENDIANNESS e : {TFILE_LITTLE_ENDIAN, TFILE_BIG_ENDIAN}) {
    SCOPED_TRACE(e);
    EXPECT_EQ(INT_MIN, binaryRoundTrip(dir, e, INT_MIN, 0));
    EXPECT_EQ(static_cast<short>(-32768), binaryRoundTrip<short>(dir, e, -32768, 0));
    EXPECT_EQ(INT_MIN, binaryRoundTrip<long>(dir, e, INT_MIN, 0));
    EXPECT_EQ(-5L, binaryRoundTrip<long>(dir, e, -5, 0));
    EXPECT_EQ(0x55667788L, binaryRoundTrip<long>(dir, e, 0x1122334455667788L, 0));
    EXPECT_EQ(UINT_MAX, binaryRoundTrip(dir, e, UINT_MAX, 0u));
    EXPECT_EQ(0xFEDCu, binaryRoundTrip<unsigned short>(dir, e, 0xFEDC, 0));
    EXPECT_EQ(0xFFFFFFFFUL, binaryRoundTrip<unsigned long>(dir, e, 0xFFFFFFFFUL, 0));
    EXPECT_EQ(0x55667788UL, binaryRoundTrip<unsigned long>(dir, e, 0x1122334455667788UL, 0));
    EXPECT_EQ(-0.1f, binaryRoundTrip(dir, e, -0.1f, 0.0f));
    EXPECT_EQ(DBL_MIN, binaryRoundTrip(dir, e, DBL_MIN, 0.0));
    EXPECT_EQ(1.0L / 3.0L, binaryRoundTrip(dir, e, 1.0L / 3.0L, 0.0L));
    EXPECT_TRUE(binaryRoundTrip(dir, e, true, false));
    EXPECT_FALSE(binaryRoundTrip(dir, e, false, true));
    EXPECT_EQ('\0', binaryRoundTrip(dir, e, '\0', 'x'));
    EXPECT_EQ(0xFF, binaryRoundTrip<unsigned char>(dir, e, 0xFF, 0));
    EXPECT_EQ("name", binaryRoundTrip<std::string>(dir, e, "name", "old"));
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
  writeRaw(dir / "s.bin", "ab cd\tef\ngh\0ij"s);
  tBinaryFile file(dir / "s.bin", TFILE_READ);
  std::string trace;  // word, then the word read again, then the stop byte
  for (int i = 0; i < 4; ++i) {
    std::string word = "old", again = "old";
    char stop = 'x';
    file >> word >> again >> stop;
    trace += word + "|" + again + "|" + stop + ";";
  }
  EXPECT_EQ("ab||" " ;cd||\t;ef||\n;gh||\0;"s, trace);
  std::string word;
  file >> word;
  EXPECT_EQ("ij", word);
  EXPECT_TRUE(file.eof());
  file >> word;
  EXPECT_EQ("", word);

  {
    tBinaryFile out(dir / "long.bin", TFILE_WRITE);
    out << std::string(100, 'q');
  }
  tBinaryFile in(dir / "long.bin", TFILE_READ);
  std::string first, second;
  in >> first >> second;
  EXPECT_EQ(std::string(79, 'q'), first);
  EXPECT_EQ(std::string(21, 'q'), second);
}

TEST(tBinaryFileTest, ByteOrderTravelsWithTheFile) {
  tScratchDirectory dir;
  tBinaryFile file;
  EXPECT_EQ(TFILE_LITTLE_ENDIAN, file.getEndianness());
  ASSERT_TRUE(file.open(dir / "o.bin", TFILE_WRITE, TFILE_BIG_ENDIAN));
  ASSERT_TRUE(file.open(dir / "o.bin", TFILE_WRITE));
  tBinaryFile copy(file);
  tBinaryFile assigned;
  assigned = copy;
  EXPECT_EQ(TFILE_BIG_ENDIAN, file.getEndianness());
  EXPECT_EQ(TFILE_BIG_ENDIAN, copy.getEndianness());
  assigned << static_cast<short>(1);
  assigned.close();
  EXPECT_EQ("\0\x01"s, readRaw(dir / "o.bin"));
}
