// Batches, shards and merges on their failure paths, as a careful user and
// an attacker would try them: a full disk, shard files and pictures changed
// or crafted, links planted at output names, a folder in use, a merge that
// stopped half-way and ran again. Each must fail loudly (status 1, the file
// named), lose nothing and write nowhere but its own folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <xxhash.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "File/tFolderLock.h"
#include "blam/tBLAMTestSupport.h"
#include "graphics/tPNGLoader.h"

namespace {

namespace fs = std::filesystem;

const std::string kSweep = ROOTWEAVER_SOURCE_DIR "/tests/blam/sweeps/six.blam";

// The sweep's shard K of 3 into the folder.
std::string shardCommand(const std::string& folder, int k) {
  return "./rootweaver --seed 7 --batch " + kSweep + " --output-dir " + folder + " --shard " +
         std::to_string(k) + "/3";
}

// Runs the three shards into the folder; whether all exited with 0.
bool runShards(const tAppCopy& app, const std::string& folder) {
  return app.shell(shardCommand(folder, 0) + " && " + shardCommand(folder, 1) + " && " +
                   shardCommand(folder, 2))
             .status == 0;
}

// Every entry below the directory, links not followed, with its kind and,
// for a file, its bytes.
std::string listing(const std::string& directory) {
  std::string text;
  for (const auto& entry : fs::recursive_directory_iterator(directory)) {
    const fs::file_status status = entry.symlink_status();
    text += fs::relative(entry.path(), directory).string() + " " +
            std::to_string(static_cast<int>(status.type())) + "\n";
    if (fs::is_regular_file(status)) text += readRaw(entry.path().string()) + "\n";
  }
  return text;
}

// The shard file with its last line made to match what stands before it,
// as someone who crafts one would.
std::string reseal(const std::string& bytes) {
  const std::string body = bytes.substr(0, bytes.rfind('\n', bytes.size() - 2) + 1);
  char done[32];
  std::snprintf(done, sizeof done, "done %016" PRIx64 "\n", XXH64(body.data(), body.size(), 0));
  return body + done;
}

// The program run with files limited to 1 KiB, as on a full disk; its
// standard error reaches the test through a pipe, which the limit spares.
tAppCopy::tResult runOnFullDisk(const tAppCopy& app, const std::string& arguments) {
  const tAppCopy::tResult piped = app.shell("(ulimit -f 1; ./rootweaver " + arguments +
                                            " 2>&1 >/dev/null; echo \"status $?\") | cat");
  const std::size_t status = piped.out.rfind("status ");
  return {"", piped.out.substr(0, status), std::stoi(piped.out.substr(status + 7)), ""};
}

// Replaces the first `from` in the file with `to`, resealing it or not; an
// empty `to` takes the rest of the line away too.
void replaceIn(const std::string& path, const std::string& from, const std::string& to,
               bool resealed) {
  std::string bytes = readRaw(path);
  const std::size_t at = bytes.find(from);
  ASSERT_NE(std::string::npos, at) << from;
  const std::size_t length = to.empty() ? bytes.find('\n', at) + 1 - at : from.size();
  bytes.replace(at, length, to);
  writeRaw(path, resealed ? reseal(bytes) : bytes);
}

// A full disk (a file size limit of 1 KiB: every picture and plot is
// larger) fails the whole run and the merge with status 1, naming the file;
// no picture is left half written; the merge keeps the shard files, and run
// again with room it gives the files of one whole run, once.
TEST(tBLAMFailurePathsTest, AFullDiskFailsLoudlyAndLosesNothing) {
  tAppCopy app;
  const tAppCopy::tResult full =
      runOnFullDisk(app, "--seed 7 --batch " + kSweep + " --output-dir full");
  EXPECT_EQ(1, full.status);
  EXPECT_NE(std::string::npos,
            full.err.find("run f: cannot write " + app / "full/six/sweep-fractal-1.png: File too large\n"))
      << full.err;
  EXPECT_NE(std::string::npos, full.err.find(" statements failed; outputs incomplete\n"));
  for (const auto& entry : fs::directory_iterator(app / "full/six")) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name[0] != '.' && entry.path().extension() != ".png") << name;
  }

  ASSERT_EQ(0, app.run("--seed 7 --batch " + kSweep + " --output-dir whole").status);
  ASSERT_TRUE(runShards(app, "out"));
  const tAppCopy::tResult merge = runOnFullDisk(app, "--merge out");
  EXPECT_EQ(1, merge.status);
  EXPECT_NE(std::string::npos, merge.err.find(": File too large\n")) << merge.err;
  EXPECT_NE(std::string::npos,
            merge.err.find("outputs incomplete; the shard files are kept in " + app / "out/" +
                           ".rootweaver-shards/\n"))
      << merge.err;
  EXPECT_TRUE(pathExists(app / "out/.rootweaver-shards/shard-2-of-3"));
  EXPECT_EQ(0, app.run("--merge out").status);
  EXPECT_EQ(std::vector<std::string>(), differences(filesBelow(app / "whole"), filesBelow(app / "out")));
  // The merge took the shard files away: run again, it finds none.
  const tAppCopy::tResult again = app.run("--merge out");
  EXPECT_EQ(1, again.status);
  EXPECT_NE(std::string::npos, again.err.find("no shard files")) << again.err;
}

