#ifndef ROOTWEAVER_BLAM_TBLAMRUNSTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMRUNSTATEMENT_H

#include <string>

#include "blam/tBLAMStatement.h"

class tBLAMImageOutput;
class tBasinStatistics;
class tFractal;
class tFunction;
class tIterativeSolver;

// run NAME: computes one fractal of the function held by NAME with the
// application's current solver, over the rectangle and at the size the
// variables give, its random sequence seeded by _seed when that holds a
// number, measures it (its quad-tree dimension and its basin statistics,
// bound to the read-only variables), shades it by convergence speed when
// _shadeBySpeed asks, then writes the picture as the batch's next numbered
// image in the format of _imageFormat, appends a block describing the run to
// the batch's data file, a row to <batch>-stats.csv and a row per basin to
// <batch>-basins.csv (each output a tBLAMRunOutput).
//
// A run that cannot produce its outputs computes nothing: without a
// function, without a solver, with a picture that cannot be made or an output
// directory that is missing, it says why on standard error and leaves the
// variables as they were. The standard-output trace of a run is only its
// "Cooked fractal in: " line.
class tBLAMRunStatement : public tBLAMStatement {
 public:
  void buildStatement(const std::string& name) { functionName_ = name; }

  void run(tVariableEnv* env) override;
  void print() const override;
  std::string describe() const override;

 private:
  // What the run needs, each null or empty, after a warning, when missing.
  tFunction* findFunction(tVariableEnv* env) const;
  tIterativeSolver* findSolver() const;
  // The output directory, ending in "/", when it can be written to.
  std::string findOutputDirectory(tVariableEnv* env) const;
  // The picture's output for _imageFormat; TGA, after a warning, for a value
  // that names no format.
  const tBLAMImageOutput& findImageOutput(tVariableEnv* env) const;
  // Seeds the random sequence with _seed and gives the seed in decimal; ""
  // when _seed holds no number, and when it holds one that is not a whole
  // number from 0 to tRandom::MAX_SEED (after a warning): the sequence then goes on
  // from where the clock's seed left it.
  std::string seedRandomSequence(tVariableEnv* env) const;
  // The new picture, made the application's current one, from the variables.
  tFractal* makeFractal(tFunction* function, tVariableEnv* env) const;
  // The picture on all cores, byte for byte the row-major one-by-one
  // picture, its share of pixels done kept in the progress record; the
  // milliseconds it took, also traced.
  static double computePicture(tFractal* fractal, tFunction* function, tIterativeSolver* solver);
  // The read-only variables of the statistics; NaN for a measure that is
  // not defined.
  static void bindStatistics(tVariableEnv* env, const tBasinStatistics& statistics);
  // The batch's next image: <batch>-<_outputPrefix>-<_totalImages_> and the
  // extension.
  static std::string imageName(tVariableEnv* env, const std::string& extension);

  std::string functionName_;  // name of the variable that holds the function
};

#endif
