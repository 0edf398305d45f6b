// The ceiling pass. A layer handed no texture is drawn with the checkerboard
// placeholder (see PlaneLayer.h).
#include "render/RenderCeiling.h"

#include <cmath>
#include <new>
#include <vector>

#include "render/PlaneLayer.h"

namespace horizonmill {
namespace {

// Steps j0 .. j1 - 1 of columns first .. last - 1; step j draws row j, from
// the zenith down to the row above the horizon row.
template <std::uint8_t Mode>
void DrawRows(WorkBitmap& target, PlaneColumns& columns, const std::vector<PlaneStep>& rows,
              int first, int last, int j0, int j1) {
  PackedColour colours[kPlaneBlockColumns];
  const int count = last - first;
  for (int j = j0; j < j1; ++j) {
    const PlaneStep& step = rows[j];
    // Transparent texels lend no colour to their neighbours (LerpColour).
    columns.Sample(first, last, j, colours);
    if (j + kPlaneRowsAhead < j1)
      Prefetch(target.Row(j + kPlaneRowsAhead) + first, count * sizeof(BgrPixel), true);
    BgrPixel* out = target.Row(j) + first;
    // The fade keeps the texel's alpha, so a hole stays a hole near the horizon.
    step.fade.FadeRow(colours, columns.Horizons(first), count);
    for (int i = 0; i < count; ++i) BlendIntoMode<Mode>(out[i], colours[i]);
  }
}

}  // namespace

std::uint8_t CeilingTexelAlpha(long double transparency) {
  const long double a = std::nearbyintl(255 - transparency * 255);
  if (!(std::fabs(a) < 9.0e18L)) return 0;
  return static_cast<std::uint8_t>(static_cast<long long>(a) & 0xff);
}

void PrepareCeilingAlpha(PixelImage& texture, PackedColour opaqueColor, long double transparency) {
  if (texture.pixels == nullptr) return;
  const std::uint32_t alpha = CeilingTexelAlpha(transparency);
  // A hole is a texel of the transparent colour from here on, so it is drawn
  // (and lends its colour to its neighbours) exactly as one is.
  PaintHoles(texture, opaqueColor);
  for (int y = 0; y < texture.height; ++y) {
    PackedColour* row = texture.Row(y);
    for (int x = 0; x < texture.width; ++x)
      row[x] = WithAlpha(row[x], SameRgb(row[x], opaqueColor) ? 0 : alpha);
  }
}

void RenderCeiling(RenderContext& context, WorkBitmap& target, CeilingLayerInput input) {
  if (context.AbortRequested) return;
  // The checkerboard in place of a missing texture is this pass's own, and
  // takes the transparent colour and the transparency here.
  PixelImagePtr placeholder;
  if (!HasTexels(input.Texture)) {
    if (MakeCheckerTexture(placeholder))
      PrepareCeilingAlpha(*placeholder, input.OpaqueColor, input.Transparency);
    input.Texture = placeholder.get();
  }
  const int W = target.Width(), H = target.Height();
  const int half = H / 2;
  std::vector<PlaneStep> rows;
  if (input.Texture == nullptr || !MakePlaneSteps(H, half, input.AirDepth, rows)) {
    context.RenderProgress = 100;
    return;
  }
  const PixelImage& texture = *input.Texture;

  PlaneColumns columns(W, H, texture, PlaneScale(input.Scale), input.HorizonRow, rows);
  if (!columns.Allocate()) {
    context.RenderProgress = 100;
    return;
  }
  const std::uint8_t mode = input.MixtureMode;
  auto draw = [&](int first, int last, int j0, int j1) {
    DispatchBlendMode(mode, [&]<std::uint8_t Mode>() {
      DrawRows<Mode>(target, columns, rows, first, last, j0, j1);
    });
  };
  if (!DrawPlaneBands(context, W, half, columns, draw)) return;
  context.RenderProgress = 100;
}

}  // namespace horizonmill
