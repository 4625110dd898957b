// Runs every script of tests/blam/scripts/ through `rootweaver --batch` in a
// fresh copy of the application folder and checks its comment lines:
//   // expect status: N          the exit status (0 when not given)
//   // given file: PATH          exists (holding "old") before the run
//   // given kept|removed: PATH  so, and exists [or not] after the run
//   // expect stdout: LINE       on stdout in this order, timings masked as "#"
//   // expect stderr: LINE       stderr is exactly these lines
//   // expect [no] file: PATH    the path exists [or not] after the run
//   // expect image: PATH SIDE   a 24-bit TGA of SIDE x SIDE pixels
//   // expect png: PATH W H      a PNG of W x H pixels
//   // expect line PATH: LINE    the file is exactly these lines, Took and
//                                Dimension values and the cells of a CSV
//                                column named seconds masked as "#"
//   // expect block PATH: FIELDS the lines of dataBlock(FIELDS) in that file
// In expected text, \t stands for a tab and {app} for the copy's directory.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "blam/tBLAMTestSupport.h"

namespace {

namespace fs = std::filesystem;

using Lines = std::vector<std::string>;

struct Expectations {
  int status = 0;
  Lines givenFiles, stdoutLines, stderrLines, files, missingFiles;
  std::vector<std::pair<std::string, unsigned>> images;
  std::vector<std::pair<std::string, std::pair<unsigned, unsigned>>> pngs;
  std::map<std::string, Lines> fileLines;
};

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
}

Lines splitLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Expectations readExpectations(const fs::path& script, const std::string& appDir) {
  Expectations expect;
  const std::vector<std::pair<const char*, std::vector<Lines*>>> listed = {
      {"// given file: ", {&expect.givenFiles}},
      {"// given kept: ", {&expect.givenFiles, &expect.files}},
      {"// given removed: ", {&expect.givenFiles, &expect.missingFiles}},
      {"// expect stdout: ", {&expect.stdoutLines}},
      {"// expect stderr: ", {&expect.stderrLines}},
      {"// expect file: ", {&expect.files}},
      {"// expect no file: ", {&expect.missingFiles}}};
  std::ifstream in(script);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    replaceAll(line, "\\t", "\t");
    replaceAll(line, "{app}", appDir);
    for (const auto& [prefix, lists] : listed)
      if (line.rfind(prefix, 0) == 0)
        for (Lines* lines : lists) lines->push_back(line.substr(std::strlen(prefix)));
    std::smatch m;
    if (std::regex_match(line, m, std::regex("// expect status: ([0-9]+)")))
      expect.status = std::stoi(m[1]);
    if (std::regex_match(line, m, std::regex("// expect image: (.*) ([0-9]+)")))
      expect.images.push_back({m[1], std::stoul(m[2])});
    if (std::regex_match(line, m, std::regex("// expect png: (.*) ([0-9]+) ([0-9]+)")))
      expect.pngs.push_back({m[1], {std::stoul(m[2]), std::stoul(m[3])}});
    if (std::regex_match(line, m, std::regex("// expect line ([^:]*): (.*)")))
      expect.fileLines[m[1]].push_back(m[2]);
    if (std::regex_match(line, m, std::regex("// expect block ([^:]*): (.*)"))) {
      std::istringstream words(m[2]);
      const Lines block = splitLines(dataBlock({std::istream_iterator<std::string>(words), {}}));
      Lines& lines = expect.fileLines[m[1]];
      lines.insert(lines.end(), block.begin(), block.end());
    }
  }
  return expect;
}

std::vector<fs::path> scriptFiles() {
  std::vector<fs::path> scripts;
  for (const auto& entry : fs::directory_iterator(ROOTWEAVER_SOURCE_DIR "/tests/blam/scripts"))
    if (entry.path().extension() == ".blam") scripts.push_back(entry.path());
  std::sort(scripts.begin(), scripts.end());
  return scripts;
}

class tBLAMScriptFilesTest : public testing::TestWithParam<fs::path> {};

TEST_P(tBLAMScriptFilesTest, RunsAsItsCommentsExpect) {
  const fs::path script = GetParam();
  tAppCopy app;
  const Expectations expect = readExpectations(script, app / "");
  fs::copy_file(script, app / script.filename().string());
  for (const std::string& given : expect.givenFiles) {
    fs::create_directories(fs::path(app / given).parent_path());
    writeRaw(app / given, "old\n");
  }

  tAppCopy::tResult result = app.run("--batch " + script.filename().string());

  EXPECT_EQ(expect.status, result.status);
  EXPECT_EQ(expect.stderrLines, splitLines(result.err));
  Lines out = splitLines(maskTimings(result.out));
  auto next = out.begin();
  for (const std::string& line : expect.stdoutLines) {
    auto found = std::find(next, out.end(), line);
    EXPECT_NE(out.end(), found) << "missing (or out of order) on stdout: " << line;
    if (found != out.end()) next = found + 1;
  }
  for (const std::string& file : expect.files) EXPECT_TRUE(pathExists(app / file)) << file;
  for (const std::string& file : expect.missingFiles) EXPECT_FALSE(pathExists(app / file)) << file;
  for (const auto& [file, side] : expect.images) EXPECT_EQ(side, tgaSide(app / file)) << file;
  for (const auto& [file, size] : expect.pngs) EXPECT_EQ(size, pngSize(app / file)) << file;
  for (const auto& [file, lines] : expect.fileLines)
    EXPECT_EQ(lines, splitLines(maskDataValues(readRaw(app / file)))) << file;
}

INSTANTIATE_TEST_SUITE_P(Scripts, tBLAMScriptFilesTest, testing::ValuesIn(scriptFiles()),
                         [](const testing::TestParamInfo<fs::path>& info) {
                           return info.param.stem().string();
                         });

}  // namespace
