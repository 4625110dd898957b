#ifndef ROOTWEAVER_BLAM_TBLAMSTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMSTATEMENT_H

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "blam/tBLAMContext.h"

class tVariableEnv;

// One statement of a BLAM script. Statements are built once by the script's
// parser and may run many times (a batch runs its body once per iteration);
// every run reads the variables it needs at that moment.
class tBLAMStatement {
 public:
  virtual ~tBLAMStatement() = default;

  // Performs the statement against the environment; pictures are made in
  // the context's session, with its solver, and the trace goes to its stream.
  virtual void run(tVariableEnv* env, const tBLAMContext& context) = 0;
  // The statement's part of the load trace.
  virtual void print(std::ostream& trace) const = 0;
  // The statement roughly as written in the script, for progress and
  // warnings: run f, batch "sweep" of 3.
  virtual std::string describe() const = 0;

  // Records the statement as the one running, then runs it.
  void execute(tVariableEnv* env, const tBLAMContext& context);

  // Numbers held by variables, converted without undefined behaviour: NaN
  // and negative values give 0, values above the type's range its maximum,
  // everything else is truncated.
  static std::uint32_t toUnsigned(double value);
  static int toInt(double value);
  // A name of the system: two characters or more, beginning and ending in "_".
  static bool isReserved(const std::string& name);

 protected:
  // One failure of the statement for each reason: "DESCRIPTION: REASON".
  void failEach(const std::vector<std::string>& reasons, tBLAMProgress& progress) const;
};

#endif
