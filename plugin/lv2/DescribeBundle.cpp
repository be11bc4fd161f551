// Writes the Turtle files of the LV2 bundle from the parameter table, the factory programs and the
// port layout of Lv2Ports.h: manifest.ttl, korvel.ttl (the plug-ins and their ports) and presets.ttl
// (the factory programs as presets of each plug-in).
// Usage: korvel-lv2-describe FOLDER BINARY_FILE_NAME

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>

#include "Lv2Ports.h"
#include "Programs.h"

using namespace Parameters;
using namespace Lv2;

namespace {

constexpr const char* kPrefixes =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// A port value as a Turtle number that reads back as the same float.
std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string result = text;
    if (result.find_first_of(".e") == std::string::npos) result += ".0";
    return result;
}

// A value a port or preset announces must come back as the same parameter value: otherwise a host
// that sets it would play something else than the program or default it stands for.
bool readsBack(int index, float value, const std::string& context) {
    const float real = std::strtof(number(portValue(index, value)).c_str(), nullptr);
    if (parameterValue(index, real) == value) return true;
    std::cerr << "korvel-lv2-describe: " << context << ": " << name(index) << " " << value << " reads back as "
              << parameterValue(index, real) << "\n";
    return false;
}

std::string presetUri(const Lv2::Variant& variant, int program) {
    return std::string(variant.uri) + ":preset:" + std::to_string(program + 1);
}

bool writeManifest(std::ostream& out, const std::string& binary) {
    out << kPrefixes;
    for (const Lv2::Variant& variant : Lv2::kVariants) {
        out << "<" << variant.uri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << binary
            << "> ;\n    rdfs:seeAlso <korvel.ttl> .\n\n";
        for (int program = 0; program < Programs::kFactoryCount; ++program)
            out << "<" << presetUri(variant, program) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << variant.uri
                << "> ;\n    rdfs:seeAlso <presets.ttl> .\n\n";
    }
    return true;
}

void writeControlPort(std::ostream& out, int index) {
    out << "        a lv2:InputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << quoted(name(index)) << " ;\n"
        << "        lv2:name " << quoted(name(index)) << " ;\n"
        << "        lv2:default " << number(portDefault(index)) << " ;\n"
        << "        lv2:minimum " << number(portMinimum(index)) << " ;\n"
        << "        lv2:maximum " << number(portMaximum(index));
    if (Lv2::isToneBand(index) || index == kVolume) out << " ;\n        units:unit units:db";
    if (index == kOversample) {
        out << " ;\n        lv2:portProperty lv2:integer, lv2:enumeration";
        for (int entry = 0; entry < kFactorCount; ++entry)
            out << " ;\n        lv2:scalePoint [ rdfs:label \"" << kFactors[entry] << "x\" ; rdf:value "
                << number(static_cast<float>(kFactors[entry])) << " ]";
    }
    out << "\n";
}

void writeAudioPort(std::ostream& out, int index, bool input, int channel) {
    out << "        a lv2:AudioPort, " << (input ? "lv2:InputPort" : "lv2:OutputPort") << " ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << quoted(Lv2::audioSymbol(input, channel)) << " ;\n"
        << "        lv2:name " << quoted(Lv2::audioName(input, channel)) << "\n";
}

bool writePlugins(std::ostream& out) {
    out << kPrefixes;
    bool good = true;
    for (const Lv2::Variant& variant : Lv2::kVariants) {
        out << "<" << variant.uri << ">\n"
            << "    a lv2:Plugin, lv2:DistortionPlugin, doap:Project ;\n"
            << "    doap:name " << quoted(variant.name) << " ;\n"
            << "    doap:maintainer [ foaf:name \"Quillon Audio\" ] ;\n"
            << "    lv2:minorVersion 0 ;\n    lv2:microVersion 0 ;\n"
            << "    lv2:optionalFeature lv2:hardRTCapable, opts:options, urid:map ;\n"
            << "    opts:supportedOption bufsz:maxBlockLength, bufsz:nominalBlockLength ;\n"
            << "    lv2:port [\n";
        for (int index = 0; index < Lv2::kControlPorts; ++index) {
            writeControlPort(out, index);
            out << "    ] , [\n";
            good = readsBack(index, kDefinitions[index].defaultValue, "default") && good;
        }
        for (int channel = 0; channel < variant.channels; ++channel) {
            writeAudioPort(out, Lv2::inputPort(channel), true, channel);
            out << "    ] , [\n";
        }
        for (int channel = 0; channel < variant.channels; ++channel) {
            writeAudioPort(out, Lv2::outputPort(variant, channel), false, channel);
            out << (channel + 1 < variant.channels ? "    ] , [\n" : "    ] .\n\n");
        }
    }
    return good;
}

// Each preset holds the values a program change puts in force; Oversample stays as it is.
bool writePresets(std::ostream& out) {
    out << kPrefixes;
    ProgramRecord bank[Programs::kBankSize];
    Programs::buildBank(bank);
    bool good = true;
    for (const Lv2::Variant& variant : Lv2::kVariants) {
        for (int program = 0; program < Programs::kFactoryCount; ++program) {
            const ProgramContents contents = bank[program].contents();
            out << "<" << presetUri(variant, program) << ">\n"
                << "    a pset:Preset ;\n"
                << "    lv2:appliesTo <" << variant.uri << "> ;\n"
                << "    rdfs:label " << quoted(contents.name) << " ;\n"
                << "    lv2:port";
            const char* separator = " ";
            for (int index : kStorageOrder) {
                if (!carriedByPrograms(index)) continue;
                out << separator << "[\n        lv2:symbol " << quoted(name(index)) << " ;\n        pset:value "
                    << number(portValue(index, contents.value(index))) << "\n    ]";
                separator = " , ";
                good = readsBack(index, contents.value(index), contents.name) && good;
            }
            out << " .\n\n";
        }
    }
    return good;
}

bool writeFile(const std::string& path, const std::function<bool(std::ostream&)>& write) {
    std::ostringstream text;
    if (!write(text)) return false;
    std::ofstream file(path, std::ios::binary);
    file << text.str();
    file.close();
    if (file) return true;
    std::cerr << "korvel-lv2-describe: cannot write " << path << "\n";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: korvel-lv2-describe FOLDER BINARY_FILE_NAME\n";
        return 2;
    }
    const std::string folder = argv[1];
    const std::string binary = argv[2];
    const bool written =
        writeFile(folder + "/korvel.ttl", writePlugins) && writeFile(folder + "/presets.ttl", writePresets) &&
        writeFile(folder + "/manifest.ttl", [&](std::ostream& out) { return writeManifest(out, binary); });
    return written ? 0 : 1;
}
