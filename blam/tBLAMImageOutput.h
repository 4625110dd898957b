#ifndef ROOTWEAVER_BLAM_TBLAMIMAGEOUTPUT_H
#define ROOTWEAVER_BLAM_TBLAMIMAGEOUTPUT_H

#include "blam/tBLAMRunOutput.h"

// The run's picture as an uncompressed 24-bit TGA image under its name.
class tBLAMImageOutput : public tBLAMRunOutput {
 public:
  bool write(const tRun& run) const override;
};

#endif
