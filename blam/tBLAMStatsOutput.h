#ifndef ROOTWEAVER_BLAM_TBLAMSTATSOUTPUT_H
#define ROOTWEAVER_BLAM_TBLAMSTATSOUTPUT_H

#include <string>
#include <vector>

#include "blam/tBLAMRunOutput.h"

// One row per run in <prefix>-stats.csv: the run's settings, the picture's
// basin statistics, its quad-tree dimension, time and the seed of its random
// sequence (empty when the clock seeded it), with _speedMeasures the mean
// iterations of the converged starts, their most probable count and the
// share of starts that failed (tIterationHistogram), then one column per
// parameter of the function, named after it. Rows of other columns share the
// file by column name (tCSVFile). Numbers have full precision;
// a measure that is not defined is an empty cell.
class tBLAMStatsOutput : public tBLAMRunOutput {
 public:
  // The columns before the parameters', in order.
  static const std::vector<std::string>& fixedColumns();

  std::string getPath(const tRun& run) const override;
  bool write(const tRun& run) const override;
};

#endif
