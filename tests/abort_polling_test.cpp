// How soon a render answers an abort, told by what it draws rather than by a
// clock: the abort is asked at a chosen poll of a whole render of the rich
// example (every layer), and what the image holds then is compared with what
// it holds when the render returns. The long steps outside the stages (the
// preview's scaling, the mirrored half, a large object copy) poll as they go.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "image/WorkBitmap.h"
#include "render/ObjectDraw.h"
#include "render/Pipeline.h"
#include "support/BitmapTesting.h"
#include "support/RecordingPort.h"
#include "support/SceneRendering.h"
#include "support/TextureTesting.h"

namespace horizonmill {
namespace {

using testing::FilledBitmap;
using testing::RecordingPort;

long long DifferingPixels(const WorkBitmap& a, const WorkBitmap& b) {
  long long n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += !(a.Row(y)[x] == b.Row(y)[x]);
  return n;
}

// A whole render of the rich example into `output`, asking to stop at poll
// `abortAt` (0: never), with a copy of the image as it was at that poll.
struct AbortedRender {
  SceneSettings scene;
  RecordingPort host;
  RenderContext context;
  WorkBitmap preview = FilledBitmap(kPreviewWidth, kPreviewHeight, BgrPixel{192, 192, 192});
  WorkBitmap output;
  WorkBitmap atRequest;
  std::size_t eventsAtRequest = 0;
  int pollsAfterRequest = 0;

