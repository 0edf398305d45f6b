// Internals of the objects pass: the working memory that DrawObject reuses from
// one copy to the next, so a pass allocates once and never per copy or pixel,
// and the threads that share the rows of a copy.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "render/RenderObjects.h"
#include "render/WorkCrew.h"

namespace horizonmill::detail {

// One shaded channel: EaseOut(d v + dl, v, 0, 0.5, l, 1), rounded, held to
// 0..255, with d the column's distance to the sun and dl = d L (L that
// channel's sunlight), l the sun's height. The defining evaluation, in
// extended precision.
std::uint8_t ShadeChannel(int v, long double d, long double dl, double l);

// ShadeChannel for one column and channel, for every v: in double precision,
// with the extended evaluation only where the double result lies within its
// error bound of a rounding boundary (see ObjectDraw.cpp).
class ChannelShade {
 public:
  ChannelShade() = default;
  ChannelShade(long double d, long double dl, double l);
  std::uint8_t operator()(int v) const;

 private:
  long double d_ = 0, dl_ = 0;  // the defining values
  double l_ = 0;
  double dDouble_ = 0, dlDouble_ = 0, span_ = 0;  // d, dl and |0.5 - l| in double
  double error_ = 0;                              // the bound, for every v
};

// What a target column needs, worked out once per copy: the three picture
// columns of its samples, the wrapped target column, the shading of its red,
// green and blue by the sun and the horizon colour behind it.
struct ObjectColumn {
  ChannelShade shade[3];
  std::int32_t source[3];
  std::int32_t target;
  PackedColour horizon;
};

struct ObjectScratch {
  std::vector<ObjectColumn> columns;
};

// DrawObject with working memory kept by the caller and the rows of the copy
// shared among the crew's threads (each target row by one thread, so rows
// that a tall box wraps onto each other are still blended in order). A copy
// of several blocks asks `stop` (when given) on the calling thread between
// them, before the last one is done: when it says true, no further block is
// started and the copy stays part drawn (true is still returned).
bool DrawObject(WorkBitmap& target, const PlacedObject& copy, const ObjectLayerInput& input,
                bool reflection, ObjectScratch& scratch, WorkCrew& crew,
                const std::function<bool()>& stop = nullptr);

}  // namespace horizonmill::detail
