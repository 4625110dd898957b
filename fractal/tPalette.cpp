#include "fractal/tPalette.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "fractal/tIterativeSolver.h"
#include "fractal/tRootManager.h"

namespace {

const tPixel kOkabeIto[] = {
    tPixel(230, 159, 0, 255),    // orange
    tPixel(86, 180, 233, 255),   // sky blue
    tPixel(0, 158, 115, 255),    // bluish green
    tPixel(0, 114, 178, 255),    // blue
    tPixel(213, 94, 0, 255),     // vermillion
    tPixel(204, 121, 167, 255),  // reddish purple
    tPixel(240, 228, 66, 255),   // yellow
    tPixel(0, 0, 0, 255),        // black
};

// Steps of the extension's candidate channels: 0, 17, ..., 255.
const int kChannelStep = 17;
// The argument is rounded to this many steps a turn.
const double kHueSteps = 4096.0;
const double kTwoPi = 6.283185307179586;
// Lightness of "argument-modulus" on the unit circle, and its swing.
const double kMiddleLightness = 0.5;
const double kLightnessSwing = 0.3;

// The "redmean" distance between two colours, squared and times 512, so
// that it is a whole number: (2 + r/256) dR^2 + 4 dG^2 + (2 + (255 - r)/256)
// dB^2, with r the mean red.
std::int64_t redmeanDistance(const tPixel& a, const tPixel& b) {
  const std::int64_t redSum = std::int64_t{a[0]} + b[0];
  const std::int64_t dr = std::int64_t{a[0]} - b[0];
  const std::int64_t dg = std::int64_t{a[1]} - b[1];
  const std::int64_t db = std::int64_t{a[2]} - b[2];
  return (1024 + redSum) * dr * dr + 2048 * dg * dg + (1534 - redSum) * db * db;
}

unsigned char toByte(double value) {
  return static_cast<unsigned char>(std::floor(value * 255.0 + 0.5));
}

// The colour of full saturation at the hue (turns from red), in HSL of the
// lightness given; 0.5 is the pure hue.
tPixel hueColor(double hue, double lightness) {
  const double sixths = hue * 6.0;
  const double sector = std::floor(sixths);
  const double rises = sixths - sector;
  const double falls = 1.0 - rises;
  // In each sixth of the circle one channel is full and one empty while the
  // third rises or falls.
  const double pure[6][3] = {{1.0, rises, 0.0}, {falls, 1.0, 0.0}, {0.0, 1.0, rises},
                             {0.0, falls, 1.0}, {rises, 0.0, 1.0}, {1.0, 0.0, falls}};
  const double* rgb = pure[static_cast<int>(sector)];
  // Towards black below the lightness of 0.5, towards white above.
  const auto channel = [lightness](double c) {
    return toByte(lightness <= 0.5 ? c * 2.0 * lightness : c + (1.0 - c) * (2.0 * lightness - 1.0));
  };
  return tPixel(channel(rgb[0]), channel(rgb[1]), channel(rgb[2]), 255);
}

}  // namespace

const tPalette* tPalette::find(const std::string& name) {
  for (const tPalette* palette : all()) {
    if (palette->name_ == name) return palette;
  }
  return nullptr;
}

const tPalette& tPalette::classic() { return *all().front(); }

const std::vector<const tPalette*>& tPalette::all() {
  static const tPalette classicPalette("classic", CLASSIC);
  static const tPalette okabeIto("okabe-ito", CATEGORICAL);
  static const tPalette argument("argument", ARGUMENT);
  static const tPalette argumentModulus("argument-modulus", ARGUMENT_MODULUS);
  static const std::vector<const tPalette*> palettes = {&classicPalette, &okabeIto, &argument,
                                                        &argumentModulus};
  return palettes;
}

std::string tPalette::listNames() {
  std::string names;
  for (const tPalette* palette : all()) names += (names.empty() ? "" : ", ") + palette->name_;
  return names;
}

std::string tPalette::describeUnknown(const std::string& name) {
  return "'" + name + "' is no palette; palettes are " + listNames();
}

tPixel tPalette::colorFor(const tVector2& root, std::size_t index) const {
  if (kind_ == CATEGORICAL) return categoricalColors()[index % EXTENDED_COLORS];
  double hue = 0.0;
  const bool modulus = kind_ == ARGUMENT_MODULUS;
  if (!hueOf(root, hue)) return modulus ? tPixel(0, 0, 0, 255) : tPixel(255, 255, 255, 255);
  if (!modulus) return hueColor(hue, kMiddleLightness);
  const double squared = root.lengthSquared();
  return hueColor(hue, kMiddleLightness + kLightnessSwing * (squared - 1.0) / (squared + 1.0));
}

bool tPalette::hueOf(const tVector2& root, double& hue) {
  const double tolerance = tIterativeSolver::ROOT_EQUALITY_EPSILON;
  if (root.lengthSquared() < tolerance * tolerance) return false;
  const long steps = std::lround(std::atan2(root.y_, root.x_) / kTwoPi * kHueSteps);
  const long turn = static_cast<long>(kHueSteps);
  hue = static_cast<double>((steps % turn + turn) % turn) / kHueSteps;
  return true;
}

// Farthest-point sampling: each candidate keeps its distance to the nearest
// colour chosen so far, and the largest of those is chosen next.
const std::vector<tPixel>& tPalette::categoricalColors() {
  static const std::vector<tPixel> colors = [] {
    std::vector<tPixel> chosen(std::begin(kOkabeIto), std::end(kOkabeIto));
    std::vector<tPixel> taken = chosen;
    taken.push_back(tRootManager::getSingularJacobianColor());
    taken.push_back(tRootManager::getNoConvergenceColor());
    taken.push_back(tRootManager::getTextColor());
    std::vector<tPixel> candidates;
    for (int r = 0; r <= 255; r += kChannelStep)
      for (int g = 0; g <= 255; g += kChannelStep)
        for (int b = 0; b <= 255; b += kChannelStep) candidates.emplace_back(r, g, b, 255);
    std::vector<std::int64_t> nearest(candidates.size(), std::numeric_limits<std::int64_t>::max());
    for (std::size_t i = 0; i < candidates.size(); ++i)
      for (const tPixel& color : taken)
        nearest[i] = std::min(nearest[i], redmeanDistance(candidates[i], color));
    while (chosen.size() < EXTENDED_COLORS) {
      std::size_t best = 0;
      for (std::size_t i = 1; i < candidates.size(); ++i)
        if (nearest[i] > nearest[best]) best = i;
      const tPixel next = candidates[best];
      chosen.push_back(next);
      for (std::size_t i = 0; i < candidates.size(); ++i)
        nearest[i] = std::min(nearest[i], redmeanDistance(candidates[i], next));
    }
    return chosen;
  }();
  return colors;
}
