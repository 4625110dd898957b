#ifndef ROOTWEAVER_EXPR_TEXPRTREE_H
#define ROOTWEAVER_EXPR_TEXPRTREE_H

#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "expr/tExprNode.h"

class tVariableEnv;

// A parsed formula over x, y and named variables. Variables take their values
// from an environment by substitution before evaluation, so evaluating is a
// plain walk that allocates nothing and looks up no names.
class tExprTree {
 public:
  tExprTree();
  // A tree holding a formula built without the parser (a derived one).
  explicit tExprTree(std::unique_ptr<tExprNode> root);
  ~tExprTree();
  tExprTree(const tExprTree&) = delete;
  tExprTree& operator=(const tExprTree&) = delete;

  // Parses a formula from pos into a new root and leaves pos on the first
  // token after it. False when the formula was cut short; the part parsed so
  // far stays, with EMPTY nodes (worth 1.0) where operands are missing. A
  // formula nested deeper than a tree may be ends the tokens: pos goes past
  // the last one, and getTooDeepToken tells where it went too deep.
  // exactNumbers reads numbers as a script does (tExprNode::buildNode).
  bool buildTree(const std::vector<std::string>& tokens, unsigned& pos, bool exactNumbers = false);
  // The token at which the last buildTree would have gone deeper than
  // tExprNode::MAX_DEPTH; -1 when it did not.
  long getTooDeepToken() const { return tooDeepToken_; }
  // The formula's value at (x, y); 0.0 before anything was parsed.
  double evaluate(double x, double y) const;
  // Copies into every variable the number that the environment binds to its
  // name, in the current scope or an enclosing one; variables it binds to no
  // number (to nothing, or to a string, a function or a boolean) keep theirs.
  void substituteVars(tVariableEnv* env);
  void freeVars(std::set<std::string>& names) const;
  // The whole formula; null until buildTree.
  const tExprNode* getRoot() const { return root_.get(); }
  // The tree as nested [KIND : left, right] groups, then a line feed.
  void print(std::ostream& out) const;

 private:
  std::unique_ptr<tExprNode> root_;  // the whole formula; null until buildTree
  long tooDeepToken_ = -1;           // where the last buildTree went too deep; -1 when not
};

#endif
