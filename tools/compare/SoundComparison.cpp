#include "SoundComparison.h"

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "AudioFile.h"

namespace {

constexpr int kBlockFrames = 4096;

// One block of planar channels read from a file.
class BlockReader {
public:
    explicit BlockReader(AudioFile& file)
        : file_(file), samples_(static_cast<std::size_t>(file.info().channels), std::vector<float>(kBlockFrames)) {
        for (std::vector<float>& channel : samples_) pointers_.push_back(channel.data());
    }
    Expected<int> next() { return file_.read(pointers_.data(), kBlockFrames); }
    float sample(int channel, int frame) const { return samples_[channel][frame]; }

private:
    AudioFile& file_;
    std::vector<std::vector<float>> samples_;
    std::vector<float*> pointers_;
};

std::string shape(const AudioFileInfo& info) {
    return std::to_string(info.channels) + " ch, " + std::to_string(info.sampleRate) + " Hz, " +
           std::to_string(info.frames) + " frames";
}

}  // namespace

Expected<SoundDifference> compareSoundFiles(const std::filesystem::path& first, const std::filesystem::path& second) {
    Expected<std::unique_ptr<AudioFile>> a = AudioFile::openForReading(first);
    if (!a) return a.failure();
    Expected<std::unique_ptr<AudioFile>> b = AudioFile::openForReading(second);
    if (!b) return b.failure();
    const AudioFileInfo& infoA = a.value()->info();
    const AudioFileInfo& infoB = b.value()->info();
    if (infoA.channels != infoB.channels || infoA.sampleRate != infoB.sampleRate || infoA.frames != infoB.frames)
        return Failure{"the files differ in shape: " + first.string() + " has " + shape(infoA) + ", " +
                       second.string() + " has " + shape(infoB)};

    BlockReader readerA(*a.value()), readerB(*b.value());
    SoundDifference difference;
    for (;;) {
        Expected<int> framesA = readerA.next();
        if (!framesA) return framesA.failure();
        Expected<int> framesB = readerB.next();
        if (!framesB) return framesB.failure();
        if (framesA.value() != framesB.value()) return Failure{"the files end at different frames"};
        if (framesA.value() == 0) return difference;
        for (int channel = 0; channel < infoA.channels; ++channel) {
            for (int frame = 0; frame < framesA.value(); ++frame) {
                const double gap = std::fabs(static_cast<double>(readerA.sample(channel, frame)) -
                                             static_cast<double>(readerB.sample(channel, frame)));
                // NaN on either side counts as the largest possible difference.
                if (gap > difference.largest || std::isnan(gap)) {
                    difference.largest = std::isnan(gap) ? std::numeric_limits<double>::infinity() : gap;
                    difference.frame = difference.frames + frame;
                    difference.channel = channel;
                }
            }
        }
        difference.frames += framesA.value();
    }
}
