// Session: what a front end works on — the document (the current scene as the
// user wrote it), the pictures decoded so far, the folders pictures are looked
// for in, the two work bitmaps, the render context, the JPEG quality and the
// program's settings — and the commands on them: new, open, save, the refresh
// of the window's controls, textures typed or browsed, object pictures added,
// the preparation of the document and the preview and full-size renders. The
// window and the command-line renderer both stand on it (and on the sequences
// beside it in app/), so everything they do to the scene is reachable by a
// test without a display.
//
// Threads: the document, the bitmaps and the context are the caller's thread's.
// The picture cache is the one thing shared: a worker thread may prepare a
// copy of the document (PrepareScene with Search(), Pictures() and
// PictureBudget() taken on the caller's thread) while the document is edited,
// and render the prepared scene with a context and bitmaps of its own.
#pragma once

#include <cstdint>
#include <memory>
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
#include "scene/Diagnostic.h"
#include "scene/PictureSearch.h"
#include "scene/SceneSettings.h"
#include "scene/SettingsFile.h"

namespace horizonmill {

// The settings-file name of a scene that was never opened or saved.
inline constexpr std::string_view kNewSettingsName = "新規.hm";

enum class TextureLayer { Ground, Ceiling };

// The enabling of the main window's controls after a refresh (RedrawAll).
struct ControlStates {
  bool ceiling = false;        // the ceiling's controls: the ceiling is switched on
  bool ceilingColour = false;  // ChTenjoTra: the ceiling is on and its picture can be had
  bool ground = false;         // the ground's controls: the ground is switched on
  bool groundWarp = false;     // GroundWarp: the ground is on with a reflection of 1 or more
  bool dietMode = false;       // DietMode: the old output format is on
  bool resolution = true;      // ResX, ResY: not held by the old output format
  bool output = false;         // Go: an output file name is set
};

// What opening a settings file gives besides the document: whether it was
// read to the end, and what the reader had to say about its lines.
struct OpenResult {
  ReadStatus status = ReadStatus::Complete;
  std::vector<Diagnostic> diagnostics;
};

// A texture chosen for a layer.
struct TextureChoice {
  // The picture found nowhere: the name is taken all the same (the render
  // draws the "無" tile), and this says so.
  std::optional<Diagnostic> missing;
  // The picture as loaded, for the preview; empty when it is missing.
  WorkBitmap picture;
};

// A scale text that converts to exactly 0 (text that does not convert counts as
// 0) becomes "0.001" when the user leaves its input; any other text stays.
std::string GuardedScale(std::string_view text);

// The full-size render of a prepared scene: `output` sized from the
// resolution (below 1 counts as 1), RenderBackground into it, and the
// finished image scaled into `preview` and reported ready (when the port
// looks at the preview). False, with nothing rendered, when the size breaks
// the limits or memory runs out.
bool RenderFullSize(RenderContext& context, const PreparedScene& prepared,
                    const OutputResolution& resolution, WorkBitmap& output, WorkBitmap& preview);

class Session {
 public:
  // The default scene named "新規.hm", PreviewBitmap silver (192, 192, 192),
  // OutputBitmap empty until the first full render sizes it, the JPEG quality
  // the settings hold (90 when they hold none).
  explicit Session(ProgramSettings settings = {});
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The document. Nothing but the user's commands changes it: preparing and
  // rendering only read it.
  SceneSettings& Scene() { return scene_; }
  const SceneSettings& Scene() const { return scene_; }
  RenderContext& Context() { return context_; }
  const RenderContext& Context() const { return context_; }
  WorkBitmap& PreviewBitmap() { return preview_; }
  const WorkBitmap& PreviewBitmap() const { return preview_; }
  const WorkBitmap& OutputBitmap() const { return output_; }
  // The output bitmap to draw into (RenderFullSize), on the window's worker
  // thread while nothing else reads it.
  WorkBitmap& OutputTarget() { return output_; }

  // The target of Save: a bare "新規.hm" until a file is opened or saved under
  // another name; then the path exactly as given.
  const std::string& SettingsFilename() const { return settingsFilename_; }
  // Whether the scene was opened from a file or saved to one: until then its
  // name is only the untitled one, and a window asks where Save is to write.
  bool HasFile() const { return hasFile_; }

  ProgramSettings& Settings() { return settings_; }
  const ProgramSettings& Settings() const { return settings_; }

  // 0..100, used for every JPEG written.
  int JpegQuality() const { return jpegQuality_; }
  // Values outside 0..100 are held at the nearer end. For this run only;
  // the quality dialog also stores it in the settings.
  void SetJpegQuality(int quality);

  // What the prepared scene's pictures may take together
  // (image/PictureBudget.h): HORIZONMILL_PICTURE_BUDGET when it is set and a
  // size, else the default. The picture cache keeps as much.
  std::int64_t PictureBudget() const { return pictureBudget_; }
  void SetPictureBudget(std::int64_t bytes);

  // What the preparation does with a picture that is found nowhere or cannot
  // be read (render/PreparedScene.h): Placeholder, unless the run makes a
  // thumbnail, which leaves such a layer out.
  MissingPictures Missing() const { return missing_; }
  void SetMissing(MissingPictures missing);

