// Placeholder until the native controls land.
#include "NativePopupMenu.h"

namespace Toolkit {

namespace {
class NoPopupMenu : public NativePopupMenu {
public:
    std::optional<int32_t> track(const PopupMenuModel&, const ViewPoint&, bool) override { return std::nullopt; }
};
}  // namespace

std::unique_ptr<NativePopupMenu> createNativePopupMenu(CFrame&) { return std::make_unique<NoPopupMenu>(); }

}  // namespace Toolkit
