#include "render/SunDirection.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "render/RenderObjects.h"

namespace horizonmill {
namespace {

std::string Number(double value) { return JsonNumber(value); }

// A component of a unit vector to nine decimals (a billionth of a radian).
std::string Fixed(double value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 9).ptr;
  const std::string s(text, end);
  return s == "-0.000000000" ? "0.000000000" : s;
}

template <typename... T>
std::string List(const T&... texts) {
  std::string text = "[";
  ((text += texts + ", "), ...);
  text.resize(text.size() - 2);
  return text + "]";
}

template <typename... T>
std::string Array(T... values) {
  return List(Number(static_cast<double>(values))...);
}

std::string Colour(const FloatColour& c) { return Array(c.r, c.g, c.b); }

const char* ModeName(std::uint8_t mode) {
  switch (mode) {
    case MixtureMode::Add:
      return "Add";
    case MixtureMode::Sub:
      return "Sub";
    case MixtureMode::Norm:
      return "Norm";
    default:
      return "none";
  }
}

}  // namespace

SunDirection DescribeSun(const SunSettings& sun, int width, int height) {
  SunDirection d;
  d.width = width;
  d.height = height;
  d.centre = SunCentreOf(sun.Position, width, height);
  d.toward = PixelDirection(d.centre.x, d.centre.y, width, height);
  d.azimuth = 360.0 * (d.centre.x + 0.5) / width;
  d.elevation = 90 - 180.0 * (d.centre.y + 0.5) / height;
  d.centreColour = sun.CenterColor;
  d.outerColour = sun.OuterColor;
  d.sunlight = ComputeSunlight(sun);
  d.mixtureMode = sun.MixtureMode;
  return d;
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";  // JSON has no NaN
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

std::string SunJson(const SunDirection& sun) {
  const Direction& t = sun.toward;
  const std::pair<const char*, std::string> fields[] = {
      {"azimuth", Number(sun.azimuth)},
      {"elevation", Number(sun.elevation)},
      {"direction", List(Fixed(t.x), Fixed(t.y), Fixed(t.z))},
      {"imageSize", Array(sun.width, sun.height)},
      {"centerPixel", Array(sun.centre.x, sun.centre.y)},
      {"centerColor", Colour(sun.centreColour)},
      {"outerColor", Colour(sun.outerColour)},
      {"sunlight", Array(sun.sunlight[0], sun.sunlight[1], sun.sunlight[2])},
      {"mixtureMode", std::string("\"") + ModeName(sun.mixtureMode) + "\""},
      {"sunRatio", sun.sunRatio ? Number(*sun.sunRatio) : "null"},
      {"sunScale", sun.sunScale ? Number(*sun.sunScale) : "null"},
  };
  std::string json = "{";
  for (const auto& [key, value] : fields)
    json += std::string(json.size() > 1 ? "," : "") + "\n  \"" + key + "\": " + value;
  return json + "\n}\n";
}

}  // namespace horizonmill
