#include <gtest/gtest.h>

#include <string>

#include "blam/tBLAMTestSupport.h"

// _methodParameter reaches the Chebyshev-Halley family when `use` runs: at
// 0 its picture is Chebyshev's, at 1 Super-Halley's, byte for byte, and the
// two differ. Only the next `use` reads it, and a run before says so. Runs
// outside a batch are numbered in order; each is seeded alike, so that its
// colours are drawn alike.
TEST(tBLAMMethodsTest, MethodParameterSweepsTheFamily) {
  tAppCopy app;
  writeRaw(app / "family.blam",
           "_imageDimension = 24\n_maxIterations = 30\n_seed = 7\n"
           "f = loadFunction \"quinticz.func\"\n"
           "_outputPrefix = \"chebyshev\"\nuse ChebyshevSolver\nrun f\n"
           "_outputPrefix = \"superhalley\"\nuse SuperHalleySolver\nrun f\n"
           "_methodParameter = 0\n_outputPrefix = \"zero\"\nuse ChebyshevHalleySolver\nrun f\n"
           "_methodParameter = 1\n_outputPrefix = \"unused\"\nrun f\n"
           "_outputPrefix = \"one\"\nuse ChebyshevHalleySolver\nrun f\n");
  const tAppCopy::tResult result = app.run("--batch family.blam");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("family.blam:17:1: run f: _methodParameter is 1, but ChebyshevHalleySolver was chosen "
            "with 0: only the next 'use' reads it\n",
            result.err);
  const std::string chebyshev = readRaw(app / "-chebyshev-0.tga");
  const std::string superHalley = readRaw(app / "-superhalley-1.tga");
  ASSERT_FALSE(chebyshev.empty());
  EXPECT_TRUE(chebyshev != superHalley);
  EXPECT_TRUE(chebyshev == readRaw(app / "-zero-2.tga"));
  EXPECT_TRUE(chebyshev == readRaw(app / "-unused-3.tga"));
  EXPECT_TRUE(superHalley == readRaw(app / "-one-4.tga"));
}

// A map given by real formulas is refused by a method that needs f'' of
// f(z): the run fails saying why and writes no picture.
TEST(tBLAMMethodsTest, ARealMapIsRefused) {
  tAppCopy app;
  writeRaw(app / "real.blam", "f = loadFunction \"cubic.func\"\nuse HalleySolver\nrun f\n");
  const tAppCopy::tResult result = app.run("--batch real.blam");
  EXPECT_EQ(1, result.status);
  EXPECT_EQ(
      "real.blam: run f: HalleySolver needs f'' of a map given as f(z), not a map given by "
      "real formulas\nrootweaver: 1 statement failed; outputs incomplete\n",
      result.err);
  EXPECT_FALSE(pathExists(app / "-fractal-0.tga"));
}
