#include "blam/tBLAMGraphPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "File/tFileWriter.h"

namespace {

// The picture and the plotting area inside it, in SVG units (pixels).
const double kWidth = 640.0;
const double kHeight = 420.0;
const double kLeft = 80.0;
const double kRight = 610.0;
const double kTop = 50.0;
const double kBottom = 360.0;
// About this many intervals between ticks on each axis.
const double kTicks = 5.0;

// The range an axis shows, and the step between its ticks (0 for none).
struct tAxis {
  double lo;
  double hi;
  double step;
};

bool finitePoint(const tBLAMGraphPlot::tPoint& p) {
  return std::isfinite(p.first) && std::isfinite(p.second);
}

std::string format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

// A tick value as it is read: 0.30000000000000004 is 0.3, -0 is 0.
std::string tickLabel(double value) { return format("%g", value + 0.0); }

std::string escapeXML(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// Round ticks (1, 2 or 5 times a power of ten apart) around the values'
// range; a range of one value is widened around it. Halves keep the
// arithmetic finite for values near the largest doubles.
tAxis axisFor(double lo, double hi) {
  if (lo > hi) return {0.0, 1.0, 0.2};
  if (lo == hi) {
    const double widen = lo == 0.0 ? 1.0 : std::fabs(lo) / 10.0;
    lo -= widen;
    hi += widen;
  }
  const double step = tBLAMGraphPlot::roundStep((hi / 2.0 - lo / 2.0) * 2.0 / kTicks);
  const tAxis ticked = {std::floor(lo / step) * step, std::ceil(hi / step) * step, step};
  if (std::isfinite(ticked.lo) && std::isfinite(ticked.hi) && step > 0.0) return ticked;
  return {lo, hi, 0.0};
}

double place(double value, const tAxis& axis, double from, double to) {
  return from + (value / 2.0 - axis.lo / 2.0) / (axis.hi / 2.0 - axis.lo / 2.0) * (to - from);
}

double placeX(double x, const tAxis& axis) { return place(x, axis, kLeft, kRight); }
double placeY(double y, const tAxis& axis) { return place(y, axis, kBottom, kTop); }

std::string number(double value) { return format("%.2f", value); }

// The tick values of an axis, from its low end to its high end.
std::vector<double> ticksOf(const tAxis& axis) {
  std::vector<double> ticks;
  if (axis.step <= 0.0) return {axis.lo, axis.hi};
  const double count = std::round((axis.hi - axis.lo) / axis.step);
  for (double i = 0.0; i <= count; ++i) ticks.push_back(axis.lo + i * axis.step);
  return ticks;
}

std::string gridAndTicks(const tAxis& xAxis, const tAxis& yAxis) {
  std::string svg;
  for (double x : ticksOf(xAxis)) {
    const std::string sx = number(placeX(x, xAxis));
    svg += "<line class=\"grid\" x1=\"" + sx + "\" y1=\"" + number(kTop) + "\" x2=\"" + sx +
           "\" y2=\"" + number(kBottom) + "\"/>\n";
    svg += "<text class=\"tick\" x=\"" + sx + "\" y=\"" + number(kBottom + 18.0) +
           "\" text-anchor=\"middle\">" + tickLabel(x) + "</text>\n";
  }
  for (double y : ticksOf(yAxis)) {
    const std::string sy = number(placeY(y, yAxis));
    svg += "<line class=\"grid\" x1=\"" + number(kLeft) + "\" y1=\"" + sy + "\" x2=\"" +
           number(kRight) + "\" y2=\"" + sy + "\"/>\n";
    svg += "<text class=\"tick\" x=\"" + number(kLeft - 6.0) + "\" y=\"" +
           number(placeY(y, yAxis) + 4.0) + "\" text-anchor=\"end\">" + tickLabel(y) +
           "</text>\n";
  }
  return svg;
}

// One polyline for each run of finite points, then a mark for each.
std::string curve(const std::vector<tBLAMGraphPlot::tPoint>& points, const tAxis& xAxis,
                  const tAxis& yAxis) {
  std::string lines;
  std::string marks;
  std::string run;
  for (std::size_t i = 0; i <= points.size(); ++i) {
    if (i == points.size() || !finitePoint(points[i])) {
      if (run.find(' ') != std::string::npos) {
        lines += "<polyline class=\"line\" points=\"" + run + "\"/>\n";
      }
      run.clear();
      continue;
    }
    const std::string at = number(placeX(points[i].first, xAxis)) + "," +
                           number(placeY(points[i].second, yAxis));
    run += (run.empty() ? "" : " ") + at;
    marks += "<circle class=\"point\" cx=\"" + at.substr(0, at.find(',')) + "\" cy=\"" +
             at.substr(at.find(',') + 1) + "\" r=\"3\"/>\n";
  }
  return lines + marks;
}

// The picture's head up to the plotting area: the SVG element of the size
// given, the style (the rules in `style` added to the common ones), a white
// background and the title centred above.
std::string head(double width, double height, const std::string& style, const std::string& title) {
  const std::string w = number(width), h = number(height);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
         "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
  svg +=
      "<style>\n"
      "text { font-family: sans-serif; font-size: 13px; fill: #222; }\n"
      ".title { font-size: 16px; font-weight: bold; }\n"
      ".note { font-size: 11px; fill: #a33; }\n"
      ".grid { stroke: #ddd; stroke-width: 1; }\n"
      ".axis { stroke: #222; stroke-width: 1.5; fill: none; }\n";
  svg += style + "</style>\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  svg += "<text class=\"title\" x=\"" + number(width / 2.0) +
         "\" y=\"28.00\" text-anchor=\"middle\">" + escapeXML(title) + "</text>\n";
  return svg;
}

// The grid, the ticks, the axes and their names.
std::string axes(const tAxis& xAxis, const tAxis& yAxis, const std::string& xName,
                 const std::string& yName) {
  std::string svg = gridAndTicks(xAxis, yAxis);
  svg += "<polyline class=\"axis\" points=\"" + number(kLeft) + "," + number(kTop) + " " +
         number(kLeft) + "," + number(kBottom) + " " + number(kRight) + "," + number(kBottom) +
         "\"/>\n";
  svg += "<text x=\"" + number((kLeft + kRight) / 2.0) + "\" y=\"" + number(kBottom + 44.0) +
         "\" text-anchor=\"middle\">" + escapeXML(xName) + "</text>\n";
  svg += "<text x=\"22.00\" y=\"" + number((kTop + kBottom) / 2.0) +
         "\" text-anchor=\"middle\" transform=\"rotate(-90 22.00 " +
         number((kTop + kBottom) / 2.0) + ")\">" + escapeXML(yName) + "</text>\n";
  return svg;
}

// A note above the plotting area's right end.
std::string noteText(const std::string& note) {
  return "<text class=\"note\" x=\"" + number(kRight) + "\" y=\"" + number(kTop - 8.0) +
         "\" text-anchor=\"end\">" + escapeXML(note) + "</text>\n";
}

// Colours told apart at a glance, for the series in turn; more series than
// colours reuse them, and the legend's order tells them apart.
const char* const kSeriesColors[] = {"#2a6fdb", "#d62728", "#2ca02c", "#ff7f0e", "#9467bd",
                                     "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"};
// The legend's column right of the plotting area, and its line spacing.
const double kLegendWidth = 200.0;
const double kLegendLine = 18.0;

// One polyline for a series of finite points.
std::string seriesLine(const std::vector<tBLAMGraphPlot::tPoint>& points, const char* color,
                       const tAxis& xAxis, const tAxis& yAxis) {
  std::string at;
  for (const tBLAMGraphPlot::tPoint& p : points)
    at += (at.empty() ? "" : " ") + number(placeX(p.first, xAxis)) + "," +
          number(placeY(p.second, yAxis));
  return "<polyline class=\"series\" stroke=\"" + std::string(color) + "\" points=\"" + at +
         "\"/>\n";
}

// A legend entry: a stroke of the series' colour, then its name.
std::string legendEntry(const std::string& name, const char* color, std::size_t index) {
  const double y = kTop + kLegendLine * static_cast<double>(index);
  return "<line class=\"series\" stroke=\"" + std::string(color) + "\" x1=\"" +
         number(kRight + 20.0) + "\" y1=\"" + number(y) + "\" x2=\"" + number(kRight + 44.0) +
         "\" y2=\"" + number(y) + "\"/>\n<text x=\"" + number(kRight + 50.0) + "\" y=\"" +
         number(y + 4.0) + "\">" + escapeXML(name) + "</text>\n";
}

}  // namespace

std::string tBLAMGraphPlot::escapeXML(const std::string& text) { return ::escapeXML(text); }

double tBLAMGraphPlot::roundStep(double rough) {
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  const double ratio = rough / power;
  return power * (ratio < 1.5 ? 1.0 : ratio < 3.0 ? 2.0 : ratio < 7.0 ? 5.0 : 10.0);
}

std::vector<tBLAMGraphPlot::tPoint> tBLAMGraphPlot::readPoints(const std::string& path) {
  std::vector<tPoint> points;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const std::size_t open = line.find('[');
    if (open == std::string::npos) continue;
    const char* text = line.c_str() + open + 1;
    char* end = nullptr;
    const double x = std::strtod(text, &end);
    if (end == text || *end != ',') continue;
    text = end + 1;
    const double y = std::strtod(text, &end);
    if (end == text || *end != ']') continue;
    points.push_back({x, y});
  }
  return points;
}

