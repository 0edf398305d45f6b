// The objects: pictures of the far, middle and near groups placed around the
// panorama (at random or by hand), drawn from the farthest to the nearest as
// 3 x 3 supersampled boxes, shaded by the sun and faded by the aerial perspective.
// The reflection pass draws them upside down below their foot line.
#pragma once

#include <array>
#include <cstdint>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

struct ObjectLayerInput {
  long double AirDepth = 0;
  std::int32_t RandomSeed = 0;
  ::horizonmill::SunPosition SunPosition;
  std::array<std::int32_t, 3> Sunlight{};  // red, green, blue
  bool GroundEnabled = false;
  const PixelImage* HorizonRow = nullptr;  // none: the horizon is opaque white
  ObjectGroup* Far = nullptr;
  ObjectGroup* Mid = nullptr;
  ObjectGroup* Near = nullptr;
};

// One entry of a pass's work list: the scene's entry (its settings and its
// picture, shared and not owned) with the placement chosen for this copy. The
// entries must stay in their groups while the pass runs.
struct PlacedObject {
  const ObjectEntry* Entry = nullptr;
  ObjectPlacement Placement;
};

// The random distance of a group's copies lies in [GroupDistance, GroupDistance + 1).
inline constexpr long double kFarGroupDistance = 3.0L;
inline constexpr long double kMidGroupDistance = 1.5L;
inline constexpr long double kNearGroupDistance = 0.75L;

// At most this many copies in one pass (manual entries count one, the others
// NumberOfObjects each, pictures or not). Beyond it the pass reports
// "メモリーをくれええ" before placing anything. 2^21 copies keep the work list
// under 128 MiB, and are already far more objects than a panorama can show:
// each copy also costs one progress poll (a pass of the event loop).
inline constexpr std::int64_t kMaxObjectCopies = std::int64_t{1} << 21;

// A copy's box may hold at most this many times the target's pixels. A box is
// drawn pixel by pixel in order, and where it is larger than the target its
// rows and columns wrap onto pixels it has already blended, so no pixel can be
// skipped without changing the picture; the work is bounded instead, and a box
// beyond the bound (a Distance near 0, a huge Scale) takes the failure path like
// a zero Distance does. 4 allows an object twice as wide as the panorama.
inline constexpr std::int64_t kMaxObjectBoxCoverage = 4;

// The light colour the sun casts on objects: per channel
// v = (2 C + O) / 255 - (S - 10) * 0.05 * 5, then v / 8 (Add), 1 - v / 8 (Sub),
// v / 16 (Norm) or v unchanged (no sun mode), result Round(v * 255), at most 255.
// Values below 0 are kept (down to the 32-bit range); a value that is no number
// gives 0.
std::array<std::int32_t, 3> ComputeSunlight(const SunSettings& sun);

// Every pixel of every entry's picture: alpha 0 where red, green and blue equal
// the entry's OpaqueColor, otherwise Round(255 - Transparency * 255), held to
// 0..255 (a Transparency outside 0..1 from a settings file is thus opaque or
// invisible, never wrapped round; one that is no number makes it invisible).
// The picture's holes are painted in OpaqueColor's red, green and blue first
// (PaintHoles), so they are never drawn. Entries without a picture are passed
// over. A null group is allowed.
void PrepareObjectAlpha(ObjectGroup* group);

// Shades a colour by the sun (the light colour, the sun's position) for the
// column fraction p = column / width (below 0 or above 1 for a part of an object
// past the left or right edge). Per channel v:
// EaseOut(d v + d L, v, 0, 0.5, |sy - 0.5|, 1) with d the distance to the sun
// around the circle, rounded and held to 0..255 (the shading formula clamps only
// above 255; a column just past the edge can give slightly below 0, which we
// clamp to 0 as well). Alpha is kept.
PackedColour ShadeBySun(PackedColour colour, const std::array<std::int32_t, 3>& light,
                        SunPosition sun, long double p);

// Draws one placed copy: a box wt = Round(W / 12 * Scale / Distance) wide
// (columns xc +- wt div 2) and ht = Round(wt * H / W) high, rows by position mode
// and pass, each target pixel the truncated mean of 3 x 3 picture samples
// (coordinates rounded half to even, wrapping at the picture's edges; rows read
// upside down in the reflection pass), shaded when Shadeing is set, faded toward
// the horizon colour (normal pass only), blended with wrap-around; the
// reflection pass leaves the upper half (rows above H div 2) untouched. An empty box
// or an entry without a picture draws nothing. Returns false, drawing nothing,
// when a size or position is no number or out of range (a zero Distance) or the
// box is larger than kMaxObjectBoxCoverage times the target: the caller's
// failure path.
bool DrawObject(WorkBitmap& target, const PlacedObject& copy, const ObjectLayerInput& input,
                bool reflection);

// Reseeds context.Random, places every copy, draws them farthest first. Random
// placements are left in the entries' Placement. Progress once per copy; the
// rows of a large copy are shared among context.Threads threads. On a failure
// (too many copies, memory, a copy DrawObject refuses) beeps, shows
// "メモリーをくれええ" and ends the pass, keeping what was drawn.
void RenderObjects(RenderContext& context, WorkBitmap& target, const ObjectLayerInput& input,
                   bool reflection);

}  // namespace horizonmill
