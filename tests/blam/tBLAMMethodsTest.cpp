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

// Each method for f(z) after Schroder's runs from a script. King's family at
// b = 0 gives Ostrowski's picture byte for byte, and Laguerre's n given as 5
// the picture of the degree it finds in z^5 - 1.
TEST(tBLAMMethodsTest, UseTakesTheMethodsOfTwoPointsAndLaguerre) {
  const char* const names[] = {"Traub", "Ostrowski", "King", "Jarratt", "Steffensen", "Laguerre"};
  std::string script =
      "_imageDimension = 16\n_maxIterations = 30\n_seed = 7\nf = loadFunction \"quinticz.func\"\n";
  for (const char* name : names)
    script += std::string("_outputPrefix = \"") + name + "\"\nuse " + name + "Solver\nrun f\n";
  script +=
      "_methodParameter = 0\n_outputPrefix = \"king0\"\nuse KingSolver\nrun f\n"
      "_methodParameter = 5\n_outputPrefix = \"laguerre5\"\nuse LaguerreSolver\nrun f\n";
  tAppCopy app;
  writeRaw(app / "methods.blam", script);
  const tAppCopy::tResult result = app.run("--batch methods.blam");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("", result.err);
  for (int run = 0; run < 6; ++run)
    EXPECT_FALSE(
        readRaw(app / ("-" + std::string(names[run]) + "-" + std::to_string(run) + ".tga")).empty())
        << names[run];
  const std::string ostrowski = readRaw(app / "-Ostrowski-1.tga");
  EXPECT_TRUE(ostrowski != readRaw(app / "-King-2.tga"));
  EXPECT_TRUE(ostrowski == readRaw(app / "-king0-6.tga"));
  EXPECT_TRUE(readRaw(app / "-Laguerre-5.tga") == readRaw(app / "-laguerre5-7.tga"));
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

// The methods for any map run by name on a map given by real formulas, each
// writing its picture, whose data block names it.
TEST(tBLAMMethodsTest, MethodsForAnyMapRunByName) {
  const char* const names[] = {"TraubSystemSolver", "JarrattSystemSolver", "ChebyshevSystemSolver",
                               "HalleySystemSolver", "BacktrackingNewtonSolver"};
  tAppCopy app;
  std::string script =
      "_imageDimension = 16\n_maxIterations = 20\nf = loadFunction \"cubic.func\"\n";
  for (const char* name : names) script += std::string("use ") + name + "\nrun f\n";
  writeRaw(app / "any.blam", script);
  const tAppCopy::tResult result = app.run("--batch any.blam");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("", result.err);
  const std::string data = readRaw(app / "-fractal-data.txt");
  for (int k = 0; k < 5; ++k) {
    EXPECT_TRUE(pathExists(app / ("-fractal-" + std::to_string(k) + ".tga"))) << names[k];
    EXPECT_NE(std::string::npos, data.find(names[k])) << names[k];
  }
}
