#ifndef ROOTWEAVER_EXPR_TEXPRNODE_H
#define ROOTWEAVER_EXPR_TEXPRNODE_H

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <vector>

class tVariableEnv;

// One node of a parsed formula, and the recursive-descent parser that fills it.
//
// Parsing always writes into an existing node: a grammar level either turns
// the node into a leaf, or gives it a kind and new children that it parses in
// turn. A left-associative loop moves everything parsed so far into a new
// left child, so the node a caller handed in stays the root of its operand.
// Operator nodes always carry their operands; an operand that could not be
// parsed stays EMPTY and evaluates to 1.0. A token that cannot be an operand
// (an operator, a bracket, "=") where one belongs fails the parse with pos on
// it, so that `x * * 3` is not read as x times a variable named "*".
//
// Every walk over a tree (evaluation, printing, substitution, destruction) is
// recursive, so the parser keeps trees shallow: no node lies more than
// MAX_DEPTH levels below the root, and parentheses count as a level too so
// that the parser's own recursion is bounded the same way. Each level reports
// the height of the subtree it built; a step that would go deeper fails the
// parse with TOO_DEEP, and every level returns at once, leaving pos on the
// token that would have gone deeper.
class tExprNode {
 public:
  // Kinds of nodes; the codes are part of the node's data.
  enum TEXPR_NODE_TYPE {
    SIN = 0,
    COS = 1,
    TAN = 2,
    SINH = 3,
    COSH = 4,
    TANH = 5,
    PLUS = 6,
    MINUS = 7,
    TIMES = 8,
    DIV = 9,
    CONSTANT = 10,
    EXP = 11,
    ABS = 12,
    POW = 13,
    X = 14,
    Y = 15,
    VARIABLE = 16,
    NEGATION = 17,
    EMPTY = 18,
    // Functions a formula may name besides the ones above.
    SQRT = 19,
    LOG = 20,
    // Kinds only derived formulas contain: the derivative of abs, and the
    // parts of a complex logarithm and square root (see tComplexExpansion).
    SIGN = 21,
    ATAN2 = 22,
    HYPOT = 23,
    SQRT_RE = 24,
    SQRT_IM = 25
  };

  static constexpr double PI_VAL = 3.141592653589793;
  static constexpr double E_VAL = 2.718281828459045;
  // Deepest level below the root at which the parser creates a node.
  static constexpr unsigned MAX_DEPTH = 2000;
  // Parse result of a formula nested deeper than MAX_DEPTH.
  static constexpr int TOO_DEEP = -2;

  tExprNode();
  ~tExprNode();
  // Nodes for code that builds formulas itself (see tExprBuilder): they are
  // the nodes the parser would make for the same formula.
  static std::unique_ptr<tExprNode> makeConstant(double value);
  static std::unique_ptr<tExprNode> makeX();
  static std::unique_ptr<tExprNode> makeY();
  static std::unique_ptr<tExprNode> makeUnary(TEXPR_NODE_TYPE type,
                                              std::unique_ptr<tExprNode> operand);
  static std::unique_ptr<tExprNode> makeBinary(TEXPR_NODE_TYPE type,
                                               std::unique_ptr<tExprNode> left,
                                               std::unique_ptr<tExprNode> right);
  // The whole subtree, values and names included.
  std::unique_ptr<tExprNode> copy() const;
  tExprNode(const tExprNode&) = delete;
  tExprNode& operator=(const tExprNode&) = delete;

  // Parses a formula into this node from pos; 1 on success, -1 on failure,
  // TOO_DEEP (pos on the token that would go deeper) past the depth limit.
  // Numbers are read in single precision, or, with exactNumbers (a
  // script's), by tStringUtils::readNumber.
  int buildNode(const std::vector<std::string>& tokens, unsigned& pos, bool exactNumbers = false);

  // Grammar levels. `depth` is this node's depth below the root (parentheses
  // included); `height` receives the number of levels built below this node.
  int parseSum(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
               unsigned& height);
  int parseProduct(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                   unsigned& height);
  int parsePower(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                 unsigned& height);
  int parseExpr(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                unsigned& height);
  int parseFunction(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                    unsigned& height);
  int parseConstant(const std::vector<std::string>& tokens, unsigned& pos);
  int parseVariable(const std::vector<std::string>& tokens, unsigned& pos);

  static bool isReal(const std::string& token);
  static bool isConstant(const std::string& token);
  static bool isFunction(const std::string& token);
  // Whether the token can name a variable: letters, digits and "_" only.
  static bool isName(const std::string& token);
  // The functions a formula may name, "sin, cos, ...".
  static std::string functionNames();

  // Operands a kind takes: 0 for leaves, EMPTY and codes of no kind.
  static unsigned operandCount(int32_t type);
  // The values of the kinds that are not a single libm call or IEEE
  // operation, shared with tFormulaProgram so both give the same bits.
  // sign(v) is -1, 0 or 1 (0 keeps its sign, NaN stays NaN); the square root
  // parts are those of the principal square root of re + i im.
  static double sign(double v);
  static double squareRootRe(double re, double im);
  static double squareRootIm(double re, double im);

  double evaluate(double x, double y) const;
  // The value of a node of an operator or function kind whose operands have
  // the values a and (for two operands) b, as evaluate computes it.
  static double operate(int32_t type, double a, double b);
  void substituteVars(tVariableEnv* env);
  // Read access for code that compiles or transforms a tree.
  int32_t getType() const { return type_; }
  double getValue() const { return value_; }
  const std::string& getName() const { return name_; }
  const tExprNode* getLeft() const { return left_.get(); }
  const tExprNode* getRight() const { return right_.get(); }
  void freeVars(std::set<std::string>& names) const;
  void print(std::ostream& out) const;

 private:
  // The shared loop of sum and product: `next` parses each operand, `first`
  // and `second` are the two operator tokens and their kinds.
  using tOperandParser = int (tExprNode::*)(const std::vector<std::string>&, unsigned&, unsigned,
                                            unsigned&);
  int parseChain(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                 unsigned& height, tOperandParser next, const char* first,
                 TEXPR_NODE_TYPE firstType, const char* second, TEXPR_NODE_TYPE secondType);
  // Turns this node into the two-operand kind `type`: everything it held moves
  // into a new left child, and the right child is a new EMPTY node.
  void pushDown(TEXPR_NODE_TYPE type);
  // Gives this node the kind `type` and a new EMPTY left child for its operand.
  void becomeUnary(TEXPR_NODE_TYPE type);

  int32_t type_;                      // node kind, a TEXPR_NODE_TYPE code
  bool exactNumbers_ = false;         // the parser reads numbers as a script does
  double value_;                      // constant's value; variable's last substituted value
  std::string name_;                  // variable's name; empty for other kinds
  std::unique_ptr<tExprNode> left_;   // only or first operand
  std::unique_ptr<tExprNode> right_;  // second operand of a two-operand kind
};

#endif
