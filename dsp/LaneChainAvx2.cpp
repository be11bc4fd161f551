// Compiled with AVX2 enabled; called only when the processor and the operating system support it.
#include "LaneChainKernel.h"

LaneRampEnd runLaneChainAvx2(LaneChainState& state, const LaneChainJob& job, int firstLane) {
    return lanechain::Kernel<lanechain::Lanes<xsimd::avx2, false>>::run(state, job, firstLane);
}

LaneRampEnd runLaneChainAvx2Twin(LaneChainState& state, const LaneChainJob& job, int firstLane) {
    return lanechain::Kernel<lanechain::TwinLanes<xsimd::avx2>>::run(state, job, firstLane);
}

// Two lanes in one 128-bit register, as the baseline kernel, but in the shorter three-operand
// encoding: fewer register copies around the library's exp and log.
LaneRampEnd runLaneChainAvx2Pair(LaneChainState& state, const LaneChainJob& job, int firstLane) {
    return lanechain::Kernel<lanechain::Lanes<xsimd::sse2, true>>::run(state, job, firstLane);
}
