// Scripts run in one process, each with a context of its own (session,
// trace, progress record, outputs), share nothing: two at once on two
// threads give the trace, warnings, failures and files each gives alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMScript.h"
#include "blam/tBLAMTestSupport.h"
#include "fractal/tSession.h"

namespace {

// A sweep of a loaded function in seeded random colours, with a graph of a
// misspelt name: a warning on every run.
std::string sweepScript(const std::string& directory) {
  return "_imageDimension = 16\n_maxIterations = 30\n_outputDir = \"" + directory +
         "\"\n_seed = 7\n_useRandomColors = true\nf = loadFunction \"cubic.func\"\n"
         "use NewtonSolver\nbatch \"sweep\" of 2\n  a from 0.5 to 1.5\n  run f\n"
         "  graph \"dims\" a widht\nend\n";
}

// A function defined in the script, its derivatives derived, run by a
// solver chosen anew with each step size, in a format that fails each run.
std::string pairScript(const std::string& directory) {
  return "_imageDimension = 16\n_outputDir = \"" + directory +
         "\"\n_imageFormat = \"gif\"\ng = function f1 = x ^ 2 - y ^ 2 - 1 f2 = 2 * x * y end\n"
         "batch \"pair\" of 2\n  _stepSize = 0.5 * _n_\n  use HeunSolver\n  run g\nend\n";
}

// What a script run leaves: its trace with the timings masked, its
// warnings, its failures and pictures, and its files with the times masked.
struct tOutcome {
  std::string trace;
  std::string messages;
  unsigned failures = 0;
  unsigned pictures = 0;
  std::map<std::string, std::string> files;

  bool operator==(const tOutcome& o) const {
    return trace == o.trace && messages == o.messages && failures == o.failures &&
           pictures == o.pictures && files == o.files;
  }
};

tOutcome runScript(const std::string& name, const std::string& text,
                   const std::string& directory) {
  std::filesystem::remove_all(directory);
  tSession session;
  std::ostringstream trace, messages;
  tBLAMProgress progress(messages);
  tBLAMOutputs outputs;
  {
    tBLAMScript script({session, trace, progress, outputs});
    script.loadScriptText(name, text);
    script.run();
  }
  const tBLAMProgress::tSummary summary = progress.getSummary();
  return {maskTimings(trace.str()), messages.str(), summary.failures, summary.pictures,
          filesBelow(directory)};
}

}  // namespace

TEST(tBLAMScriptThreadsTest, TwoScriptsAtOnceGiveWhatEachGivesAlone) {
  tScratchDirectory scratch;
  const std::string sweepDir = scratch / "sweep";
  const std::string pairDir = scratch / "pair";
  const std::string sweep = sweepScript(sweepDir);
  const std::string pair = pairScript(pairDir);
  const tOutcome sweepAlone = runScript("sweep.blam", sweep, sweepDir);
  const tOutcome pairAlone = runScript("pair.blam", pair, pairDir);

  // Each alone did what its script asks, so that the rounds compare something.
  EXPECT_EQ("sweep.blam:11:18: 'widht' is not set; it reads as 0\n", sweepAlone.messages);
  EXPECT_EQ(7u, sweepAlone.files.size());
  EXPECT_EQ(2u, pairAlone.failures);
  EXPECT_EQ(2u, pairAlone.pictures);
  EXPECT_NE(std::string::npos, pairAlone.trace.find("setting: _stepSize : 1\n"));

  for (int round = 0; round < 3; ++round) {
    tOutcome sweepTogether;
    std::thread other([&] { sweepTogether = runScript("sweep.blam", sweep, sweepDir); });
    const tOutcome pairTogether = runScript("pair.blam", pair, pairDir);
    other.join();
    EXPECT_TRUE(sweepTogether == sweepAlone) << round << "\n" << sweepTogether.trace;
    EXPECT_TRUE(pairTogether == pairAlone) << round << "\n" << pairTogether.trace;
  }
}
