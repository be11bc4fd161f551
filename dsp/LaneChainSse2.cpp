#include "LaneChainKernel.h"

LaneRampEnd runLaneChainSse2(LaneChainState& state, const LaneChainJob& job, int firstLane) {
    return lanechain::Kernel<xsimd::sse2>::run(state, job, firstLane);
}
