// Drives a fresh effect through random sequences of host calls: dispatcher opcodes with odd
// arguments, parameter and program changes, and blocks of random length with random audio.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "VstInterface.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);

namespace {

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Reads the fuzzer's bytes as typed values; zeros once they run out.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return position_ >= size_; }
    template <typename T>
    T next() {
        T value{};
        const std::size_t count = std::min(sizeof(T), size_ - std::min(position_, size_));
        if (count) std::memcpy(&value, data_ + position_, count);
        position_ += sizeof(T);
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

constexpr int kMaxFrames = 4096;
constexpr int kChannels = 6;

struct Buffers {
    std::vector<float> input[kChannels];
    std::vector<float> output[kChannels];
    float* inputs[kChannels];
    float* outputs[kChannels];
    char text[512];
    Buffers() {
        for (int channel = 0; channel < kChannels; ++channel) {
            input[channel].assign(kMaxFrames, 0.0f);
            output[channel].assign(kMaxFrames, 0.0f);
            inputs[channel] = input[channel].data();
            outputs[channel] = output[channel].data();
        }
    }
};

void dispatchSomething(AEffect* effect, ByteReader& bytes, Buffers& buffers) {
    VstInt32 opcode = bytes.next<std::uint8_t>() % 82;
    if (opcode == effClose) opcode = effGetProgram;
    const VstInt32 index = bytes.next<std::int32_t>();
    VstIntPtr value = bytes.next<std::int64_t>();
    const float opt = bytes.next<float>();
    const bool withPointer = bytes.next<std::uint8_t>() & 1;
    void* arrangements[2] = {&buffers, &buffers};
    if (opcode == effGetSpeakerArrangement) value = withPointer ? reinterpret_cast<VstIntPtr>(&arrangements[0]) : 0;
    if (opcode == effSetBlockSize) value %= 1 << 20;  // sizes up to a million frames: allocation is real
    std::memset(buffers.text, 0, sizeof buffers.text);
    const std::size_t nameLength = bytes.next<std::uint8_t>() % 64;
    for (std::size_t i = 0; i < nameLength; ++i) buffers.text[i] = static_cast<char>('A' + i % 26);
    // Opcodes that write a pointer back get room for one; the others get a text buffer.
    const bool returnsPointer = opcode == effGetSpeakerArrangement || opcode == effEditGetRect || opcode == effGetChunk;
    void* pointer = nullptr;
    if (withPointer) pointer = returnsPointer ? static_cast<void*>(&arrangements[1]) : static_cast<void*>(buffers.text);
    effect->dispatcher(effect, opcode, index, value, pointer, opt);
}

void processSomething(AEffect* effect, ByteReader& bytes, Buffers& buffers) {
    const int frames = static_cast<int>(bytes.next<std::uint16_t>() % (kMaxFrames + 1)) - (bytes.next<std::uint8_t>() == 0 ? 100 : 0);
    const float level = bytes.next<float>();
    for (int channel = 0; channel < kChannels; ++channel)
        for (int i = 0; i < kMaxFrames; ++i) buffers.input[channel][i] = i % 7 == channel ? level : -level * 0.5f;
    effect->processReplacing(effect, buffers.inputs, buffers.outputs, frames);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AEffect* effect = VSTPluginMain(hostCallback);
    if (!effect) return 0;
    static Buffers buffers;
    ByteReader bytes(data, size);
    for (int step = 0; step < 64 && !bytes.empty(); ++step) {
        switch (bytes.next<std::uint8_t>() % 4) {
        case 0:
            dispatchSomething(effect, bytes, buffers);
            break;
        case 1: {
            const VstInt32 index = bytes.next<std::uint8_t>() % 10 - 1;
            effect->setParameter(effect, index, bytes.next<float>());
            effect->getParameter(effect, index);
            break;
        }
        case 2:
            effect->dispatcher(effect, effSetProgram, 0, bytes.next<std::int8_t>(), nullptr, 0.0f);
            break;
        default:
            processSomething(effect, bytes, buffers);
            break;
        }
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
