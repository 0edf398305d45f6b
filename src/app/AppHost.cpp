#include "app/AppHost.h"

#include <set>

#include "platform/AtomicFile.h"
#include "platform/Messages.h"
#include "render/RenderContext.h"

namespace horizonmill {

bool WriteAfterRender(RenderContext& context, AppHost& host,
                      const std::function<void(WriteProgress&)>& write) {
  // Set for the whole write, whichever way it ends.
  struct Flags {
    RenderContext& context;
    explicit Flags(RenderContext& c) : context(c) { context.Rendering = context.Writing = true; }
    ~Flags() { context.Rendering = context.Writing = false; }
  } flags(context);
  // An abort of the render before it, kept, is no request to stop the write.
  context.AbortRequested = false;
  WriteProgress progress(&context.AbortRequested);
  try {
    host.RunWrite(progress, [&] { write(progress); });
  } catch (const WriteCancelled&) {
    return false;
  }
  return true;
}

void RemoveLeftTemporariesIn(const std::vector<std::string>& folders, AppHost& host) {
  std::string removed;
  for (const std::string& folder : std::set<std::string>(folders.begin(), folders.end()))
    for (const std::string& path : RemoveLeftTemporaries(folder))
      removed += (removed.empty() ? "" : ", ") + path;
  if (!removed.empty())
    host.MessageBox(Message(MessageCode::LeftTemporariesRemoved, {removed}), {});
}

}  // namespace horizonmill
