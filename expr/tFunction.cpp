#include "expr/tFunction.h"

#include <cmath>
#include <iostream>

#include "File/tFileUtils.h"
#include "File/tTextFile.h"
#include "Shell/tTimer.h"
#include "lexer/tStringUtils.h"
#include "lexer/tTokenizer.h"

namespace {

// Token patterns of function files, in the order the tokenizer tries them.
const char* const kPatterns[] = {"f1",
                                 "f2",
                                 "f11",
                                 "f12",
                                 "f21",
                                 "f22",
                                 "end",
                                 "=",
                                 "((0|(1-9))*.)?(0|(1-9))+",
                                 "(a-z|A-Z|_|0|1-9)+",
                                 "\"(a-z|A-Z|0|1-9|.|\\-|_)*\"",
                                 "\\(",
                                 "\\)",
                                 "\\+|\\-|/|\\*|^"};

std::string functionPath(const std::string& name) {
  if (!name.empty() && tFileUtils::isCompletePath(name)) return name;
  return tFileUtils::getApplicationDirectory() + "Shared Functions/" + name;
}

// The file's lines, trimmed and joined with spaces; comment lines are left out.
std::string readFunctionText(const std::string& path) {
  tTextFile file(path, TFILE_READ);
  std::string text;
  while (!file.eof()) {
    std::string line = tStringUtils::pack(file.readLine());
    if (line.size() >= 2 && line.compare(0, 2, "//") == 0) continue;
    text += " ";
    text += line;
  }
  return text;
}

}  // namespace

const tFunction::tSlot tFunction::SLOTS[6] = {
    {"f1", "fx = ", &tFunction::f1_},    {"f2", "fy = ", &tFunction::f2_},
    {"f11", "fxx = ", &tFunction::f11_}, {"f12", "fxy = ", &tFunction::f12_},
    {"f21", "fyx = ", &tFunction::f21_}, {"f22", "fyy = ", &tFunction::f22_}};

tFunction::tFunction() : localVars_(std::make_unique<tVariableEnv>()), treeWalk_(false) {
  compile();
}

tFunction::tFunction(const std::string& name)
    : name_(name), localVars_(std::make_unique<tVariableEnv>()), treeWalk_(false) {
  tTokenizer tokenizer;
  for (const char* pattern : kPatterns) tokenizer.addRegularExpression(pattern);
  std::string text = readFunctionText(functionPath(name));

  // One mark serves every load, so loading in a loop does not pile up marks.
  static const unsigned mark = tTimer::instance().setMark();
  tTimer::instance().resetMark(mark);
  std::vector<std::string> tokens;
  tokenizer.tokenize(text, tokens);
  std::cout << "Tokenizing took: " << tTimer::instance().timeSinceMark(mark) << "\n\n";

  unsigned pos = 0;
  processTokens(tokens, pos);
}

tFunction::~tFunction() = default;

double tFunction::evaluateSlot(const std::unique_ptr<tExprTree>& tree, const tVector2& p) {
  return tree ? tree->evaluate(p[0], p[1]) : 0.0;
}

tVector2 tFunction::value(const tVector2& p) const {
  if (treeWalk_) return valueByTree(p);
  double f[2];
  valueProgram_.evaluate(p[0], p[1], f);
  return tVector2(f[0], f[1]);
}

tMatrix2 tFunction::jacobianInverse(const tVector2& p) const {
  if (treeWalk_) return jacobianInverseByTree(p);
  double j[4];
  jacobianProgram_.evaluate(p[0], p[1], j);
  return invertJacobian(j[0], j[1], j[2], j[3]);
}

tVector2 tFunction::valueByTree(const tVector2& p) const {
  double f1 = evaluateSlot(f1_, p);
  double f2 = evaluateSlot(f2_, p);
  return tVector2(f1, f2);
}

tMatrix2 tFunction::jacobianInverseByTree(const tVector2& p) const {
  double f11 = evaluateSlot(f11_, p);
  double f12 = evaluateSlot(f12_, p);
  double f21 = evaluateSlot(f21_, p);
  double f22 = evaluateSlot(f22_, p);
  return invertJacobian(f11, f12, f21, f22);
}