// Shard files and pictures changed by accident or crafted to harm: each is
// refused before anything is written, in one line naming the shard or the
// file; the folder and a file outside it stay as they were.
TEST(tBLAMFailurePathsTest, MergesRefuseShardsTheyCannotTrust) {
  tAppCopy app;
  ASSERT_TRUE(runShards(app, "pristine"));
  const std::string shards = app / "out/.rootweaver-shards/";
  const std::string six = app / "out/six/";
  const struct {
    const char* what;
    std::function<void()> change;
    std::string error;  // a part of the line on standard error
  } rows[] = {
      {"a record path outside the folder",
       [&] { replaceIn(shards + "shard-0-of-3", "text six/sweep-fractal-data.txt",
                       "text ../victim/file.txt", true); },
       "names ../victim/file.txt for run 1, which is not below the output directory"},
      {"an absolute record path",
       [&] { replaceIn(shards + "shard-0-of-3", "text six/sweep-fractal-data.txt",
                       "text " + app / "victim/file.txt", true); },
       "names " + app / "victim/file.txt for run 1, which is not below the output directory"},
      {"a name the run does not write",
       [&] { replaceIn(shards + "shard-1-of-3", "text six/sweep-fractal-data.txt",
                       "text six/sweep-evil.txt", true); },
       "run f (run 2): shard 1 of 3 recorded six/sweep-evil.txt, a file this run does not write"},
      {"a script that writes elsewhere",
       [&] {
         for (int k = 0; k < 3; ++k)
           replaceIn(shards + "shard-" + std::to_string(k) + "-of-3", "_outputDir\\20=\\20\"six\"",
                     "_outputDir\\20=\\20\"../victim\"", true);
       },
       "the script writes " + app / "out/../victim/" + ", outside " + app / "out/"},
      {"a flipped bit in a value",
       [&] { replaceIn(shards + "shard-2-of-3", "result _fractalDimension_ 3ff", "result _fractalDimension_ 4ff", false); },
       shards + "shard-2-of-3 has changed since its shard wrote it (its checksum does not match)"},
      {"a deleted line",
       [&] { replaceIn(shards + "shard-1-of-3", "row ", "", false); },
       shards + "shard-1-of-3 has changed since its shard wrote it (its checksum does not match)"},
      {"a deleted picture", [&] { fs::remove(six + "sweep-fractal-1.png"); },
       "shard 0 of 3 wrote " + six + "sweep-fractal-1.png, which is no longer there as a file"},
      {"a half-written picture", [&] { fs::resize_file(six + "sweep-fractal-2.png", 100); },
       "shard 1 of 3 wrote " + six + "sweep-fractal-2.png, which has changed since"},
      {"a linked folder",
       [&] {
         fs::rename(six, app / "victim/six");
         fs::create_directory_symlink(app / "victim/six", app / "out/six");
       },
       ", outside " + app / "out/"},
      {"a pipe for a shard file",
       [&] {
         fs::remove(shards + "shard-2-of-3");
         ASSERT_EQ(0, mkfifo((shards + "shard-2-of-3").c_str(), 0600));
       },
       shards + "shard-2-of-3 is not a regular file"},
      {"a shard named with a leading zero",
       [&] { fs::copy_file(shards + "shard-1-of-3", shards + "shard-01-of-3"); },
       shards + " holds shard-01-of-3, which is not a shard file (shard-K-of-N); remove it"},
      {"a shard past the last",
       [&] { fs::copy_file(shards + "shard-1-of-3", shards + "shard-3-of-3"); },
       shards + "shard-3-of-3 names shard 3 of 3, but the shards are counted from 0 to 2"},
      {"a shard file of an earlier version",
       [&] { replaceIn(shards + "shard-0-of-3", "rootweaver-shards 2\n", "rootweaver-shards 1\n", false); },
       "written by an earlier rootweaver, without checksums; run the shards again"},
  };
  for (const auto& row : rows) {
    fs::remove_all(app / "out");
    fs::remove_all(app / "victim");
    fs::copy(app / "pristine", app / "out", fs::copy_options::recursive);
    fs::create_directories(app / "victim");
    writeRaw(app / "victim/file.txt", "precious\n");
    row.change();
    const std::string before = listing(app / "out") + listing(app / "victim");
    const tAppCopy::tResult merge = app.run("--merge out");
    EXPECT_EQ(1, merge.status) << row.what;
    EXPECT_EQ(0u, merge.err.find("rootweaver: cannot merge " + app / "out/: ")) << merge.err;
    EXPECT_NE(std::string::npos, merge.err.find(row.error)) << row.what << "\n" << merge.err;
    EXPECT_EQ(1u, countOf(merge.err, "\n")) << row.what << "\n" << merge.err;
    EXPECT_EQ(before, listing(app / "out") + listing(app / "victim")) << row.what;
  }

  // Shards whose C library rounds its functions differently merge, with a
  // warning.
  fs::remove_all(app / "out");
  fs::copy(app / "pristine", app / "out", fs::copy_options::recursive);
  const std::string machine = readRaw(shards + "shard-0-of-3");
  const std::size_t at = machine.find("\nmachine ") + 1;
  const std::string line = machine.substr(at, machine.find('\n', at) - at);
  replaceIn(shards + "shard-2-of-3", line, "machine sse2 fma4 0.1", true);
  const tAppCopy::tResult merge = app.run("--merge out");
  EXPECT_EQ(0, merge.status);
  EXPECT_NE(std::string::npos, merge.err.find("rootweaver: warning: shard 0 of 3 ran on the C "
                                              "library ")) << merge.err;
  EXPECT_NE(std::string::npos, merge.err.find(", shard 2 of 3 on 0.1 with fma4: the last bits of "
                                              "values computed with sin, exp, pow and the like "
                                              "may differ from one whole run's\n"));
}

