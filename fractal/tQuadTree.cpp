#include "fractal/tQuadTree.h"

#include <algorithm>

#include "fractal/tFractal.h"
#include "graphics/tImage.h"

tQuadTree::tQuadTreeNode::tQuadTreeNode(int rowBegin, int rowEnd, int columnBegin, int columnEnd,
                                        tFractal* fractal)
    : rowBegin_(rowBegin),
      rowEnd_(rowEnd),
      columnBegin_(columnBegin),
      columnEnd_(columnEnd),
      mottled_(false) {
  if (rowBegin >= rowEnd || columnBegin >= columnEnd) return;
  const tImage& image = *fractal->getImage();
  const tPixel& reference = image(rowBegin, columnBegin);
  for (int r = rowBegin; r < rowEnd && !mottled_; ++r) {
    for (int c = columnBegin; c < columnEnd; ++c) {
      if (image(r, c) != reference) {
        mottled_ = true;
        break;
      }
    }
  }
}

tQuadTree::tQuadTreeNode::~tQuadTreeNode() = default;

namespace {

// The side of the root box: the largest power of two within both sides, so
// that every level halves its boxes exactly.
int rootSide(const tFractal& fractal) {
  const int shorter = static_cast<int>(std::min(fractal.getWidth(), fractal.getHeight()));
  int side = 1;
  while (side <= shorter / 2) side *= 2;
  return side;
}

}  // namespace

tQuadTree::tQuadTree(tFractal* fractal, int minBoxSize) : fractal_(fractal), maxDepth_(1) {
  setMaxDepth(fractal, minBoxSize);
  const int side = rootSide(*fractal);
  const int row = (static_cast<int>(fractal->getHeight()) - side) / 2;
  const int column = (static_cast<int>(fractal->getWidth()) - side) / 2;
  root_ = std::make_unique<tQuadTreeNode>(row, row + side, column, column + side, fractal);
  buildTree(fractal, root_.get(), 0);
}

tQuadTree::~tQuadTree() = default;

void tQuadTree::setMaxDepth(tFractal* fractal, int minBoxSize) {
  const int size = rootSide(*fractal);
  maxDepth_ = 1;
  for (long long side = std::max(minBoxSize, 1); side < size; side *= 2) ++maxDepth_;
}

void tQuadTree::buildTree(tFractal* fractal, tQuadTreeNode* node, int depth) {
  if (!node->mottled_ || depth >= maxDepth_ - 1) return;
  int rowMid = node->rowBegin_ + (node->rowEnd_ - node->rowBegin_) / 2;
  int columnMid = node->columnBegin_ + (node->columnEnd_ - node->columnBegin_) / 2;
  const int rows[3] = {node->rowBegin_, rowMid, node->rowEnd_};
  const int columns[3] = {node->columnBegin_, columnMid, node->columnEnd_};
  for (int k = 0; k < 4; ++k) {
    int r = k / 2;
    int c = k % 2;
    node->children_[k] =
        std::make_unique<tQuadTreeNode>(rows[r], rows[r + 1], columns[c], columns[c + 1], fractal);
  }
  for (auto& child : node->children_) buildTree(fractal, child.get(), depth + 1);
}

void tQuadTree::countMottledBoxes(int depth, int* counts) {
  countMottledBoxes(root_.get(), depth, counts);
}

void tQuadTree::countMottledBoxes(const tQuadTreeNode* node, int depth, int* counts) const {
  // The depth test comes first: nodes of the last level have no children.
  if (node == nullptr || depth >= maxDepth_ || !node->mottled_) return;
  ++counts[depth];
  for (const auto& child : node->children_) countMottledBoxes(child.get(), depth + 1, counts);
}
