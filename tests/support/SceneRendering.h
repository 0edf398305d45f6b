// Renders a whole scene the way the window does: into the preview when the
// size is the preview's, otherwise into an output bitmap of that size.
#pragma once

#include "render/Pipeline.h"
#include "render/RenderContext.h"

namespace horizonmill::testing {

// threads 0: the render context's default.
inline WorkBitmap RenderScene(SceneSettings& scene, int w, int h, RenderHost* host,
                              int threads = 0) {
  RenderContext context;
  if (host != nullptr) context.Host = host;
  if (threads > 0) context.Threads = threads;
  WorkBitmap preview(kPreviewWidth, kPreviewHeight);
  if (w == kPreviewWidth && h == kPreviewHeight) {
    RenderBackground(context, scene, preview, preview);
    return preview;
  }
  WorkBitmap output(w, h);
  RenderBackground(context, scene, output, preview);
  return output;
}

}  // namespace horizonmill::testing
