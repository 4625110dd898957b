#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "File/tCategoricalDict.h"
#include "File/tFileTestSupport.h"

namespace {

std::string joined(const std::vector<std::string>& entries) {
  std::string out;
  for (std::size_t k = 0; k < entries.size(); ++k) out += (k ? "|" : "") + entries[k];
  return out;
}

// "[entry|entry];" for every category, in index order.
std::string dump(const tCategoricalDict& dict) {
  std::string out;
  for (unsigned int i = 0; i < dict.numCategories(); ++i) out += "[" + joined(dict[i]) + "];";
  return out;
}

// The named categories that exist with their entries: "name:[entry|entry];".
std::string dumpNamed(const tCategoricalDict& dict, const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names)
    if (dict.hasCategory(name)) out += name + ":[" + joined(dict[name]) + "];";
  return out;
}

const char kAssertion[] = "File/tCategoricalDict:[0-9]+: failed assertion `itr != dict_.end\\(\\)'";

}  // namespace

TEST(tCategoricalDictTest, CategoriesByNameAndByIndex) {
  tCategoricalDict dict;
  dict.addCategory("A");
  dict.addCategory("B");
  dict.addCategory("A");
  dict.addEntryToCategory("A", "x");
  dict.addEntryToCategory(1u, "y");
  dict.addEntryToCategory(0u, "x");
  dict.addEntryToCategory("missing", "z");
  dict.addEntryToCategory(2u, "z");

  EXPECT_EQ(2u, dict.numCategories());
  EXPECT_TRUE(dict.hasCategory("B"));
  EXPECT_FALSE(dict.hasCategory("b"));
  EXPECT_EQ(2u, dict.numEntriesInCategory("A"));
  EXPECT_EQ(1u, dict.numEntriesInCategory(1u));
  EXPECT_EQ(0u, dict.numEntriesInCategory("missing"));
  EXPECT_EQ(0u, dict.numEntriesInCategory(2u));
  EXPECT_EQ("[x|x];[y];", dump(dict));

  dict["A"][0] = "changed";
  dict[1u].push_back("more");
  EXPECT_EQ("[changed|x];[y|more];", dump(dict));
  const tCategoricalDict& constant = dict;
  std::vector<std::string> copy = constant["B"];
  copy.clear();
  EXPECT_EQ(2u, dict.numEntriesInCategory("B"));

  tCategoricalDict empty;
  empty.addCategory("");
  empty.addEntryToCategory("", "e");
  EXPECT_EQ("[e];", dump(empty));
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
  const std::string blocks = "{\nStep Size\n0.1\ny\n}\n{\nBLAM\n}\n";
  EXPECT_EQ(blocks, readRaw(dir / "prefs.txt"));
  EXPECT_FALSE(dict.writeFile(dir / "no/such/dir.txt"));

  tCategoricalDict read(dir / "prefs.txt");
  EXPECT_EQ("Step Size:[0.1|y];BLAM:[];", dumpNamed(read, {"Step Size", "BLAM"}));
  read["BLAM"].push_back("/home/u/run.blam");
  ASSERT_TRUE(read.writeFile(dir / "prefs.txt"));
  EXPECT_EQ("{\nStep Size\n0.1\ny\n}\n{\nBLAM\n/home/u/run.blam\n}\n", readRaw(dir / "prefs.txt"));
}

TEST(tCategoricalDictTest, ReadingKeepsWhatCameBeforeAFault) {
  struct Row { const char* name; std::string text; bool ok; const char* contents; };
  const Row rows[] = {
      {"empty file", "", false, ""},
      {"no final line end", "{\nA\nx\n}", true, "A:[x];"},
      {"spaces after the last block", "{\nA\nx\n}\n   \n", false, "A:[x];"},
      {"trimmed entries", "{\nA\n  0.5  \n \t \n}\n", true, "A:[0.5|];"},
      {"empty entry lost", "{\nA\n\n\nx\n}\n", true, "A:[x];"},
      {"closing brace as name", "{\n}\n{\nA\n}\n", false, ""},
      {"opening brace as name", "{\n{\nA\n}\n", false, ""},
      {"opening brace in block", "{\nA\nx\n{\nB\n}\n", false, "A:[x];"},
      {"text outside a block", "{\nA\n}\nB\n", false, "A:[];"},
      {"last block unclosed", "{\nA\nx\n", true, "A:[x];"},
      {"name read twice", "{\nA\nx\n}\n{\nB\n}\n{\nA\ny\n}\n", true, "A:[x|y];B:[];"},
      {"CR LF line ends", "{\r\nA\r\nx\r\n}\r\n", true, "A:[x];"},
      {"CR line ends", "{\rA\rx\r}\r", true, "A:[x];"},
      {"trimmed braces and names", " {\t\n\t A \nx\n  }  \n", true, "A:[x];"},
  };
  tScratchDirectory dir;
  for (const Row& r : rows) {
    writeRaw(dir / "in.txt", r.text);
    tCategoricalDict dict;
    EXPECT_EQ(r.ok, dict.readFile(dir / "in.txt")) << r.name;
    EXPECT_EQ(r.contents, dumpNamed(dict, {"A", "B"})) << r.name;
  }
}

TEST(tCategoricalDictTest, ReadingAddsToWhatIsHeld) {
  tScratchDirectory dir;
  writeRaw(dir / "in.txt", "{\nB\nb\n}\n{\nA\na2\n}\n");
  tCategoricalDict dict;
  dict.addCategory("A");
  dict.addEntryToCategory("A", "a1");
  ASSERT_TRUE(dict.readFile(dir / "in.txt"));
  EXPECT_EQ("[a1|a2];[b];", dump(dict));
  EXPECT_FALSE(dict.readFile(dir / "missing.txt"));
  EXPECT_FALSE(dict.readFile(dir.path()));
  EXPECT_EQ("[a1|a2];[b];", dump(dict));
  tCategoricalDict unreadable(dir / "missing.txt");
  EXPECT_EQ(0u, unreadable.numCategories());
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
