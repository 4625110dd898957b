#ifndef ROOTWEAVER_LEXER_TREGEXNODE_H
#define ROOTWEAVER_LEXER_TREGEXNODE_H

#include <cstdint>
#include <deque>
#include <string>

// Kinds of the tokens a pattern is cut into. NONE is never produced: it is the
// kind of a default token and of a token read past the end of the list.
enum tRegExTokenType : std::int32_t {
  REGEX_TOKEN_SYMBOL = 0,
  REGEX_TOKEN_OPEN = 1,
  REGEX_TOKEN_CLOSE = 2,
  REGEX_TOKEN_STAR = 3,
  REGEX_TOKEN_PLUS = 4,
  REGEX_TOKEN_OPTIONAL = 5,
  REGEX_TOKEN_RANGE = 6,
  REGEX_TOKEN_UNION = 7,
  REGEX_TOKEN_NONE = 8,
};

// One node of a pattern's syntax tree, and the recursive-descent parser that
// builds the tree in place. A node owns its (at most two) children.
class tRegExNode {
 public:
  // One token of a pattern: a literal character or an operator.
  struct tRegExToken {
    tRegExToken() = default;
    tRegExToken(tRegExTokenType type, char symbol) : type_(type), symbol_(symbol) {}

    tRegExTokenType type_ = REGEX_TOKEN_NONE;  // what the token is
    char symbol_ = 0;                          // the literal of a SYMBOL token; 0 for operators
  };

  // The token list of a pattern; the parser consumes it from the front.
  using tRegExTokens = std::deque<tRegExToken>;

  // Node kinds, stored in type_.
  enum TREGEX_NODE_TYPE : std::int32_t {
    REGEX_NODE_SYMBOL = 0,
    REGEX_NODE_CONCATENATION = 1,
    REGEX_NODE_UNION = 2,
    REGEX_NODE_STAR = 3,
    REGEX_NODE_PLUS = 4,
    REGEX_NODE_OPTIONAL = 5,
    REGEX_NODE_RANGE = 6,
    REGEX_NODE_EMPTY = 7,
  };

  // Groups nested deeper than this make the pattern rejected.
  static const int kMaxGroupDepth = 1000;

  tRegExNode() = default;
  ~tRegExNode();
  tRegExNode(const tRegExNode&) = delete;
  tRegExNode& operator=(const tRegExNode&) = delete;

  static void buildTokens(const std::string& pattern, tRegExTokens& tokens);
  // Parses the whole pattern into this (fresh) node: 1 parsed, 0 empty pattern, -1 rejected.
  int buildNode(const std::string& pattern);

  // Each rule consumes tokens from the front and returns 1 when it parsed,
  // 0 when no tokens were left, -1 on an error. depth counts the open groups.
  int parseUnion(tRegExTokens& tokens, int depth = 0);
  int parseConcatenation(tRegExTokens& tokens, int depth = 0);
  int parseIterativeConstruct(tRegExTokens& tokens, int depth = 0);
  int parseBaseExpr(tRegExTokens& tokens, int depth = 0);

  static tRegExToken peekNextToken(const tRegExTokens& tokens);
  static tRegExToken getNextToken(tRegExTokens& tokens);

  std::int32_t getType() const { return type_; }
  char getSymbol() const { return symbol_; }
  char getRangeEnd() const { return rangeEnd_; }
  const tRegExNode* getLeft() const { return left_; }
  const tRegExNode* getRight() const { return right_; }

 private:
  // Turns this node into an operator whose left child takes the old contents.
  void wrapIn(std::int32_t type);

  char symbol_ = 0;                       // the character of a SYMBOL, the low end of a RANGE
  char rangeEnd_ = 0;                     // the high end of a RANGE
  std::int32_t type_ = REGEX_NODE_EMPTY;  // the node kind, a TREGEX_NODE_TYPE
  tRegExNode* left_ = nullptr;   // the only operand of postfix nodes, the first of binary ones
  tRegExNode* right_ = nullptr;  // the second operand of CONCATENATION and UNION
};

#endif
