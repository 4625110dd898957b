#include "blam/tBLAMAssignmentStatement.h"

#include <ostream>
#include <set>

#include "File/tFileUtils.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMScript.h"
#include "blam/tBLAMSettings.h"
#include "expr/tExprTree.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"
#include "fractal/tPalette.h"
#include "lexer/tSpellingHint.h"

namespace {

// The token without its first and last characters (the quotes).
std::string unquote(const std::string& token) {
  return token.size() < 2 ? std::string() : token.substr(1, token.size() - 2);
}

std::string joinTokens(const std::vector<std::string>& tokens, unsigned from, unsigned to) {
  std::string text;
  for (unsigned i = from; i < to && i < tokens.size(); ++i)
    text += (i > from ? " " : "") + tokens[i];
  return text;
}

}  // namespace

tBLAMAssignmentStatement::tBLAMAssignmentStatement() = default;
tBLAMAssignmentStatement::~tBLAMAssignmentStatement() = default;

void tBLAMAssignmentStatement::buildStatement(const std::string& name,
                                              const std::vector<std::string>& tokens,
                                              unsigned& index, const tBLAMContext& context,
                                              const tPlaceNamer& placeOf) {
  name_ = name;
  if (isReserved(name)) return;
  context.trace << "assignment: " << name << "\n";
  if (index >= tokens.size()) return;
  valid_ = true;
  const unsigned start = index;
  const std::string place = placeOf && start >= 2 ? placeOf(start - 2) : "";
  const std::string& token = tokens[index];
  if (token == "function") {
    buildFunction(tokens, index, context, placeOf);
  } else if (token == "loadFunction") {
    loadFunction(tokens, index, context);
  } else if (!token.empty() && token[0] == '"') {
    isString_ = true;
    stringValue_ = unquote(token);
    ++index;
  } else if (token == "true" || token == "false") {
    isBool_ = true;
    boolValue_ = token == "true";
    ++index;
  } else {
    buildExpression(tokens, index, placeOf);
  }
  valueText_ = token == "function" ? "function ... end" : joinTokens(tokens, start, index);
  settingIgnored_ = warnAboutSetting(place, context.progress);
}

bool tBLAMAssignmentStatement::warnAboutSetting(const std::string& place,
                                                tBLAMProgress& progress) const {
  if (name_.empty() || name_[0] != '_') return false;
  const int type = tBLAMSettings::typeOf(name_);
  if (type == tVariableEnv::TYPE_UNBOUND) {
    progress.warnAtPlace(place, "'" + name_ + "' is no setting; assigning it changes nothing" +
                                    tSpellingHint::suggestion(name_, tBLAMSettings::names()));
    return false;
  }
  const int given = isFunction_ ? tVariableEnv::TYPE_FUNCTION
                    : isString_ ? tVariableEnv::TYPE_STRING
                    : isBool_   ? tVariableEnv::TYPE_BOOL
                                : tVariableEnv::TYPE_NUMBER;
  if (given == type) return refusesValue(place, progress);
  progress.warnAtPlace(place, "'" + name_ + "' takes " + tBLAMSettings::describeType(type) +
                                  ", not " + valueText_ + "; the assignment changes nothing");
  return true;
}

bool tBLAMAssignmentStatement::refusesValue(const std::string& place,
                                            tBLAMProgress& progress) const {
  if (name_ != "_palette" || tPalette::find(stringValue_)) return false;
  progress.failAtPlace(place, "_palette: " + tPalette::describeUnknown(stringValue_) +
                                  "; the assignment changes nothing");
  return true;
}

