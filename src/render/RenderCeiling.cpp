// The ceiling pass. A layer handed no texture is drawn with the checkerboard
// placeholder (see PlaneLayer.h).
#include "render/RenderCeiling.h"

#include <cmath>
#include <new>
#include <vector>

#include "render/PlaneLayer.h"

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
  for (int x = 0; x < W; ++x) {
    PlaneWalk walk(W, H, x, texture.width, texture.height, scale);
    const PackedColour hz = HorizonColour(input.HorizonRow, x);
    // Step j draws row j: from the zenith down to the row above the horizon.
    for (int j = 0; j < half; ++j) {
      // Transparent texels lend no colour to their neighbours (LerpColour).
      PackedColour c = SampleImage(texture, walk.U(), walk.V());
      walk.AdvanceBy(rows[j].distance);
      // The fade keeps the texel's alpha, so a hole stays a hole near the horizon.
      c = rows[j].fade(c, hz);
      BlendInto(target.Row(j)[x], c, input.MixtureMode);
    }
    if (context.PollProgress(ProgressPercent(x, W))) return;
  }
  context.RenderProgress = 100;
}

}  // namespace horizonmill
