#ifndef ROOTWEAVER_FRACTAL_TROOTMANAGER_H
#define ROOTWEAVER_FRACTAL_TROOTMANAGER_H

#include <cstddef>
#include <utility>
#include <vector>

#include "fractal/tColorGrid.h"
#include "fractal/tRootGrid.h"
#include "graphics/tPixel.h"
#include "graphics/tVector2.h"

class tPalette;
class tRandom;

// The registry of the roots that solves have reached, and the source of every
// colour the fractal grid paints.
//
// Each distinct root gets one colour the first time it is met and keeps it
// until clearRoots(), so a root has the same colour in every pixel and, when
// nobody clears the registry, across a series of pictures. Two roots closer
// than the solvers' root tolerance are one root; the first representative met
// is kept and later ones are compared with it. Colours are the three presets
// in order (when random colours are off) and random ones after that; a random
// colour keeps its distance from the colours already in use where it can, and
// stays as far from them as the draws allow where it cannot. Under a palette
// other than the classic one (tPalette), the palette gives every new root its
// colour and nothing is drawn from the random sequence for it.
//
// A pixel's root is the first registered root that matches it. Neighbouring
// pixels mostly reach the same root, so the root found last is tried first.
// It is the answer when it matches and no earlier root lies within 2.5
// tolerances of it (recorded when it was registered): by the triangle
// inequality no earlier root can then match. Otherwise a registry of a few
// roots is searched from its first root on, and a larger one only where
// matches can be: the roots in the squares of a grid around the pixel's
// root are the only ones that can match (tRootGrid), and the first of them
// that does is the answer, so neither test looks at all of many roots.
// Distances are compared squared, against the least double whose square root
// is not below the tolerance, which is exactly the test on the length (the
// square root is correctly rounded, so monotonic).
//
// The colours in use are kept by their place in colour space too
// (tColorGrid): a candidate colour is measured against the colours near it,
// and only as far as it decides something, so that a new colour costs the
// same however many roots have one.
class tRootManager {
 public:
  // Random colours are drawn from `random`, which must outlive the registry.
  explicit tRootManager(tRandom& random);
  tRootManager(const tRootManager&) = delete;
  tRootManager& operator=(const tRootManager&) = delete;

  tPixel getColorForRoot(const tVector2& root);
  // The root's place in the registry, in order of discovery; a new root is
  // registered first, with its colour, as getColorForRoot does. Inline, as
  // every converged pixel asks, and most of them for the root found last.
  std::size_t registerRoot(const tVector2& root) {
    if (lastUncrowded_ && sameRoot(lastRoot_, root)) return lastFound_;
    return registerOther(root);
  }
  // Registers a root met before with the colour it had then, after the
  // roots registered so far; it takes a preset's place as a new root would.
  void restoreRoot(const tVector2& root, const tPixel& color);
  // Forgets the roots and starts the presets again from the first.
  void clearRoots();
  void useRandomColors(bool useRandom) { useRandomColors_ = useRandom; }
  bool usesRandomColors() const { return useRandomColors_; }
  // The palette of the roots registered from now on; classic at first.
  void usePalette(const tPalette& palette) { palette_ = &palette; }
  const tPalette& getPalette() const { return *palette_; }

  // The fixed colours, the same in every registry: pixels whose Jacobian had
  // no inverse, pixels whose solve gave up, root markers and their labels.
  static tPixel getSingularJacobianColor() { return tPixel(255, 255, 0, 255); }
  static tPixel getNoConvergenceColor() { return tPixel(50, 50, 50, 255); }
  static tPixel getTextColor() { return tPixel(255, 255, 255, 255); }
  // The registered roots with their colours, in order of discovery.
  const std::vector<std::pair<tVector2, tPixel>>& getRoots() const { return roots_; }

  void initPresetColors();
  // Draws up to 500 candidates and returns the first that lies at least 125
  // away from every registered and fixed colour, or else the one farthest
  // from the registered colours and the two failure colours.
  tPixel generateRandomColor();

  // Drawing, defined with the windowed program (fractal/tRootManagerDraw.cpp).
  // A plus sign and a "(x, y)" label with a shadow for every root inside the
  // closed rectangle [minX, maxX] x [minY, maxY], mapped onto the view box
  // whose top-left corner is (left, top), y growing downwards.
  void drawRoots(double minX, double maxX, double minY, double maxY, double left, double top,
                 double halfWidth, double halfHeight) const;

 private:
  // The squared distance from the candidate to the nearest colour a pixel
  // of the picture can have, a registered root's or a failure colour, when
  // it is above `enough`; some squared distance not above it otherwise.
  int squaredDistanceToBasinColors(const tPixel& candidate, int enough) const;
  // generateRandomColor once no candidate can be accepted: the first of the
  // farthest candidates.
  tPixel farthestCandidate();
  // Whether an earlier root lies within 2.5 tolerances of `root`.
  bool crowded(const tVector2& root) const;
  // Puts the root last in the registry with its colour.
  void append(const tVector2& root, const tPixel& color);
  // Whether the two points are one root (closer than the tolerance).
  bool sameRoot(const tVector2& a, const tVector2& b) const {
    return (a - b).lengthSquared() < sameRootLimit_;
  }
  // registerRoot for a root other than the one found last, or when that one
  // is crowded.
  std::size_t registerOther(const tVector2& root);
  // The first registered root that is one with `root`; roots_.size() when none.
  std::size_t findRoot(const tVector2& root) const;

  tRandom& random_;                                 // draws of the random colours
  std::vector<std::pair<tVector2, tPixel>> roots_;  // (root, colour) in order of discovery
  std::vector<tPixel> presetColors_;                // colours handed out first when not random
  unsigned int nextPresetIndex_;                    // next preset to hand out
  bool useRandomColors_;                            // whether new roots skip the presets
  const tPalette* palette_;                         // gives new roots their colours
  tRootGrid rootGrid_;                              // the roots' indices by where they lie
  tColorGrid colorGrid_;       // the roots' colours in colour space, taken in when one is drawn
  std::vector<bool> crowded_;  // per root: an earlier root lies within 2.5 tolerances
  std::size_t lastFound_;      // the root found last, tried first
  tVector2 lastRoot_;          // its position
  bool lastUncrowded_;         // it is registered and not crowded: a match is the answer
  std::vector<float> draws_;   // a random colour's draws when all are taken at once
  std::vector<tPixel> candidates_;  // the colours they make
  std::vector<int> hinted_;         // per candidate, its squared distance to its hint
  double sameRootLimit_;       // squared distances below this are one root
};

#endif
