#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/InstructionSets.h"
#include "expr/tFunction.h"
#include "fractal/tCoarseToFineComputation.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "fractal/tSolverKinds.h"
#include "fractal/tThreadCount.h"
#include "graphics/tImage.h"

namespace {

// The registry and random sequence this file's pictures share.
tPictureContext& context() {
  static tPictureContext shared;
  return shared;
}

// det J = 4xy - 1 changes sign across a hyperbola: pictures of its singular
// set have corners on both sides in every direction.
const char* const kSaddle = "f1 = x ^ 2 + y f2 = y ^ 2 + x f11 = 2 * x f12 = 1 f21 = 1 f22 = 2 * y";

// Eleven roots a quarter apart on the real line: a map too large to write
// out as real formulas, computed from f(z) and its derivatives.
const char* const kElevenFactors =
    "f ( z ) = ( z + 1.25 ) * ( z + 1 ) * ( z + 0.75 ) * ( z + 0.5 ) * ( z + 0.25 ) * z * "
    "( z - 0.25 ) * ( z - 0.5 ) * ( z - 0.75 ) * ( z - 1 ) * ( z - 1.25 )";

// A sample function by file name, or a function written out; the loading
// trace is kept off the test output.
std::shared_ptr<tFunction> load(const char* function) {
  return std::strchr(function, '=') ? functionFromText(function) : functionFromFile(function);
}

struct tSetup {
  const char* name;
  const char* function;
  int solver;  // makeSolver's kind
  unsigned long limit;
  double h;
  unsigned dimension;
  double extent;  // the picture covers [-extent, extent]^2
  uint32_t jitter;
  bool jitterFirst;
  bool singularSet;
  bool randomColors;
  // Rows of a picture of exactly dimension x height pixels, whose y extent
  // keeps the pixels square; 0 for the square picture of the dimension.
  unsigned height = 0;
};

// Everything a picture leaves behind: its bytes, its labels, the registry,
// and where the random sequence stands.
struct tResult {
  std::vector<unsigned char> bytes;
  std::vector<uint16_t> labels;
  std::vector<uint16_t> iterations;
  std::vector<std::size_t> labelRoots;
  std::vector<std::pair<tVector2, tPixel>> roots;
  float nextRand;

  bool operator==(const tResult& o) const {
    return bytes == o.bytes && labels == o.labels && iterations == o.iterations &&
           labelRoots == o.labelRoots && roots == o.roots && nextRand == o.nextRand;
  }
};

std::unique_ptr<tFractal> prepare(const tSetup& s) {
  const double y = s.height == 0 ? s.extent : s.extent * s.height / s.dimension;
  std::unique_ptr<tFractal> fractal(
      s.height == 0
          ? tFractal::create(s.dimension, -s.extent, s.extent, -y, y, context())
          : tFractal::create(s.dimension, s.height, -s.extent, s.extent, -y, y, context()));
  fractal->setJitter(s.jitter);
  fractal->setJitterFirst(s.jitterFirst);
  fractal->setSingularSet(s.singularSet);
  context().getRoots().clearRoots();
  context().getRoots().useRandomColors(s.randomColors);
  context().getRandom().seed(17);
  return fractal;
}

tResult resultOf(const tFractal& fractal) {
  const tImage& image = *fractal.getImage();
  const unsigned char* raw = image.getRawData();
  const tBasinLabels& labels = fractal.getBasinLabels();
  std::vector<std::size_t> labelRoots;
  for (std::size_t k = 0; k < labels.getRootCount(); ++k)
    labelRoots.push_back(labels.getRegistryIndex(static_cast<uint16_t>(k)));
  return {std::vector<unsigned char>(raw, raw + 4 * image.getWidth() * image.getHeight()),
          labels.getLabels(),
          labels.getIterations(),
          labelRoots,
          context().getRoots().getRoots(),
          context().getRandom().randInRange(0.0f, 1.0f)};
}

// One pixel after the other in row-major order, evaluating by the tree walk.
tResult reference(const tSetup& s) {
  auto f = load(s.function);
  f->setTreeWalk(true);
  auto solver = makeSolver(s.solver, s.limit, s.h);
  auto fractal = prepare(s);
  const auto width = static_cast<unsigned>(fractal->getWidth());
  const auto height = static_cast<unsigned>(fractal->getHeight());
  for (unsigned r = 0; r < height; ++r) {
    for (unsigned c = 0; c < width; ++c) fractal->computate(f.get(), solver.get(), r, c);
  }
  return resultOf(*fractal);
}

tResult engine(const tSetup& s, unsigned threads) {
  auto f = load(s.function);
  auto solver = makeSolver(s.solver, s.limit, s.h);
  auto fractal = prepare(s);
  tFractalComputation computation(fractal.get(), f.get(), solver.get(), threads);
  EXPECT_TRUE(computation.run());
  EXPECT_TRUE(computation.isDone());
  EXPECT_EQ(0u, context().getRandom().getKeptCount());
  EXPECT_EQ(s.singularSet, fractal->getBasinLabels().empty()) << s.name;
  return resultOf(*fractal);
}

// The picture a view computes, coarse passes first.
tResult coarseToFine(const tSetup& s, unsigned threads) {
  auto f = load(s.function);
  auto solver = makeSolver(s.solver, s.limit, s.h);
  auto fractal = prepare(s);
  tCoarseToFineComputation computation(fractal.get(), f.get(), solver.get(), 17, threads);
  EXPECT_TRUE(computation.run());
  EXPECT_TRUE(computation.isDone());
  EXPECT_EQ(3u, computation.getCoarsePasses());
  EXPECT_EQ(0u, context().getRandom().getKeptCount());
  return resultOf(*fractal);
}

}  // namespace

