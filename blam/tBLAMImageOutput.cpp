#include "blam/tBLAMImageOutput.h"

#include <utility>

#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"
#include "fractal/tFractal.h"
#include "graphics/tPNGLoader.h"
#include "graphics/tTGALoader.h"

namespace {

bool writeTGA(const std::string& path, tImage* image) {
  return tTGALoader::instance().write(path, image, 24, false);
}

bool writePNG(const std::string& path, tImage* image) {
  return tPNGLoader::instance().write(path, image);
}

}  // namespace

tBLAMImageOutput::tBLAMImageOutput(std::string format, std::string extension, tWriter writer)
    : format_(std::move(format)), extension_(std::move(extension)), writer_(writer) {}

const tBLAMImageOutput& tBLAMImageOutput::tga() {
  static const tBLAMImageOutput output("tga", ".tga", writeTGA);
  return output;
}

const tBLAMImageOutput* tBLAMImageOutput::forFormat(const std::string& format) {
  static const tBLAMImageOutput png("png", ".png", writePNG);
  for (const tBLAMImageOutput* output : {&tga(), &png}) {
    if (output->format_ == format) return output;
  }
  return nullptr;
}

bool tBLAMImageOutput::write(const tRun& run) const {
  const std::string path = run.directory + run.imageName;
  tImage* image = run.fractal->image_;
  const tWriter writer = writer_;
  auto writeImage = [writer, image](const std::string& to) { return writer(to, image); };
  if (tBLAMOutputs::current().writePicture(path, writeImage)) return true;
  tBLAMProgress::instance().warn(run.statement + ": cannot write image " + path);
  return false;
}