tMatrix2 tFunction::invertJacobian(double f11, double f12, double f21, double f22) {
  tMatrix2 jacobian(f11, f12, f21, f22);
  // A NaN determinant is not below the cutoff: its inverse, all NaN, goes back.
  if (std::fabs(jacobian.determinant()) < INVERTIBLE_CUTOFF) return tMatrix2();
  return jacobian.invert();
}

void tFunction::compile() {
  const tExprNode* roots[6];
  for (int k = 0; k < 6; ++k) {
    const std::unique_ptr<tExprTree>& tree = this->*SLOTS[k].tree;
    roots[k] = tree ? tree->getRoot() : nullptr;
  }
  valueProgram_.compile(roots, 2);
  jacobianProgram_.compile(roots + 2, 4);
  program_.compile(roots, 6);
}

const tFunction::tSlot* tFunction::findSlot(const std::string& label) {
  for (const tSlot& slot : SLOTS)
    if (label == slot.label) return &slot;
  return nullptr;
}

std::string tFunction::getNextToken(const std::vector<std::string>& tokens, unsigned& pos) {
  std::string token = pos < tokens.size() ? tokens[pos] : std::string();
  ++pos;
  return token;
}

void tFunction::processTokens(const std::vector<std::string>& tokens, unsigned& pos) {
  readStatements(tokens, pos);
  // Reading may stop before substitution: the trees read so far count.
  compile();
}

void tFunction::readStatements(const std::vector<std::string>& tokens, unsigned& pos) {
  std::cout << "func tokens = [";
  for (std::size_t i = pos; i < tokens.size(); ++i) std::cout << (i > pos ? ", " : "") << tokens[i];
  std::cout << "]\n\nSTARTED PROCESSING\n";

  while (pos < tokens.size()) {
    std::string name = getNextToken(tokens, pos);
    if (const tSlot* slot = findSlot(name)) {
      std::unique_ptr<tExprTree>& tree = this->*slot->tree;
      tree.reset();
      if (getNextToken(tokens, pos) != "=") {
        std::cout << "bailing on " << name << "\n";
        return;
      }
      tree = std::make_unique<tExprTree>();
      tree->buildTree(tokens, pos);
      std::cout << name << " done\n";
      continue;
    }
    if (name == "end") return;

    std::string next = getNextToken(tokens, pos);
    std::cout << "trying to add: " << name << "\n"
              << "next is: " << next << "\n";
    if (next != "=") return;
    std::string value = getNextToken(tokens, pos);
    if (value.empty()) return;
    localVars_->extend(name, tStringUtils::stringToFloat(value));
  }
  finishReading();
}

void tFunction::finishReading() {
  substituteVars(nullptr);
  std::cout << "DONE PROCESSING\n";
  print();

  std::string missing;
  for (const tSlot& slot : SLOTS) {
    if (this->*slot.tree) continue;
    missing += missing.empty() ? "" : ", ";
    missing += slot.label;
  }
  if (missing.empty()) return;
  std::cerr << (name_.empty() ? "unnamed function" : name_) << ": incomplete function, missing "
            << missing << "\n";
}

void tFunction::substituteVars(tVariableEnv* env) {
  for (const tSlot& slot : SLOTS)
    if (this->*slot.tree) (this->*slot.tree)->substituteVars(localVars_.get());
  if (env) {
    for (const tSlot& slot : SLOTS)
      if (this->*slot.tree) (this->*slot.tree)->substituteVars(env);
  }
  compile();
}

double tFunction::getValueFor(const std::string& name, tVariableEnv* env) const {
  if (env && env->containsVal(name)) return env->getDoubleVal(name);
  return localVars_->getDoubleVal(name);
}

void tFunction::freeVars(std::set<std::string>& names) const {
  for (const tSlot& slot : SLOTS)
    if (this->*slot.tree) (this->*slot.tree)->freeVars(names);
}

void tFunction::clearLocalVars() { localVars_->clear(); }

void tFunction::print() const {
  for (const tSlot& slot : SLOTS) {
    std::cout << slot.printLabel;
    const std::unique_ptr<tExprTree>& tree = this->*slot.tree;
    if (tree)
      tree->print();
    else
      std::cout << "<none>\n";
    std::cout << "\n";
  }
}
