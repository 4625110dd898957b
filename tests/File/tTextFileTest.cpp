#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "File/tFileTestSupport.h"
#include "File/tTextFile.h"

namespace {

std::vector<std::string> readAllLines(const std::string& path) {
  tTextFile file(path);
  std::vector<std::string> lines;
  while (!file.eof()) lines.push_back(file.readLine());
  return lines;
}

}  // namespace

// Lines as the settings file and CSV headers are read.
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
