// tPacketStep for SSE2, the set every x86-64 processor has.
#include "expr/tSse2Lanes.h"
#include "fractal/tPacketStepBody.h"
#include "fractal/tSystemStepBody.h"

void tPacketStep::invertSse2(const tOutputs& out, double (*inverse)[LANES]) {
  invertWith<tSse2Lanes>(out, inverse);
}

tPacketStep::tFound tPacketStep::advanceSse2(SCHEME scheme, bool fullPath,
                                             const tParameters& parameters, const tOutputs& out,
                                             tLanes& lanes, const tPoints& next) {
  return advanceWith<tSse2Lanes>(scheme, fullPath, parameters, out, lanes, next);
}

tPacketStep::tFound tPacketStep::advanceSecondPointSse2(SCHEME scheme, bool fullPath,
                                                        const tParameters& parameters,
                                                        const tOutputs& out, tLanes& lanes,
                                                        const tPoints& next) {
  return advanceSecondPointWith<tSse2Lanes>(scheme, fullPath, parameters, out, lanes, next);
}
