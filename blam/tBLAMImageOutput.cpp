#include "blam/tBLAMImageOutput.h"

#include <utility>

#include "blam/tBLAMContext.h"
#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"
#include "fractal/tFractal.h"
#include "graphics/tPNGLoader.h"
#include "graphics/tTGALoader.h"

namespace {

bool writeTGA(const std::string& path, tImage* image, std::string& error) {
  return tTGALoader().write(path, image, 24, false, &error);
}

bool writePNG(const std::string& path, tImage* image, std::string& error) {
  return tPNGLoader().write(path, image, &error);
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

std::string tBLAMImageOutput::getPath(const tRun& run) const {
  return run.directory + run.imageName;
}

bool tBLAMImageOutput::write(const tRun& run) const {
  tImage* image = run.fractal->getImage();
  const tWriter writer = writer_;
  auto writeImage = [writer, image](const std::string& to, std::string& error) {
    return writer(to, image, error);
  };
  std::string error;
  const std::string path = getPath(run);
  if (run.context->outputs.writePicture(path, writeImage, error)) {
    run.context->progress.notePicture(run.directory);
    return true;
  }
  return fail(run, error.empty() ? "cannot write " + path : error);
}
