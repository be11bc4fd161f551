// The output format from libsndfile's own tables: its major formats name the extensions, and
// sf_format_check tells which sample formats a container holds for the input's channels and rate.

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <tuple>
#include <vector>

#include "OutputFormat.h"

namespace {

// How much resolution a sample format carries, for choosing the nearest one a container holds.
struct Resolution {
    int bits;
    bool isFloat;
};

struct ChoosableFormat {
    SampleFormat format;
    int subtype;
    Resolution resolution;
};

constexpr std::array<ChoosableFormat, 5> kChoosable = {{
    {SampleFormat::Pcm16, SF_FORMAT_PCM_16, {16, false}},
    {SampleFormat::Pcm24, SF_FORMAT_PCM_24, {24, false}},
    {SampleFormat::Pcm32, SF_FORMAT_PCM_32, {32, false}},
    {SampleFormat::Float, SF_FORMAT_FLOAT, {24, true}},
    {SampleFormat::Double, SF_FORMAT_DOUBLE, {53, true}},
}};

Resolution resolutionOf(int subtype) {
    switch (subtype) {
        case SF_FORMAT_PCM_S8: case SF_FORMAT_PCM_U8: case SF_FORMAT_DPCM_8: return {8, false};
        case SF_FORMAT_DWVW_12: return {12, false};
        case SF_FORMAT_ALAC_20: return {20, false};
        case SF_FORMAT_PCM_24: case SF_FORMAT_ALAC_24: case SF_FORMAT_DWVW_24: return {24, false};
        case SF_FORMAT_PCM_32: case SF_FORMAT_ALAC_32: return {32, false};
        case SF_FORMAT_FLOAT: return {24, true};
        case SF_FORMAT_DOUBLE: return {53, true};
        // Lossy codecs decode to floating point.
        case SF_FORMAT_VORBIS: case SF_FORMAT_OPUS: case SF_FORMAT_MPEG_LAYER_I: case SF_FORMAT_MPEG_LAYER_II:
        case SF_FORMAT_MPEG_LAYER_III: return {24, true};
        // 16-bit PCM and codecs, companding and ADPCM of 16-bit samples.
        default: return {16, false};
    }
}

// Extensions in common use that libsndfile's table names otherwise.
constexpr std::array<std::pair<const char*, const char*>, 2> kExtensionAliases = {
    {{".aif", ".aiff"}, {".ogg", ".oga"}}};

std::string formatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name) return "unknown";
    return info.name;
}

std::vector<SF_FORMAT_INFO> formatTable(int countCommand, int entryCommand) {
    int count = 0;
    sf_command(nullptr, countCommand, &count, sizeof count);
    std::vector<SF_FORMAT_INFO> table(static_cast<std::size_t>(std::max(count, 0)));
    for (int index = 0; index < count; ++index) {
        table[static_cast<std::size_t>(index)].format = index;
        sf_command(nullptr, entryCommand, &table[static_cast<std::size_t>(index)], sizeof(SF_FORMAT_INFO));
    }
    return table;
}

// A file that keeps nothing but its length and position: libsndfile writes a header into it when asked
// whether it can write a format at all, which sf_format_check does not tell (it accepts MPEG where
// libsndfile was built without an encoder).
class NullFile {
public:
    static bool opens(SF_INFO info) {
        NullFile file;
        SF_VIRTUAL_IO io{&NullFile::length, &NullFile::seek, &NullFile::read, &NullFile::write, &NullFile::tell};
        SNDFILE* opened = sf_open_virtual(&io, SFM_WRITE, &info, &file);
        return opened && sf_close(opened) == 0;
    }

private:
    static NullFile& of(void* data) { return *static_cast<NullFile*>(data); }
    static sf_count_t length(void* data) { return of(data).length_; }
    static sf_count_t seek(sf_count_t offset, int whence, void* data) {
        NullFile& file = of(data);
        file.position_ = std::max<sf_count_t>(0, offset + (whence == SEEK_CUR   ? file.position_
                                                           : whence == SEEK_END ? file.length_
                                                                                : 0));
        return file.position_;
    }
    static sf_count_t read(void*, sf_count_t, void*) { return 0; }
    static sf_count_t write(const void*, sf_count_t count, void* data) {
        NullFile& file = of(data);
        file.position_ += count;
        file.length_ = std::max(file.length_, file.position_);
        return count;
    }
    static sf_count_t tell(void* data) { return of(data).position_; }

    sf_count_t length_ = 0;
    sf_count_t position_ = 0;
};

// Which formats libsndfile writes with the input's channels and sample rate.
class FormatCheck {
public:
    explicit FormatCheck(const AudioFileInfo& input)
        : majors_(formatTable(SFC_GET_FORMAT_MAJOR_COUNT, SFC_GET_FORMAT_MAJOR)),
          subtypes_(formatTable(SFC_GET_FORMAT_SUBTYPE_COUNT, SFC_GET_FORMAT_SUBTYPE)) {
        info_.samplerate = input.sampleRate;
        info_.channels = input.channels;
    }

    bool holds(int major, int subtype) const {
        SF_INFO info = info_;
        info.format = major | subtype;
        return sf_format_check(&info) != 0;
    }

