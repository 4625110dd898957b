// The pattern dialect and its parser.
//
// buildTokens cuts a pattern into regex tokens in one pass: the seven operator
// characters * + ? | - ( ) become operator tokens wherever they stand, a
// backslash makes the character after it a literal (a backslash that ends the
// pattern is itself a literal), and everything else is a literal. There are
// no classes, anchors or wildcards: ranges are written bare, as a-z.
//
// The parser is recursive descent over the token list, consuming from its
// front. Every rule works on one node: it parses into it and, when an operator
// follows, pushes the node's contents down into a new left child and becomes
// that operator. So each node has at most two children, unions and
// concatenations nest to the left, and a rule never has to build a node it
// might throw away. Parsing stops at the first token that cannot continue the
// expression; at the top level the rest is ignored, inside a group it is an
// error because the closing parenthesis must come next.
//
// Only groups make the parser recurse (four nested calls per group), so the
// parser rejects a pattern whose groups nest deeper than kMaxGroupDepth, and a
// hostile pattern cannot overflow the stack. Trees can still be as deep as the
// pattern is long (abc... nests to the left), so the destructor walks the tree
// with an explicit stack instead of recursing.
#include "lexer/tRegExNode.h"

#include <vector>

namespace {

tRegExTokenType tokenTypeOf(char c) {
  switch (c) {
    case '*': return REGEX_TOKEN_STAR;
    case '+': return REGEX_TOKEN_PLUS;
    case '?': return REGEX_TOKEN_OPTIONAL;
    case '|': return REGEX_TOKEN_UNION;
    case '-': return REGEX_TOKEN_RANGE;
    case '(': return REGEX_TOKEN_OPEN;
    case ')': return REGEX_TOKEN_CLOSE;
    default: return REGEX_TOKEN_SYMBOL;
  }
}

// The node kind a postfix operator token makes, or EMPTY for any other token.
std::int32_t postfixKindOf(tRegExTokenType type) {
  switch (type) {
    case REGEX_TOKEN_STAR: return tRegExNode::REGEX_NODE_STAR;
    case REGEX_TOKEN_PLUS: return tRegExNode::REGEX_NODE_PLUS;
    case REGEX_TOKEN_OPTIONAL: return tRegExNode::REGEX_NODE_OPTIONAL;
    default: return tRegExNode::REGEX_NODE_EMPTY;
  }
}

bool beginsBaseExpr(tRegExTokenType type) {
  return type == REGEX_TOKEN_SYMBOL || type == REGEX_TOKEN_OPEN;
}

}  // namespace

tRegExNode::~tRegExNode() {
  std::vector<tRegExNode*> doomed;
  if (left_) doomed.push_back(left_);
  if (right_) doomed.push_back(right_);
  while (!doomed.empty()) {
    tRegExNode* node = doomed.back();
    doomed.pop_back();
    if (node->left_) doomed.push_back(node->left_);
    if (node->right_) doomed.push_back(node->right_);
    node->left_ = node->right_ = nullptr;
    delete node;
  }
}

void tRegExNode::buildTokens(const std::string& pattern, tRegExTokens& tokens) {
  for (std::string::size_type i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '\\' && i + 1 < pattern.size()) {
      tokens.emplace_back(REGEX_TOKEN_SYMBOL, pattern[++i]);
      continue;
    }
    tRegExTokenType type = tokenTypeOf(c);
    tokens.emplace_back(type, type == REGEX_TOKEN_SYMBOL ? c : '\0');
  }
}

int tRegExNode::buildNode(const std::string& pattern) {
  tRegExTokens tokens;
  buildTokens(pattern, tokens);
  return parseUnion(tokens, 0);
}

// union -> concatenation { "|" [ concatenation ] }
int tRegExNode::parseUnion(tRegExTokens& tokens, int depth) {
  if (tokens.empty()) return 0;
  int result = parseConcatenation(tokens, depth);
  if (result != 1) return result;
  while (peekNextToken(tokens).type_ == REGEX_TOKEN_UNION) {
    getNextToken(tokens);
    wrapIn(REGEX_NODE_UNION);
    // A bar that ends the pattern leaves the right side EMPTY.
    right_ = new tRegExNode();
    if (right_->parseConcatenation(tokens, depth) < 0) return -1;
  }
  return 1;
}

// concatenation -> iterative { iterative }
int tRegExNode::parseConcatenation(tRegExTokens& tokens, int depth) {
  if (tokens.empty()) return 0;
  int result = parseIterativeConstruct(tokens, depth);
  if (result != 1) return result;
  while (beginsBaseExpr(peekNextToken(tokens).type_)) {
    wrapIn(REGEX_NODE_CONCATENATION);
    right_ = new tRegExNode();
    if (right_->parseIterativeConstruct(tokens, depth) < 0) return -1;
  }
  return 1;
}

// iterative -> base [ "*" | "+" | "?" ]
int tRegExNode::parseIterativeConstruct(tRegExTokens& tokens, int depth) {
  if (tokens.empty()) return 0;
  int result = parseBaseExpr(tokens, depth);
  if (result != 1) return result;
  std::int32_t kind = postfixKindOf(peekNextToken(tokens).type_);
  if (kind != REGEX_NODE_EMPTY) {
    getNextToken(tokens);
    wrapIn(kind);
  }
  return 1;
}

// base -> "(" union ")" | symbol [ "-" token ]
int tRegExNode::parseBaseExpr(tRegExTokens& tokens, int depth) {
  if (tokens.empty()) return 0;
  tRegExToken token = getNextToken(tokens);
  if (token.type_ == REGEX_TOKEN_OPEN) {
    if (depth >= kMaxGroupDepth) return -1;
    if (parseUnion(tokens, depth + 1) < 0) return -1;
    return getNextToken(tokens).type_ == REGEX_TOKEN_CLOSE ? 1 : -1;
  }
  if (token.type_ != REGEX_TOKEN_SYMBOL) return -1;
  symbol_ = token.symbol_;
  if (peekNextToken(tokens).type_ != REGEX_TOKEN_RANGE) {
    type_ = REGEX_NODE_SYMBOL;
    return 1;
  }
  getNextToken(tokens);
  // Any token may close the range; an operator token carries the character 0,
  // which makes a range from a printable low end empty.
  tRegExToken high = getNextToken(tokens);
  if (high.type_ == REGEX_TOKEN_NONE) return -1;
  type_ = REGEX_NODE_RANGE;
  rangeEnd_ = high.symbol_;
  return 1;
}

tRegExNode::tRegExToken tRegExNode::peekNextToken(const tRegExTokens& tokens) {
  return tokens.empty() ? tRegExToken() : tokens.front();
}

tRegExNode::tRegExToken tRegExNode::getNextToken(tRegExTokens& tokens) {
  tRegExToken token = peekNextToken(tokens);
  if (!tokens.empty()) tokens.pop_front();
  return token;
}

void tRegExNode::wrapIn(std::int32_t type) {
  tRegExNode* inner = new tRegExNode();
  inner->symbol_ = symbol_;
  inner->rangeEnd_ = rangeEnd_;
  inner->type_ = type_;
  inner->left_ = left_;
  inner->right_ = right_;
  symbol_ = 0;
  rangeEnd_ = 0;
  type_ = type;
  left_ = inner;
  right_ = nullptr;
}
