#include "blam/tBLAMRunStatement.h"

#include <unistd.h>

#include <cmath>
#include <iostream>
#include <limits>

#include "File/tFileUtils.h"
#include "Shell/tMainApp.h"
#include "Shell/tTimer.h"
#include "blam/tBLAMBasinsOutput.h"
#include "blam/tBLAMDataBlockOutput.h"
#include "blam/tBLAMImageOutput.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMStatsOutput.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "fractal/tSpeedShading.h"

namespace {

// What a run writes after its picture, in this order.
const tBLAMDataBlockOutput kDataBlock{};
const tBLAMStatsOutput kStats{};
const tBLAMBasinsOutput kBasins{};
const tBLAMRunOutput* const kAfterPicture[] = {&kDataBlock, &kStats, &kBasins};

}  // namespace

void tBLAMRunStatement::run(tVariableEnv* env) {
  tFunction* function = findFunction(env);
  if (!function) return;
  tIterativeSolver* solver = findSolver();
  if (!solver) return;
  const std::string directory = findOutputDirectory(env);
  if (directory.empty()) return;
  const tBLAMImageOutput& picture = findImageOutput(env);
  tFractal* fractal = makeFractal(function, env);
  if (!fractal) return;

  const std::string seed = seedRandomSequence(env);
  const double milliseconds = computePicture(fractal, function, solver);
  env->extend("_computationTime_", milliseconds);
  env->extend("_fractalDimension_", fractal->calculateDimension());
  const tBasinStatistics statistics(fractal->labels_);
  bindStatistics(env, statistics);
  // Once measured, so that the measures are the flat picture's.
  if (env->getBoolVal("_shadeBySpeed")) tSpeedShading::shade(fractal->image_, fractal->labels_);

  const tBLAMRunOutput::tRun done{describe(),
                                  directory,
                                  env->getStringVal("_batchName_"),
                                  imageName(env, picture.getExtension()),
                                  function,
                                  solver,
                                  fractal,
                                  &statistics,
                                  milliseconds,
                                  seed,
                                  env};
  // Without its picture a run leaves nothing else.
  if (!picture.write(done)) return;
  for (const tBLAMRunOutput* output : kAfterPicture) output->write(done);
  env->extend("_totalImages_", env->getDoubleVal("_totalImages_") + 1.0);
}

tFunction* tBLAMRunStatement::findFunction(tVariableEnv* env) const {
  tFunction* function = env->getFunctionVal(functionName_);
  if (!function) {
    tBLAMProgress::instance().warn(describe() + ": " + functionName_ + " holds no function");
  }
  return function;
}

tIterativeSolver* tBLAMRunStatement::findSolver() const {
  tIterativeSolver* solver = tMainApp::instance().getSolver();
  if (!solver) {
    tBLAMProgress::instance().warn(describe() + ": no solver selected (use a solver first)");
  }
  return solver;
}

std::string tBLAMRunStatement::findOutputDirectory(tVariableEnv* env) const {
  std::string directory = tFileUtils::getApplicationDirectory();
  const std::string outputDir = env->getStringVal("_outputDir");
  if (!outputDir.empty()) directory += outputDir + "/";
  if (access(directory.c_str(), W_OK) == 0) return directory;
  tBLAMProgress::instance().warn(describe() + ": cannot write to " + directory);
  return "";
}

const tBLAMImageOutput& tBLAMRunStatement::findImageOutput(tVariableEnv* env) const {
  const std::string format = env->getStringVal("_imageFormat");
  const tBLAMImageOutput* output = tBLAMImageOutput::forFormat(format);
  if (output) return *output;
  tBLAMProgress::instance().warn(describe() + ": _imageFormat \"" + format +
                                 "\" is neither \"tga\" nor \"png\"; writing a TGA image");
  return tBLAMImageOutput::tga();
}

