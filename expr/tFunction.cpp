#include "expr/tFunction.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <limits>

#include "File/tFileUtils.h"
#include "File/tSourceText.h"
#include "expr/tComplexExpansion.h"
#include "expr/tDerivative.h"
#include "expr/tFormulaSyntax.h"
#include "lexer/tSpellingHint.h"
#include "lexer/tStringUtils.h"
#include "lexer/tTokenizer.h"

namespace {

// A number with an exponent, 1e-5 or 2.5E+3. It is a pattern of its own
// beside the plain number so that a number followed by a letter e that
// begins no exponent ("2.5e" in "2.5exp") reads as before: the longest match
// wins, and this pattern matches nothing there.
const char* const kExponentNumber = "((0|(1-9))*.)?(0|(1-9))+(e|E)(\\+|\\-)?(0|(1-9))+";

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
                                 kExponentNumber,
                                 "(a-z|A-Z|_|0|1-9)+",
                                 "\"(a-z|A-Z|0|1-9|.|\\-|_)*\"",
                                 "\\(",
                                 "\\)",
                                 "\\+|\\-|/|\\*|^"};

// Formulas read a name that begins with a digit as the number at its start:
// "2x" is 2, and "x*1e-y" is x*1 - y.
bool beginsWithDigit(const std::string& token) {
  return !token.empty() && token[0] >= '0' && token[0] <= '9' && !tStringUtils::isNumber(token);
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

// The tokens of f(z) = from its "f" on.
const char* const kComplexLabel[] = {"f", "(", "z", ")", "="};

// Each derivative slot, the component it derives from and the variable.
const struct {
  unsigned slot;
  unsigned component;
  bool byY;
} kDerivatives[] = {{2, 0, false}, {3, 0, true}, {4, 1, false}, {5, 1, true}};

}  // namespace

const tFunction::tSlot tFunction::SLOTS[6] = {
    {"f1", "fx = ", &tFunction::f1_},    {"f2", "fy = ", &tFunction::f2_},
    {"f11", "fxx = ", &tFunction::f11_}, {"f12", "fxy = ", &tFunction::f12_},
    {"f21", "fyx = ", &tFunction::f21_}, {"f22", "fyy = ", &tFunction::f22_}};

tFunction::tFunction()
    : localVars_(std::make_unique<tVariableEnv>()),
      treeWalk_(false),
      trace_(&std::cout),
      messages_(&std::cerr) {
  compile();
}

struct tFunction::tFileTokens {
  std::string path;                 // the file read
  tSourceText source;               // its text as tokenized
  std::vector<std::string> tokens;  // the tokens of the text
  std::vector<unsigned> offsets;    // where each token stands in the text
  unsigned stoppedAt = 0;           // where tokenizing ended in the text

  // path:line:column of the character at offset; empty when no line holds it.
  std::string placeAt(unsigned offset) const { return source.placeOf(path, offset); }
  std::string placeOf(unsigned token) const {
    return token < offsets.size() ? placeAt(offsets[token]) : "";
  }
  // Writes path:line:column: message on out; false when no line holds the
  // offset.
  bool warnAt(std::ostream& out, unsigned offset, const std::string& message) const {
    std::string place = placeAt(offset);
    if (place.empty()) return false;
    out << place << ": " << message << "\n";
    return true;
  }
};

tFunction::tFunction(const std::string& name) : tFunction(name, std::cout, std::cerr) {}

tFunction::tFunction(const std::string& name, std::ostream& trace, std::ostream& messages)
    : name_(name),
      localVars_(std::make_unique<tVariableEnv>()),
      treeWalk_(false),
      trace_(&trace),
      messages_(&messages) {
  tFileTokens file;
  file.path = locate(name);
  // A file that cannot be read has no tokens.
  readable_ = file.source.read(file.path);
  readFile(file);
}

void tFunction::readText(const std::string& contents, const std::string& path) {
  tFileTokens file;
  file.path = path;
  file.source = tSourceText(contents);
  readFile(file);
}

void tFunction::readFile(tFileTokens& file) {
  const auto begin = std::chrono::steady_clock::now();
  functionTokenizer().tokenize(file.source.getText(), file.tokens, file.offsets, file.stoppedAt);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
  *trace_ << "Tokenizing took: " << took.count() << "\n\n";

  unsigned pos = 0;
  readEnd_ = readStatements(file.tokens, pos);
  std::string messages = completeFormulas([&file](unsigned token) { return file.placeOf(token); });
  warnAboutFile(file, pos);
  finishReading(messages);
}

