#include "expr/tExprNode.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <iostream>

#include "expr/tVariableEnv.h"
#include "lexer/tStringUtils.h"

namespace {

// Print labels by kind code; the absolute value has none.
const char* const kLabels[] = {"SIN",   "COS",   "TAN",      "SINH",     "COSH",  "TANH", "PLUS",
                               "MINUS", "TIMES", "DIV",      "CONSTANT", "EXP",   "",     "POW",
                               "X",     "Y",     "VARIABLE", "NEGATION", "EMPTY", "SQRT", "LOG",
                               "SIGN",  "ATAN2", "HYPOT",    "SQRTRE",   "SQRTIM"};

// A node built by hand may carry a code of no kind; it prints like EMPTY.
const char* labelOf(int32_t type) {
  const int32_t count = static_cast<int32_t>(std::size(kLabels));
  return type >= 0 && type < count ? kLabels[type] : "EMPTY";
}

bool atEnd(const std::vector<std::string>& tokens, unsigned pos) { return pos >= tokens.size(); }

// The built-in functions by their lower-case names.
const struct {
  const char* name;
  tExprNode::TEXPR_NODE_TYPE type;
} kFunctions[] = {{"sin", tExprNode::SIN},   {"cos", tExprNode::COS},   {"tan", tExprNode::TAN},
                  {"sinh", tExprNode::SINH}, {"cosh", tExprNode::COSH}, {"tanh", tExprNode::TANH},
                  {"exp", tExprNode::EXP},   {"abs", tExprNode::ABS},   {"sqrt", tExprNode::SQRT},
                  {"log", tExprNode::LOG}};

// The entry of a function name in any case, or the end of the table.
const auto* findFunction(const std::string& token) {
  std::string name = tStringUtils::toLower(token);
  return std::find_if(std::begin(kFunctions), std::end(kFunctions),
                      [&name](const auto& f) { return name == f.name; });
}

}  // namespace

tExprNode::tExprNode() : type_(EMPTY), value_(0.0) {}

tExprNode::~tExprNode() = default;

std::unique_ptr<tExprNode> tExprNode::makeConstant(double value) {
  auto node = std::make_unique<tExprNode>();
  node->type_ = CONSTANT;
  node->value_ = value;
  return node;
}

std::unique_ptr<tExprNode> tExprNode::makeX() {
  auto node = std::make_unique<tExprNode>();
  node->type_ = X;
  return node;
}

std::unique_ptr<tExprNode> tExprNode::makeY() {
  auto node = std::make_unique<tExprNode>();
  node->type_ = Y;
  return node;
}

std::unique_ptr<tExprNode> tExprNode::makeUnary(TEXPR_NODE_TYPE type,
                                                std::unique_ptr<tExprNode> operand) {
  auto node = std::make_unique<tExprNode>();
  node->type_ = type;
  node->left_ = std::move(operand);
  return node;
}

std::unique_ptr<tExprNode> tExprNode::makeBinary(TEXPR_NODE_TYPE type,
                                                 std::unique_ptr<tExprNode> left,
                                                 std::unique_ptr<tExprNode> right) {
  auto node = makeUnary(type, std::move(left));
  node->right_ = std::move(right);
  return node;
}

std::unique_ptr<tExprNode> tExprNode::copy() const {
  auto node = std::make_unique<tExprNode>();
  node->type_ = type_;
  node->value_ = value_;
  node->name_ = name_;
  if (left_) node->left_ = left_->copy();
  if (right_) node->right_ = right_->copy();
  return node;
}

int tExprNode::buildNode(const std::vector<std::string>& tokens, unsigned& pos, bool exactNumbers) {
  exactNumbers_ = exactNumbers;
  unsigned height = 0;
  return parseSum(tokens, pos, 0, height);
}

// sum -> product { ("+" | "-") product }
int tExprNode::parseSum(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                        unsigned& height) {
  return parseChain(tokens, pos, depth, height, &tExprNode::parseProduct, "+", PLUS, "-", MINUS);
}

// product -> power { ("*" | "/") power }
int tExprNode::parseProduct(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                            unsigned& height) {
  return parseChain(tokens, pos, depth, height, &tExprNode::parsePower, "*", TIMES, "/", DIV);
}

