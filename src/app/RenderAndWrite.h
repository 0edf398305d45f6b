// Carrying out an output plan (app/OutputPlan.h): the render the plan needs,
// then its files, with what happens after an abort decided in one place for
// the window and the command line alike: nothing is written unless the host
// keeps what was drawn (the window asks, default No; the command line never
// keeps an interrupted render), so an abort never replaces a good file with a
// half-drawn picture unasked.
#pragma once

#include <string>

#include "app/AppHost.h"
#include "app/OutputPlan.h"

namespace horizonmill {

class Session;
class SunWeights;

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

// The plan's files from a picture already rendered, as RenderAndWrite writes
// them, the HDR outputs with the sun's weights the render kept (nothing: no
// sun added, and k unknown); with a progress, their rows are planned and
// counted there, and a request to stop ends the writing with WriteCancelled
// (every file as it was).
void WritePlannedFiles(const Session& session, const OutputPlan& plan, const WorkBitmap& picture,
                       WriteProgress* progress = nullptr, const SunWeights* weights = nullptr);

}  // namespace horizonmill
