#include "blam/tBLAMStatsOutput.h"

#include <set>

#include "File/tCSVFile.h"
#include "expr/tFunction.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tFractal.h"
#include "fractal/tIterationHistogram.h"
#include "fractal/tIterativeSolver.h"

namespace {

// The grid Wada test's W_{N_A} and verdict; empty when it was not made or
// has fewer than three basins to test.
bool wadaTested(const tWadaGrid::tResult* wada) {
  return wada && wada->measured && wada->basins >= 3;
}
std::string wadaShare(const tWadaGrid::tResult* wada) {
  return wadaTested(wada) ? tCSVFile::number(wada->getShare(wada->basins)) : "";
}
std::string wadaVerdict(const tWadaGrid::tResult* wada) {
  return wadaTested(wada) ? (wada->isWada() ? "1" : "0") : "";
}

// The picture's side, or WIDTHxHEIGHT for one that is not square.
std::string sideOf(const tFractal& fractal) {
  const std::string width = std::to_string(static_cast<unsigned>(fractal.getWidth()));
  if (fractal.getWidth() == fractal.getHeight()) return width;
  return width + "x" + std::to_string(static_cast<unsigned>(fractal.getHeight()));
}

}  // namespace

const std::vector<std::string>& tBLAMStatsOutput::fixedColumns() {
  static const std::vector<std::string> columns = {
      "image", "function", "solver", "step", "iterations", "side", "minX", "maxX", "minY", "maxY",
      "roots", "converged_fraction", "no_convergence_fraction", "singular_fraction",
      "basin_entropy", "boundary_basin_entropy", "box_dimension", "box_dimension_error",
      "uncertainty_exponent", "uncertainty_exponent_error", "wada_distance", "wada_share", "wada", "fractal_dimension", "seconds", "seed"};
  return columns;
}

std::string tBLAMStatsOutput::getPath(const tRun& run) const {
  return run.directory + run.prefix + "-stats.csv";
}

bool tBLAMStatsOutput::write(const tRun& run) const {
  const tBasinStatistics& statistics = *run.statistics;
  const tFractal& fractal = *run.fractal;
  const std::string roots =
      statistics.isMeasured() ? std::to_string(statistics.getBasins().size()) : "";
  std::vector<std::string> columns = fixedColumns();
  std::vector<std::string> row = {run.imageName,
                                  run.function->getName(),
                                  run.solver->getName(),
                                  tCSVFile::number(run.solver->getStepSize()),
                                  std::to_string(run.solver->getMaxIterations()),
                                  sideOf(fractal),
                                  tCSVFile::number(fractal.getMinX()),
                                  tCSVFile::number(fractal.getMaxX()),
                                  tCSVFile::number(fractal.getMinY()),
                                  tCSVFile::number(fractal.getMaxY()),
                                  roots,
                                  tCSVFile::number(statistics.getConvergedFraction()),
                                  tCSVFile::number(statistics.getNoConvergenceFraction()),
                                  tCSVFile::number(statistics.getSingularFraction()),
                                  tCSVFile::number(statistics.getBasinEntropy()),
                                  tCSVFile::number(statistics.getBoundaryBasinEntropy()),
                                  tCSVFile::number(statistics.getBoxDimension()),
                                  tCSVFile::number(statistics.getBoxDimensionError()),
                                  tCSVFile::number(statistics.getUncertaintyExponent()),
                                  tCSVFile::number(statistics.getUncertaintyExponentError()),
                                  tCSVFile::number(statistics.getWadaDistance()),
                                  wadaShare(run.wada),
                                  wadaVerdict(run.wada),
                                  tCSVFile::number(fractal.getDimension()),
                                  tCSVFile::number(run.milliseconds / 1000.0),
                                  run.seed};
  if (run.iterations) {
    for (const char* column : {"mean_iterations", "most_probable_iterations", "failure_fraction"})
      columns.push_back(column);
    row.push_back(tCSVFile::number(run.iterations->getMeanIterations()));
    row.push_back(tCSVFile::number(run.iterations->getMostProbableIterations()));
    row.push_back(tCSVFile::number(run.iterations->getFailureFraction()));
  }
  std::set<std::string> parameters;
  run.function->freeVars(parameters);
  for (const std::string& name : parameters) {
    columns.push_back(name);
    row.push_back(tCSVFile::number(run.function->getValueFor(name, run.env)));
  }

  return appendToCSV(run, columns, {row});
}
