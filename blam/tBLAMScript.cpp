// Reading and running a BLAM script.
//
// Reading joins the file's trimmed non-comment lines, each preceded by a
// line feed and without a comment after its code, and cuts the result into
// tokens by 25 patterns (numbers may carry an exponent, quoted strings may
// hold spaces but not a line end). Line ends mean nothing beyond separating
// tokens, so the parser sees one stream: a recursive descent over statements
// whose blocks (batch and params bodies) end at the first token that cannot
// begin a statement, conventionally end. That token is consumed and the one
// after it is not.
//
// The parser never reports through the trace: a failed form ends its block
// and the enclosing level reads on. For the user, the reader remembers the
// first failed form, the token that ended the top level early and where the
// tokenizer gave up, and names the first of these on standard error with its
// line and column in the file; every piece of the joined text keeps the line
// and column it came from, so any offset maps back.
#include "blam/tBLAMScript.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ostream>
#include <limits>

#include "File/tSourceText.h"
#include "blam/tBLAMAssignmentStatement.h"
#include "blam/tBLAMBatchStatement.h"
#include "blam/tBLAMGraphStatement.h"
#include "blam/tBLAMMontageStatement.h"
#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMParamRangeStatement.h"
#include "blam/tBLAMParamsStatement.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMRunStatement.h"
#include "blam/tBLAMSettings.h"
#include "blam/tBLAMUseStatement.h"
#include "expr/tExprNode.h"
#include "lexer/tStringUtils.h"
#include "lexer/tTokenizer.h"

namespace {

// Token patterns of scripts, in the order the tokenizer tries them. A string
// holds any printable character but the quote, and the bytes of UTF-8, so that
// file names and captions may carry commas, brackets and accents; a tab or a
// line end still ends reading.
// clang-format off
const char* const kPatterns[] = {
    "batch", "of", "end", "params", "use", "run", "from", "to", "function", "f1", "f2", "f11",
    "f12", "f21", "f22", "true", "false", "=", "((0|(1-9))*.)?(0|(1-9))+",
    "((0|(1-9))*.)?(0|(1-9))+(e|E)(\\+|\\-)?(0|(1-9))+", "(a-z|A-Z|_|0|1-9)+",
    "\"( -!|#-~|\x80-\xff)*\"", "\\(", "\\)", "\\+|\\-|/|\\*|^"};
// clang-format on

const std::string kTooDeep =
    " (blocks nested deeper than " + std::to_string(tBLAMScript::MAX_BLOCK_DEPTH) + ")";
const std::string kFormulaTooDeep =
    " (formula nested deeper than " + std::to_string(tExprNode::MAX_DEPTH) + ")";

// The patterns compiled once; tokenizing only reads them.
const tTokenizer& scriptTokenizer() {
  static const tTokenizer* tokenizer = [] {
    tTokenizer* made = new tTokenizer();
    for (const char* pattern : kPatterns) made->addRegularExpression(pattern);
    return made;
  }();
  return *tokenizer;
}

bool isQuoted(const std::string& token) { return !token.empty() && token[0] == '"'; }

// A token of the name pattern: letters, digits and underscores. Keywords
// are such tokens too, and may name variables (f1 = ...).
bool isName(const std::string& token) {
  return !token.empty() && std::all_of(token.begin(), token.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '_';
  });
}

std::string unquote(const std::string& token) {
  return token.size() < 2 ? std::string() : token.substr(1, token.size() - 2);
}

// The count of a batch: the token's leading digits as atoi reads them (a
// token has no sign or space), held at the largest count instead of
// overflowing.
std::uint32_t parseCount(const std::string& token) {
  const std::uint64_t max = std::numeric_limits<std::uint32_t>::max();
  std::uint64_t count = 0;
  for (char c : token) {
    if (c < '0' || c > '9') break;
    count = std::min(max, count * 10 + static_cast<unsigned>(c - '0'));
  }
  return static_cast<std::uint32_t>(count);
}

}  // namespace

