#include "lexer/tRegExTree.h"

tRegExTree::~tRegExTree() { delete root_; }

int tRegExTree::buildTree(const std::string& pattern) {
  delete root_;
  root_ = new tRegExNode();
  // An empty pattern yields no tokens; the untouched root is already EMPTY.
  return root_->buildNode(pattern) < 0 ? 0 : 1;
}
