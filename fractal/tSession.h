#ifndef ROOTWEAVER_FRACTAL_TSESSION_H
#define ROOTWEAVER_FRACTAL_TSESSION_H

#include <memory>

#include "fractal/tPictureContext.h"

class tFractal;
class tFunction;
class tIterativeSolver;
class tParameterPlane;

// A series of runs: the function, solver and picture of the current one,
// and the picture context the pictures share (their random sequence and root
// registry). The window owns one, the batch runner one per command; two
// sessions share nothing, so they can compute at once. Replacing a part of
// the run deletes the old object.
class tSession {
 public:
  tSession();
  ~tSession();
  tSession(const tSession&) = delete;
  tSession& operator=(const tSession&) = delete;

  tFunction* getFunction() const { return function_.get(); }
  tIterativeSolver* getSolver() const { return solver_.get(); }
  tFractal* getFractal() const { return fractal_.get(); }
  // Each takes ownership and deletes the object it replaces; null empties the
  // slot. Callers that build a large replacement empty the slot first.
  void setFunction(tFunction* function);
  void setSolver(tIterativeSolver* solver);
  void setFractal(tFractal* fractal);
  // The parameter plane the run draws instead of basins, with the start it
  // reads; null for basins. It is over the current function, so a new
  // function (or none) empties it first.
  const tParameterPlane* getPlane() const { return plane_.get(); }
  void setPlane(std::unique_ptr<tParameterPlane> plane, std::unique_ptr<tFunction> start);

  tPictureContext& getPictureContext() { return context_; }
  tRootManager& getRoots() { return context_.getRoots(); }
  tRandom& getRandom() { return context_.getRandom(); }

 private:
  tPictureContext context_;  // first, so that the picture that refers to it goes before it
  std::unique_ptr<tFunction> function_;
  std::unique_ptr<tIterativeSolver> solver_;
  std::unique_ptr<tFractal> fractal_;
  std::unique_ptr<tFunction> planeStart_;   // the plane's start; null for basins
  std::unique_ptr<tParameterPlane> plane_;  // over function_ and planeStart_; null for basins
};

#endif