tBLAMScript::tBLAMScript(const tBLAMContext& context)
    : env_(std::make_unique<tVariableEnv>()), context_(context) {}

tBLAMScript::~tBLAMScript() {
  env_->clear();
  // The environment goes before the statements: the functions it binds are
  // shared with the assignments that made them.
  env_.reset();
  statements_.clear();
}

void tBLAMScript::loadDefaultValues() { tBLAMSettings::loadDefaults(*env_); }

bool tBLAMScript::loadScript(const std::string& path) {
  tSourceText source;
  bool readable = source.read(path);
  loadSource(path, source);
  return readable;
}

void tBLAMScript::loadScriptText(const std::string& path, const std::string& contents) {
  loadSource(path, tSourceText(contents));
}

void tBLAMScript::loadSource(const std::string& path, const tSourceText& source) {
  context_.progress.setScript(path);
  env_->clear();
  loadDefaultValues();
  const std::string& text = source.getText();

  const auto begin = std::chrono::steady_clock::now();
  std::vector<std::string> tokens;
  std::vector<unsigned> offsets;
  unsigned stoppedAt = 0;
  scriptTokenizer().tokenize(text, tokens, offsets, stoppedAt);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
  std::ostream& trace = context_.trace;
  trace << "Tokenizing took: " << took.count() << "\n\n";
  trace << "BLAM tokens = [";
  for (std::size_t i = 0; i < tokens.size(); ++i) trace << (i > 0 ? ", " : "") << tokens[i];
  trace << "]\n\n";

  depth_ = 0;
  failed_ = tooDeep_ = failedPastEnd_ = false;
  path_ = path;
  source_ = &source;
  offsets_ = &offsets;
  unsigned index = 0;
  tStatements parsed;
  bool complete = buildBlock(parsed, tokens, index);
  source_ = nullptr;
  offsets_ = nullptr;
  for (std::unique_ptr<tBLAMStatement>& statement : parsed)
    statements_.push_back(std::move(statement));

  trace << "BLAM statements = ";
  printStatements(statements_, trace);
  trace << "\n\n";
  warnIfStoppedEarly(source, tokens, offsets, stoppedAt, complete);
}

void tBLAMScript::run() {
  tBLAMProgress& progress = context_.progress;
  progress.beginRun();
  context_.outputs.beginScript();
  for (const std::unique_ptr<tBLAMStatement>& statement : statements_)
    statement->execute(env_.get(), context_);
  progress.endRun();
}

std::string tBLAMScript::getNextToken(const std::vector<std::string>& tokens, unsigned& index) {
  std::string token = index < tokens.size() ? tokens[index] : std::string();
  ++index;
  return token;
}

void tBLAMScript::buildStatements(tStatements& out, const std::vector<std::string>& tokens,
                                  unsigned& index) {
  buildBlock(out, tokens, index);
}

// block -> { statement }
// statement -> "batch" QUOTED "of" COUNT block | "params" block | "use" NAME | "run" NAME
//            | "graph" QUOTED NAME NAME | "montage" QUOTED columns [QUOTED]
//            | NAME "=" value | NAME "from" bound "to" bound
// bound -> ["-"] NUMBER
// columns -> NAME | bound
// True when the block ran to the end of the tokens.
bool tBLAMScript::buildBlock(tStatements& out, const std::vector<std::string>& tokens,
                             unsigned& index) {
  while (index < tokens.size()) {
    const unsigned head = index;
    std::string token = getNextToken(tokens, index);
    std::unique_ptr<tBLAMStatement> statement;
    if (token == "batch") {
      statement = buildBatch(head, tokens, index);
    } else if (token == "params") {
      statement = buildParams(head, tokens, index);
    } else if (token == "use" || token == "run") {
      std::string name = getNextToken(tokens, index);
      if (!isName(name)) {
        fail(tokens, index);
        return false;
      }
      if (token == "use") {
        auto use = std::make_unique<tBLAMUseStatement>();
        use->buildStatement(name);
        statement = std::move(use);
      } else {
        auto run = std::make_unique<tBLAMRunStatement>();
        run->buildStatement(name);
        run->setPlace(placeOf(head));
        statement = std::move(run);
      }
    } else if (token == "graph") {
      statement = buildGraph(tokens, index);
    } else if (token == "montage" && index < tokens.size() && isQuoted(tokens[index])) {
      // Only before a quoted name: a variable may still be called montage.
      statement = buildMontage(tokens, index);
    } else {
      statement = buildNamed(head, tokens, index);
    }
    if (!statement) return false;
    out.push_back(std::move(statement));
    if (tooDeep_) return false;
  }
  return true;
}

