#pragma once

// Runs a program to its end, as the tests run the renderer. Each platform does this in its own file:
// ProgramRunPosix.cpp and ProgramRunWindows.cpp.

#include <filesystem>
#include <string>
#include <vector>

struct ProgramRun {
    std::filesystem::path program;
    std::vector<std::string> arguments;
    std::filesystem::path workingFolder;
    // Files that receive standard output and standard error.
    std::filesystem::path out;
    std::filesystem::path err;
};

// The program's exit code, or -1 when it could not be started or did not exit normally.
int runProgram(const ProgramRun& run);
