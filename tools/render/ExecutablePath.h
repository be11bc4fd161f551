#pragma once

// Where the running program's own executable file is. Each platform answers this in its own file:
// ExecutablePathPosix.cpp (Linux) and ExecutablePathWindows.cpp.

#include <filesystem>

#include "Outcome.h"

Expected<std::filesystem::path> executablePath();
