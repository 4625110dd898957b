// Runs every script of tests/blam/scripts/ through `rootweaver --batch` in a
// fresh copy of the application folder and checks what the script's comment
// lines expect:
//   // given file: PATH              a file that exists before the run
//   // expect stdout: LINE           stdout holds these lines in this order
//                                    (timings masked as "#")
//   // expect stderr: LINE           stderr is exactly these lines
//   // expect exit: N                exit status (0 when not given)
//   // expect file: PATH             / // expect no file: PATH
//   // expect image: PATH SIDE       a 24-bit TGA of SIDE x SIDE pixels
//   // expect line PATH: LINE        the file is exactly these lines (the
//                                    values of Took and Dimension masked as "#")
// In expected text, \t stands for a tab and {app} for the application
// directory of the copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "blam/tBLAMTestSupport.h"

namespace {

namespace fs = std::filesystem;

using Lines = std::vector<std::string>;

struct Expectations {
  Lines givenFiles;
  Lines stdoutLines;
  Lines stderrLines;
  int exitStatus = 0;
  Lines files;
  Lines missingFiles;
  std::vector<std::pair<std::string, unsigned>> images;
  std::map<std::string, Lines> fileLines;
};

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
}

bool takePrefix(const std::string& line, const std::string& prefix, std::string& rest) {
  if (line.compare(0, prefix.size(), prefix) != 0) return false;
  rest = line.substr(prefix.size());
  return true;
}

Expectations readExpectations(const fs::path& script, const std::string& appDir) {
  Expectations expect;
  std::ifstream in(script);
  std::string line, rest;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    replaceAll(line, "\\t", "\t");
    replaceAll(line, "{app}", appDir);
    if (takePrefix(line, "// given file: ", rest)) expect.givenFiles.push_back(rest);
    if (takePrefix(line, "// expect stdout: ", rest)) expect.stdoutLines.push_back(rest);
    if (takePrefix(line, "// expect stderr: ", rest)) expect.stderrLines.push_back(rest);
    if (takePrefix(line, "// expect exit: ", rest)) expect.exitStatus = std::stoi(rest);
    if (takePrefix(line, "// expect file: ", rest)) expect.files.push_back(rest);
    if (takePrefix(line, "// expect no file: ", rest)) expect.missingFiles.push_back(rest);
    if (takePrefix(line, "// expect image: ", rest)) {
      std::size_t space = rest.rfind(' ');
      expect.images.push_back({rest.substr(0, space), std::stoul(rest.substr(space + 1))});
    }
    if (takePrefix(line, "// expect line ", rest)) {
      std::size_t colon = rest.find(": ");
      expect.fileLines[rest.substr(0, colon)].push_back(rest.substr(colon + 2));
    }
  }
  return expect;
}

Lines splitLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A data file with the computing times and dimensions, which vary, masked.
std::string maskDataValues(const std::string& text) {
  static const std::regex took("(Took: \t\t)[^ ]*");
  static const std::regex dimension("(Dimension: \t)[^\n]*");
  return std::regex_replace(std::regex_replace(text, took, "$1#"), dimension, "$1#");
}

// Side of a square uncompressed 24-bit TGA, or 0 when the file is not one.
unsigned tgaSide(const std::string& path) {
  std::string bytes = readRaw(path);
  if (bytes.size() < 18 || bytes[2] != 2 || bytes[16] != 24) return 0;
  auto word = [&bytes](int at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  unsigned width = word(12), height = word(14);
  if (width != height || bytes.size() != 18 + 3ul * width * height) return 0;
  return width;
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

  EXPECT_EQ(expect.exitStatus, result.status);
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
  for (const auto& [file, lines] : expect.fileLines)
    EXPECT_EQ(lines, splitLines(maskDataValues(readRaw(app / file)))) << file;
}

INSTANTIATE_TEST_SUITE_P(Scripts, tBLAMScriptFilesTest, testing::ValuesIn(scriptFiles()),
                         [](const testing::TestParamInfo<fs::path>& info) {
                           return info.param.stem().string();
                         });

}  // namespace
