#include "LaneChain.h"

LaneRampEnd runLaneChainSse2(LaneChainState& state, const LaneChainJob& job, int firstLane);
LaneRampEnd runLaneChainSse2Twin(LaneChainState& state, const LaneChainJob& job, int firstLane);
LaneRampEnd runLaneChainAvx2(LaneChainState& state, const LaneChainJob& job, int firstLane);
LaneRampEnd runLaneChainAvx2Twin(LaneChainState& state, const LaneChainJob& job, int firstLane);
LaneRampEnd runLaneChainAvx2Pair(LaneChainState& state, const LaneChainJob& job, int firstLane);

SimdLevel bestSimdLevel() {
    // Checks the processor and that the operating system saves the wide registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? SimdLevel::Avx2 : SimdLevel::Sse2;
}

LaneKernel laneKernelFor(SimdLevel level, int channels) {
    // A twin runs two registers of lanes as two chains that overlap in the processor.
    const LaneKernel sse2{2, runLaneChainSse2}, sse2Twin{4, runLaneChainSse2Twin};
    const LaneKernel avx2Pair{2, runLaneChainAvx2Pair}, avx2{4, runLaneChainAvx2}, avx2Twin{8, runLaneChainAvx2Twin};
    switch (level) {
    case SimdLevel::Sse2: return channels <= 2 ? sse2 : sse2Twin;
    case SimdLevel::Avx2: return channels <= 2 ? avx2Pair : channels <= 4 ? avx2 : avx2Twin;
    default: return {};
    }
}
