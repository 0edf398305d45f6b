// The renderers' fuzzing entry point, shared by the libFuzzer target and by the
// regression test that replays the corpus with the normal compiler: the input
// is a settings file, read, then prepared with its pictures taken from a small
// fixed set (the names in the input choose among them) and rendered at 64 x 32.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/BmpWriter.h"
#include "image/PictureCache.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "render/Pipeline.h"
#include "render/RenderContext.h"
#include "scene/SettingsFile.h"

namespace horizonmill::fuzz {

// What the harness allows one input, so that none runs for minutes: stars,
// object entries and copies per entry. Everything else is the scene's own.
inline constexpr int kMaxFuzzStars = 300;
inline constexpr std::size_t kMaxFuzzEntries = 12;
inline constexpr std::int32_t kMaxFuzzCopies = 6;
// Small enough that a few pictures use it up, so refusals are reached too.
inline constexpr std::int64_t kFuzzPictureBudget = 12 * 1024;

// The fixed pictures, written once per process into a folder of their own
// (removed at exit): shapes from a single pixel to long thin strips, with
// black, white and saturated colours, so every renderer's edge cases are near.
class FuzzPictures {
 public:
  static const FuzzPictures& Get() {
    static const FuzzPictures pictures;
    return pictures;
  }
  const std::string& Folder() const { return folder_; }
  const std::vector<std::string>& Paths() const { return paths_; }
  // The picture a name stands for, chosen by the name's bytes; one choice in
  // seven is none (a picture found nowhere: an object left out, the "無" tile).
  std::optional<std::string> For(std::string_view name) const {
    std::size_t h = 0;
    for (const char c : name) h = h * 31 + static_cast<unsigned char>(c);
    const std::size_t pick = h % (paths_.size() + 1);
    if (pick == paths_.size()) return std::nullopt;
    return paths_[pick];
  }

 private:
  FuzzPictures() {
    std::string pattern = (std::filesystem::temp_directory_path() / "hm-fuzz-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : ".";
    const struct { int w, h; } sizes[] = {{1, 1}, {5, 3}, {16, 8}, {3, 40}, {64, 2}, {17, 17}};
    for (const auto& s : sizes) {
      WorkBitmap b(s.w, s.h);
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
          const int v = (x * 7 + y * 13) % 5;
          b.Row(y)[x] = v == 0   ? BgrPixel{0, 0, 0}
                        : v == 1 ? BgrPixel{255, 255, 255}
                                 : BgrPixel{static_cast<std::uint8_t>(40 * x),
                                            static_cast<std::uint8_t>(255 - 9 * y),
                                            static_cast<std::uint8_t>(60 * v)};
        }
      paths_.push_back(folder_ + "/" + std::to_string(s.w) + "x" + std::to_string(s.h) + ".bmp");
      WriteFileAtomically(paths_.back(), [&](ByteSink& out) { EncodeBmp(b, {}, out); });
    }
  }
  ~FuzzPictures() {
    std::error_code ec;
    if (folder_ != ".") std::filesystem::remove_all(folder_, ec);
  }

  std::string folder_;
  std::vector<std::string> paths_;
};

// Every name is one of the fixed pictures or none: a name of one of them (as a
// path, or relative to the program directory, which is their folder) is that
// picture; any other is chosen by its last component's bytes.
class FixedPictureSource : public PictureSource {
 public:
  explicit FixedPictureSource(const FuzzPictures& pictures) : pictures_(pictures) {}
  std::optional<std::string> Find(std::string_view name) const override {
    const auto& paths = pictures_.Paths();
    for (const std::string& path : {std::string(name), ResolvePath(name)})
      if (std::find(paths.begin(), paths.end(), path) != paths.end()) return path;
    return pictures_.For(LastPathComponent(name));
  }

 private:
  const FuzzPictures& pictures_;
};

// Nobody looks at the preview: the stages are not scaled into it.
class NoPreviewPort : public RenderPort {
 public:
  bool WantsPreview() const override { return false; }
};

// Holds the counts to the harness's bounds.
inline void ClampCounts(SceneSettings& scene) {
  if (ToInteger(scene.Stars.NumberOfStars) > kMaxFuzzStars)
    scene.Stars.NumberOfStars = std::to_string(kMaxFuzzStars);
  for (ObjectGroup* group : {&scene.Far, &scene.Mid, &scene.Near}) {
    while (group->Size() > kMaxFuzzEntries) group->Remove(group->Last());
    for (ObjectEntry& entry : *group)
      entry.NumberOfObjects = std::min(entry.NumberOfObjects, kMaxFuzzCopies);
  }
}

// The render's pixels, summed.
inline std::uint32_t Checksum(const WorkBitmap& bitmap) {
  std::uint32_t sum = 1;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const BgrPixel* row = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x)
      sum = sum * 31 + (row[x].b | row[x].g << 8 | row[x].r << 16);
  }
  return sum;
}

// Reads the input and renders it twice at 64 x 32. Returns what went wrong
// (the two renders differ: a renderer depends on something but the scene),
// empty when nothing did; the sanitizers watch everything else.
inline std::string CheckRenderInput(const std::uint8_t* data, std::size_t size) {
  const FuzzPictures& pictures = FuzzPictures::Get();
  SetProgramDirectory(pictures.Folder());
  SceneSettings scene =
      ReadSettingsBytes(std::string_view(reinterpret_cast<const char*>(data), size)).scene;
  ClampCounts(scene);
  PictureCache cache;
  const Preparation prepared =
      PrepareScene(scene, FixedPictureSource(pictures), cache, kFuzzPictureBudget);
  NoPreviewPort view;
  std::uint32_t sums[2] = {};
  for (std::uint32_t& sum : sums) {
    RenderContext context;
    context.Port = &view;
    WorkBitmap target(64, 32), preview(kPreviewWidth, kPreviewHeight);
    RenderBackground(context, *prepared.scene, target, preview);
    sum = Checksum(target);
  }
  if (sums[0] != sums[1]) return "the same scene rendered twice differently";
  return {};
}

}  // namespace horizonmill::fuzz
