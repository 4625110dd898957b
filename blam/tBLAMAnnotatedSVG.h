#ifndef ROOTWEAVER_BLAM_TBLAMANNOTATEDSVG_H
#define ROOTWEAVER_BLAM_TBLAMANNOTATEDSVG_H

#include <string>

class tBasinStatistics;
class tFractal;

// A finished picture as an SVG page to print or publish: the picture itself
// (embedded as a base64 PNG, so the page is one file), framed, with axes
// whose round ticks (tBLAMGraphPlot::roundStep) give plane coordinates,
// a title, and a legend of the roots beside it: each root's colour swatch,
// its coordinates and its share of the pixels, then the shares of the two
// failures when they occur. Text is black on white at 15 to 18 pixels, and
// swatches are outlined, so white or pale colours still show on paper.
//
// The legend lists the basins the statistics found (roots that label some
// pixel) in the order of the root registry. A picture of many roots lists
// the LEGEND_ROOTS largest basins and sums the others in one line. A
// singular-set picture's legend names its two colours; a picture without
// basins (a parameter plane) has none.
//
// The picture is shown with its longer side 512 units long, scaled without
// smoothing; its left edge is the picture's minX, its bottom edge minY.
class tBLAMAnnotatedSVG {
 public:
  static constexpr unsigned LEGEND_ROOTS = 24;

  // The page's title and the names of its two axes.
  struct tLabels {
    std::string title;
    std::string xName = "x";
    std::string yName = "y";
  };

  // The page's path beside the picture's: its extension replaced by .svg.
  static std::string pathFor(const std::string& picturePath);
  // The page of the picture, measured by statistics; "" when the picture
  // cannot be encoded.
  static std::string makeSVG(const tFractal& fractal, const tBasinStatistics& statistics,
                             const tLabels& labels);
  // Writes the page to path, whole or not at all; false, with the reason
  // in error, when it cannot.
  static bool write(const std::string& path, const tFractal& fractal,
                    const tBasinStatistics& statistics, const tLabels& labels, std::string& error);
};

#endif
