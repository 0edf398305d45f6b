// Carrying out an output plan: the render, then the files, and what an abort
// does to them.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/RenderAndWrite.h"
#include "app/Session.h"
#include "codecs/HdrLight.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "render/SunDirection.h"
#include "support/AppTesting.h"
#include "support/BmpBytes.h"
#include "support/HdrReading.h"
#include "support/RecordingPort.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::BmpView;
using testing::ReadFile;
using testing::RecordingAppHost;
using testing::TempDir;
using testing::WriteFile;

OutputPlan Plan(const Session& session, const OutputRequest& request) {
  const PlannedOutputs planned = PlanOutputs(request, session);
  EXPECT_TRUE(planned.plan) << planned.error;
  return planned.plan.value_or(OutputPlan{});
}

OutputRequest Image(const std::string& name) {
  OutputRequest request;
  request.image = name;
  return request;
}

TEST(RenderAndWrite, TheDefaultSkyAsBmpAndInThePreview) {
  TempDir dir;
  Session session;
  testing::RecordingPort render;
  session.Context().Port = &render;
  RecordingAppHost host;
  const RunResult result = RenderAndWrite(session, Plan(session, Image(dir / "sky.BMP")), host);
  EXPECT_EQ(result.outcome, RunOutcome::Written);
  EXPECT_FALSE(result.aborted);
  EXPECT_TRUE(host.events.empty());
  const std::string bytes = ReadFile(dir / "sky.BMP");
  const BmpView bmp(bytes);
  ASSERT_EQ(bmp.Width(), 3072);
  ASSERT_EQ(bmp.Height(), 1536);
  const int rows[] = {0, 96, 192, 384, 576, 700, 767, 768, 1152, 1535};
  const int levels[] = {0, 35, 76, 159, 227, 251, 255, 255, 159, 0};
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(bmp.At(7 * i, rows[i]), (BgrPixel{255, static_cast<std::uint8_t>(levels[i]),
                                                static_cast<std::uint8_t>(levels[i])}))
        << "row " << rows[i];
  // The preview shows the result, scaled: blue at the top, white at the horizon.
  const WorkBitmap& preview = session.PreviewBitmap();
  EXPECT_EQ(preview.Row(0)[0].b, 255);
  EXPECT_LT(preview.Row(0)[0].r, 5);
  EXPECT_EQ(preview.Row(153)[0], (BgrPixel{255, 255, 255}));
}

// The scene's own name is never put over a file that came to it during the
// run (after the plan's check, before the placing); -o's name replaces it.
TEST(RenderAndWrite, TheScenesNameNeverReplacesAFileThatCameDuringTheRun) {
  TempDir dir;
  const std::string same = dir / "same.png";
  Session session;
  session.Scene().Output.Resolution = {"64", "32"};
  session.Scene().Output.Filename = same;
  for (const bool named : {false, true}) {
    SCOPED_TRACE(named ? "-o" : "the scene's name");
    std::filesystem::remove(same);
    const OutputPlan plan = Plan(session, named ? Image(same) : OutputRequest{});
    detail::SetBeforePutInPlaceHook([&](const std::string&) { WriteFile(same, "another run's"); });
    RecordingAppHost host;
    if (named) {
      EXPECT_EQ(RenderAndWrite(session, plan, host).outcome, RunOutcome::Written);
      EXPECT_EQ(ReadFile(same).substr(1, 3), "PNG");
    } else {
      EXPECT_THROW(RenderAndWrite(session, plan, host), FileError);
      EXPECT_EQ(ReadFile(same), "another run's");
    }
    detail::SetBeforePutInPlaceHook(nullptr);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"same.png"});
  }
}

