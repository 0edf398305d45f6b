#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "render/AerialFade.h"
#include "render/ObjectDraw.h"
#include "render/RenderObjects.h"

namespace horizonmill {
namespace {

// Records what the pass reports and polls; can abort at the n-th poll.
struct FakePort : RenderPort {
  std::vector<Diagnostic> reports;
  std::vector<int> polls;
  std::size_t abort_at_poll = 0;  // 0: never
  void Progress(int percent) override { polls.push_back(percent); }
  bool StopRequested() override { return abort_at_poll != 0 && polls.size() >= abort_at_poll; }
  void Report(const Diagnostic& diagnostic) override { reports.push_back(diagnostic); }
  // The pass failed once, for the reason given.
  bool Failed(DiagnosticCode code = DiagnosticCode::ObjectCopyRefused) const {
    return reports.size() == 1 && reports[0].code == code;
  }
};

PixelImagePtr Picture(int w, int h, const std::function<PackedColour(int, int)>& colour) {
  PixelImagePtr image = MakePixelImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image->Row(y)[x] = colour(x, y);
  return image;
}
PixelImagePtr Uniform(int w, int h, PackedColour c) {
  return Picture(w, h, [c](int, int) { return c; });
}
// No symmetry: red grows to the right, green downward.
PixelImagePtr Coded(int w, int h) {
  return Picture(w, h, [](int x, int y) { return MakePacked(8 * x, 16 * y, 50); });
}

WorkBitmap Canvas(int w, int h, BgrPixel fill = {}) {
  WorkBitmap b(w, h);
  FillWorkBitmap(b, fill);
  return b;
}

struct Changed {
  std::set<int> cols, rows;
  int count = 0;
};
Changed ChangedPixels(const WorkBitmap& b, BgrPixel background = {}) {
  Changed c;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (!(b.Row(y)[x] == background)) {
        c.cols.insert(x);
        c.rows.insert(y);
        ++c.count;
      }
  return c;
}

bool SameBytes(const WorkBitmap& a, const WorkBitmap& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::memcmp(a.Bits(), b.Bits(), a.Stride() * a.Height()) == 0;
}

// Three groups of entries with their pictures, a fake port and the input of a
// pass. Entries are added plain: no shading, added onto the target (so a drawn
// channel reads back as itself). Render prepares them as a preparation does
// (each picture's alpha from its key colour and transparency, the copies
// placed) and draws the pass.
struct Objects {
  using Group = std::deque<ObjectEntry>;
  Group far, mid, near;
  std::map<const ObjectEntry*, PixelImagePtr> pictures;
  FakePort port;
  RenderContext context;
  ObjectLayerInput input;
  std::int32_t seed = 65536;
  bool ground = true;
  SceneRandom random;
  std::array<std::vector<PreparedObject>, 3> prepared;
  ObjectLayout layout;

