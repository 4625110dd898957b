#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <functional>
#include <string>

#include "File/tBinaryFile.h"
#include "File/tFileTestSupport.h"

namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

std::string reversed(std::string text) { return std::string(text.rbegin(), text.rend()); }

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

TEST(tBinaryFileTest, ReverseBytesSwapsFromBothEnds) {
  const char* rows[][2] = {{"", ""}, {"a", "a"}, {"ab", "ba"}, {"abc", "cba"}, {"abcd", "dcba"},
                           {"abcdefghijklmnop", "ponmlkjihgfedcba"}};
  for (auto& r : rows) {
    std::string text = r[0];
    tBinaryFile::reverseBytes(&text[0], text.size());
    EXPECT_EQ(r[1], text);
  }
}

TEST(tBinaryFileTest, ValuesStandOnDiskInTheFilesByteOrder) {
  ASSERT_EQ(TFILE_LITTLE_ENDIAN, tFile::getSystemEndianness());
  // Each row's bytes are the little-endian image; the big-endian file holds
  // them reversed value by value.
  struct Row { std::function<void(tBinaryFile&)> write; std::string little; std::string big; };
  const std::string ldLittle = bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F, 0, 0, 0, 0, 0, 0});
  const Row rows[] = {
      {[](tBinaryFile& f) { f << 0x01020304; }, bytes({4, 3, 2, 1}), bytes({1, 2, 3, 4})},
      {[](tBinaryFile& f) { f << static_cast<short>(0x0102); }, bytes({2, 1}), bytes({1, 2})},
      {[](tBinaryFile& f) { f << -2L; }, bytes({0xFE, 0xFF, 0xFF, 0xFF}),
       bytes({0xFF, 0xFF, 0xFF, 0xFE})},
      {[](tBinaryFile& f) { f << 0xA1B2C3D4u; }, bytes({0xD4, 0xC3, 0xB2, 0xA1}),
       bytes({0xA1, 0xB2, 0xC3, 0xD4})},
      {[](tBinaryFile& f) { f << static_cast<unsigned short>(0xABCD); }, bytes({0xCD, 0xAB}),
       bytes({0xAB, 0xCD})},
      {[](tBinaryFile& f) { f << 0x0A0B0C0DUL; }, bytes({0x0D, 0x0C, 0x0B, 0x0A}),
       bytes({0x0A, 0x0B, 0x0C, 0x0D})},
      {[](tBinaryFile& f) { f << 1.0f; }, bytes({0, 0, 0x80, 0x3F}), bytes({0x3F, 0x80, 0, 0})},
      {[](tBinaryFile& f) { f << -2.0; }, bytes({0, 0, 0, 0, 0, 0, 0, 0xC0}),
       bytes({0xC0, 0, 0, 0, 0, 0, 0, 0})},
      {[](tBinaryFile& f) { f << 1.0L; }, ldLittle, reversed(ldLittle)},
      {[](tBinaryFile& f) { f << true << false; }, bytes({1, 0}), bytes({1, 0})},
      {[](tBinaryFile& f) { f << 'A' << static_cast<unsigned char>(0xFE); }, "A\xFE", "A\xFE"},
      {[](tBinaryFile& f) { f << "ab" << std::string("xy"); }, bytes({'a', 'b', 0, 'x', 'y', 0}),
       bytes({'a', 'b', 0, 'x', 'y', 0})},
      {[](tBinaryFile& f) { f << endl << tab; }, "\n\t", "\n\t"},
      {[](tBinaryFile& f) { f << 1 << static_cast<short>(2); }, bytes({1, 0, 0, 0, 2, 0}),
       bytes({0, 0, 0, 1, 0, 2})},
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
    EXPECT_EQ(UINT_MAX, binaryRoundTrip(dir, e, UINT_MAX, 0u));
    EXPECT_EQ(0xFEDCu, binaryRoundTrip<unsigned short>(dir, e, 0xFEDC, 0));
    EXPECT_EQ(0xFFFFFFFFUL, binaryRoundTrip<unsigned long>(dir, e, 0xFFFFFFFFUL, 0));
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

TEST(tBinaryFileTest, LongsKeepTheirLowFourBytesOnDisk) {
  tScratchDirectory dir;
  {
    tBinaryFile file(dir / "l.bin", TFILE_WRITE, TFILE_LITTLE_ENDIAN);
    file << 0x1122334455667788L << 0x1122334455667788UL;
  }
  EXPECT_EQ(bytes({0x88, 0x77, 0x66, 0x55, 0x88, 0x77, 0x66, 0x55}), readRaw(dir / "l.bin"));
  tBinaryFile file(dir / "l.bin", TFILE_READ, TFILE_LITTLE_ENDIAN);
  long value = 0;
  unsigned long unsignedValue = 0;
  file >> value >> unsignedValue;
  EXPECT_EQ(0x55667788L, value);
  EXPECT_EQ(0x55667788UL, unsignedValue);
}

TEST(tBinaryFileTest, NonZeroBytesReadAsTrue) {
  tScratchDirectory dir;
  writeRaw(dir / "flags.bin", bytes({0, 7, 0xFF}));
  tBinaryFile file(dir / "flags.bin", TFILE_READ);
  bool a = true, b = false, c = false;
  file >> a >> b >> c;
  EXPECT_FALSE(a);
  EXPECT_TRUE(b);
  EXPECT_TRUE(c);
}

TEST(tBinaryFileTest, StringReadsStopBeforeTheirStopByte) {
  tScratchDirectory dir;
  writeRaw(dir / "s.bin", std::string("ab cd\tef\ngh\0ij", 14));
  tBinaryFile file(dir / "s.bin", TFILE_READ);
  const char expectedStops[] = {' ', '\t', '\n', '\0'};
  const char* expectedWords[] = {"ab", "cd", "ef", "gh"};
  for (int i = 0; i < 4; ++i) {
    std::string word = "old";
    char stop = 'x';
    file >> word;
    EXPECT_EQ(expectedWords[i], word);
    file >> word;
    EXPECT_EQ("", word) << "the stop byte is read again next";
    file >> stop;
    EXPECT_EQ(expectedStops[i], stop);
  }
  std::string word;
  file >> word;
  EXPECT_EQ("ij", word);
  EXPECT_TRUE(file.eof());
  file >> word;
  EXPECT_EQ("", word);
}

TEST(tBinaryFileTest, StringsLongerThanTheBufferComeInPieces) {
  tScratchDirectory dir;
  {
    tBinaryFile file(dir / "long.bin", TFILE_WRITE);
    file << std::string(100, 'q');
  }
  tBinaryFile file(dir / "long.bin", TFILE_READ);
  std::string word;
  file >> word;
  EXPECT_EQ(std::string(79, 'q'), word);
  file >> word;
  EXPECT_EQ(std::string(21, 'q'), word);
}

TEST(tBinaryFileTest, ShortReadsLeaveValuesAlone) {
  tScratchDirectory dir;
  writeRaw(dir / "short.bin", bytes({1, 2, 3}));
  tBinaryFile file(dir / "short.bin", TFILE_READ);
  int value = 99;
  file >> value;
  EXPECT_EQ(99, value);
  EXPECT_TRUE(file.eof());

  char buffer[4] = {};
  ASSERT_TRUE(file.open(dir / "short.bin", TFILE_READ));
  EXPECT_EQ(1, file.readBytes(buffer, 2));
  EXPECT_EQ(bytes({1, 2}), std::string(buffer, 2));
  EXPECT_EQ(0, file.readBytes(buffer, 2));
  EXPECT_EQ(0, file.readBytes(buffer, -1));

  tBinaryFile closed;
  EXPECT_EQ(0, closed.readBytes(buffer, 1));
  EXPECT_FALSE(closed.writeBytes(buffer, 1));
  closed >> value << value;
  EXPECT_EQ(99, value);
}

TEST(tBinaryFileTest, WriteBytesWritesTheBlockAsItIs) {
  tScratchDirectory dir;
  const std::string block = bytes({0, 1, 2, 0xFF, 0x80});
  {
    tBinaryFile file(dir / "block.bin", TFILE_WRITE, TFILE_BIG_ENDIAN);
    EXPECT_TRUE(file.writeBytes(block.data(), static_cast<int>(block.size())));
    EXPECT_TRUE(file.writeBytes(block.data(), 0));
  }
  EXPECT_EQ(block, readRaw(dir / "block.bin"));
}

TEST(tBinaryFileTest, ByteOrderTravelsWithTheFile) {
  tScratchDirectory dir;
  tBinaryFile file;
  EXPECT_EQ(TFILE_LITTLE_ENDIAN, file.getEndianness());
  ASSERT_TRUE(file.open(dir / "o.bin", TFILE_WRITE, TFILE_BIG_ENDIAN));
  ASSERT_TRUE(file.open(dir / "o.bin", TFILE_WRITE));
  EXPECT_EQ(TFILE_BIG_ENDIAN, file.getEndianness());
  tBinaryFile copy(file);
  EXPECT_EQ(TFILE_BIG_ENDIAN, copy.getEndianness());
  tBinaryFile assigned;
  assigned = copy;
  EXPECT_EQ(TFILE_BIG_ENDIAN, assigned.getEndianness());
  EXPECT_TRUE(assigned.isOpen());
  assigned << static_cast<short>(1);
  assigned.close();
  EXPECT_EQ(bytes({0, 1}), readRaw(dir / "o.bin"));
}
