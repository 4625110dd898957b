#include "blam/tBLAMRunStatement.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>
#include <set>
#include <tuple>
#include <vector>

#include "File/tCSVFile.h"
#include "File/tFileUtils.h"
#include "blam/tBLAMAnnotatedSVG.h"
#include "blam/tBLAMBasinsOutput.h"
#include "blam/tBLAMDataBlockOutput.h"
#include "blam/tBLAMImageOutput.h"
#include "blam/tBLAMIterationsOutput.h"
#include "blam/tBLAMNameCheck.h"
#include "blam/tBLAMPlaneSettings.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMRootColors.h"
#include "blam/tBLAMRunRecord.h"
#include "blam/tBLAMSettings.h"
#include "blam/tBLAMStatsOutput.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tIterationHistogram.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tPalette.h"
#include "fractal/tPictureContext.h"
#include "fractal/tPlaneComputation.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "fractal/tSession.h"
#include "fractal/tSpeedShading.h"
#include "lexer/tSpellingHint.h"

namespace {

// What a run writes after its picture, in this order.
const tBLAMDataBlockOutput kDataBlock{};
const tBLAMStatsOutput kStats{};
const tBLAMBasinsOutput kBasins{};
const tBLAMIterationsOutput kIterations{};

// The outputs after the picture: the histogram of iterations only when
// _speedMeasures asks, so that scripts without it write what they always did.
std::vector<const tBLAMRunOutput*> outputsAfterPicture(tVariableEnv* env) {
  std::vector<const tBLAMRunOutput*> outputs = {&kDataBlock, &kStats, &kBasins};
  if (env->getBoolVal("_speedMeasures")) outputs.push_back(&kIterations);
  return outputs;
}

// W_{N_A} of the grid Wada test; NaN when it was not made or has fewer than
// three basins to test.
double wadaShare(const tWadaGrid::tResult& wada) {
  if (!wada.measured || wada.basins < 3) return std::numeric_limits<double>::quiet_NaN();
  return wada.getShare(wada.basins);
}

// A number in hexadecimal floating point, so that settings compare exactly.
std::string exactly(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%a", value);
  return text;
}

}  // namespace

void tBLAMRunStatement::run(tVariableEnv* env, const tBLAMContext& context) {
  context.outputs.beginRunStatement();
  tBLAMProgress& progress = context.progress;
  tFunction* function = findFunction(env, progress);
  if (!function) return;
  tIterativeSolver* solver = findSolver(context);
  if (!solver) return;
  const std::string refusal = solver->refusalFor(*function);
  if (!refusal.empty()) {
    progress.fail(describe() + ": " + refusal);
    return;
  }
  const std::string directory = findOutputDirectory(env, context);
  if (directory.empty()) return;
  const tBLAMImageOutput& picture = findImageOutput(env, progress);
  tBLAMPlaneSettings plane;
  std::string planeError;
  if (!plane.read(env, *function, planeError)) {
    progress.fail(describe() + ": " + planeError);
    return;
  }
  warnAboutReads(env, function, solver, plane, progress);
  function->substituteVars(env);
  if (!acceptsDimension(env, context)) return;
  const std::optional<unsigned int> seed = findSeed(env, progress);
  tBLAMRootColors::tRoots roots;
  std::string rootsError;
  if (!tBLAMRootColors::read(env->getStringVal("_rootColors"), roots, rootsError)) {
    progress.fail(describe() + ": " + rootsError);
    return;
  }

  // compute fills in the picture, its measures, time and seed.
  tBLAMRunOutput::tRun run{describe(), directory, env->getStringVal("_batchName_"),
                           imageName(env, picture.getExtension()),
                           function,   solver,    nullptr,
                           nullptr,    0.0,       "",
                           env,        &context};
  tBLAMOutputs::tRunStart start{
      describe(),
      picture.getPath(run),
      {},
      settingsOf(env, function, solver, run.imageName) + plane.describe(),
      dependenceOf(env),
      env->getBoolVal("_annotate") ? tBLAMAnnotatedSVG::pathFor(picture.getPath(run)) : ""};
  const std::vector<const tBLAMRunOutput*> after = outputsAfterPicture(env);
  for (const tBLAMRunOutput* output : after) start.files.push_back(output->getPath(run));
  tBLAMOutputs& outputs = context.outputs;
  switch (outputs.beginRun(start)) {
    case tBLAMOutputs::RUN_COMPUTE: {
      const auto begin = std::chrono::steady_clock::now();
      outputs.endRun(compute(run, picture, after, seed, plane, context));
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
      context.progress.endComputedRun(run.imageName, took.count());
      return;
    }
    case tBLAMOutputs::RUN_SKIP:
      // The values come from another shard; whatever reads them here is
      // the merge's to do again.
      for (const std::string& name : tBLAMSettings::resultNames())
        env->extend(name, std::numeric_limits<double>::quiet_NaN());
      nextImage(env);
      outputs.endRun(true);
      return;
    case tBLAMOutputs::RUN_REPLAY:
      outputs.endRun(replay(run, *outputs.getReplayed(), after));
      return;
  }
}

