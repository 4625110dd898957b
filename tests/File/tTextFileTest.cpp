#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <sstream>
#include <string>
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

template <typename T>
T textRoundTrip(const tScratchDirectory& dir, T value, T initial) {
  {
    tTextFile out(dir / "value.txt", TFILE_WRITE);
    out << value;
  }
  tTextFile in(dir / "value.txt", TFILE_READ);
  T read = initial;
  in >> read;
  return read;
}

}  // namespace

TEST(tFileTest, ModesWithoutStringFailAndLeaveTheFileClosed) {
  tScratchDirectory dir;
  writeRaw(dir / "a.txt", "abc");
  for (int mode : {static_cast<int>(TFILE_MODE_NONE), 7, -1}) {
    tTextFile file(dir / "a.txt", TFILE_READ);
    ASSERT_TRUE(file.isOpen());
    EXPECT_FALSE(file.open(dir / "a.txt", static_cast<TFILE_MODE>(mode)));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ("", file.getFilename());
    EXPECT_EQ(TFILE_MODE_NONE, file.getMode());
  }
  tTextFile missing(dir / "missing.txt", TFILE_READ);
  EXPECT_FALSE(missing.isOpen());
  EXPECT_EQ("abc", readRaw(dir / "a.txt"));
}

TEST(tFileTest, EachModeReadsAndWritesAsItsModeString) {
  struct Row { TFILE_MODE mode; const char* after; const char* firstWord; };
  // The file holds "abc def" before; "X" is written, then a word is read.
  const Row rows[] = {
      {TFILE_READ, "abc def", "abc"},     {TFILE_WRITE, "X", ""},
      {TFILE_APPEND, "abc defX", ""},      {TFILE_READ_UPDATE, "Xbc def", "bc"},
      {TFILE_WRITE_UPDATE, "X", ""},       {TFILE_APPEND_UPDATE, "abc defX", ""},
  };
  tScratchDirectory dir;
  for (const Row& r : rows) {
    writeRaw(dir / "m.txt", "abc def");
    {
      tTextFile file(dir / "m.txt", r.mode);
      ASSERT_TRUE(file.isOpen()) << r.mode;
      EXPECT_EQ(r.mode, file.getMode());
      file << "X";
      std::fflush(file.getStream());
      std::string word = "unread";
      file >> word;
      EXPECT_EQ(r.firstWord, word) << r.mode;
    }
    EXPECT_EQ(r.after, readRaw(dir / "m.txt")) << r.mode;
  }
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
  EXPECT_EQ(dir / "e.txt", file.getFilename());
  EXPECT_FALSE(file.eof());
  EXPECT_EQ("ab", file.readLine());
  EXPECT_TRUE(file.eof());
  EXPECT_TRUE(file.close());
  EXPECT_EQ("", file.getFilename());
  EXPECT_TRUE(file.eof());
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
  EXPECT_TRUE(file.isOpen());
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
  ASSERT_TRUE(copy.isOpen());
  EXPECT_NE(source.getStream(), copy.getStream());
  EXPECT_EQ(source.getFilename(), copy.getFilename());
  copy >> word;
  EXPECT_EQ("one", word);
  source >> word;
  EXPECT_EQ("two", word);

  tTextFile target(dir / "target.txt", TFILE_WRITE);
  target << "flushed";
  target = source;
  EXPECT_EQ("flushed", readRaw(dir / "target.txt"));
  EXPECT_EQ(dir / "words.txt", target.getFilename());
  target >> word;
  EXPECT_EQ("one", word);

  tTextFile& alias = target;
  target = alias;
  ASSERT_TRUE(target.isOpen());
  target >> word;
  EXPECT_EQ("two", word);

  tTextFile closed;
  target = closed;
  EXPECT_FALSE(target.isOpen());
  EXPECT_FALSE(tTextFile(closed).isOpen());

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
TEST(tTextFileTest, WritesEachTypeWithItsConversion) {
  using namespace std;
  struct Row { std::function<void(tTextFile&)> write; std::string expected; };
  const Row rows[] = {
      {[](tTextFile& f) { f << -7; }, "-7"},
      {[](tTextFile& f) { f << static_cast<short>(-300); }, "-300"},
      {[](tTextFile& f) { f << -1234567890123L; }, "-1234567890123"},
      {[](tTextFile& f) { f << UINT_MAX; }, "4294967295"},
      {[](tTextFile& f) { f << static_cast<unsigned short>(65535); }, "65535"},
      {[](tTextFile& f) { f << 18446744073709551615UL; }, "18446744073709551615"},
      {[](tTextFile& f) { f << 0.1f; }, "0.100000"},
      {[](tTextFile& f) { f << 2.0 / 3.0; }, "0.666667"},
      {[](tTextFile& f) { f << -2.5L; }, "-2.500000"},
      {[](tTextFile& f) { f << true << false; }, "10"},
      {[](tTextFile& f) { f << 'c' << static_cast<unsigned char>(0xC8); }, "c\xC8"},
      {[](tTextFile& f) { f << "chars" << std::string(" and string"); }, "chars and string"},
      {[](tTextFile& f) { f << "a" << tab << 1 << endl << endl; }, "a\t1\n\n"},
      {[](tTextFile& f) { f << static_cast<const char*>(nullptr) << "z"; }, "z"},
  };
  tScratchDirectory dir;
  for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
    {
      tTextFile file(dir / "w.txt", TFILE_WRITE);
      rows[i].write(file);
    }
    EXPECT_EQ(rows[i].expected, readRaw(dir / "w.txt")) << "row " << i;
  }
  tTextFile closed;
  closed << 1 << "x" << endl;
  EXPECT_FALSE(closed.isOpen());
  ostringstream text;
  text << "s" << endl;
  EXPECT_EQ("s\n", text.str());
}

