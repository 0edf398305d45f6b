// Loading the ground and ceiling textures from picture files (BMP, PNG, JPEG:
// image/PictureReader.h) into their slots.
#pragma once

#include <string>
#include <string_view>

#include "image/BmpReader.h"
#include "image/PictureReader.h"
#include "image/PixelImage.h"
#include "image/WorkBitmap.h"

namespace horizonmill {

inline constexpr std::string_view kGroundLoadingMessage = "地面テクスチャ読み込み中";
inline constexpr std::string_view kCeilingLoadingMessage = "天井テクスチャ読み込み中";
inline constexpr std::string_view kGroundCaption = "（地面テクスチャ）";
inline constexpr std::string_view kCeilingCaption = "（天井テクスチャ）";
inline constexpr std::string_view kGroundNoMemory =
    "地面テクスチャ用のメモリーが確保できませんでした。";
inline constexpr std::string_view kCeilingNoMemory =
    "天井テクスチャ用のメモリーが確保できませんでした。";

enum class TextureLoadResult { Loaded, OutOfMemory };

struct TextureLoad {
  TextureLoadResult result = TextureLoadResult::Loaded;
  // The picture as loaded, which the window scales into the preview with the
  // layer's caption; empty when memory ran out.
  WorkBitmap picture;
};

// Replaces the slot's texture by the file's picture (every texel opaque; the
// ground has no transparency, so the colours a PNG gives its transparent
// pixels are its texels there). Throws FileError, leaving the slot as it was,
// when the file is no loadable picture
// (BmpFileTooLarge when its picture would not fit in memory or, when a budget
// is given, the budget refuses it: the caller reports memory exhaustion).
// OutOfMemory: the slot is empty (the caller beeps and shows kGroundNoMemory).
TextureLoad LoadGroundTexture(PixelImagePtr& slot, const std::string& path,
                              const PictureBudget* budget = nullptr);
// The same for the ceiling, whose texture keeps the picture's transparent
// pixels as holes (drawn as texels of the transparent colour); on success
// opaqueColor becomes FindUnusedColour of the new texture.
TextureLoad LoadCeilingTexture(PixelImagePtr& slot, PackedColour& opaqueColor,
                               const std::string& path, const PictureBudget* budget = nullptr);

}  // namespace horizonmill
