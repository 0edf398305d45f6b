// How the ceiling and the ground map a textured plane onto the panorama: the
// walk of each column across the texture, and the rotation that aims it.
#pragma once

namespace horizonmill {

struct PixelImage;  // image/PixelImage.h

// What the ceiling's and the ground's inputs begin with: the texture laid as
// the plane, the horizon colours it fades toward, and the plane's scale.
struct PlaneLayerInput {
  const PixelImage* Texture = nullptr;
  const PixelImage* HorizonRow = nullptr;  // none: the horizon is opaque white
  long double AirDepth = 1;
  long double Scale = 1;
};

inline long double DegToRad(long double degrees) { return degrees * 0.017453292519943295769L; }

struct Vector2 {
  long double u, v;
};
// Counter-clockwise rotation of (u, v) by the angle in degrees.
Vector2 RotateVector(long double degrees, long double u, long double v);

// The walk of one panorama column across a textured horizontal plane (ceiling or
// ground). Step j of the walk samples the texture at (u, v), then Advance()
// returns the step's distance and moves on.
class PlaneWalk {
 public:
  PlaneWalk() = default;  // a walk that stays at (0, 0)
  PlaneWalk(int width, int height, int column, int textureWidth, int textureHeight,
            long double scale);
  long double U() const { return u_; }
  long double V() const { return v_; }
  // What a step of distance d moves (U, V) by: (du, dv) * d / scale.
  long double Du() const { return du_; }
  long double Dv() const { return dv_; }
  long double Scale() const { return scale_; }
  // The distance of the current step (1 at the pole, growing toward the
  // horizon, 0 where the plane is not reached), after which the walk advances.
  long double Advance();
  // Advances by a step distance taken from StepDistance (or a table of them:
  // the distances are the same in every column).
  void AdvanceBy(long double d) {
    ++step_;
    if (reciprocal_) {
      u_ += du_ * d * inverseScale_;
      v_ += dv_ * d * inverseScale_;
    } else {
      u_ += du_ * d / scale_;
      v_ += dv_ * d / scale_;
    }
  }
  // Distance of step j for an image of height H: 1 / (1 - (2 / H) * t) with
  // t = EaseOut(0, H div 2, 0, H div 2, j, 2), or 0 where that is not positive.
  static long double StepDistance(int height, int j);

 private:
  int height_ = 0;
  int step_ = 0;
  long double du_ = 0, dv_ = 0, scale_ = 1;
  // Dividing by a power of two is multiplying by its inverse, to the last bit
  // (the inverse being exact); a multiplication is several times cheaper.
  bool reciprocal_ = false;
  long double inverseScale_ = 1;
  long double u_ = 0, v_ = 0;
};

}  // namespace horizonmill
