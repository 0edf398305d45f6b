// The look-around view: the panorama seen through a pinhole camera that turns
// about the viewer without rolling, so the horizon stays level. Drawn from the
// panorama by its direction rule (render/PanoramaDirection.h), so the panorama's
// left and right edges meet without a seam.
#pragma once

#include "image/WorkBitmap.h"
#include "render/PanoramaDirection.h"

namespace horizonmill {

inline constexpr double kMinFieldOfView = 20;
inline constexpr double kMaxFieldOfView = 120;

struct LookAroundAngles {
  double Heading = 180;     // azimuth of the view's centre, degrees, 0 <= h < 360;
                            // 180 is the middle of the panorama
  double Elevation = 0;     // elevation of the view's centre, degrees, −90 .. 90
  double FieldOfView = 75;  // vertical field of view, degrees
};

// Heading reduced to 0 .. 360, elevation held to −90 .. 90, the field of view
// to kMinFieldOfView .. kMaxFieldOfView; a value that is no number becomes the
// default's.
LookAroundAngles Settled(LookAroundAngles view);

// The direction (not of unit length) through point (px, py) of a width x height
// view, in pixel units from its top-left corner (pixel (i, j) has its centre at
// (i + 0.5, j + 0.5)).
Direction ViewRay(const LookAroundAngles& view, int width, int height, double px, double py);

// How many degrees one pixel at the view's centre spans: dragging by this many
// pixels turns the view by that many degrees, so the picture follows the mouse.
double DegreesPerPixel(const LookAroundAngles& view, int height);

// Draws the whole target (its size is the view's) from the panorama, each pixel
// the bilinear sample in its direction (SamplePanorama), in blocks of rows on
// `threads` threads (render/WorkCrew.h: the calling one among them). An empty
// panorama gives black.
void RenderLookAround(const WorkBitmap& panorama, const LookAroundAngles& view, WorkBitmap& target,
                      int threads = 1);

}  // namespace horizonmill
