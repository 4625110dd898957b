#ifndef ROOTWEAVER_BLAM_TBLAMRUNSTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMRUNSTATEMENT_H

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMRunOutput.h"
#include "blam/tBLAMStatement.h"
#include "fractal/tWadaGrid.h"

class tBLAMImageOutput;
class tBLAMPlaneSettings;
class tBasinStatistics;
class tFractal;
class tFunction;
class tIterationHistogram;
class tIterativeSolver;
class tPalette;
class tParameterPlane;
class tSession;
struct tBLAMRunRecord;

// run NAME: computes one fractal of the function held by NAME with the
// application's current solver, over the rectangle and at the size the
// variables give, its random sequence seeded by _seed when that holds a
// number, measures it (its quad-tree dimension and its basin statistics,
// bound to the read-only variables), shades it by convergence speed when
// _shadeBySpeed asks, then writes the picture as the batch's next numbered
// image in the format of _imageFormat, appends a block describing the run to
// the batch's data file, a row to <batch>-stats.csv, a row per basin to
// <batch>-basins.csv and, when _speedMeasures asks, its histogram of
// iterations to <batch>-iterations.csv, whose plot it rewrites (each output
// a tBLAMRunOutput, each file through tBLAMOutputs). Roots take the colours
// of the palette _palette names (tPalette). With _annotate, the picture is
// also written as an annotated page beside it (tBLAMAnnotatedSVG), through
// the outputs as a picture is.
//
// The run's output directory is made when missing. Outside any batch, the
// first output into a directory removes what statements outside batches
// left there before (tBLAMOutputs::prepareTopLevel).
//
// A run that cannot produce its outputs computes nothing: without a
// function, without a solver, with a picture that cannot be made or an output
// directory that cannot be written, it says why on standard error, counted as
// a failure, and leaves the variables as they were. An output that cannot be
// written is a failure too. The trace of a run is only its "Cooked fractal
// in: " line.
//
// In a sweep split into shards (tBLAMOutputs), a run that another shard
// computes is skipped, binding its results as unknown (NaN) and moving the
// image number on; a merge replays each run from its shard's record instead
// of computing it.
class tBLAMRunStatement : public tBLAMStatement {
 public:
  void buildStatement(const std::string& name) { functionName_ = name; }
  // Where the statement stands in the script, for warnings.
  void setPlace(const std::string& place) { place_ = place; }

  void run(tVariableEnv* env, const tBLAMContext& context) override;
  void print(std::ostream& trace) const override;
  std::string describe() const override;

 private:
  // The run computed, its random sequence seeded with the seed given, if
  // any, its picture, seed, time and statistics filled in, and its outputs
  // written, the picture in the image output given and then `after`; false
  // when its picture could not be written.
  bool compute(tBLAMRunOutput::tRun& run, const tBLAMImageOutput& picture,
               const std::vector<const tBLAMRunOutput*>& after, std::optional<unsigned int> seed,
               const tBLAMPlaneSettings& plane,
               const tBLAMContext& context) const;
  // The run taken from its record, and the files made from the appends of
  // `after` rewritten; false when its picture was not written.
  bool replay(const tBLAMRunOutput::tRun& run, const tBLAMRunRecord& record,
              const std::vector<const tBLAMRunOutput*>& after) const;

