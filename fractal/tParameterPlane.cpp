#include "fractal/tParameterPlane.h"

#include <cmath>
#include <ostream>
#include <set>
#include <sstream>

#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"
#include "fractal/tFractal.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tSolution.h"
#include "graphics/tImage.h"

namespace {

unsigned char toByte(double fraction) {
  return static_cast<unsigned char>(std::lround(255.0 * std::fmin(1.0, std::fmax(0.0, fraction))));
}

// Hue h in turns, at the saturation and value of the root colours.
tPixel hueColor(double h) {
  const double saturation = 0.75;
  const double value = 0.95;
  const double sector = 6.0 * (h - std::floor(h));
  const int k = static_cast<int>(sector) % 6;
  const double f = sector - std::floor(sector);
  const double low = value * (1.0 - saturation);
  const double falling = value * (1.0 - saturation * f);
  const double rising = value * (1.0 - saturation * (1.0 - f));
  const double rgb[6][3] = {{value, rising, low},  {falling, value, low}, {low, value, rising},
                            {low, falling, value}, {rising, low, value},  {value, low, falling}};
  return tPixel(toByte(rgb[k][0]), toByte(rgb[k][1]), toByte(rgb[k][2]), 255);
}

}  // namespace

tParameterPlane::tParameterPlane(const tFunction& f, const tFunction& start, const std::string& p,
                                 const std::string& q, COLORING coloring)
    : f_(f), start_(start), p_(p), q_(q), coloring_(coloring) {}

std::string tParameterPlane::refusalFor(const tFunction& f, const std::string& p,
                                        const std::string& q) {
  std::set<std::string> names;
  f.freeVars(names);
  for (const std::string& name : {p, q}) {
    if (!names.count(name)) return "the function has no parameter named '" + name + "'";
  }
  if (p == q) return "the two axes name the same parameter '" + p + "'";
  return "";
}

bool tParameterPlane::parseAxes(const std::string& text, std::string& p, std::string& q) {
  std::istringstream words(text);
  std::string extra;
  return (words >> p >> q) && !(words >> extra);
}

std::unique_ptr<tFunction> tParameterPlane::readStart(const std::string& x, const std::string& y,
                                                      const std::string& p, const std::string& q,
                                                      tVariableEnv* env, std::string& error) {
  const std::string text = x + "; " + y;
  static std::ostream nowhere(nullptr);
  std::ostringstream messages;
  auto start = std::make_unique<tFunction>();
  start->setStreams(nowhere, messages);
  // Zero derivatives: the start is only evaluated, and nothing is derived.
  start->readText("f1 = " + x + "\nf2 = " + y + "\nf11 = 0\nf12 = 0\nf21 = 0\nf22 = 0\n");
  unsigned head = 0;
  if (start->isRefused() || start->stoppedAtBrokenStatement(head) || !messages.str().empty()) {
    error = "the start \"" + text + "\" is not two formulas";
    return nullptr;
  }
  std::set<std::string> names;
  start->freeVars(names);
  for (const std::string& name : names) {
    if (name == p || name == q || (env && env->hasDoubleVal(name))) continue;
    error = "the start \"" + text + "\" reads '" + name + "', which holds no number";
    return nullptr;
  }
  start->substituteVars(env);
  return start;
}

bool tParameterPlane::parseColoring(const std::string& text, COLORING& coloring) {
  if (text == "iterations") {
    coloring = BY_ITERATIONS;
  } else if (text == "root") {
    coloring = BY_ROOT;
  } else {
    return false;
  }
  return true;
}

// Few iterations are light, many dark: cream through red to navy, on a
// logarithmic scale so that the bands near the islands, where counts climb
// fast, stay apart.
tPixel tParameterPlane::colorOf(const tSolution& solution, COLORING coloring,
                                uint32_t maxIterations) {
  if (solution.noConvergence_ || solution.singularJacobian_) return tPixel(0, 0, 0, 255);
  if (coloring == BY_ROOT) {
    const tVector2& root = solution.path_.back();
    const double pi = 3.141592653589793;
    return hueColor(std::atan2(root.y_, root.x_) / (2.0 * pi));
  }
  const double stops[3][3] = {{0.98, 0.94, 0.78}, {0.86, 0.39, 0.24}, {0.16, 0.16, 0.47}};
  const double t = std::log1p(solution.iterations_) / std::log1p(std::fmax(1.0, maxIterations));
  const int k = t < 0.5 ? 0 : 1;
  const double f = std::fmin(1.0, 2.0 * t - k);
  auto mix = [&](int channel) { return stops[k][channel] * (1.0 - f) + stops[k + 1][channel] * f; };
  return tPixel(toByte(mix(0)), toByte(mix(1)), toByte(mix(2)), 255);
}

tParameterPlane::tCopies tParameterPlane::makeCopies() const {
  return {f_.copyWithParameters(p_, q_), start_.copyWithParameters(p_, q_)};
}

void tParameterPlane::paintRow(const tCopies& copies, const tFractal& picture,
                               const tIterativeSolver& solver, unsigned row, tPixel* colors) const {
  const unsigned width = picture.getImage()->getWidth();
  for (unsigned column = 0; column < width; ++column) {
    const tVector2 c = picture.pointAt(row, column);
    copies.f->setParameters(c.x_, c.y_);
    copies.start->setParameters(c.x_, c.y_);
    const tVector2 start = copies.start->value(tVector2(0.0, 0.0));
    colors[column] =
        colorOf(solver.solve(copies.f.get(), start, false), coloring_, solver.getMaxIterations());
  }
}
