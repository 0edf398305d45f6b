// DrawObject and ShadeBySun: one placed copy of an object drawn into the target.
#include "render/ObjectDraw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "render/AerialFade.h"
#include "render/Easing.h"
#include "render/RenderObjects.h"

namespace horizonmill {
namespace {

// Every size and coordinate of a box must lie within +-2^30 before it becomes
// an integer; beyond that (or no number at all) the copy is refused.
constexpr long double kCoordinateLimit = 1073741824.0L;

bool InRange(long double v) { return std::fabs(v) <= kCoordinateLimit; }

// Round(v), halves to even, for a v known to be in range (rintl: the current
// rounding mode, without the environment's save and restore of nearbyintl).
std::int64_t RoundIn(long double v) { return static_cast<std::int64_t>(std::rintl(v)); }

// The wrap rule for 64-bit coordinates: reduced modulo the size, never negative.
std::int64_t Wrap(std::int64_t v, std::int64_t size) {
  const std::int64_t r = v % size;
  return r < 0 ? r + size : r;
}

// The angular distance to the sun, as a fraction of the full turn (0 .. 0.5
// for columns inside the panorama).
long double SunDistance(long double p, long double sunX) {
  long double d = std::fabs(p - sunX);
  if (d > 0.5L) d = 1 - d;
  return d;
}

// The box of a copy on the target, inclusive.
struct Box {
  std::int64_t x0, x1, y0, y1;
};

enum class Geometry { Box, Empty, Fault };

// Sizes and rows of a copy. Fault when a value to be rounded is no number or
// out of range, or the box exceeds the coverage bound.
Geometry PlaceBox(const WorkBitmap& target, const PlacedObject& copy, bool reflection, Box& box) {
  const long double W = target.Width(), H = target.Height();
  const ObjectEntry& e = copy.Object->Settings;
  const long double x = copy.Placement.Angle, y = copy.Placement.Height,
                    z = copy.Placement.Distance;

  // A zero distance would divide by zero below: caught before it happens.
  if (z == 0 || std::isnan(z)) return Geometry::Fault;
  // The object spans 30 degrees at Scale 1 and distance 1.
  const long double wt_real = (W / 360 * 30) * (e.Scale / z);
  if (!std::isfinite(wt_real) || wt_real > kCoordinateLimit) return Geometry::Fault;
  // A negative width of any finite size is an empty box: held at -2^30.
  const std::int64_t wt = wt_real < -kCoordinateLimit ? -1073741824 : RoundIn(wt_real);
  // The box follows the target's aspect, not the picture's.
  const long double ht_real = std::nearbyintl(wt * (H / W));
  if (!(ht_real <= kCoordinateLimit)) return Geometry::Fault;
  const std::int64_t ht = ht_real < -kCoordinateLimit ? -1073741824 : RoundIn(ht_real);

  const long double o = H / 20;
  const long double r = o / z;
  const long double t = o * y / z / 300;
  const long double u = o * 0.25L;
  const std::int64_t m = target.Height() / 2;  // the horizon row
  // Normal pass: the picture stands on (or floats about) its foot line; the
  // reflection hangs from the same line downward.
  const long double offset = reflection ? r + t - u : r - t - u;
  if (!InRange(offset)) return Geometry::Fault;
  const std::int64_t base = m + RoundIn(offset);

  const long double xc_real = W / 360 * x;
  if (!InRange(xc_real)) return Geometry::Fault;
  const std::int64_t xc = RoundIn(xc_real);
  box.x0 = xc - wt / 2;  // div truncates toward zero
  box.x1 = xc + wt / 2;

  if (e.PositionMode == PositionMode::Ground) {
    if (reflection) {
      box.y0 = base;
      box.y1 = base + (ht - 1);
    } else {
      box.y1 = base;
      box.y0 = base - (ht - 1);
    }
  } else {
    box.y0 = base - ht / 2;
    box.y1 = base + ht / 2;
  }
  if (box.x0 > box.x1 || box.y0 > box.y1) return Geometry::Empty;

  const std::int64_t area = (box.x1 - box.x0 + 1) * (box.y1 - box.y0 + 1);
  if (area > kMaxObjectBoxCoverage * target.Width() * target.Height()) return Geometry::Fault;
  return Geometry::Box;
}

// Copies of at least this many pixels have their rows shared among the threads.
constexpr std::int64_t kSharedCopyPixels = 16384;

// Adds a picture pixel into two sums of 16-bit lanes: red | blue << 16 and
// green | alpha << 16. Nine bytes of at most 255 stay below 2^16.
inline void Accumulate(PackedColour c, std::uint32_t& rb, std::uint32_t& ga) {
  rb += c & 0x00ff00ffu;
  ga += (c >> 8) & 0x00ff00ffu;
}

}  // namespace

PackedColour ShadeBySun(PackedColour colour, const std::array<std::int32_t, 3>& light,
                        SunPosition sun, long double p) {
  const long double d = SunDistance(p, sun.X);
  const double l = static_cast<double>(std::fabs(sun.Y - 0.5L));
  return MakePacked(detail::ShadeChannel(Red(colour), d, d * light[0], l),
                    detail::ShadeChannel(Green(colour), d, d * light[1], l),
                    detail::ShadeChannel(Blue(colour), d, d * light[2], l), Alpha(colour));
}

bool DrawObject(WorkBitmap& target, const PlacedObject& copy, const ObjectLayerInput& input,
                bool reflection) {
  detail::ObjectScratch scratch;
  WorkCrew alone(1);
  return detail::DrawObject(target, copy, input, reflection, scratch, alone);
}

namespace detail {

std::uint8_t ShadeChannel(int v, long double d, long double dl, double l) {
  const double shaded = static_cast<double>(d * v + dl);
  const double r = EaseOut(shaded, v, 0.0, 0.5, l, 1.0);
  if (!(r > 0)) return 0;
  if (r >= 255) return 255;
  // Round half to even: for 0 <= r < 2^52, adding and taking away 2^52 leaves
  // the nearest integer, ties to even, under the default rounding mode.
  return static_cast<std::uint8_t>((r + 0x1p52) - 0x1p52);
}

// Why double precision gives the same byte. EaseOut's steps, with a = |0.5 - l|
// (rounded to double, as EaseOut does), come to s + v - (s + a * 2 (v - s)),
// s = d v + dl: the exact value T = v + 2 a (s - v). Every intermediate lies
// within B = (1 + 4 max(a, 1)) (255 |d| + |dl| + 255) of 0, so each of the
// extended evaluation's roundings (to double, a handful) and each of the double
// one's (d and dl rounded too, a handful more) moves its result by at most
// B * 2^-53, and s's own error is carried by 2a: both lie within B * 2^-48 of
// T, so of each other. The byte is a step function of the result with its
// steps at k + 1/2 (below 1/2 it is 0, above 254.5 it is 255); where the double
// result lies farther than the bound, B * 2^-46, from every step, the extended
// one lies on the same side of it.
ChannelShade::ChannelShade(long double d, long double dl, double l)
    : d_(d),
      dl_(dl),
      l_(l),
      dDouble_(static_cast<double>(d)),
      dlDouble_(static_cast<double>(dl)),
      span_(std::fabs(static_cast<double>(0.5L - static_cast<long double>(l)))) {
  const double reach = 1 + 4 * std::max(span_, 1.0);
  // A value that is no number, or one so large, makes the bound no number or
  // infinite: every v is then worked out the extended way.
  error_ = reach * (255 * std::fabs(dDouble_) + std::fabs(dlDouble_) + 255) * 0x1p-46;
}

std::uint8_t ChannelShade::operator()(int v) const {
  const double s = dDouble_ * v + dlDouble_;
  const double r = s + (v - (s + span_ * ((v - s) * 2)));
  if (r < 0.5 - error_) return 0;
  if (r > 254.5 + error_) return 255;
  // The nearest integer (r lies within 0..255 here, unless the bound is so
  // large that nothing passes the test below).
  const double n = (r + 0x1p52) - 0x1p52;
  if (std::fabs(r - n) < 0.5 - error_) return static_cast<std::uint8_t>(n);
  return ShadeChannel(v, d_, dl_, l_);
}

bool DrawObject(WorkBitmap& target, const PlacedObject& copy, const ObjectLayerInput& input,
                bool reflection, ObjectScratch& scratch, WorkCrew& crew,
                const std::function<bool()>& stop) {
  if (copy.Object == nullptr || target.Empty()) return true;
  const ObjectEntry& e = copy.Object->Settings;
  const PixelImage* image = copy.Object->Picture.get();
  if (image == nullptr || image->width < 1 || image->height < 1 || image->pixels == nullptr)
    return true;

  Box box{};
  switch (PlaceBox(target, copy, reflection, box)) {
    case Geometry::Fault:
      return false;
    case Geometry::Empty:
      return true;
    case Geometry::Box:
      break;
  }

  const int W = target.Width(), H = target.Height();
  const int bw = image->width, bh = image->height;
  const std::int64_t columns = box.x1 - box.x0 + 1, rows = box.y1 - box.y0 + 1;
  const long double fx = static_cast<long double>(bw) / columns;
  const long double fy = static_cast<long double>(bh) / rows;

  const PixelImage* horizon_row = input.HorizonRow;
  if (horizon_row != nullptr && (horizon_row->width < 1 || horizon_row->pixels == nullptr))
    horizon_row = nullptr;

  // Aerial perspective in the normal pass only, at distance z * 100 for the whole copy.
  const AerialFader fade(input.AirDepth, copy.Placement.Distance * 100);
  const bool faded = !reflection && fade.Active();

  const bool shade = e.Shadeing;
  const double sun_height = static_cast<double>(std::fabs(input.SunPosition.Y - 0.5L));

  std::vector<ObjectColumn>& plan = scratch.columns;
  try {
    plan.resize(static_cast<std::size_t>(columns));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::int64_t q = 0; q < columns; ++q) {
    ObjectColumn& c = plan[q];
    // The picture column starts again at 0 on every target row.
    for (int sc = 0; sc < 3; ++sc) {
      const long double sx = q * fx + sc * fx / 3;
      c.source[sc] = static_cast<std::int32_t>(Wrap(RoundIn(sx), bw));
    }
    const std::int64_t i = box.x0 + q;
    c.target = static_cast<std::int32_t>(Wrap(i, W));
    // The column fraction before wrap-around: below 0 or above 1 past the edges.
    if (shade) {
      const long double sun_distance =
          SunDistance(static_cast<long double>(i) / W, input.SunPosition.X);
      for (int channel = 0; channel < 3; ++channel)
        c.shade[channel] =
            ChannelShade(sun_distance, sun_distance * input.Sunlight[channel], sun_height);
    }
    c.horizon = horizon_row != nullptr ? horizon_row->Row(0)[Wrap(i, horizon_row->width)]
                                       : MakePacked(255, 255, 255, 255);
  }

  const std::uint8_t mode = e.MixtureMode;

  auto draw_row = [&](std::int64_t k) {
    const int target_row = static_cast<int>(Wrap(box.y0 + k, H));
    // The reflection pass draws into the lower half only: that half becomes the
    // reflection (and is then covered by the ground), while a reflected row
    // landing above the horizon would stay in the finished sky upside down.
    if (reflection && target_row < H / 2) return;
    const PackedColour* source[3];
    for (int sr = 0; sr < 3; ++sr) {
      const long double sy = k * fy + sr * fy / 3;
      // The reflection reads the picture upside down.
      const long double row = reflection ? bh - sy - 1 : sy;
      source[sr] = image->Row(static_cast<int>(Wrap(RoundIn(row), bh)));
    }
    BgrPixel* out = target.Row(target_row);
    for (const ObjectColumn& c : plan) {
      std::uint32_t rb = 0, ga = 0;
      for (const PackedColour* s : source) {
        Accumulate(s[c.source[0]], rb, ga);
        Accumulate(s[c.source[1]], rb, ga);
        Accumulate(s[c.source[2]], rb, ga);
      }
      const std::uint32_t alpha = (ga >> 16) / 9;
      if (alpha == 0) continue;  // blending it would change nothing
      PackedColour colour = MakePacked((rb & 0xffff) / 9, (ga & 0xffff) / 9, (rb >> 16) / 9, alpha);
      if (shade) {
        colour = MakePacked(c.shade[0](Red(colour)), c.shade[1](Green(colour)),
                            c.shade[2](Blue(colour)), alpha);
      }
      if (faded) colour = fade(colour, c.horizon);
      BlendInto(out[c.target], colour, mode);
    }
  };
  // Rows k and k + H of a box taller than the target land on one target row:
  // unit u draws rows u, u + H, ... in that order, so each target row is
  // blended by one thread in the order a lone thread would use.
  const std::int64_t units = std::min<std::int64_t>(rows, H);
  auto draw_units = [&](int, std::int64_t first, std::int64_t last) {
    for (std::int64_t u = first; u < last; ++u)
      for (std::int64_t k = u; k < rows; k += H) draw_row(k);
  };
  // A small copy is not worth waking the workers for.
  const bool shared = rows * columns >= kSharedCopyPixels;
  // A large copy at a large size takes a while: between its blocks the caller
  // may stop it (the last report, the whole copy, is the caller's to make).
  crew.Run(units, shared ? std::max<std::int64_t>(4, units / (4 * crew.Threads())) : units,
           draw_units, [&](std::int64_t done) { return done < units && stop && stop(); });
  return true;
}

}  // namespace detail

}  // namespace horizonmill
