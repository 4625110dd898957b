#ifndef ROOTWEAVER_BLAM_TBLAMDATABLOCKOUTPUT_H
#define ROOTWEAVER_BLAM_TBLAMDATABLOCKOUTPUT_H

#include "blam/tBLAMRunOutput.h"

// The block describing the run, appended to the batch's data file
// (<prefix>-<_outputDataFile>.txt): picture, function, time, dimension,
// bounds, solver and the function's parameters, real numbers with six
// decimals.
class tBLAMDataBlockOutput : public tBLAMRunOutput {
 public:
  std::string getPath(const tRun& run) const override;
  bool write(const tRun& run) const override;

 private:
  // The block's text, lines ended by line feeds.
  static std::string block(const tRun& run);
};

#endif