void tBLAMAssignmentStatement::buildFunction(const std::vector<std::string>& tokens,
                                             unsigned& index, const tBLAMContext& context,
                                             const tPlaceNamer& placeOf) {
  isFunction_ = true;
  isDefinition_ = true;
  ++index;
  function_ = std::make_shared<tFunction>();
  function_->setStreams(context.trace, context.progress.getMessages());
  // Named first, so that a warning about the definition names the variable.
  function_->setName(name_);
  function_->processTokens(tokens, index, placeOf);
  tooDeepToken_ = function_->getTooDeepToken();
  definitionStopped_ = function_->stoppedAtBrokenStatement(definitionHead_);
  // A definition that stopped early, or went too deep, fails as the
  // script's reading does.
  const bool readingFails = definitionStopped_ || tooDeepToken_ >= 0;
  if (!readingFails && (function_->isRefused() || function_->hasFileWarnings()))
    context.progress.countFailure();
  if (function_->isRefused()) function_.reset();
  // A definition that closes a block needs an end of its own after the
  // definition's: the assignment takes it.
  if (index < tokens.size() && tokens[index] == "end") ++index;
}

void tBLAMAssignmentStatement::loadFunction(const std::vector<std::string>& tokens,
                                            unsigned& index, const tBLAMContext& context) {
  isFunction_ = true;
  ++index;
  tBLAMProgress& progress = context.progress;
  if (index >= tokens.size()) {
    progress.fail(name_ + " = loadFunction: no file named");
    return;
  }
  std::string path = unquote(tBLAMScript::getNextToken(tokens, index));
  std::string file = tFunction::locate(path);
  std::string statement = name_ + " = loadFunction \"" + path + "\"";
  std::string refusal = tFileUtils::getReadRefusal(file);
  if (!refusal.empty()) {
    progress.fail(statement + ": " + file + " is " + refusal);
    return;
  }
  function_ = std::make_shared<tFunction>(path, context.trace, progress.getMessages());
  // A refused function, or a file read with warnings, has said why itself.
  if (function_->isRefused() || function_->hasFileWarnings()) progress.countFailure();
  if (function_->isReadable() && !function_->isRefused()) return;
  if (!function_->isRefused()) progress.fail(statement + ": cannot read " + file);
  function_.reset();
}

void tBLAMAssignmentStatement::buildExpression(const std::vector<std::string>& tokens,
                                               unsigned& index, const tPlaceNamer& placeOf) {
  const unsigned start = index;
  expression_ = std::make_unique<tExprTree>();
  valid_ = expression_->buildTree(tokens, index, true);
  tooDeepToken_ = expression_->getTooDeepToken();
  std::set<std::string> read;
  expression_->freeVars(read);
  for (unsigned i = start; i < index && i < tokens.size(); ++i)
    if (read.count(tokens[i]) != 0) names_.addName(tokens[i], placeOf ? placeOf(i) : "");
}

bool tBLAMAssignmentStatement::definitionStoppedAt(unsigned& head) const {
  head = definitionHead_;
  return definitionStopped_;
}

void tBLAMAssignmentStatement::run(tVariableEnv* env, const tBLAMContext& context) {
  if (!valid_) return;
  if (isFunction_) {
    // A failed load binds no function, so that runs of the variable cannot
    // use one it held before.
    env->extend(name_, function_);
  } else if (isString_) {
    if (!settingIgnored_) env->extend(name_, stringValue_);
  } else if (isBool_) {
    env->extend(name_, boolValue_);
  } else {
    if (!settingIgnored_) names_.check(*env, context.progress);
    expression_->substituteVars(env);
    double value = expression_->evaluate(env->getDoubleVal("x"), env->getDoubleVal("y"));
    env->extend(name_, value);
    context.progress.clearStatusLine();
    context.trace << "setting: " << name_ << " : " << value << "\n";
  }
}

void tBLAMAssignmentStatement::print(std::ostream& trace) const {
  trace << "[ASSIGN : " << name_ << " = ";
  if (!valid_)
    trace << "nothing";
  else if (isFunction_)
    trace << "some function!";
  else if (isString_)
    trace << stringValue_;
  else if (isBool_)
    trace << (boolValue_ ? "true" : "false");
  else
    expression_->print(trace);
  trace << "]";
}

std::string tBLAMAssignmentStatement::describe() const { return name_ + " = " + valueText_; }
