#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "File/tFileTestSupport.h"
#include "File/tTextFile.h"

namespace {

std::vector<std::string> readAllLines(const std::string& path) {
  tTextFile file(path, TFILE_READ);
  std::vector<std::string> lines;
  while (!file.eof()) lines.push_back(file.readLine());
  return lines;
}

}  // namespace

// The file holds "abc def" before; "X" is written, then a word is read. An
// unknown mode fails, leaving the file closed, so nothing is written.
TEST(tFileTest, EachModeReadsAndWritesAsItsModeString) {
  struct Row { int mode; const char* after; const char* firstWord; };
  const Row rows[] = {
      {TFILE_READ, "abc def", "abc"}, {TFILE_WRITE, "X", ""}, {TFILE_APPEND, "abc defX", ""},
      {TFILE_READ_UPDATE, "Xbc def", "bc"}, {7, "abc def", ""},
  };
  tScratchDirectory dir;
  for (const Row& r : rows) {
    writeRaw(dir / "m.txt", "abc def");
    {
      tTextFile file(dir / "m.txt", TFILE_READ);
      const bool opens = r.mode >= TFILE_READ && r.mode <= TFILE_APPEND_UPDATE;
      EXPECT_EQ(opens, file.open(dir / "m.txt", static_cast<TFILE_MODE>(r.mode))) << r.mode;
      file << "X";
      if (opens) std::fflush(file.getStream());
      std::string word = "unread";
      file >> word;
      EXPECT_EQ(r.firstWord, word) << r.mode;
    }
    EXPECT_EQ(r.after, readRaw(dir / "m.txt")) << r.mode;
  }
}

TEST(tFileTest, ReopenFlushesRemoveAndDirectories) {
  tScratchDirectory dir;
  writeRaw(dir / "e.txt", "ab");
  tTextFile file(dir / "w.txt", TFILE_WRITE);
  file << "one";
  ASSERT_TRUE(file.open(dir / "e.txt", TFILE_READ));  // closes w.txt, flushing it
  EXPECT_EQ("one", readRaw(dir / "w.txt"));
  EXPECT_TRUE(file.remove());
  EXPECT_FALSE(pathExists(dir / "e.txt"));

  // A directory opened for reading still ends read loops.
  tTextFile directory(dir.path(), TFILE_READ);
  int reads = 0;
  for (; !directory.eof() && reads < 3; ++reads) directory.readLine();
  EXPECT_LE(reads, 1);
}

TEST(tTextFileTest, ReadLineSplitsAtEveryLineEndAndSwallowsEmptyLines) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {"a\r\n\r\nb\r\n", {"a", "b"}}, {"a\rb\r", {"a", "b"}}, {"a\n\r\n\rb\n\n", {"a", "b"}},
      {"\nx", {"", "x"}}, {"", {""}}, {std::string("a\0\0b", 4), {"a", "b"}}, {" s \n", {" s "}},
  };
  tScratchDirectory dir;
  for (const auto& [text, lines] : rows) {
    writeRaw(dir / "lines.txt", text);
    EXPECT_EQ(lines, readAllLines(dir / "lines.txt")) << testing::PrintToString(text);
  }
}

// With std in view too: the manipulators must still resolve by stream type.
TEST(tTextFileTest, EveryTypeIsWrittenWithItsConversion) {
  using namespace std;
  const auto values = make_tuple(INT_MIN, static_cast<short>(-300), LONG_MIN, UINT_MAX,
                                 static_cast<unsigned short>(65535), ULONG_MAX, 0.1f, -1234.5,
                                 0.25L, true, false, 'c', static_cast<unsigned char>(0xC8),
                                 string("w"));
  tScratchDirectory dir;
  {
    tTextFile file(dir / "v.txt", TFILE_WRITE);
    apply([&file](const auto&... value) { ((file << value << tab), ...); }, values);
    file << "chars" << static_cast<const char*>(nullptr) << endl << endl;
  }
  EXPECT_EQ("-2147483648\t-300\t-9223372036854775808\t4294967295\t65535\t18446744073709551615\t"
            "0.100000\t-1234.500000\t0.250000\t1\t0\tc\t\xC8\tw\tchars\n\n",
            readRaw(dir / "v.txt"));

  tTextFile closed;
  closed << 1 << "x" << endl;  // ignored, not a crash
  EXPECT_FALSE(closed.isOpen());
}

TEST(tFileTest, RenameKeepsTheStreamOrFailsWithoutLoss) {
  tScratchDirectory dir;
  tTextFile file(dir / "old.txt", TFILE_WRITE);
  file << "ab";
  ASSERT_TRUE(file.rename(dir / "new.txt"));
  EXPECT_FALSE(pathExists(dir / "old.txt"));
  file << "cd";
  file.close();
  EXPECT_EQ("abcd", readRaw(dir / "new.txt"));

  ASSERT_TRUE(file.open(dir / "new.txt", TFILE_READ));
  EXPECT_FALSE(file.rename(dir / "no/such/dir.txt"));
  EXPECT_EQ("abcd", readRaw(dir / "new.txt"));
}
