#pragma once

#include "ViewTypes.h"

namespace Toolkit {

class CFrame;
class CView;

// Watches the pointer over a frame: the view it enters and leaves, every move and every press.
class MouseObserver {
public:
    virtual ~MouseObserver() = default;
    virtual void entered(CView* view, CFrame* frame) = 0;
    virtual void exited(CView* view, CFrame* frame) = 0;
    virtual void moved(CFrame* frame, const ViewPoint& where) = 0;
    virtual void pressed(CFrame* frame, const ViewPoint& where) = 0;
};

}  // namespace Toolkit
