#include "render/EditorPreviews.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "render/RenderSky.h"
#include "render/RenderSun.h"
#include "scene/SkyStops.h"

namespace horizonmill {
namespace {

// Round(v * size / area), or -1 when that lies outside 0 .. size - 1.
int NearestIndex(int v, int size, int area) {
  const long long scaled = static_cast<long long>(v) * size;
  // area is odd for the editors' previews, so an exact half never occurs;
  // halves to even all the same for any other area.
  const long long index = std::llrint(static_cast<double>(scaled) / area);
  return index >= 0 && index < size ? static_cast<int>(index) : -1;
}

}  // namespace

void DrawDashedRow(WorkBitmap& bitmap, int row) {
  if (row < 0 || row >= bitmap.Height()) return;
  BgrPixel* p = bitmap.Row(row);
  for (int x = 0; x < bitmap.Width(); ++x)
    p[x] = x % 2 == 0 ? BgrPixel{0, 0, 0} : BgrPixel{255, 255, 255};
}

void RedrawSkyPreview(RenderContext& context, WorkBitmap& preview, const SkyGradation& sky) {
  RenderSky(context, preview, sky);
  const int n = std::clamp(sky.Count, 0, SkyGradation::kCapacity);
  for (int i = 0; i < n; ++i)
    DrawDashedRow(preview, StopMarkerRow(sky.Positions[i], preview.Height()));
}

void RedrawSunPreview(RenderContext& context, WorkBitmap& preview, const WorkBitmap& sky,
                      bool showSky, const SunSettings& sun) {
  if (showSky) {
    const int w = std::min(sky.Width(), preview.Width()) * 3;
    for (int y = 0; y < std::min(sky.Height(), preview.Height()); ++y)
      std::memcpy(preview.Row(y), sky.Row(y), static_cast<std::size_t>(w));
  } else {
    const std::uint8_t v = sun.MixtureMode == MixtureMode::Sub ? 255 : 0;
    FillWorkBitmap(preview, BgrPixel{v, v, v});
  }
  RenderSun(context, preview, sun);
  DrawDashedRow(preview, preview.Height() / 2);
}

PackedColour PicturePixelAt(const PixelImage& picture, int x, int y, int areaWidth,
                            int areaHeight) {
  const int column = NearestIndex(x, picture.width, areaWidth);
  const int row = NearestIndex(y, picture.height, areaHeight);
  if (column < 0 || row < 0) return 0;
  return picture.Row(row)[column];
}

PackedColour KeyColourAt(const PixelImage& picture, int x, int y, int areaWidth, int areaHeight,
                         PackedColour key) {
  const int column = NearestIndex(x, picture.width, areaWidth);
  const int row = NearestIndex(y, picture.height, areaHeight);
  if (column < 0 || row < 0) return 0;
  return KeyedPixel(picture.Row(row)[column], picture.IsHole(column, row), key);
}

void DrawKeyColourPreview(WorkBitmap& preview, const PixelImage& picture, PackedColour key,
                          bool blink) {
  const int W = preview.Width(), H = preview.Height();
  std::vector<int> columns(static_cast<std::size_t>(W));
  for (int x = 0; x < W; ++x) columns[x] = NearestIndex(x, picture.width, W);
  for (int y = 0; y < H; ++y) {
    const int row = NearestIndex(y, picture.height, H);
    BgrPixel* out = preview.Row(y);
    for (int x = 0; x < W; ++x) {
      const PackedColour c =
          row < 0 || columns[x] < 0
              ? 0
              : KeyedPixel(picture.Row(row)[columns[x]], picture.IsHole(columns[x], row), key);
      out[x] = blink && SameRgb(c, key) ? BgrPixel{0, 0, 255} : PackedToBgr(c);
    }
  }
}

}  // namespace horizonmill