  // The pictures decoded so far, shared by every preparation (thread-safe).
  PictureCache& Pictures() { return pictures_; }
  // The folders a picture found nowhere else is looked for in (by its name's
  // last component), in order: the command line's --search-dir, a folder the
  // user pointed at. A relative folder is taken from the current directory
  // when it is added.
  const std::vector<std::string>& SearchFolders() const { return searchFolders_; }
  void AddSearchFolder(const std::string& folder);
  // Where the pictures of the document are looked for (scene/PictureSearch.h):
  // beside the settings file it was opened from or saved to, then as above.
  PictureSearch Search() const;
  // The file a picture name of the document stands for; nothing when it is
  // found nowhere.
  std::optional<std::string> FindPicture(std::string_view name) const;

  // The default scene (object entries freed), named "新規.hm".
  void New();
  // Reads the settings file (asking nobody, reading no picture); only once it
  // has been read does it take the place of the current scene, and the path
  // become the current name. While the old output format is on, the
  // resolution is then held at 3072 x 1536, as in the window. Returns what the
  // reader said of the file's lines (the pictures it names are the
  // preparation's to find: Prepare). Throws FileError when the file cannot be
  // read or is no settings file, Interrupted when an interrupt stops the
  // reading: the scene and its name are then exactly as they were. When the
  // reading stopped for memory (OutOfMemory) what was read becomes the scene,
  // unsaved: it is not what the file holds.
  OpenResult Open(const std::string& path);
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

  // A texture for the layer, by name (typed: the name as written; browsed: the
  // chosen file's path). A picture found is decoded through the cache and
  // scaled into PreviewBitmap; for the ceiling the transparent colour becomes
  // one the picture does not use (FindUnusedColour). The layer's name becomes
  // `name`, and with `switchOn` the layer is switched on. A name found nowhere
  // is taken too, and the choice says so (the render draws the "無" tile).
  // Throws FileError naming the file when it is no loadable picture, is too
  // large for memory, or the picture budget does not admit it beside the
  // scene's other pictures: the document is then as it was.
  TextureChoice SetTexture(TextureLayer layer, const std::string& name, bool switchOn);
  // Scales a picture into the whole of PreviewBitmap.
  void ShowInPreview(const WorkBitmap& picture);
  // Decodes the picture at `path` through the cache and appends to `group`
  // (one of the document's) an entry with the settings of `like` (the entry
  // selected in the object editor) when given, whose Filename is `path`. A
  // picture with transparent pixels (a PNG cut out) gets a key colour that
  // none of its opaque pixels has (FindUnusedColour). The picture must fit the
  // picture budget beside the scene's other pictures. Returns the new entry;
  // nullptr, with nothing added, when memory runs out or the budget refuses
  // it. Throws FileError naming the file when it is no loadable picture.
  ObjectEntry* AddObjectPicture(ObjectGroup& group, const ObjectEntry* like,
                                const std::string& path);

  // The document prepared for a render (render/PreparedScene.h) with the
  // session's pictures, search and picture budget. `document` may be a copy
  // the caller holds.
  Preparation Prepare(const SceneSettings& document);
  // The document as it stands, prepared now; kept as the last preparation.
  Preparation Prepare();
  // The last preparation of the document, made anew when the document or the
  // search changed since (a picture changed on disk is noticed by the next
  // render): what the window's pickers show.
  std::shared_ptr<const PreparedScene> Prepared();
  // The picture as decoded (holes kept) of an entry of the document, and of the
  // ceiling's texture; null when it cannot be had.
  SharedPicture ObjectPicture(const ObjectEntry& entry);
  SharedPicture CeilingPicture();

  // A click on the preview renders only when no render runs and the progress
  // timer has seen the last one end (RenderProgress back at 0).
  bool PreviewAcceptsClick() const;
  // RenderBackground of a prepared scene into PreviewBitmap, reporting through
  // Context().Port.
  void RenderPreview(const PreparedScene& prepared);
  // RenderFullSize into OutputBitmap and PreviewBitmap.
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
  // While the old output format is on, the resolution is held at 3072 x 1536.
  void HoldOldResolution();
  // The document with one change, prepared: whether it refuses (PictureRefused)
  // what the change brought. `refused` is the diagnostic when it does.
  bool Admits(const SceneSettings& changed, DiagnosticSubject subject, GroupId group,
              std::size_t index, Diagnostic* refused);

  SceneSettings scene_;
  ProgramSettings settings_;
  PictureCache pictures_;
  // The folder of the settings file last opened or saved; none for a new scene.
  std::string sceneFolder_;
  std::vector<std::string> searchFolders_;
  // The last preparation, with the document and the search it was made of.
  std::shared_ptr<const PreparedScene> prepared_;
  SceneSettings preparedFrom_;
  PictureSearch preparedSearch_;
  // What a settings file of the scene held when it was last opened or saved;
  // nothing when the scene was never a file's (a reading stopped part way).
  std::optional<std::string> savedText_;
  RenderContext context_;
  WorkBitmap preview_;
  WorkBitmap output_;
  std::string settingsFilename_{kNewSettingsName};
  bool hasFile_ = false;
  int jpegQuality_ = kDefaultJpegQuality;
  std::int64_t pictureBudget_;
  MissingPictures missing_ = MissingPictures::Placeholder;
};

}  // namespace horizonmill
