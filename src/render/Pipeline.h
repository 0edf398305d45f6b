// RenderBackground: every layer of a prepared scene, in a fixed order, into a
// target bitmap: sky, sun, stars, ceiling, the reflection pass, ground,
// objects. Between stages the preview is refreshed; the render's port hears
// of the stages, the progress, the preview and what the render could not do.
#pragma once

#include <functional>

#include "image/WorkBitmap.h"
#include "render/PreparedScene.h"

namespace horizonmill {

struct RenderContext;  // render/RenderContext.h

// The size of the main window's preview area, and of PreviewBitmap.
inline constexpr int kPreviewWidth = 409;
inline constexpr int kPreviewHeight = 307;

// Renders the prepared scene into `target`, which is either `preview` (a
// preview render: stars are thinned to the output's density and drawn as single
// pixels; usually the preview area's size, larger for a large thumbnail) or the
// full-size output bitmap, whose size the caller has set. A preview render uses
// the calling thread alone (context.Threads counts for the output only).
// Reports through context.Port, in this order: each stage's start with its
// message, progress at every poll, the preview ready after each stage (a full
// render scaled into `preview` first) and at the end, what could not be done
// (the horizon row or the reflection without memory, an objects pass that
// failed), Finished, and after an abort the stage Aborted with
// MessageCode::RenderAborted. AbortRequested is cleared as it starts and tells
// afterwards whether it was stopped. The scene is only read, so several renders
// may draw one prepared scene at once, each with its own context and bitmaps.
// context.Rendering is set while it runs; it must not be entered again with the
// same context while it runs (from the port, say): that is a programmer error,
// caught by an assert.
void RenderBackground(RenderContext& context, const PreparedScene& scene, WorkBitmap& target,
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

// The number of stars for a preview of `width` x `height` (the preview area's
// by default): Round(number / r) with r the output area over the preview's. A
// resolution that is not positive leaves the number as it is; the result is
// kept within the 32-bit range.
std::int32_t PreviewStarCount(std::int32_t number, long double resX, long double resY,
                              int width = kPreviewWidth, int height = kPreviewHeight);

}  // namespace horizonmill
