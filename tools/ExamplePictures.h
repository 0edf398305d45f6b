// The pictures of the example scenes: the cloud and water textures, which
// tile seamlessly, and the mountain, tree, rock and lighthouse objects, drawn
// 2 : 1 with their subject standing on the bottom edge and pure magenta
// (255, 0, 255) as their key colour. Every picture is procedural and seeded,
// so it comes out the same on every run.
#pragma once

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

}  // namespace horizonmill::examples
