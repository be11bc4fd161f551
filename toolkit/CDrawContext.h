#pragma once

#include <cstdint>
#include <memory>

#include "CBaseObject.h"
#include "ViewTypes.h"

namespace Toolkit {

namespace Platform {
class Graphics;
}
class CFontDesc;
class CView;

enum DrawStyle : int32_t { kDrawStroked = 0, kDrawFilled = 1, kDrawFilledAndStroked = 2 };
enum LineStyle : int32_t { kLineSolid = 0, kLineDashed = 1 };
enum DrawMode : int32_t { kDrawPlain = 0, kDrawAntialiased = 1 };
// Horizontal placement of a string in a rectangle; any other value centres.
enum TextAlignment : int32_t { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

// Where views paint. Every coordinate given to a drawing operation is a view coordinate to which
// the context's offset is added; the pen position and the clip are kept in device coordinates.
// A context without a platform target (no window, no device context) accepts every call and draws
// nothing.
class CDrawContext : public CBaseObject {
public:
    // A context on a window or its device context (either may be null) belonging to frame. The
    // first clip is frameRect: the frame's rectangle, or (0, 0, 1000, 1000) without a frame.
    CDrawContext(CView* frame, void* deviceContext, void* window,
                 const ViewRect& frameRect = ViewRect{0, 0, 1000, 1000});
    ~CDrawContext() override;

    void moveTo(const ViewPoint& point);
    void lineTo(const ViewPoint& point);
    // Stroke inside the rectangle, fill of its area, or both; works for right < left or bottom < top.
    void drawRect(const ViewRect& rect, DrawStyle style = kDrawStroked);

    void setLineWidth(int32_t width);
    int32_t lineWidth() const { return penWidth; }
    void setLineStyle(LineStyle style);
    LineStyle lineStyle() const { return penStyle; }
    void setDrawMode(DrawMode mode);
    DrawMode drawMode() const { return mode; }
    void setFrameColor(ViewColor color);
    ViewColor frameColor() const { return penColor; }
    void setFillColor(ViewColor color);
    ViewColor fillColor() const { return brushColor; }
    void setFontColor(ViewColor color);
    ViewColor fontColor() const { return textColor; }

    // Replaces the clip with rect (view coordinates).
    void setClipRect(const ViewRect& rect);
    // The clip in view coordinates (the device clip minus the offset), so it can be set back.
    ViewRect clipRect() const { return deviceClip.offsetBy(ViewPoint{} - drawOffset); }
    ViewRect deviceClipRect() const { return deviceClip; }

    // Uses font itself when size (<= 0: the font's) and style (-1: the font's) match it, else a new
    // font of that name with the size and style asked for.
    void setFont(CFontDesc* font, int32_t size = 0, int32_t style = -1);
    CFontDesc* font() const { return currentFont; }
    // Width of the text in the current font, truncated; -1 without font or target.
    int32_t stringWidth(const char* utf8);
    // Draws the text with its baseline at point.y.
    void drawString(const char* utf8, const ViewPoint& point, bool antialias = true);
    // Draws the text in the rectangle, vertically centred on the font size, aligned horizontally,
    // and clipped to the rectangle.
    void drawString(const char* utf8, const ViewRect& rect, int32_t alignment = kAlignCentre, bool antialias = true);

    void setOffset(const ViewPoint& point) { drawOffset = point; }
    ViewPoint offset() const { return drawOffset; }
    ViewPoint penPosition() const { return pen; }
    ViewPoint windowOrigin() const { return screenOrigin; }
    CView* frame() const { return owner; }
    void* window() const { return platformWindow; }
    void* deviceContext() const { return platformDevice; }

    // The platform target, or null when the context draws nothing.
    Platform::Graphics* graphics() { return target.get(); }

protected:
    // A context on a target made elsewhere (an offscreen image's).
    CDrawContext(CView* frame, std::unique_ptr<Platform::Graphics> graphics, const ViewRect& clip);
    // Destroys the platform target before the image it draws into goes.
    void dropGraphics();

private:
    void applyInitialState();

    ViewPoint screenOrigin;
    ViewPoint drawOffset;
    void* platformDevice = nullptr;
    void* platformWindow = nullptr;
    CView* owner = nullptr;
    CFontDesc* currentFont = nullptr;
    ViewColor textColor{255, 255, 255, 255};
    ViewPoint pen;
    int32_t penWidth = 1;
    ViewColor penColor{255, 255, 255, 255};
    ViewColor brushColor{0, 0, 0, 255};
    LineStyle penStyle = kLineSolid;
    DrawMode mode = kDrawPlain;
    ViewRect deviceClip;
    std::unique_ptr<Platform::Graphics> target;
};

}  // namespace Toolkit