// A link planted at a shard's picture or at its shard file is replaced,
// never written through; a picture a shard cannot write fails the shard, and
// the merge names that shard instead of merging without its picture.
TEST(tBLAMFailurePathsTest, ShardsWriteNoLinkAndReportAPictureTheyCouldNotWrite) {
  tAppCopy app;
  fs::create_directories(app / "out/six");
  fs::create_directories(app / "out/.rootweaver-shards");
  writeRaw(app / "precious.png", "precious\n");
  writeRaw(app / "precious-shard", "precious\n");
  fs::create_symlink(app / "precious.png", app / "out/six/sweep-fractal-1.png");
  fs::create_symlink(app / "precious-shard", app / "out/.rootweaver-shards/shard-0-of-3");
  fs::create_directories(app / "out/six/sweep-fractal-2.png");
  ASSERT_EQ(0, app.shell(shardCommand("out", 0)).status);
  EXPECT_EQ("precious\n", readRaw(app / "precious.png"));
  EXPECT_EQ("precious\n", readRaw(app / "precious-shard"));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(app / "out/six/sweep-fractal-1.png")));

  const tAppCopy::tResult failed = app.shell(shardCommand("out", 1));
  EXPECT_EQ(1, failed.status);
  EXPECT_EQ(kSweep + ": run f: cannot write " + app / "out/six/sweep-fractal-2.png" +
                ": not a regular file\nrootweaver: 1 statement failed; outputs incomplete\n",
            failed.err);
  ASSERT_EQ(0, app.shell(shardCommand("out", 2)).status);
  const tAppCopy::tResult merge = app.run("--merge out");
  EXPECT_EQ(1, merge.status);
  EXPECT_EQ("rootweaver: cannot merge " + app / "out/" +
                ": run f (run 2): shard 1 of 3 could not write its picture; run that shard "
                "again\n",
            merge.err);
  fs::remove(app / "out/six/sweep-fractal-2.png");
  ASSERT_EQ(0, app.shell(shardCommand("out", 1) + " && ./rootweaver --merge out").status);
}

