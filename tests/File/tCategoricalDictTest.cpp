#include <gtest/gtest.h>

#include <string>

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

TEST(tCategoricalDictTest, CategoriesByName) {
  tCategoricalDict dict;
  for (const char* name : {"A", "B", "A"}) dict.addCategory(name);
  dict.addEntryToCategory("A", "x");
  dict.addEntryToCategory("B", "y");
  dict.addEntryToCategory("missing", "z");
  EXPECT_EQ("{\nA\nx\n}\n{\nB\ny\n}\n", text(dict));
  EXPECT_FALSE(dict.hasCategory("b"));
  EXPECT_EQ(0u, dict.numEntriesInCategory("missing"));
  dict["A"][0] = "changed";
  const tCategoricalDict& constant = dict;
  EXPECT_EQ("changed y", constant["A"][0] + " " + constant["B"][0]);
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
  EXPECT_FALSE(dict.readFile(dir / "missing.txt") || dict.readFile(dir.path()));

  tCategoricalDict read;
  ASSERT_TRUE(read.readFile(dir / "prefs.txt") && read.hasCategory("BLAM"));
  read["BLAM"].push_back("/home/u/run.blam");
  EXPECT_EQ("{\nStep Size\n0.1\ny\n}\n{\nBLAM\n/home/u/run.blam\n}\n", text(read));
}

TEST(tCategoricalDictTest, ReadingKeepsWhatCameBeforeAFault) {
  struct Row { const char* name; std::string text; bool ok; const char* contents; };
  const Row rows[] = {
      {"empty file", "", false, ""},
      {"no final line end", "{\nA\nx\n}", true, "{\nA\nx\n}\n"},
      {"spaces after the last block", "{\nA\nx\n}\n   \n", false, "{\nA\nx\n}\n"},
      {"empty entry lost", "{\nA\n\n\nx\n}\n", true, "{\nA\nx\n}\n"},
      {"closing brace as name", "{\n}\n{\nA\n}\n", false, ""},
      {"opening brace in block", "{\nA\nx\n{\nB\n}\n", false, "{\nA\nx\n}\n"},
      {"text outside a block", "{\nA\n}\nB\n", false, "{\nA\n}\n"},
      {"last block unclosed", "{\nA\nx\n", true, "{\nA\nx\n}\n"},
      {"name read twice", "{\nA\nx\n}\n{\nB\n}\n{\nA\ny\n}\n", true, "{\nA\nx\ny\n}\n{\nB\n}\n"},
      {"CR LF line ends", "{\r\nA\r\nx\r\n}\r\n", true, "{\nA\nx\n}\n"},
      {"trimmed lines", " {\t\n\t A \n  0.5  \n \t \n  }  \n", true, "{\nA\n0.5\n\n}\n"},
  };
  tScratchDirectory dir;
  for (const Row& r : rows) {
    writeRaw(dir / "in.txt", r.text);
    tCategoricalDict dict;
    EXPECT_EQ(r.ok, dict.readFile(dir / "in.txt")) << r.name;
    EXPECT_EQ(r.contents, text(dict)) << r.name;
  }
}

TEST(tCategoricalDictDeathTest, LookingUpAMissingCategoryStops) {
  tCategoricalDict dict;
  dict.addCategory("A");
  const tCategoricalDict& constant = dict;
  EXPECT_DEATH(dict["B"], kAssertion);
  EXPECT_DEATH(constant["B"], kAssertion);
}
