#include "LaneChainKernel.h"

LaneRampEnd runLaneChainSse2(LaneChainState& state, const LaneChainJob& job, int firstLane) {
    return lanechain::Kernel<lanechain::Lanes<xsimd::sse2, true>>::run(state, job, firstLane);
}

LaneRampEnd runLaneChainSse2Twin(LaneChainState& state, const LaneChainJob& job, int firstLane) {
    return lanechain::Kernel<lanechain::TwinLanes<xsimd::sse2>>::run(state, job, firstLane);
}
