#include "blam/tBLAMDataBlockOutput.h"

#include <set>

#include "File/tTextFile.h"
#include "blam/tBLAMContext.h"
#include "blam/tBLAMOutputs.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"
#include "fractal/tIterativeSolver.h"

std::string tBLAMDataBlockOutput::getPath(const tRun& run) const {
  return run.directory + run.prefix + "-" + run.env->getStringVal("_outputDataFile") + ".txt";
}

bool tBLAMDataBlockOutput::write(const tRun& run) const {
  std::string error;
  return run.context->outputs.appendText(getPath(run), block(run), error) || fail(run, error);
}

std::string tBLAMDataBlockOutput::block(const tRun& run) {
  tVariableEnv* env = run.env;
  auto number = [](double value) { return tTextFile::format(value); };
  std::set<std::string> freeVars;
  run.function->freeVars(freeVars);

  std::string text = "****Dedavor Overede****\n";
  text += "Name: \t\t" + run.imageName + "\n";
  text += "Func: \t\t" + run.function->getName() + "\n";
  text += "Took: \t\t" + number(run.milliseconds / 1000.0) + " seconds\n";
  text += "Dimension: \t" + number(env->getDoubleVal("_fractalDimension_")) + "\n";
  text += "x Bounds: \t" + number(env->getDoubleVal("_minX")) + " to " +
          number(env->getDoubleVal("_maxX")) + "\n";
  text += "y Bounds: \t" + number(env->getDoubleVal("_minY")) + " to " +
          number(env->getDoubleVal("_maxY")) + "\n";
  text += "Solver: \n";
  text += "\tName: \t\t" + run.solver->getName() + "\n";
  text += "\tIterations: \t" +
          std::to_string(static_cast<unsigned int>(run.solver->getMaxIterations())) + "\n";
  text += "\tStep Size: \t" + number(run.solver->getStepSize()) + "\n";
  text += "Params: \n";
  for (const std::string& name : freeVars)
    text += "\t" + name + ": \t\t" + number(run.function->getValueFor(name, env)) + "\n";
  return text + "\n";
}
