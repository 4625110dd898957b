#include "expr/tFormulaSyntax.h"

#include "expr/tExprNode.h"
#include "lexer/tStringUtils.h"

namespace {

bool isOperator(const std::string& token) {
  return token == "+" || token == "-" || token == "*" || token == "/" || token == "^";
}

// Where an operand belongs right after this token.
bool wantsOperand(const std::string& token) {
  return isOperator(token) || token == "(" || token == "=" || tExprNode::isFunction(token);
}

// The "(" left open before end, counting from start; end when none is.
unsigned openBracket(const std::vector<std::string>& tokens, unsigned start, unsigned end) {
  std::vector<unsigned> open;
  for (unsigned i = start; i < end && i < tokens.size(); ++i) {
    if (tokens[i] == "(") open.push_back(i);
    if (tokens[i] == ")" && !open.empty()) open.pop_back();
  }
  return open.empty() ? end : open.back();
}

std::string quoted(const std::string& token) { return "'" + token + "'"; }

}  // namespace

std::string tFormulaSyntax::check(const std::vector<std::string>& tokens, unsigned start,
                                  unsigned end, bool whole, long tooDeep, unsigned& at) {
  if (tooDeep >= 0) {
    at = static_cast<unsigned>(tooDeep);
    return "formula nested deeper than " + std::to_string(tExprNode::MAX_DEPTH);
  }
  for (unsigned i = start; i < end && i < tokens.size(); ++i) {
    if (!isLabel(tokens[i]) || i == 0) continue;
    at = i - 1;
    return "an operand is missing after " + quoted(tokens[at]);
  }
  if (!whole) return whyCutShort(tokens, start, end, at);
  return whyNotFollowed(tokens, end, at);
}

bool tFormulaSyntax::isLabel(const std::string& token) {
  for (const char* label : {"f1", "f2", "f11", "f12", "f21", "f22", "end"})
    if (token == label) return true;
  return false;
}

std::string tFormulaSyntax::whyCutShort(const std::vector<std::string>& tokens, unsigned start,
                                        unsigned end, unsigned& at) {
  const unsigned stop = end < tokens.size() ? end : static_cast<unsigned>(tokens.size());
  const std::string& before = stop > 0 ? tokens[stop - 1] : "";
  if (stop < tokens.size() && tokens[stop] == "*" && before == "*") {
    at = stop - 1;
    return "'**' is no operator; write '^' for a power";
  }
  if (stop > 0 && (stop == start || wantsOperand(before))) {
    at = stop - 1;
    return "an operand is missing after " + quoted(before);
  }
  at = openBracket(tokens, start, stop);
  return "'(' is never closed";
}

std::string tFormulaSyntax::whyNotFollowed(const std::vector<std::string>& tokens, unsigned end,
                                           unsigned& at) {
  if (end >= tokens.size()) return "";
  const std::string& next = tokens[end];
  const bool named = end + 1 < tokens.size() && tokens[end + 1] == "=";
  const bool complexLabel = next == "f" && end + 1 < tokens.size() && tokens[end + 1] == "(";
  if (isLabel(next) || named || complexLabel) return "";
  at = end;
  if (next == ")") return "')' closes no bracket";
  if (next == "(") {
    const std::string& before = tokens[end - 1];
    if (!tExprNode::isName(before) || tStringUtils::isNumber(before))
      return "an operator is missing before '('";
    at = end - 1;
    return quoted(before) + " is not a function; functions are " + tExprNode::functionNames();
  }
  if (tExprNode::isName(next)) return "an operator is missing before " + quoted(next);
  return quoted(next) + " cannot follow a formula";
}
