#ifndef ROOTWEAVER_BLAM_TBLAMBASINSOUTPUT_H
#define ROOTWEAVER_BLAM_TBLAMBASINSOUTPUT_H

#include "blam/tBLAMRunOutput.h"

// One row per basin of the run's picture in <prefix>-basins.csv: the
// picture, the root's place in the registry (the order in which roots were
// met since the registry was last cleared), its position and colour, and
// its share of the pixels. A singular-set picture has no basins and adds no
// rows, but the file is made with its header all the same, so that every
// run leaves one to read.
class tBLAMBasinsOutput : public tBLAMRunOutput {
 public:
  std::string getPath(const tRun& run) const override;
  bool write(const tRun& run) const override;
};

#endif
