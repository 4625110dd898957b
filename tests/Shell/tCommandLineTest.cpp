#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Shell/tCommandLine.h"

namespace {

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> list;
  for (std::string word; in >> word;) list.push_back(word);
  return list;
}

// What the command line asks for, written as one line.
std::string describe(const tCommandLine& commandLine) {
  std::ostringstream text;
  const tBLAMBatchRunner::tOptions& batch = commandLine.getBatchOptions();
  const tCommandLine::tCheckOptions& check = commandLine.getCheckOptions();
  switch (commandLine.getMode()) {
    case tCommandLine::MODE_HELP:
      return "help";
    case tCommandLine::MODE_VERSION:
      return "version";
    case tCommandLine::MODE_CHECK:
      text << "check";
      for (const std::string& file : check.files) text << " " << file;
      if (!check.bounds.empty()) text << " bounds";
      for (double bound : check.bounds) text << " " << bound;
      if (check.quiet) text << " quiet";
      return text.str();
    case tCommandLine::MODE_MERGE:
      text << "merge " << batch.merge;
      break;
    case tCommandLine::MODE_BATCH:
      text << "batch " << batch.script;
      break;
  }
  if (batch.seed) text << " seed " << *batch.seed;
  if (batch.threads) text << " threads " << batch.threads;
  if (!batch.outputDirectory.empty()) text << " output-dir " << batch.outputDirectory;
  if (batch.sharded) text << " shard " << batch.shard << "/" << batch.shards;
  if (batch.quiet) text << " quiet";
  return text.str();
}

}  // namespace

// Every mode's options, in any order; values may begin with one "-".
TEST(tCommandLineTest, OptionsGiveWhatEachModeNeeds) {
  const struct {
    const char* arguments;
    const char* asked;
  } rows[] = {
      {"--batch a.blam", "batch a.blam"},
      {"--batch -a.blam", "batch -a.blam"},
      {"--quiet --shard 2/3 --output-dir out --threads 4096 --batch a.blam --seed 0",
       "batch a.blam seed 0 threads 4096 output-dir out shard 2/3 quiet"},
      {"--seed 16777216 --batch a.blam --shard 0/1", "batch a.blam seed 16777216 shard 0/1"},
      {"--merge out", "merge out"},
      {"--quiet --merge out", "merge out quiet"},
      {"--check a.func", "check a.func"},
      {"a.func --check b.func", "check a.func b.func"},
      {"--check a.func --bounds -1 1 -2.5 2e-1 b.func --quiet",
       "check a.func b.func bounds -1 1 -2.5 0.2 quiet"},
      {"--check -", "check -"},
      {"--help", "help"},
      {"--version", "version"},
  };
  for (const auto& row : rows) {
    tCommandLine commandLine;
    std::string error;
    EXPECT_TRUE(commandLine.parse(words(row.arguments), error)) << row.arguments << ": " << error;
    EXPECT_EQ(row.asked, describe(commandLine)) << row.arguments;
  }
}
