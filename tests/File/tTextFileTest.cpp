#include <gtest/gtest.h>

#include <climits>
#include <sstream>
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

// The file holds "abc def" before; "X" is written, then a word is read. A
// mode without a mode string fails and leaves the file closed.
TEST(tFileTest, EachModeReadsAndWritesAsItsModeString) {
  struct Row { int mode; const char* after; const char* firstWord; };
  const Row rows[] = {
      {TFILE_READ, "abc def", "abc"},       {TFILE_WRITE, "X", ""},
      {TFILE_APPEND, "abc defX", ""},       {TFILE_READ_UPDATE, "Xbc def", "bc"},
      {TFILE_WRITE_UPDATE, "X", ""},        {TFILE_APPEND_UPDATE, "abc defX", ""},
      {TFILE_MODE_NONE, "abc def", ""},     {7, "abc def", ""},
      {-1, "abc def", ""},
  };
  tScratchDirectory dir;
  for (const Row& r : rows) {
    writeRaw(dir / "m.txt", "abc def");
    {
      tTextFile file(dir / "m.txt", TFILE_READ);
      const bool opens = r.mode >= TFILE_READ && r.mode <= TFILE_APPEND_UPDATE;
      EXPECT_EQ(opens, file.open(dir / "m.txt", static_cast<TFILE_MODE>(r.mode))) << r.mode;
      EXPECT_EQ(opens, file.isOpen()) << r.mode;
      EXPECT_EQ(opens ? r.mode : TFILE_MODE_NONE, file.getMode()) << r.mode;
      EXPECT_EQ(opens ? dir / "m.txt" : "", file.getFilename()) << r.mode;
      file << "X";
      if (opens) std::fflush(file.getStream());
      std::string word = "unread";
      file >> word;
      EXPECT_EQ(r.firstWord, word) << r.mode;
    }
    EXPECT_EQ(r.after, readRaw(dir / "m.txt")) << r.mode;
  }
  EXPECT_FALSE(tTextFile(dir / "missing.txt", TFILE_READ).isOpen());
}

TEST(tFileTest, OpenCloseRemoveAndEndOfFile) {
  tScratchDirectory dir;
  writeRaw(dir / "e.txt", "ab");
  tTextFile file;
  EXPECT_TRUE(file.eof());  // closed
  EXPECT_FALSE(file.close());
  ASSERT_TRUE(file.open(dir / "w.txt", TFILE_WRITE));
  file << "one";
  ASSERT_TRUE(file.open(dir / "e.txt", TFILE_READ));  // closes w.txt, flushing it
  EXPECT_EQ("one", readRaw(dir / "w.txt"));
  EXPECT_FALSE(file.eof());
  EXPECT_EQ("ab", file.readLine());
  EXPECT_TRUE(file.eof());
  EXPECT_TRUE(file.close());
  EXPECT_EQ("", file.getFilename());
  EXPECT_FALSE(file.remove());  // only an open file is removed
  EXPECT_TRUE(pathExists(dir / "e.txt"));
  ASSERT_TRUE(file.open(dir / "e.txt", TFILE_READ));
  EXPECT_TRUE(file.remove());
  EXPECT_FALSE(file.isOpen());
  EXPECT_FALSE(pathExists(dir / "e.txt"));

  // A directory opened for reading still ends read loops.
  tTextFile directory(dir.path(), TFILE_READ);
  int reads = 0;
  for (; !directory.eof() && reads < 3; ++reads) directory.readLine();
  EXPECT_LE(reads, 1);
}

TEST(tFileTest, RenameMovesAndReopensWithoutLosingWhatWasWritten) {
  tScratchDirectory dir;
  tTextFile file(dir / "old.txt", TFILE_WRITE);
  file << "ab";
  ASSERT_TRUE(file.rename(dir / "new.txt"));
  EXPECT_EQ(dir / "new.txt", file.getFilename());
  EXPECT_EQ(TFILE_WRITE, file.getMode());
  EXPECT_FALSE(pathExists(dir / "old.txt"));
  file << "cd";
  file.close();
  EXPECT_EQ("abcd", readRaw(dir / "new.txt"));

  ASSERT_TRUE(file.open(dir / "new.txt", TFILE_READ));
  EXPECT_FALSE(file.rename(dir / "no/such/dir.txt"));
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ("abcd", readRaw(dir / "new.txt"));
  EXPECT_FALSE(file.rename(dir / "other.txt"));
}

TEST(tFileTest, CopiesAndAssignmentOpenTheirOwnStream) {
  tScratchDirectory dir;
  writeRaw(dir / "words.txt", "one two three");
  tTextFile source(dir / "words.txt", TFILE_READ);
  std::string word;
  source >> word;
  tTextFile copy(source);
  copy >> word;
  EXPECT_EQ("one", word);
  source >> word;
  EXPECT_EQ("two", word);

  tTextFile target(dir / "target.txt", TFILE_WRITE);
  target << "flushed";
  target = source;
  EXPECT_EQ("flushed", readRaw(dir / "target.txt"));
  target >> word;
  EXPECT_EQ("one", word);
  tTextFile& alias = target;
  target = alias;
  target >> word;
  EXPECT_EQ("two", word);
  target = tTextFile();
  EXPECT_FALSE(target.isOpen());

  // A copy of a file being written keeps what was written before it.
  {
    tTextFile written(dir / "w.txt", TFILE_WRITE);
    written << "abc";
    tTextFile copy(written);
    EXPECT_EQ(TFILE_WRITE, copy.getMode());
    copy << "d";
  }
  EXPECT_EQ("abcd", readRaw(dir / "w.txt"));
}