bool tBLAMRunStatement::compute(tBLAMRunOutput::tRun& run, const tBLAMImageOutput& picture,
                                const std::vector<const tBLAMRunOutput*>& after,
                                std::optional<unsigned int> seed, const tBLAMPlaneSettings& plane,
                                const tBLAMContext& context) const {
  tSession& session = context.session;
  tVariableEnv* env = run.env;
  run.fractal = makeFractal(env, session);
  if (seed) {
    session.getRandom().seed(*seed);
    run.seed = std::to_string(*seed);
  }
  run.milliseconds = plane.isOn() ? computePlane(run.fractal, plane.getPlane(), run.solver, context)
                                  : computePicture(run.fractal, run.function, run.solver, context);
  const tBasinStatistics statistics(run.fractal->getBasinLabels());
  run.statistics = &statistics;
  const tIterationHistogram iterations(run.fractal->getBasinLabels());
  if (env->getBoolVal("_speedMeasures")) run.iterations = &iterations;
  // Solved while the registry still holds this picture's roots.
  tWadaGrid::tResult wada;
  if (env->getBoolVal("_wadaTest")) {
    wada = tWadaGrid::measure(*run.fractal, *run.function, *run.solver);
    run.wada = &wada;
  }
  const tBLAMOutputs::tResults results =
      measure(run.milliseconds, run.fractal, statistics, wada, iterations);
  for (const auto& result : results) env->extend(result.first, result.second);
  context.outputs.keepResults(results);
  // Once measured, so that the measures are the flat picture's.
  if (env->getBoolVal("_shadeBySpeed"))
    tSpeedShading::shade(run.fractal->getImage(), run.fractal->getBasinLabels());

  // Without its picture a run leaves nothing else.
  if (!picture.write(run)) return false;
  if (env->getBoolVal("_annotate")) writeAnnotated(run, picture.getPath(run), plane);
  for (const tBLAMRunOutput* output : after) output->write(run);
  for (const tBLAMRunOutput* output : after) output->writeMade(run);
  nextImage(env);
  return true;
}

bool tBLAMRunStatement::writeAnnotated(const tBLAMRunOutput::tRun& run,
                                       const std::string& picturePath,
                                       const tBLAMPlaneSettings& plane) const {
  tBLAMAnnotatedSVG::tLabels labels;
  labels.title = run.function->getName() + ", " + run.solver->getName();
  if (plane.isOn()) {
    labels.xName = plane.getXParameter();
    labels.yName = plane.getYParameter();
  }
  auto writeSVG = [&run, &labels](const std::string& to, std::string& error) {
    return tBLAMAnnotatedSVG::write(to, *run.fractal, *run.statistics, labels, error);
  };
  const std::string path = tBLAMAnnotatedSVG::pathFor(picturePath);
  std::string error;
  if (run.context->outputs.writePicture(path, writeSVG, error)) return true;
  run.context->progress.fail(describe() + ": " + (error.empty() ? "cannot write " + path : error));
  return false;
}

