#ifndef ROOTWEAVER_FRACTAL_TCOLORGRID_H
#define ROOTWEAVER_FRACTAL_TCOLORGRID_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/tPixel.h"

// The colours in use by the cube of colour space they lie in, so that the
// colour nearest a candidate is found by looking at the cubes around it
// rather than at every colour.
//
// Distances are squared Euclidean distances over the four channels, exact
// integers (tPixel::distance is their correctly rounded square root, so the
// nearest by one is the nearest by the other). The cubes are as wide as
// makes a few colours a cube: the grid is laid out again, finer, each time
// the number of colours doubles, which costs each colour a constant on
// average. Few colours are simply all looked at.
//
// Most searches only need some colour within `enough`, and a colour near
// the candidate usually is: each cube a quarter as wide as the search's (but
// no narrower than 4) keeps a hint, the colour nearest its centre among
// those added around it, and a search measures that one first, then the
// hints of the cubes around the candidate's corner of it. The hints take
// two bytes a cube, cover channels from 64 up (where candidates are drawn),
// and colours after the first 65536 are never hints.
class tColorGrid {
 public:
  tColorGrid();

  void add(const tPixel& color);
  void clear();
  std::size_t size() const { return colors_.size(); }

  // The least squared distance from `color` to a colour added, when it is
  // above `enough`; when it is not, some squared distance not above `enough`
  // (the search stops at the first such colour). The largest int when no
  // colour was added.
  int nearestSquared(const tPixel& color, int enough) const;

  // Whether, for every opaque colour whose red, green and blue all lie in
  // [64 first, 64 (last + 1)), an opaque colour added lies less than 110
  // away: the cubes 64 a side that cover that range each hold one (within
  // a cube no two colours are more than 63 sqrt(3) apart).
  bool fillsCubes(int first, int last) const;

  // For each of `count` colours, its squared distance to the colour added
  // that is its hint, not below nearestSquared; the largest int while colours
  // are looked at one by one.
  void hintedSquared(const tPixel* colors, std::size_t count, int* out) const;

  static int squaredDistance(const tPixel& a, const tPixel& b);

 private:
  // Lays the colours out in cubes 256 >> shift_ wide on each side.
  void layOut();
  std::size_t cellOf(const tPixel& color) const;
  int searchCells(const tPixel& color, int enough) const;
  // Lays the hints out in cubes 1 << shift wide, unless they are.
  void layOutHints(int shift);
  // Makes the colour at `index` the hint of the cubes around it whose centre
  // it is nearer than their hint.
  void offerHint(std::size_t index);
  // The squared distance from the colour to the centre of a hint's cube,
  // times 4.
  int toCenter(const tPixel& color, const int cube[3]) const;
  std::size_t hintOf(const tPixel& color) const;
  // The hint's cube a channel lies in, along one axis.
  int hintCube(int channel) const;
  // The least squared distance from the colour to the hints of the cubes
  // around the corner of its own cube that it lies in, stopping once it is
  // not above `enough`.
  int nearbyHint(const tPixel& color, int enough) const;
  // Lowers `best` by the colours of the cubes at Chebyshev distance `ring`
  // (in cubes) from the colour's cube `cube` (red, green, blue), passing
  // over cubes too far to lower it; true once best <= enough.
  bool searchRing(const tPixel& color, const int cube[3], int ring, int enough, int& best) const;
  // The least squared distance from `color` to any point outside the cubes
  // within `ring` - 1 of the colour's; -1 when those cubes cover all colours.
  int outsideBound(const tPixel& color, const int cube[3], int ring) const;

  std::vector<tPixel> colors_;              // in the order added
  uint64_t opaqueCubes_;                    // bit per cube 64 a side holding an opaque colour
  int cubesPerSide_;                        // 0 while colours are looked at one by one
  int shift_;                               // a channel's cube is channel >> shift_
  std::vector<std::vector<tPixel>> cubes_;  // colours by cube, red fastest
  std::size_t nextLayOut_;                  // the size at which the grid is laid out again
  std::vector<uint16_t> hints_;             // per hint's cube, red fastest: a colour's index
  int hintShift_;                           // hints' cubes are 1 << hintShift_ wide
};

#endif
