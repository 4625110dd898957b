#include "python/tEngineAdapter.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <future>
#include <iostream>
#include <limits>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <sstream>

#include "File/tFileUtils.h"
#include "blam/tBLAMUseStatement.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"
#include "fractal/tBasinLabels.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "fractal/tSpeedShading.h"
#include "fractal/tWadaGrid.h"

namespace {

using tPoll = tEngineAdapter::tPoll;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::chrono::duration<double, std::milli> kPollInterval(tEngineAdapter::POLL_MILLISECONDS);
// A function read from a text has no path: messages name it so, as Python
// names a source that is no file.
const char* const kTextName = "<text>";

// Setting a parameter substitutes it into the formulas a function holds, so
// it waits until no picture or reader uses functions; pictures and readers
// share them.
std::shared_timed_mutex& functions() {
  static std::shared_timed_mutex mutex;
  return mutex;
}

std::unique_lock<std::shared_timed_mutex> changeFunctions(const tPoll& poll) {
  std::unique_lock<std::shared_timed_mutex> lock(functions(), std::defer_lock);
  while (!lock.try_lock_for(kPollInterval)) poll();
  return lock;
}

std::shared_lock<std::shared_timed_mutex> useFunctions(const tPoll& poll) {
  std::shared_lock<std::shared_timed_mutex> lock(functions(), std::defer_lock);
  while (!lock.try_lock_for(kPollInterval)) poll();
  return lock;
}

// A function the engine reads differently from what was written, or with a
// formula missing, is refused, as --check refuses it.
bool isUsable(const tFunction& function) {
  if (function.isRefused() || function.hasFileWarnings()) return false;
  for (unsigned slot = 0; slot < tFunction::FORMULAS; ++slot)
    if (!function.hasFormula(slot)) return false;
  return true;
}

tEngineAdapter::tRead finishRead(std::shared_ptr<tFunction> function, const std::string& messages) {
  tEngineAdapter::tRead read;
  (isUsable(*function) ? read.warnings : read.errors) = messages;
  read.loaded = {std::move(function), std::make_shared<tVariableEnv>()};
  return read;
}

tEngineAdapter::tRead unreadableFile(const std::string& path, const std::string& absolute) {
  tEngineAdapter::tRead read;
  std::error_code error;
  read.missing = !std::filesystem::exists(absolute, error);
  std::string why = tFileUtils::getReadRefusal(absolute);
  if (read.missing) why = "no such file";
  if (why.empty()) {
    std::FILE* file = std::fopen(absolute.c_str(), "rb");
    why = file ? "it cannot be read" : std::strerror(errno);
    if (file) std::fclose(file);
  }
  read.unreadable = "cannot read function file " + path + ": " + why;
  return read;
}

std::vector<std::pair<std::string, double>> parametersOf(
    const tEngineAdapter::tLoadedFunction& loaded) {
  const tFunction& function = *loaded.function;
  std::set<std::string> free;
  function.freeVars(free);
  std::vector<std::pair<std::string, double>> parameters;
  for (const auto& constant : function.getLocalConstants()) {
    free.erase(constant.first);
    parameters.emplace_back(constant.first, function.getValueFor(constant.first, loaded.set.get()));
  }
  for (const std::string& name : free)
    parameters.emplace_back(name, function.getValueFor(name, loaded.set.get()));
  return parameters;
}

// A new picture in a context of its own, as tBLAMRunStatement::makeFractal
// and compute prepare one in a fresh batch: an empty registry, and the
// random sequence seeded by the seed given, else by the clock.
std::unique_ptr<tFractal> makeFractal(const tEngineAdapter::tRequest& request,
                                      tPictureContext& context) {
  const double* bounds = request.bounds;
  std::unique_ptr<tFractal> fractal(
      tFractal::create(request.size, bounds[0], bounds[1], bounds[2], bounds[3], context));
  fractal->setJitter(request.jitter);
  fractal->setJitterFirst(request.jitterFirst);
  fractal->setSingularSet(request.singularSet);
  context.getRoots().useRandomColors(request.randomColors);
  context.getRandom().seed(request.seed ? *request.seed
                                        : static_cast<unsigned>(std::time(nullptr)));
  return fractal;
}

void computePicture(tFractal& fractal, tFunction& function, tIterativeSolver& solver,
                    unsigned threads, const tPoll& poll) {
  tFractalComputation computation(&fractal, &function, &solver, threads);
  computation.start();
  try {
    while (!computation.waitUntilDone(tEngineAdapter::POLL_MILLISECONDS)) poll();
  } catch (...) {
    computation.cancel();
    throw;
  }
}

// The grid Wada test, on threads of its own, so that it can be cancelled.
tWadaGrid::tResult testWada(const tFractal& fractal, const tFunction& function,
                            const tIterativeSolver& solver, unsigned threads, const tPoll& poll) {
  std::atomic<bool> cancel(false);
  std::future<tWadaGrid::tResult> result = std::async(std::launch::async, [&] {
    return tWadaGrid::measure(fractal, function, solver, threads, &cancel);
  });
  try {
    while (result.wait_for(kPollInterval) != std::future_status::ready) poll();
  } catch (...) {
    cancel = true;
    result.wait();
    throw;
  }
  return result.get();
}

// The share and verdict the batch binds to _wadaShare_ and _wada_.
void keepWada(const tWadaGrid::tResult& wada, tEngineAdapter::tPicture& picture) {
  const bool tested = wada.measured && wada.basins >= 3;
  picture.wadaShare = tested ? wada.getShare(wada.basins) : kNaN;
  picture.wada = tested ? (wada.isWada() ? 1.0 : 0.0) : kNaN;
}

void copyColors(const tFractal& fractal, tEngineAdapter::tPicture& picture) {
  const std::size_t side = picture.side;
  picture.rgb.reserve(side * side * 3);
  for (std::size_t row = side; row-- > 0;) {
    for (std::size_t column = 0; column < side; ++column) {
      const tPixel pixel =
          fractal.getPixel(static_cast<unsigned>(row), static_cast<unsigned>(column));
      for (unsigned channel = 0; channel < 3; ++channel) picture.rgb.push_back(pixel[channel]);
      if (fractal.isSingularSet())
        picture.onSet.push_back(pixel == tFractal::singularSetColor(true) ? 1 : 0);
    }
  }
}

int32_t labelOf(const tBasinLabels& labels, std::size_t row, std::size_t column) {
  const uint16_t label = labels.getLabel(row, column);
  if (label == tBasinLabels::NO_CONVERGENCE) return -1;
  if (label == tBasinLabels::SINGULAR) return -2;
  return static_cast<int32_t>(labels.getRegistryIndex(label));
}

void copyLabels(const tBasinLabels& labels, tEngineAdapter::tPicture& picture) {
  if (labels.empty()) return;
  const std::size_t side = picture.side;
  picture.labels.reserve(side * side);
  picture.iterations.reserve(side * side);
  for (std::size_t row = side; row-- > 0;) {
    for (std::size_t column = 0; column < side; ++column) {
      picture.labels.push_back(labelOf(labels, row, column));
      picture.iterations.push_back(labels.getIterationCount(row, column));
    }
  }
}

void copyRoots(const tRootManager& roots, tEngineAdapter::tPicture& picture) {
  for (const auto& [root, color] : roots.getRoots())
    picture.roots.push_back({root.x_, root.y_, color[0], color[1], color[2]});
}

}  // namespace