bool tBLAMRunStatement::replay(const tBLAMRunOutput::tRun& run, const tBLAMRunRecord& record,
                               const std::vector<const tBLAMRunOutput*>& after) const {
  tVariableEnv* env = run.env;
  const tBLAMContext& context = *run.context;
  for (const auto& result : record.results) env->extend(result.first, result.second);
  context.trace << "Cooked fractal in: " << env->getDoubleVal("_computationTime_") << "\n";
  if (!record.complete) return false;
  const std::string base = tFileUtils::getOutputDirectory();
  tBLAMOutputs& outputs = context.outputs;
  for (const tBLAMRunRecord::tAppend& append : record.appends) {
    const std::string path = base + append.path;
    std::string error;
    const bool written = append.csv ? outputs.appendCSV(path, append.columns, append.rows, error)
                                    : outputs.appendText(path, append.text, error);
    if (!written) context.progress.fail(describe() + ": " + error);
  }
  for (const tBLAMRunOutput* output : after) output->writeMade(run);
  nextImage(env);
  return true;
}

void tBLAMRunStatement::warnAboutReads(tVariableEnv* env, tFunction* function,
                                       tIterativeSolver* solver, const tBLAMPlaneSettings& plane,
                                       tBLAMProgress& progress) {
  std::set<std::string> parameters;
  function->freeVars(parameters);
  // The axes of a plane take their values from the pixels.
  if (plane.isOn()) {
    parameters.erase(plane.getXParameter());
    parameters.erase(plane.getYParameter());
  }
  for (const std::string& name : parameters)
    if (warned_.count(name) == 0) warnOnce(name, describeParameter(name, env, function), progress);
  const double iterations = toUnsigned(env->getDoubleVal("_maxIterations"));
  const double step = env->getDoubleVal("_stepSize");
  const auto changed = [](double now, double chosen) {
    return now != chosen && !(std::isnan(now) && std::isnan(chosen));
  };
  std::vector<std::tuple<const char*, double, double>> reads = {
      {"_maxIterations", iterations, double(solver->getMaxIterations())},
      {"_stepSize", step, solver->getStepSize()}};
  double parameter;
  if (solver->getMethodParameter(parameter))
    reads.emplace_back("_methodParameter", env->getDoubleVal("_methodParameter"), parameter);
  for (const auto& [name, now, chosen] : reads) {
    if (!changed(now, chosen)) continue;
    warnOnce(name, std::string(name) + " is " + tCSVFile::number(now) + ", but " +
                       solver->getName() + " was chosen with " + tCSVFile::number(chosen) +
                       ": only the next 'use' reads it",
             progress);
  }
}

std::string tBLAMRunStatement::describeParameter(const std::string& name, tVariableEnv* env,
                                                 tFunction* function) {
  if (env->hasDoubleVal(name)) return "";
  const std::string value = tCSVFile::number(function->getValueFor(name, env));
  const int type = env->findType(name);
  if (type != tVariableEnv::TYPE_UNBOUND)
    return "'" + name + "' holds " + tBLAMSettings::describeType(type) +
           ", not a number; the function's " + name + " is " + value;
  std::set<std::string> set, known;
  env->collectNames(set, tVariableEnv::TYPE_NUMBER);
  known = set;
  bool constant = false;
  for (const auto& local : function->getLocalConstants()) {
    constant = constant || local.first == name;
    known.insert(local.first);
  }
  if (!constant)
    return "'" + name + "' is not set; it reads as 0" + tSpellingHint::suggestion(name, known);
  const std::string meant = tSpellingHint::closest(name, set);
  if (meant.empty()) return "";
  return "'" + meant + "' is set, but the function reads '" + name + "', its constant " + value;
}

void tBLAMRunStatement::warnOnce(const std::string& name, const std::string& message,
                                 tBLAMProgress& progress) {
  if (message.empty() || !warned_.insert(name).second) return;
  progress.warnAtPlace(place_, describe() + ": " + message);
}

