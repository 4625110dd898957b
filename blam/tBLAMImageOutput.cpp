#include "blam/tBLAMImageOutput.h"

#include "blam/tBLAMProgress.h"
#include "fractal/tFractal.h"
#include "graphics/tTGALoader.h"

bool tBLAMImageOutput::write(const tRun& run) const {
  const std::string path = run.directory + run.imageName;
  if (tTGALoader::instance().write(path, run.fractal->image_, 24, false)) return true;
  tBLAMProgress::instance().warn(run.statement + ": cannot write image " + path);
  return false;
}
