#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "File/tCategoricalDict.h"
#include "File/tFileTestSupport.h"

namespace {

// The dictionary as its file holds it.
std::string text(const tCategoricalDict& dict) {
  tScratchDirectory dir;
  EXPECT_TRUE(dict.writeFile(dir / "dict.txt"));
  return readRaw(dir / "dict.txt");
}

const char kAssertion[] = "File/tCategoricalDict:[0-9]+: failed assertion `itr != dict_.end\\(\\)'";

}  // namespace

TEST(tCategoricalDictTest, CategoriesByNameAndByIndex) {
  tCategoricalDict dict;
  for (const char* name : {"A", "B", "A"}) dict.addCategory(name);
  dict.addEntryToCategory("A", "x");
  dict.addEntryToCategory(1u, "y");
  dict.addEntryToCategory(0u, "x");
  dict.addEntryToCategory("missing", "z");
  dict.addEntryToCategory(2u, "z");
  EXPECT_EQ("{\nA\nx\nx\n}\n{\nB\ny\n}\n", text(dict));
  EXPECT_EQ(2u, dict.numCategories());
  EXPECT_FALSE(dict.hasCategory("b"));
  EXPECT_EQ(2u, dict.numEntriesInCategory("A"));
  EXPECT_EQ(1u, dict.numEntriesInCategory(1u));
  EXPECT_EQ(0u, dict.numEntriesInCategory("missing") + dict.numEntriesInCategory(2u));

  dict["A"][0] = "changed";
  dict[1u].push_back("more");
  const tCategoricalDict& constant = dict;
  EXPECT_EQ((std::vector<std::string>{"changed", "x"}), constant[0u]);
  EXPECT_EQ((std::vector<std::string>{"y", "more"}), constant["B"]);
}

TEST(tCategoricalDictTest, WritesExactlyTheBlocksAndReadsThemBack) {
  tScratchDirectory dir;
  tCategoricalDict dict;
  dict.addCategory("Step Size");
  dict.addEntryToCategory("Step Size", "0.1");
  dict.addEntryToCategory("Step Size", "y");
  dict.addCategory("BLAM");
  writeRaw(dir / "prefs.txt", "old contents that are much longer than the new ones\n");
  ASSERT_TRUE(dict.writeFile(dir / "prefs.txt"));
  EXPECT_EQ("{\nStep Size\n0.1\ny\n}\n{\nBLAM\n}\n", readRaw(dir / "prefs.txt"));
  EXPECT_FALSE(dict.writeFile(dir / "no/such/dir.txt"));

  tCategoricalDict read(dir / "prefs.txt");
  ASSERT_TRUE(read.hasCategory("BLAM"));
  read["BLAM"].push_back("/home/u/run.blam");
  EXPECT_EQ("{\nStep Size\n0.1\ny\n}\n{\nBLAM\n/home/u/run.blam\n}\n", text(read));
}

TEST(tCategoricalDictTest, ReadingKeepsWhatCameBeforeAFault) {
  struct Row { const char* name; std::string text; bool ok; const char* contents; };
  const Row rows[] = {
      {"empty file", "", false, ""},
      {"no final line end", "{\nA\nx\n}", true, "{\nA\nx\n}\n"},
      {"spaces after the last block", "{\nA\nx\n}\n   \n", false, "{\nA\nx\n}\n"},
      {"trimmed entries", "{\nA\n  0.5  \n \t \n}\n", true, "{\nA\n0.5\n\n}\n"},
      {"empty entry lost", "{\nA\n\n\nx\n}\n", true, "{\nA\nx\n}\n"},
      {"closing brace as name", "{\n}\n{\nA\n}\n", false, ""},
      {"opening brace as name", "{\n{\nA\n}\n", false, ""},
      {"opening brace in block", "{\nA\nx\n{\nB\n}\n", false, "{\nA\nx\n}\n"},
      {"text outside a block", "{\nA\n}\nB\n", false, "{\nA\n}\n"},
      {"last block unclosed", "{\nA\nx\n", true, "{\nA\nx\n}\n"},
      {"name read twice", "{\nA\nx\n}\n{\nB\n}\n{\nA\ny\n}\n", true, "{\nA\nx\ny\n}\n{\nB\n}\n"},
      {"CR LF line ends", "{\r\nA\r\nx\r\n}\r\n", true, "{\nA\nx\n}\n"},
      {"CR line ends", "{\rA\rx\r}\r", true, "{\nA\nx\n}\n"},
      {"trimmed braces and names", " {\t\n\t A \nx\n  }  \n", true, "{\nA\nx\n}\n"},
  };
  tScratchDirectory dir;
  for (const Row& r : rows) {
    writeRaw(dir / "in.txt", r.text);
    tCategoricalDict dict;
    EXPECT_EQ(r.ok, dict.readFile(dir / "in.txt")) << r.name;
    EXPECT_EQ(r.contents, text(dict)) << r.name;
  }
}

TEST(tCategoricalDictTest, ReadingAddsToWhatIsHeld) {
  tScratchDirectory dir;
  writeRaw(dir / "in.txt", "{\nB\nb\n}\n{\nA\na2\n}\n");
  tCategoricalDict dict;
  dict.addCategory("A");
  dict.addEntryToCategory("A", "a1");
  ASSERT_TRUE(dict.readFile(dir / "in.txt"));
  EXPECT_FALSE(dict.readFile(dir / "missing.txt") || dict.readFile(dir.path()));
  EXPECT_EQ("{\nA\na1\na2\n}\n{\nB\nb\n}\n", text(dict));
  EXPECT_EQ(0u, tCategoricalDict(dir / "missing.txt").numCategories());
}

TEST(tCategoricalDictDeathTest, LookingUpAMissingCategoryStops) {
  tCategoricalDict dict;
  dict.addCategory("A");
  const tCategoricalDict& constant = dict;
  EXPECT_DEATH(dict["B"], kAssertion);
  EXPECT_DEATH(constant["B"], kAssertion);
  EXPECT_DEATH(dict[1u], kAssertion);
  EXPECT_DEATH(constant[1u], kAssertion);
}