tFunction* tBLAMRunStatement::findFunction(tVariableEnv* env, tBLAMProgress& progress) const {
  tFunction* function = env->getFunctionVal(functionName_);
  if (!function) progress.fail(describe() + ": " + functionName_ + " holds no function");
  return function;
}

tIterativeSolver* tBLAMRunStatement::findSolver(const tBLAMContext& context) const {
  tIterativeSolver* solver = context.session.getSolver();
  if (!solver) context.progress.fail(describe() + ": no solver selected (use a solver first)");
  return solver;
}

std::string tBLAMRunStatement::findOutputDirectory(tVariableEnv* env,
                                                   const tBLAMContext& context) const {
  const std::string directory = tFileUtils::getOutputPath(env->getStringVal("_outputDir"));
  tBLAMOutputs& outputs = context.outputs;
  outputs.makeDirectory(directory);
  if (outputs.canWriteTo(directory)) {
    if (!env->containsVal("_batchName_"))
      failEach(outputs.prepareTopLevel(directory), context.progress);
    return directory;
  }
  context.progress.fail(describe() + ": cannot write to " + directory);
  return "";
}

const tBLAMImageOutput& tBLAMRunStatement::findImageOutput(tVariableEnv* env,
                                                           tBLAMProgress& progress) const {
  const std::string format = env->getStringVal("_imageFormat");
  const tBLAMImageOutput* output = tBLAMImageOutput::forFormat(format);
  if (output) return *output;
  progress.fail(describe() + ": _imageFormat \"" + format +
                "\" is neither \"tga\" nor \"png\"; writing a TGA image");
  return tBLAMImageOutput::tga();
}

std::optional<unsigned int> tBLAMRunStatement::findSeed(tVariableEnv* env,
                                                        tBLAMProgress& progress) const {
  const std::optional<unsigned int> seed = seedOf(env);
  if (!seed && env->hasDoubleVal("_seed")) {
    progress.fail(describe() + ": _seed must be a whole number from 0 to " +
                  std::to_string(tRandom::MAX_SEED) + "; the clock seeds this picture");
  }
  return seed;
}

std::optional<unsigned int> tBLAMRunStatement::seedOf(tVariableEnv* env) {
  if (!env->hasDoubleVal("_seed")) return std::nullopt;
  const double value = env->getDoubleVal("_seed");
  if (!(value >= 0.0 && value <= tRandom::MAX_SEED && value == std::floor(value)))
    return std::nullopt;
  return static_cast<unsigned int>(value);
}

bool tBLAMRunStatement::acceptsDimension(tVariableEnv* env, const tBLAMContext& context) const {
  std::string size;
  if (hasExactSize(env)) {
    const double width = exactSide(env, "_imageWidth", "_imageHeight");
    const double height = exactSide(env, "_imageHeight", "_imageWidth");
    if (width == std::floor(width) && height == std::floor(height) &&
        tFractal::acceptsSize(toUnsigned(width), toUnsigned(height)))
      return true;
    size = tCSVFile::number(width) + " x " + tCSVFile::number(height) +
           " (_imageWidth and _imageHeight take whole numbers from 1 to " +
           std::to_string(tFractal::MAX_PICTURE_SIDE) + ")";
  } else {
    const unsigned dimension = toUnsigned(env->getDoubleVal("_imageDimension"));
    if (tFractal::acceptsDimension(dimension)) return true;
    size = "dimension " + std::to_string(dimension);
  }
  context.session.setFractal(nullptr);
  context.progress.fail(describe() + ": cannot make a picture of " + size);
  return false;
}

bool tBLAMRunStatement::hasExactSize(tVariableEnv* env) {
  return env->hasDoubleVal("_imageWidth") || env->hasDoubleVal("_imageHeight");
}

double tBLAMRunStatement::exactSide(tVariableEnv* env, const char* name, const char* other) {
  return env->getDoubleVal(env->hasDoubleVal(name) ? name : other);
}

