#ifndef ROOTWEAVER_TESTS_BLAM_TBLAMTESTSUPPORT_H
#define ROOTWEAVER_TESTS_BLAM_TBLAMTESTSUPPORT_H

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "File/tCSVFile.h"
#include "File/tFileTestSupport.h"

// A copy of the application folder in a fresh directory: the program, its
// sample functions and its font picture (linked), so that a script's outputs
// land in the copy.
class tAppCopy {
 public:
  // Standard output and error of one run, and the exit status (-1 when the
  // program did not exit normally). The lines a batch writes on standard
  // error after each run ("run 2 of 3: NAME, 0.4 s, about 0.5 s left"),
  // which time the runs, are kept apart from the rest of it.
  struct tResult {
    std::string out, err;
    int status;
    std::string runs;
  };

  tAppCopy() {
    namespace fs = std::filesystem;
    const fs::path app = ROOTWEAVER_APP_DIR;
    fs::copy_file(app / "rootweaver", dir_ / "rootweaver");
    fs::copy(app / "Shared Functions", dir_ / "Shared Functions", fs::copy_options::recursive);
    fs::create_directory(dir_ / "resources");
    fs::create_symlink(app / "resources/Daduz.tga", dir_ / "resources/Daduz.tga");
  }

  // Runs the program with the arguments (shell words) from inside the copy.
  tResult run(const std::string& arguments) const { return shell("./rootweaver " + arguments); }

  // Runs a shell command from inside the copy.
  tResult shell(const std::string& command) const {
    const std::string inCopy =
        "cd '" + dir_.path() + "' && { " + command + "; } >.stdout 2>.stderr </dev/null";
    int status = std::system(inCopy.c_str());
    static const std::regex runLine(
        "run [0-9]+( of [0-9]+)?: [^\n]*, [0-9.]+ (s|min|h)"
        "(, about [0-9.]+ (s|min|h) left)?\n");
    const std::string err = readRaw(dir_ / ".stderr");
    std::string runs;
    for (std::sregex_iterator line(err.begin(), err.end(), runLine), end; line != end; ++line)
      runs += line->str();
    tResult result{readRaw(dir_ / ".stdout"), std::regex_replace(err, runLine, ""),
                   WIFEXITED(status) ? WEXITSTATUS(status) : -1, runs};
    for (const char* name : {".stdout", ".stderr"}) std::filesystem::remove(dir_ / name);
    return result;
  }

  std::string operator/(const std::string& name) const { return dir_ / name; }

 private:
  tScratchDirectory dir_;  // the copy
};

// Whether the run did all it was asked: status 0, nothing on standard error.
inline ::testing::AssertionResult succeeded(const tAppCopy::tResult& result) {
  if (result.status == 0 && result.err.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "status " << result.status << ", stderr:\n" << result.err;
}

// The trace with the timings, which change from run to run, replaced by "#".
inline std::string maskTimings(const std::string& trace) {
  static const std::regex timing("(Tokenizing took: |Cooked fractal in: )[^\n]*");
  return std::regex_replace(trace, timing, "$1#");
}

// The cells of a CSV file's column named seconds masked as "#".
inline std::string maskSeconds(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  const std::vector<std::string> header = tCSVFile::splitLine(line);
  const std::size_t seconds = std::find(header.begin(), header.end(), "seconds") - header.begin();
  if (seconds == header.size()) return text;
  std::string masked = line + "\n";
  while (std::getline(in, line)) {
    std::vector<std::string> cells = tCSVFile::splitLine(line);
    if (seconds < cells.size()) cells[seconds] = "#";
    for (std::size_t k = 0; k < cells.size(); ++k) masked += (k > 0 ? "," : "") + cells[k];
    masked += "\n";
  }
  return masked;
}

// A data block's computing time, which varies, and a CSV file's seconds
// column masked as "#".
inline std::string maskTimes(const std::string& text) {
  static const std::regex took("(Took: \t\t)[^ ]*");
  return maskSeconds(std::regex_replace(text, took, "$1#"));
}

// A data file with the computing times and dimensions, which vary, masked.
inline std::string maskDataValues(const std::string& text) {
  static const std::regex dimension("(Dimension: \t)[^\n]*");
  return maskTimes(std::regex_replace(text, dimension, "$1#"));
}

// One run's block of a data file, masked: the fields are the picture, the
// function, the solver, iterations, step size, minX, maxX, minY and maxY as
// printed, then NAME=VALUE for each parameter.
inline std::string dataBlock(const std::vector<std::string>& f) {
  std::string block = "****Dedavor Overede****\nName: \t\t" + f[0] + "\nFunc: \t\t" + f[1] +
                      "\nTook: \t\t# seconds\nDimension: \t#\nx Bounds: \t" + f[5] + " to " + f[6] +
                      "\ny Bounds: \t" + f[7] + " to " + f[8] + "\nSolver: \n\tName: \t\t" + f[2] +
                      "\n\tIterations: \t" + f[3] + "\n\tStep Size: \t" + f[4] + "\nParams: \n";
  for (std::size_t k = 9; k < f.size(); ++k) {
    const std::size_t equals = f[k].find('=');
    block += "\t" + f[k].substr(0, equals) + ": \t\t" + f[k].substr(equals + 1) + "\n";
  }
  return block + "\n";
}

// Every file below the directory by its relative path, with what it holds;
// the measured times (a data block's Took line, a CSV file's seconds column)
// masked.
inline std::map<std::string, std::string> filesBelow(const std::string& directory) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) {
    if (entry.is_regular_file())
      files[std::filesystem::relative(entry.path(), directory).string()] =
          maskTimes(readRaw(entry.path().string()));
  }
  return files;
}

// The files that differ between the two, or that only one has.
inline std::vector<std::string> differences(const std::map<std::string, std::string>& a,
                                     const std::map<std::string, std::string>& b) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : a)
    if (b.count(name) == 0 || b.at(name) != bytes) names.push_back(name);
  for (const auto& [name, bytes] : b)
    if (a.count(name) == 0) names.push_back(name);
  return names;
}

// Side of a square uncompressed 24-bit TGA, or 0 when the file is not one.
inline unsigned tgaSide(const std::string& path) {
  std::string bytes = readRaw(path);
  if (bytes.size() < 18 || bytes[2] != 2 || bytes[16] != 24) return 0;
  auto word = [&bytes](int at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  unsigned width = word(12), height = word(14);
  if (width != height || bytes.size() != 18 + 3ul * width * height) return 0;
  return width;
}

// Width and height of a PNG picture, from its header; (0, 0) when the file is
// not one.
inline std::pair<unsigned, unsigned> pngSize(const std::string& path) {
  const std::string bytes = readRaw(path);
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
      bytes.compare(12, 4, "IHDR") != 0)
    return {0, 0};
  auto word = [&bytes](int at) {
    unsigned value = 0;
    for (int k = 0; k < 4; ++k) value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
    return value;
  };
  return {word(16), word(20)};
}

#endif