int tExprNode::parseChain(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                          unsigned& height, tOperandParser next, const char* first,
                          TEXPR_NODE_TYPE firstType, const char* second,
                          TEXPR_NODE_TYPE secondType) {
  height = 0;
  if (atEnd(tokens, pos)) return -1;
  int result = (this->*next)(tokens, pos, depth, height);
  if (result != 1) return result;
  while (!atEnd(tokens, pos) && (tokens[pos] == first || tokens[pos] == second)) {
    // Moving the operands parsed so far one level down must keep them in bounds.
    if (depth + height + 1 > MAX_DEPTH) return TOO_DEEP;
    pushDown(tokens[pos] == first ? firstType : secondType);
    ++pos;
    unsigned rightHeight = 0;
    result = (right_.get()->*next)(tokens, pos, depth + 1, rightHeight);
    height = 1 + std::max(height, rightHeight);
    if (result != 1) return result;
  }
  return 1;
}

// power -> primary [ "^" power ]
int tExprNode::parsePower(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                          unsigned& height) {
  height = 0;
  if (atEnd(tokens, pos)) return -1;
  int result = parseExpr(tokens, pos, depth, height);
  if (result != 1) return result;
  if (atEnd(tokens, pos) || tokens[pos] != "^") return 1;
  if (depth + height + 1 > MAX_DEPTH) return TOO_DEEP;
  pushDown(POW);
  ++pos;
  unsigned rightHeight = 0;
  result = right_->parsePower(tokens, pos, depth + 1, rightHeight);
  height = 1 + std::max(height, rightHeight);
  return result;
}

// primary -> "(" sum ")" | "-" primary | constant | function primary | name
int tExprNode::parseExpr(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                         unsigned& height) {
  height = 0;
  if (atEnd(tokens, pos)) return -1;
  const std::string& token = tokens[pos];
  if (token == "(") {
    // A group adds no node, but it counts as a level so that the parser's
    // recursion stays as bounded as the tree.
    if (depth + 1 > MAX_DEPTH) return TOO_DEEP;
    ++pos;
    int result = parseSum(tokens, pos, depth + 1, height);
    if (result == TOO_DEEP) return result;
    if (atEnd(tokens, pos)) return -1;
    bool closed = tokens[pos] == ")";
    ++pos;
    return closed ? result : -1;
  }
  if (token == "-") {
    if (depth + 1 > MAX_DEPTH) return TOO_DEEP;
    becomeUnary(NEGATION);
    ++pos;
    unsigned operandHeight = 0;
    int result = left_->parseExpr(tokens, pos, depth + 1, operandHeight);
    height = 1 + operandHeight;
    return result;
  }
  if (isConstant(token)) return parseConstant(tokens, pos);
  if (isFunction(token)) return parseFunction(tokens, pos, depth, height);
  return parseVariable(tokens, pos);
}

// function -> ("sin" | "cos" | ... | "abs" | "sqrt" | "log") primary
int tExprNode::parseFunction(const std::vector<std::string>& tokens, unsigned& pos, unsigned depth,
                             unsigned& height) {
  height = 0;
  if (atEnd(tokens, pos)) return -1;
  const auto* entry = findFunction(tokens[pos]);
  if (entry == std::end(kFunctions)) return -1;
  if (depth + 1 > MAX_DEPTH) return TOO_DEEP;
  becomeUnary(entry->type);
  ++pos;
  unsigned operandHeight = 0;
  int result = left_->parseExpr(tokens, pos, depth + 1, operandHeight);
  height = 1 + operandHeight;
  return result;
}

int tExprNode::parseConstant(const std::vector<std::string>& tokens, unsigned& pos) {
  if (atEnd(tokens, pos)) return -1;
  std::string token = tStringUtils::toLower(tokens[pos]);
  type_ = CONSTANT;
  if (isReal(token))
    value_ = exactNumbers_ ? tStringUtils::readNumber(token) : tStringUtils::stringToFloat(token);
  else
    value_ = token == "pi" ? PI_VAL : E_VAL;
  ++pos;
  return 1;
}

int tExprNode::parseVariable(const std::vector<std::string>& tokens, unsigned& pos) {
  if (atEnd(tokens, pos)) return -1;
  const std::string& token = tokens[pos];
  // An operator, a bracket or "=" where an operand belongs leaves the
  // operand missing; it is left for the caller to name.
  if (!isName(token)) return -1;
  if (token == "x") {
    type_ = X;
  } else if (token == "y") {
    type_ = Y;
  } else {
    type_ = VARIABLE;
    name_ = token;
  }
  ++pos;
  return 1;
}

bool tExprNode::isReal(const std::string& token) {
  if (token.empty()) return false;
  char c = token[0];
  return c == '-' || c == '.' || (c >= '0' && c <= '9');
}

bool tExprNode::isConstant(const std::string& token) {
  std::string lower = tStringUtils::toLower(token);
  return isReal(lower) || lower == "pi" || lower == "e";
}