std::string tBLAMGraphPlot::makeSVG(const std::vector<tPoint>& points, const std::string& title,
                                    const std::string& xName, const std::string& yName) {
  double xLo = INFINITY, xHi = -INFINITY, yLo = INFINITY, yHi = -INFINITY;
  std::size_t leftOut = 0;
  for (const tPoint& p : points) {
    if (!finitePoint(p)) {
      ++leftOut;
      continue;
    }
    xLo = std::min(xLo, p.first);
    xHi = std::max(xHi, p.first);
    yLo = std::min(yLo, p.second);
    yHi = std::max(yHi, p.second);
  }
  const tAxis xAxis = axisFor(xLo, xHi);
  const tAxis yAxis = axisFor(yLo, yHi);

  std::string svg = head(kWidth, kHeight,
                         ".line { stroke: #2a6fdb; stroke-width: 2; fill: none; }\n"
                         ".point { fill: #2a6fdb; }\n",
                         title);
  svg += axes(xAxis, yAxis, xName, yName);
  svg += curve(points, xAxis, yAxis);
  if (leftOut > 0 || points.empty()) {
    svg +=
        noteText(points.empty() ? "no points yet"
                                : std::to_string(leftOut) + (leftOut == 1 ? " point" : " points") +
                                      " not shown: a value is not finite (nan or inf)");
  }
  return svg + "</svg>\n";
}

