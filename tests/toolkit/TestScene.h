#pragma once

#include <vector>

#include "CDrawContext.h"

namespace ToolkitTest {

constexpr int32_t kSceneWidth = 240;
constexpr int32_t kSceneHeight = 160;

// Draws a scene using every kind of drawing operation: fills, outlines, lines, clips, offsets,
// bitmaps with source offsets and alpha, and text.
void drawScene(Toolkit::CDrawContext* context);

// The rectangles the scene's text may touch; the two backends' anti-aliased glyphs differ there.
std::vector<Toolkit::ViewRect> sceneTextAreas();

}  // namespace ToolkitTest