// What killed runs left in the folders a run writes into (the image's, the
// cube map's, the sun's) is removed before the writing and told once; what
// lies elsewhere is not looked at.
TEST(RenderAndWrite, WhatKilledRunsLeftBesideTheFilesIsRemovedAndTold) {
  TempDir dir;
  std::filesystem::create_directories(dir / "faces");
  std::filesystem::create_directories(dir / "elsewhere");
  for (const char* left : {".hmImage0", "faces/.hmFaces0", "elsewhere/.hmOther0"})
    WriteFile(dir / left, "a complete copy");
  Session session;
  session.Scene().Output.Resolution = {"64", "32"};
  OutputRequest request = Image(dir / "sky.png");
  request.cubemap = dir / "faces";
  RecordingAppHost host;
  EXPECT_EQ(RenderAndWrite(session, Plan(session, request), host).outcome, RunOutcome::Written);
  ASSERT_EQ(host.events.size(), 1u);
  const std::string& told = host.events.front();
  EXPECT_EQ(told.rfind("Removed what an interrupted writing had left beside its files: ", 0), 0u)
      << told;
  for (const char* left : {".hmImage0", "faces/.hmFaces0"}) {
    EXPECT_NE(told.find(dir / left), std::string::npos) << told;
    EXPECT_FALSE(std::filesystem::exists(dir / left)) << left;
  }
  EXPECT_EQ(ReadFile(dir / "elsewhere/.hmOther0"), "a complete copy");
  // Nothing left: nothing told.
  RecordingAppHost again;
  RenderAndWrite(session, Plan(session, request), again);
  EXPECT_TRUE(again.events.empty());
}

// An aborted render replaces no file unless the host keeps what was drawn.
TEST(RenderAndWrite, AnAbortedRenderIsWrittenOnlyWhenKept) {
  for (const bool keep : {false, true}) {
    TempDir dir;
    WriteFile(dir / "out.bmp", "BM the last good picture");
    WriteFile(dir / "sun.json", "{}");
    Session session;
    session.Scene().Output.Resolution = {"64", "32"};
    testing::PollingPort render(1);  // the abort command at the first poll
    session.Context().Port = &render;
    RecordingAppHost host;
    host.keepAborted = keep;
    OutputRequest request = Image(dir / "out.bmp");
    request.sunJson = dir / "sun.json";
    const RunResult result = RenderAndWrite(session, Plan(session, request), host);
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(host.events, std::vector<std::string>{"keep?"});
    if (keep) {
      EXPECT_EQ(result.outcome, RunOutcome::Written);
      EXPECT_EQ(BmpView(ReadFile(dir / "out.bmp")).Width(), 64);
      EXPECT_NE(ReadFile(dir / "sun.json"), "{}");
    } else {
      EXPECT_EQ(result.outcome, RunOutcome::NotWritten);
      EXPECT_EQ(ReadFile(dir / "out.bmp"), "BM the last good picture");
      EXPECT_EQ(ReadFile(dir / "sun.json"), "{}");
    }
  }
}

TEST(RenderAndWrite, NoMemoryRendersAndWritesNothingAFailureLeavesEveryFile) {
  TempDir dir;
  Session session;
  RecordingAppHost host;
  session.Scene().Output.Resolution = {"70000", "1"};  // wider than any image
  RunResult result = RenderAndWrite(session, Plan(session, Image(dir / "wide.png")), host);
  EXPECT_EQ(result.outcome, RunOutcome::OutOfMemory);
  EXPECT_NE(result.reason.find("65535"), std::string::npos) << result.reason;
  EXPECT_TRUE(dir.Entries().empty());

  // The sun's folder goes away after the plan: neither file is written.
  session.Scene().Output.Resolution = {"16", "8"};
  std::filesystem::create_directory(dir / "sun");
  OutputRequest request = Image(dir / "out.png");
  request.sunJson = dir / "sun/sun.json";
  const OutputPlan plan = Plan(session, request);
  std::filesystem::remove(dir / "sun");
  EXPECT_THROW(RenderAndWrite(session, plan, host), FileError);
  EXPECT_TRUE(dir.Entries().empty());
}

