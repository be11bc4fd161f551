#pragma once

#include "ViewTypes.h"

namespace Toolkit {

// Colours of a view that shows a native text entry, which the platform window paints with.
class TextEntryColors {
public:
    virtual ViewColor textEntryFontColor() const = 0;
    virtual ViewColor textEntryBackColor() const = 0;

protected:
    ~TextEntryColors() = default;
};

}  // namespace Toolkit
