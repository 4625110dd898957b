// Compiling a pattern: tokens, syntax tree, NFA, DFA.
//
// Both state counters are reset first, so the labels of every pattern start at
// 0 whatever was compiled before. The tree and the NFA are thrown away once
// the DFA exists; afterwards a match is only a walk of the DFA.
//
// buildNFA builds a fragment per node bottom-up, the left operand before the
// right one, which fixes the order in which states are made and labelled. The
// tree can be as deep as the pattern is long (abc... nests to the left), so
// the traversal keeps its own stack of nodes and of finished fragments
// instead of recursing; it visits nodes in the order recursion would.
#include "lexer/tRegularExpression.h"

#include <memory>
#include <vector>

#include "lexer/tRegExTree.h"

namespace {

bool isLeaf(const tRegExNode* node) {
  if (!node) return true;
  std::int32_t type = node->getType();
  return type == tRegExNode::REGEX_NODE_SYMBOL || type == tRegExNode::REGEX_NODE_RANGE ||
         type == tRegExNode::REGEX_NODE_EMPTY;
}

bool isBinary(const tRegExNode* node) {
  std::int32_t type = node->getType();
  return type == tRegExNode::REGEX_NODE_CONCATENATION || type == tRegExNode::REGEX_NODE_UNION;
}

// A missing node, which the parser never leaves, counts as EMPTY.
tNFA* leafFragment(const tRegExNode* node) {
  if (!node) return new tNFA();
  switch (node->getType()) {
    case tRegExNode::REGEX_NODE_SYMBOL: return new tNFA(node->getSymbol());
    case tRegExNode::REGEX_NODE_RANGE: return new tNFA(node->getSymbol(), node->getRangeEnd());
    default: return new tNFA();
  }
}

void applyPostfix(const tRegExNode* node, tNFA* fragment) {
  switch (node->getType()) {
    case tRegExNode::REGEX_NODE_STAR: fragment->applyStar(); break;
    case tRegExNode::REGEX_NODE_PLUS: fragment->applyPlus(); break;
    default: fragment->applyOptional(); break;
  }
}

void applyBinary(const tRegExNode* node, tNFA* left, tNFA* right) {
  if (node->getType() == tRegExNode::REGEX_NODE_CONCATENATION)
    left->applyConcatenation(right);
  else
    left->applyUnion(right);
}

}  // namespace

tRegularExpression::tRegularExpression(const std::string& pattern) {
  tNFAState::zeroStates();
  tDFAState::zeroStates();
  tRegExTree tree;
  if (!tree.buildTree(pattern)) return;
  std::unique_ptr<tNFA> nfa(buildNFA(tree.getRoot()));
  dfa_ = new tDFA(nfa.get());
}

tRegularExpression::~tRegularExpression() { delete dfa_; }

int tRegularExpression::match(const std::string& text, std::string::size_type from) const {
  return dfa_ ? dfa_->run(text, from) : -1;
}

tNFA* tRegularExpression::buildNFA(const tRegExNode* root) {
  // A node and how many of its operands are done.
  struct tVisit {
    const tRegExNode* node;
    int operandsDone;
  };
  std::vector<tVisit> visits{tVisit{root, 0}};
  std::vector<std::unique_ptr<tNFA>> fragments;
  while (!visits.empty()) {
    tVisit& visit = visits.back();
    const tRegExNode* node = visit.node;
    if (isLeaf(node)) {
      visits.pop_back();
      fragments.emplace_back(leafFragment(node));
      continue;
    }
    int operands = isBinary(node) ? 2 : 1;
    if (visit.operandsDone < operands) {
      const tRegExNode* operand = visit.operandsDone == 0 ? node->getLeft() : node->getRight();
      ++visit.operandsDone;
      visits.push_back(tVisit{operand, 0});
      continue;
    }
    visits.pop_back();
    if (operands == 1) {
      applyPostfix(node, fragments.back().get());
      continue;
    }
    std::unique_ptr<tNFA> right = std::move(fragments.back());
    fragments.pop_back();
    applyBinary(node, fragments.back().get(), right.get());
  }
  return fragments.back().release();
}
