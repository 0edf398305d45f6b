// What the sequences of app/ need from whoever started them, beyond the
// render's host (render/RenderContext.h): the questions and messages of the
// registration and removal, and whether to keep an aborted render. The window
// asks with dialogs, the command line answers without asking, tests with fakes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/Registration.h"
#include "platform/WriteProgress.h"

namespace horizonmill {

struct RenderContext;

class AppHost : public RegistrationHost {
 public:
  // A full render was aborted: may what was drawn be written (or registered)?
  // Nothing has been written yet. The default keeps nothing, as on the
  // command line, where only an interrupt aborts.
  virtual bool KeepAbortedRender() { return false; }
  // Runs `write`, the writing of a full render's files, and returns once it
  // has ended; what it throws is thrown here. `write` counts its rows in
  // `progress` and stops (WriteCancelled) at its next block once `progress`
  // says stop. The default runs it at once on the calling thread (the
  // command line, tests); the window runs it on a worker thread while its
  // events run, so `write` must not call back into the host.
  virtual void RunWrite(WriteProgress& progress, const std::function<void()>& write) { write(); }
};

// Writes the files of a full render through host.RunWrite: meanwhile the
// context's Rendering and Writing stay set (no render may start; the window
// keeps its commands locked), and AbortRequested, cleared first, asks the write
// to stop. True when `write` ended; false when it stopped for the request
// (WriteCancelled: nothing was written, and AbortRequested stays set). What
// else it throws is thrown.
bool WriteAfterRender(RenderContext& context, AppHost& host,
                      const std::function<void(WriteProgress&)>& write);

// Removes what writers killed in their midst left in `folders` (the folders a
// run is about to write into; RemoveLeftTemporaries, platform/AtomicFile.h)
// and tells the host which files went (MessageCode::LeftTemporariesRemoved),
// once for all of them. A folder named twice is looked at once.
void RemoveLeftTemporariesIn(const std::vector<std::string>& folders, AppHost& host);

}  // namespace horizonmill
