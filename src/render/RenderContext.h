// The state a render shares between its stages (progress, abort flag, random
// generator) and the interface through which the core reaches whoever drives it
// (the window, the command-line renderer, a test).
#pragma once

#include <atomic>
#include <cassert>
#include <cmath>
#include <string_view>

#include "image/WorkBitmap.h"
#include "render/SceneRandom.h"

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

// What a render needs from its caller. Every call has a default that does
// nothing, so a caller implements only what it shows.
class RenderHost {
 public:
  virtual ~RenderHost() = default;
  // A message drawn at (4, 4) over the preview area, before the stage it names
  // (and "作画は中止されました。" after an abort, with stage Aborted).
  virtual void StageMessage(RenderStage stage, std::string_view text) {}
  // Copies PreviewBitmap onto the preview area.
  virtual void ShowPreview(const WorkBitmap& preview) {}
  // Lets pending user-interface events run; an abort command sets
  // context.AbortRequested.
  virtual void ProcessEvents(RenderContext& context) {}
  virtual void SetAbortCommandVisible(bool visible) {}
  virtual void HideProgress() {}
  // Fills the preview area with the preview's background.
  virtual void ClearPreviewArea() {}
  virtual void Beep() {}
  virtual void MessageBox(std::string_view text) {}
  // Refreshes the enabling of the window's controls.
  virtual void RedrawAll() {}
  // False when nobody looks at the preview: the full-size render then skips
  // scaling its image into PreviewBitmap after each stage.
  virtual bool WantsPreview() const { return true; }
};

struct RenderContext {
  // Percentage of the running stage; 100 finished, 0 idle.
  int RenderProgress = 100;
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
  RenderHost* Host = &NullHost();
  // How many threads a stage may use, the calling one included (1 or more).
  // The pixels are the same for every count; only the calling thread polls.
  int Threads = DefaultRenderThreads();
  // Where the sun layer keeps the weight it mixed into each pixel, for an
  // output in linear light; nothing (the usual case) keeps none and costs
  // nothing. Sized to the target by the sun layer, and every weight set anew
  // by each render.
  SunWeights* SunWeightsOut = nullptr;

  // Stores the percentage, lets pending events run, and tells whether to stop.
  bool PollProgress(int percent) {
    RenderProgress = percent;
    Host->ProcessEvents(*this);
    return AbortRequested;
  }
  // PollProgress once `done` of n units are finished: the percentage of the
  // last of them, Round(100 / n * (done - 1)).
  bool PollUnits(long long done, long long n);

  static RenderHost& NullHost();
};

// Round(100 / n * k), halves to even: the percentage after unit k of n (n >= 1).
inline int ProgressPercent(long long k, long long n) {
  assert(n > 0 && "progress of no units");
  return static_cast<int>(std::nearbyintl(100.0L / n * k));
}

}  // namespace horizonmill
