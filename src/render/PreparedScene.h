// Preparation: a scene as the user wrote it (SceneSettings, the document)
// turned into what the render draws (PreparedScene) — the pictures found and
// decoded (once: PictureCache), the placeholders, each picture as its layer
// uses it, the numbers converted from the text fields, the objects placed —
// and what could not be had told as diagnostics. The document is only read:
// nothing that preparing or rendering does shows in it or in its file.
//
// A prepared scene is immutable and shared (std::shared_ptr<const
// PreparedScene>): the window may render one on a worker thread while the user
// edits the document and the next one is prepared.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/PictureCache.h"
#include "render/RenderObjects.h"
#include "render/RenderStars.h"
#include "scene/Diagnostic.h"
#include "scene/PictureSearch.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

// Where a layer's texture comes from.
enum class TextureSource {
  Picture,       // the picture file the layer names
  Checkerboard,  // the layer names no picture
  MissingTile,   // the picture is found nowhere, or cannot be read: the "無" tile
  None,          // refused for memory: the renderer draws its own checkerboard
};

struct PreparedTexture {
  TextureSource Source = TextureSource::None;
  // As the layer draws it: the ground's texels every one opaque, the
  // ceiling's with the transparent colour and the transparency in their alpha
  // (PrepareCeilingAlpha). Null for None.
  SharedPicture Drawn;
  // The picture file's picture as decoded (its holes kept), for the window's
  // pickers; null unless Source is Picture.
  SharedPicture Picture;
};

class PreparedScene {
 public:
  PreparedScene() = default;
  // The placed copies point into Objects: a prepared scene stays where it was made.
  PreparedScene(const PreparedScene&) = delete;
  PreparedScene& operator=(const PreparedScene&) = delete;

  SkyGradation Sky;
  SunSettings Sun;
  long double AirDepth = 0;
  // The stars as the full-size image draws them (a preview thins them to the
  // output's density: PreviewStarCount of the resolution below).
  StarLayerInput Stars;
  long double ResolutionWidth = 0, ResolutionHeight = 0;

  bool CeilingEnabled = false;
  PreparedTexture CeilingTexture;
  long double CeilingScale = 1;
  long double CeilingTransparency = 0;  // 0 .. 1
  std::uint8_t CeilingMixtureMode = MixtureMode::Norm;
  PackedColour CeilingOpaqueColor = MakePacked(0, 0, 0, 255);

  bool GroundEnabled = false;
  PreparedTexture GroundTexture;
  long double GroundScale = 1;
  long double GroundReflection = 0;  // 0 .. 1
  long double GroundReflectionWarp = 0;

  std::array<std::int32_t, 3> Sunlight{};
  // One per entry of Far, Mid and Near, in the document's order.
  std::array<std::vector<PreparedObject>, 3> Objects;
  // The copies of both objects passes, farthest first.
  ObjectLayout Layout;

  // The entries of a group.
  const std::vector<PreparedObject>& Group(GroupId group) const {
    return Objects[static_cast<int>(group)];
  }
  // The picture file's picture of entry `index` of `group` as decoded (holes
  // kept), for the window's pickers; null when it could not be had.
  SharedPicture ObjectPicture(GroupId group, std::size_t index) const;
};

// What the preparation does with a picture that is found nowhere or cannot be
// read.
enum class MissingPictures {
  Placeholder,  // a layer shows the "無" tile, an object is left out (the window, a render)
  LeaveOut,     // the layer is left out too, as if it were off (a thumbnail)
};

struct Preparation {
  std::shared_ptr<const PreparedScene> scene;
  std::vector<Diagnostic> diagnostics;
  // What the prepared scene's pictures take (HeldBytes, each picture once,
  // the decoded pictures they are made from included): within the budget.
  std::int64_t pictureBytes = 0;
};

// Prepares the document. Each picture name is turned into a file by `source`
// and decoded through `cache`; a picture decoded now must be admitted by the
// budget beside the pictures prepared before it (image/PictureBudget.h), and
// every picture the prepared scene holds (decoded and derived, each once)
// stays within `budget` together. The object pictures are taken in the order
// of Far, Mid, Near, then the ground texture, then the ceiling's, as a
// settings file lists them.
//
// Placeholders: a layer that is on and names no picture gets the
// checkerboard (NoPictureName), one whose picture is found nowhere or cannot
// be read the "無" tile (MissingPicture, UnreadablePicture), one whose picture
// is refused for memory none (PictureRefused: the renderer draws its own
// checkerboard; so does a layer whose placeholder gets no memory,
// PlaceholderNoMemory). An entry whose picture cannot be had is left out of
// the drawing, keeps its place and draws its random numbers. Layers that are
// off are not prepared. Each diagnostic names the entry or the layer, and as
// its file the picture's name as the document writes it; the text of
// UnreadablePicture and PictureRefused is the reason as the file gives it
// ("PATH: reason"). Throws only Interrupted (platform/Interrupt.h), when an
// interrupt is pending while a picture is read.
//
// With MissingPictures::LeaveOut a layer whose picture is found nowhere or
// cannot be read is not drawn at all (CeilingEnabled or GroundEnabled false,
// no placeholder), and each such diagnostic says what was left out; the
// objects are placed as the document has it all the same (with its ground),
// so every object whose picture can be had stands where the full scene has
// it. The checkerboard of a layer that names no picture is drawn as before.
Preparation PrepareScene(const SceneSettings& document, const PictureSource& source,
                         PictureCache& cache, std::int64_t budget,
                         MissingPictures missing = MissingPictures::Placeholder);

}  // namespace horizonmill
