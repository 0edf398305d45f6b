// Session: what a front end works on — the current scene, the two work bitmaps,
// the render context, the JPEG quality and the program's settings — and the
// commands on them: new, open, save, the refresh of the window's controls,
// textures typed or browsed, object pictures added, the preview and full-size
// renders, writing the image. The window and the command-line renderer both
// stand on it (and on the sequences beside it in app/), so everything they do
// to the scene is reachable by a test without a display.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProgramSettings.h"
#include "codecs/ImageOutput.h"
#include "codecs/JpegWriter.h"
#include "image/PictureCache.h"
#include "image/TextureLoading.h"
#include "image/WorkBitmap.h"
#include "render/PreparedScene.h"
#include "render/RenderContext.h"
#include "scene/SceneSettings.h"
#include "scene/SettingsFile.h"

namespace horizonmill {

// The settings-file name of a scene that was never opened or saved.
inline constexpr std::string_view kNewSettingsName = "新規.hm";
// What the preview shows after Enter on a texture name whose file does not exist.
inline constexpr std::string_view kNoGroundTexture = "地面テクスチャはありません。";
inline constexpr std::string_view kNoCeilingTexture = "天井テクスチャはありません。";

enum class TextureLayer { Ground, Ceiling };

// The enabling of the main window's controls after a refresh (RedrawAll).
struct ControlStates {
  bool ceiling = false;        // the ceiling's controls: the ceiling is switched on
  bool ceilingColour = false;  // ChTenjoTra: the ceiling is on and has a texture loaded
  bool ground = false;         // the ground's controls: the ground is switched on
  bool groundWarp = false;     // GroundWarp: the ground is on with a reflection of 1 or more
  bool dietMode = false;       // DietMode: the old output format is on
  bool resolution = true;      // ResX, ResY: not held by the old output format
  bool output = false;         // Go: an output file name is set
};

// A scale text that converts to exactly 0 (text that does not convert counts as
// 0) becomes "0.001" when the user leaves its input; any other text stays.
std::string GuardedScale(std::string_view text);

class Session {
 public:
  // The default scene named "新規.hm", PreviewBitmap silver (192, 192, 192),
  // OutputBitmap empty until the first full render sizes it, the JPEG quality
  // the settings hold (90 when they hold none).
  explicit Session(ProgramSettings settings = {});
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  SceneSettings& Scene() { return scene_; }
  const SceneSettings& Scene() const { return scene_; }
  RenderContext& Context() { return context_; }
  const RenderContext& Context() const { return context_; }
  WorkBitmap& PreviewBitmap() { return preview_; }
  const WorkBitmap& PreviewBitmap() const { return preview_; }
  const WorkBitmap& OutputBitmap() const { return output_; }

  // The target of Save: a bare "新規.hm" until a file is opened or saved under
  // another name; then the path exactly as given.
  const std::string& SettingsFilename() const { return settingsFilename_; }

  ProgramSettings& Settings() { return settings_; }
  const ProgramSettings& Settings() const { return settings_; }

  // 0..100, used for every JPEG written.
  int JpegQuality() const { return jpegQuality_; }
  // Values outside 0..100 are held at the nearer end. For this run only;
  // the quality dialog also stores it in the settings.
  void SetJpegQuality(int quality);

  // What the scene's pictures may take together (image/PictureBudget.h):
  // HORIZONMILL_PICTURE_BUDGET when it is set and a size, else the default.
  std::int64_t PictureBudget() const { return pictureBudget_; }
  void SetPictureBudget(std::int64_t bytes) { pictureBudget_ = bytes; }

  // The default scene (textures and object entries freed), named "新規.hm".
  void New();
  // The settings file read over a default scene aside; only once it has been
  // read does it take the place of the current scene, and the path become the
  // current name. Then Refresh, so the old output format holds the resolution
  // as in the window. The scene's pictures stay within PictureBudget. Throws
  // FileError when the file cannot be read, is no settings file or a picture
  // cannot be decoded, Interrupted when an interrupt stops the reading: the
  // scene and its name are then exactly as they were. When memory runs out
  // (OutOfMemory, the host has been told) what was read becomes the scene,
  // unsaved: it is not what the file holds.
  ReadStatus Open(const std::string& path, SettingsReaderHost& host);
  // Writes the scene to the current name (a bare name lands in the process's
  // current directory). Throws FileError; the previous file is then unchanged.
  void Save();
  // Writes the scene to `path`, which becomes the current name once written.
  void SaveAs(const std::string& path);
  // Whether the scene differs from what was last opened or saved (or from the
  // default scene after New): what a settings file would hold, compared.
  bool HasUnsavedChanges() const;

  // Why the output resolution cannot be rendered (the limit it breaks, in
  // English); empty when it can.
  std::string ResolutionProblem() const;

  // The refresh of the window (RedrawAll): while the old output format is on,
  // the resolution is held at "3072" x "1536"; the rest is the enabling of the
  // controls as the scene stands.
  ControlStates Refresh();

