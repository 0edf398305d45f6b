// The objects: pictures of the far, middle and near groups placed around the
// panorama (at random or by hand), drawn from the farthest to the nearest as
// 3 x 3 supersampled boxes, shaded by the sun and faded by the aerial perspective.
// The reflection pass draws them upside down below their foot line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "image/PictureCache.h"
#include "image/PixelImage.h"
#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "render/SceneRandom.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

// One entry of an object group as a render draws it: the entry's settings and
// its picture as the objects pass reads it.
struct PreparedObject {
  ObjectEntry Settings;  // the document's entry: settings and picture name
  GroupId Group = GroupId::Far;
  std::size_t Index = 0;  // the entry's place in its group, from 0
  // The picture with the key colour and the transparency in its alpha
  // (PrepareObjectAlpha); none when no picture could be had: the entry is
  // left out of the drawing, but still draws its random numbers.
  SharedPicture Picture;
  // The picture file's picture as decoded (holes kept), for the window's
  // pickers; none when no picture could be had.
  SharedPicture Decoded;
};

// One copy of the work list: an entry with the placement chosen for it.
struct PlacedObject {
  const PreparedObject* Object = nullptr;
  ObjectPlacement Placement;
};

enum class PlacementOutcome {
  Placed,
  TooManyCopies,  // more than kMaxObjectCopies: nothing is placed
  OutOfMemory,    // memory ran out for the work list: nothing is placed
};

// The copies of a scene's objects, placed once when the scene is prepared: the
// reflection pass and the normal pass draw the same list.
struct ObjectLayout {
  std::vector<PlacedObject> Copies;  // farthest first
  PlacementOutcome Outcome = PlacementOutcome::Placed;
  std::int64_t Wanted = 0;  // the copies the entries ask for
};

struct ObjectLayerInput {
  long double AirDepth = 0;
  ::horizonmill::SunPosition SunPosition;
  std::array<std::int32_t, 3> Sunlight{};  // red, green, blue
  const PixelImage* HorizonRow = nullptr;  // none: the horizon is opaque white
  const ObjectLayout* Layout = nullptr;    // none: nothing to draw
};

// The random distance of a group's copies lies in [GroupDistance, GroupDistance + 1).
inline constexpr long double kFarGroupDistance = 3.0L;
inline constexpr long double kMidGroupDistance = 1.5L;
inline constexpr long double kNearGroupDistance = 0.75L;

// At most this many copies in one pass (manual entries count one, the others
// NumberOfObjects each, pictures or not). Beyond it nothing is placed and each
// pass reports TooManyObjectCopies. 2^21 copies keep the work list
// under 128 MiB, and are already far more objects than a panorama can show:
// each copy also costs one progress poll (a report to the render's port).
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

// Every pixel of the picture: alpha 0 where red, green and blue equal the
// entry's OpaqueColor, otherwise Round(255 - Transparency * 255), held to
// 0..255 (a Transparency outside 0..1 from a settings file is thus opaque or
// invisible, never wrapped round; one that is no number makes it invisible).
// The picture's holes are painted in OpaqueColor's red, green and blue first
// (PaintHoles), so they are never drawn.
void PrepareObjectAlpha(PixelImage& picture, const ObjectEntry& settings);
// The alpha PrepareObjectAlpha gives the pixels that are not of the key colour.
std::uint8_t ObjectAlpha(long double transparency);

// The work list: reseeds `random` with `seed` and walks Far, Mid, Near in list
// order. A manual entry adds one copy at its Placement, drawing no number;
// every other entry draws, per copy (NumberOfObjects, none when 0 or below):
// the angle, the sign (only without ground), the height (only in the sky,
// from the picture's height), the distance (in its group's range). An entry
// without a picture draws its numbers like any other, so a picture that cannot
// be had moves no other object, but adds no copy. The copies are then sorted
// farthest first, equal distances keeping the order of placement.
ObjectLayout PlaceObjects(SceneRandom& random, std::int32_t seed, bool groundEnabled,
                          std::span<const PreparedObject> far, std::span<const PreparedObject> mid,
                          std::span<const PreparedObject> near);

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

// Draws the layout's copies in their order. Progress once per copy; the rows of
// a large copy are shared among context.Threads threads. A layout that placed
// nothing (too many copies, memory) or a copy DrawObject refuses is reported
// through the context's port (TooManyObjectCopies, ObjectPassNoMemory,
// ObjectCopyRefused) and ends the pass, keeping what was drawn.
void RenderObjects(RenderContext& context, WorkBitmap& target, const ObjectLayerInput& input,
                   bool reflection);

}  // namespace horizonmill