tFunction::~tFunction() = default;

double tFunction::evaluateSlot(const std::unique_ptr<tExprTree>& tree, const tVector2& p) {
  return tree ? tree->evaluate(p[0], p[1]) : 0.0;
}

std::string tFunction::locate(const std::string& name) {
  if (!name.empty() && tFileUtils::isCompletePath(name)) return name;
  return tFileUtils::getDataDirectory() + "Shared Functions/" + name;
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
  const double determinant = jacobian.determinant();
  // A determinant that overflowed (or a NaN one) says nothing about
  // singularity: the inverse is all NaN, which no step recovers from, so the
  // solve ends as no convergence, never as a singular Jacobian.
  if (!(std::fabs(determinant) <= std::numeric_limits<double>::max())) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return tMatrix2(nan, nan, nan, nan);
  }
  if (std::fabs(determinant) < INVERTIBLE_CUTOFF) return tMatrix2();
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

const char* tFunction::getLabel(unsigned slot) { return SLOTS[slot].label; }

const tExprNode* tFunction::getFormula(unsigned slot) const {
  const std::unique_ptr<tExprTree>& tree = this->*SLOTS[slot].tree;
  return tree ? tree->getRoot() : nullptr;
}

const tExprNode* tFunction::getComplexFormula() const {
  return complex_ ? complex_->getRoot() : nullptr;
}

std::vector<std::pair<std::string, double>> tFunction::getLocalConstants() const {
  std::vector<std::pair<std::string, double>> constants;
  for (const std::string& name : constantNames_)
    constants.emplace_back(name, localVars_->getDoubleVal(name));
  return constants;
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
  processTokens(tokens, pos, tPlaceNamer());
}

void tFunction::processTokens(const std::vector<std::string>& tokens, unsigned& pos,
                              const tPlaceNamer& placeOf) {
  readEnd_ = readStatements(tokens, pos);
  finishReading(completeFormulas(placeOf));
}

// statement -> LABEL "=" formula | "f" "(" "z" ")" "=" formula
//            | NAME "=" ["-"] VALUE | "end"
tFunction::tReadEnd tFunction::readStatements(const std::vector<std::string>& tokens,
                                              unsigned& pos) {
  *trace_ << "func tokens = [";
  for (std::size_t i = pos; i < tokens.size(); ++i) *trace_ << (i > pos ? ", " : "") << tokens[i];
  *trace_ << "]\n\nSTARTED PROCESSING\n";

  while (pos < tokens.size()) {
    const unsigned head = pos;
    std::string name = getNextToken(tokens, pos);
    if (const tSlot* slot = findSlot(name)) {
      const unsigned k = static_cast<unsigned>(slot - SLOTS);
      std::unique_ptr<tExprTree>& tree = this->*slot->tree;
      tree.reset();
      origins_[k] = ORIGIN_NONE;
      if (getNextToken(tokens, pos) != "=") {
        *trace_ << "bailing on " << name << "\n";
        return {TREAD_BROKEN, head};
      }
      tree = std::make_unique<tExprTree>();
      if (!readFormula(*tree, tokens, pos)) return skipRefused(tokens, pos, head);
      origins_[k] = ORIGIN_GIVEN;
      heads_[k] = head;
      *trace_ << name << " done\n";
      continue;
    }
    if (name == "end") return {TREAD_AT_END, head};
    if (readComplexFormula(tokens, pos)) {
      if (!fault_.empty()) return skipRefused(tokens, pos, head);
      continue;
    }
    if (!readLocalConstant(name, tokens, pos)) return {TREAD_BROKEN, head};
  }
  return {TREAD_RAN_OUT, pos};
}

bool tFunction::readComplexFormula(const std::vector<std::string>& tokens, unsigned& pos) {
  const unsigned head = pos - 1;
  for (unsigned i = 0; i < std::size(kComplexLabel); ++i)
    if (head + i >= tokens.size() || tokens[head + i] != kComplexLabel[i]) return false;
  pos = head + static_cast<unsigned>(std::size(kComplexLabel));
  complex_ = std::make_unique<tExprTree>();
  complexHead_ = head;
  if (!readFormula(*complex_, tokens, pos)) return true;
  *trace_ << "f(z) done\n";
  return true;
}

// A definition in a script goes on to its "end": what lies between belongs
// to the refused function, not to the script.
tFunction::tReadEnd tFunction::skipRefused(const std::vector<std::string>& tokens, unsigned& pos,
                                           unsigned head) {
  while (pos < tokens.size() && tokens[pos] != "end") ++pos;
  if (pos < tokens.size()) ++pos;
  return {TREAD_REFUSED, head};
}

