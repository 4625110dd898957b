#include "expr/tFunction.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "File/tFileUtils.h"
#include "File/tSourceText.h"
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

// Formulas read a name that begins with a digit as the number at its start:
// "2x" is 2, and "x*1e-5" is x*1 - 5.
bool beginsWithDigit(const std::string& token) {
  return !token.empty() && token[0] >= '0' && token[0] <= '9' &&
         token.find_first_not_of("0123456789.") != std::string::npos;
}

// The patterns compiled once; tokenizing only reads them.
const tTokenizer& functionTokenizer() {
  static const tTokenizer* tokenizer = [] {
    tTokenizer* made = new tTokenizer();
    for (const char* pattern : kPatterns) made->addRegularExpression(pattern);
    return made;
  }();
  return *tokenizer;
}

}  // namespace

const tFunction::tSlot tFunction::SLOTS[6] = {
    {"f1", "fx = ", &tFunction::f1_},    {"f2", "fy = ", &tFunction::f2_},
    {"f11", "fxx = ", &tFunction::f11_}, {"f12", "fxy = ", &tFunction::f12_},
    {"f21", "fyx = ", &tFunction::f21_}, {"f22", "fyy = ", &tFunction::f22_}};

tFunction::tFunction() : localVars_(std::make_unique<tVariableEnv>()), treeWalk_(false) {
  compile();
}

struct tFunction::tFileTokens {
  std::string path;                 // the file read
  tSourceText source;               // its text as tokenized
  std::vector<std::string> tokens;  // the tokens of the text
  std::vector<unsigned> offsets;    // where each token stands in the text
  unsigned stoppedAt = 0;           // where tokenizing ended in the text

  // Writes path:line:column: message on standard error.
  void warnAt(unsigned offset, const std::string& message) const {
    unsigned line, column;
    if (!source.findPlace(offset, line, column)) return;
    std::cerr << path << ":" << line << ":" << column << ": " << message << "\n";
  }
};

tFunction::tFunction(const std::string& name)
    : name_(name), localVars_(std::make_unique<tVariableEnv>()), treeWalk_(false) {
  tFileTokens file;
  file.path = functionPath(name);
  // A file that cannot be read has no tokens.
  readable_ = file.source.read(file.path);
  readFile(file);
}

void tFunction::readText(const std::string& contents) {
  tFileTokens file;
  file.source = tSourceText(contents);
  readFile(file);
}

void tFunction::readFile(tFileTokens& file) {
  // One mark serves every load, so loading in a loop does not pile up marks.
  static const unsigned mark = tTimer::instance().setMark();
  tTimer::instance().resetMark(mark);
  functionTokenizer().tokenize(file.source.getText(), file.tokens, file.offsets, file.stoppedAt);
  std::cout << "Tokenizing took: " << tTimer::instance().timeSinceMark(mark) << "\n\n";

  unsigned pos = 0;
  readEnd_ = readStatements(file.tokens, pos);
  warnAboutFile(file, pos);
  finishReading();
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

bool tFunction::stoppedAtBrokenStatement(unsigned& head) const {
  head = readEnd_.head;
  return readEnd_.how == TREAD_BROKEN;
}

void tFunction::processTokens(const std::vector<std::string>& tokens, unsigned& pos) {
  readEnd_ = readStatements(tokens, pos);
  finishReading();
}

tFunction::tReadEnd tFunction::readStatements(const std::vector<std::string>& tokens,
                                              unsigned& pos) {
  std::cout << "func tokens = [";
  for (std::size_t i = pos; i < tokens.size(); ++i) std::cout << (i > pos ? ", " : "") << tokens[i];
  std::cout << "]\n\nSTARTED PROCESSING\n";

  while (pos < tokens.size()) {
    const unsigned head = pos;
    std::string name = getNextToken(tokens, pos);
    if (const tSlot* slot = findSlot(name)) {
      std::unique_ptr<tExprTree>& tree = this->*slot->tree;
      tree.reset();
      if (getNextToken(tokens, pos) != "=") {
        std::cout << "bailing on " << name << "\n";
        return {TREAD_BROKEN, head};
      }
      tree = std::make_unique<tExprTree>();
      tree->buildTree(tokens, pos);
      if (tree->getTooDeepToken() >= 0) tooDeepToken_ = tree->getTooDeepToken();
      std::cout << name << " done\n";
      continue;
    }
    if (name == "end") return {TREAD_AT_END, head};

    std::string next = getNextToken(tokens, pos);
    std::cout << "trying to add: " << name << "\n"
              << "next is: " << next << "\n";
    if (next != "=") return {TREAD_BROKEN, head};
    std::string value = getNextToken(tokens, pos);
    if (value.empty()) return {TREAD_BROKEN, head};
    localVars_->extend(name, tStringUtils::stringToFloat(value));
  }
  return {TREAD_RAN_OUT, pos};
}

void tFunction::finishReading() {
  substituteVars(nullptr);
  if (readEnd_.how == TREAD_RAN_OUT) {
    std::cout << "DONE PROCESSING\n";
    print();
  }
  std::string missing = missingFormulas();
  // A file that could not be read is reported by its loader, not as empty.
  if (missing.empty() || !readable_) return;
  std::cerr << (name_.empty() ? "unnamed function" : name_) << ": incomplete function, missing "
            << missing << "\n";
}

std::string tFunction::missingFormulas() const {
  std::string missing;
  for (const tSlot& slot : SLOTS) {
    if (this->*slot.tree) continue;
    missing += missing.empty() ? "" : ", ";
    missing += slot.label;
  }
  return missing;
}

void tFunction::warnAboutFile(const tFileTokens& file, unsigned pos) const {
  const unsigned read = std::min<unsigned>(pos, file.tokens.size());
  for (unsigned i = 0; i < read; ++i) {
    if (beginsWithDigit(file.tokens[i]))
      file.warnAt(file.offsets[i], "name '" + file.tokens[i] + "' begins with a digit");
  }
  warnIfStoppedEarly(file, pos);
}

// A stop that needed a token past the last one names the character the
// tokenizer stopped at, if it did: that is why the tokens ran out. "end"
// counts as a stop only when something follows it or formulas are missing.
void tFunction::warnIfStoppedEarly(const tFileTokens& file, unsigned pos) const {
  const bool tokenizerStopped = file.stoppedAt < file.source.getText().size();
  const bool pastEnd = pos > file.tokens.size();
  bool atHead = false;
  if (readEnd_.how == TREAD_BROKEN)
    atHead = !(pastEnd && tokenizerStopped);
  else if (readEnd_.how == TREAD_AT_END)
    atHead = pos < file.tokens.size() || tokenizerStopped || !missingFormulas().empty();
  if (atHead) {
    const unsigned head = readEnd_.head;
    file.warnAt(file.offsets[head], "reading stopped at '" + file.tokens[head] + "'");
  } else if (tokenizerStopped) {
    file.warnAt(file.stoppedAt,
                "reading stopped at '" + file.source.characterAt(file.stoppedAt) + "'");
  }
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