// Each test runs on SSE2 and on AVX2 packets: the pictures of both are the
// one-by-one reference's, byte for byte.
class tFractalComputationTest : public tOnEachInstructionSet {};
RUN_ON_EACH_INSTRUCTION_SET(tFractalComputationTest);

// Every solver's pictures, singular sets and jittered samples, of any size.
TEST_P(tFractalComputationTest, PicturesMatchTheOneByOneReference) {
  std::vector<tSetup> setups;
  for (int kind = 0; kind < kSolverKinds; ++kind) {
    const char* name = kSolverNames[kind];
    setups.push_back({name, "cubic.func", kind, 25, 1.0, 32, 2, 1, false, false, false});
    setups.push_back({name, kSaddle, kind, 12, 0.5, 16, 2, 1, false, true, false});
  }
  // Jitter, with failures that cut pixels short and new roots that draw
  // colours between samples, so that speculated offsets go wrong.
  setups.push_back({"jitter 4", "cubic.func", 0, 6, 1.0, 32, 2, 4, false, false, true});
  setups.push_back({"jitter 4 first", "cubic.func", 3, 6, 1.0, 32, 2, 4, true, false, true});
  setups.push_back({"jitter 3", "quartic.func", 2, 10, 1.0, 32, 1.5, 3, false, false, false});
  setups.push_back({"jitter 1 first", "sine.func", 0, 20, 1.0, 16, 4, 1, true, false, true});
  setups.push_back({"no samples", "fold.func", 5, 20, 1.0, 16, 2, 0, false, false, false});
  // Larger than the window of chunks computed ahead.
  setups.push_back({"jitter 2 wide", "cubic.func", 0, 15, 1.0, 128, 2, 2, false, false, true});
  setups.push_back({"wide singular", "fold.func", 0, 3, 1.0, 128, 1, 1, false, true, false});
  setups.push_back({"eleven factors", kElevenFactors, 0, 25, 1.0, 32, 1.5, 1, false, false, false});
  // Any width and height: odd sides, one pixel, or past a chunk of the
  // window.
  setups.insert(
      setups.end(),
      {
          {"1 x 1", "cubic.func", 0, 25, 1.0, 1, 2, 1, false, false, false, 1},
          {"1 x 9", "cubicz.func", 0, 25, 1.0, 1, 2, 1, false, false, false, 9},
          {"9 x 1", "cubicz.func", 0, 25, 1.0, 9, 2, 1, false, false, false, 1},
          {"33 x 17", "cubic.func", 0, 25, 1.0, 33, 2, 1, false, false, false, 17},
          {"17 x 33", "quartic.func", 3, 10, 1.0, 17, 1.5, 1, false, false, false, 33},
          {"601 x 3", "cubicz.func", 0, 25, 1.0, 601, 2, 1, false, false, false, 3},
          {"45 x 45", "cubicz.func", kFirstComplexKind, 12, 1.0, 45, 2, 1, false, false, false, 45},
          {"jitter 31 x 23", "cubic.func", 0, 6, 1.0, 31, 2, 4, false, false, true, 23},
          {"jitter first 23 x 31", "cubic.func", 3, 6, 1.0, 23, 2, 2, true, false, true, 31},
          {"singular 19 x 11", kSaddle, 0, 12, 0.5, 19, 2, 1, false, true, false, 11},
      });
  // The methods for f(z), besides on z^3 - 1 and z^5 - 1 on maps on which
  // the packet steps fail: a denominator of Super-Halley's and Schroder's
  // corrections is zero here and there on exp z - 1, Halley's on 1 / z, whose
  // other solves give up or meet a singular Jacobian; Laguerre's has no
  // degree on either, so every solve fails at its start.
  const char* const expMinusOne = "f ( z ) = exp z - 1";
  for (int kind = kFirstComplexKind; kind < kFirstComplexKind + kComplexKinds; ++kind) {
    setups.push_back({"cubicz", "cubicz.func", kind, 25, 1.0, 32, 2, 1, false, false, false});
    setups.push_back({"singular", "cubicz.func", kind, 8, 0.5, 16, 2, 1, false, true, false});
    setups.push_back({"jitter 3", "quinticz.func", kind, 6, 1.0, 24, 1.5, 3, false, false, true});
    setups.push_back({"exp z - 1", expMinusOne, kind, 12, 1.0, 24, 3, 1, false, false, false});
    setups.push_back({"exp singular", expMinusOne, kind, 8, 1.0, 16, 3, 1, false, true, false});
    setups.push_back(
        {"1 / z jitter", "f ( z ) = 1 / z", kind, 10, 0.5, 16, 2, 2, true, false, true});
  }
  // The methods for any map, on real ones and on f(z); the saddle's
  // Jacobian is singular on a hyperbola through the picture.
  for (int kind = kFirstSystemKind; kind < kFirstSystemKind + kSystemKinds; ++kind) {
    setups.push_back({"cubic", "cubic.func", kind, 25, 1.0, 32, 2, 1, false, false, false});
    setups.push_back({"singular", "cubic.func", kind, 8, 0.5, 16, 2, 1, false, true, false});
    setups.push_back({"cubicz", "cubicz.func", kind, 25, 1.0, 32, 2, 1, false, false, false});
    setups.push_back({"saddle", kSaddle, kind, 30, 1.0, 32, 2, 1, false, false, false});
    setups.push_back({"saddle singular", kSaddle, kind, 12, 0.5, 16, 2, 1, false, true, false});
    setups.push_back({"jitter 3", "quinticz.func", kind, 6, 1.0, 24, 1.5, 3, false, false, true});
  }
  setups.push_back(
      {"eleven", kElevenFactors, kFirstComplexKind, 12, 1.0, 16, 1.5, 1, false, false, false});
  // All six second partials of a map too large to write out, from f''(z).
  setups.push_back(
      {"eleven", kElevenFactors, kFirstSystemKind + 3, 12, 1.0, 16, 1.5, 1, false, false, false});
  for (const tSetup& s : setups) {
    const tResult expected = reference(s);
    if (s.height != 0) {
      ASSERT_EQ(4u * s.dimension * s.height, expected.bytes.size()) << s.name;
    }
    for (unsigned threads : {1u, 2u, 7u}) {
      EXPECT_TRUE(engine(s, threads) == expected)
          << s.name << ", solver " << s.solver << ", " << threads << " threads";
    }
  }
}