tFractal* tBLAMRunStatement::makeFractal(tVariableEnv* env, tSession& session) {
  session.setFractal(nullptr);
  const double minX = env->getDoubleVal("_minX"), maxX = env->getDoubleVal("_maxX");
  const double minY = env->getDoubleVal("_minY"), maxY = env->getDoubleVal("_maxY");
  tPictureContext& context = session.getPictureContext();
  tFractal* fractal =
      hasExactSize(env)
          ? tFractal::create(toUnsigned(exactSide(env, "_imageWidth", "_imageHeight")),
                             toUnsigned(exactSide(env, "_imageHeight", "_imageWidth")), minX, maxX,
                             minY, maxY, context)
          : tFractal::create(toUnsigned(env->getDoubleVal("_imageDimension")), minX, maxX, minY,
                             maxY, context);
  session.setFractal(fractal);
  fractal->setJitter(toUnsigned(env->getDoubleVal("_jitter")));
  fractal->setJitterFirst(env->getBoolVal("_jitterFirst"));
  fractal->setSingularSet(env->getBoolVal("_singularSet"));
  tRootManager& roots = session.getRoots();
  if (!env->getBoolVal("_keepRootColors")) roots.clearRoots();
  roots.useRandomColors(env->getBoolVal("_useRandomColors"));
  roots.usePalette(paletteOf(env));
  // The run has refused a text that does not read.
  tBLAMRootColors::tRoots given;
  std::string error;
  tBLAMRootColors::read(env->getStringVal("_rootColors"), given, error);
  for (const auto& root : given) roots.restoreRoot(root.first, root.second);
  return fractal;
}

const tPalette& tBLAMRunStatement::paletteOf(tVariableEnv* env) {
  const tPalette* palette = tPalette::find(env->getStringVal("_palette"));
  return palette ? *palette : tPalette::classic();
}

double tBLAMRunStatement::computePicture(tFractal* fractal, tFunction* function,
                                         tIterativeSolver* solver,
                                         const tBLAMContext& context) {
  // How often the share of pixels done is brought up to date, in ms.
  const double progressInterval = 100.0;
  const auto begin = std::chrono::steady_clock::now();
  {
    tFractalComputation computation(fractal, function, solver);
    tBLAMProgress& progress = context.progress;
    progress.beginPixels(computation.getPixelCount());
    computation.start();
    while (!computation.waitUntilDone(progressInterval)) {
      progress.setPixelsDone(computation.getPaintedCount());
    }
    progress.setPixelsDone(computation.getPixelCount());
  }
  return tookSince(begin, context);
}

double tBLAMRunStatement::computePlane(tFractal* fractal, const tParameterPlane& plane,
                                       tIterativeSolver* solver, const tBLAMContext& context) {
  const auto begin = std::chrono::steady_clock::now();
  tPlaneComputation(fractal, plane, *solver).run();
  return tookSince(begin, context);
}

double tBLAMRunStatement::tookSince(std::chrono::steady_clock::time_point begin,
                                    const tBLAMContext& context) {
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
  const double milliseconds = took.count();
  context.progress.clearStatusLine();
  context.trace << "Cooked fractal in: " << milliseconds << "\n";
  return milliseconds;
}

tBLAMOutputs::tResults tBLAMRunStatement::measure(double milliseconds, tFractal* fractal,
                                                  const tBasinStatistics& statistics,
                                                  const tWadaGrid::tResult& wada,
                                                  const tIterationHistogram& iterations) {
  const double roots = statistics.isMeasured() ? static_cast<double>(statistics.getBasins().size())
                                               : std::numeric_limits<double>::quiet_NaN();
  const double values[] = {milliseconds,
                           fractal->calculateDimension(),
                           statistics.getBasinEntropy(),
                           statistics.getBoundaryBasinEntropy(),
                           statistics.getBoxDimension(),
                           statistics.getBoxDimensionError(),
                           statistics.getUncertaintyExponent(),
                           statistics.getUncertaintyExponentError(),
                           statistics.getWadaDistance(),
                           roots,
                           statistics.getConvergedFraction(),
                           wadaShare(wada),
                           wadaShare(wada) >= 0.0 ? (wada.isWada() ? 1.0 : 0.0)
                                                  : std::numeric_limits<double>::quiet_NaN(),
                           iterations.getMeanIterations(),
                           iterations.getMostProbableIterations(),
                           iterations.getFailureFraction()};
  tBLAMOutputs::tResults results;
  const std::vector<std::string>& names = tBLAMSettings::resultNames();
  for (std::size_t i = 0; i < names.size(); ++i) results.emplace_back(names[i], values[i]);
  return results;
}

