#include <sys/wait.h>

#include <cstdlib>

#include "ProgramRun.h"

namespace {

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

}  // namespace

int runProgram(const ProgramRun& run) {
    std::string command = "cd " + quoted(run.workingFolder.string()) + " && " + quoted(run.program.string());
    for (const std::string& argument : run.arguments) command += " " + quoted(argument);
    command += " >" + quoted(run.out.string()) + " 2>" + quoted(run.err.string());
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
