#include "fractal/tSpeedShading.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "fractal/tBasinLabels.h"
#include "fractal/tRootManager.h"
#include "graphics/tImage.h"

namespace {

bool isRootLabel(uint16_t label) {
  return label != tBasinLabels::NO_CONVERGENCE && label != tBasinLabels::SINGULAR;
}

unsigned char darken(unsigned char channel, double factor) {
  return static_cast<unsigned char>(std::floor(channel * factor + 0.5));
}

}  // namespace

double tSpeedShading::factor(uint32_t k, uint32_t K) {
  if (K == 0) return 1.0;
  return 1.0 - DARKENING * std::log1p(static_cast<double>(k)) / std::log1p(static_cast<double>(K));
}

void tSpeedShading::shade(tImage* image, const tBasinLabels& labels) {
  const std::vector<uint16_t>& kinds = labels.getLabels();
  const std::vector<uint16_t>& counts = labels.getIterations();
  const std::size_t pixels = std::size_t{image->getWidth()} * image->getHeight();
  if (kinds.size() != pixels) return;
  uint32_t slowest = 0;
  for (std::size_t i = 0; i < pixels; ++i) {
    if (isRootLabel(kinds[i])) slowest = std::max<uint32_t>(slowest, counts[i]);
  }
  std::vector<double> factors(slowest + 1);
  for (uint32_t k = 0; k <= slowest; ++k) factors[k] = factor(k, slowest);

  const tPixel noConvergence = tRootManager::getNoConvergenceColor();
  const tPixel singular = tRootManager::getSingularJacobianColor();
  tPixel* data = image->getPixelData();
  for (std::size_t i = 0; i < pixels; ++i) {
    tPixel& pixel = data[i];
    if (!isRootLabel(kinds[i]) || pixel == noConvergence || pixel == singular) continue;
    const double f = factors[counts[i]];
    for (unsigned int channel = 0; channel < 3; ++channel) {
      pixel[channel] = darken(pixel[channel], f);
    }
  }
}
