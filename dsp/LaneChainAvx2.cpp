// Compiled with AVX2 enabled; called only when the processor and the operating system support it.
#include "LaneChainKernel.h"

LaneRampEnd runLaneChainAvx2(LaneChainState& state, const LaneChainJob& job, int firstLane) {
    return lanechain::Kernel<xsimd::avx2>::run(state, job, firstLane);
}
