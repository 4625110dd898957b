// Sweeps past one process, through the program itself: thread counts, the
// output directory, shards run side by side and merged against the whole
// run, and what is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "blam/tBLAMTestSupport.h"

namespace {

namespace fs = std::filesystem;

const char kSweep[] = ROOTWEAVER_SOURCE_DIR "/tests/blam/sweeps/six.blam";
// The sweep with its random sequences seeded from the command line.
const std::string kSeededSweep = std::string("--seed 7 --batch ") + kSweep;

// One thread or two write the same files and trace. Three shards at once
// (xargs -P 3), then the merge, give the files of the whole run byte for byte
// apart from the times; the shards remove no old output and leave the plots
// to the merge, which removes old outputs once, sparing the shards' pictures.
// Run one after the other from the last, the shards give the same.
TEST(tBLAMSweepTest, ThreadCountsAndShardsWriteTheFilesOfTheWholeRun) {
  tAppCopy app;
  for (const char* directory : {"whole", "out/two", "sharded", "last"}) {
    fs::create_directories(app / directory + "/six");
    writeRaw(app / directory + "/six/sweep-fractal-9.png", "old\n");
    writeRaw(app / directory + "/six/sweep-dims.txt", "[0, 0]\n");
    writeRaw(app / directory + "/six/notes.txt", "mine\n");
  }
  const tAppCopy::tResult whole = app.run(kSeededSweep + " --threads 1 --output-dir whole");
  const tAppCopy::tResult two = app.run(kSeededSweep + " --threads 2 --output-dir out/two");
  ASSERT_EQ(0, whole.status) << whole.err;
  ASSERT_EQ(0, two.status) << two.err;
  EXPECT_EQ(maskTimings(whole.out), maskTimings(two.out));
  const auto files = filesBelow(app / "whole");
  EXPECT_EQ(31u, files.size());
  EXPECT_EQ(std::vector<std::string>(), differences(files, filesBelow(app / "out/two")));
  EXPECT_FALSE(pathExists(app / "six"));

  const tAppCopy::tResult shards =
      app.shell("printf '0\\n1\\n2\\n' | xargs -P 3 -I K ./rootweaver " + kSeededSweep +
                " --shard K/3 --output-dir sharded");
  ASSERT_EQ(0, shards.status) << shards.err;
  EXPECT_EQ("", shards.err);
  for (const char* name : {"sweep-fractal-1.png", "sweep-fractal-3.png", "inner-fractal-1.png",
                           "-fractal-0.png", "sweep-fractal-9.png"})
    EXPECT_TRUE(pathExists(app / "sharded/six/" + name)) << name;
  EXPECT_FALSE(pathExists(app / "sharded/six/sweep-fractal-data.txt"));
  EXPECT_FALSE(pathExists(app / "sharded/six/sweep-dims.svg"));
  EXPECT_FALSE(pathExists(app / "sharded/six/sweep-iterations.svg"));
  EXPECT_FALSE(pathExists(app / "sharded/six/sweep-maps.png"));
  EXPECT_TRUE(pathExists(app / "sharded/.rootweaver-shards/shard-2-of-3"));

  const tAppCopy::tResult merge = app.run("--merge sharded");
  EXPECT_EQ(0, merge.status);
  EXPECT_EQ(whole.err, merge.err);
  EXPECT_EQ(maskTimings(whole.out), maskTimings(merge.out));
  EXPECT_EQ(std::vector<std::string>(), differences(files, filesBelow(app / "sharded")));
  EXPECT_EQ(0u, files.count("six/sweep-fractal-9.png"));
  EXPECT_EQ("mine\n", files.at("six/notes.txt"));
  EXPECT_EQ(1u, files.count("six/inner-entropy.svg"));
  EXPECT_EQ(1u, files.count("six/-iterations.svg"));
  EXPECT_EQ(1u, files.count("six/sweep-maps.png"));

  const std::string shard = "./rootweaver " + kSeededSweep + " --output-dir last";
  ASSERT_EQ(0, app.shell(shard + " --shard 2/3 && " + shard + " --shard 1/3 && " + shard +
                         " --shard 0/3 && ./rootweaver --merge last")
                   .status);
  EXPECT_EQ(std::vector<std::string>(), differences(files, filesBelow(app / "last")));
}

TEST(tBLAMSweepTest, RefusalsAndUsageErrorsAreOneLine) {
  tAppCopy app;
  writeRaw(app / "plain", "a file\n");
  fs::create_directories(app / "empty");
  writeRaw(app / "kept.blam",
           "_imageDimension = 8\n_useRandomColors = false\n_keepRootColors = true\n"
           "f = loadFunction \"cubic.func\"\nuse NewtonSolver\nbatch \"k\" of 2\nrun f\nend\n");
  // The second run's bounds come from the first run's results.
  writeRaw(app / "chained.blam",
           "_imageDimension = 8\n_useRandomColors = false\nf = loadFunction \"cubic.func\"\n"
           "use NewtonSolver\nbatch \"c\" of 2\nrun f\n_maxX = 2 + 0 * _rootCount_\nend\n");
  ASSERT_EQ(0, app.shell("./rootweaver --batch chained.blam --shard 0/2 --output-dir chain && "
                         "./rootweaver --batch chained.blam --shard 1/2 --output-dir chain && "
                         "./rootweaver --batch chained.blam --shard 1/2 --output-dir half && "
                         "./rootweaver --batch chained.blam --shard 0/2 --output-dir seeds && "
                         "./rootweaver --batch chained.blam --shard 1/2 --output-dir seeds "
                         "--seed 2")
                   .status);
  const struct {
    std::string arguments;
    int status;
    std::string err;
  } rows[] = {
      {"--version", 0, ""},
      {"--batch kept.blam --shard 1/2 --output-dir refused", 2,
       "rootweaver: kept.blam cannot run as shards: run f (run 1): _keepRootColors carries the "
       "roots and colours of earlier runs into its picture\n"},
      {std::string("--batch ") + kSweep + " --shard 0/2 --output-dir refused", 2,
       std::string("rootweaver: ") + kSweep +
           " cannot run as shards: run f (run 1): random colours or jitter without _seed draw "
           "from the random sequence that earlier runs drew from (set _seed, or give --seed, to "
           "seed each picture alike)\n"},
      {"--batch kept.blam --output-dir plain/out", 1,
       "rootweaver: cannot write to output directory plain/out\n"},
      {"--merge nowhere", 1, "rootweaver: cannot merge nowhere: no such directory\n"},
      {"--merge empty", 1,
       "rootweaver: cannot merge " + app / "empty/" + ": no shard files in " + app / "empty/" +
           ".rootweaver-shards/ (run the shards first, with this output directory)\n"},
      {"--merge half", 1,
       "rootweaver: cannot merge " + app / "half/" + ": shard 0 of 2 has not finished (no " +
           app / "half/" + ".rootweaver-shards/shard-0-of-2)\n"},
      {"--merge chain", 1,
       "rootweaver: cannot merge " + app / "chain/" +
           ": run f (run 2): its shard computed it with other settings, which come from an "
           "earlier run's results; run the script whole\n"},
      {"--merge seeds", 1,
       "rootweaver: cannot merge " + app / "seeds/" +
           ": shard 1 of 2 ran with another --seed than shard 0\n"},
  };
  for (const auto& row : rows) {
    const tAppCopy::tResult result = app.run(row.arguments);
    EXPECT_EQ(row.status, result.status) << row.arguments;
    EXPECT_EQ(row.err, result.err) << row.arguments;
    EXPECT_EQ(row.status == 0 ? "rootweaver " ROOTWEAVER_VERSION "\n" : "", result.out)
        << row.arguments;
  }
  EXPECT_TRUE(fs::is_empty(app / "refused"));
  EXPECT_FALSE(pathExists(app / "chain/c-fractal-data.txt"));
}

// --quiet leaves standard output empty and changes nothing else: the same
// warnings and count of failures on standard error, the same status and the
// same files, whole, as shards and merged.
TEST(tBLAMSweepTest, QuietRunsPrintNothingOnStandardOutput) {
  tAppCopy app;
  writeRaw(app / "quiet.blam",
           "_imageDimension = 8\n_maxIterations = 10\n_useRandomColors = false\n"
           "f = loadFunction \"quadratic.func\"\nuse Newton\nuse NewtonSolver\n"
           "batch \"q\" of 2\nc from 1 to 2\nrun f\ngraph \"roots\" c _rootCount_\nend\n");
  const tAppCopy::tResult loud = app.run("--batch quiet.blam --output-dir loud");
  const tAppCopy::tResult quiet = app.run("--batch quiet.blam --quiet --output-dir quiet");
  EXPECT_EQ(1, loud.status);
  EXPECT_NE(std::string::npos, loud.out.find("BLAM statements = "));
  EXPECT_NE(std::string::npos, loud.err.find("use Newton: unknown solver"));
  EXPECT_EQ(loud.status, quiet.status);
  EXPECT_EQ("", quiet.out);
  EXPECT_EQ(loud.err, quiet.err);
  const auto files = filesBelow(app / "loud");
  EXPECT_EQ(7u, files.size());
  EXPECT_EQ(std::vector<std::string>(), differences(files, filesBelow(app / "quiet")));

  for (const char* shard : {"0/2", "1/2"}) {
    const tAppCopy::tResult sharded =
        app.run(std::string("--batch quiet.blam --output-dir sharded --quiet --shard ") + shard);
    EXPECT_EQ(1, sharded.status) << shard;
    EXPECT_EQ("", sharded.out) << shard;
    EXPECT_EQ(loud.err, sharded.err) << shard;
  }
  // A merge with failed statements keeps the shard files, so it runs again.
  const tAppCopy::tResult quietMerge = app.run("--quiet --merge sharded");
  const tAppCopy::tResult loudMerge = app.run("--merge sharded");
  EXPECT_EQ(1, quietMerge.status);
  EXPECT_EQ("", quietMerge.out);
  EXPECT_EQ(maskTimings(loud.out), maskTimings(loudMerge.out));
  EXPECT_EQ(loudMerge.status, quietMerge.status);
  EXPECT_EQ(loudMerge.err, quietMerge.err);
}

}  // namespace
