#pragma once

// The module the renderer uses when none is named: the one built beside it.

#include <filesystem>

#include "Outcome.h"

// Looks, relative to this executable's own folder, at the module's place in the build tree and then
// at the module file in that folder itself. The failure lists every place it looked at.
Expected<std::filesystem::path> defaultModulePath();