TEST(tTextFileTest, EveryTypeReadsBackWhatWasWritten) {
  tScratchDirectory dir;
  EXPECT_EQ(INT_MIN, textRoundTrip(dir, INT_MIN, 0));
  EXPECT_EQ(static_cast<short>(-32768), textRoundTrip<short>(dir, -32768, 0));
  EXPECT_EQ(LONG_MIN, textRoundTrip(dir, LONG_MIN, 0L));
  EXPECT_EQ(UINT_MAX, textRoundTrip(dir, UINT_MAX, 0u));
  EXPECT_EQ(65535, textRoundTrip<unsigned short>(dir, 65535, 0));
  EXPECT_EQ(ULONG_MAX, textRoundTrip(dir, ULONG_MAX, 0UL));
  EXPECT_EQ(0.1f, textRoundTrip(dir, 0.1f, 0.0f));
  EXPECT_EQ(-1234.5, textRoundTrip(dir, -1234.5, 0.0));
  EXPECT_EQ(0.25L, textRoundTrip(dir, 0.25L, 0.0L));
  EXPECT_TRUE(textRoundTrip(dir, true, false));
  EXPECT_FALSE(textRoundTrip(dir, false, true));
  EXPECT_EQ(' ', textRoundTrip(dir, ' ', 'x'));
  EXPECT_EQ(0xC8, textRoundTrip<unsigned char>(dir, 0xC8, 0));
  EXPECT_EQ("word", textRoundTrip<std::string>(dir, "word", ""));
}

TEST(tTextFileTest, UnreadableValuesStayAndLongWordsComeInPieces) {
  tScratchDirectory dir;
  writeRaw(dir / "bad.txt", "abc 5 0");
  tTextFile file(dir / "bad.txt", TFILE_READ);
  int number = 42;
  double real = 1.5;
  bool flag = false, zero = true;
  std::string word, none = "x";
  file >> number >> real >> word >> flag >> zero >> number >> none;
  EXPECT_EQ(42, number);
  EXPECT_EQ(1.5, real);
  EXPECT_EQ("abc", word);
  EXPECT_TRUE(flag);
  EXPECT_FALSE(zero);
  EXPECT_EQ("", none);
  tTextFile closed;
  closed >> number >> word;
  EXPECT_EQ(42, number);

  writeRaw(dir / "long.txt", std::string(100, 'a') + " tail");
  tTextFile longWord(dir / "long.txt", TFILE_READ);
  std::string pieces[4] = {"x", "x", "x", "x"};
  longWord >> pieces[0] >> pieces[1] >> pieces[2] >> pieces[3];
  EXPECT_EQ(std::string(79, 'a'), pieces[0]);
  EXPECT_EQ(std::string(21, 'a'), pieces[1]);
  EXPECT_EQ("tail", pieces[2]);
  EXPECT_EQ("", pieces[3]);
  EXPECT_TRUE(longWord.eof());
}
