#include "blam/tBLAMMontageStatement.h"

#include <cmath>
#include <filesystem>
#include <ostream>

#include "File/tFileUtils.h"
#include "blam/tBLAMMontage.h"
#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"
#include "expr/tVariableEnv.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tSession.h"
#include "lexer/tStringUtils.h"

void tBLAMMontageStatement::buildStatement(const std::string& fileName, const std::string& columns,
                                           const std::string& caption) {
  fileName_ = fileName;
  columns_ = columns;
  caption_ = caption;
}

void tBLAMMontageStatement::run(tVariableEnv* env, const tBLAMContext& context) {
  const std::optional<unsigned int> columns = findColumns(env);
  if (!columns) {
    context.progress.fail(describe() +
                          ": the number of columns must be a whole number of at least 1");
    return;
  }
  tBLAMOutputs& outputs = context.outputs;
  const std::string picture = outputs.getLastPicture();
  if (picture.empty()) {
    context.progress.fail(describe() + (outputs.hasRunStatement()
                                            ? ": the last run made no picture"
                                            : ": no run has made a picture yet"));
    return;
  }
  const std::string directory = tFileUtils::getOutputPath(env->getStringVal("_outputDir"));
  outputs.makeDirectory(directory);
  if (!env->containsVal("_batchName_"))
    failEach(outputs.prepareTopLevel(directory), context.progress);
  const std::string name = env->getStringVal("_batchName_") + "-" + fileName_;
  const std::string path = directory + name + ".txt";
  const std::string line =
      tBLAMMontage::lineOf({relativePath(picture, directory), findCaption(context)});
  std::string error;
  if (!outputs.appendText(path, line, error)) {
    context.progress.fail(describe() + ": " + error);
    return;
  }
  // A montage file written into a pipe or a device cannot be read back.
  if (!tFileUtils::getReadRefusal(path).empty()) return;
  const unsigned int count = *columns;
  auto writeMontage = [&path, count](const std::string& to, std::string& reason) {
    return tBLAMMontage::write(path, to, count, reason);
  };
  if (!outputs.writeMade(directory + name + ".png", writeMontage, error))
    context.progress.fail(describe() + ": " + error);
}

std::optional<unsigned int> tBLAMMontageStatement::findColumns(tVariableEnv* env) const {
  double columns;
  if (tStringUtils::isNumber(columns_))
    columns = tStringUtils::stringToFloat(columns_);
  else if (env->hasDoubleVal(columns_))
    columns = env->getDoubleVal(columns_);
  else
    return std::nullopt;
  if (!(columns >= 1.0 && columns <= 4294967295.0) || columns != std::floor(columns))
    return std::nullopt;
  return static_cast<unsigned int>(columns);
}

std::string tBLAMMontageStatement::findCaption(const tBLAMContext& context) const {
  if (!caption_.empty()) return caption_;
  const tIterativeSolver* solver = context.session.getSolver();
  return solver ? solver->getName() : "";
}

std::string tBLAMMontageStatement::relativePath(const std::string& picture,
                                                const std::string& directory) {
  namespace fs = std::filesystem;
  const fs::path relative = fs::path(picture).lexically_normal().lexically_relative(
      fs::path(directory).lexically_normal());
  return relative.empty() ? picture : relative.string();
}

void tBLAMMontageStatement::print(std::ostream& trace) const {
  trace << "[MONTAGE of " << columns_ << " columns to " << fileName_;
  if (!caption_.empty()) trace << " captioned " << caption_;
  trace << "]";
}

std::string tBLAMMontageStatement::describe() const {
  return "montage \"" + fileName_ + "\" " + columns_ +
         (caption_.empty() ? "" : " \"" + caption_ + "\"");
}
