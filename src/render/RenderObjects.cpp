#include "render/RenderObjects.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <new>
#include <vector>

#include "render/ObjectDraw.h"

namespace horizonmill {
namespace {

constexpr const char* kObjectFailureMessage = "メモリーをくれええ";

bool Usable(const ObjectGroup* group) { return group != nullptr && !group->Empty(); }

// The copies a pass would make: one per manual entry, NumberOfObjects (when
// positive) per other entry, with or without a picture.
std::int64_t CountCopies(const ObjectLayerInput& input) {
  std::int64_t n = 0;
  for (const ObjectGroup* group : {input.Far, input.Mid, input.Near}) {
    if (!Usable(group)) continue;
    for (const ObjectEntry& entry : *group)
      n += entry.Manual ? 1 : std::max<std::int32_t>(entry.NumberOfObjects, 0);
  }
  return n;
}

bool HasPicture(const ObjectEntry& entry) {
  return entry.Image && entry.Image->width > 0 && entry.Image->height > 0 &&
         entry.Image->pixels != nullptr;
}

// Walks Far, Mid, Near in list order. Random entries draw, per copy: the angle,
// the sign (only without ground), the height (only in the sky), the distance.
// An entry without a picture draws its numbers like any other, so a picture that
// failed to load moves no other object, but adds no copy.
void PlaceObjects(SceneRandom& random, const ObjectLayerInput& input,
                  std::vector<PlacedObject>& list) {
  const std::pair<ObjectGroup*, long double> groups[] = {{input.Far, kFarGroupDistance},
                                                         {input.Mid, kMidGroupDistance},
                                                         {input.Near, kNearGroupDistance}};
  for (const auto& [group, g] : groups) {
    if (!Usable(group)) continue;
    for (ObjectEntry& entry : *group) {
      const bool drawn = HasPicture(entry);
      if (entry.Manual) {
        if (drawn) list.push_back(PlacedObject{&entry, entry.Placement});
        continue;
      }
      for (std::int32_t n = 0; n < entry.NumberOfObjects; ++n) {
        ObjectPlacement p;
        p.Angle = random.RandomUnit() * 360.0L;
        long double sign = 1;
        if (!input.GroundEnabled && random.RandomUnit() >= 0.5L) sign = -1;
        if (entry.PositionMode == PositionMode::Sky) {
          const long double h = drawn ? entry.Image->height : 0;
          p.Height = sign * (random.RandomUnit() * h * 3.0L + 2 * h);
        } else {
          p.Height = 0;
        }
        p.Distance = random.RandomUnit() + g;
        entry.Placement = p;
        if (drawn) list.push_back(PlacedObject{&entry, p});
      }
    }
  }
}

// Largest distance first; a distance that is no number after every number (so
// the order is a strict weak one whatever the values).
bool FartherFirst(const PlacedObject& a, const PlacedObject& b) {
  const long double da = a.Placement.Distance, db = b.Placement.Distance;
  if (std::isnan(db)) return !std::isnan(da);
  return da > db;
}

std::int32_t SunlightChannel(long double v) {
  const long double scaled = std::nearbyintl(v * 255);
  if (std::isnan(scaled)) return 0;
  if (scaled > 255) return 255;
  if (scaled < std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(scaled);
}

}  // namespace

std::array<std::int32_t, 3> ComputeSunlight(const SunSettings& sun) {
  const float centre[3] = {sun.CenterColor.r, sun.CenterColor.g, sun.CenterColor.b};
  const float outer[3] = {sun.OuterColor.r, sun.OuterColor.g, sun.OuterColor.b};
  std::array<std::int32_t, 3> light{};
  for (int c = 0; c < 3; ++c) {
    long double v = (2 * static_cast<long double>(centre[c]) + outer[c]) / 255 -
                    (sun.Slopes[c] - 10) * 0.05L * 5;
    switch (sun.MixtureMode) {
      case MixtureMode::Add:
        v = v / 8;
        break;
      case MixtureMode::Sub:
        v = 1 - v / 8;
        break;
      case MixtureMode::Norm:
        v = v / 16;
        break;
      default:
        break;
    }
    light[c] = SunlightChannel(v);
  }
  return light;
}

void PrepareObjectAlpha(ObjectGroup* group) {
  if (group == nullptr) return;
  for (ObjectEntry& entry : *group) {
    if (!HasPicture(entry)) continue;
    const long double a = std::nearbyintl(255 - entry.Transparency * 255);
    const std::uint32_t alpha = a > 255 ? 255 : a > 0 ? static_cast<std::uint32_t>(a) : 0;
    PixelImage& image = *entry.Image;
    // A hole is a pixel of the key colour from here on, and is drawn as one.
    PaintHoles(image, entry.OpaqueColor);
    const std::int64_t count = std::int64_t{image.width} * image.height;
    for (std::int64_t k = 0; k < count; ++k) {
      const PackedColour c = image.pixels[k];
      image.pixels[k] = WithAlpha(c, SameRgb(c, entry.OpaqueColor) ? 0 : alpha);
    }
  }
}

void RenderObjects(RenderContext& context, WorkBitmap& target, const ObjectLayerInput& input,
                   bool reflection) {
  if (context.AbortRequested) return;
  RenderHost& host = *context.Host;
  auto fail = [&host] {
    host.Beep();
    host.MessageBox(kObjectFailureMessage);
  };

  // The work list lives in this scope and is freed on every way out.
  std::vector<PlacedObject> list;
  context.Random.Seed(input.RandomSeed);
  PrepareObjectAlpha(input.Far);
  PrepareObjectAlpha(input.Mid);
  PrepareObjectAlpha(input.Near);

  const std::int64_t copies = CountCopies(input);
  if (copies > kMaxObjectCopies) return fail();
  try {
    list.reserve(static_cast<std::size_t>(copies));
  } catch (const std::bad_alloc&) {
    return fail();
  }
  PlaceObjects(context.Random, input, list);
  // Equal distances keep the order of placement (Far, Mid, Near, list order).
  std::stable_sort(list.begin(), list.end(), FartherFirst);

  detail::ObjectScratch scratch;
  WorkCrew crew(context.Threads);
  // Within a large copy events run too, at the percentage of the copies before it.
  const std::function<bool()> poll = [&] { return context.PollProgress(context.RenderProgress); };
  const std::int64_t n = static_cast<std::int64_t>(list.size());
  for (std::int64_t i = 0; i < n; ++i) {
    if (!detail::DrawObject(target, list[i], input, reflection, scratch, crew, poll)) return fail();
    if (context.PollProgress(ProgressPercent(i, n))) return;
  }
  context.RenderProgress = 100;
}

}  // namespace horizonmill
