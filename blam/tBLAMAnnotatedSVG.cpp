#include "blam/tBLAMAnnotatedSVG.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "File/tFileWriter.h"
#include "blam/tBLAMGraphPlot.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tFractal.h"
#include "fractal/tPalette.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRootManager.h"
#include "graphics/tImage.h"
#include "graphics/tPNGLoader.h"

namespace {

// The page's layout, in SVG units (pixels at 96 dots an inch).
const double kImageSide = 512.0;    // the picture's longer side
const double kLeft = 100.0;         // room for the y ticks' labels and the axis' name
const double kTop = 56.0;           // room for the title
const double kBelow = 80.0;         // room for the x ticks' labels and the axis' name
const double kLegendGap = 40.0;     // between the picture and the legend
const double kLegendWidth = 340.0;  // the legend's column
const double kMargin = 24.0;        // right of the legend and below everything
const double kRow = 26.0;           // a legend line
const double kSwatch = 18.0;        // a swatch's side
const double kTickLength = 6.0;
// About this many intervals between ticks along each axis, fewer when their
// labels would not fit: a label's width is taken as kCharWidth a character
// (a digit's at 15 pixels), with kLabelGap between two.
const double kTickIntervals = 5.0;
const double kCharWidth = 9.5;
const double kLabelGap = 12.0;
const double kLineHeight = 18.0;

// A line of the legend: a swatch (when it has one), its text and the share
// of pixels (when it has one).
struct tLegendLine {
  bool swatch;
  tPixel color;
  std::string text;
  double share;  // NaN for none
};

std::string format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

std::string number(double value) { return format("%.2f", value); }

std::string hexColor(const tPixel& color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", color[0], color[1], color[2]);
  return text;
}

std::string base64(const std::string& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    unsigned long group = static_cast<unsigned char>(bytes[i]) << 16;
    if (left > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (left > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
    text += kDigits[(group >> 18) & 63];
    text += kDigits[(group >> 12) & 63];
    text += left > 1 ? kDigits[(group >> 6) & 63] : '=';
    text += left > 2 ? kDigits[group & 63] : '=';
  }
  return text;
}

// A tick's value with the digits that tell it from its neighbours, and all
// of its whole part: 0.300000002 beside 0.300000004, 2500 beside 3000.
std::string tickLabel(double value, double step, double largest) {
  const int whole = static_cast<int>(std::floor(std::log10(largest))) + 1;
  const int digits = std::max(whole - static_cast<int>(std::floor(std::log10(step))), whole);
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", std::clamp(digits, 1, 17), value + 0.0);
  return text;
}

// A coordinate of a root; what lies within a millionth of the view of 0 is
// 0, as the solvers do not know it better.
std::string coordinate(double value, double view) {
  return format("%.6g", std::fabs(value) < 1e-6 * view ? 0.0 : value);
}

// The ticks along an axis: round values (multiples of a step of 1, 2 or 5
// times a power of ten) from lo to hi, with their labels; fewer while the
// labels, side by side or stacked, do not fit in `room`.
struct tTicks {
  std::vector<double> values;
  std::vector<std::string> labels;
  std::size_t widest = 0;  // characters of the longest label
};

tTicks ticksAlong(double lo, double hi, double room, bool sideBySide) {
  tTicks ticks;
  if (!(hi > lo) || !std::isfinite(hi - lo)) return ticks;
  const double largest = std::max(std::fabs(lo), std::fabs(hi));
  double step = tBLAMGraphPlot::roundStep((hi - lo) / kTickIntervals);
  for (;;) {
    ticks = tTicks();
    double needed = 0.0;
    // A bound that is a multiple of the step but for rounding is a tick.
    const double last = std::floor(hi / step + 1e-9);
    for (double k = std::ceil(lo / step - 1e-9); k <= last; ++k) {
      ticks.values.push_back(k * step);
      ticks.labels.push_back(tickLabel(k * step, step, largest));
      ticks.widest = std::max(ticks.widest, ticks.labels.back().size());
      needed += kLabelGap + (sideBySide ? kCharWidth * ticks.labels.back().size() : kLineHeight);
    }
    if (needed <= room || ticks.values.size() <= 2) return ticks;
    step = tBLAMGraphPlot::roundStep(step * 1.6);
  }
}

std::string shareText(double share) {
  if (std::isnan(share)) return "";
  if (share > 0.0 && share < 0.0005) return "&lt; 0.1%";
  return format("%.1f%%", 100.0 * share);
}

// The basins shown: the LEGEND_ROOTS largest (the first of equals), in the
// registry's order.
std::vector<tBasinStatistics::tBasin> shownBasins(const tBasinStatistics& statistics) {
  std::vector<tBasinStatistics::tBasin> basins = statistics.getBasins();
  if (basins.size() <= tBLAMAnnotatedSVG::LEGEND_ROOTS) return basins;
  std::stable_sort(basins.begin(), basins.end(),
                   [](const auto& a, const auto& b) { return a.fraction > b.fraction; });
  basins.resize(tBLAMAnnotatedSVG::LEGEND_ROOTS);
  std::sort(basins.begin(), basins.end(),
            [](const auto& a, const auto& b) { return a.registryIndex < b.registryIndex; });
  return basins;
}

std::vector<tLegendLine> basinLines(const tFractal& fractal, const tBasinStatistics& statistics) {
  const auto& roots = fractal.getContext().getRoots().getRoots();
  const double view =
      std::max(fractal.getMaxX() - fractal.getMinX(), fractal.getMaxY() - fractal.getMinY());
  std::vector<tLegendLine> lines;
  double shown = 0.0;
  for (const tBasinStatistics::tBasin& basin : shownBasins(statistics)) {
    const tVector2& root = roots[basin.registryIndex].first;
    lines.push_back({true, roots[basin.registryIndex].second,
                     "(" + coordinate(root.x_, view) + ", " + coordinate(root.y_, view) + ")",
                     basin.fraction});
    shown += basin.fraction;
  }
  const std::size_t others = statistics.getBasins().size() - lines.size();
  if (others > 0) {
    lines.push_back({false, tPixel(), std::to_string(others) + " more roots",
                     statistics.getConvergedFraction() - shown});
  }
  if (statistics.getNoConvergenceFraction() > 0.0) {
    lines.push_back({true, tRootManager::getNoConvergenceColor(), "no convergence",
                     statistics.getNoConvergenceFraction()});
  }
  if (statistics.getSingularFraction() > 0.0) {
    lines.push_back({true, tRootManager::getSingularJacobianColor(), "singular Jacobian",
                     statistics.getSingularFraction()});
  }
  return lines;
}

std::vector<tLegendLine> singularSetLines(const tImage& image) {
  const tPixel on = tFractal::singularSetColor(true);
  const std::size_t count = std::size_t{image.getWidth()} * image.getHeight();
  const tPixel* pixels = image.getPixelData();
  const double share =
      static_cast<double>(std::count(pixels, pixels + count, on)) / static_cast<double>(count);
  return {{true, on, "on the singular set", share},
          {true, tFractal::singularSetColor(false), "off it", 1.0 - share}};
}

std::string textAt(double x, double y, const std::string& anchor, const std::string& text,
                   const std::string& extra = "") {
  return "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" text-anchor=\"" + anchor + "\"" +
         extra + ">" + text + "</text>\n";
}

std::string line(double x1, double y1, double x2, double y2) {
  return "<line class=\"tick\" x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" +
         number(x2) + "\" y2=\"" + number(y2) + "\"/>\n";
}

// Where the picture stands on the page, and the ticks along its edges.
struct tLayout {
  double left;   // the picture's left edge, right of the y ticks' labels
  double width;  // the picture's
  double height;
  tTicks xTicks;
  tTicks yTicks;
};

tLayout layOut(const tFractal& fractal) {
  const tImage& image = *fractal.getImage();
  const double scale =
      kImageSide / static_cast<double>(std::max(image.getWidth(), image.getHeight()));
  tLayout layout;
  layout.width = scale * image.getWidth();
  layout.height = scale * image.getHeight();
  layout.xTicks = ticksAlong(fractal.getMinX(), fractal.getMaxX(), layout.width, true);
  layout.yTicks = ticksAlong(fractal.getMinY(), fractal.getMaxY(), layout.height, false);
  // The y axis' name stands left of the labels.
  layout.left =
      std::max(kLeft, 54.0 + kTickLength + kCharWidth * static_cast<double>(layout.yTicks.widest));
  return layout;
}

// The ticks and their labels below and left of the picture, and the axes'
// names.
std::string axes(const tFractal& fractal, const tLayout& layout,
                 const tBLAMAnnotatedSVG::tLabels& labels) {
  const double minX = fractal.getMinX(), maxX = fractal.getMaxX();
  const double minY = fractal.getMinY(), maxY = fractal.getMaxY();
  const double left = layout.left, bottom = kTop + layout.height;
  std::string svg;
  for (std::size_t i = 0; i < layout.xTicks.values.size(); ++i) {
    const double at = left + (layout.xTicks.values[i] - minX) / (maxX - minX) * layout.width;
    svg += line(at, bottom, at, bottom + kTickLength);
    svg += textAt(at, bottom + kTickLength + 16.0, "middle", layout.xTicks.labels[i]);
  }
  for (std::size_t i = 0; i < layout.yTicks.values.size(); ++i) {
    const double at = bottom - (layout.yTicks.values[i] - minY) / (maxY - minY) * layout.height;
    svg += line(left - kTickLength, at, left, at);
    svg += textAt(left - kTickLength - 4.0, at + 5.0, "end", layout.yTicks.labels[i]);
  }
  const std::string x = tBLAMGraphPlot::escapeXML(labels.xName);
  svg += textAt(left + layout.width / 2.0, bottom + 56.0, "middle", x, " class=\"axisname\"");
  const std::string middle = number(kTop + layout.height / 2.0);
  svg += textAt(24.0, kTop + layout.height / 2.0, "middle", tBLAMGraphPlot::escapeXML(labels.yName),
                " class=\"axisname\" transform=\"rotate(-90 24.00 " + middle + ")\"");
  return svg;
}

// The legend's heading, its lines and the note after them; its bottom edge
// in `bottom`.
std::string legend(const std::string& heading, const std::vector<tLegendLine>& lines,
                   const std::string& note, double left, double& bottom) {
  double y = kTop + 14.0;
  std::string svg = textAt(left, y, "start", heading, " class=\"heading\"");
  svg += textAt(left + kLegendWidth, y, "end", "share of pixels", " class=\"heading\"");
  for (const tLegendLine& entry : lines) {
    y += kRow;
    if (entry.swatch) {
      svg += "<rect class=\"swatch\" x=\"" + number(left) + "\" y=\"" + number(y - 14.0) +
             "\" width=\"" + number(kSwatch) + "\" height=\"" + number(kSwatch) + "\" fill=\"" +
             hexColor(entry.color) + "\"/>\n";
    }
    svg += textAt(left + kSwatch + 10.0, y, "start", entry.text);
    svg += textAt(left + kLegendWidth, y, "end", shareText(entry.share));
  }
  if (!note.empty()) {
    y += kRow;
    svg += textAt(left, y, "start", note);
  }
  bottom = y + kRow;
  return svg;
}

const char kStyle[] =
    "<style>\n"
    "text { font-family: 'DejaVu Sans', Arial, Helvetica, sans-serif; font-size: 15px; "
    "fill: #000; }\n"
    ".title { font-size: 18px; font-weight: bold; }\n"
    ".axisname { font-size: 16px; }\n"
    ".heading { font-weight: bold; }\n"
    ".tick, .frame { fill: none; stroke: #000; stroke-width: 1; }\n"
    ".swatch { stroke: #000; stroke-width: 1; }\n"
    "image { image-rendering: pixelated; }\n"
    "</style>\n";

}  // namespace

std::string tBLAMAnnotatedSVG::pathFor(const std::string& picturePath) {
  const std::size_t slash = picturePath.rfind('/');
  const std::size_t dot = picturePath.rfind('.');
  const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (extension ? picturePath.substr(0, dot) : picturePath) + ".svg";
}

std::string tBLAMAnnotatedSVG::makeSVG(const tFractal& fractal, const tBasinStatistics& statistics,
                                       const tLabels& labels) {
  std::string png;
  if (!tPNGLoader::encode(*fractal.getImage(), png)) return "";
  const tLayout layout = layOut(fractal);
  const double legendLeft = layout.left + layout.width + kLegendGap;
  double legendBottom = 0.0;
  std::string legendSVG;
  if (statistics.isMeasured()) {
    const std::string palette = fractal.getContext().getRoots().getPalette().getName();
    legendSVG = legend("Root (x, y)", basinLines(fractal, statistics),
                       "Colours: palette " + palette, legendLeft, legendBottom);
  } else if (fractal.isSingularSet()) {
    legendSVG =
        legend("Singular set", singularSetLines(*fractal.getImage()), "", legendLeft, legendBottom);
  }
  const double pageWidth = legendSVG.empty() ? layout.left + layout.width + kMargin
                                             : legendLeft + kLegendWidth + kMargin;
  const double pageHeight = std::max(kTop + layout.height + kBelow, legendBottom + kMargin);

  const std::string w = number(pageWidth), h = number(pageHeight);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg +=
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
      "width=\"" +
      w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
  svg += kStyle;
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  svg += textAt(layout.left + layout.width / 2.0, 34.0, "middle",
                tBLAMGraphPlot::escapeXML(labels.title), " class=\"title\"");
  const std::string place = "x=\"" + number(layout.left) + "\" y=\"" + number(kTop) +
                            "\" width=\"" + number(layout.width) + "\" height=\"" +
                            number(layout.height) + "\"";
  svg += "<image " + place + " preserveAspectRatio=\"none\" xlink:href=\"data:image/png;base64," +
         base64(png) + "\"/>\n";
  svg += "<rect class=\"frame\" " + place + "/>\n";
  svg += axes(fractal, layout, labels);
  svg += legendSVG;
  return svg + "</svg>\n";
}

bool tBLAMAnnotatedSVG::write(const std::string& path, const tFractal& fractal,
                              const tBasinStatistics& statistics, const tLabels& labels,
                              std::string& error) {
  const std::string svg = makeSVG(fractal, statistics, labels);
  if (svg.empty()) {
    error = "cannot write " + path + ": the picture cannot be encoded";
    return false;
  }
  return tFileWriter::writeWhole(path, svg, error);
}