// A view's picture, coarse passes first, ends as the batch's picture, byte
// for byte, with the same registry and random sequence after it: random
// colours, jitter and singular sets alike, of any size.
TEST(tCoarseToFineComputationTest, EndsAsTheBatchPicture) {
  const tSetup setups[] = {
      {"random colours", "quartic.func", 0, 25, 1.0, 64, 2, 1, false, false, true},
      {"jitter 3", "cubic.func", 0, 6, 1.0, 32, 2, 3, false, false, true},
      {"jitter first", "cubic.func", 3, 6, 1.0, 32, 2, 2, true, false, true},
      {"singular", kSaddle, 0, 12, 0.5, 64, 2, 1, false, true, false},
      {"33 x 17", "cubic.func", 0, 25, 1.0, 33, 2, 1, false, false, true, 17},
  };
  for (const tSetup& s : setups) {
    const tResult expected = engine(s, 2);
    for (unsigned threads : {1u, 2u, 7u}) {
      EXPECT_TRUE(coarseToFine(s, threads) == expected) << s.name << ", " << threads << " threads";
    }
  }
}

// A background computation stopped in flight leaves a row-major prefix of
// the reference picture, the rest untouched, and the registry of that prefix.
TEST_P(tFractalComputationTest, CancellingLeavesAConsistentPrefix) {
  const tSetup s{"cancel", "cubic.func", 3, 100, 1.0, 512, 2, 1, false, true, false};
  auto f = load(s.function);
  auto solver = makeSolver(s.solver, s.limit, s.h);
  auto fractal = prepare(s);
  tFractalComputation computation(fractal.get(), f.get(), solver.get(), 2);
  ASSERT_TRUE(computation.start());
  EXPECT_FALSE(computation.start());
  // The picture is read while it grows, as a view shows it (the thread
  // sanitizer checks that the lock keeps the painting away).
  while (computation.getPaintedCount() == 0 && !computation.isDone()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    auto lock = computation.lockPicture();
    (void)fractal->getPixel(0, 0);
  }
  computation.cancel();
  const std::size_t painted = computation.getPaintedCount();
  ASSERT_FALSE(computation.isDone());
  ASSERT_GT(painted, 0u);
  tResult partial = resultOf(*fractal);

  auto expected = prepare(s);
  const std::size_t side = static_cast<std::size_t>(expected->getWidth());
  for (std::size_t pixel = 0; pixel < painted; ++pixel) {
    expected->computate(f.get(), solver.get(), static_cast<unsigned>(pixel / side),
                        static_cast<unsigned>(pixel % side));
  }
  EXPECT_TRUE(partial == resultOf(*expected)) << painted << " pixels painted";
}