TEST(tTextFileTest, ReadLineSplitsAtEveryLineEndAndSwallowsEmptyLines) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {"a\r\n\r\nb\r\n", {"a", "b"}},       {"a\n\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},               {"a\n\r\n\rb\n\n", {"a", "b"}},
      {"\nx", {"", "x"}},                   {"", {""}},
      {std::string("a\0\0b", 4), {"a", "b"}}, {"  spaced  \n", {"  spaced  "}},
  };
  tScratchDirectory dir;
  for (const auto& [text, lines] : rows) {
    writeRaw(dir / "lines.txt", text);
    EXPECT_EQ(lines, readAllLines(dir / "lines.txt")) << testing::PrintToString(text);
  }
}

TEST(tTextFileTest, ReadUntilAndSkipSpace) {
  struct Row { std::string text; bool skip; const char* result; int next; };
  const Row rows[] = {
      {"x,y", false, "x", ','},      {"x\ny", false, "x", 'y'},
      {"x\r\ny", false, "x", '\n'},  {"x,,\n,y", true, "x", 'y'},
      {"x,y", true, "x", 'y'},       {"xyz", false, "xyz", EOF},
      {",y", false, "", ','},        {"x,,,", true, "x", EOF},
  };
  tScratchDirectory dir;
  for (const Row& r : rows) {
    writeRaw(dir / "u.txt", r.text);
    tTextFile file(dir / "u.txt", TFILE_READ);
    EXPECT_EQ(r.result, file.readUntil(',', r.skip)) << r.text;
    EXPECT_EQ(r.next, std::getc(file.getStream())) << r.text;
  }
  tTextFile closed;
  EXPECT_EQ("", closed.readUntil(',', true));
  closed.skipSpace();

  writeRaw(dir / "s.txt", " \t\r\n  word\n \t");
  tTextFile file(dir / "s.txt", TFILE_READ);
  file.skipSpace();
  EXPECT_EQ("word", file.readUntil(' ', false));
  file.skipSpace();
  EXPECT_EQ(EOF, std::getc(file.getStream()));
}

// With std in view too: the manipulators must still resolve by stream type.
// Each character follows a number, which a character read does not skip.
TEST(tTextFileTest, EveryTypeIsWrittenWithItsConversionAndReadsBack) {
  using namespace std;
  const auto values = make_tuple(INT_MIN, static_cast<short>(-300), LONG_MIN, UINT_MAX,
                                 static_cast<unsigned short>(65535), ULONG_MAX, 0.1f, -1234.5,
                                 0.25L, true, false, 7, 'c', 8, static_cast<unsigned char>(0xC8),
                                 string("word"));
  tScratchDirectory dir;
  {
    tTextFile file(dir / "v.txt", TFILE_WRITE);
    apply([&file](const auto&... value) { ((file << value << tab), ...); }, values);
    file << "chars" << static_cast<const char*>(nullptr) << endl << endl;
  }
  EXPECT_EQ("-2147483648\t-300\t-9223372036854775808\t4294967295\t65535\t18446744073709551615\t"
            "0.100000\t-1234.500000\t0.250000\t1\t0\t7\tc\t8\t\xC8\tword\tchars\n\n",
            readRaw(dir / "v.txt"));

  // The same values again, each character straight after its number.
  writeRaw(dir / "v.txt", "-2147483648 -300 -9223372036854775808 4294967295 65535 "
                          "18446744073709551615 0.1 -1234.5 0.25 1 0 7c 8\xC8 word");
  auto read = make_tuple(0, short{0}, 0L, 0u, static_cast<unsigned short>(0), 0UL, 0.0f, 0.0, 0.0L,
                         false, true, 0, 'x', 0, static_cast<unsigned char>(0), string());
  tTextFile file(dir / "v.txt", TFILE_READ);
  apply([&file](auto&... value) { (file >> ... >> value); }, read);
  EXPECT_EQ(values, read);

  tTextFile closed;
  closed << 1 << "x" << endl;
  EXPECT_FALSE(closed.isOpen());
  ostringstream text;
  text << "s" << endl;
  EXPECT_EQ("s\n", text.str());
}

TEST(tTextFileTest, UnreadableValuesStayAndLongWordsComeInPieces) {
  tScratchDirectory dir;
  writeRaw(dir / "bad.txt", "abc 5 0 " + std::string(100, 'a'));
  tTextFile file(dir / "bad.txt", TFILE_READ);
  int number = 42;
  double real = 1.5;
  bool flag = false, zero = true;
  std::string word, pieces[3] = {"x", "x", "x"};
  file >> number >> real >> word >> flag >> zero >> pieces[0] >> pieces[1] >> number >> pieces[2];
  EXPECT_EQ(42, number);
  EXPECT_EQ(1.5, real);
  EXPECT_EQ("abc", word);
  EXPECT_TRUE(flag);
  EXPECT_FALSE(zero);
  EXPECT_EQ(std::string(79, 'a'), pieces[0]);
  EXPECT_EQ(std::string(21, 'a'), pieces[1]);
  EXPECT_EQ("", pieces[2]);
  EXPECT_TRUE(file.eof());
  tTextFile closed;
  closed >> number >> word;
  EXPECT_EQ(42, number);
}
