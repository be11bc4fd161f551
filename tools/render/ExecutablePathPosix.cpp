#include "ExecutablePath.h"

Expected<std::filesystem::path> executablePath() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return Failure{"cannot read /proc/self/exe: " + error.message()};
    return self;
}
