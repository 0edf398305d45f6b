// The pictures the editor dialogs show in their 213 x 209 previews: the sky
// gradation with a dashed marker for each stop, the sun over the sky (or over
// white or black) with the horizon marked, and a picture scaled to the preview
// with its key colour blinking red. The dialogs render with a context of their
// own, so an aborted render of the window never blanks them.
#pragma once

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

inline constexpr int kEditorPreviewWidth = 213, kEditorPreviewHeight = 209;

// A dashed line across row `row`: black in even columns, white in odd ones.
// A row outside the bitmap is left alone.
void DrawDashedRow(WorkBitmap& bitmap, int row);

// RenderSky, then the marker of each stop on its row (StopMarkerRow).
void RedrawSkyPreview(RenderContext& context, WorkBitmap& preview, const SkyGradation& sky);

// The background, RenderSun over it, and the horizon marked on row height / 2.
// The background is `sky` when showSky is set; otherwise white in Sub mode (so
// that the sun stays visible) and black in the others.
void RedrawSunPreview(RenderContext& context, WorkBitmap& preview, const WorkBitmap& sky,
                      bool showSky, const SunSettings& sun);

// The picture's pixel under (x, y) of a preview `areaWidth` x `areaHeight`:
// column Round(x * width / areaWidth), row Round(y * height / areaHeight),
// without wrap-around (past the picture's edge it reads 0).
PackedColour PicturePixelAt(const PixelImage& picture, int x, int y, int areaWidth, int areaHeight);

// The key colour a click at (x, y) picks: the picture's pixel under it
// (PicturePixelAt), a hole read as a pixel of `key` (KeyedPixel), so picking
// a hole keeps the key colour.
PackedColour KeyColourAt(const PixelImage& picture, int x, int y, int areaWidth, int areaHeight,
                         PackedColour key);

// Every preview pixel takes the picture's pixel under it (PicturePixelAt), a
// hole shown as a pixel of the key colour; while `blink` is set, pixels whose
// red, green and blue are the key colour's (holes too) are pure red instead.
void DrawKeyColourPreview(WorkBitmap& preview, const PixelImage& picture, PackedColour key,
                          bool blink);

}  // namespace horizonmill