bool tExprNode::isName(const std::string& token) {
  return !token.empty() && std::all_of(token.begin(), token.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  });
}

std::string tExprNode::functionNames() {
  std::string names;
  for (const auto& f : kFunctions) names += (names.empty() ? "" : ", ") + std::string(f.name);
  return names;
}

bool tExprNode::isFunction(const std::string& token) {
  return findFunction(token) != std::end(kFunctions);
}

void tExprNode::pushDown(TEXPR_NODE_TYPE type) {
  auto moved = std::make_unique<tExprNode>();
  moved->type_ = type_;
  moved->exactNumbers_ = exactNumbers_;
  moved->value_ = value_;
  moved->name_ = std::move(name_);
  moved->left_ = std::move(left_);
  moved->right_ = std::move(right_);
  type_ = type;
  value_ = 0.0;
  name_.clear();
  left_ = std::move(moved);
  right_ = std::make_unique<tExprNode>();
  right_->exactNumbers_ = exactNumbers_;
}

void tExprNode::becomeUnary(TEXPR_NODE_TYPE type) {
  type_ = type;
  left_ = std::make_unique<tExprNode>();
  left_->exactNumbers_ = exactNumbers_;
}

unsigned tExprNode::operandCount(int32_t type) {
  switch (type) {
    case PLUS:
    case MINUS:
    case TIMES:
    case DIV:
    case POW:
    case ATAN2:
    case HYPOT:
    case SQRT_RE:
    case SQRT_IM: return 2;
    case SIN:
    case COS:
    case TAN:
    case SINH:
    case COSH:
    case TANH:
    case EXP:
    case ABS:
    case NEGATION:
    case SQRT:
    case LOG:
    case SIGN: return 1;
    default: return 0;
  }
}

double tExprNode::sign(double v) {
  if (v > 0) return 1.0;
  return v < 0 ? -1.0 : v;
}

double tExprNode::squareRootRe(double re, double im) {
  return std::sqrt(std::complex<double>(re, im)).real();
}

double tExprNode::squareRootIm(double re, double im) {
  return std::sqrt(std::complex<double>(re, im)).imag();
}

double tExprNode::evaluate(double x, double y) const {
  switch (type_) {
    case CONSTANT:
    case VARIABLE:
      return value_;
    case X: return x;
    case Y: return y;
    default:
      break;
  }
  switch (operandCount(type_)) {
    case 2: {
      double a = left_->evaluate(x, y);
      return operate(type_, a, right_->evaluate(x, y));
    }
    case 1:
      return operate(type_, left_->evaluate(x, y), 0.0);
    default:
      return 1.0;
  }
}

double tExprNode::operate(int32_t type, double a, double b) {
  switch (type) {
    case SIN:
      return std::sin(a);
    case COS:
      return std::cos(a);
    case TAN:
      return std::tan(a);
    case SINH:
      return std::sinh(a);
    case COSH:
      return std::cosh(a);
    case TANH:
      return std::tanh(a);
    case PLUS:
      return a + b;
    case MINUS:
      return a - b;
    case TIMES:
      return a * b;
    case DIV:
      return a / b;
    case EXP:
      return std::pow(E_VAL, a);
    case ABS:
      return std::fabs(a);
    case POW:
      return std::pow(a, b);
    case NEGATION:
      return -a;
    case SQRT:
      return std::sqrt(a);
    case LOG:
      return std::log(a);
    case SIGN:
      return sign(a);
    case ATAN2:
      return std::atan2(a, b);
    case HYPOT:
      return std::hypot(a, b);
    case SQRT_RE:
      return squareRootRe(a, b);
    case SQRT_IM:
      return squareRootIm(a, b);
    default: return 1.0;
  }
}

void tExprNode::substituteVars(tVariableEnv* env) {
  if (type_ == VARIABLE && env->hasDoubleVal(name_)) value_ = env->getDoubleVal(name_);
  if (left_) left_->substituteVars(env);
  if (right_) right_->substituteVars(env);
}

void tExprNode::freeVars(std::set<std::string>& names) const {
  if (type_ == VARIABLE) names.insert(name_);
  if (left_) left_->freeVars(names);
  if (right_) right_->freeVars(names);
}

void tExprNode::print(std::ostream& out) const {
  out << "[" << labelOf(type_);
  if (type_ == CONSTANT) out << " " << value_;
  if (type_ == VARIABLE) out << " " << name_ << " = " << value_;
  out << " : ";
  if (left_)
    left_->print(out);
  else
    out << "_";
  out << ", ";
  if (right_)
    right_->print(out);
  else
    out << "_";
  out << "]";
}
