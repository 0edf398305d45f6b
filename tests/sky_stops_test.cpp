// The sky gradation editor's rules for clicks on its 209-row preview, and the
// track bars of the sun and object editors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "scene/SkyStops.h"
#include "scene/TrackBarValues.h"

namespace horizonmill {
namespace {

constexpr int kRows = 209;
const FloatColour kRed{255, 0, 0, 17};

std::vector<long double> Positions(const SkyGradation& sky) {
  return {sky.Positions.begin(), sky.Positions.begin() + sky.Count};
}

TEST(SkyStops, MarkerRowsRoundHalvesToEven) {
  EXPECT_EQ(StopMarkerRow(0.0L, kRows), 0);
  EXPECT_EQ(StopMarkerRow(0.5L, kRows), 104);  // 104.5
  EXPECT_EQ(StopMarkerRow(1.0L, kRows), 209);  // below the last row
  EXPECT_EQ(StopMarkerRow(1.5L / kRows, kRows), 2);
  EXPECT_EQ(StopMarkerRow(1e30L, kRows), 1000000000);  // a wild file value stays in range
}

TEST(SkyStops, FourRowsFromAMarkerRecoloursFiveRowsInserts) {
  SkyGradation sky = SkyGradation::Default();
  EXPECT_EQ(HitStop(sky, kRows, 100), 1);
  EXPECT_EQ(HitStop(sky, kRows, 99), -1);
  EXPECT_EQ(HitStop(sky, kRows, 4), 0);
  EXPECT_EQ(HitStop(sky, kRows, 205), 2);  // the marker below the last row counts

  EXPECT_EQ(PlaceStop(sky, kRows, 108, kRed), StopPlacement::Recoloured);
  EXPECT_EQ(sky.Count, 3);
  EXPECT_EQ(sky.Colors[1], (FloatColour{255, 0, 0, 255}));  // alpha 255 whatever the pen's

  EXPECT_EQ(PlaceStop(sky, kRows, 109, kRed), StopPlacement::Inserted);
  EXPECT_EQ(Positions(sky), (std::vector<long double>{0, 0.5L, 109.0L / kRows, 1}));
  EXPECT_EQ(sky.Colors[2], (FloatColour{255, 0, 0, 255}));
  EXPECT_EQ(sky.Colors[3], (FloatColour{0, 0, 255, 255}));  // the last stop moved up
}

TEST(SkyStops, DefaultStopsInsertAtRow52AndDeleteItAgain) {
  SkyGradation sky = SkyGradation::Default();
  const SkyGradation before = sky;
  EXPECT_EQ(PlaceStop(sky, kRows, 52, FloatColour{1, 2, 3, 255}), StopPlacement::Inserted);
  EXPECT_EQ(Positions(sky), (std::vector<long double>{0, 52.0L / kRows, 0.5L, 1}));
  EXPECT_EQ(sky.Colors[1], (FloatColour{1, 2, 3, 255}));
  EXPECT_TRUE(DeleteStop(sky, kRows, 50));
  EXPECT_EQ(Positions(sky), Positions(before));
  for (int i = 0; i < sky.Count; ++i) EXPECT_EQ(sky.Colors[i], before.Colors[i]);
}

TEST(SkyStops, FirstLastAndMissesCannotBeDeleted) {
  SkyGradation sky = SkyGradation::Default();
  for (int row : {0, 3, 208, 150}) {
    EXPECT_FALSE(DeleteStop(sky, kRows, row)) << row;
    EXPECT_EQ(sky.Count, 3);
  }
}

TEST(SkyStops, TheSeventeenthStopIsRefusedButRecolouringGoesOn) {
  SkyGradation sky = SkyGradation::Default();
  // Rows 10 .. 140 in steps of 10, but for 100 (beside the marker at 104):
  // thirteen more.
  for (int row = 10; sky.Count < 16; row += 10) {
    if (HitStop(sky, kRows, row) >= 0) continue;
    ASSERT_EQ(PlaceStop(sky, kRows, row, kRed), StopPlacement::Inserted);
  }
  ASSERT_EQ(sky.Count, 16);
  const std::vector<long double> full = Positions(sky);
  EXPECT_TRUE(std::is_sorted(full.begin(), full.end()));
  EXPECT_EQ(full.front(), 0);
  EXPECT_EQ(full.back(), 1);
  EXPECT_EQ(PlaceStop(sky, kRows, 205, kRed), StopPlacement::Recoloured);
  ASSERT_EQ(HitStop(sky, kRows, 195), -1);
  EXPECT_EQ(PlaceStop(sky, kRows, 195, kRed), StopPlacement::Full);
  EXPECT_EQ(Positions(sky), full);
}

TEST(TrackBarValues, SlopesAndTransparencyBothWays) {
  const std::pair<int, long double> slopes[] = {{0, 0}, {100, -10}, {-100, 10}, {37, -3.7L}};
  for (const auto& [position, slope] : slopes) {
    EXPECT_EQ(SlopeOfPosition(position), slope) << position;
    EXPECT_EQ(PositionOfSlope(SlopeOfPosition(position)), position) << position;
  }
  EXPECT_EQ(PositionOfSlope(0.25L), -2);  // -Round(2.5): halves to even
  EXPECT_EQ(PositionOfSlope(-0.75L), 8);  // -Round(-7.5)
  EXPECT_EQ(PositionOfSlope(25), -100);   // beyond the bar: held at its end
  EXPECT_EQ(PositionOfSlope(std::nanl("")), 0);

  EXPECT_EQ(TransparencyOfPosition(37), 0.37L);
  EXPECT_EQ(PositionOfTransparency(0.375L), 38);  // Round(37.5)
  EXPECT_EQ(PositionOfTransparency(0.125L), 12);  // Round(12.5)
  EXPECT_EQ(PositionOfTransparency(2), 100);
  EXPECT_EQ(PositionOfTransparency(-1), 0);
}

}  // namespace
}  // namespace horizonmill
