#include "blam/tBLAMGraphStatement.h"

#include <ostream>

#include "File/tFileUtils.h"
#include "File/tTextFile.h"
#include "blam/tBLAMGraphPlot.h"
#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"
#include "expr/tVariableEnv.h"

void tBLAMGraphStatement::buildStatement(const std::string& fileName, const std::string& xName,
                                         const std::string& yName) {
  fileName_ = fileName;
  xName_ = xName;
  yName_ = yName;
}

void tBLAMGraphStatement::setPlaces(const std::string& xPlace, const std::string& yPlace) {
  names_.addName(xName_, xPlace);
  names_.addName(yName_, yPlace);
}

void tBLAMGraphStatement::run(tVariableEnv* env, const tBLAMContext& context) {
  names_.check(*env, context.progress);
  const std::string directory = tFileUtils::getOutputPath(env->getStringVal("_outputDir"));
  tBLAMOutputs& outputs = context.outputs;
  outputs.makeDirectory(directory);
  if (!env->containsVal("_batchName_"))
    failEach(outputs.prepareTopLevel(directory), context.progress);
  const std::string name = env->getStringVal("_batchName_") + "-" + fileName_;
  const std::string path = directory + name + ".txt";
  if (!appendPoint(env, path, context)) return;
  // A graph written into a pipe or a device cannot be read back to plot.
  if (!tFileUtils::getReadRefusal(path).empty()) return;
  const std::string plot = directory + name + ".svg";
  auto writePlot = [this, &path, &name](const std::string& to, std::string& error) {
    return tBLAMGraphPlot::write(path, to, name, xName_, yName_, error);
  };
  std::string error;
  if (!outputs.writeMade(plot, writePlot, error)) context.progress.fail(describe() + ": " + error);
}

bool tBLAMGraphStatement::appendPoint(tVariableEnv* env, const std::string& path,
                                      const tBLAMContext& context) const {
  double y = env->getDoubleVal(yName_);
  double x = env->getDoubleVal(xName_);
  std::string line = "[" + tTextFile::format(x) + ", " + tTextFile::format(y) + "]";
  if (env->getDoubleVal("_n_") != env->getDoubleVal("_batchMax_")) line += ",";
  std::string error;
  if (context.outputs.appendText(path, line + "\n", error)) return true;
  context.progress.fail(describe() + ": " + error);
  return false;
}

void tBLAMGraphStatement::print(std::ostream& trace) const {
  trace << "[GRAPH x = " << xName_ << " y = " << yName_ << " to " << fileName_ << "]";
}

std::string tBLAMGraphStatement::describe() const {
  return "graph \"" + fileName_ + "\" " + xName_ + " " + yName_;
}