  // The resolved path of a texture name when a file exists there.
  static std::optional<std::string> ExistingTexture(std::string_view name);
  // Loads the picture at `path` into the layer's slot (for the ceiling the
  // transparent colour becomes one the picture does not use) and scales it into
  // PreviewBitmap. Throws FileError, leaving the slot as it was, when the file
  // is no loadable picture or the picture budget does not admit it beside the
  // scene's other pictures; OutOfMemory leaves the slot empty. The picture the
  // slot held is freed, or handed to `replaced` when given (an edit that can
  // be taken back keeps it); the budget counts it either way.
  TextureLoad LoadTexture(TextureLayer layer, const std::string& path,
                          PixelImagePtr* replaced = nullptr);
  // A texture chosen in the layer's browse dialog: loaded as above, then the
  // layer is switched on and its name becomes the path.
  TextureLoad TakeTexture(TextureLayer layer, const std::string& path,
                          PixelImagePtr* replaced = nullptr);
  // Scales a picture into the whole of PreviewBitmap.
  void ShowInPreview(const WorkBitmap& picture);
  // Loads the picture at `path` into a new entry at the end of `group` (one of
  // the scene's), with the settings of `like` (the entry selected in the object
  // editor) when given. The picture must fit the picture budget beside the
  // scene's other pictures. A picture with transparent pixels (a PNG cut out)
  // gets a key colour that none of its opaque pixels has (FindUnusedColour).
  // Returns the new entry; nullptr, with nothing added,
  // when memory runs out or the budget refuses it. Throws FileError naming the
  // file when it is no loadable picture.
  ObjectEntry* AddObjectPicture(ObjectGroup& group, const ObjectEntry* like,
                                const std::string& path);

  // The pictures decoded so far, shared by every preparation (thread-safe).
  PictureCache& Pictures() { return pictures_; }
  // The folders a picture found nowhere else is looked for in (by its name's
  // last component), in order: the command line's --search-dir, a folder the
  // user pointed at. A relative folder is taken from the current directory.
  const std::vector<std::string>& SearchFolders() const { return searchFolders_; }
  void AddSearchFolder(const std::string& folder);
  // Where the pictures of the document are looked for (scene/PictureSearch.h):
  // beside the settings file it was opened from or saved to, then as above.
  PictureSearch Search() const;

  // The document prepared for a render (render/PreparedScene.h) with the
  // session's pictures, search and picture budget. `document` may be a copy
  // the caller holds: preparing reads nothing else of the session but its
  // search and budget, and may run on another thread while the window edits
  // the session's document (the search and the budget unchanged meanwhile;
  // take them with Search() and PictureBudget() on the window's thread and
  // call PrepareScene with them for a worker of your own).
  Preparation Prepare(const SceneSettings& document);
  Preparation Prepare() { return Prepare(scene_); }

  // A click on the preview renders only when no render runs and the progress
  // timer has seen the last one end (RenderProgress back at 0).
  bool PreviewAcceptsClick() const;
  // RenderBackground of a prepared scene into PreviewBitmap, reporting through
  // Context().Port.
  void RenderPreview(const PreparedScene& prepared);
  // The full-size render of a prepared scene: OutputBitmap sized from its
  // document's resolution (below 1 counts as 1), RenderBackground into it, and
  // the finished image scaled into PreviewBitmap and reported ready (when the
  // port looks at the preview). False, with nothing rendered, when the size
  // breaks the limits or memory runs out.
  bool RenderOutput(const PreparedScene& prepared, const OutputResolution& resolution);
  // The same for the document as it stands, prepared now (the preparation's
  // diagnostics returned, or put into `diagnostics`: a scene whose pictures
  // are missing is still drawn, with its placeholders).
  std::vector<Diagnostic> RenderPreview();
  bool RenderOutput(std::vector<Diagnostic>* diagnostics = nullptr);
  // The progress timer's tick: the percentage the gauge shows while a stage
  // runs (RenderProgress strictly between 0 and 100); otherwise nothing (the
  // gauge hides) and RenderProgress goes back to 0, so the preview accepts
  // clicks again.
  std::optional<int> ProgressTick();

 private:
  SceneSettings scene_;
  ProgramSettings settings_;
  PictureCache pictures_;
  // The folder of the settings file last opened or saved; none for a new scene.
  std::string sceneFolder_;
  std::vector<std::string> searchFolders_;
  // What a settings file of the scene held when it was last opened or saved;
  // nothing when the scene was never a file's (a reading stopped part way).
  std::optional<std::string> savedText_;
  RenderContext context_;
  WorkBitmap preview_;
  WorkBitmap output_;
  std::string settingsFilename_{kNewSettingsName};
  int jpegQuality_ = kDefaultJpegQuality;
  std::int64_t pictureBudget_;
};

}  // namespace horizonmill