// The complex form of cubic.func, f(z) = z^3 - a, draws its picture: only
// pixels on basin boundaries may go another way, where the formulas written
// out from f(z) round differently from the hand-written ones.
TEST_P(tFractalComputationTest, ComplexFormDrawsTheRealFormsPicture) {
  std::vector<unsigned char> pictures[2];
  const char* const files[] = {"cubic.func", "cubicz.func"};
  for (int k = 0; k < 2; ++k) {
    auto f = load(files[k]);
    auto solver = makeSolver(0, 50, 1.0);
    auto fractal = prepare({files[k], "", 0, 50, 1.0, 256, 2, 1, false, false, false});
    for (const tVector2& root :
         {tVector2(1, 0), tVector2(-0.5, std::sqrt(0.75)), tVector2(-0.5, -std::sqrt(0.75))})
      context().getRoots().getColorForRoot(root);
    tFractalComputation computation(fractal.get(), f.get(), solver.get());
    ASSERT_TRUE(computation.run());
    pictures[k] = resultOf(*fractal).bytes;
    EXPECT_EQ(3u, context().getRoots().getRoots().size()) << files[k];
  }
  ASSERT_EQ(4u * 256 * 256, pictures[0].size());
  unsigned differing = 0;
  for (std::size_t pixel = 0; pixel < pictures[0].size(); pixel += 4)
    differing += !std::equal(&pictures[0][pixel], &pictures[0][pixel] + 4, &pictures[1][pixel]);
  EXPECT_LE(differing, 256u * 256u / 200u);
  RecordProperty("differing pixels", static_cast<int>(differing));
}

// A process held to one CPU (as taskset or a scheduler holds it) computes on
// one thread unless told otherwise, however many cores the machine has.
TEST(tThreadCountTest, ThreadsDefaultToTheCPUsGranted) {
  cpu_set_t granted;
  ASSERT_EQ(0, sched_getaffinity(0, sizeof granted, &granted));
  int first = 0;
  while (!CPU_ISSET(first, &granted)) ++first;
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(first, &one);
  ASSERT_EQ(0, sched_setaffinity(0, sizeof one, &one));
  const unsigned alone = tThreadCount::get();
  tThreadCount::set(3);
  const unsigned set = tThreadCount::get();
  tThreadCount::set(0);
  sched_setaffinity(0, sizeof granted, &granted);
  EXPECT_EQ(1u, alone);
  EXPECT_EQ(3u, set);
  EXPECT_EQ(static_cast<unsigned>(CPU_COUNT(&granted)), tThreadCount::get());
}
