#ifndef ROOTWEAVER_LEXER_TREGEXTREE_H
#define ROOTWEAVER_LEXER_TREGEXTREE_H

#include <string>

#include "lexer/tRegExNode.h"

// The syntax tree of one pattern; owns its root.
class tRegExTree {
 public:
  tRegExTree() = default;
  ~tRegExTree();
  tRegExTree(const tRegExTree&) = delete;
  tRegExTree& operator=(const tRegExTree&) = delete;

  // Parses the pattern into a fresh root: 1 accepted, 0 rejected. An empty
  // pattern is accepted as the EMPTY node.
  int buildTree(const std::string& pattern);
  tRegExNode* getRoot() { return root_; }
  const tRegExNode* getRoot() const { return root_; }

 private:
  tRegExNode* root_ = nullptr;  // the tree's root, null until buildTree
};

#endif
