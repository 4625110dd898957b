#include "blam/tBLAMGraphStatement.h"

#include <iostream>

#include "File/tFileUtils.h"
#include "File/tTextFile.h"
#include "blam/tBLAMGraphPlot.h"
#include "blam/tBLAMProgress.h"
#include "expr/tVariableEnv.h"

void tBLAMGraphStatement::buildStatement(const std::string& fileName, const std::string& xName,
                                         const std::string& yName) {
  fileName_ = fileName;
  xName_ = xName;
  yName_ = yName;
}

void tBLAMGraphStatement::run(tVariableEnv* env) {
  std::string directory = tFileUtils::getApplicationDirectory();
  std::string outputDir = env->getStringVal("_outputDir");
  if (!outputDir.empty()) directory += outputDir + "/";
  const std::string name = env->getStringVal("_batchName_") + "-" + fileName_;
  const std::string path = directory + name + ".txt";
  if (!appendPoint(env, path)) return;
  // A graph written into a pipe or a device cannot be read back to plot.
  if (!tFileUtils::getReadRefusal(path).empty()) return;
  const std::string plot = directory + name + ".svg";
  if (!tBLAMGraphPlot::write(path, plot, name, xName_, yName_)) {
    tBLAMProgress::instance().warn(describe() + ": cannot write plot " + plot);
  }
}

bool tBLAMGraphStatement::appendPoint(tVariableEnv* env, const std::string& path) const {
  tTextFile file(path, TFILE_APPEND);
  if (!file.isOpen()) {
    tBLAMProgress::instance().warn(describe() + ": cannot open " + path);
    return false;
  }
  double y = env->getDoubleVal(yName_);
  double x = env->getDoubleVal(xName_);
  file << "[" << x << ", " << y << "]";
  if (env->getDoubleVal("_n_") != env->getDoubleVal("_batchMax_")) file << ",";
  file << endl;
  // Closed before the plot reads the file back.
  file.close();
  return true;
}

void tBLAMGraphStatement::print() const {
  std::cout << "[GRAPH x = " << xName_ << " y = " << yName_ << " to " << fileName_ << "]";
}

std::string tBLAMGraphStatement::describe() const {
  return "graph \"" + fileName_ + "\" " + xName_ + " " + yName_;
}