std::string tBLAMRunStatement::settingsOf(tVariableEnv* env, tFunction* function,
                                          tIterativeSolver* solver, const std::string& image) {
  std::string settings = image + " " + function->getName() + " " + solver->getName() + " " +
                         std::to_string(solver->getMaxIterations()) + " " +
                         exactly(solver->getStepSize());
  for (const char* name : {"_imageDimension", "_minX", "_maxX", "_minY", "_maxY", "_jitter"})
    settings += " " + exactly(env->getDoubleVal(name));
  if (hasExactSize(env)) {
    settings += " size=" + exactly(exactSide(env, "_imageWidth", "_imageHeight")) + "x" +
                exactly(exactSide(env, "_imageHeight", "_imageWidth"));
  }
  for (const char* name :
       {"_jitterFirst", "_singularSet", "_keepRootColors", "_useRandomColors", "_shadeBySpeed"})
    settings += env->getBoolVal(name) ? " 1" : " 0";
  const std::optional<unsigned int> seed = seedOf(env);
  settings += " seed=" + (seed ? std::to_string(*seed) : "clock");
  // Only a palette of its own is named, so that older shard files compare.
  const tPalette& palette = paletteOf(env);
  if (!palette.isClassic()) settings += " palette=" + palette.getName();
  const std::string roots = env->getStringVal("_rootColors");
  if (!roots.empty()) settings += " roots=" + roots;
  std::set<std::string> parameters;
  function->freeVars(parameters);
  for (const std::string& name : parameters)
    settings += " " + name + "=" + exactly(function->getValueFor(name, env));
  // The formulas as they now stand, values substituted: all six at a few
  // points away from any symmetry.
  const double points[][2] = {{0.3125, 0.71875}, {-1.15625, 0.4375}, {0.59375, -1.84375}};
  for (const auto& point : points) {
    double values[6];
    function->getProgram().evaluate(point[0], point[1], values);
    for (double value : values) settings += " " + exactly(value);
  }
  return settings;
}

std::string tBLAMRunStatement::dependenceOf(tVariableEnv* env) {
  if (env->getBoolVal("_singularSet")) return "";
  if (env->getBoolVal("_keepRootColors"))
    return "_keepRootColors carries the roots and colours of earlier runs into its picture";
  // Random colours and jittered samples continue the one random sequence
  // that the runs before drew from, unless _seed starts it afresh for each
  // picture.
  const bool random = (paletteOf(env).isClassic() && env->getBoolVal("_useRandomColors")) ||
                      toUnsigned(env->getDoubleVal("_jitter")) > 1 ||
                      env->getBoolVal("_jitterFirst");
  if (random && !seedOf(env))
    return "random colours or jitter without _seed draw from the random sequence that earlier "
           "runs drew from (set _seed, or give --seed, to seed each picture alike)";
  return "";
}

std::string tBLAMRunStatement::imageName(tVariableEnv* env, const std::string& extension) {
  return env->getStringVal("_batchName_") + "-" + env->getStringVal("_outputPrefix") + "-" +
         std::to_string(toInt(env->getDoubleVal("_totalImages_"))) + extension;
}

void tBLAMRunStatement::nextImage(tVariableEnv* env) {
  env->extend("_totalImages_", env->getDoubleVal("_totalImages_") + 1.0);
}

void tBLAMRunStatement::print(std::ostream& trace) const {
  trace << "[RUN " << functionName_ << "]";
}

std::string tBLAMRunStatement::describe() const { return "run " + functionName_; }
