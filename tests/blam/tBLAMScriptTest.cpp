#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "blam/tBLAMProgress.h"
#include "blam/tBLAMScript.h"
#include "blam/tBLAMStatement.h"

namespace {

// Every example reads to its end: no warning that reading stopped early, no
// incomplete function.
TEST(tBLAMScriptTest, ExamplesReadWithoutWarnings) {
  int examples = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ROOTWEAVER_SOURCE_DIR "/examples")) {
    if (entry.path().extension() != ".blam") continue;
    ++examples;
    tBLAMScript script;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    bool read = script.loadScript(entry.path().string());
    std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << entry.path();
    EXPECT_TRUE(read) << entry.path();
    EXPECT_NE(std::string::npos, trace.find("BLAM statements = [[")) << entry.path();
  }
  EXPECT_GE(examples, 6);
}

TEST(tBLAMScriptTest, NumbersFromVariablesConvertWithoutOverflow) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    double value;
    std::uint32_t asUnsigned;
    int asInt;
  };
  const Row rows[] = {
      {nan, 0, 0},
      {-inf, 0, 0},
      {-1.5, 0, 0},
      {-0.0, 0, 0},
      {0.9, 0, 0},
      {300.9, 300, 300},
      {2147483647.5, 2147483647u, 2147483647},
      {2147483648.0, 2147483648u, 2147483647},
      {4294967295.9, 4294967295u, 2147483647},
      {1e300, 4294967295u, 2147483647},
      {inf, 4294967295u, 2147483647},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.asUnsigned, tBLAMStatement::toUnsigned(row.value)) << row.value;
    EXPECT_EQ(row.asInt, tBLAMStatement::toInt(row.value)) << row.value;
  }
}

TEST(tBLAMScriptTest, ProgressShowsBatchesStatementAndShareOfPixels) {
  tBLAMProgress& progress = tBLAMProgress::instance();
  progress.beginRun();
  progress.enterBatch("sweep", 3);
  progress.setIteration(2);
  progress.enterBatch("zoom", 4);
  progress.setIteration(1);
  progress.beginStatement("x = 2 *\n3");
  EXPECT_EQ("[sweep 2/3 > zoom 1/4] x = 2 * 3", tBLAMProgress::formatState(progress.getState()));
  progress.leaveBatch();
  progress.beginStatement("run f");
  progress.beginPixels(64);
  progress.setPixelsDone(40);
  tBLAMProgress::tState state = progress.getState();
  EXPECT_TRUE(state.running);
  EXPECT_EQ("[sweep 2/3] run f 62%", tBLAMProgress::formatState(state));
  progress.endRun();
  EXPECT_EQ("", tBLAMProgress::formatState(progress.getState()));
}

}  // namespace
