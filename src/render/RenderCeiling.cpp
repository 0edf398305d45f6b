// The ceiling pass. A layer handed no texture is drawn with the checkerboard
// placeholder (see PlaneLayer.h).
#include "render/RenderCeiling.h"

#include <cmath>
#include <new>
#include <vector>

#include "render/PlaneLayer.h"
#include "render/WorkCrew.h"

namespace horizonmill {
namespace {

// Round(255 - transparency * 255), low eight bits, also for a transparency
// outside 0..1 (never from the track bar); one that is no number, or so far
// out that no integer holds the product, gives 0 rather than an undefined
// conversion.
std::uint32_t TexelAlpha(long double transparency) {
  const long double a = std::nearbyintl(255 - transparency * 255);
  if (!(std::fabs(a) < 9.0e18L)) return 0;
  return static_cast<std::uint32_t>(static_cast<long long>(a) & 0xff);
}

// Step j of every column of the block draws row j: from the zenith down to the
// row above the horizon row.
template <std::uint8_t Mode>
void DrawBlock(WorkBitmap& target, PlaneBlock& block, const PixelImage& texture,
               const std::vector<PlaneStep>& rows) {
  const int steps = static_cast<int>(rows.size());
  PackedColour colours[kPlaneBlockColumns];
  for (int j = 0; j < steps; ++j) {
    const PlaneStep& step = rows[j];
    // Transparent texels lend no colour to their neighbours (LerpColour).
    block.Sample(texture, step.distance, colours);
    BgrPixel* out = target.Row(j) + block.first;
    // The fade keeps the texel's alpha, so a hole stays a hole near the horizon.
    for (int i = 0; i < block.count; ++i) colours[i] = step.fade(colours[i], block.horizon[i]);
    for (int i = 0; i < block.count; ++i) BlendIntoMode<Mode>(out[i], colours[i]);
  }
}

}  // namespace

void PrepareCeilingAlpha(const CeilingLayerInput& input) {
  PixelImage* texture = input.Texture;
  if (texture == nullptr || texture->pixels == nullptr) return;
  const std::uint32_t alpha = TexelAlpha(input.Transparency);
  for (int y = 0; y < texture->height; ++y) {
    PackedColour* row = texture->Row(y);
    for (int x = 0; x < texture->width; ++x)
      row[x] = WithAlpha(row[x], SameRgb(row[x], input.OpaqueColor) ? 0 : alpha);
  }
}

void RenderCeiling(RenderContext& context, WorkBitmap& target, CeilingLayerInput input) {
  if (context.AbortRequested) return;
  PixelImagePtr placeholder;
  input.Texture = PlaneTexture(input.Texture, placeholder);
  const int W = target.Width(), H = target.Height();
  const int half = H / 2;
  std::vector<PlaneStep> rows;
  if (input.Texture == nullptr || !MakePlaneSteps(H, half, input.AirDepth, rows)) {
    context.RenderProgress = 100;
    return;
  }
  PrepareCeilingAlpha(input);
  const PixelImage& texture = *input.Texture;

  const long double scale = PlaneScale(input.Scale);
  const std::uint8_t mode = input.MixtureMode;
  auto columns = [&](int, std::int64_t first, std::int64_t last) {
    PlaneBlock block(W, H, static_cast<int>(first), static_cast<int>(last), texture, scale,
                     input.HorizonRow);
    DispatchBlendMode(mode,
                      [&]<std::uint8_t Mode>() { DrawBlock<Mode>(target, block, texture, rows); });
  };
  WorkCrew crew(context.Threads);
  if (!crew.Run(W, kPlaneBlockColumns, columns,
                [&](std::int64_t done) { return context.PollUnits(done, W); }))
    return;
  context.RenderProgress = 100;
}

}  // namespace horizonmill