tEngineAdapter::tRead tEngineAdapter::readText(const std::string& text) {
  auto function = std::make_shared<tFunction>();
  function->setName(kTextName);
  std::ostream nowhere(nullptr);
  std::ostringstream messages;
  function->setStreams(nowhere, messages);
  function->readText(text, kTextName);
  return finishRead(std::move(function), messages.str());
}

tEngineAdapter::tRead tEngineAdapter::readFile(const std::string& path) {
  std::error_code error;
  const std::string absolute = std::filesystem::absolute(path, error).string();
  std::ostream nowhere(nullptr);
  std::ostringstream messages;
  auto function = std::make_shared<tFunction>(absolute, nowhere, messages);
  if (!function->isReadable()) return unreadableFile(path, absolute);
  function->setName(path);
  return finishRead(std::move(function), messages.str());
}

std::vector<std::pair<std::string, std::string>> tEngineAdapter::getFormulas(
    const tLoadedFunction& loaded, const tPoll& poll) {
  const auto lock = useFunctions(poll);
  std::vector<std::pair<std::string, std::string>> formulas;
  for (unsigned slot = 0; slot < tFunction::FORMULAS; ++slot)
    formulas.emplace_back(tFunction::getLabel(slot), loaded.function->getFormulaText(slot));
  return formulas;
}

