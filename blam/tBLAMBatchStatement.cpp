#include "blam/tBLAMBatchStatement.h"

#include <ostream>

#include "File/tFileUtils.h"
#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMScript.h"
#include "expr/tVariableEnv.h"

void tBLAMBatchStatement::buildStatement(std::uint32_t count, const std::string& name,
                                         const std::vector<std::string>& tokens, unsigned& index,
                                         tBLAMScript& script) {
  count_ = count;
  name_ = name;
  statements_.clear();
  script.buildStatements(statements_, tokens, index);
}

void tBLAMBatchStatement::run(tVariableEnv* env, const tBLAMContext& context) {
  env->extendScope();
  env->extend("_batchMax_", static_cast<double>(count_));
  env->extend("_totalImages_", 1);
  env->extend("_batchName_", name_);

  const std::string directory = tFileUtils::getOutputPath(env->getStringVal("_outputDir"));
  tBLAMOutputs& outputs = context.outputs;
  tBLAMProgress& progress = context.progress;
  failEach(outputs.removeBatchOutputs(directory, name_), progress);
  outputs.makeDirectory(directory);

  progress.enterBatch(name_, count_);
  for (std::uint32_t n = 1; n != 0 && n <= count_; ++n) {
    progress.setIteration(n);
    env->extend("_n_", static_cast<double>(n));
    for (const std::unique_ptr<tBLAMStatement>& statement : statements_)
      statement->execute(env, context);
  }
  progress.leaveBatch();

  env->revertScope();
  env->extend("_batchNum_", env->getDoubleVal("_batchNum_") + 1.0);
}

bool tBLAMBatchStatement::isOutputOf(const std::string& fileName, const std::string& batchName) {
  // The data or graph file of an empty name, its plot, and the statistics
  // files.
  for (const char* own : {"-.txt", "-.svg", "-stats.csv", "-basins.csv", "-iterations.csv"}) {
    if (fileName == batchName + own) return true;
  }
  const std::size_t prefix = batchName.size() + 1;
  const std::size_t suffix = 4;
  if (fileName.size() < prefix + 1 + suffix) return false;
  if (fileName.compare(0, batchName.size(), batchName) != 0 || fileName[batchName.size()] != '-')
    return false;
  std::string extension = fileName.substr(fileName.size() - suffix);
  if (extension != ".txt" && extension != ".tga" && extension != ".png" && extension != ".svg")
    return false;
  for (std::size_t i = prefix; i < fileName.size() - suffix; ++i) {
    char c = fileName[i];
    bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '-' || c == '_';
    if (!allowed) return false;
  }
  return true;
}

void tBLAMBatchStatement::print(std::ostream& trace) const {
  trace << "[BATCH of " << count_ << " : ";
  tBLAMScript::printStatements(statements_, trace);
  trace << "]";
}

std::string tBLAMBatchStatement::describe() const {
  return "batch \"" + name_ + "\" of " + std::to_string(count_);
}
