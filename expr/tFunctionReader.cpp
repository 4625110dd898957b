#include "expr/tFunctionReader.h"

#include <algorithm>
#include <chrono>
#include <set>

#include "File/tSourceText.h"
#include "expr/tComplexExpansion.h"
#include "expr/tComplexLowering.h"
#include "expr/tDerivative.h"
#include "expr/tExprTree.h"
#include "expr/tFormulaSyntax.h"
#include "expr/tVariableEnv.h"
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

struct tFunctionReader::tFileTokens {
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

tFunctionReader::tFunctionReader(tFunction& function, std::ostream& trace, std::ostream& messages)
    : function_(function), trace_(trace), messages_(messages) {}

void tFunctionReader::readText(const tSourceText& source, const std::string& path) {
  tFileTokens file;
  file.path = path;
  file.source = source;
  readFile(file);
}

void tFunctionReader::readTokens(const std::vector<std::string>& tokens, unsigned& pos,
                                 const tPlaceNamer& placeOf) {
  function_.readEnd_ = readStatements(tokens, pos);
  finishReading(completeFormulas(placeOf));
}

void tFunctionReader::readFile(tFileTokens& file) {
  const auto begin = std::chrono::steady_clock::now();
  functionTokenizer().tokenize(file.source.getText(), file.tokens, file.offsets, file.stoppedAt);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
  trace_ << "Tokenizing took: " << took.count() << "\n\n";

  unsigned pos = 0;
  function_.readEnd_ = readStatements(file.tokens, pos);
  std::string messages = completeFormulas([&file](unsigned token) { return file.placeOf(token); });
  warnAboutFile(file, pos);
  finishReading(messages);
}

tFunction::~tFunction() = default;

const tFunction::tSlot* tFunctionReader::findSlot(const std::string& label) {
  for (const tFunction::tSlot& slot : tFunction::SLOTS)
    if (label == slot.label) return &slot;
  return nullptr;
}

std::string tFunctionReader::getNextToken(const std::vector<std::string>& tokens, unsigned& pos) {
  std::string token = pos < tokens.size() ? tokens[pos] : std::string();
  ++pos;
  return token;
}

// statement -> LABEL "=" formula | "f" "(" "z" ")" "=" formula
//            | NAME "=" ["-"] VALUE | "end"
tFunctionReader::tReadEnd tFunctionReader::readStatements(const std::vector<std::string>& tokens,
                                                          unsigned& pos) {
  trace_ << "func tokens = [";
  for (std::size_t i = pos; i < tokens.size(); ++i) trace_ << (i > pos ? ", " : "") << tokens[i];
  trace_ << "]\n\nSTARTED PROCESSING\n";

  while (pos < tokens.size()) {
    const unsigned head = pos;
    std::string name = getNextToken(tokens, pos);
    if (const tFunction::tSlot* slot = findSlot(name)) {
      const unsigned k = static_cast<unsigned>(slot - tFunction::SLOTS);
      std::unique_ptr<tExprTree>& tree = function_.*slot->tree;
      tree.reset();
      function_.origins_[k] = tFunction::ORIGIN_NONE;
      if (getNextToken(tokens, pos) != "=") {
        trace_ << "bailing on " << name << "\n";
        return {tFunction::TREAD_BROKEN, head};
      }
      tree = std::make_unique<tExprTree>();
      if (!readFormula(*tree, tokens, pos)) return skipRefused(tokens, pos, head);
      function_.origins_[k] = tFunction::ORIGIN_GIVEN;
      function_.heads_[k] = head;
      trace_ << name << " done\n";
      continue;
    }
    if (name == "end") return {tFunction::TREAD_AT_END, head};
    if (readComplexFormula(tokens, pos)) {
      if (!fault_.empty()) return skipRefused(tokens, pos, head);
      continue;
    }
    if (!readLocalConstant(name, tokens, pos)) return {tFunction::TREAD_BROKEN, head};
  }
  return {tFunction::TREAD_RAN_OUT, pos};
}

bool tFunctionReader::readComplexFormula(const std::vector<std::string>& tokens, unsigned& pos) {
  const unsigned head = pos - 1;
  for (unsigned i = 0; i < std::size(kComplexLabel); ++i)
    if (head + i >= tokens.size() || tokens[head + i] != kComplexLabel[i]) return false;
  pos = head + static_cast<unsigned>(std::size(kComplexLabel));
  function_.complex_ = std::make_unique<tExprTree>();
  function_.complexHead_ = head;
  if (!readFormula(*function_.complex_, tokens, pos)) return true;
  trace_ << "f(z) done\n";
  return true;
}

// A definition in a script goes on to its "end": what lies between belongs
// to the refused function, not to the script.
tFunctionReader::tReadEnd tFunctionReader::skipRefused(const std::vector<std::string>& tokens,
                                                       unsigned& pos, unsigned head) {
  while (pos < tokens.size() && tokens[pos] != "end") ++pos;
  if (pos < tokens.size()) ++pos;
  return {tFunction::TREAD_REFUSED, head};
}

bool tFunctionReader::readFormula(tExprTree& tree, const std::vector<std::string>& tokens,
                                  unsigned& pos) {
  const unsigned start = pos;
  const bool whole = tree.buildTree(tokens, pos);
  if (tree.getTooDeepToken() >= 0) function_.tooDeepToken_ = tree.getTooDeepToken();
  fault_ = tFormulaSyntax::check(tokens, start, pos, whole, tree.getTooDeepToken(), faultToken_);
  return fault_.empty();
}

// A value "-" followed by a number is that number negated, unless the number
// is followed by "=": then, as before signs were read, the sign is the value
// (0) and the number names the next constant.
bool tFunctionReader::readLocalConstant(const std::string& name,
                                        const std::vector<std::string>& tokens, unsigned& pos) {
  std::string next = getNextToken(tokens, pos);
  trace_ << "trying to add: " << name << "\n"
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
  if (!function_.localVars_->containsVal(name)) function_.constantNames_.push_back(name);
  function_.localVars_->extend(name, tStringUtils::stringToFloat(value));
  return true;
}

std::string tFunctionReader::completeFormulas(const tPlaceNamer& placeOf) {
  for (std::unique_ptr<tExprTree>& derivative : function_.complexDerivatives_) derivative.reset();
  function_.lowered_ = function_.unwritten_ = false;
  if (function_.readEnd_.how == tFunction::TREAD_REFUSED)
    return refuseAt(placeOf, faultToken_, fault_);
  return function_.complex_ ? expandComplexFormula(placeOf) : deriveMissingFormulas(placeOf);
}

std::string tFunctionReader::expandComplexFormula(const tPlaceNamer& placeOf) {
  int given = -1;
  for (unsigned k = 0; k < tFunction::FORMULAS; ++k) {
    if (function_.origins_[k] != tFunction::ORIGIN_GIVEN) continue;
    if (given < 0 || function_.heads_[k] < function_.heads_[given]) given = static_cast<int>(k);
  }
  if (given >= 0) {
    const std::string both = std::string("f(z) and ") + tFunction::SLOTS[given].label;
    const std::string other = placeOf ? placeOf(function_.heads_[given]) : "";
    return refuse(placeOf, both + " both given",
                  other.empty() ? "" : both + " (at " + other + ") both given");
  }
  tComplexExpansion expansion;
  if (!expansion.expand(*function_.complex_->getRoot())) {
    return expansion.isTooLarge() ? lowerComplexFormula(placeOf)
                                  : refuse(placeOf, expansion.getError());
  }
  for (unsigned k = 0; k < tFunction::FORMULAS; ++k)
    function_.*tFunction::SLOTS[k].tree = std::make_unique<tExprTree>(expansion.takeFormula(k));
  for (int order = 1; order <= 2; ++order)
    keepComplexDerivative(order, expansion.takeDerivative(order));
  acceptComplexFormula();
  return "";
}

// Too large to write out: the slots stay empty, and the programs compute
// f(z), f'(z) and f''(z) without the written-out formulas.
std::string tFunctionReader::lowerComplexFormula(const tPlaceNamer& placeOf) {
  const tExprNode& f = *function_.complex_->getRoot();
  std::string why = tComplexLowering::check(f);
  if (!why.empty()) return refuse(placeOf, why);
  std::unique_ptr<tExprNode> first = tDerivative::ofVariable(f, "z");
  if (!first) return refuse(placeOf, "f'(z) is too large to derive");
  why = tComplexLowering::check(*first);
  if (!why.empty()) return refuse(placeOf, why);
  // f''(z) is for the methods that ask for it: one that cannot be made is
  // left out, as one too large to derive is for a written-out map.
  std::unique_ptr<tExprNode> second = tDerivative::ofVariable(*first, "z");
  if (second && !tComplexLowering::check(*second).empty()) second.reset();
  keepComplexDerivative(1, std::move(first));
  keepComplexDerivative(2, std::move(second));
  function_.unwritten_ = true;
  acceptComplexFormula();
  return "";
}

void tFunctionReader::keepComplexDerivative(int order, std::unique_ptr<tExprNode> derivative) {
  if (!derivative) return;
  function_.complexDerivatives_[order - 1] = std::make_unique<tExprTree>(std::move(derivative));
}

void tFunctionReader::acceptComplexFormula() {
  for (unsigned k = 0; k < tFunction::FORMULAS; ++k) {
    function_.origins_[k] = tFunction::ORIGIN_COMPLEX;
    trace_ << tFunction::SLOTS[k].label << " from f(z)\n";
  }
  function_.lowered_ = true;
}

std::string tFunctionReader::deriveMissingFormulas(const tPlaceNamer& placeOf) {
  std::string messages;
  for (const auto& d : kDerivatives) {
    const std::unique_ptr<tExprTree>& component = function_.*tFunction::SLOTS[d.component].tree;
    std::unique_ptr<tExprTree>& tree = function_.*tFunction::SLOTS[d.slot].tree;
    if (tree || !component) continue;
    const tExprNode& f = *component->getRoot();
    std::unique_ptr<tExprNode> derived = d.byY ? tDerivative::ofY(f) : tDerivative::ofX(f);
    if (!derived) {
      messages += whereIs(placeOf, function_.heads_[d.component]) + ": " +
                  tFunction::SLOTS[d.slot].label + " is too large to derive\n";
      continue;
    }
    tree = std::make_unique<tExprTree>(std::move(derived));
    function_.origins_[d.slot] = tFunction::ORIGIN_DERIVED;
    trace_ << tFunction::SLOTS[d.slot].label << " derived\n";
  }
  return messages;
}

std::string tFunctionReader::refuse(const tPlaceNamer& placeOf, const std::string& why,
                                    const std::string& at) {
  return refuseAt(placeOf, function_.complexHead_, why, at);
}

std::string tFunctionReader::refuseAt(const tPlaceNamer& placeOf, unsigned token,
                                      const std::string& why, const std::string& at) {
  for (unsigned k = 0; k < tFunction::FORMULAS; ++k) {
    (function_.*tFunction::SLOTS[k].tree).reset();
    function_.origins_[k] = tFunction::ORIGIN_NONE;
  }
  function_.refused_ = true;
  function_.refusal_ = why;
  const std::string place = whereIs(placeOf, token);
  function_.refusalPlace_ = place;
  return place + ": " + (at.empty() ? why : at) + "; the function is refused\n";
}

std::string tFunctionReader::whereIs(const tPlaceNamer& placeOf, unsigned token) const {
  std::string place = placeOf ? placeOf(token) : "";
  if (!place.empty()) return place;
  return function_.name_.empty() ? "unnamed function" : function_.name_;
}

void tFunctionReader::finishReading(const std::string& messages) {
  function_.substituteVars(nullptr);
  if (function_.readEnd_.how == tFunction::TREAD_RAN_OUT) {
    trace_ << "DONE PROCESSING\n";
    function_.print(trace_);
  }
  messages_ << messages;
  // A file that could not be read is reported by its loader, not as empty.
  if (!function_.isIncomplete() || !function_.readable_) return;
  std::string missing = function_.missingFormulas();
  messages_ << (function_.name_.empty() ? "unnamed function" : function_.name_)
            << ": incomplete function, missing " << missing << "\n";
}

void tFunctionReader::warnAboutFile(const tFileTokens& file, unsigned pos) {
  const unsigned read = std::min<unsigned>(pos, file.tokens.size());
  for (unsigned i = 0; i < read; ++i) {
    if (beginsWithDigit(file.tokens[i]) &&
        file.warnAt(messages_, file.offsets[i],
                    "name '" + file.tokens[i] + "' begins with a digit"))
      function_.fileWarnings_ = true;
  }
  warnIfStoppedEarly(file, pos);
  warnAboutNearNames(file);
}

// A name that is no constant of the file but nearly one (R where the file
// sets r, X for x) is left for a script to set, and reads as 0 otherwise: a
// warning, though the file may mean it.
void tFunctionReader::warnAboutNearNames(const tFileTokens& file) const {
  std::set<std::string> read, known = {"x", "y"};
  function_.freeVars(read);
  for (const std::string& constant : function_.constantNames_) known.insert(constant);
  for (const std::string& name : read) {
    const std::string hint = tSpellingHint::suggestion(name, known);
    if (known.count(name) != 0 || hint.empty()) continue;
    const auto token = std::find(file.tokens.begin(), file.tokens.end(), name);
    if (token == file.tokens.end()) continue;
    file.warnAt(messages_, file.offsets[token - file.tokens.begin()],
                "'" + name + "' is no constant of this file: a script must set it, or it reads " +
                    "as 0" + hint);
  }
}

// A stop that needed a token past the last one names the character the
// tokenizer stopped at, if it did: that is why the tokens ran out. "end"
// counts as a stop only when something follows it or formulas are missing.
void tFunctionReader::warnIfStoppedEarly(const tFileTokens& file, unsigned pos) {
  // A refused file has said what stopped it.
  if (function_.readEnd_.how == tFunction::TREAD_REFUSED) return;
  const bool tokenizerStopped = file.stoppedAt < file.source.getText().size();
  const bool pastEnd = pos > file.tokens.size();
  bool atHead = false;
  if (function_.readEnd_.how == tFunction::TREAD_BROKEN)
    atHead = !(pastEnd && tokenizerStopped);
  else if (function_.readEnd_.how == tFunction::TREAD_AT_END)
    atHead = pos < file.tokens.size() || tokenizerStopped || function_.isIncomplete();
  if (atHead) {
    const unsigned head = function_.readEnd_.head;
    const std::string& token = file.tokens[head];
    const std::string lower = tStringUtils::toLower(token);
    const std::string hint = lower != token && findSlot(lower)
                                 ? " (labels are written in lower case: " + lower + ")"
                                 : "";
    function_.fileWarnings_ |=
        file.warnAt(messages_, file.offsets[head], "reading stopped at '" + token + "'" + hint);
  } else if (tokenizerStopped) {
    function_.fileWarnings_ |=
        file.warnAt(messages_, file.stoppedAt,
                    "reading stopped at '" + file.source.characterAt(file.stoppedAt) + "'");
  }
}
