#ifndef ROOTWEAVER_EXPR_TFUNCTIONCHECK_H
#define ROOTWEAVER_EXPR_TFUNCTIONCHECK_H

#include <ostream>
#include <string>

#include "graphics/tVector2.h"

class tFunction;

// Checks function files the way `rootweaver --check` reports them: for each
// file, the six formulas as read (given, derived or written out from f(z),
// each labelled so), the local constants and the free names a script must
// set, then each of the four derivatives against a central finite
// difference of f1 or f2.
//
// A wrong derivative does not stop a picture, it only makes it wrong, so the
// check looks at POINTS points spread evenly over a rectangle ([-2, 2]^2
// unless set): the additive recurrence of the plastic number, which fills a
// square more evenly than random points and never lands on the rational
// points (the axes, the origin) where formulas are often not smooth. At each
// point the difference quotient with step h = cbrt(eps) max(1, |coordinate|)
// is set against the formula. Neither is exact, so the disagreement is
// measured relative to the larger of the two values plus what the finite
// difference cannot resolve, divided by TOLERANCE: the change from step h to
// step 2h (three times its truncation error) and the rounding of the values
// it subtracts. It stays below TOLERANCE exactly when the two differ by less
// than TOLERANCE times the larger plus that resolution, so a derivative near
// zero is not judged by digits the finite difference cannot give. Points
// where a value is not finite (a pole, an overflow) are skipped. Free names
// hold 0, as in a run that does not set them.
//
// The exit status: 0 when every file reads without a warning and every
// derivative agrees, 1 when a derivative disagrees or is missing, a file
// warns, or its map is refused, 2 for an unreadable file or a usage error.
class tFunctionCheck {
 public:
  static constexpr unsigned POINTS = 200;
  static constexpr double TOLERANCE = 1e-4;
  enum TSTATUS { STATUS_AGREES = 0, STATUS_DISAGREES = 1, STATUS_UNREADABLE = 2 };

  tFunctionCheck() = default;
  void setBounds(double minX, double maxX, double minY, double maxY);
  // Loads the file (a path from the working directory, else a name in
  // "Shared Functions/") without its trace, and reports on it.
  TSTATUS checkFile(const std::string& path, std::ostream& out) const;
  // Reports on a function read under the title; the file's warnings, if it
  // had any, were written by its reader.
  TSTATUS checkFunction(const tFunction& f, const std::string& title, std::ostream& out) const;

 private:
  // The worst disagreement of one derivative over the points.
  struct tComparison {
    unsigned points = 0;    // points where every value was finite
    double worst = 0.0;     // worst relative disagreement (see above)
    tVector2 at;            // where it was
    double formula = 0.0;   // the derivative's formula there
    double estimate = 0.0;  // the finite difference there
  };

  tComparison compare(const tFunction& f, unsigned slot) const;
  // The i-th point of the rectangle, from 1.
  tVector2 pointAt(unsigned i) const;
  void writeFormulas(const tFunction& f, std::ostream& out) const;
  void writeNames(const tFunction& f, std::ostream& out) const;
  // One derivative's line; whether it agrees.
  bool writeComparison(const tFunction& f, unsigned slot, std::ostream& out) const;

  double minX_ = -2.0, maxX_ = 2.0, minY_ = -2.0, maxY_ = 2.0;  // the rectangle of the points
};

#endif
