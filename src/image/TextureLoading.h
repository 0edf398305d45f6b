// What the window shows while a picture is loaded for a layer or an object:
// the messages and captions over the preview, the messages when memory runs
// out for one, and the picture itself as a bitmap to scale into the preview.
#pragma once

#include <string_view>

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
// No memory for an object picture.
inline constexpr std::string_view kPictureNoMemory = "メモリーがないいい！";

// The picture's colours as a bitmap (alpha and holes dropped: a hole shows the
// colour its file gives it); empty when memory runs out.
WorkBitmap BitmapOf(const PixelImage& picture);

}  // namespace horizonmill