std::string tBLAMRunStatement::seedRandomSequence(tVariableEnv* env) const {
  if (!env->hasDoubleVal("_seed")) return "";
  const double value = env->getDoubleVal("_seed");
  if (!(value >= 0.0 && value <= tRandom::MAX_SEED && value == std::floor(value))) {
    tBLAMProgress::instance().warn(describe() + ": _seed must be a whole number from 0 to " +
                                   std::to_string(tRandom::MAX_SEED) +
                                   "; the clock seeds this picture");
    return "";
  }
  const unsigned int seed = static_cast<unsigned int>(value);
  tRandom::seed(seed);
  return std::to_string(seed);
}

tFractal* tBLAMRunStatement::makeFractal(tFunction* function, tVariableEnv* env) const {
  tMainApp& app = tMainApp::instance();
  function->substituteVars(env);
  app.setFractal(nullptr);
  const unsigned dimension = toUnsigned(env->getDoubleVal("_imageDimension"));
  tFractal* fractal =
      tFractal::create(dimension, env->getDoubleVal("_minX"), env->getDoubleVal("_maxX"),
                       env->getDoubleVal("_minY"), env->getDoubleVal("_maxY"));
  if (!fractal) {
    tBLAMProgress::instance().warn(describe() + ": cannot make a picture of dimension " +
                                   std::to_string(dimension));
    return nullptr;
  }
  app.setFractal(fractal);
  fractal->jitter_ = toUnsigned(env->getDoubleVal("_jitter"));
  fractal->jitterFirst_ = env->getBoolVal("_jitterFirst");
  fractal->singularSet_ = env->getBoolVal("_singularSet");
  tRootManager& roots = tRootManager::instance();
  if (!env->getBoolVal("_keepRootColors")) roots.clearRoots();
  roots.useRandomColors(env->getBoolVal("_useRandomColors"));
  return fractal;
}

double tBLAMRunStatement::computePicture(tFractal* fractal, tFunction* function,
                                         tIterativeSolver* solver) {
  // How often the share of pixels done is brought up to date, in ms.
  const double progressInterval = 100.0;
  // One mark serves every run, so runs in a loop do not pile up marks.
  static const unsigned mark = tTimer::instance().setMark();
  tTimer::instance().resetMark(mark);
  {
    tFractalComputation computation(fractal, function, solver);
    tBLAMProgress& progress = tBLAMProgress::instance();
    progress.beginPixels(computation.getPixelCount());
    computation.start();
    while (!computation.waitUntilDone(progressInterval)) {
      progress.setPixelsDone(computation.getPaintedCount());
    }
    progress.setPixelsDone(computation.getPixelCount());
  }
  const double milliseconds = tTimer::instance().timeSinceMark(mark);
  tBLAMProgress::instance().clearStatusLine();
  std::cout << "Cooked fractal in: " << milliseconds << "\n";
  return milliseconds;
}

void tBLAMRunStatement::bindStatistics(tVariableEnv* env, const tBasinStatistics& statistics) {
  const double roots = statistics.isMeasured() ? static_cast<double>(statistics.getBasins().size())
                                               : std::numeric_limits<double>::quiet_NaN();
  env->extend("_basinEntropy_", statistics.getBasinEntropy());
  env->extend("_boundaryBasinEntropy_", statistics.getBoundaryBasinEntropy());
  env->extend("_boxDimension_", statistics.getBoxDimension());
  env->extend("_boxDimensionError_", statistics.getBoxDimensionError());
  env->extend("_uncertaintyExponent_", statistics.getUncertaintyExponent());
  env->extend("_wadaDistance_", statistics.getWadaDistance());
  env->extend("_rootCount_", roots);
  env->extend("_convergedFraction_", statistics.getConvergedFraction());
}

std::string tBLAMRunStatement::imageName(tVariableEnv* env, const std::string& extension) {
  return env->getStringVal("_batchName_") + "-" + env->getStringVal("_outputPrefix") + "-" +
         std::to_string(toInt(env->getDoubleVal("_totalImages_"))) + extension;
}

void tBLAMRunStatement::print() const { std::cout << "[RUN " << functionName_ << "]"; }

std::string tBLAMRunStatement::describe() const { return "run " + functionName_; }
