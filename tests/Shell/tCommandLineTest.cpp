#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Shell/tCommandLine.h"

namespace {

// The arguments as a shell splits them; '' is an empty one.
std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> list;
  for (std::string word; in >> word;) list.push_back(word == "''" ? "" : word);
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

// The message of every usage error names the argument at fault; the
// options' values are checked before how the options go together. The
// program prints it as one line on standard error and exits with status 2
// (tBLAMCommandLineTest, tBLAMSweepTest).
TEST(tCommandLineTest, UsageErrorsNameTheArgument) {
  const std::string seed = "--seed needs a whole number from 0 to 16777216";
  const std::string threads = "--threads needs a whole number from 1 to 4096";
  const std::string shard = "--shard needs K/N, shard K of N counted from 0 (0 <= K < N)";
  const struct {
    const char* arguments;
    std::string error;
  } rows[] = {
      {"--hlep", "unknown option --hlep"},
      {"-h", "unknown option -h"},
      {"--batch a.blam --Seed 1", "unknown option --Seed"},
      {"--seed 1 --seed 2", "--seed given twice"},
      {"--batch a.blam --batch b.blam", "--batch given twice"},
      {"--check --quiet --quiet a.func", "--quiet given twice"},
      {"--check a.func --bounds 0 1 0 1 --bounds 0 2 0 2", "--bounds given twice"},
      {"--batch a.blam --threads=2", "--threads=2: write --threads 2"},
      {"--batch=a.blam", "--batch=a.blam: write --batch a.blam"},
      {"--batch a.blam --quiet=yes", "--quiet=yes: --quiet takes no value"},
      {"--check --bounds=0,1,0,1 a.func", "--bounds=0,1,0,1: write --bounds and its values apart"},
      {"six.blam --batch", "unexpected argument six.blam"},
      {"--batch a.blam b.blam", "unexpected argument b.blam"},
      {"--seed 1 a.blam", "unexpected argument a.blam"},
      {"--version now", "unexpected argument now"},
      {"--batch", "--batch needs a script file"},
      {"--batch ''", "--batch needs a script file"},
      {"--batch --seed 1", "--batch needs a script file"},
      {"--batch a.blam --seed", seed},
      {"--batch a.blam --seed -1", seed},
      {"--batch a.blam --seed 1.5", seed},
      {"--batch a.blam --seed 16777217", seed},
      {"--batch a.blam --seed x", seed},
      {"--batch a.blam --seed ''", seed},
      {"--batch a.blam --threads", threads},
      {"--batch a.blam --threads 0", threads},
      {"--batch a.blam --output-dir --quiet", "--output-dir needs a directory"},
      {"--batch a.blam --shard 1", shard},
      {"--batch a.blam --shard 2/2", shard},
      {"--merge", "--merge needs the output directory of the shards"},
      {"--check", "--check needs a function file"},
      {"--check --quiet", "--check needs a function file"},
      {"--check --bounds 0 1 2 a.func", "--bounds needs four numbers: MINX MAXX MINY MAXY"},
      {"--check --bounds 1 0 0 1 a.func", "--bounds needs MINX < MAXX and MINY < MAXY"},
      {"--seed 1", "--seed goes with --batch"},
      {"--quiet", "--quiet goes with --batch, --merge or --check"},
      {"--bounds 0 1 0 1", "--bounds goes with --check"},
      {"--batch a.blam --bounds 0 1 0 1", "--bounds goes with --check"},
      {"--check a.func --seed 1", "--seed goes with --batch"},
      {"--batch a.blam --check a.func", "--check cannot go with --batch"},
      {"--merge out --quiet --seed 1", "--merge DIR takes no other option"},
      {"--batch a.blam --merge out", "--merge DIR takes no other option"},
      {"--help --batch a.blam", "--help takes no other option"},
      {"--quiet --version", "--version takes no other option"},
  };
  for (const auto& row : rows) {
    tCommandLine commandLine;
    std::string error;
    EXPECT_FALSE(commandLine.parse(words(row.arguments), error)) << row.arguments;
    EXPECT_EQ(row.error, error) << row.arguments;
  }
}