std::unique_ptr<tBLAMStatement> tBLAMScript::buildBatch(unsigned head,
                                                        const std::vector<std::string>& tokens,
                                                        unsigned& index) {
  std::string name = getNextToken(tokens, index);
  if (!isQuoted(name)) return fail(tokens, index);
  if (getNextToken(tokens, index) != "of") return fail(tokens, index);
  std::string count = getNextToken(tokens, index);
  if (count.empty()) return fail(tokens, index);
  if (depth_ >= MAX_BLOCK_DEPTH) {
    tooDeep_ = true;
    return fail(tokens, head + 1, kTooDeep);
  }
  auto batch = std::make_unique<tBLAMBatchStatement>();
  ++depth_;
  batch->buildStatement(parseCount(count), unquote(name), tokens, index, *this);
  --depth_;
  return batch;
}

std::unique_ptr<tBLAMStatement> tBLAMScript::buildParams(unsigned head,
                                                         const std::vector<std::string>& tokens,
                                                         unsigned& index) {
  if (depth_ >= MAX_BLOCK_DEPTH) {
    tooDeep_ = true;
    return fail(tokens, head + 1, kTooDeep);
  }
  auto params = std::make_unique<tBLAMParamsStatement>();
  ++depth_;
  params->buildStatement(tokens, index, *this);
  --depth_;
  return params;
}

std::unique_ptr<tBLAMStatement> tBLAMScript::buildGraph(const std::vector<std::string>& tokens,
                                                        unsigned& index) {
  std::string file = getNextToken(tokens, index);
  if (!isQuoted(file)) return fail(tokens, index);
  std::string x = getNextToken(tokens, index);
  std::string y = getNextToken(tokens, index);
  if (x.empty() || y.empty()) return fail(tokens, index);
  auto graph = std::make_unique<tBLAMGraphStatement>();
  graph->buildStatement(unquote(file), x, y);
  graph->setPlaces(placeOf(index - 2), placeOf(index - 1));
  return graph;
}

std::unique_ptr<tBLAMStatement> tBLAMScript::buildMontage(const std::vector<std::string>& tokens,
                                                          unsigned& index) {
  const std::string file = getNextToken(tokens, index);
  const std::string columns = getBound(tokens, index);
  if (columns.empty()) return fail(tokens, index);
  const bool number = tStringUtils::isNumber(columns[0] == '-' ? columns.substr(1) : columns);
  if (!number && !isName(columns)) return fail(tokens, index);
  std::string caption;
  if (index < tokens.size() && isQuoted(tokens[index])) caption = unquote(tokens[index++]);
  auto montage = std::make_unique<tBLAMMontageStatement>();
  montage->buildStatement(unquote(file), columns, caption);
  return montage;
}