std::string tBLAMGraphPlot::makeSeriesSVG(const std::vector<tSeries>& series,
                                          const std::string& title, const std::string& xName,
                                          const std::string& yName, const std::string& note) {
  double xLo = INFINITY, xHi = -INFINITY, yHi = -INFINITY;
  bool any = false;
  for (const tSeries& one : series) {
    for (const tPoint& p : one.points) {
      any = true;
      xLo = std::min(xLo, p.first);
      xHi = std::max(xHi, p.first);
      yHi = std::max(yHi, p.second);
    }
  }
  const tAxis xAxis = axisFor(xLo, xHi);
  const tAxis yAxis = axisFor(any ? 0.0 : INFINITY, yHi);
  const double height =
      std::max(kHeight, kTop + kLegendLine * static_cast<double>(series.size()) + 20.0);

  std::string svg =
      head(kWidth + kLegendWidth, height, ".series { stroke-width: 2; fill: none; }\n", title);
  svg += axes(xAxis, yAxis, xName, yName);
  for (std::size_t i = 0; i < series.size(); ++i) {
    const char* color = kSeriesColors[i % (sizeof kSeriesColors / sizeof kSeriesColors[0])];
    if (!series[i].points.empty()) svg += seriesLine(series[i].points, color, xAxis, yAxis);
    svg += legendEntry(series[i].name, color, i);
  }
  if (!any || !note.empty()) svg += noteText(any ? note : "no points yet");
  return svg + "</svg>\n";
}

bool tBLAMGraphPlot::write(const std::string& graphPath, const std::string& plotPath,
                           const std::string& title, const std::string& xName,
                           const std::string& yName, std::string& error) {
  const std::string svg = makeSVG(readPoints(graphPath), title, xName, yName);
  return tFileWriter::writeWhole(plotPath, svg, error);
}
