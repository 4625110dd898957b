#include "expr/tExprTree.h"

#include <iostream>
#include <utility>

tExprTree::tExprTree() = default;

tExprTree::tExprTree(std::unique_ptr<tExprNode> root) : root_(std::move(root)) {}

tExprTree::~tExprTree() = default;

bool tExprTree::buildTree(const std::vector<std::string>& tokens, unsigned& pos,
                          bool exactNumbers) {
  root_ = std::make_unique<tExprNode>();
  int result = root_->buildNode(tokens, pos, exactNumbers);
  tooDeepToken_ = -1;
  if (result == tExprNode::TOO_DEEP) {
    tooDeepToken_ = pos;
    pos = static_cast<unsigned>(tokens.size());
  }
  return result == 1;
}

double tExprTree::evaluate(double x, double y) const { return root_ ? root_->evaluate(x, y) : 0.0; }

void tExprTree::substituteVars(tVariableEnv* env) {
  if (root_ && env) root_->substituteVars(env);
}

void tExprTree::freeVars(std::set<std::string>& names) const {
  if (root_) root_->freeVars(names);
}

void tExprTree::print(std::ostream& out) const {
  if (root_)
    root_->print(out);
  else
    out << "_";
  out << "\n";
}
