#include <gtest/gtest.h>

#include "render/PlaneWalk.h"

namespace horizonmill {
namespace {

TEST(PlaneWalk, RotateVectorTurnsCounterClockwise) {
  const Vector2 quarter = RotateVector(90, 0, 1);
  EXPECT_NEAR(static_cast<double>(quarter.u), -1, 1e-15);
  EXPECT_NEAR(static_cast<double>(quarter.v), 0, 1e-15);
  const Vector2 none = RotateVector(0, 3.5L, -2);
  EXPECT_EQ(none.u, 3.5L);
  EXPECT_EQ(none.v, -2);
  EXPECT_NEAR(static_cast<double>(DegToRad(180)), 3.141592653589793, 1e-15);
}

TEST(PlaneWalk, DistancesGrowTowardTheHorizon) {
  EXPECT_EQ(PlaneWalk::StepDistance(1536, 0), 1);
  EXPECT_EQ(PlaneWalk::StepDistance(1536, 384), 4);
  EXPECT_NEAR(static_cast<double>(PlaneWalk::StepDistance(1536, 767)), 589824, 1e-3);  // 768^2
  EXPECT_EQ(PlaneWalk::StepDistance(1536, 768), 0);  // the plane is never reached there
  // Odd height: the last step stops short of the horizon, m = 1 - 1536 / 1537.
  EXPECT_NEAR(static_cast<double>(PlaneWalk::StepDistance(1537, 768)), 1537, 1e-6);
}

TEST(PlaneWalk, VisitsTheDocumentedTexturePoints) {
  PlaneWalk column0(3072, 1536, 0, 256, 256, 1);
  EXPECT_EQ(column0.U(), 128);
  EXPECT_EQ(column0.V(), 128);
  column0.Advance();
  EXPECT_NEAR(static_cast<double>(column0.V()), 128.0833333, 1e-6);
  for (int j = 1; j < 384; ++j) column0.Advance();
  EXPECT_EQ(column0.U(), 128);
  EXPECT_NEAR(static_cast<double>(column0.V()), 191.875, 1e-3);

  PlaneWalk column768(3072, 1536, 768, 256, 256, 1);  // azimuth 90 degrees
  column768.Advance();
  EXPECT_NEAR(static_cast<double>(column768.U()), 127.9166667, 1e-6);
  EXPECT_NEAR(static_cast<double>(column768.V()), 128, 1e-12);
  for (int j = 1; j < 384; ++j) column768.Advance();
  EXPECT_NEAR(static_cast<double>(column768.U()), 64.125, 1e-3);

  // Scale divides every step: twice the scale, half the way.
  PlaneWalk scaled(3072, 1536, 0, 256, 256, 2);
  for (int j = 0; j < 384; ++j) scaled.Advance();
  EXPECT_NEAR(static_cast<double>(scaled.V() - 128), (191.875 - 128) / 2, 1e-3);
}

}  // namespace
}  // namespace horizonmill
