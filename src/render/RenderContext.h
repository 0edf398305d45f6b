// The state a render shares between its stages (progress, abort flag, random
// generator) and the port through which a render reports to whoever drives it
// (the window, the command-line renderer, a test). The render asks nobody
// anything and runs no event loop: it tells what happens, and learns through
// AbortRequested (or the port's StopRequested) that it is to stop.
#pragma once

#include <atomic>
#include <cassert>
#include <cmath>
#include <string>

#include "image/WorkBitmap.h"
#include "platform/Messages.h"
#include "render/SceneRandom.h"
#include "scene/Diagnostic.h"

namespace horizonmill {

enum class RenderStage {
  Sky,
  Sun,
  Stars,
  Ceiling,
  Reflection,
  Ground,
  Objects,
  Finishing,
  Aborted
};

struct RenderContext;
class SunWeights;  // render/SunWeights.h

// The most threads a render uses.
inline constexpr int kMaxRenderThreads = 256;
// The thread count of a new render context: HORIZONMILL_THREADS when it holds a
// whole number from 1 to kMaxRenderThreads, otherwise the machine's hardware
// threads (1 when the machine does not tell).
int DefaultRenderThreads();
// Why HORIZONMILL_THREADS, set, is passed over (not a whole number from 1 to
// kMaxRenderThreads: "0", "abc"), for a warning; empty when it is unset or
// holds a count.
std::string RenderThreadsProblem();

// What a render reports, in the order it happens. Every call has a default
// that does nothing, so a caller implements only what it shows. The calls come
// from the thread that runs the render.
class RenderPort {
 public:
  virtual ~RenderPort() = default;
  // A stage begins; `message` is what the window draws at (4, 4) over the
  // preview area (MessageCode::SkyStage ..., the stars' with their number).
  // Sky begins every render; Finishing ends one; Aborted follows Finished
  // after an abort, for the cleared preview area.
  virtual void StageStarted(RenderStage stage, const Message& message) {}
  // The running stage's percentage, at every poll (context.RenderProgress
  // holds it too).
  virtual void Progress(int percent) {}
  // Asked at every poll after Progress: true stops the render as the abort
  // command does (AbortRequested is set).
  virtual bool StopRequested() { return false; }
  // PreviewBitmap shows the picture as far as it is drawn: after a stage (a
  // full render has been scaled into it first) and at the end.
  virtual void PreviewReady(const WorkBitmap& preview) {}
  // Something the render could not do, and what it did instead.
  virtual void Report(const Diagnostic& diagnostic) {}
  // The render has ended, whichever way; `aborted` tells whether it was
  // stopped. RenderProgress is 100 by then.
  virtual void Finished(bool aborted) {}
  // False when nobody looks at the preview: the full-size render then skips
  // scaling its image into PreviewBitmap after each stage.
  virtual bool WantsPreview() const { return true; }
};

struct RenderContext {
  // Percentage of the running stage; 100 finished, 0 idle. Atomic: another
  // thread (the window's gauge) may read it while a render runs.
  std::atomic<int> RenderProgress{100};
  // Cleared when a render starts, set by the abort command; stays set after the
  // render, telling that it was aborted. Atomic: the threads of a stage and a
  // write running beside the window (app/AppHost.h) read it while the
  // window's thread sets it.
  std::atomic<bool> AbortRequested{false};
  // True while RenderBackground runs, and while the files of a full render are
  // written after it (Writing). A render must not be started then (the window
  // disables its commands while this is set).
  bool Rendering = false;
  // True while the files of a full render are written: the picture is
  // finished, only read.
  bool Writing = false;
  SceneRandom Random;
  // Where the render reports; never null.
  RenderPort* Port = &NullPort();
  // How many threads a stage may use, the calling one included (1 or more).
  // The pixels are the same for every count; only the calling thread polls.
  int Threads = DefaultRenderThreads();
  // Where the sun layer keeps the weight it mixed into each pixel, for an
  // output in linear light; nothing (the usual case) keeps none and costs
  // nothing. Sized to the target by the sun layer, and every weight set anew
  // by each render.
  SunWeights* SunWeightsOut = nullptr;

  // Stores the percentage, reports it, and tells whether to stop.
  bool PollProgress(int percent) {
    RenderProgress = percent;
    Port->Progress(percent);
    if (Port->StopRequested()) AbortRequested = true;
    return AbortRequested;
  }
  // PollProgress once `done` of n units are finished: the percentage of the
  // last of them, Round(100 / n * (done - 1)).
  bool PollUnits(long long done, long long n);

  // Reports to nobody.
  static RenderPort& NullPort();
};

// Round(100 / n * k), halves to even: the percentage after unit k of n (n >= 1).
inline int ProgressPercent(long long k, long long n) {
  assert(n > 0 && "progress of no units");
  return static_cast<int>(std::nearbyintl(100.0L / n * k));
}

}  // namespace horizonmill
