#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/tFunction.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tSession.h"
#include "graphics/tImage.h"

namespace {

// A reading's trace past the line of the tokenizing time, which varies.
std::string pastTiming(const std::string& trace) { return trace.substr(trace.find("\n\n")); }

// What a picture leaves: its bytes, labels, the roots met and their
// colours, where its random sequence stands, and the reading's trace.
struct tOutcome {
  std::vector<unsigned char> bytes;
  std::vector<uint16_t> labels;
  std::vector<std::pair<tVector2, tPixel>> roots;
  float nextDraw;
  std::string trace;

  bool operator==(const tOutcome& o) const {
    return bytes == o.bytes && labels == o.labels && roots == o.roots &&
           nextDraw == o.nextDraw && trace == o.trace;
  }
};

// z^4 - 1 in random colours with three jittered samples per pixel, so the
// picture draws from its session's sequence all the time, on two threads.
tOutcome jitteredPicture(unsigned int seed) {
  tSession session;
  std::ostringstream trace;
  session.setFunction(new tFunction("quartic.func", trace, std::cerr));
  session.setSolver(new tNewtonSolver(40, 1.0));
  session.getRandom().seed(seed);
  session.setFractal(tFractal::create(128, -2, 2, -2, 2, session.getPictureContext()));
  tFractal& fractal = *session.getFractal();
  fractal.setJitter(3);
  tFractalComputation(&fractal, session.getFunction(), session.getSolver(), 2).run();
  const tImage& image = *fractal.getImage();
  const unsigned char* raw = image.getRawData();
  return {std::vector<unsigned char>(raw, raw + 4 * image.getWidth() * image.getHeight()),
          fractal.getBasinLabels().getLabels(), session.getRoots().getRoots(),
          session.getRandom().randInRange(0.0f, 1.0f), pastTiming(trace.str())};
}

}  // namespace

// Two sessions computing at once on two threads each give the picture they
// give alone: neither's sequence, registry or colours reach the other.
TEST(tSessionTest, TwoSessionsAtOnceComputeAsEachAlone) {
  const tOutcome first = jitteredPicture(5);
  const tOutcome second = jitteredPicture(6);
  ASSERT_FALSE(first.bytes == second.bytes);  // the seeds give different colours
  for (int round = 0; round < 3; ++round) {
    tOutcome together[2];
    std::thread other([&] { together[1] = jitteredPicture(6); });
    together[0] = jitteredPicture(5);
    other.join();
    EXPECT_TRUE(together[0] == first) << round;
    EXPECT_TRUE(together[1] == second) << round;
  }
}

// A reading traced on streams of its own puts there what it would put on
// the standard streams, and nothing on them: the trace, and the warnings of
// a file that stops early.
TEST(tSessionTest, FunctionReadingTracesOnTheStreamsGiven) {
  const std::string path = testing::TempDir() + "stops.func";
  std::ofstream(path) << "f1 = x^2 - 1\nf2 = y\nF11 = 2*x\n";
  std::ostringstream trace;
  std::ostringstream messages;
  const tPrinted printed = printedBy([&] { tFunction(path, trace, messages); });
  EXPECT_EQ("", printed.out + printed.err);
  const tPrinted standard = printedBy([&] { tFunction{path}; });
  EXPECT_NE(std::string::npos, trace.str().find("f22 derived"));
  EXPECT_EQ(pastTiming(standard.out), pastTiming(trace.str()));
  EXPECT_NE(std::string::npos, messages.str().find("stops.func:3:8: reading stopped at '*'"));
  EXPECT_EQ(standard.err, messages.str());
}
