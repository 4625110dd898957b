#include "blam/tBLAMDataBlockOutput.h"

#include <set>

#include "File/tTextFile.h"
#include "blam/tBLAMProgress.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"
#include "fractal/tIterativeSolver.h"

bool tBLAMDataBlockOutput::write(const tRun& run) const {
  tVariableEnv* env = run.env;
  const std::string path =
      run.directory + run.prefix + "-" + env->getStringVal("_outputDataFile") + ".txt";
  tTextFile file(path, TFILE_APPEND);
  if (!file.isOpen()) {
    tBLAMProgress::instance().warn(run.statement + ": cannot open data file " + path);
    return false;
  }
  std::set<std::string> freeVars;
  run.function->freeVars(freeVars);

  file << "****Dedavor Overede****" << endl;
  file << "Name: " << tab << tab << run.imageName << endl;
  file << "Func: " << tab << tab << run.function->getName() << endl;
  file << "Took: " << tab << tab << run.milliseconds / 1000.0 << " seconds" << endl;
  file << "Dimension: " << tab << env->getDoubleVal("_fractalDimension_") << endl;
  file << "x Bounds: " << tab << env->getDoubleVal("_minX") << " to " << env->getDoubleVal("_maxX")
       << endl;
  file << "y Bounds: " << tab << env->getDoubleVal("_minY") << " to " << env->getDoubleVal("_maxY")
       << endl;
  file << "Solver: " << endl;
  file << tab << "Name: " << tab << tab << run.solver->getName() << endl;
  file << tab << "Iterations: " << tab << static_cast<unsigned int>(run.solver->getMaxIterations())
       << endl;
  file << tab << "Step Size: " << tab << run.solver->getStepSize() << endl;
  file << "Params: " << endl;
  for (const std::string& name : freeVars)
    file << tab << name << ": " << tab << tab << run.function->getValueFor(name, env) << endl;
  file << endl;
  return true;
}
