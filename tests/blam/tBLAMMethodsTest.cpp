#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "blam/tBLAMTestSupport.h"
#include "blam/tBLAMUseStatement.h"
#include "fractal/tIterativeSolver.h"

// Each run outside a batch is numbered in order and seeded alike, so that
// the pictures of one method are the same bytes. _methodParameter reaches
// the Chebyshev-Halley family when `use` runs: at 0 its picture is
// Chebyshev's, at 1 Super-Halley's, and the two differ; only the next `use`
// reads it, and a run before says so. Each method for f(z) after Schroder's
// runs: King's family at b = 0 gives Ostrowski's picture, and Laguerre's n
// given as 5 the picture of the degree it finds in z^5 - 1.
TEST(tBLAMMethodsTest, MethodParametersAndTheMethodsOfTwoPoints) {
  const char* const names[] = {"Traub", "Ostrowski", "King", "Jarratt", "Steffensen", "Laguerre"};
  std::string script =
      "_imageDimension = 16\n_maxIterations = 30\n_seed = 7\nf = loadFunction \"quinticz.func\"\n";
  for (const char* name : names)
    script += std::string("_outputPrefix = \"") + name + "\"\nuse " + name + "Solver\nrun f\n";
  script +=
      "_outputPrefix = \"chebyshev\"\nuse ChebyshevSolver\nrun f\n"
      "_outputPrefix = \"superhalley\"\nuse SuperHalleySolver\nrun f\n"
      "_methodParameter = 0\n_outputPrefix = \"zero\"\nuse ChebyshevHalleySolver\nrun f\n"
      "_methodParameter = 1\n_outputPrefix = \"unused\"\nrun f\n"
      "_outputPrefix = \"one\"\nuse ChebyshevHalleySolver\nrun f\n"
      "_methodParameter = 0\n_outputPrefix = \"king0\"\nuse KingSolver\nrun f\n"
      "_methodParameter = 5\n_outputPrefix = \"laguerre5\"\nuse LaguerreSolver\nrun f\n";
  tAppCopy app;
  writeRaw(app / "methods.blam", script);
  const tAppCopy::tResult result = app.run("--batch methods.blam");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(
      "methods.blam:35:1: run f: _methodParameter is 1, but ChebyshevHalleySolver was "
      "chosen with 0: only the next 'use' reads it\n",
      result.err);
  for (int run = 0; run < 6; ++run)
    EXPECT_FALSE(
        readRaw(app / ("-" + std::string(names[run]) + "-" + std::to_string(run) + ".tga")).empty())
        << names[run];
  const std::string chebyshev = readRaw(app / "-chebyshev-6.tga");
  const std::string superHalley = readRaw(app / "-superhalley-7.tga");
  EXPECT_TRUE(chebyshev != superHalley);
  EXPECT_TRUE(chebyshev == readRaw(app / "-zero-8.tga"));
  EXPECT_TRUE(chebyshev == readRaw(app / "-unused-9.tga"));
  EXPECT_TRUE(superHalley == readRaw(app / "-one-10.tga"));
  const std::string ostrowski = readRaw(app / "-Ostrowski-1.tga");
  EXPECT_TRUE(ostrowski != readRaw(app / "-King-2.tga"));
  EXPECT_TRUE(ostrowski == readRaw(app / "-king0-11.tga"));
  EXPECT_TRUE(readRaw(app / "-Laguerre-5.tga") == readRaw(app / "-laguerre5-12.tga"));
}

// The methods for any map run by name on a map given by real formulas, each
// writing its picture, whose data block names it. (Methods that need f'' of
// f(z) refuse such a map: montage.blam.)
TEST(tBLAMMethodsTest, MethodsForAnyMapRunByName) {
  const char* const names[] = {"TraubSystemSolver", "JarrattSystemSolver", "ChebyshevSystemSolver",
                               "HalleySystemSolver", "BacktrackingNewtonSolver"};
  tAppCopy app;
  std::string script =
      "_imageDimension = 16\n_maxIterations = 20\nf = loadFunction \"cubic.func\"\n";
  for (const char* name : names) script += std::string("use ") + name + "\nrun f\n";
  writeRaw(app / "any.blam", script);
  EXPECT_TRUE(succeeded(app.run("--batch any.blam")));
  const std::string data = readRaw(app / "-fractal-data.txt");
  for (int k = 0; k < 5; ++k) {
    EXPECT_TRUE(pathExists(app / ("-fractal-" + std::to_string(k) + ".tga"))) << names[k];
    EXPECT_NE(std::string::npos, data.find(names[k])) << names[k];
  }
}

// A saved view names its solver as `use` takes it, whatever name the
// solver's data files show.
TEST(tBLAMMethodsTest, EverySolverIsNamedAsUseTakesIt) {
  for (const std::string& name : tBLAMUseStatement::getSolverNames()) {
    const std::unique_ptr<tIterativeSolver> solver(tBLAMUseStatement::makeSolver(name, 10, 1.0));
    EXPECT_EQ(name, tBLAMUseStatement::useNameOf(solver->getName()));
  }
}
