#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Shell/tCommandLine.h"
#include "blam/tBLAMUseStatement.h"

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
    case tCommandLine::MODE_RENDER: {
      const tRenderCommand::tOptions& render = commandLine.getRenderOptions();
      text << "render " << render.function << " " << render.method << " " << render.width << "x"
           << render.height << " iterations " << render.iterations << " step " << render.step << " "
           << render.palette << (render.shade ? " shade" : "")
           << (render.annotate ? " annotate" : "") << " -o " << render.output;
      for (double bound : check.bounds) text << " " << bound;
      for (double c : render.center) text << " center " << c;
      if (render.viewWidth > 0) text << " width " << render.viewWidth;
      break;
    }
  }
  if (batch.seed) text << " seed " << *batch.seed;
  if (batch.threads) text << " threads " << batch.threads;
  if (!batch.outputDirectory.empty()) text << " output-dir " << batch.outputDirectory;
  if (batch.sharded) text << " shard " << batch.shard << "/" << batch.shards;
  if (batch.quiet) text << " quiet";
  if (!batch.progress) text << " no progress";
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
      {"--batch a.blam --progress=none", "batch a.blam no progress"},
      {"render a.func", "render a.func NewtonSolver 0x0 iterations 100 step 1 classic -o "},
      {"render f(z)=z^3-1 --size 7 --seed 3 --threads 2",
       "render f(z)=z^3-1 NewtonSolver 7x7 iterations 100 step 1 classic -o  seed 3 threads 2"},
      {"render a.func --method HalleySolver --size 640x480 --bounds -2 2 -1.5 1.5 --iterations 30 "
       "--step 0.5 --palette okabe-ito --shade --annotate -o out/b.tga",
       "render a.func HalleySolver 640x480 iterations 30 step 0.5 okabe-ito shade annotate -o "
       "out/b.tga "
       "-2 2 -1.5 1.5"},
      {"render --center -0.5 1e-3 --width 2e-8 -o -x.png a.func",
       "render a.func NewtonSolver 0x0 iterations 100 step 1 classic -o -x.png center -0.5 center "
       "0.001 width 2e-08"},
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
  const std::string size = "--size needs N or WxH, whole numbers from 1 to 16384";
  std::string methods;
  for (const std::string& name : tBLAMUseStatement::getSolverNames())
    methods += (methods.empty() ? "" : ", ") + name;
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
      {"--seed 1", "--seed goes with --batch or render"},
      {"--quiet", "--quiet goes with --batch, --merge or --check"},
      {"--bounds 0 1 0 1", "--bounds goes with --check or render"},
      {"--batch a.blam --bounds 0 1 0 1", "--bounds goes with --check or render"},
      {"--check a.func --seed 1", "--seed goes with --batch or render"},
      {"--batch a.blam --check a.func", "--check cannot go with --batch"},
      {"--merge out --quiet --seed 1", "--merge DIR takes no other option"},
      {"--batch a.blam --merge out", "--merge DIR takes no other option"},
      {"--help --batch a.blam", "--help takes no other option"},
      {"--quiet --version", "--version takes no other option"},
      {"--batch a.blam --progress=lines",
       "--progress=lines: progress is shown unless --progress=none"},
      {"--check a.func --progress=none", "--progress=none goes with --batch or --merge"},
      {"render", "render needs a function file or an f(z) = ... text"},
      {"render a.func b.func", "unexpected argument b.func"},
      {"a.func render", "unexpected argument a.func"},
      {"render a.func --batch b.blam", "--batch cannot go with render"},
      {"render a.func --quiet", "--quiet goes with --batch, --merge or --check"},
      {"--batch a.blam --size 4", "--size goes with render"},
      {"render a.func --method Newton", "--method needs one of " + methods},
      {"render a.func --method", "--method needs one of " + methods},
      {"render a.func --size 0", size},
      {"render a.func --size 16385", size},
      {"render a.func --size 4x", size},
      {"render a.func --size x4", size},
      {"render a.func --size 4x4x4", size},
      {"render a.func --size 2.5", size},
      {"render a.func --size 100x0", size},
      {"render a.func --bounds 0 1 0", "--bounds needs four numbers: MINX MAXX MINY MAXY"},
      {"render a.func --bounds 0 1 1 0", "--bounds needs MINX < MAXX and MINY < MAXY"},
      {"render a.func --center 0", "--center needs two numbers: X Y"},
      {"render a.func --center 0 y --width 1", "--center needs two numbers: X Y"},
      {"render a.func --width 0", "--width needs a number greater than 0"},
      {"render a.func --width -1", "--width needs a number greater than 0"},
      {"render a.func --center 0 0", "--center X Y and --width W go together"},
      {"render a.func --width 1", "--center X Y and --width W go together"},
      {"render a.func --bounds 0 1 0 1 --center 0 0 --width 1", "--center cannot go with --bounds"},
      {"render a.func --bounds 0 1 0 1 --width 1", "--width cannot go with --bounds"},
      {"render a.func --iterations 0", "--iterations needs a whole number from 1 to 999999999"},
      {"render a.func --iterations 1e3", "--iterations needs a whole number from 1 to 999999999"},
      {"render a.func --step 0", "--step needs a number greater than 0"},
      {"render a.func --step nan", "--step needs a number greater than 0"},
      {"render a.func --palette rainbow",
       "--palette needs a palette: classic, okabe-ito, argument, argument-modulus"},
      {"render a.func --shade=yes", "--shade=yes: --shade takes no value"},
      {"render a.func -o out.jpg", "-o needs a picture's name ending in .png or .tga"},
      {"render a.func -o .png", "-o needs a picture's name ending in .png or .tga"},
      {"render a.func -o", "-o needs a picture's name ending in .png or .tga"},
      {"render a.func --seed 1.5", seed},
  };
  for (const auto& row : rows) {
    tCommandLine commandLine;
    std::string error;
    EXPECT_FALSE(commandLine.parse(words(row.arguments), error)) << row.arguments;
    EXPECT_EQ(row.error, error) << row.arguments;
  }
}
