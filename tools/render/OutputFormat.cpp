#include "OutputFormat.h"

#include <algorithm>
#include <cctype>

const std::map<std::string, SampleFormat>& sampleFormatsByName() {
    static const std::map<std::string, SampleFormat> names = {{"pcm16", SampleFormat::Pcm16},
                                                              {"pcm24", SampleFormat::Pcm24},
                                                              {"pcm32", SampleFormat::Pcm32},
                                                              {"float", SampleFormat::Float},
                                                              {"double", SampleFormat::Double}};
    return names;
}

std::string sampleFormatName(SampleFormat format) {
    for (const auto& [name, named] : sampleFormatsByName())
        if (named == format) return name;
    return "?";
}

std::string lowerCaseExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}
