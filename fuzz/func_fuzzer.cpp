// libFuzzer target: the bytes as the contents of a function file, read, then
// evaluated at a few points by the compiled programs, one point at a time and
// in a packet, and by the tree walk. The three must agree bit for bit (a
// not-a-number's payload aside); a difference stops the run. The same again
// after a script's values are put in, as a batch run does.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "expr/tFunction.h"
#include "fuzz/tFuzzSupport.h"

namespace {

const double kCoordinates[] = {0.0, 1.0, -0.5, -2.0, 2.0, 3.0, 1e300, -1e-300};
const unsigned kCount = sizeof kCoordinates / sizeof kCoordinates[0];
const unsigned kLanes = tFormulaProgram::LANES;

void expectSame(double a, double b) {
  if (a == b || (std::isnan(a) && std::isnan(b))) return;
  std::abort();
}

// Every output of the program for every lane of one packet against the same
// point evaluated alone.
void checkPacket(const tFormulaProgram& program, const double* x, const double* y) {
  std::vector<double> scratch(std::size_t{program.getRegisterCount()} * kLanes);
  program.prepareScratch(scratch.data());
  double packet[tFormulaProgram::MAX_OUTPUTS][kLanes];
  program.evaluatePacket(x, y, ~0u, scratch.data(), packet);
  for (unsigned lane = 0; lane < kLanes; ++lane) {
    double single[tFormulaProgram::MAX_OUTPUTS];
    program.evaluate(x[lane], y[lane], single);
    for (unsigned k = 0; k < tFormulaProgram::MAX_OUTPUTS; ++k)
      expectSame(single[k], packet[k][lane]);
  }
}

// Every way of evaluating the function at the points of the packet.
void checkEvaluations(const tFunction& function) {
  double x[kLanes];
  double y[kLanes];
  for (unsigned lane = 0; lane < kLanes; ++lane) {
    x[lane] = kCoordinates[lane % kCount];
    y[lane] = kCoordinates[(lane * 3 + 1) % kCount];
    const tVector2 point(x[lane], y[lane]);
    const tVector2 value = function.value(point);
    const tVector2 valueByTree = function.valueByTree(point);
    expectSame(value[0], valueByTree[0]);
    expectSame(value[1], valueByTree[1]);
    const tMatrix2 inverse = function.jacobianInverse(point);
    const tMatrix2 inverseByTree = function.jacobianInverseByTree(point);
    for (unsigned r = 0; r < 2; ++r)
      for (unsigned c = 0; c < 2; ++c) expectSame(inverse(r, c), inverseByTree(r, c));
  }
  checkPacket(function.getProgram(), x, y);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silenceTraces();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tFunction function;
  function.readText(std::string(reinterpret_cast<const char*>(data), size));
  checkEvaluations(function);
  // Every variable of the formulas gets a value from a script, which wins
  // over a local constant of the same name.
  std::set<std::string> names;
  function.freeVars(names);
  tVariableEnv env;
  double value = -1.5;
  for (const std::string& name : names) env.extend(name, value += 1.25);
  function.substituteVars(&env);
  checkEvaluations(function);
  return 0;
}