// One writer per folder: while a process holds the folder, a whole run and a
// merge into it are refused at once, naming the holder; shards share it
// with each other.
TEST(tBLAMFailurePathsTest, OneWriterPerFolder) {
  tAppCopy app;
  fs::create_directories(app / "out");
  {
    tFolderLock held;
    std::string error;
    ASSERT_TRUE(held.take(app / "out/", tFolderLock::SHARED, error));
    ASSERT_EQ(0, app.shell(shardCommand("out", 2)).status);
    const std::string refusal = "rootweaver: " + app / "out/" + " is in use by another rootweaver (pid " +
                                std::to_string(getpid()) + "); wait for it to end\n";
    for (const std::string& arguments :
         {std::string("--merge out"), "--seed 7 --batch " + kSweep + " --output-dir out"}) {
      const tAppCopy::tResult refused = app.run(arguments);
      EXPECT_EQ(1, refused.status) << arguments;
      EXPECT_EQ(refusal, refused.err) << arguments;
    }
  }
  EXPECT_FALSE(pathExists(app / "out/" + tFolderLock::FILE_NAME));
}

// A run or a merge killed at any moment leaves no picture half written under
// its final name, and run again gives the files of one, as a whole run run
// twice does.
TEST(tBLAMFailurePathsTest, KilledRunsAndMergesLeaveNothingHalfDone) {
  tAppCopy app;
  const std::string run = "--seed 7 --batch " + kSweep + " --output-dir ";
  ASSERT_EQ(0, app.run(run + "whole").status);
  const auto once = filesBelow(app / "whole");
  ASSERT_EQ(0, app.run(run + "whole").status);
  EXPECT_EQ(std::vector<std::string>(), differences(once, filesBelow(app / "whole")));
  for (const char* seconds : {"0.02", "0.05", "0.08"}) {
    app.shell(std::string("timeout -s KILL ") + seconds + " ./rootweaver " + run + "killed");
    if (!pathExists(app / "killed/six")) continue;
    for (const auto& entry : fs::directory_iterator(app / "killed/six")) {
      if (entry.path().extension() != ".png") continue;
      tImage picture;
      EXPECT_TRUE(tPNGLoader().load(entry.path().string(), &picture)) << entry.path();
    }
  }
  ASSERT_EQ(0, app.run(run + "killed").status);
  EXPECT_EQ(std::vector<std::string>(), differences(once, filesBelow(app / "killed")));

  ASSERT_TRUE(runShards(app, "out"));
  app.shell("timeout -s KILL 0.03 ./rootweaver --merge out");
  app.run("--merge out");
  EXPECT_EQ(std::vector<std::string>(), differences(once, filesBelow(app / "out")));
}

}  // namespace
