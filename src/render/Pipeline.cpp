#include "render/Pipeline.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

#include "image/ImageLimits.h"
#include "render/RenderCeiling.h"
#include "render/RenderGround.h"
#include "render/RenderObjects.h"
#include "render/RenderSky.h"
#include "render/RenderStars.h"
#include "render/RenderSun.h"

namespace horizonmill {

void MirrorUpperHalf(WorkBitmap& bitmap) { MirrorUpperHalf(bitmap, nullptr); }

bool MirrorUpperHalf(WorkBitmap& bitmap, const std::function<bool()>& stop) {
  const int H = bitmap.Height();
  const std::size_t bytes = static_cast<std::size_t>(bitmap.Width()) * sizeof(BgrPixel);
  for (int i = 0; i <= H / 2; ++i) {
    const int to = H - 1 - i;
    if (to != i && to >= 0) std::memcpy(bitmap.Row(to), bitmap.Row(i), bytes);
    if ((i + 1) % kCopyBlockRows == 0 && stop && stop()) return false;
  }
  return true;
}

void CopyLowerHalf(WorkBitmap& reflection, const WorkBitmap& target) {
  CopyLowerHalf(reflection, target, nullptr);
}

bool CopyLowerHalf(WorkBitmap& reflection, const WorkBitmap& target,
                   const std::function<bool()>& stop) {
  assert(reflection.Width() == target.Width() && 2 * reflection.Height() <= target.Height());
  const int h = reflection.Height();
  const std::size_t bytes = static_cast<std::size_t>(target.Width()) * sizeof(BgrPixel);
  for (int i = 0; i < h; ++i) {
    std::memcpy(reflection.Row(i), target.Row(h + i), bytes);
    if ((i + 1) % kCopyBlockRows == 0 && stop && stop()) return false;
  }
  return true;
}

std::int32_t PreviewStarCount(std::int32_t number, long double resX, long double resY, int width,
                              int height) {
  if (!(resX > 0) || !(resY > 0)) return number;
  const long double r = resX * resY / (static_cast<long double>(width) * height);
  const long double scaled = std::nearbyintl(number / r);
  if (!(scaled < std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (!(scaled > std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(scaled);
}

namespace {

class Pipeline {
 public:
  Pipeline(RenderContext& context, const PreparedScene& scene, WorkBitmap& target,
           WorkBitmap& preview)
      : ctx_(context), port_(*context.Port), scene_(scene), target_(target), preview_(preview) {}

  void Run();

 private:
  void Stage(RenderStage stage, const Message& message) { port_.StageStarted(stage, message); }
  // Memory ran out for `what` of the target: said with what the render does
  // instead.
  void ReportNoMemory(DiagnosticCode code, std::string_view what, std::string_view instead) {
    Diagnostic d;
    d.code = code;
    d.text = "memory ran out for " + std::string(what) + " of a " +
             std::to_string(target_.Width()) + " x " + std::to_string(target_.Height()) +
             " picture; " + std::string(instead);
    port_.Report(d);
  }
  // Scales the target into the preview and reports it ready (stopping for an
  // abort while it scales). False when the render was aborted.
  bool RefreshStage();
  // After a stage: false when the render was aborted, else the preview refreshed.
  bool StageDone();
  // The stages in order, until one is aborted. False when the render ended
  // early for want of memory (already reported).
  bool Draw();
  // Each stage false when it was aborted.
  bool Stars();
  bool Ceiling();
  bool Ground();
  bool ReflectionPass(GroundLayerInput& ground, WorkBitmap& reflection);
  ObjectLayerInput ObjectInput() const;

  RenderContext& ctx_;
  RenderPort& port_;
  const PreparedScene& scene_;
  WorkBitmap& target_;
  WorkBitmap& preview_;
  PixelImagePtr horizonRow_;
  // Between the steps of the long copies outside the stages: the port hears,
  // at the stage's percentage, and an abort is noticed.
  const std::function<bool()> poll_ = [this] { return ctx_.PollProgress(ctx_.RenderProgress); };
};

bool Pipeline::RefreshStage() {
  if (!port_.WantsPreview()) return true;
  if (&target_ != &preview_ && !StretchDraw(target_, preview_, poll_)) return false;
  port_.PreviewReady(preview_);
  return true;
}

void Pipeline::Run() {
  ctx_.AbortRequested = false;
  if (!Draw()) {
    ctx_.RenderProgress = 100;
    port_.Finished(false);
    return;
  }
  Stage(RenderStage::Finishing, MessageCode::FinishingStage);
  const bool aborted = ctx_.AbortRequested;
  if (!aborted && port_.WantsPreview()) port_.PreviewReady(preview_);
  horizonRow_.reset();
  ctx_.RenderProgress = 100;
  port_.Finished(aborted);
  if (aborted) Stage(RenderStage::Aborted, MessageCode::RenderAborted);
}

bool Pipeline::StageDone() {
  // After an abort nothing more is drawn, mirrored or scaled into the preview:
  // the render returns at once, with what it drew so far.
  return !ctx_.AbortRequested && RefreshStage();
}

bool Pipeline::Draw() {
  const int W = target_.Width(), H = target_.Height();

  Stage(RenderStage::Sky, MessageCode::SkyStage);
  RenderSky(ctx_, target_, scene_.Sky);
  if (!StageDone()) return true;

  Stage(RenderStage::Sun, MessageCode::SunStage);
  RenderSun(ctx_, target_, scene_.Sun);
  if (!StageDone()) return true;

  // The middle row after sky and sun: the horizon colour of every column.
  horizonRow_ = MakePixelImage(W, 1);
  if (!horizonRow_) {
    ReportNoMemory(DiagnosticCode::HorizonRowNoMemory, "the horizon row",
                   "the render ends after the sun");
    return false;
  }
  for (int x = 0; x < W; ++x)
    SetImagePixel(*horizonRow_, x, 0, false, MakeOpaque(ReadColorRef(target_, x, H / 2)));

  if (!Stars()) return true;
  if (scene_.CeilingEnabled && !Ceiling()) return true;
  if (scene_.GroundEnabled && !Ground()) return true;

  Stage(RenderStage::Objects, MessageCode::ObjectsStage);
  RenderObjects(ctx_, target_, ObjectInput(), false);
  StageDone();
  return true;
}

bool Pipeline::Stars() {
  StarLayerInput input = scene_.Stars;
  Stage(RenderStage::Stars,
        Message(MessageCode::StarsStage, {std::to_string(input.NumberOfStars)}));
  const bool preview = &target_ == &preview_;
  if (preview)
    input.NumberOfStars =
        PreviewStarCount(input.NumberOfStars, scene_.ResolutionWidth, scene_.ResolutionHeight,
                         target_.Width(), target_.Height());
  if (input.SizeOfStars > 0) RenderStars(ctx_, target_, input, preview);
  return StageDone();
}

bool Pipeline::Ceiling() {
  CeilingLayerInput input;
  input.Texture = scene_.CeilingTexture.Drawn.get();
  input.HorizonRow = horizonRow_.get();
  input.AirDepth = scene_.AirDepth;
  input.Scale = scene_.CeilingScale;
  input.Transparency = scene_.CeilingTransparency;
  input.MixtureMode = scene_.CeilingMixtureMode;
  input.OpaqueColor = scene_.CeilingOpaqueColor;
  Stage(RenderStage::Ceiling, MessageCode::CeilingStage);
  RenderCeiling(ctx_, target_, input);
  return StageDone();
}

ObjectLayerInput Pipeline::ObjectInput() const {
  ObjectLayerInput input;
  input.AirDepth = scene_.AirDepth;
  input.SunPosition = scene_.Sun.Position;
  input.Sunlight = scene_.Sunlight;
  input.HorizonRow = horizonRow_.get();
  input.Layout = &scene_.Layout;
  return input;
}

bool Pipeline::ReflectionPass(GroundLayerInput& ground, WorkBitmap& reflection) {
  const int W = target_.Width(), H = target_.Height();
  // An image one row high has no lower half to mirror into.
  if (H / 2 < 1) return true;
  if (!reflection.Resize(W, H / 2)) {
    ReportNoMemory(DiagnosticCode::ReflectionNoMemory, "the reflection",
                   "the ground mirrors nothing");
    return true;
  }
  if (!MirrorUpperHalf(target_, poll_)) return false;
  Stage(RenderStage::Reflection, MessageCode::ReflectionStage);
  RenderObjects(ctx_, target_, ObjectInput(), true);
  if (!StageDone() || !CopyLowerHalf(reflection, target_, poll_) || !RefreshStage()) return false;
  ground.ReflectionBitmap = &reflection;
  return true;
}

bool Pipeline::Ground() {
  GroundLayerInput input;
  input.Texture = scene_.GroundTexture.Drawn.get();
  input.AirDepth = scene_.AirDepth;
  input.Scale = scene_.GroundScale;
  input.Reflection = scene_.GroundReflection;
  WorkBitmap reflection;
  if (input.Reflection > 0 && !ReflectionPass(input, reflection)) return false;
  input.ReflectionWarp = scene_.GroundReflectionWarp;
  input.HorizonRow = horizonRow_.get();
  Stage(RenderStage::Ground, MessageCode::GroundStage);
  RenderGround(ctx_, target_, input);
  return StageDone();
}

}  // namespace

void RenderBackground(RenderContext& context, const PreparedScene& scene, WorkBitmap& target,
                      WorkBitmap& preview) {
  assert(!context.Rendering && "a render was started while one runs");
  assert(context.Port != nullptr);
  // Set for the whole render, whichever way it ends.
  struct RenderingFlag {
    bool& flag;
    explicit RenderingFlag(bool& f) : flag(f) { flag = true; }
    ~RenderingFlag() { flag = false; }
  } rendering(context.Rendering);
  // A render into the preview is drawn by the calling thread alone: the
  // preview is small, and threads would gain little there (the pixels are the
  // same for every count).
  struct ThreadCount {
    int& threads;
    const int saved;
    ThreadCount(int& t, bool alone) : threads(t), saved(t) {
      if (alone) threads = 1;
    }
    ~ThreadCount() { threads = saved; }
  } thread_count(context.Threads, &target == &preview);
  Pipeline(context, scene, target, preview).Run();
}

}  // namespace horizonmill