  Objects() {
    context.Port = &port;
    context.AbortRequested = false;
    input.Sunlight = {80, 80, 80};
  }
  ObjectEntry& Add(Group& group, PixelImagePtr image) {
    ObjectEntry& e = group.emplace_back();
    e.Shadeing = false;
    e.MixtureMode = MixtureMode::Add;
    pictures[&e] = std::move(image);
    return e;
  }
  ObjectEntry& Manual(Group& group, PixelImagePtr image, long double angle, long double height,
                      long double distance) {
    ObjectEntry& e = Add(group, std::move(image));
    e.Manual = true;
    e.Placement = {angle, height, distance};
    return e;
  }
  void Prepare() {
    const std::pair<Group*, GroupId> groups[] = {
        {&far, GroupId::Far}, {&mid, GroupId::Mid}, {&near, GroupId::Near}};
    for (const auto& [group, id] : groups) {
      std::vector<PreparedObject>& objects = prepared[static_cast<int>(id)];
      objects.clear();
      for (const ObjectEntry& e : *group) {
        PreparedObject& object = objects.emplace_back();
        object.Settings.CopySettingsFrom(e);
        object.Group = id;
        object.Index = objects.size() - 1;
        const PixelImagePtr& picture = pictures[&e];
        if (!picture) continue;
        PixelImagePtr drawn = MakePixelImage(picture->width, picture->height);
        std::copy_n(picture->pixels, std::size_t(picture->width) * picture->height, drawn->pixels);
        PrepareObjectAlpha(*drawn, e);
        object.Picture = SharedPicture(std::move(drawn));
      }
    }
    layout = PlaceObjects(random, seed, ground, prepared[0], prepared[1], prepared[2]);
    input.Layout = &layout;
  }
  void Render(WorkBitmap& target, bool reflection = false) {
    Prepare();
    RenderObjects(context, target, input, reflection);
  }
  // The placements of the copies of entry `index` of a group, in drawing order.
  std::vector<ObjectPlacement> PlacementsOf(const Group& group, std::size_t index) const {
    const GroupId id = &group == &far   ? GroupId::Far
                       : &group == &mid ? GroupId::Mid
                                        : GroupId::Near;
    std::vector<ObjectPlacement> found;
    for (const PlacedObject& copy : layout.Copies)
      if (copy.Object->Group == id && copy.Object->Index == index) found.push_back(copy.Placement);
    return found;
  }
};

constexpr BgrPixel kGrey{200, 200, 200};

TEST(ComputeSunlight, DefaultSunAndEveryMode) {
  EXPECT_EQ(ComputeSunlight(SunSettings{}), (std::array<std::int32_t, 3>{80, 80, 80}));
  SunSettings sun;
  sun.CenterColor = {255, 0, 0, 255};
  sun.OuterColor = {0, 255, 0, 255};
  sun.Slopes = {0, 10, -10, 0};
  // v = 4.5, 1, 5 per channel
  EXPECT_EQ(ComputeSunlight(sun), (std::array<std::int32_t, 3>{143, 32, 159}));
  sun.MixtureMode = MixtureMode::Norm;
  EXPECT_EQ(ComputeSunlight(sun), (std::array<std::int32_t, 3>{72, 16, 80}));
  sun.MixtureMode = MixtureMode::Sub;
  EXPECT_EQ(ComputeSunlight(sun), (std::array<std::int32_t, 3>{112, 223, 96}));
  // v = 10.5: above 255 becomes 255 (Add); Sub keeps its value below 0.
  sun = SunSettings{};
  sun.CenterColor = sun.OuterColor = {255, 255, 255, 255};
  sun.Slopes = {-20, -20, -20, 0};
  EXPECT_EQ(ComputeSunlight(sun)[0], 255);
  sun.MixtureMode = MixtureMode::Sub;
  EXPECT_EQ(ComputeSunlight(sun)[0], -80);
  sun.Slopes[0] = std::numeric_limits<long double>::quiet_NaN();
  sun.Slopes[1] = -1e30L;
  EXPECT_EQ(ComputeSunlight(sun)[0], 0);
  EXPECT_EQ(ComputeSunlight(sun)[1], std::numeric_limits<std::int32_t>::min());
}

TEST(PrepareObjectAlpha, KeyColourClearsAlphaOthersTakeTransparency) {
  // Outside 0..1 (a settings file may hold anything) the alpha is held to 0..255.
  const std::pair<long double, std::uint32_t> cases[] = {
      {0.5L, 128}, {1.0L, 0}, {1.2L, 0}, {-0.5L, 255}};
  for (const auto& [transparency, alpha] : cases) {
    ObjectEntry e;
    PixelImagePtr picture =
        Picture(3, 1, [](int x, int) { return x == 0 ? 0x00010203u : 0xff112233u; });
    ASSERT_TRUE(AddHoleMask(*picture));
    picture->holes[2] = 1;        // a hole takes the key colour
    e.OpaqueColor = 0xff010203u;  // its alpha byte is not compared
    e.Transparency = transparency;
    PrepareObjectAlpha(*picture, e);
    EXPECT_EQ(picture->Row(0)[0], 0x00010203u);
    EXPECT_EQ(picture->Row(0)[1], WithAlpha(0x112233u, alpha)) << static_cast<double>(transparency);
    EXPECT_EQ(picture->Row(0)[2], 0x00010203u);
    EXPECT_EQ(ObjectAlpha(transparency), alpha);
  }
}

TEST(ShadeBySun, TowardTheSunDarkAwayLitByTheSunColour) {
  const std::array<std::int32_t, 3> light{80, 80, 80};
  const SunPosition horizon{0.5L, 0.5L};
  EXPECT_EQ(ShadeBySun(MakePacked(255, 101, 0, 77), light, horizon, 0.5L), MakePacked(0, 0, 0, 77));
  // Opposite the sun: (v + 80) / 2, halves to even.
  EXPECT_EQ(ShadeBySun(MakePacked(255, 101, 0, 77), light, horizon, 0.0L),
            MakePacked(168, 90, 40, 77));
  // A sun at the top edge leaves the colour alone; halfway up, half the effect.
  EXPECT_EQ(ShadeBySun(MakePacked(200, 9, 1), light, {0.5L, 0.0L}, 0.0L), MakePacked(200, 9, 1));
  EXPECT_EQ(ShadeBySun(MakePacked(200, 0, 0), light, {0.5L, 0.25L}, 0.0L), MakePacked(170, 20, 20));
  // A column past the left edge with the sun near the right edge: d < 0, held at 0.
  EXPECT_EQ(ShadeBySun(MakePacked(200, 200, 200), light, {0.995L, 0.5L}, -0.01L),
            MakePacked(0, 0, 0));
}

// The shading the objects pass uses (double precision, the extended
// evaluation near a rounding boundary) against its definition, for every
// channel value: columns toward and away from the sun and past the picture's
// edges (a distance below 0 or above 0.5), sunlight of either sign and far
// beyond a byte, suns at every height and beyond, and values that land on
// halves (half the value: d = 0.5 with the sun at the top).
TEST(ShadeBySun, TheObjectsPassShadesAsTheDefinitionForEveryValue) {
  std::mt19937 rng(31);
  std::uniform_real_distribution<double> distance(-0.7, 1.2), height(-0.2, 1.1);
  const std::int32_t lights[] = {0, 80, 255, -37, 1000, 2147483647, -2147483647 - 1};
  const long double fixed[][2] = {{0.5L, 0}, {0.25L, 0.5L}, {0, 0}, {0.5L, 0.25L}, {0.1L, 0.5L}};
  for (int i = 0; i < 6000; ++i) {
    long double d = distance(rng);
    double l = height(rng);
    if (i < static_cast<int>(std::size(fixed))) {
      d = fixed[i][0];
      l = static_cast<double>(fixed[i][1]);
    }
    long double dl = d * lights[rng() % std::size(lights)];
    if (i % 2 == 1) {
      // A column whose exact value at some v is a half: the two precisions
      // differ in their last bits right at a rounding boundary there.
      const int v = static_cast<int>(rng() % 256);
      const long double half = rng() % 255 + 0.5L;
      const long double a = std::fabs(0.5L - l);
      if (a != 0) dl = v + (half - v) / (2 * a) - d * v;
    }
    const detail::ChannelShade shade(d, dl, l);
    for (int v = 0; v < 256; ++v)
      ASSERT_EQ(shade(v), detail::ShadeChannel(v, d, dl, l))
          << "v " << v << " d " << static_cast<double>(d) << " dl " << static_cast<double>(dl)
          << " l " << l;
  }
}

TEST(DrawObjectGeometry, DocumentedBoxesAt3072x1536) {
  struct Case {
    long double angle, distance;
    bool reflection;
    int x0, x1, y0, y1;
  };
  for (const Case& c :
       {Case{90, 3.5L, false, 732, 804, 736, 771}, Case{180, 1, false, 1408, 1664, 699, 826},
        Case{180, 1, true, 1408, 1664, 826, 953}}) {
    Objects s;
    s.Manual(s.far, Uniform(16, 16, MakePacked(9, 9, 9)), c.angle, 0, c.distance);
    WorkBitmap target = Canvas(3072, 1536);
    s.Render(target, c.reflection);
    const Changed d = ChangedPixels(target);
    EXPECT_EQ(*d.cols.begin(), c.x0);
    EXPECT_EQ(*d.cols.rbegin(), c.x1);
    EXPECT_EQ(*d.rows.begin(), c.y0);
    EXPECT_EQ(*d.rows.rbegin(), c.y1);
    EXPECT_EQ(d.count, (c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1));
  }
}

TEST(DrawObjectGeometry, BoxAcrossTheSeamIsSplit) {
  Objects s;
  s.Manual(s.near, Uniform(16, 16, MakePacked(9, 9, 9)), 0, 0, 0.75L);
  WorkBitmap target = Canvas(3072, 1536);
  s.Render(target);
  const Changed d = ChangedPixels(target);
  // Columns -170 .. 170 land on 2902 .. 3071 and 0 .. 170; rows 682 .. 851.
  EXPECT_EQ(d.cols.size(), 341u);
  EXPECT_TRUE(d.cols.count(170) && !d.cols.count(171) && d.cols.count(2902) && !d.cols.count(2901));
  EXPECT_EQ(*d.rows.begin(), 682);
  EXPECT_EQ(*d.rows.rbegin(), 851);
}

TEST(DrawObjectGeometry, SkyBoxCentresOnItsHeightAndMirrorsInTheReflection) {
  for (bool reflection : {false, true}) {
    Objects s;
    ObjectEntry& e = s.Manual(s.far, Uniform(4, 4, MakePacked(9, 9, 9)), 180, 300, 1);
    e.PositionMode = PositionMode::Sky;
    WorkBitmap target = Canvas(3072, 1536);
    s.Render(target, reflection);
    // Centre 768 + Round(76.8 -+ 76.8 - 19.2), rows +- 64.
    const Changed d = ChangedPixels(target);
    EXPECT_EQ(*d.rows.begin(), reflection ? 838 : 685);
    EXPECT_EQ(*d.rows.rbegin(), reflection ? 966 : 813);
  }
}

TEST(DrawObjectGeometry, ReflectionPassLeavesTheUpperHalfAlone) {
  // A sky object whose reflected box (rows 75 .. 119 at 360 x 180) reaches
  // above the horizon row 90: only its lower part is drawn.
  Objects s;
  ObjectEntry& e = s.Manual(s.far, Uniform(4, 4, MakePacked(9, 9, 9)), 180, 0, 1);
  e.PositionMode = PositionMode::Sky;
  e.Scale = 3;
  WorkBitmap target = Canvas(360, 180);
  s.Render(target, true);
  const Changed d = ChangedPixels(target);
  EXPECT_EQ(*d.rows.begin(), 90);
  EXPECT_EQ(*d.rows.rbegin(), 119);
}

TEST(DrawObjectGeometry, ZeroAndNegativeWidths) {
  struct Case {
    PositionMode mode;
    long double scale;
    int pixels;
  };
  // wt = 0: no ground rows, one sky pixel; wt = -2 or less: nothing.
  for (const Case& c :
       {Case{PositionMode::Ground, 0, 0}, Case{PositionMode::Sky, 0, 1},
        Case{PositionMode::Sky, -2.0L / 256, 0}, Case{PositionMode::Sky, -1e300L, 0}}) {
    Objects s;
    ObjectEntry& e = s.Manual(s.far, Uniform(4, 4, MakePacked(9, 9, 9)), 90, 0, 1);
    e.PositionMode = c.mode;
    e.Scale = c.scale;
    WorkBitmap target = Canvas(3072, 1536);
    s.Render(target);
    const Changed d = ChangedPixels(target);
    EXPECT_EQ(d.count, c.pixels);
    if (c.pixels == 1) {
      EXPECT_TRUE(d.cols.count(768) && d.rows.count(826));
    }
    EXPECT_EQ(s.port.reports.size(), 0u);
  }
}

// At 360 x 180 a Scale 1, Distance 1 ground object at Angle 180 covers columns
// 165 .. 195 and rows 83 .. 97 (its reflection 97 .. 111): a 31 x 15 picture maps
// one to one, and target pixel (q, k) samples picture columns q, q, q + 1
// (Round(q + 1/3), Round(q + 2/3)) and rows k, k, k + 1, wrapping at the edges;
// upside down, rows 14 - k, 14 - k, 13 - k. The normal pass then fades each
// pixel toward the horizon colour of its column at distance 100.
TEST(DrawObjectSampling, TruncatedMeanOfNineWrappedSamplesThenTheFade) {
  PixelImagePtr horizon =
      Picture(360, 1, [](int x, int) { return MakePacked(x % 256, 255 - x % 256, 7); });
  for (bool reflection : {false, true}) {
    Objects s;
    s.input.AirDepth = 2;
    s.input.HorizonRow = horizon.get();
    s.Manual(s.far, Coded(31, 15), 180, 0, 1);
    WorkBitmap target = Canvas(360, 180);
    s.Render(target, reflection);
    const int top = reflection ? 97 : 83;
    for (int k = 0; k < 15; ++k)
      for (int q = 0; q < 31; ++q) {
        const int cols[3] = {q, q, (q + 1) % 31};
        const int rows[3] = {reflection ? 14 - k : k, reflection ? 14 - k : k,
                             reflection ? (28 - k) % 15 : (k + 1) % 15};
        int red = 0, green = 0;
        for (int r : rows)
          for (int c : cols) {
            red += 8 * c;
            green += 16 * r;
          }
        PackedColour expected = MakePacked(red / 9, green / 9, 50);
        if (!reflection) expected = AerialFade(expected, horizon->Row(0)[165 + q], 2, 100);
        ASSERT_EQ(target.Row(top + k)[165 + q], PackedToBgr(expected))
            << q << "," << k << (reflection ? " reflected" : "");
      }
    EXPECT_EQ(ChangedPixels(target).count, 31 * 15);
  }
}

TEST(DrawObjectSampling, SampleRowsRoundHalvesToEven) {
  // wt = 32, ht = 16 rows (82 .. 97) for a 12-row picture: fy = 0.75, so sample
  // rows fall on exact halves. Green is 20 per picture row.
  for (bool reflection : {false, true}) {
    Objects s;
    ObjectEntry& e = s.Manual(
        s.far, Picture(33, 12, [](int, int y) { return MakePacked(0, 20 * y, 100); }), 180, 0, 1);
    e.Scale = 32.0L / 30;
    WorkBitmap target = Canvas(360, 180);
    s.Render(target, reflection);
    const int top = reflection ? 97 : 82;
    auto green = [&](int k) { return target.Row(top + k)[180].g; };
    if (!reflection) {
      EXPECT_EQ(green(0), 0);   // rows 0, Round(0.25), Round(0.5) = 0, 0, 0
      EXPECT_EQ(green(2), 40);  // Round(1.5) = 2, 2, 2
      EXPECT_EQ(green(6), 93);  // Round(4.5) = 4, 5, 5
    } else {
      EXPECT_EQ(green(0), 213);  // Round(11), Round(10.75), Round(10.5) = 11, 11, 10
    }
  }
}

TEST(DrawObjectKeyColour, KeyAndTransparencyGiveTheAlpha) {
  // A white picture added onto black reads back its alpha in every channel.
  struct Case {
    long double transparency;
    PackedColour key;
    int value;
  };
  for (const Case& c : {Case{0.5L, MakePacked(1, 2, 3), 128}, Case{1, MakePacked(1, 2, 3), 0},
                        Case{0, MakePacked(255, 255, 255), 0}}) {
    Objects s;
    ObjectEntry& e = s.Manual(s.far, Uniform(31, 15, MakePacked(255, 255, 255)), 180, 0, 1);
    e.Transparency = c.transparency;
    e.OpaqueColor = c.key;
    WorkBitmap target = Canvas(360, 180);
    s.Render(target);
    const Changed d = ChangedPixels(target);
    EXPECT_EQ(d.count, c.value ? 31 * 15 : 0);
    EXPECT_EQ(target.Row(90)[180].r, c.value);
  }
}

TEST(DrawObjectKeyColour, SoftEdgeIsKTimesAlphaDivNine) {
  // One non-key pixel at picture (10, 5) is seen by 4, 2, 2 and 1 of the nine
  // samples of the target pixels at q, k = (10, 5), (9, 5), (10, 4), (9, 4).
  for (long double transparency : {0.0L, 0.5L}) {
    Objects s;
    ObjectEntry& e = s.Manual(s.far,
                              Picture(31, 15,
                                      [](int x, int y) {
                                        return x == 10 && y == 5 ? MakePacked(255, 255, 255)
                                                                 : MakePacked(0, 0, 0);
                                      }),
                              180, 0, 1);
    e.Transparency = transparency;
    WorkBitmap target = Canvas(360, 180, kGrey);
    s.Render(target);
    // Colour and alpha are both truncated means: k * 255 div 9 and k * A div 9.
    const int A = transparency == 0 ? 255 : 128;
    auto expected = [A](int k) {
      const int c = k * 255 / 9;
      return *BlendColour(MakePacked(c, c, c, k * A / 9), MixtureMode::Add, kGrey);
    };
    auto at = [&](int q, int k) { return target.Row(83 + k)[165 + q]; };
    EXPECT_EQ(at(10, 5), expected(4));
    EXPECT_EQ(at(9, 5), expected(2));
    EXPECT_EQ(at(10, 4), expected(2));
    EXPECT_EQ(at(9, 4), expected(1));
    EXPECT_EQ(ChangedPixels(target, kGrey).count, 4);
  }
}

TEST(DrawObjectShading, DefaultSunBlackTowardItLitAwayFromIt) {
  Objects s;
  // Middle column (Angle 180), Norm over grey: the sun's own direction is black.
  ObjectEntry& middle = s.Manual(s.far, Uniform(16, 16, MakePacked(101, 101, 101)), 180, 0, 1);
  middle.Shadeing = true;
  middle.MixtureMode = MixtureMode::Norm;
  WorkBitmap target = Canvas(3072, 1536, kGrey);
  s.Render(target);
  EXPECT_EQ(target.Row(800)[1536], (BgrPixel{0, 0, 0}));
  // Left edge (Angle 0), added onto black: (101 + 80) / 2 = 90.5, to even 90.
  middle.Placement.Angle = 0;
  middle.MixtureMode = MixtureMode::Add;
  target = Canvas(3072, 1536);
  s.Render(target);
  EXPECT_EQ(target.Row(800)[0], (BgrPixel{90, 90, 90}));
}

TEST(DrawObjectFade, NormalPassFadesEachCopyAtItsDistanceReflectionDoesNot) {
  // A box across the seam at 360 x 180: target column 359 is column -1 before
  // wrap-around and fades toward horizon pixel 359, at distance z * 100. A
  // farther copy of the same colour, drawn first over a horizon pixel of the
  // same colour (180, found nowhere else), fades at its own distance.
  const PackedColour odd = MakePacked(203, 207, 250);
  PixelImagePtr horizon = Picture(360, 1, [](int x, int) {
    return x == 180 || x == 359 ? odd : MakePacked(x % 200, x * 3 % 200, x * 7 % 200);
  });
  const PackedColour colour = MakePacked(10, 200, 30);
  for (bool reflection : {false, true}) {
    Objects s;
    s.input.AirDepth = 3;
    s.input.HorizonRow = horizon.get();
    s.Manual(s.far, Uniform(31, 15, colour), 0, 0, 1.25L);
    s.Manual(s.far, Uniform(31, 15, colour), 180, 0, 2.5L);
    WorkBitmap target = Canvas(360, 180);
    s.Render(target, reflection);
    const PackedColour near = AerialFade(colour, odd, 3, 125);
    const PackedColour far = AerialFade(colour, odd, 3, 250);
    ASSERT_NE(near, colour) << "the fade must show";
    EXPECT_EQ(target.Row(reflection ? 100 : 90)[359], PackedToBgr(reflection ? colour : near));
    EXPECT_EQ(target.Row(reflection ? 93 : 90)[180], PackedToBgr(reflection ? colour : far));
  }
}

TEST(RenderObjectsPlacement, GroundShiftsTheRandomSequenceByOneDrawPerCopy) {
  for (bool ground : {true, false}) {
    Objects s;
    s.ground = ground;
    s.seed = 12345;
    ObjectEntry& e = s.Add(s.mid, Uniform(8, 10, MakePacked(9, 9, 9)));
    e.PositionMode = PositionMode::Sky;
    e.NumberOfObjects = 3;
    WorkBitmap target = Canvas(409, 307);
    s.Render(target);
    SceneRandom random;
    random.Seed(12345);
    std::vector<ObjectPlacement> placed;
    for (int n = 0; n < 3; ++n) {
      ObjectPlacement& p = placed.emplace_back();
      p.Angle = random.RandomUnit() * 360;
      const long double sign = !ground && random.RandomUnit() >= 0.5L ? -1 : 1;
      p.Height = sign * (random.RandomUnit() * 10 * 3 + 20);
      p.Distance = random.RandomUnit() + 1.5L;
    }
    // Farthest first.
    std::sort(placed.begin(), placed.end(), [](const ObjectPlacement& a, const ObjectPlacement& b) {
      return a.Distance > b.Distance;
    });
    const std::vector<ObjectPlacement> got = s.PlacementsOf(s.mid, 0);
    ASSERT_EQ(got.size(), 3u);
    for (int n = 0; n < 3; ++n) {
      EXPECT_EQ(got[n].Angle, placed[n].Angle);
      EXPECT_EQ(got[n].Height, placed[n].Height);
      EXPECT_EQ(got[n].Distance, placed[n].Distance);
    }
    EXPECT_EQ(s.random.State(), random.State());
    // The entry itself keeps its placement: the document is not written.
    EXPECT_EQ(e.Placement.Angle, 0);
  }
}

TEST(RenderObjectsPlacement, EntryWithoutPictureDrawsItsNumbersButNothingElse) {
  // The second entry lands where it would if the first one's picture had loaded.
  std::vector<ObjectPlacement> with_picture;
  for (bool loaded : {true, false}) {
    Objects s;
    s.Add(s.far, loaded ? Uniform(4, 4, MakePacked(0, 0, 0, 0)) : nullptr).NumberOfObjects = 2;
    s.Add(s.far, Uniform(4, 4, MakePacked(9, 9, 9)));
    WorkBitmap target = Canvas(409, 307);
    s.Render(target);
    const std::vector<ObjectPlacement> second = s.PlacementsOf(s.far, 1);
    ASSERT_EQ(second.size(), 1u);
    if (loaded) with_picture = second;
    EXPECT_EQ(second[0].Angle, with_picture[0].Angle);
    EXPECT_EQ(second[0].Distance, with_picture[0].Distance);
    EXPECT_EQ(s.PlacementsOf(s.far, 0).size(), loaded ? 2u : 0u);
    EXPECT_GT(ChangedPixels(target).count, 0);
    EXPECT_EQ(s.port.reports.size(), 0u);
  }
}

TEST(RenderObjectsPlacement, PreviewAndFullSizeDrawTheSameObjectsAtTheSameAngles) {
  Objects s;
  s.seed = 777;
  for (Objects::Group* g : {&s.far, &s.mid, &s.near}) s.Add(*g, Uniform(8, 8, MakePacked(9, 9, 9)));
  s.Prepare();
  const ObjectPlacement p = s.PlacementsOf(s.far, 0).at(0);
  for (const auto& [w, h] : {std::pair{409, 307}, std::pair{3072, 1536}}) {
    // The box of the far object is centred on Round(W / 360 * Angle).
    Objects one;
    one.Manual(one.far, Uniform(8, 8, MakePacked(9, 9, 9)), p.Angle, 0, p.Distance);
    WorkBitmap alone = Canvas(w, h);
    one.Render(alone);
    const Changed d = ChangedPixels(alone);
    ASSERT_GT(d.cols.size(), 0u);
    if (*d.cols.rbegin() - *d.cols.begin() < w / 2) {  // not split by the seam
      EXPECT_EQ((*d.cols.begin() + *d.cols.rbegin()) / 2,
                static_cast<int>(std::nearbyintl(static_cast<long double>(w) / 360 * p.Angle)));
    }
  }
}

TEST(RenderObjectsOrder, FarthestFirstAcrossGroupsEqualDistancesInListOrder) {
  const PackedColour red = MakePacked(255, 0, 0), green = MakePacked(0, 255, 0);
  struct Case {
    long double far_distance;
    BgrPixel centre;
  };
  // Equal distances: Far was placed first, so Near is drawn over it. A nearer
  // Far copy is drawn after the Near one, whatever its group.
  for (const Case& c : {Case{1, BgrPixel{0, 254, 0}}, Case{0.9L, BgrPixel{0, 0, 254}}}) {
    Objects s;
    s.Manual(s.far, Uniform(8, 8, red), 180, 0, c.far_distance).MixtureMode = MixtureMode::Norm;
    s.Manual(s.near, Uniform(8, 8, green), 180, 0, 1).MixtureMode = MixtureMode::Norm;
    WorkBitmap target = Canvas(360, 180);
    s.Render(target);
    EXPECT_EQ(target.Row(92)[180], c.centre);
  }
}

TEST(RenderObjectsProgress, OncePerCopyThenHundredAndRepeatable) {
  Objects s;
  s.input.AirDepth = 5;
  s.ground = false;
  for (Objects::Group* g : {&s.far, &s.mid, &s.near}) {
    ObjectEntry& e = s.Add(*g, Coded(20, 12));
    e.Shadeing = true;
    e.MixtureMode = MixtureMode::Norm;
    e.PositionMode = g == &s.mid ? PositionMode::Sky : PositionMode::Ground;
  }
  WorkBitmap first = Canvas(640, 320, kGrey), second = Canvas(640, 320, kGrey);
  s.Render(first);
  EXPECT_EQ(s.port.polls, (std::vector<int>{0, 33, 67}));  // Round(100 / 3 * i)
  EXPECT_EQ(s.context.RenderProgress, 100);
  s.Render(second);
  EXPECT_TRUE(SameBytes(first, second));
  EXPECT_GT(ChangedPixels(first, kGrey).count, 0);
}

TEST(RenderObjectsProgress, EmptyGroupsDrawNothingAndDrawNoRandomNumber) {
  Objects s;
  s.context.RenderProgress = 40;
  WorkBitmap target = Canvas(64, 32, kGrey);
  s.Render(target);
  EXPECT_EQ(s.random.State(), 65536u);
  EXPECT_EQ(s.context.RenderProgress, 100);
  EXPECT_EQ(ChangedPixels(target, kGrey).count, 0);
  EXPECT_TRUE(s.port.polls.empty());
}

TEST(RenderObjectsAbort, BeforeThePassAndAfterTheFirstObject) {
  Objects s;
  s.Manual(s.far, Uniform(8, 8, MakePacked(9, 9, 9)), 90, 0, 3);
  s.Manual(s.mid, Uniform(8, 8, MakePacked(9, 9, 9)), 180, 0, 2);
  s.Manual(s.near, Uniform(8, 8, MakePacked(9, 9, 9)), 270, 0, 1);
  s.port.abort_at_poll = 1;
  WorkBitmap target = Canvas(360, 180);
  s.Render(target);
  const Changed d = ChangedPixels(target);
  EXPECT_EQ(*d.cols.begin(), 85);  // only the farthest, at 90 degrees
  EXPECT_EQ(*d.cols.rbegin(), 95);
  EXPECT_EQ(s.context.RenderProgress, 0);
  // Already aborted: returns at once, drawing nothing and polling nothing.
  const std::size_t polls = s.port.polls.size();
  WorkBitmap untouched = Canvas(360, 180);
  s.Render(untouched);
  EXPECT_EQ(s.port.polls.size(), polls);
  EXPECT_EQ(ChangedPixels(untouched).count, 0);
}

TEST(RenderObjectsFailure, ZeroDistanceAndUnrepresentablePlacementsEndThePass) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  struct Case {
    long double angle, height, distance, scale;
  };
  for (const Case& c :
       {Case{180, 0, 0, 1}, Case{180, 0, 0, 0}, Case{180, 0, -0.0L, -1}, Case{nan, 0, 1.5L, 1},
        Case{inf, 0, 1.5L, 1}, Case{1e30L, 0, 1.5L, 1}, Case{180, nan, 1.5L, 1},
        Case{180, 1e300L, 1.5L, 1}, Case{180, 0, nan, 1}, Case{180, 0, 1.5L, inf},
        Case{180, 0, 1.5L, -inf}, Case{180, 0, 1e-6L, 1}, Case{180, 0, 1.5L, 1e12L}}) {
    Objects s;
    s.Manual(s.far, Uniform(8, 8, MakePacked(9, 9, 9)), 90, 0, 2);  // drawn before the fault
    s.Manual(s.mid, Uniform(8, 8, MakePacked(9, 9, 9)), c.angle, c.height, c.distance).Scale =
        c.scale;
    // A negative distance sorts after the faulty copy: never drawn.
    s.Manual(s.near, Uniform(8, 8, MakePacked(9, 9, 9)), 270, 0, -1).Scale = -1;
    WorkBitmap target = Canvas(360, 180);
    s.Render(target);
    ASSERT_TRUE(s.port.Failed()) << static_cast<double>(c.distance);
    // The diagnostic names the entry.
    EXPECT_EQ(s.port.reports[0].subject, DiagnosticSubject::Object);
    EXPECT_EQ(s.port.reports[0].group, GroupId::Mid);
    EXPECT_EQ(s.port.reports[0].index, 0u);
    const Changed d = ChangedPixels(target);
    EXPECT_TRUE(d.cols.count(90));
    // No number sorts after every number: then the last copy was drawn first.
    EXPECT_EQ(d.cols.count(270), std::isnan(c.distance) ? 1u : 0u);
    EXPECT_FALSE(d.cols.count(180));
  }
}

TEST(RenderObjectsFailure, BoxOfMoreThanFourTimesTheTargetEndsThePass) {
  // 360 x 180: wt = 719 gives 719 x 360 pixels (under 4 x 64800), wt = 720 gives
  // 721 x 360 (over).
  for (int wt : {719, 720}) {
    Objects s;
    s.Manual(s.far, Uniform(8, 8, MakePacked(9, 9, 9)), 180, 0, 1).Scale = wt / 30.0L;
    WorkBitmap target = Canvas(360, 180);
    s.Render(target);
    EXPECT_EQ(s.port.Failed(), wt == 720);
    EXPECT_EQ(ChangedPixels(target).count, wt == 720 ? 0 : 360 * 180);
  }
}

TEST(RenderObjectsFailure, WorkListIsBounded) {
  {
    Objects s;
    s.Add(s.far, Uniform(4, 4, MakePacked(9, 9, 9))).NumberOfObjects =
        std::numeric_limits<std::int32_t>::max();
    WorkBitmap target = Canvas(64, 32);
    s.Render(target);
    EXPECT_TRUE(s.port.Failed(DiagnosticCode::TooManyObjectCopies));
    EXPECT_TRUE(s.layout.Copies.empty());  // refused before placing
    EXPECT_EQ(ChangedPixels(target).count, 0);
    // Each pass says so.
    s.port.reports.clear();
    RenderObjects(s.context, target, s.input, true);
    EXPECT_TRUE(s.port.Failed(DiagnosticCode::TooManyObjectCopies));
  }
  {
    // Exactly the bound, split over two groups: placed and drawn (Scale 0
    // ground copies draw nothing, which keeps this quick).
    Objects s;
    s.Add(s.far, Uniform(4, 4, MakePacked(9, 9, 9))).NumberOfObjects = kMaxObjectCopies / 2;
    ObjectEntry& e = s.Add(s.near, Uniform(4, 4, MakePacked(9, 9, 9)));
    e.NumberOfObjects = kMaxObjectCopies / 2;
    e.Scale = 0;
    s.far.front().Scale = 0;
    WorkBitmap target = Canvas(64, 32);
    s.Render(target);
    EXPECT_EQ(s.port.reports.size(), 0u);
    EXPECT_EQ(s.port.polls.size(), static_cast<std::size_t>(kMaxObjectCopies));
    e.NumberOfObjects += 1;
    s.Render(target);
    EXPECT_TRUE(s.port.Failed(DiagnosticCode::TooManyObjectCopies));
  }
}

TEST(RenderObjectsFailure, PicturesFarLargerThanTheBox) {
  Objects s;
  s.Manual(s.far, Uniform(65535, 1, MakePacked(9, 9, 9)), 180, 0, 1);
  s.Manual(s.far, Uniform(1, 65535, MakePacked(9, 9, 9)), 90, 0, 1);
  WorkBitmap target = Canvas(36, 18);
  s.Render(target, true);
  EXPECT_EQ(s.port.reports.size(), 0u);
  EXPECT_GT(ChangedPixels(target).count, 0);
}

}  // namespace
}  // namespace horizonmill
