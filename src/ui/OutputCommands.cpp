#include "ui/OutputCommands.h"

#include "app/RenderAndWrite.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "render/Pipeline.h"
#include "ui/CoreTexts.h"
#include "ui/CubeMapForm.h"
#include "ui/OutputControls.h"
#include "ui/PreviewArea.h"
#include "ui/ProgramIni.h"
#include "ui/RenderPanel.h"
#include "ui/SequenceHost.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

OutputCommands::OutputCommands(const WindowParts& parts)
    : QObject(parts.window), parts_(parts), cubeMapForm_(new TCubeMapForm(parts.window)) {}

void OutputCommands::ReferOutPutClick() {
  if (const auto chosen = parts_.programIni.RunFileDialog(parts_.programIni.OutPutOpen()))
    parts_.outputControls.SetOutputName(*chosen);
  if (parts_.programIni.WriteProgramIni()) parts_.view.RedrawAll();
}

void OutputCommands::RunPlan(const OutputPlan& plan) {
  parts_.panel.ShowInLookAround(&parts_.session.OutputBitmap());
  const std::shared_ptr<WriteRun> run = BeginRenderAndWrite(parts_.session, plan);
  if (run->ended || !plan.Renders()) {
    EndPlan(*run, true);
    return;
  }
  parts_.panel.StartRender(
      [run, &output = parts_.session.OutputTarget()](RenderContext& context, WorkBitmap& preview) {
        run->drawn = DrawPlannedRender(run->render, context, output, preview);
      },
      [this, run] { EndPlan(*run, run->drawn); });
}

void OutputCommands::EndPlan(WriteRun& run, bool drawn) {
  SequenceHost host(parts_.dialogs, parts_.window, parts_.panel);
  RunResult result;
  try {
    result = EndRenderAndWrite(parts_.session, run, drawn, host);
  } catch (const FileError& e) {
    parts_.panel.AfterRender();
    parts_.dialogs.Error(parts_.window, tr("画像ファイルを書き込めませんでした。"), Q(e.what()));
    return;
  }
  parts_.panel.AfterRender();
  if (result.outcome == RunOutcome::OutOfMemory) host.TellOutOfMemory(result.reason);
  // The preview shows what was drawn; it says why the image is unfinished, or
  // not written.
  if ((result.aborted || result.writeAborted) && !parts_.panel.Closing())
    parts_.panel.Preview().ShowMessage(CoreText(MessageCode::RenderAborted));
}

void OutputCommands::Refused(const PlannedOutputs& planned, const QString& what) {
  // A size beyond the image limits is told as memory exhausted, the limit
  // in the details.
  if (!planned.outOfMemory.empty()) {
    parts_.dialogs.Error(parts_.window, CoreText(MessageCode::MemoryExhausted),
                         Q(planned.outOfMemory));
    return;
  }
  parts_.dialogs.Error(parts_.window, what, Q(planned.error));
}

void OutputCommands::GoClick() {
  if (parts_.session.Context().Rendering) return;
  // The name is the user's own here, so an existing file is replaced; a name
  // that cannot be written (a missing folder, a folder, a device, a JPEG too
  // large) is said before the render.
  OutputRequest request;
  request.image = parts_.session.Scene().Output.Filename;
  const PlannedOutputs planned = PlanOutputs(request, parts_.session);
  if (!planned.plan) {
    Refused(planned, tr("画像ファイルを出力できません。"));
    return;
  }
  if (planned.plan->Renders()) RunPlan(*planned.plan);
}

void OutputCommands::CubeMap1Click() {
  if (parts_.session.Context().Rendering) return;
  cubeMapForm_->SetDefaultFaceSize(OutputSizeOf(parts_.session.Scene().Output.Resolution).width);
  if (parts_.dialogs.RunModal(*cubeMapForm_) != QDialog::Accepted) return;
  const auto chosen = parts_.dialogs.ChooseFolder(
      parts_.window, tr("キューブマップを出力するフォルダー"), cubeMapFolder_);
  if (!chosen) return;
  cubeMapFolder_ = *chosen;
  OutputRequest request;
  request.cubemap = chosen->toStdString();
  cubeMapForm_->FillRequest(request);
  const PlannedOutputs planned = PlanOutputs(request, parts_.session);
  if (!planned.plan) {
    Refused(planned, tr("キューブマップを出力できません。"));
    return;
  }
  QStringList taken;
  std::vector<std::string> existing = planned.plan->ExistingFaces();
  if (!planned.plan->sh.empty() && FileExists(planned.plan->sh))
    existing.push_back(planned.plan->sh);
  for (const std::string& path : existing) taken << Q(path.substr(path.find_last_of('/') + 1));
  if (!taken.isEmpty() &&
      !parts_.dialogs.Ask(
          parts_.window,
          tr("このフォルダーのキューブマップ（%1）を置き換えますか？").arg(taken.join(", "))))
    return;
  RunPlan(*planned.plan);
}

}  // namespace horizonmill::ui