bool tFunction::readFormula(tExprTree& tree, const std::vector<std::string>& tokens,
                            unsigned& pos) {
  const unsigned start = pos;
  const bool whole = tree.buildTree(tokens, pos);
  if (tree.getTooDeepToken() >= 0) tooDeepToken_ = tree.getTooDeepToken();
  fault_ = tFormulaSyntax::check(tokens, start, pos, whole, tree.getTooDeepToken(), faultToken_);
  return fault_.empty();
}

// A value "-" followed by a number is that number negated, unless the number
// is followed by "=": then, as before signs were read, the sign is the value
// (0) and the number names the next constant.
bool tFunction::readLocalConstant(const std::string& name, const std::vector<std::string>& tokens,
                                  unsigned& pos) {
  std::string next = getNextToken(tokens, pos);
  *trace_ << "trying to add: " << name << "\n"
            << "next is: " << next << "\n";
  if (next != "=") return false;
  std::string value = getNextToken(tokens, pos);
  if (value.empty()) return false;
  const bool signedNumber = value == "-" && pos < tokens.size() &&
                            tStringUtils::isNumber(tokens[pos]) &&
                            !(pos + 1 < tokens.size() && tokens[pos + 1] == "=");
  if (signedNumber) value += getNextToken(tokens, pos);
  // A constant's value is a number: `F1 = x^2` is no constant F1 of 0.
  const std::string digits = value[0] == '-' ? value.substr(1) : value;
  if (!digits.empty() && !tStringUtils::isNumber(digits)) return false;
  if (!localVars_->containsVal(name)) constantNames_.push_back(name);
  localVars_->extend(name, tStringUtils::stringToFloat(value));
  return true;
}

std::string tFunction::completeFormulas(const tPlaceNamer& placeOf) {
  if (readEnd_.how == TREAD_REFUSED) return refuseAt(placeOf, faultToken_, fault_);
  return complex_ ? expandComplexFormula(placeOf) : deriveMissingFormulas(placeOf);
}

std::string tFunction::expandComplexFormula(const tPlaceNamer& placeOf) {
  int given = -1;
  for (unsigned k = 0; k < FORMULAS; ++k) {
    if (origins_[k] != ORIGIN_GIVEN) continue;
    if (given < 0 || heads_[k] < heads_[given]) given = static_cast<int>(k);
  }
  if (given >= 0) {
    const std::string both = std::string("f(z) and ") + SLOTS[given].label;
    const std::string other = placeOf ? placeOf(heads_[given]) : "";
    return refuse(placeOf, both + " both given",
                  other.empty() ? "" : both + " (at " + other + ") both given");
  }
  tComplexExpansion expansion;
  if (!expansion.expand(*complex_->getRoot())) return refuse(placeOf, expansion.getError());
  for (unsigned k = 0; k < FORMULAS; ++k) {
    this->*SLOTS[k].tree = std::make_unique<tExprTree>(expansion.takeFormula(k));
    origins_[k] = ORIGIN_COMPLEX;
    *trace_ << SLOTS[k].label << " from f(z)\n";
  }
  return "";
}

std::string tFunction::deriveMissingFormulas(const tPlaceNamer& placeOf) {
  std::string messages;
  for (const auto& d : kDerivatives) {
    const std::unique_ptr<tExprTree>& component = this->*SLOTS[d.component].tree;
    std::unique_ptr<tExprTree>& tree = this->*SLOTS[d.slot].tree;
    if (tree || !component) continue;
    const tExprNode& f = *component->getRoot();
    std::unique_ptr<tExprNode> derived = d.byY ? tDerivative::ofY(f) : tDerivative::ofX(f);
    if (!derived) {
      messages += whereIs(placeOf, heads_[d.component]) + ": " + SLOTS[d.slot].label +
                  " is too large to derive\n";
      continue;
    }
    tree = std::make_unique<tExprTree>(std::move(derived));
    origins_[d.slot] = ORIGIN_DERIVED;
    *trace_ << SLOTS[d.slot].label << " derived\n";
  }
  return messages;
}

std::string tFunction::refuse(const tPlaceNamer& placeOf, const std::string& why,
                              const std::string& at) {
  return refuseAt(placeOf, complexHead_, why, at);
}

