#ifndef ROOTWEAVER_FRACTAL_TQUADTREE_H
#define ROOTWEAVER_FRACTAL_TQUADTREE_H

#include <memory>

class tFractal;

// A quad tree over a finished picture, split only where the picture is
// mottled, for the box-counting dimension of the boundaries between its
// colour regions.
//
// The root box covers the largest square of power-of-two side in the middle
// of the picture (the whole of a square picture of such a side); a mottled box (one whose pixels
// are not all equal to its first pixel) above the last level has four children, its quadrants, and
// every other box is a leaf. The levels run down to boxes of the minimum box size, so the number of
// mottled boxes at each level is the number of boxes of that size that a boundary crosses. The tree
// is a snapshot: it reads the picture once, when it is built.
class tQuadTree {
 public:
  // One box of the tree: a half-open range of rows and of columns.
  class tQuadTreeNode {
   public:
    tQuadTreeNode(int rowBegin, int rowEnd, int columnBegin, int columnEnd, tFractal* fractal);
    ~tQuadTreeNode();
    tQuadTreeNode(const tQuadTreeNode&) = delete;
    tQuadTreeNode& operator=(const tQuadTreeNode&) = delete;

    // A cross over a mottled box whose top-left corner is (left, top), then
    // the children in their quadrants; nothing for a box that is not mottled.
    void draw(float top, float left, float size) const;

    int rowBegin_;     // first row of the box
    int rowEnd_;       // one past the last row
    int columnBegin_;  // first column of the box
    int columnEnd_;    // one past the last column
    bool mottled_;     // some pixel of the box differs from its first pixel
    // Quadrants: low rows with low then high columns, then high rows likewise;
    // all null for a leaf.
    std::unique_ptr<tQuadTreeNode> children_[4];
  };

  // Builds the tree over the root box down to boxes of minBoxSize.
  tQuadTree(tFractal* fractal, int minBoxSize);
  ~tQuadTree();
  tQuadTree(const tQuadTree&) = delete;
  tQuadTree& operator=(const tQuadTree&) = delete;

  // One level for the root box and one more for every halving of the box
  // side until it reaches minBoxSize (taken as at least 1).
  void setMaxDepth(tFractal* fractal, int minBoxSize);
  int getMaxDepth() const { return maxDepth_; }
  // Splits a mottled node at the given depth, and its mottled descendants,
  // down to the last level.
  void buildTree(tFractal* fractal, tQuadTreeNode* node, int depth);
  // Adds to counts[d] the number of mottled boxes at each level d, the root
  // taken to be at the given depth; counts holds getMaxDepth() entries.
  void countMottledBoxes(int depth, int* counts);

  // Drawing, defined with the windowed program (fractal/tQuadTreeDraw.cpp).
  // The overlay over a square of the given side whose corner with the
  // smallest coordinates is (x, y): the outline and the crosses of the
  // mottled boxes, rows growing with y, as white lines over a dark shadow
  // one unit off.
  void draw(float x, float y, float size) const;

 private:
  void countMottledBoxes(const tQuadTreeNode* node, int depth, int* counts) const;

  std::unique_ptr<tQuadTreeNode> root_;  // the box over the whole picture
  tFractal* fractal_;                    // the picture the tree was built from; borrowed
  int maxDepth_;                         // number of levels: depths 0 ... maxDepth_ - 1
};

#endif
