#include "blam/tBLAMBasinsOutput.h"

#include "File/tCSVFile.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tFractal.h"
#include "fractal/tPictureContext.h"

std::string tBLAMBasinsOutput::getPath(const tRun& run) const {
  return run.directory + run.prefix + "-basins.csv";
}

bool tBLAMBasinsOutput::write(const tRun& run) const {
  const std::vector<tBasinStatistics::tBasin>& basins = run.statistics->getBasins();
  const auto& roots = run.fractal->getContext().getRoots().getRoots();
  std::vector<std::vector<std::string>> rows;
  for (const tBasinStatistics::tBasin& basin : basins) {
    const tVector2& root = roots[basin.registryIndex].first;
    const tPixel& color = roots[basin.registryIndex].second;
    rows.push_back({run.imageName, std::to_string(basin.registryIndex), tCSVFile::number(root.x_),
                    tCSVFile::number(root.y_), std::to_string(color[0]), std::to_string(color[1]),
                    std::to_string(color[2]), tCSVFile::number(basin.fraction)});
  }
  return appendToCSV(run, {"image", "root", "x", "y", "red", "green", "blue", "fraction"}, rows);
}
