// The XMP packet that tells panorama viewers what a rendered image is: a full
// turn in the equirectangular projection (the GPano properties), so that they
// open it as a sphere to look around in rather than as a flat picture.
#pragma once

#include <string>

#include "codecs/EncodeOptions.h"

namespace horizonmill {

// Whether a W x H image can be a full equirectangular panorama (360° by 180°
// with square pixels): exactly twice as wide as high. Only such an image is
// marked as one; a viewer that trusted the mark on another size would move
// the horizon.
constexpr bool IsFullPanoramaSize(int width, int height) {
  return height > 0 && width == 2 * height;
}

// The packet for a W x H panorama: ProjectionType "equirectangular",
// UsePanoramaViewer True, the full panorama and its cropped area both W x H
// with the crop at (0, 0) (the image is the whole sphere), and the program as
// the creator tool. UTF-8, a read-only packet (no padding for editing in place).
std::string PanoramaXmpPacket(int width, int height);

// Whether a W x H image written with the metadata says it is a full panorama.
constexpr bool MarksPanorama(int width, int height, ImageMetadata metadata) {
  return metadata == ImageMetadata::Panorama && IsFullPanoramaSize(width, height);
}
// The XMP packet such an image carries: PanoramaXmpPacket when it says it is a
// full panorama, otherwise empty (none).
std::string XmpPacketFor(int width, int height, ImageMetadata metadata);

}  // namespace horizonmill
