#include "ui/OutputCommands.h"

#include "app/RenderAndWrite.h"
#include "platform/FileError.h"
#include "render/Pipeline.h"
#include "ui/OutputControls.h"
#include "ui/PreviewArea.h"
#include "ui/ProgramIni.h"
#include "ui/RenderPanel.h"
#include "ui/SequenceHost.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

OutputCommands::OutputCommands(Session& session, UserDialogs& dialogs, QWidget* window,
                               SessionView& view, ProgramIni& programIni, RenderPanel& panel,
                               OutputControls& controls)
    : QObject(window),
      session_(session),
      dialogs_(dialogs),
      window_(window),
      view_(view),
      programIni_(programIni),
      panel_(panel),
      controls_(controls) {}

void OutputCommands::ReferOutPutClick() {
  if (const auto chosen = programIni_.RunFileDialog(programIni_.OutPutOpen()))
    controls_.SetOutputName(*chosen);
  if (programIni_.WriteProgramIni()) view_.RedrawAll();
}

void OutputCommands::RunPlan(const OutputPlan& plan) {
  panel_.ShowInLookAround(&session_.OutputBitmap());
  SequenceHost host(dialogs_, window_, panel_);
  RunResult result;
  try {
    result = RenderAndWrite(session_, plan, host);
  } catch (const FileError& e) {
    panel_.AfterRender();
    dialogs_.Error(window_, Q(e.what()));
    return;
  }
  panel_.AfterRender();
  if (result.outcome == RunOutcome::OutOfMemory) host.TellOutOfMemory(result.reason);
  // The preview shows what was drawn; it says why the image is unfinished, or
  // not written.
  if ((result.aborted || result.writeAborted) && !panel_.CloseAfterRender())
    panel_.Preview().ShowMessage(Q(kAbortedMessage));
}

void OutputCommands::GoClick() {
  if (session_.Context().Rendering) return;
  // The name is the user's own here, so an existing file is replaced; a name
  // that cannot be written (a missing folder, a folder, a device, a JPEG too
  // large) is said before the render.
  OutputRequest request;
  request.image = session_.Scene().Output.Filename;
  const PlannedOutputs planned = PlanOutputs(request, session_);
  if (!planned.plan) {
    dialogs_.Error(window_, Q(planned.error));
    return;
  }
  if (planned.plan->Renders()) RunPlan(*planned.plan);
}

void OutputCommands::CubeMap1Click() {
  if (session_.Context().Rendering) return;
  const auto chosen =
      dialogs_.ChooseFolder(window_, "キューブマップを出力するフォルダー", cubeMapFolder_);
  if (!chosen) return;
  cubeMapFolder_ = *chosen;
  OutputRequest request;
  request.cubemap = chosen->toStdString();
  request.faceFormat = kDefaultCubeFaceFormat;
  const PlannedOutputs planned = PlanOutputs(request, session_);
  if (!planned.plan) {
    dialogs_.Error(window_, Q(planned.error));
    return;
  }
  if (!planned.plan->ExistingFaces().empty() &&
      !dialogs_.Ask(window_,
                    "このフォルダーのキューブマップ（px, nx, py, ny, pz, nz）を置き換えますか？"))
    return;
  RunPlan(*planned.plan);
}

}  // namespace horizonmill::ui
