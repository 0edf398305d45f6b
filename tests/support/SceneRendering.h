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

// Opens the settings file at `path`; a question or a message while reading is
// a failure.
inline void OpenScene(SceneSettings& scene, const std::string& path) {
  class NoQuestions : public SettingsReaderHost {
   public:
    std::optional<std::string> AskForPicture(PictureKind, const std::string& message,
                                             std::string_view) override {
      ADD_FAILURE() << "asked: " << message;
      return std::nullopt;
    }
    void MessageBox(std::string_view text) override { ADD_FAILURE() << "message: " << text; }
  } host;
  ASSERT_EQ(ReadSettings(scene, path, host), ReadStatus::Complete) << path;
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
// threads 0: the render context's default.
inline WorkBitmap RenderScene(const SceneSettings& scene, int w, int h, RenderPort* port,
                              int threads = 0) {
  RenderContext context;
  if (port != nullptr) context.Port = port;
  if (threads > 0) context.Threads = threads;
  const std::shared_ptr<const PreparedScene> prepared = Prepare(scene);
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