std::unique_ptr<tBLAMStatement> tBLAMScript::buildNamed(unsigned head,
                                                        const std::vector<std::string>& tokens,
                                                        unsigned& index) {
  const std::string& name = tokens[head];
  std::string next = getNextToken(tokens, index);
  if (next == "=") {
    auto assignment = std::make_unique<tBLAMAssignmentStatement>();
    assignment->buildStatement(name, tokens, index, context_,
                               [this](unsigned token) { return placeOf(token); });
    // The formula's parser has dropped every token after the one that went
    // too deep, so the reading of the script ends there.
    const long tooDeep = assignment->getTooDeepToken();
    if (tooDeep >= 0) return fail(tokens, static_cast<unsigned>(tooDeep) + 1, kFormulaTooDeep);
    // A definition that stopped early is where reading went wrong, though
    // the script reads on after it; when it needed tokens past the last one,
    // the tokenizer's stop is the cause.
    unsigned broken;
    if (assignment->definitionStoppedAt(broken))
      fail(tokens, index > tokens.size() ? index : broken + 1);
    return assignment;
  }
  if (next == "from") {
    std::string from = getBound(tokens, index);
    if (from.empty()) return fail(tokens, index);
    if (getNextToken(tokens, index) != "to") return fail(tokens, index);
    std::string to = getBound(tokens, index);
    if (to.empty()) return fail(tokens, index);
    auto range = std::make_unique<tBLAMParamRangeStatement>();
    range->buildStatement(name, tStringUtils::readNumber(from), tStringUtils::readNumber(to));
    return range;
  }
  // The name cannot begin a statement: it ends the block, and the token after
  // it is given back.
  --index;
  if (depth_ == 0) strayToken_ = head;
  return nullptr;
}

// A "-" followed by a number is the number negated, unless the number is
// followed by "=" or "from": then, as before signs were read, the sign is the
// bound (0) and the number begins the next statement.
std::string tBLAMScript::getBound(const std::vector<std::string>& tokens, unsigned& index) {
  std::string bound = getNextToken(tokens, index);
  if (bound != "-" || index >= tokens.size() || !tStringUtils::isNumber(tokens[index]))
    return bound;
  if (index + 1 < tokens.size() && (tokens[index + 1] == "=" || tokens[index + 1] == "from"))
    return bound;
  return bound + getNextToken(tokens, index);
}

std::string tBLAMScript::placeOf(unsigned token) const {
  if (!source_ || token >= offsets_->size()) return "";
  return source_->placeOf(path_, (*offsets_)[token]);
}

std::unique_ptr<tBLAMStatement> tBLAMScript::fail(const std::vector<std::string>& tokens,
                                                  unsigned index, const std::string& reason) {
  if (failed_) return nullptr;
  failed_ = true;
  failedReason_ = reason;
  failedPastEnd_ = index > tokens.size();
  failedToken_ = failedPastEnd_ ? static_cast<unsigned>(tokens.size() - 1) : index - 1;
  return nullptr;
}

void tBLAMScript::warnIfStoppedEarly(const tSourceText& source,
                                     const std::vector<std::string>& tokens,
                                     const std::vector<unsigned>& offsets, unsigned stoppedAt,
                                     bool complete) const {
  const bool tokenizerStopped = stoppedAt < source.getText().size();
  std::string what;
  unsigned offset = 0;
  if (failed_ && !(failedPastEnd_ && tokenizerStopped)) {
    offset = offsets[failedToken_];
    what = "'" + tokens[failedToken_] + "'" + failedReason_;
  } else if (!failed_ && !complete) {
    offset = offsets[strayToken_];
    what = "'" + tokens[strayToken_] + "'";
  } else if (tokenizerStopped) {
    offset = stoppedAt;
    what = "'" + source.characterAt(stoppedAt) + "'";
  } else {
    return;
  }
  unsigned line, column;
  if (!source.findPlace(offset, line, column)) return;
  context_.progress.failAt(line, column, "reading stopped at " + what);
}

void tBLAMScript::printStatements(const tStatements& statements, std::ostream& trace) {
  trace << "[";
  for (std::size_t i = 0; i < statements.size(); ++i) {
    if (i > 0) trace << ", ";
    statements[i]->print(trace);
  }
  trace << "]";
}