  // With more than one thread the image is not copied at the request: the
  // other threads may be drawing then.
  AbortedRender(int w, int h, int threads, int abortAt) {
    testing::OpenExample(scene, "lighthouse-coast.hm");
    const std::shared_ptr<const PreparedScene> prepared = testing::Prepare(scene);
    context.Port = &host;
    host.context = &context;
    context.Threads = threads;
    output.Resize(w, h);
    host.onPoll = [this, abortAt](RenderContext& c, RenderStage) {
      if (c.AbortRequested) {
        ++pollsAfterRequest;
      } else if (host.polls == abortAt) {
        if (context.Threads == 1) atRequest = testing::CopyBitmap(output);
        eventsAtRequest = host.events.size();
        c.AbortRequested = true;
      }
    };
    RenderBackground(context, *prepared, output, preview);
  }
  // What the port heard after the request.
  std::vector<std::string> EventsAfterRequest() const {
    return {host.events.begin() + static_cast<std::ptrdiff_t>(eventsAtRequest), host.events.end()};
  }
};

TEST(AbortPolling, AnAbortAtAnyPollEndsTheRenderWithoutDrawingOnOrScaling) {
  constexpr int W = 640, H = 320;
  const std::vector<std::string> after{"message Updating the image..", "finished aborted",
                                       "message The drawing was stopped."};
  for (int threads : {1, 2}) {
    const int polls = AbortedRender(W, H, threads, 0).host.polls;
    ASSERT_GT(polls, 200);
    // Requests spread over the whole render, from its first poll on; alone, up
    // to its last (with two threads the number of polls varies a little).
    const int last = threads == 1 ? 30 : 27;
    for (int i = 0; i <= last; ++i) {
      const int k = std::max(1, polls * i / 30);
      const AbortedRender r(W, H, threads, k);
      SCOPED_TRACE("poll " + std::to_string(k) + " of " + std::to_string(polls) + ", " +
                   std::to_string(threads) + " threads");
      ASSERT_TRUE(r.context.AbortRequested);
      EXPECT_EQ(r.pollsAfterRequest, 0);
      // No stage begins, nothing is mirrored, scaled or shown after the request.
      EXPECT_EQ(r.EventsAfterRequest(), after);
      // Alone, the calling thread draws nothing after its poll (with more
      // threads the blocks they hold are finished: tests/work_crew_test.cpp).
      if (threads == 1) {
        EXPECT_EQ(DifferingPixels(r.atRequest, r.output), 0);
      }
    }
  }
}

// The steps that are no stage of their own, each asked to stop at its first
// poll: how much each has done then, and that going on to the end gives what
// the steps without polls give.
TEST(AbortPolling, TheLongCopiesPollAsTheyGoAndStopAtOnce) {
  constexpr int W = 64, H = 1100;  // halves of 550 rows: 256 + 256 + 38
  WorkBitmap rows(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      rows.Row(y)[x] = BgrPixel{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                static_cast<std::uint8_t>(y >> 8)};
  struct Step {
    const char* name;
    // Runs the step with `stop`, returning its result and the rows it changed.
    std::function<bool(const std::function<bool()>&, int& changedRows)> run;
    int rowsPerPoll;
    int polls;  // when never stopped
  };
  const Step steps[] = {
      {"the mirrored half",
       [&](const std::function<bool()>& stop, int& changed) {
         WorkBitmap b = testing::CopyBitmap(rows);
         const bool done = MirrorUpperHalf(b, stop);
         WorkBitmap plain = testing::CopyBitmap(rows);
         MirrorUpperHalf(plain);
         if (done) {
           EXPECT_TRUE(testing::SamePixels(b, plain));
         }
         changed = 0;
         for (int y = 0; y < H; ++y)
           changed += std::memcmp(b.Row(y), rows.Row(y), W * sizeof(BgrPixel)) != 0;
         return done;
       },
       256, 2},
      {"the reflection's copy",
       [&](const std::function<bool()>& stop, int& changed) {
         WorkBitmap reflection = FilledBitmap(W, H / 2, BgrPixel{1, 2, 3});
         const WorkBitmap before = testing::CopyBitmap(reflection);
         const bool done = CopyLowerHalf(reflection, rows, stop);
         WorkBitmap plain = FilledBitmap(W, H / 2, BgrPixel{1, 2, 3});
         CopyLowerHalf(plain, rows);
         if (done) {
           EXPECT_TRUE(testing::SamePixels(reflection, plain));
         }
         changed = 0;
         for (int y = 0; y < H / 2; ++y)
           changed += std::memcmp(reflection.Row(y), before.Row(y), W * sizeof(BgrPixel)) != 0;
         return done;
       },
       256, 2},
      {"the preview's scaling",
       [&](const std::function<bool()>& stop, int& changed) {
         WorkBitmap preview = FilledBitmap(kPreviewWidth, kPreviewHeight, BgrPixel{1, 2, 3});
         const WorkBitmap before = testing::CopyBitmap(preview);
         const bool done = StretchDraw(rows, preview, stop);
         WorkBitmap plain = testing::CopyBitmap(before);
         StretchDraw(rows, plain);
         if (done) {
           EXPECT_TRUE(testing::SamePixels(preview, plain));
         }
         changed = 0;
         for (int y = 0; y < kPreviewHeight; ++y)
           changed +=
               std::memcmp(preview.Row(y), before.Row(y), kPreviewWidth * sizeof(BgrPixel)) != 0;
         return done;
       },
       1, kPreviewHeight - 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    int asked = 0, changed = 0;
    EXPECT_TRUE(step.run(
        [&] {
          ++asked;
          return false;
        },
        changed));
    EXPECT_GE(asked, step.polls);
    asked = 0;
    EXPECT_FALSE(step.run(
        [&] {
          ++asked;
          return true;
        },
        changed));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(changed, step.rowsPerPoll);
  }
}

// A copy that covers the whole image, drawn by one thread and by two: it polls
// between its blocks of rows, and alone, asked to stop at its first poll, it
// has drawn its first block and nothing more.
TEST(AbortPolling, ALargeObjectCopyPollsBetweenItsBlocksOfRows) {
  constexpr int W = 256, H = 128;
  PreparedObject object;
  object.Picture = testing::MakeTexture(16, 16, [](int, int) { return MakePacked(200, 10, 10); });
  object.Settings.Scale = 20;  // 427 x 213 pixels: over every row of the image
  ObjectLayerInput input;
  PlacedObject copy;
  copy.Object = &object;
  copy.Placement.Angle = 180;
  copy.Placement.Height = 0;
  copy.Placement.Distance = 1;
  const WorkBitmap blank = FilledBitmap(W, H, BgrPixel{0, 0, 0});
  for (int threads : {1, 2}) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    WorkCrew crew(threads);
    detail::ObjectScratch scratch;
    WorkBitmap unpolled = testing::CopyBitmap(blank);
    ASSERT_TRUE(detail::DrawObject(unpolled, copy, input, false, scratch, crew));
    // Every row holds some of it.
    for (int y = 0; y < H; ++y)
      EXPECT_NE(std::memcmp(unpolled.Row(y), blank.Row(y), W * sizeof(BgrPixel)), 0) << y;
    WorkBitmap polled = testing::CopyBitmap(blank);
    int asked = 0;
    ASSERT_TRUE(detail::DrawObject(polled, copy, input, false, scratch, crew, [&] {
      ++asked;
      return false;
    }));
    EXPECT_TRUE(testing::SamePixels(polled, unpolled));
    if (threads > 1) continue;  // how often the caller polls then depends on the other thread
    // Blocks of H / 4 rows: a poll after each but the last.
    const int block = H / 4;
    EXPECT_EQ(asked, 3);
    WorkBitmap stopped = testing::CopyBitmap(blank);
    asked = 0;
    ASSERT_TRUE(detail::DrawObject(stopped, copy, input, false, scratch, crew, [&] {
      ++asked;
      return true;
    }));
    EXPECT_EQ(asked, 1);
    // The first block's rows as the whole copy draws them; the others untouched.
    const std::size_t bytes = W * sizeof(BgrPixel);
    int drawnRows = 0;
    for (int y = 0; y < H; ++y) {
      if (std::memcmp(stopped.Row(y), blank.Row(y), bytes) == 0) continue;
      ++drawnRows;
      EXPECT_EQ(std::memcmp(stopped.Row(y), unpolled.Row(y), bytes), 0) << "row " << y;
    }
    EXPECT_EQ(drawnRows, block);
  }
}

}  // namespace
}  // namespace horizonmill
