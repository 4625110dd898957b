#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "File/tCSVFile.h"
#include "File/tFileTestSupport.h"

// Cells quoted only where they must be, a double quote doubled inside; a line
// of them all splits back into the same cells.
TEST(tCSVFileTest, QuotedCellsSplitBackWhole) {
  const struct {
    std::string cell;
    std::string inFile;
  } rows[] = {
      {"plain", "plain"},
      {"", ""},
      {" spaced ", " spaced "},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\r", "\"cr\r\""},
      {"\"x,\"\"\n", "\"\"\"x,\"\"\"\"\n\""},
  };
  std::vector<std::string> cells;
  std::string line;
  for (const auto& row : rows) {
    EXPECT_EQ(row.inFile, tCSVFile::quote(row.cell)) << row.cell;
    line += (cells.empty() ? "" : ",") + row.inFile;
    cells.push_back(row.cell);
  }
  EXPECT_EQ(cells, tCSVFile::splitLine(line));
}

// A new file gets the first rows' columns as its header; rows of other
// columns go into the header's by name, and a new column widens the file,
// the earlier rows empty there, a quoted cell with a line end kept whole.
TEST(tCSVFileTest, RowsGoIntoTheHeadersColumnsByName) {
  tScratchDirectory dir;
  const std::string path = dir / "runs.csv";
  std::string error;
  ASSERT_TRUE(tCSVFile::appendRows(path, {"a", "b"}, {{"1", "x,y"}, {"2", "two\n\"lines\""}},
                                   error));
  EXPECT_EQ("a,b\n1,\"x,y\"\n2,\"two\n\"\"lines\"\"\"\n", readRaw(path));
  ASSERT_TRUE(tCSVFile::appendRows(path, {"c", "a"}, {{"new", "3"}}, error));
  ASSERT_TRUE(tCSVFile::appendRows(path, {"b"}, {{"4"}}, error));
  EXPECT_EQ("a,b,c\n1,\"x,y\",\n2,\"two\n\"\"lines\"\"\",\n3,,new\n,4,\n", readRaw(path));

  EXPECT_FALSE(tCSVFile::appendRows(dir.path(), {"a"}, {{"1"}}, error));
  EXPECT_EQ("cannot write " + dir.path() + ": not a regular file", error);
}
