#ifndef ROOTWEAVER_FRACTAL_TZOOMPREVIEW_H
#define ROOTWEAVER_FRACTAL_TZOOMPREVIEW_H

class tFractal;

// What a zoomed picture shows before its pixels are computed anew: the old
// picture resampled to the new bounds. Zooming in enlarges the part of the
// old picture that stays in view; zooming out shrinks the old picture into
// the middle of black, where nothing is known yet; a recentring slides it.
// The computation then paints its rows over this preview one by one, and
// every pixel of the finished picture is its own, so the finished picture is
// the one that starting from black gives.
//
// Each new pixel takes the old pixel whose area holds the point at the new
// pixel's centre (nearest neighbour: the colours stay those of roots, never
// blends of them). The labels describe the old picture only and are
// forgotten, so nothing measures the preview.
class tZoomPreview {
 public:
  // Moves the fractal to the new bounds, its picture resampled as above.
  static void moveTo(tFractal* fractal, double minX, double maxX, double minY, double maxY);
};

#endif
