#include "render/RenderObjects.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <new>
#include <vector>

#include "render/ObjectDraw.h"
#include "scene/SettingsFile.h"

namespace horizonmill {
namespace {

// The copies the entries ask for: one per manual entry, NumberOfObjects (when
// positive) per other entry, with or without a picture.
std::int64_t CountCopies(std::span<const PreparedObject> group) {
  std::int64_t n = 0;
  for (const PreparedObject& object : group)
    n += object.Settings.Manual ? 1 : std::max<std::int32_t>(object.Settings.NumberOfObjects, 0);
  return n;
}

bool HasPicture(const PixelImage* image) {
  return image != nullptr && image->width > 0 && image->height > 0 && image->pixels != nullptr;
}

void PlaceGroup(SceneRandom& random, bool groundEnabled, std::span<const PreparedObject> group,
                long double g, std::vector<PlacedObject>& list) {
  for (const PreparedObject& object : group) {
    const ObjectEntry& entry = object.Settings;
    const bool drawn = HasPicture(object.Picture.get());
    if (entry.Manual) {
      if (drawn) list.push_back(PlacedObject{&object, entry.Placement});
      continue;
    }
    for (std::int32_t n = 0; n < entry.NumberOfObjects; ++n) {
      ObjectPlacement p;
      p.Angle = random.RandomUnit() * 360.0L;
      long double sign = 1;
      if (!groundEnabled && random.RandomUnit() >= 0.5L) sign = -1;
      if (entry.PositionMode == PositionMode::Sky) {
        const long double h = drawn ? object.Picture->height : 0;
        p.Height = sign * (random.RandomUnit() * h * 3.0L + 2 * h);
      } else {
        p.Height = 0;
      }
      p.Distance = random.RandomUnit() + g;
      if (drawn) list.push_back(PlacedObject{&object, p});
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

std::uint8_t ObjectAlpha(long double transparency) {
  const long double a = std::nearbyintl(255 - transparency * 255);
  return a > 255 ? 255 : a > 0 ? static_cast<std::uint8_t>(a) : 0;
}

void PrepareObjectAlpha(PixelImage& picture, const ObjectEntry& settings) {
  if (!HasPicture(&picture)) return;
  const std::uint32_t alpha = ObjectAlpha(settings.Transparency);
  // A hole is a pixel of the key colour from here on, and is drawn as one.
  PaintHoles(picture, settings.OpaqueColor);
  const std::int64_t count = std::int64_t{picture.width} * picture.height;
  for (std::int64_t k = 0; k < count; ++k) {
    const PackedColour c = picture.pixels[k];
    picture.pixels[k] = WithAlpha(c, SameRgb(c, settings.OpaqueColor) ? 0 : alpha);
  }
}

ObjectLayout PlaceObjects(SceneRandom& random, std::int32_t seed, bool groundEnabled,
                          std::span<const PreparedObject> far, std::span<const PreparedObject> mid,
                          std::span<const PreparedObject> near) {
  ObjectLayout layout;
  layout.Wanted = CountCopies(far) + CountCopies(mid) + CountCopies(near);
  if (layout.Wanted > kMaxObjectCopies) {
    layout.Outcome = PlacementOutcome::TooManyCopies;
    return layout;
  }
  try {
    layout.Copies.reserve(static_cast<std::size_t>(layout.Wanted));
  } catch (const std::bad_alloc&) {
    layout.Outcome = PlacementOutcome::OutOfMemory;
    return layout;
  }
  random.Seed(seed);
  PlaceGroup(random, groundEnabled, far, kFarGroupDistance, layout.Copies);
  PlaceGroup(random, groundEnabled, mid, kMidGroupDistance, layout.Copies);
  PlaceGroup(random, groundEnabled, near, kNearGroupDistance, layout.Copies);
  // Equal distances keep the order of placement (Far, Mid, Near, list order).
  std::stable_sort(layout.Copies.begin(), layout.Copies.end(), FartherFirst);
  return layout;
}

namespace {

Diagnostic LayoutFailure(const ObjectLayout& layout, bool reflection) {
  Diagnostic d;
  const std::string pass = reflection ? "the reflected objects" : "the objects";
  if (layout.Outcome == PlacementOutcome::TooManyCopies) {
    d.code = DiagnosticCode::TooManyObjectCopies;
    d.text = "the object entries ask for " + std::to_string(layout.Wanted) +
             " copies, more than the " + std::to_string(kMaxObjectCopies) + " a pass draws; " +
             pass + " are left out";
  } else {
    d.code = DiagnosticCode::ObjectPassNoMemory;
    d.text = "memory ran out for the work list of " + std::to_string(layout.Wanted) +
             " object copies; " + pass + " are left out";
  }
  return d;
}

Diagnostic CopyRefused(const PlacedObject& copy, bool reflection) {
  const PreparedObject& object = *copy.Object;
  const ObjectPlacement& p = copy.Placement;
  return EntryDiagnostic(
      DiagnosticCode::ObjectCopyRefused, object.Group, object.Index, object.Settings.Filename,
      std::string(reflection ? "the reflection of a copy" : "a copy") + " at angle " +
          FormatReal(p.Angle) + ", height " + FormatReal(p.Height) + ", distance " +
          FormatReal(p.Distance) +
          " cannot be drawn: its size or position is out of range (a distance of 0, or a box "
          "more than " +
          std::to_string(kMaxObjectBoxCoverage) +
          " times the size of the panorama), or memory ran out; the objects pass ends there, "
          "what it drew stays");
}

}  // namespace

void RenderObjects(RenderContext& context, WorkBitmap& target, const ObjectLayerInput& input,
                   bool reflection) {
  if (context.AbortRequested) return;
  if (input.Layout == nullptr) {
    context.RenderProgress = 100;
    return;
  }
  const ObjectLayout& layout = *input.Layout;
  if (layout.Outcome != PlacementOutcome::Placed)
    return context.Port->Report(LayoutFailure(layout, reflection));

  detail::ObjectScratch scratch;
  WorkCrew crew(context.Threads);
  // Within a large copy the port hears too, at the percentage of the copies before it.
  const std::function<bool()> poll = [&] { return context.PollProgress(context.RenderProgress); };
  const std::vector<PlacedObject>& list = layout.Copies;
  const std::int64_t n = static_cast<std::int64_t>(list.size());
  for (std::int64_t i = 0; i < n; ++i) {
    if (!detail::DrawObject(target, list[i], input, reflection, scratch, crew, poll))
      return context.Port->Report(CopyRefused(list[i], reflection));
    if (context.PollProgress(ProgressPercent(i, n))) return;
  }
  context.RenderProgress = 100;
}

}  // namespace horizonmill