    // Whether libsndfile creates a file of this format, not only accepts its description.
    bool writes(int format) const {
        // Sound Designer II keeps part of itself in a second file ("._NAME"), which neither this probe
        // nor a temporary output renamed into place would leave where it belongs.
        if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_SD2) return false;
        SF_INFO info = info_;
        info.format = format;
        return NullFile::opens(info);
    }

    // The first sample format of libsndfile's table that `major` holds.
    std::optional<int> anySubtype(int major) const {
        for (const SF_FORMAT_INFO& subtype : subtypes_)
            if (holds(major, subtype.format)) return subtype.format;
        return std::nullopt;
    }

    // The major formats whose table entry has this extension (with its dot), in table order.
    std::vector<int> majorsNamed(const std::string& extension) const {
        std::vector<int> named;
        for (const SF_FORMAT_INFO& major : majors_)
            if (major.extension && "." + std::string(major.extension) == extension) named.push_back(major.format);
        return named;
    }

    // Every extension that leads to a writable container, aliases included.
    std::string writableExtensions() const {
        std::set<std::string> extensions;
        for (const SF_FORMAT_INFO& major : majors_)
            if (const std::optional<int> subtype = anySubtype(major.format);
                major.extension && subtype && writes(major.format | *subtype))
                extensions.insert("." + std::string(major.extension));
        for (const auto& [alias, extension] : kExtensionAliases)
            if (extensions.contains(extension)) extensions.insert(alias);
        std::string list;
        for (const std::string& extension : extensions) list += (list.empty() ? "" : ", ") + extension;
        return list;
    }

private:
    std::vector<SF_FORMAT_INFO> majors_;
    std::vector<SF_FORMAT_INFO> subtypes_;
    SF_INFO info_{};
};

Expected<int> chooseContainer(const OutputFormatRequest& request, const FormatCheck& check) {
    const int inputMajor = request.inputInfo.encoding & SF_FORMAT_TYPEMASK;
    std::string extension = lowerCaseExtension(request.output);
    if (extension.empty()) return inputMajor;
    for (const auto& [alias, tableExtension] : kExtensionAliases)
        if (extension == alias) extension = tableExtension;
    // An extension may name several containers (.wav: WAV, WAVEX, NIST); the input's is kept if among them.
    const std::vector<int> named = check.majorsNamed(extension);
    if (!named.empty()) return std::ranges::find(named, inputMajor) != named.end() ? inputMajor : named.front();
    if (lowerCaseExtension(request.output) == lowerCaseExtension(request.input)) return inputMajor;
    return Failure{"the output's extension " + request.output.extension().string() +
                   " names no format this renderer writes; use one of " + check.writableExtensions() +
                   ", or none to keep the input's format"};
}

Expected<int> chooseSubtype(const OutputFormatRequest& request, const FormatCheck& check, int major) {
    if (!check.anySubtype(major))
        return Failure{"libsndfile cannot write " + std::to_string(request.inputInfo.channels) + " channels at " +
                       std::to_string(request.inputInfo.sampleRate) + " Hz as " + formatName(major)};
    std::vector<const ChoosableFormat*> held;
    for (const ChoosableFormat& candidate : kChoosable)
        if (check.holds(major, candidate.subtype)) held.push_back(&candidate);

    if (request.sampleFormat) {
        const auto asked = std::ranges::find(kChoosable, *request.sampleFormat, &ChoosableFormat::format);
        if (check.holds(major, asked->subtype)) return asked->subtype;
        std::string offered;
        for (const ChoosableFormat* candidate : held)
            offered += (offered.empty() ? "" : ", ") + sampleFormatName(candidate->format);
        return Failure{formatName(major) + " cannot hold " + sampleFormatName(*request.sampleFormat) + " samples" +
                       (offered.empty() ? "; it stores samples its own way: leave --sample-format out"
                                        : "; choose one of " + offered)};
    }

    const int inputSubtype = request.inputInfo.encoding & SF_FORMAT_SUBMASK;
    if (check.holds(major, inputSubtype)) return inputSubtype;
    // The nearest: the smallest that loses nothing, else the largest there is; among equals the one
    // of the input's kind (integer or float). Failing all, the container's own.
    const Resolution input = resolutionOf(inputSubtype);
    const auto distance = [&](const ChoosableFormat* candidate) {
        const int bits = candidate->resolution.bits;
        return std::tuple(bits < input.bits, bits < input.bits ? -bits : bits,
                          candidate->resolution.isFloat != input.isFloat);
    };
    const ChoosableFormat* nearest = nullptr;
    for (const ChoosableFormat* candidate : held)
        if (!nearest || distance(candidate) < distance(nearest)) nearest = candidate;
    return nearest ? nearest->subtype : *check.anySubtype(major);
}

}  // namespace

Expected<OutputFormat> chooseOutputFormat(const OutputFormatRequest& request) {
    const FormatCheck check(request.inputInfo);
    Expected<int> major = chooseContainer(request, check);
    if (!major) return major.failure();
    Expected<int> subtype = chooseSubtype(request, check, major.value());
    if (!subtype) return subtype.failure();
    if (!check.writes(major.value() | subtype.value()))
        return Failure{"the renderer cannot write " + formatName(major.value()) + ", " + formatName(subtype.value()) +
                       " with this libsndfile"};
    OutputFormat chosen;
    chosen.encoding = major.value() | subtype.value();
    // Vorbis and Opus encode floating point and keep what lies beyond full scale too.
    constexpr std::array kKeeping = {SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE, SF_FORMAT_VORBIS, SF_FORMAT_OPUS};
    chosen.clipsBeyondFullScale = std::ranges::find(kKeeping, subtype.value()) == kKeeping.end();
    chosen.containerHoldsFloat = check.holds(major.value(), SF_FORMAT_FLOAT);
    return chosen;
}