std::string tFunction::refuseAt(const tPlaceNamer& placeOf, unsigned token,
                                const std::string& why, const std::string& at) {
  for (unsigned k = 0; k < FORMULAS; ++k) {
    (this->*SLOTS[k].tree).reset();
    origins_[k] = ORIGIN_NONE;
  }
  refused_ = true;
  refusal_ = why;
  const std::string place = whereIs(placeOf, token);
  refusalPlace_ = place;
  return place + ": " + (at.empty() ? why : at) + "; the function is refused\n";
}

std::string tFunction::whereIs(const tPlaceNamer& placeOf, unsigned token) const {
  std::string place = placeOf ? placeOf(token) : "";
  if (!place.empty()) return place;
  return name_.empty() ? "unnamed function" : name_;
}

void tFunction::finishReading(const std::string& messages) {
  substituteVars(nullptr);
  if (readEnd_.how == TREAD_RAN_OUT) {
    *trace_ << "DONE PROCESSING\n";
    print();
  }
  *messages_ << messages;
  // A file that could not be read is reported by its loader, not as empty.
  if (!isIncomplete() || !readable_) return;
  std::string missing = missingFormulas();
  *messages_ << (name_.empty() ? "unnamed function" : name_) << ": incomplete function, missing "
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

void tFunction::warnAboutFile(const tFileTokens& file, unsigned pos) {
  const unsigned read = std::min<unsigned>(pos, file.tokens.size());
  for (unsigned i = 0; i < read; ++i) {
    if (beginsWithDigit(file.tokens[i]) &&
        file.warnAt(*messages_, file.offsets[i],
                    "name '" + file.tokens[i] + "' begins with a digit"))
      fileWarnings_ = true;
  }
  warnIfStoppedEarly(file, pos);
  warnAboutNearNames(file);
}

// A name that is no constant of the file but nearly one (R where the file
// sets r, X for x) is left for a script to set, and reads as 0 otherwise: a
// warning, though the file may mean it.
void tFunction::warnAboutNearNames(const tFileTokens& file) const {
  std::set<std::string> read, known = {"x", "y"};
  freeVars(read);
  for (const std::string& constant : constantNames_) known.insert(constant);
  for (const std::string& name : read) {
    const std::string hint = tSpellingHint::suggestion(name, known);
    if (known.count(name) != 0 || hint.empty()) continue;
    const auto token = std::find(file.tokens.begin(), file.tokens.end(), name);
    if (token == file.tokens.end()) continue;
    file.warnAt(*messages_, file.offsets[token - file.tokens.begin()],
                "'" + name + "' is no constant of this file: a script must set it, or it reads " +
                    "as 0" + hint);
  }
}

// A stop that needed a token past the last one names the character the
// tokenizer stopped at, if it did: that is why the tokens ran out. "end"
// counts as a stop only when something follows it or formulas are missing.
void tFunction::warnIfStoppedEarly(const tFileTokens& file, unsigned pos) {
  // A refused file has said what stopped it.
  if (readEnd_.how == TREAD_REFUSED) return;
  const bool tokenizerStopped = file.stoppedAt < file.source.getText().size();
  const bool pastEnd = pos > file.tokens.size();
  bool atHead = false;
  if (readEnd_.how == TREAD_BROKEN)
    atHead = !(pastEnd && tokenizerStopped);
  else if (readEnd_.how == TREAD_AT_END)
    atHead = pos < file.tokens.size() || tokenizerStopped || isIncomplete();
  if (atHead) {
    const unsigned head = readEnd_.head;
    const std::string& token = file.tokens[head];
    const std::string lower = tStringUtils::toLower(token);
    const std::string hint = lower != token && findSlot(lower)
                                 ? " (labels are written in lower case: " + lower + ")"
                                 : "";
    fileWarnings_ |=
        file.warnAt(*messages_, file.offsets[head], "reading stopped at '" + token + "'" + hint);
  } else if (tokenizerStopped) {
    fileWarnings_ |=
        file.warnAt(*messages_, file.stoppedAt,
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
  if (env && env->hasDoubleVal(name)) return env->getDoubleVal(name);
  return localVars_->getDoubleVal(name);
}

void tFunction::freeVars(std::set<std::string>& names) const {
  for (const tSlot& slot : SLOTS)
    if (this->*slot.tree) (this->*slot.tree)->freeVars(names);
}

void tFunction::clearLocalVars() {
  localVars_->clear();
  constantNames_.clear();
}

void tFunction::print() const {
  for (const tSlot& slot : SLOTS) {
    *trace_ << slot.printLabel;
    const std::unique_ptr<tExprTree>& tree = this->*slot.tree;
    if (tree)
      tree->print(*trace_);
    else
      *trace_ << "<none>\n";
    *trace_ << "\n";
  }
}
