// Where AudioFile is the WAV reader and writer, every output is a WAV file: any other extension is
// refused. WAV holds all five sample formats, and the input (a WAV file too) always has one of them.

#include "OutputFormat.h"
#include "WavFormat.h"

namespace {

WavSampleFormat wavSampleFormat(SampleFormat format) {
    switch (format) {
        case SampleFormat::Pcm16: return WavSampleFormat::Pcm16;
        case SampleFormat::Pcm24: return WavSampleFormat::Pcm24;
        case SampleFormat::Pcm32: return WavSampleFormat::Pcm32;
        case SampleFormat::Float: return WavSampleFormat::Float32;
        case SampleFormat::Double: return WavSampleFormat::Float64;
    }
    return WavSampleFormat::Float32;
}

}  // namespace

Expected<OutputFormat> chooseOutputFormat(const OutputFormatRequest& request) {
    const std::string extension = lowerCaseExtension(request.output);
    if (!extension.empty() && extension != ".wav" && extension != lowerCaseExtension(request.input))
        return Failure{"the output's extension " + request.output.extension().string() +
                       " names no format this renderer writes; it writes WAV files only: name the output .wav"};
    const WavSampleFormat sampleFormat =
        request.sampleFormat ? wavSampleFormat(*request.sampleFormat)
                             : wavSampleFormatOf(request.inputInfo.encoding).value_or(WavSampleFormat::Float32);
    const WavFormat format{sampleFormat, request.inputInfo.channels, request.inputInfo.sampleRate};
    OutputFormat chosen;
    chosen.encoding = wavEncodingOf(sampleFormat);
    chosen.clipsBeyondFullScale = !format.isFloat();
    chosen.containerHoldsFloat = true;
    return chosen;
}
