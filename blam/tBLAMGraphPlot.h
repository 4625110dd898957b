#ifndef ROOTWEAVER_BLAM_TBLAMGRAPHPLOT_H
#define ROOTWEAVER_BLAM_TBLAMGRAPHPLOT_H

#include <string>
#include <utility>
#include <vector>

// The plot of a graph file (the "[x, y]" lines that graph statements
// append) as an SVG picture beside it: a title, two axes with round tick
// values and light grid lines, the axes named after the graph's two
// variables, and the points marked and joined in the order of the file.
//
// The plot is written whole from the graph file after every line the graph
// statement appends, so it always shows the file as it stands, lines of
// earlier runs included; a graph holds a few hundred points at most, so
// rewriting is cheap. A point with a coordinate that is not finite (a
// measure that is not defined is nan) cannot be placed: it is left out,
// the line is broken there, and a note on the plot says how many were left
// out. Lines that hold no point (edited by hand) are skipped. The picture is
// the same bytes for the same file, so plots can be compared and kept under
// version control.
//
// The same axes carry several named series with a legend beside them, for
// plots made from other files (tBLAMIterationsOutput).
class tBLAMGraphPlot {
 public:
  using tPoint = std::pair<double, double>;
  // A named line of finite points, for a plot of several.
  struct tSeries {
    std::string name;
    std::vector<tPoint> points;
  };

  // The text with the characters XML reserves escaped, for element text
  // and attribute values.
  static std::string escapeXML(const std::string& text);
  // The round step (1, 2 or 5 times a power of ten) nearest above a rough
  // one, as the plots' ticks take; the rough step must be positive.
  static double roundStep(double rough);
  // The points of the graph file at path, one per line that holds "[x, y]",
  // in order; empty when the file cannot be read.
  static std::vector<tPoint> readPoints(const std::string& path);
  // The SVG text of the plot of the points.
  static std::string makeSVG(const std::vector<tPoint>& points, const std::string& title,
                             const std::string& xName, const std::string& yName);
  // The SVG text of several series on one pair of axes, the y axis from 0,
  // each series a line of its own colour, named in a legend beside the
  // plotting area in their order; the note, when not empty, above it.
  static std::string makeSeriesSVG(const std::vector<tSeries>& series, const std::string& title,
                                   const std::string& xName, const std::string& yName,
                                   const std::string& note);
  // Writes the plot of the graph file at graphPath to plotPath; false, with
  // the reason in error, when it cannot be written.
  static bool write(const std::string& graphPath, const std::string& plotPath,
                    const std::string& title, const std::string& xName, const std::string& yName,
                    std::string& error);
};

#endif