std::string tEngineAdapter::getName(const tLoadedFunction& loaded, const tPoll& poll) {
  const auto lock = useFunctions(poll);
  return loaded.function->getName();
}

std::vector<std::pair<std::string, double>> tEngineAdapter::getParameters(
    const tLoadedFunction& loaded, const tPoll& poll) {
  const auto lock = useFunctions(poll);
  return parametersOf(loaded);
}

bool tEngineAdapter::setParameter(const tLoadedFunction& loaded, const std::string& name,
                                  double value, const tPoll& poll) {
  const auto lock = changeFunctions(poll);
  bool known = false;
  for (const auto& parameter : parametersOf(loaded)) known = known || parameter.first == name;
  if (!known) return false;
  loaded.set->extend(name, value);
  loaded.function->substituteVars(loaded.set.get());
  return true;
}

std::vector<std::string> tEngineAdapter::getMethodNames() {
  return tBLAMUseStatement::getSolverNames();
}

bool tEngineAdapter::acceptsSize(unsigned size) { return tFractal::acceptsDimension(size); }

unsigned tEngineAdapter::getMaxSeed() { return tRandom::MAX_SEED; }

unsigned tEngineAdapter::getMaxSide() { return tFractal::MAX_PICTURE_SIDE; }

std::string tEngineAdapter::refusalOf(const tLoadedFunction& loaded, const tRequest& request) {
  const std::unique_ptr<tIterativeSolver> solver(
      tBLAMUseStatement::makeSolver(request.method, request.iterations, request.step));
  return solver->refusalFor(*loaded.function);
}

tEngineAdapter::tPicture tEngineAdapter::makePicture(const tLoadedFunction& loaded,
                                                     const tRequest& request, const tPoll& poll) {
  const auto lock = useFunctions(poll);
  tFunction& function = *loaded.function;
  const std::unique_ptr<tIterativeSolver> solver(
      tBLAMUseStatement::makeSolver(request.method, request.iterations, request.step));
  tPictureContext context;
  const std::unique_ptr<tFractal> fractal = makeFractal(request, context);
  computePicture(*fractal, function, *solver, request.threads, poll);

  tPicture picture;
  picture.side = static_cast<std::size_t>(fractal->getWidth());
  std::copy(request.bounds, request.bounds + 4, picture.bounds);
  picture.threads = request.threads;
  keepWada(request.wadaTest ? testWada(*fractal, function, *solver, request.threads, poll)
                            : tWadaGrid::tResult(),
           picture);
  picture.fractalDimension = fractal->calculateDimension();
  if (request.shadeBySpeed) tSpeedShading::shade(fractal->getImage(), fractal->getBasinLabels());
  copyColors(*fractal, picture);
  copyLabels(fractal->getBasinLabels(), picture);
  copyRoots(context.getRoots(), picture);
  picture.basinLabels = std::make_shared<tBasinLabels>(std::move(fractal->getBasinLabels()));
  return picture;
}

tEngineAdapter::tMeasures tEngineAdapter::measure(const tPicture& picture) {
  const tBasinStatistics statistics(*picture.basinLabels, picture.threads);
  const double roots =
      statistics.isMeasured() ? static_cast<double>(statistics.getBasins().size()) : kNaN;
  tMeasures measures;
  measures.values = {{"roots", roots},
                     {"converged_fraction", statistics.getConvergedFraction()},
                     {"no_convergence_fraction", statistics.getNoConvergenceFraction()},
                     {"singular_fraction", statistics.getSingularFraction()},
                     {"basin_entropy", statistics.getBasinEntropy()},
                     {"boundary_basin_entropy", statistics.getBoundaryBasinEntropy()},
                     {"box_dimension", statistics.getBoxDimension()},
                     {"box_dimension_error", statistics.getBoxDimensionError()},
                     {"uncertainty_exponent", statistics.getUncertaintyExponent()},
                     {"uncertainty_exponent_error", statistics.getUncertaintyExponentError()},
                     {"wada_distance", statistics.getWadaDistance()},
                     {"wada_share", picture.wadaShare},
                     {"wada", picture.wada},
                     {"fractal_dimension", picture.fractalDimension}};
  for (const tBasinStatistics::tBasin& basin : statistics.getBasins())
    measures.basins.push_back(
        {basin.registryIndex, picture.roots[basin.registryIndex], basin.fraction});
  return measures;
}
