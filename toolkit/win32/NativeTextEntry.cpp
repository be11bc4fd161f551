// Placeholder until the native controls land.
#include "NativeTextEntry.h"

namespace Toolkit {

std::unique_ptr<NativeTextEntry> createNativeTextEntry(CFrame&, const NativeTextEntryLayout&, const std::string&,
                                                       NativeTextEntryClient&) {
    return nullptr;
}

}  // namespace Toolkit
