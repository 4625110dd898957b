#ifndef ROOTWEAVER_BLAM_TBLAMRUNSTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMRUNSTATEMENT_H

#include <string>

#include "blam/tBLAMStatement.h"

class tFractal;
class tFunction;
class tIterativeSolver;

// run NAME: computes one fractal of the function held by NAME with the
// application's current solver, over the rectangle and at the size the
// variables give, then writes the picture as the batch's next numbered TGA
// image and appends a block describing the run to the batch's data file.
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
  // The picture on all cores, byte for byte the row-major one-by-one
  // picture, its share of pixels done kept in the progress record.
  static void computePicture(tFractal* fractal, tFunction* function, tIterativeSolver* solver);
  // The block of the data file for this run.
  void writeDataBlock(const std::string& path, const std::string& imageName, tFunction* function,
                      tIterativeSolver* solver, double milliseconds, tVariableEnv* env) const;

  std::string functionName_;  // name of the variable that holds the function
};

#endif
