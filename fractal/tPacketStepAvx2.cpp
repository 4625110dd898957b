// tPacketStep for AVX2; this file alone of fractal/ is built with -mavx2
// (never with -mfma: a fused multiply-add would change bits).
#include "expr/tAvx2Lanes.h"
#include "fractal/tPacketStepBody.h"
#include "fractal/tSystemStepBody.h"

void tPacketStep::invertAvx2(const tOutputs& out, double (*inverse)[LANES]) {
  invertWith<tAvx2Lanes>(out, inverse);
}

tPacketStep::tFound tPacketStep::advanceAvx2(SCHEME scheme, bool fullPath,
                                             const tParameters& parameters, const tOutputs& out,
                                             tLanes& lanes, const tPoints& next) {
  return advanceWith<tAvx2Lanes>(scheme, fullPath, parameters, out, lanes, next);
}

tPacketStep::tFound tPacketStep::advanceSecondPointAvx2(SCHEME scheme, bool fullPath,
                                                        const tParameters& parameters,
                                                        const tOutputs& out, tLanes& lanes,
                                                        const tPoints& next) {
  return advanceSecondPointWith<tAvx2Lanes>(scheme, fullPath, parameters, out, lanes, next);
}