// The files go through the host's RunWrite, once, with the render's lock held
// and nothing asking to stop (an abort of the render before, kept, is no
// request to stop the writing); the progress plans every row and reaches it.
TEST(RenderAndWrite, TheFilesAreWrittenThroughTheHostLockedAndCounted) {
  for (const bool abortedAndKept : {false, true}) {
    SCOPED_TRACE(abortedAndKept ? "an aborted render, kept" : "a whole render");
    TempDir dir;
    Session session;
    session.Scene().Output.Resolution = {"64", "32"};
    testing::PollingPort render(abortedAndKept ? 1 : 0);
    session.Context().Port = &render;
    RecordingAppHost host;
    host.keepAborted = true;
    const RenderContext& context = session.Context();
    struct Seen {
      bool rendering, writing, abort;
    } seen{};
    std::int64_t planned = 0, done = 0;
    host.beforeWrite = [&](WriteProgress&) {
      seen = {context.Rendering, context.Writing, context.AbortRequested};
    };
    host.afterWrite = [&](WriteProgress& progress) {
      planned = progress.Planned();
      done = progress.Done();
    };
    OutputRequest request = Image(dir / "out.png");
    request.cubemap = dir / "faces";
    request.faceFormat = CubeFaceFormat::Bmp;
    request.faceSize = 8;
    request.sunJson = dir / "sun.json";
    const RunResult result = RenderAndWrite(session, Plan(session, request), host);
    EXPECT_EQ(result.outcome, RunOutcome::Written);
    EXPECT_EQ(result.aborted, abortedAndKept);
    EXPECT_FALSE(result.writeAborted);
    EXPECT_EQ(host.writes, 1);
    EXPECT_TRUE(seen.rendering && seen.writing);
    EXPECT_FALSE(seen.abort);
    // The picture's 32 rows and six faces of 8; the sun has none.
    EXPECT_EQ(planned, 32 + 6 * 8);
    EXPECT_EQ(done, planned);
    EXPECT_FALSE(context.Rendering || context.Writing);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"faces", "out.png", "sun.json"}));
  }
}

// The abort command while the files are written, wherever it comes before
// the first of them is renamed into place (every file complete and synced,
// the last about to be named included), leaves every file as it was: nothing
// is written, and no error is raised.
TEST(RenderAndWrite, AnAbortWhileTheFilesAreWrittenLeavesEveryFileAsItWas) {
  const struct {
    const char* when;
    bool faces;                // the faces go first, then the picture and the sun
    const char* stopAtHookOf;  // "": before the writing begins
    bool written;
  } cases[] = {
      {"before the writing begins", true, "", false},
      {"as the picture is about to go in place", false, "out.bmp", false},
      {"as the first face is about to go in place", true, "faces/px.png", false},
      {"as the picture follows the faces", true, "out.bmp", false},
      {"as the sun, the last, is about to be named", true, "sun.json", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.when);
    TempDir dir;
    std::filesystem::create_directory(dir / "faces");
    WriteFile(dir / "out.bmp", "BM the last good picture");
    WriteFile(dir / "faces/px.png", "the last good face");
    WriteFile(dir / "sun.json", "{}");
    Session session;
    session.Scene().Output.Resolution = {"64", "32"};
    RecordingAppHost host;
    RenderContext& context = session.Context();
    const std::string hookTarget = c.stopAtHookOf[0] ? dir / c.stopAtHookOf : "";
    if (hookTarget.empty())
      host.beforeWrite = [&](WriteProgress&) { context.AbortRequested = true; };
    detail::SetBeforePutInPlaceHook([&](const std::string& path) {
      if (path == hookTarget) context.AbortRequested = true;
    });
    OutputRequest request = Image(dir / "out.bmp");
    if (c.faces) request.cubemap = dir / "faces";
    request.sunJson = dir / "sun.json";
    const RunResult result = RenderAndWrite(session, Plan(session, request), host);
    detail::SetBeforePutInPlaceHook(nullptr);
    EXPECT_FALSE(result.aborted);
    EXPECT_TRUE(context.AbortRequested);
    EXPECT_FALSE(context.Rendering || context.Writing);
    EXPECT_TRUE(host.events.empty());
    std::size_t faces = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir / "faces"))
      ++faces;
    if (c.written) {
      EXPECT_EQ(result.outcome, RunOutcome::Written);
      EXPECT_FALSE(result.writeAborted);
      EXPECT_EQ(BmpView(ReadFile(dir / "out.bmp")).Width(), 64);
      EXPECT_EQ(faces, 6u);
      continue;
    }
    EXPECT_EQ(result.outcome, RunOutcome::NotWritten);
    EXPECT_TRUE(result.writeAborted);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"faces", "out.bmp", "sun.json"}));
    EXPECT_EQ(faces, 1u);
    EXPECT_TRUE(ReadFile(dir / "out.bmp") == "BM the last good picture");
    EXPECT_TRUE(ReadFile(dir / "faces/px.png") == "the last good face");
    EXPECT_TRUE(ReadFile(dir / "sun.json") == "{}");
  }
}

