// The sun as a 3D program needs it to set its key light to match the painted
// sky: the direction of the disc's centre by the panorama's direction rule
// (render/PanoramaDirection.h), its two colours, and the light colour that the
// objects of the scene are shaded with.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "render/PanoramaDirection.h"
#include "render/RenderSun.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

struct SunDirection {
  int width = 0, height = 0;  // the image the direction is taken in
  SunCentre centre;           // the disc's centre pixel in it
  double azimuth = 0;         // degrees, 0 <= θ < 360: 0 toward −Z, 90 toward +X
  double elevation = 0;       // degrees, −90 .. 90
  Direction toward;           // unit vector from the viewer toward the sun
  FloatColour centreColour, outerColour;
  std::array<std::int32_t, 3> sunlight{};  // ComputeSunlight
  std::uint8_t mixtureMode = MixtureMode::Add;
  // R and k of the HDR outputs (codecs/HdrLight.h): the ratio asked for, and
  // the factor of the sun's lobe found for the picture of the run; nothing
  // when unknown (no HDR output was written with it).
  std::optional<double> sunRatio, sunScale;
};

// The sun of a W x H render (W, H at least 1): the direction of the pixel the
// disc is centred on, so that it matches the picture to the pixel.
SunDirection DescribeSun(const SunSettings& sun, int width, int height);

// The sun's direction as a JSON object (UTF-8, ending in a newline):
//   {"azimuth": 180.05859375, "elevation": -0.05859375,
//    "direction": [x, y, z], "imageSize": [W, H], "centerPixel": [x, y],
//    "centerColor": [r, g, b], "outerColor": [r, g, b], "sunlight": [r, g, b],
//    "mixtureMode": "Add", "sunRatio": 6, "sunScale": 12.5}
// The angles and colours exactly (the shortest text that reads back the same),
// the direction's components to nine decimals; colours on the 0..255 scale; a
// value that is no number, or unknown, is written as null.
std::string SunJson(const SunDirection& sun);

// A number as the JSON files write it: the shortest text that reads back the
// same; null for no number.
std::string JsonNumber(double value);

}  // namespace horizonmill
