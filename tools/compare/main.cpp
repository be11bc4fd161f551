// korvel-compare: tells the largest difference between two sound files of the same shape and whether
// it lies within a tolerance. Exit code 0 within, 1 beyond, 2 when the files cannot be compared.

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>

#include "SoundComparison.h"

int main(int argc, char** argv) {
    CLI::App app{"Compares two sound files sample by sample and prints their largest difference.", "korvel-compare"};
    app.allow_windows_style_options(false);  // an argument that starts with a slash is a path
    std::string first, second;
    double tolerance = 0.0;
    app.add_option("first", first, "A sound file")->required();
    app.add_option("second", second, "A sound file of the same channels, sample rate and length")->required();
    app.add_option("--tolerance", tolerance, "Largest absolute difference still accepted (default 0: identical)")
        ->check(CLI::NonNegativeNumber);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;
    }

    Expected<SoundDifference> difference = compareSoundFiles(first, second);
    if (!difference) {
        std::cerr << "korvel-compare: " << difference.message() << "\n";
        return 2;
    }
    const SoundDifference& found = difference.value();
    const double decibels =
        found.largest > 0.0 ? 20.0 * std::log10(found.largest) : -std::numeric_limits<double>::infinity();
    std::printf("largest difference %.3g (%.1f dB) at frame %lld, channel %d, over %lld frames; tolerance %.3g\n",
                found.largest, decibels, static_cast<long long>(found.frame), found.channel,
                static_cast<long long>(found.frames), tolerance);
    return found.largest <= tolerance ? 0 : 1;
}