TEST(RenderAndWrite, AnExrHoldsTheSunRaisedByTheRatioAndThePngStaysAsItWas) {
  TempDir dir;
  auto sceneOf = [](Session& session) {
    session.Scene().Output.Resolution = {"128", "64"};
    SunSettings& sun = session.Scene().Sun;
    sun.CenterColor = {255, 235, 180, 255};
    sun.OuterColor = {255, 130, 50, 255};
    sun.Position = {0.3L, 0.47L};
    sun.Slopes = {2, 2, 3, 3};
  };
  RecordingAppHost host;
  // The eight-bit picture alone, then with EXR faces and the sun in one run.
  Session alone;
  sceneOf(alone);
  ASSERT_EQ(RenderAndWrite(alone, Plan(alone, Image(dir / "alone.png")), host).outcome,
            RunOutcome::Written);
  Session together;
  sceneOf(together);
  OutputRequest request = Image(dir / "together.png");
  request.cubemap = dir / "cube";
  request.faceFormat = CubeFaceFormat::Exr;
  request.sunJson = dir / "sun.json";
  ASSERT_EQ(RenderAndWrite(together, Plan(together, request), host).outcome, RunOutcome::Written);
  EXPECT_EQ(ReadFile(dir / "together.png"), ReadFile(dir / "alone.png"));
  EXPECT_EQ(together.Context().SunWeightsOut, nullptr);  // lent for the render only
  // The EXR faces make k known: the sun's description gives it beside R.
  const std::string first = ReadFile(dir / "sun.json");
  EXPECT_NE(first.find("\"sunRatio\": 6,"), std::string::npos) << first;
  EXPECT_EQ(first.find("\"sunScale\": null"), std::string::npos) << first;

  // The panorama as EXR with R = 3: on a surface facing the sun the light it
  // adds to the eight-bit picture decoded is three times that picture's own.
  Session session;
  sceneOf(session);
  request = Image(dir / "sun.exr");
  request.sunRatio = 3;
  request.sunJson = dir / "sun.json";
  ASSERT_EQ(RenderAndWrite(session, Plan(session, request), host).outcome, RunOutcome::Written);
  const testing::ExrFile exr = testing::ReadExr(ReadFile(dir / "sun.exr"));
  const WorkBitmap& picture = session.OutputBitmap();
  ASSERT_EQ(exr.picture.width, 128);
  ASSERT_EQ(exr.picture.height, 64);
  const Direction n = DescribeSun(session.Scene().Sun, 128, 64).toward;
  double own = 0, added = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) {
      const Direction d = PixelDirection(x, y, 128, 64);
      const double c =
          std::max(0.0, d.x * n.x + d.y * n.y + d.z * n.z) * PixelSolidAngle(y, 128, 64);
      const BgrPixel p = picture.Row(y)[x];
      const double decoded =
          Luminance(SrgbByteToLinear(p.r), SrgbByteToLinear(p.g), SrgbByteToLinear(p.b));
      const float* hdr = exr.picture.At(x, y);
      own += decoded * c;
      added += (Luminance(hdr[0], hdr[1], hdr[2]) - decoded) * c;
    }
  EXPECT_NEAR(added / own, 3, 0.01);
  const std::string json = ReadFile(dir / "sun.json");
  EXPECT_NE(json.find("\"sunRatio\": 3,\n  \"sunScale\": "), std::string::npos) << json;
  EXPECT_EQ(json.find("\"sunScale\": null"), std::string::npos) << json;
}

}  // namespace
}  // namespace horizonmill
