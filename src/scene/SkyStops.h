// How the sky gradation editor changes the stops by clicks on its preview: a
// stop is hit when the click's row lies less than five rows from its marker; a
// left click recolours the stop it hits or places a new one, a right click
// deletes the stop it hits. The rules keep the gradation's invariants: the
// first stop at 0, the last at 1, positions ascending, at most sixteen stops.
#pragma once

#include "image/Colour.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

// The row of a stop's marker on an area `height` rows high:
// Round(height * position), halves to even (a stop at 1.0 lies below the last row).
int StopMarkerRow(long double position, int height);

// The first stop whose marker row lies less than five rows from `row`; -1 for none.
int HitStop(const SkyGradation& sky, int height, int row);

enum class StopPlacement {
  Recoloured,  // a stop was hit and takes the colour
  Inserted,    // a new stop at row / height, between its neighbours' markers
  Full,        // no stop was hit and sixteen are in use: nothing changed
};

// A left click at `row` of an area `height` rows high: recolours the stop hit,
// or inserts a new one at row / height after every stop whose marker row is at
// most `row`. The colour is taken with alpha 255. `row` lies in 0 .. height - 1.
StopPlacement PlaceStop(SkyGradation& sky, int height, int row, FloatColour colour);

// A right click: deletes the stop hit, the stops after it moving down one
// place. False, with nothing changed, when no stop is hit or the hit stop is
// the first or the last.
bool DeleteStop(SkyGradation& sky, int height, int row);

}  // namespace horizonmill
