#ifndef ROOTWEAVER_FRACTAL_TPARAMETERPLANE_H
#define ROOTWEAVER_FRACTAL_TPARAMETERPLANE_H

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/tPixel.h"

class tFractal;
class tFunction;
class tIterativeSolver;
class tSolution;
class tVariableEnv;

// A picture of a family of maps over two of its parameters, as the parameter
// planes of root-finding methods are drawn: a pixel's point gives the
// parameters p (its x) and q (its y), one solve runs from a start given as
// formulas of p and q (typically a free critical point), and the pixel is
// black where the solve fails (no convergence or a singular step), otherwise
// coloured by the iterations it took or by the argument of the root it
// reached. Newton's method on z^3 + (c - 1) z - c started at z = 0, over the
// c-plane, fails on open sets: the black islands of Curry, Garnett and
// Sullivan (1983).
//
// No pixel depends on another (there is no root registry and no random
// draw), so threads take rows as they come (tPlaneComputation); each
// evaluates through copies of the map and of the start whose programs take p
// and q as inputs (tFunction::copyWithParameters). A pixel stands for its
// lower-left corner, as in a basin picture.
class tParameterPlane {
 public:
  enum COLORING { BY_ITERATIONS, BY_ROOT };

  // The map f over the parameters named p and q, with the start whose f1 and
  // f2 give its x and y; both with every other number put in.
  tParameterPlane(const tFunction& f, const tFunction& start, const std::string& p,
                  const std::string& q, COLORING coloring);

  // Why f cannot be drawn over p and q, or nothing when it can: a name that
  // is no variable of its formulas would give a picture of one colour.
  static std::string refusalFor(const tFunction& f, const std::string& p, const std::string& q);
  // The two names of "a b" (any white space between, none other); false
  // for other text.
  static bool parseAxes(const std::string& text, std::string& p, std::string& q);
  // The start read from the formulas of its x and y, numbers the
  // environment binds put in (it may be null); null, with the reason in
  // `error`, when they are not two formulas or read a name that is neither
  // p, q nor a number of the environment.
  static std::unique_ptr<tFunction> readStart(const std::string& x, const std::string& y,
                                              const std::string& p, const std::string& q,
                                              tVariableEnv* env, std::string& error);
  // The colouring a setting names: "iterations" or "root"; false for others.
  static bool parseColoring(const std::string& text, COLORING& coloring);
  // The colour of a solve's outcome with the solver's iteration limit.
  static tPixel colorOf(const tSolution& solution, COLORING coloring, uint32_t maxIterations);

  // The maps a thread evaluates: copies of the map and the start that take
  // the two parameters as inputs.
  struct tCopies {
    std::unique_ptr<tFunction> f;
    std::unique_ptr<tFunction> start;
  };
  tCopies makeCopies() const;
  // The colours of one row of the picture, into row (as wide as the picture).
  void paintRow(const tCopies& copies, const tFractal& picture, const tIterativeSolver& solver,
                unsigned row, tPixel* colors) const;

 private:
  const tFunction& f_;      // the family of maps
  const tFunction& start_;  // f1 and f2: the start point's coordinates
  std::string p_;           // the parameter along x
  std::string q_;           // the parameter along y
  COLORING coloring_;       // how a solve that ends at a root is coloured
};

#endif