  // What the run needs, each null or empty, after a warning, when missing.
  tFunction* findFunction(tVariableEnv* env, tBLAMProgress& progress) const;
  tIterativeSolver* findSolver(const tBLAMContext& context) const;
  // The output directory, ending in "/", made when missing, when it can be
  // written to.
  std::string findOutputDirectory(tVariableEnv* env, const tBLAMContext& context) const;
  // The picture's output for _imageFormat; TGA, after a warning, for a value
  // that names no format.
  const tBLAMImageOutput& findImageOutput(tVariableEnv* env, tBLAMProgress& progress) const;
  // The seed of the picture's random sequence: none when _seed holds no
  // number, and when it holds one that is not a whole number from 0 to
  // tRandom::MAX_SEED (after a warning): the sequence then goes on from
  // where the clock's seed left it.
  std::optional<unsigned int> findSeed(tVariableEnv* env, tBLAMProgress& progress) const;
  // The seed _seed gives; none when it holds no whole number from 0 to
  // tRandom::MAX_SEED.
  static std::optional<unsigned int> seedOf(tVariableEnv* env);
  // Writes the run's annotated page beside its picture, whose path is
  // given; false, after a failure of the statement, when it cannot.
  bool writeAnnotated(const tBLAMRunOutput::tRun& run, const std::string& picturePath,
                      const tBLAMPlaneSettings& plane) const;
  // The palette _palette names; classic for a name that is none, which the
  // assignment refused.
  static const tPalette& paletteOf(tVariableEnv* env);
  // Whether a picture of _imageDimension, or of _imageWidth x
  // _imageHeight, can be made; warns when not.
  bool acceptsDimension(tVariableEnv* env, const tBLAMContext& context) const;
  // Whether _imageWidth or _imageHeight holds a number: the picture then has
  // exactly that size, a side that is not given being the other one.
  static bool hasExactSize(tVariableEnv* env);
  // The side `name` gives, or `other` when it holds no number.
  static double exactSide(tVariableEnv* env, const char* name, const char* other);
  // The new picture, made the application's current one, from the variables.
  static tFractal* makeFractal(tVariableEnv* env, tSession& session);
  // The picture on every CPU granted, byte for byte the row-major one-by-one
  // picture, its share of pixels done kept in the progress record; the
  // milliseconds it took, also traced.
  static double computePicture(tFractal* fractal, tFunction* function, tIterativeSolver* solver,
                               const tBLAMContext& context);
  // The parameter plane instead, on every CPU granted; its milliseconds, traced.
  static double computePlane(tFractal* fractal, const tParameterPlane& plane,
                             tIterativeSolver* solver, const tBLAMContext& context);
  // The milliseconds since begin, traced as the picture's time.
  static double tookSince(std::chrono::steady_clock::time_point begin, const tBLAMContext& context);
  // The read-only variables of the run: its time, its quad-tree dimension,
  // its statistics, the grid Wada test's share and verdict and the speed
  // measures; NaN for a measure that is not defined or not made.
  static tBLAMOutputs::tResults measure(double milliseconds, tFractal* fractal,
                                        const tBasinStatistics& statistics,
                                        const tWadaGrid::tResult& wada,
                                        const tIterationHistogram& iterations);
  // Everything the run's picture depends on, exactly, as text: its name, the
  // function's formulas as they stand (by their values at a few points) and
  // parameters, the solver, the rectangle, size, jitter, flags and seed.
  static std::string settingsOf(tVariableEnv* env, tFunction* function, tIterativeSolver* solver,
                                const std::string& image);
  // Why the run's picture depends on the runs before it; "" when it does not.
  static std::string dependenceOf(tVariableEnv* env);
  // The batch's next image: <batch>-<_outputPrefix>-<_totalImages_> and the
  // extension.
  static std::string imageName(tVariableEnv* env, const std::string& extension);
  // Numbers the batch's next image.
  static void nextImage(tVariableEnv* env);

  // Warns, once per name, about what the run reads that is likely a
  // mistake: a parameter of the function that holds no number (with the
  // closest name set, or a name set that differs from a constant of the
  // function only in its spelling), and _maxIterations or _stepSize changed
  // since the solver was chosen, which only the next use reads.
  void warnAboutReads(tVariableEnv* env, tFunction* function, tIterativeSolver* solver,
                      const tBLAMPlaneSettings& plane, tBLAMProgress& progress);
  // The warning about the function's parameter, if any.
  static std::string describeParameter(const std::string& name, tVariableEnv* env,
                                       tFunction* function);
  // Writes the warning about name, unless one was written before.
  void warnOnce(const std::string& name, const std::string& message, tBLAMProgress& progress);

  std::string functionName_;    // name of the variable that holds the function
  std::string place_;           // where the statement stands in the script
  std::set<std::string> warned_;  // the names warned about
};

#endif
