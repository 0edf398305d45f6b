// What the ceiling and the ground share: each lays a texture as an endless
// plane and walks it column by column (PlaneWalk), fading with the distance of
// each step toward the horizon colour of the column.
#pragma once

#include <vector>

#include "image/PixelImage.h"
#include "image/Placeholders.h"
#include "render/AerialFade.h"
#include "render/PlaneWalk.h"

namespace horizonmill {

// The distance of a step and the aerial fade at that distance. Both depend only
// on the step, so one table serves every column.
struct PlaneStep {
  long double distance;
  AerialFader fade;
};

// Steps 0 .. count - 1 of an image of the given height. False (steps empty)
// when memory runs out.
bool MakePlaneSteps(int height, int count, long double airDepth, std::vector<PlaneStep>& steps);

// The walk divides by the scale. A scale of exactly 0 (a settings file may hold
// one) is drawn as 0.001, the value the scale inputs put in its place.
inline long double PlaneScale(long double scale) { return scale == 0 ? 0.001L : scale; }

// A layer handed no texture (its slot stayed empty because memory ran out while
// the texture was loaded) is drawn with the checkerboard placeholder, made into
// `placeholder` for this pass only. nullptr when even that cannot be allocated:
// the layer is then left out.
template <typename Image>
Image* PlaneTexture(Image* texture, PixelImagePtr& placeholder) {
  if (texture != nullptr && texture->width > 0 && texture->height > 0) return texture;
  if (!MakeCheckerTexture(placeholder)) return nullptr;
  return placeholder.get();
}

// The horizon colour of column x: the horizon row's pixel, opaque white without one.
inline PackedColour HorizonColour(const PixelImage* horizonRow, int x) {
  return horizonRow != nullptr ? GetImagePixel(*horizonRow, x, 0, false)
                               : MakePacked(255, 255, 255, 255);
}

// Columns per block of work. A block is drawn row by row across its columns,
// so the pixels it writes lie side by side rather than a whole row apart.
inline constexpr int kPlaneBlockColumns = 32;

// The walks and horizon colours of the columns first .. last - 1 of one block
// (at most kPlaneBlockColumns).
struct PlaneBlock {
  PlaneBlock(int width, int height, int first, int last, const PixelImage& texture,
             long double scale, const PixelImage* horizonRow)
      : first(first), count(last - first) {
    for (int i = 0; i < count; ++i) {
      walks[i] = PlaneWalk(width, height, first + i, texture.width, texture.height, scale);
      horizon[i] = HorizonColour(horizonRow, first + i);
    }
  }
  // The texture at the current step of every column, then each walk advanced
  // by the step's distance d.
  void Sample(const PixelImage& texture, long double d, PackedColour* colours) {
    for (int i = 0; i < count; ++i) {
      colours[i] = SampleImage(texture, walks[i].U(), walks[i].V());
      walks[i].AdvanceBy(d);
    }
  }

  int first, count;
  PlaneWalk walks[kPlaneBlockColumns];
  PackedColour horizon[kPlaneBlockColumns];
};

}  // namespace horizonmill
