// The textures drawn when a layer has none of its own, and the search for a
// colour a picture does not use.
#pragma once

#include "image/PixelImage.h"

namespace horizonmill {

// The slot's image is freed and replaced by a 256 x 256 checkerboard (white
// squares top-left and bottom-right). False, with the slot empty, when memory
// runs out.
bool MakeCheckerTexture(PixelImagePtr& slot);
// The same with the 16 x 16 tile of the character "無", black on white.
bool MakeMissingTexture(PixelImagePtr& slot);

// The first colour counting up from 0 (red in the low byte) whose red, green and
// blue occur in no pixel, made opaque; kNoUnusedColour when every colour occurs.
// Holes (PixelImage::holes) are not looked at: as the key colour they take
// whichever colour this finds.
inline constexpr PackedColour kNoUnusedColour = 0xfffffffeu;  // -2
PackedColour FindUnusedColour(const PixelImage& image);

}  // namespace horizonmill
