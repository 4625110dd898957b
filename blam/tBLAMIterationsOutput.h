#ifndef ROOTWEAVER_BLAM_TBLAMITERATIONSOUTPUT_H
#define ROOTWEAVER_BLAM_TBLAMITERATIONSOUTPUT_H

#include <string>
#include <vector>

#include "blam/tBLAMGraphPlot.h"
#include "blam/tBLAMRunOutput.h"

// The run's histogram of iterations (tIterationHistogram) in
// <prefix>-iterations.csv, one row per iteration count that some converged
// start took, in ascending order: image,iterations,count. A picture without
// a converged start adds no rows, but the file is made with its header, as
// the basins' file is.
//
// Its plot, <prefix>-iterations.svg, is made from the file as it stands
// after every run, so that it shows every image of the batch: one line per
// image over the iteration counts, counts between its least and greatest
// that no start took at 0, each count's share of the image's starts. The
// starts are its pixels, side x side, the side read from the image's row of
// <prefix>-stats.csv, which the same run wrote just before; an image
// without one is left out of the plot, with a note. Being made from files
// alone, the plot comes out the same from a merge of shards.
class tBLAMIterationsOutput : public tBLAMRunOutput {
 public:
  std::string getPath(const tRun& run) const override;
  bool write(const tRun& run) const override;
  bool writeMade(const tRun& run) const override;

  // The series of the plot from the histogram file and the statistics file
  // at the paths given; `leftOut` counts the images without a side.
  static std::vector<tBLAMGraphPlot::tSeries> readSeries(const std::string& iterationsPath,
                                                         const std::string& statsPath,
                                                         std::size_t& leftOut);
};

#endif
