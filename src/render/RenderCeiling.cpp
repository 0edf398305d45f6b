// The ceiling pass.
//
// A layer handed no texture at all (its slot stayed empty because memory ran
// out while the texture was loaded) is drawn with the checkerboard placeholder,
// made for this pass only, as an empty file name would be; only when even that
// cannot be allocated is the layer left out.
#include "render/RenderCeiling.h"

#include <cmath>
#include <new>
#include <vector>

#include "image/Placeholders.h"
#include "render/TDivs.h"

namespace horizonmill {
namespace {

constexpr long double kZeroScaleStandIn = 0.001L;

// Round(255 - transparency * 255), low eight bits, also for a transparency
// outside 0..1 (never from the track bar); one that is no number, or so far
// out that no integer holds the product, gives 0 rather than an undefined
// conversion.
std::uint32_t TexelAlpha(long double transparency) {
  const long double a = std::nearbyintl(255 - transparency * 255);
  if (!(std::fabs(a) < 9.0e18L)) return 0;
  return static_cast<std::uint32_t>(static_cast<long long>(a) & 0xff);
}

// Step distance and fade of every row of the upper half: both depend only on
// the step, not on the column.
struct CeilingRow {
  long double distance;
  AerialFader fade;
};

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
  if (input.Texture == nullptr || input.Texture->width <= 0 || input.Texture->height <= 0) {
    if (!MakeCheckerTexture(placeholder)) {
      context.RenderProgress = 100;
      return;
    }
    input.Texture = placeholder.get();
  }
  PrepareCeilingAlpha(input);
  const PixelImage& texture = *input.Texture;

  const int W = target.Width(), H = target.Height();
  const int half = H / 2;
  std::vector<CeilingRow> rows;
  try {
    rows.reserve(static_cast<std::size_t>(half));
  } catch (const std::bad_alloc&) {
    context.RenderProgress = 100;
    return;
  }
  for (int j = 0; j < half; ++j) {
    const long double d = PlaneWalk::StepDistance(H, j);
    rows.push_back(CeilingRow{d, AerialFader(input.AirDepth, d)});
  }

  // A scale of exactly 0 (a settings file may hold one) is drawn as 0.001, the
  // value the scale inputs put in its place; the walk never divides by zero.
  const long double scale = input.Scale == 0 ? kZeroScaleStandIn : input.Scale;
  const PackedColour white = MakePacked(255, 255, 255, 255);
  for (int x = 0; x < W; ++x) {
    PlaneWalk walk(W, H, x, texture.width, texture.height, scale);
    const PackedColour hz =
        input.HorizonRow != nullptr ? GetImagePixel(*input.HorizonRow, x, 0, false) : white;
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
