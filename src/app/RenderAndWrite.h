// Carrying out an output plan (app/OutputPlan.h): the render the plan needs,
// then its files, with what happens after an abort decided in one place for
// the window and the command line alike: nothing is written unless the host
// keeps what was drawn (the window asks, default No; the command line never
// keeps an interrupted render), so an abort never replaces a good file with a
// half-drawn picture unasked.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "app/AppHost.h"
#include "app/OutputPlan.h"
#include "render/PreparedScene.h"
#include "render/SunWeights.h"

namespace horizonmill {

class Session;
struct RenderContext;
class WorkBitmap;

// The render a sequence needs, ready to be drawn on any thread: drawing it
// reads only the prepared scene and writes only the context and bitmaps it is
// lent, so the window may draw it beside its own thread while the session
// stays the window's.
struct PlannedRender {
  std::shared_ptr<const PreparedScene> scene;
  bool full = true;             // the full-size image into the output bitmap, else a preview
  OutputResolution resolution;  // of the full-size image
  // A preview larger than the preview bitmap (a large thumbnail's): drawn as
  // a preview at this size into the output bitmap. Nothing: into the preview.
  std::optional<OutputSize> previewSize;
  SunWeights* weights = nullptr;  // where the sun layer keeps its weights (HDR outputs); none
};

// Draws the render: the full-size image into `output` (RenderFullSize), or the
// preview into `preview` (one of another size into `output`), with `context`
// (its port hears of it, its AbortRequested tells afterwards whether it was
// stopped). False, with nothing drawn, when the output size breaks the limits
// or memory runs out.
bool DrawPlannedRender(const PlannedRender& render, RenderContext& context, WorkBitmap& output,
                       WorkBitmap& preview);

enum class RunOutcome {
  Written,      // every file of the plan written (an aborted render too, when kept)
  NotWritten,   // the render was aborted and what was drawn not kept, or the
                // writing was aborted: nothing written
  OutOfMemory,  // the size breaks the limits or memory ran out: nothing rendered
};

struct RunResult {
  RunOutcome outcome = RunOutcome::Written;
  bool aborted = false;       // the render was aborted (written as far as it was drawn when kept)
  bool writeAborted = false;  // the writing was aborted: every file as it was
  std::string reason;  // OutOfMemory: why, in English, to follow MessageCode::MemoryExhausted
  double renderSeconds = 0;
  double writeSeconds = 0;
};

// Renders what the plan needs (the full image into OutputBitmap, or the
// preview), keeping the sun's weights when the plan writes HDR
// (OutputPlan::KeepsSunWeights; memory running out for them is OutOfMemory),
// and writes the plan's files together: the image, the cube map, the sun with
// R and k (platform/AtomicFile.h: all of them or none), through
// host.RunWrite (WriteAfterRender: an abort while they are written leaves
// every file as it was). Throws FileError naming the file, when one cannot
// be written (the files there before are then as they were), or Interrupted
// when an interrupt stops the writing.
RunResult RenderAndWrite(Session& session, const OutputPlan& plan, AppHost& host);

// RenderAndWrite in two halves around the render, for a caller that draws it
// elsewhere (the window, on a worker thread): begun on the caller's thread
// (the document prepared, the sun's weights sized), the render drawn
// (DrawPlannedRender of `render`, when the plan renders and the run has not
// ended), then ended on the caller's thread with the session's context
// telling in AbortRequested whether the render was stopped.
struct WriteRun {
  OutputPlan plan;
  PlannedRender render;
  std::unique_ptr<SunWeights> weights;
  RunResult result;
  bool ended = false;  // the result is final already: nothing is to be drawn or written
  bool drawn = false;  // for the caller that draws it: what DrawPlannedRender said
  std::chrono::steady_clock::time_point started;
};
std::unique_ptr<WriteRun> BeginRenderAndWrite(Session& session, const OutputPlan& plan);
// `drawn`: what DrawPlannedRender said (true when the plan renders nothing).
// Throws as RenderAndWrite does.
RunResult EndRenderAndWrite(Session& session, WriteRun& run, bool drawn, AppHost& host);

// The plan's files from a picture already rendered, as RenderAndWrite writes
// them, the HDR outputs with the sun's weights the render kept (nothing: no
// sun added, and k unknown); with a progress, their rows are planned and
// counted there, and a request to stop ends the writing with WriteCancelled
// (every file as it was).
void WritePlannedFiles(const Session& session, const OutputPlan& plan, const WorkBitmap& picture,
                       WriteProgress* progress = nullptr, const SunWeights* weights = nullptr);

}  // namespace horizonmill
