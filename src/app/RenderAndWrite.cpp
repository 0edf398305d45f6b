#include "app/RenderAndWrite.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "app/Session.h"
#include "output/SunDirection.h"
#include "platform/FileError.h"

namespace horizonmill {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Standard output as a sink: the bytes go out as they come.
class StandardOutputSink : public ByteSink {
 public:
  using ByteSink::Write;
  void Write(const void* data, std::size_t size) override {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t n = ::write(STDOUT_FILENO, p, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw FileError("standard output", ErrnoReason(errno));
      }
      p += n;
      size -= static_cast<std::size_t>(n);
    }
  }
};

// The extension that chooses the format in EncodeImage.
const char* ExtensionOf(ImageFormat format) {
  switch (format) {
    case ImageFormat::Bmp:
      return ".bmp";
    case ImageFormat::Png:
      return ".png";
    case ImageFormat::Exr:
      return ".exr";
    case ImageFormat::Hdr:
      return ".hdr";
    case ImageFormat::Jpeg:
      break;
  }
  return ".jpg";
}

}  // namespace

namespace {

// The plan's files, `sun` the sun's description (empty: none). Reads nothing
// of the session: it may run beside the window's thread.
void WriteFiles(const OutputPlan& plan, const WorkBitmap& picture, const std::string& sun,
                WriteProgress* progress) {
  std::vector<FileToWrite> files;
  if (!plan.image.empty() && !plan.ToStandardOutput())
    files.push_back(
        {plan.image,
         [&](ByteSink& out) { EncodeImage(picture, plan.image, plan.quality, plan.metadata, out); },
         picture.Height()});
  if (!sun.empty()) files.push_back({plan.sun, [&](ByteSink& out) { out.Write(sun); }});
  if (plan.ToStandardOutput()) {
    StandardOutputSink out;
    EncodeImage(picture, ExtensionOf(plan.imageFormat), plan.quality, plan.metadata, out);
  }
  if (plan.faces)
    WriteCubeMap(picture, plan.cubemap, plan.faceSize, *plan.faces, plan.quality, files, progress);
  else if (!files.empty())
    WriteFilesAtomically(files, progress);
}

std::string SunOf(const Session& session, const OutputPlan& plan) {
  return plan.sun.empty()
             ? ""
             : SunJson(DescribeSun(session.Scene().Sun, plan.size.width, plan.size.height));
}

}  // namespace

void WritePlannedFiles(const Session& session, const OutputPlan& plan, const WorkBitmap& picture,
                       WriteProgress* progress) {
  WriteFiles(plan, picture, SunOf(session, plan), progress);
}

RunResult RenderAndWrite(Session& session, const OutputPlan& plan, AppHost& host) {
  RunResult result;
  const auto renderStart = Clock::now();
  if (plan.Renders()) {
    if (plan.preview) {
      session.RenderPreview();
    } else if (!session.RenderOutput()) {
      result.outcome = RunOutcome::OutOfMemory;
      result.reason = OutputSizeProblem(plan.size);
      return result;
    }
    result.aborted = session.Context().AbortRequested;
    result.renderSeconds = SecondsSince(renderStart);
    if (result.aborted && !host.KeepAbortedRender()) {
      result.outcome = RunOutcome::NotWritten;
      return result;
    }
  }
  const auto writeStart = Clock::now();
  // What the writing needs of the session is taken here, on the caller's thread.
  const WorkBitmap& picture = plan.preview ? session.PreviewBitmap() : session.OutputBitmap();
  const std::string sun = SunOf(session, plan);
  if (!WriteAfterRender(session.Context(), host, [&](WriteProgress& progress) {
        WriteFiles(plan, picture, sun, &progress);
      })) {
    result.outcome = RunOutcome::NotWritten;
    result.writeAborted = true;
  }
  result.writeSeconds = SecondsSince(writeStart);
  return result;
}

}  // namespace horizonmill
