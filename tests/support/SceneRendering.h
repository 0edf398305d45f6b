// Opens the example scenes, and prepares and renders whole scenes the way the
// window does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "image/PictureCache.h"
#include "render/Pipeline.h"
#include "render/RenderContext.h"
#include "scene/SettingsFile.h"

namespace horizonmill::testing {

inline const std::string kExamples = std::string(HORIZONMILL_SOURCE_DIR) + "/examples";

// Opens the settings file at `path`; a reading that stops is a failure. The
// pictures it names are found when it is prepared (Prepare, RenderScene).
inline void OpenScene(SceneSettings& scene, const std::string& path) {
  SettingsRead read = ReadSettings(path);
  ASSERT_EQ(read.status, ReadStatus::Complete) << path;
  scene = std::move(read.scene);
}

// Opens examples/`name` as OpenScene does.
inline void OpenExample(SceneSettings& scene, const std::string& name) {
  OpenScene(scene, kExamples + "/" + name);
}

// The scene prepared as the window prepares it, its pictures looked for
// beside the settings file of `folder` first (the examples by default).
inline std::shared_ptr<const PreparedScene> Prepare(const SceneSettings& scene,
                                                    const std::string& folder = kExamples) {
  PictureCache cache;
  return PrepareScene(scene, PictureSearch(folder, {}), cache, DefaultPictureBudget()).scene;
}

// Prepares the scene and renders it into the preview when the size is the
// preview's, otherwise into an output bitmap of that size; `port` (when
// given) hears the render.
// threads 0: the render context's default. `folder`: as for Prepare.
inline WorkBitmap RenderScene(const SceneSettings& scene, int w, int h, RenderPort* port,
                              int threads = 0, const std::string& folder = kExamples) {
  RenderContext context;
  if (port != nullptr) context.Port = port;
  if (threads > 0) context.Threads = threads;
  const std::shared_ptr<const PreparedScene> prepared = Prepare(scene, folder);
  WorkBitmap preview(kPreviewWidth, kPreviewHeight);
  if (w == kPreviewWidth && h == kPreviewHeight) {
    RenderBackground(context, *prepared, preview, preview);
    return preview;
  }
  WorkBitmap output(w, h);
  RenderBackground(context, *prepared, output, preview);
  return output;
}

}  // namespace horizonmill::testing
