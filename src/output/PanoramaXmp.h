// The XMP packet that tells panorama viewers what a rendered image is: a full
// turn in the equirectangular projection (the GPano properties), so that they
// open it as a sphere to look around in rather than as a flat picture.
#pragma once

#include <string>

namespace horizonmill {

// The packet for a W x H panorama: ProjectionType "equirectangular",
// UsePanoramaViewer True, the full panorama and its cropped area both W x H
// with the crop at (0, 0) (the image is the whole sphere), and the program as
// the creator tool. UTF-8, a read-only packet (no padding for editing in place).
std::string PanoramaXmpPacket(int width, int height);

}  // namespace horizonmill
