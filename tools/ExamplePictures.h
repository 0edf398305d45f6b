// The pictures of the example scenes: the cloud and water textures, which
// tile seamlessly, and the mountain, tree, rock and lighthouse objects, drawn
// 2 : 1 with their subject standing on the bottom edge and pure magenta
// (255, 0, 255) as their key colour. Every picture is procedural and seeded,
// so it comes out the same on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/WorkBitmap.h"

namespace horizonmill::examples {

WorkBitmap Clouds();  // 256 x 256, the open sky between the clouds in the key colour
WorkBitmap Water();   // 128 x 128, ripples that drive the reflection's warp
WorkBitmap Mountains();
WorkBitmap Trees();
WorkBitmap Rocks();
WorkBitmap Lighthouse();

struct ExamplePicture {
  std::string file;  // the name the example scenes use
  WorkBitmap picture;
};
// Every picture under its file name.
std::vector<ExamplePicture> ExamplePictures();

// The clouds, mountains, trees and rocks again as artists keep them: PNG files
// cut out on a transparent background instead of painted in a key colour.
struct CutOutPicture {
  std::string file;  // NAME.png
  WorkBitmap picture;
  std::vector<std::uint8_t> alpha;  // per pixel, row 0 first: 0 transparent, 255 opaque
};
// The key-coloured pixels of the pictures above transparent (and black, as
// drawing programs leave them), every other pixel opaque.
std::vector<CutOutPicture> CutOutPictures();
// The picture as an 8-bit RGBA PNG.
std::string EncodeCutOutPng(const CutOutPicture& picture);

}  // namespace horizonmill::examples
