#include "blam/tBLAMRunStatement.h"

#include <unistd.h>

#include <iostream>
#include <set>

#include "File/tFileUtils.h"
#include "File/tTextFile.h"
#include "Shell/tMainApp.h"
#include "Shell/tTimer.h"
#include "blam/tBLAMProgress.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tRootManager.h"
#include "graphics/tTGALoader.h"

void tBLAMRunStatement::run(tVariableEnv* env) {
  tBLAMProgress& progress = tBLAMProgress::instance();
  tFunction* function = env->getFunctionVal(functionName_);
  if (!function) {
    progress.warn(describe() + ": " + functionName_ + " holds no function");
    return;
  }
  tMainApp& app = tMainApp::instance();
  tIterativeSolver* solver = app.getSolver();
  if (!solver) {
    progress.warn(describe() + ": no solver selected (use a solver first)");
    return;
  }
  std::string directory = tFileUtils::getApplicationDirectory();
  std::string outputDir = env->getStringVal("_outputDir");
  if (!outputDir.empty()) directory += outputDir + "/";
  if (access(directory.c_str(), W_OK) != 0) {
    progress.warn(describe() + ": cannot write to " + directory);
    return;
  }

  function->substituteVars(env);
  app.setFractal(nullptr);
  unsigned dimension = toUnsigned(env->getDoubleVal("_imageDimension"));
  tFractal* fractal =
      tFractal::create(dimension, env->getDoubleVal("_minX"), env->getDoubleVal("_maxX"),
                       env->getDoubleVal("_minY"), env->getDoubleVal("_maxY"));
  if (!fractal) {
    progress.warn(describe() + ": cannot make a picture of dimension " + std::to_string(dimension));
    return;
  }
  app.setFractal(fractal);
  fractal->jitter_ = toUnsigned(env->getDoubleVal("_jitter"));
  fractal->jitterFirst_ = env->getBoolVal("_jitterFirst");
  fractal->singularSet_ = env->getBoolVal("_singularSet");
  tRootManager& roots = tRootManager::instance();
  if (!env->getBoolVal("_keepRootColors")) roots.clearRoots();
  roots.useRandomColors(env->getBoolVal("_useRandomColors"));

  // One mark serves every run, so runs in a loop do not pile up marks.
  static const unsigned mark = tTimer::instance().setMark();
  tTimer::instance().resetMark(mark);
  computePicture(fractal, function, solver);
  double milliseconds = tTimer::instance().timeSinceMark(mark);
  progress.clearStatusLine();
  std::cout << "Cooked fractal in: " << milliseconds << "\n";
  env->extend("_computationTime_", milliseconds);
  env->extend("_fractalDimension_", fractal->calculateDimension());

  std::string batchName = env->getStringVal("_batchName_");
  std::string imageName = batchName + "-" + env->getStringVal("_outputPrefix") + "-" +
                          std::to_string(toInt(env->getDoubleVal("_totalImages_"))) + ".tga";
  std::string imagePath = directory + imageName;
  if (!tTGALoader::instance().write(imagePath, fractal->image_, 24, false)) {
    progress.warn(describe() + ": cannot write image " + imagePath);
    return;
  }
  std::string dataPath =
      directory + batchName + "-" + env->getStringVal("_outputDataFile") + ".txt";
  writeDataBlock(dataPath, imageName, function, solver, milliseconds, env);
  env->extend("_totalImages_", env->getDoubleVal("_totalImages_") + 1.0);
}

void tBLAMRunStatement::computePicture(tFractal* fractal, tFunction* function,
                                       tIterativeSolver* solver) {
  // How often the share of pixels done is brought up to date, in ms.
  const double progressInterval = 100.0;
  tFractalComputation computation(fractal, function, solver);
  tBLAMProgress& progress = tBLAMProgress::instance();
  progress.beginPixels(computation.getPixelCount());
  computation.start();
  while (!computation.waitUntilDone(progressInterval)) {
    progress.setPixelsDone(computation.getPaintedCount());
  }
  progress.setPixelsDone(computation.getPixelCount());
}

void tBLAMRunStatement::writeDataBlock(const std::string& path, const std::string& imageName,
                                       tFunction* function, tIterativeSolver* solver,
                                       double milliseconds, tVariableEnv* env) const {
  tTextFile file(path, TFILE_APPEND);
  if (!file.isOpen()) {
    tBLAMProgress::instance().warn(describe() + ": cannot open data file " + path);
    return;
  }
  std::set<std::string> freeVars;
  function->freeVars(freeVars);

  file << "****Dedavor Overede****" << endl;
  file << "Name: " << tab << tab << imageName << endl;
  file << "Func: " << tab << tab << function->getName() << endl;
  file << "Took: " << tab << tab << milliseconds / 1000.0 << " seconds" << endl;
  file << "Dimension: " << tab << env->getDoubleVal("_fractalDimension_") << endl;
  file << "x Bounds: " << tab << env->getDoubleVal("_minX") << " to " << env->getDoubleVal("_maxX")
       << endl;
  file << "y Bounds: " << tab << env->getDoubleVal("_minY") << " to " << env->getDoubleVal("_maxY")
       << endl;
  file << "Solver: " << endl;
  file << tab << "Name: " << tab << tab << solver->getName() << endl;
  file << tab << "Iterations: " << tab << static_cast<unsigned int>(solver->getMaxIterations())
       << endl;
  file << tab << "Step Size: " << tab << solver->getStepSize() << endl;
  file << "Params: " << endl;
  for (const std::string& name : freeVars)
    file << tab << name << ": " << tab << tab << function->getValueFor(name, env) << endl;
  file << endl;
}

void tBLAMRunStatement::print() const { std::cout << "[RUN " << functionName_ << "]"; }

std::string tBLAMRunStatement::describe() const { return "run " + functionName_; }
