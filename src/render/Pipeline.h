// RenderBackground: every layer of the panorama, in a fixed order, into a target
// bitmap: sky, sun, stars, ceiling, the reflection pass, ground, objects. Between
// stages the preview is refreshed; the host sees stage messages and progress.
#pragma once

#include <functional>
#include <string_view>

#include "image/WorkBitmap.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

struct RenderContext;  // render/RenderContext.h

// The size of the main window's preview area, and of PreviewBitmap.
inline constexpr int kPreviewWidth = 409;
inline constexpr int kPreviewHeight = 307;
// Shown on the cleared preview area after an aborted render.
inline constexpr std::string_view kAbortedMessage = "作画は中止されました。";

// Renders the scene into `target`, which is either `preview` (a preview render:
// stars are thinned to the output's density and drawn as single pixels) or the
// full-size output bitmap, whose size the caller has set. A preview render uses
// the calling thread alone (context.Threads counts for the output only), so the
// host may show the preview while events run. The scene is not
// const: placeholders may fill its texture slots, the object pass rewrites the
// pictures' alpha and leaves random placements in the entries. context.Rendering
// is set while it runs; it must not be entered again while it runs (from the
// host's event processing, say): that is a programmer error, caught by an assert.
void RenderBackground(RenderContext& context, SceneSettings& scene, WorkBitmap& target,
                      WorkBitmap& preview);

// Copies row i to row H - 1 - i for i = 0 .. H div 2, in increasing i, so the
// upper half ends mirrored onto the lower half.
void MirrorUpperHalf(WorkBitmap& bitmap);
// Copies target rows h .. 2h - 1 into reflection rows 0 .. h - 1, h being the
// reflection's height (H div 2); for odd H the last target row is not copied.
void CopyLowerHalf(WorkBitmap& reflection, const WorkBitmap& target);
// The same, asking `stop` after every kCopyBlockRows rows (a large image
// takes a while): when it says true, the copying ends there and false is
// returned.
inline constexpr int kCopyBlockRows = 256;
bool MirrorUpperHalf(WorkBitmap& bitmap, const std::function<bool()>& stop);
bool CopyLowerHalf(WorkBitmap& reflection, const WorkBitmap& target,
                   const std::function<bool()>& stop);

// The number of stars for the preview: Round(number / r) with r the output area
// over the preview area. A resolution that is not positive leaves the number as
// it is; the result is kept within the 32-bit range.
std::int32_t PreviewStarCount(std::int32_t number, long double resX, long double resY);

// Makes sure a layer that is switched on has a texture to draw: the checkerboard
// for an empty name, the "無" tile when no file of that name exists, otherwise
// the texture loaded earlier. False when a placeholder could not be allocated.
bool CheckLayerTexture(const std::string& filename, PixelImagePtr& slot);

}  // namespace horizonmill
