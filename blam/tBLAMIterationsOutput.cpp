#include "blam/tBLAMIterationsOutput.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

#include "File/tCSVFile.h"
#include "File/tFileUtils.h"
#include "File/tFileWriter.h"
#include "blam/tBLAMContext.h"
#include "blam/tBLAMOutputs.h"
#include "fractal/tBasinLabels.h"
#include "fractal/tIterationHistogram.h"

namespace {

// The cells of the named columns in every row of the CSV file at path,
// rows with too few cells skipped; none when the file cannot be read or
// lacks a column.
std::vector<std::vector<std::string>> columnsOf(const std::string& path,
                                                const std::vector<std::string>& names) {
  std::ifstream in(path);
  std::string line;
  if (!std::getline(in, line)) return {};
  const std::vector<std::string> header = tCSVFile::splitLine(line);
  std::vector<std::size_t> places;
  for (const std::string& name : names) {
    std::size_t k = 0;
    while (k < header.size() && header[k] != name) ++k;
    if (k == header.size()) return {};
    places.push_back(k);
  }
  std::vector<std::vector<std::string>> rows;
  while (std::getline(in, line)) {
    const std::vector<std::string> cells = tCSVFile::splitLine(line);
    std::vector<std::string> row;
    for (std::size_t place : places)
      if (place < cells.size()) row.push_back(cells[place]);
    if (row.size() == places.size()) rows.push_back(row);
  }
  return rows;
}

// The number a cell holds; false when it holds none.
bool numberOf(const std::string& cell, double& value) {
  char* end = nullptr;
  value = std::strtod(cell.c_str(), &end);
  return !cell.empty() && *end == '\0';
}

std::string plotPath(const tBLAMRunOutput::tRun& run) {
  return run.directory + run.prefix + "-iterations.svg";
}

std::string statsPath(const tBLAMRunOutput::tRun& run) {
  return run.directory + run.prefix + "-stats.csv";
}

}  // namespace

std::string tBLAMIterationsOutput::getPath(const tRun& run) const {
  return run.directory + run.prefix + "-iterations.csv";
}

bool tBLAMIterationsOutput::write(const tRun& run) const {
  const std::vector<std::size_t>& counts = run.iterations->getCounts();
  std::vector<std::vector<std::string>> rows;
  for (std::size_t k = 0; k < counts.size(); ++k) {
    if (counts[k] != 0)
      rows.push_back({run.imageName, std::to_string(k), std::to_string(counts[k])});
  }
  return appendToCSV(run, {"image", "iterations", "count"}, rows);
}

bool tBLAMIterationsOutput::writeMade(const tRun& run) const {
  const std::string path = getPath(run);
  // A file written into a pipe or a device cannot be read back to plot.
  if (!tFileUtils::getReadRefusal(path).empty()) return true;
  const std::string stats = statsPath(run);
  const std::string title = run.prefix + "-iterations";
  auto writePlot = [&path, &stats, &title](const std::string& to, std::string& error) {
    std::size_t leftOut = 0;
    const std::vector<tBLAMGraphPlot::tSeries> series = readSeries(path, stats, leftOut);
    const std::string note = leftOut == 0
                                 ? ""
                                 : std::to_string(leftOut) + (leftOut == 1 ? " image" : " images") +
                                       " not shown: no side in the statistics file";
    const std::string svg =
        tBLAMGraphPlot::makeSeriesSVG(series, title, "iterations", "share of starts", note);
    return tFileWriter::writeWhole(to, svg, error);
  };
  std::string error;
  if (run.context->outputs.writeMade(plotPath(run), writePlot, error)) return true;
  return fail(run, error);
}

std::vector<tBLAMGraphPlot::tSeries> tBLAMIterationsOutput::readSeries(
    const std::string& iterationsPath, const std::string& statsPath, std::size_t& leftOut) {
  std::map<std::string, double> starts;
  for (const std::vector<std::string>& row : columnsOf(statsPath, {"image", "side"})) {
    // A picture that is not square gives its side as WIDTHxHEIGHT.
    const std::size_t times = row[1].find('x');
    double width, height;
    const bool known = times == std::string::npos
                           ? numberOf(row[1], width) && numberOf(row[1], height)
                           : numberOf(row[1].substr(0, times), width) &&
                                 numberOf(row[1].substr(times + 1), height);
    if (known && width > 0.0 && height > 0.0) starts.emplace(row[0], width * height);
  }
  std::vector<tBLAMGraphPlot::tSeries> series;
  std::map<std::string, std::size_t> placeOf;  // each image's series
  std::set<std::string> missing;               // images without a side
  leftOut = 0;
  for (const std::vector<std::string>& row :
       columnsOf(iterationsPath, {"image", "iterations", "count"})) {
    double iterations, count;
    // Counts beyond what labels hold come from a hand's edit: the zeros
    // filled in before them could be endless.
    if (!numberOf(row[1], iterations) || !numberOf(row[2], count) || !(iterations >= 0.0) ||
        iterations > tBasinLabels::MAX_ITERATIONS)
      continue;
    const auto found = starts.find(row[0]);
    if (found == starts.end()) {
      leftOut += missing.insert(row[0]).second ? 1 : 0;
      continue;
    }
    auto place = placeOf.find(row[0]);
    if (place == placeOf.end()) {
      place = placeOf.emplace(row[0], series.size()).first;
      series.push_back({row[0], {}});
    }
    std::vector<tBLAMGraphPlot::tPoint>& points = series[place->second].points;
    // Counts that no start took lie between the rows, in ascending order.
    for (double k = points.empty() ? iterations : points.back().first + 1.0; k < iterations; ++k)
      points.push_back({k, 0.0});
    points.push_back({iterations, count / found->second});
  }
  return series;
}
