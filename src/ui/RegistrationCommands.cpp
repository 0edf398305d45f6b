#include "ui/RegistrationCommands.h"

#include <QDir>
#include <filesystem>
#include <system_error>

#include "app/HostCommands.h"
#include "platform/FileError.h"
#include "render/Pipeline.h"
#include "ui/CoreTexts.h"
#include "ui/DelBackForm.h"
#include "ui/OutputControls.h"
#include "ui/PreviewArea.h"
#include "ui/ProgramIni.h"
#include "ui/RegistName.h"
#include "ui/RenderPanel.h"
#include "ui/SequenceHost.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

RegistrationCommands::RegistrationCommands(Session& session, UserDialogs& dialogs, QWidget* window,
                                           SessionView& view, ProgramIni& programIni,
                                           RenderPanel& panel, OutputControls& controls)
    : QObject(window),
      session_(session),
      dialogs_(dialogs),
      window_(window),
      view_(view),
      programIni_(programIni),
      panel_(panel),
      controls_(controls) {
  registName_ = new TRegistName(window);
  delBackForm_ = new TDelBackForm(session_.Settings(), dialogs_, window);
  connect(delBackForm_, &TDelBackForm::HostNotInstalled, this,
          [this] { SetRemovalAvailable(false); });
}

void RegistrationCommands::SetRemovalAvailable(bool available) {
  removalAvailable_ = available;
  view_.ApplyRenderLock();
}

void RegistrationCommands::ReadProgramIni() {
  SetRemovalAvailable(!session_.Settings().Values().QoraLTarget.empty());
}

std::optional<std::string> RegistrationCommands::HostIniForRegistration() {
  const ProgramSettings& settings = session_.Settings();
  if (auto remembered = RememberedHostIni(settings)) return remembered;
  FileDialog& dialog = programIni_.QoraLIniOpenDlg();
  if (dialog.fileName.isEmpty()) {
    // The remembered host's folder when it is still there, else the home folder.
    const std::filesystem::path folder =
        std::filesystem::path(settings.Values().QoraLTarget).parent_path();
    std::error_code ec;
    dialog.setup.directory = !folder.empty() && std::filesystem::is_directory(folder, ec)
                                 ? QString::fromStdString(folder.string())
                                 : QDir::homePath();
  }
  const auto chosen = programIni_.RunFileDialog(dialog);
  if (!chosen) return std::nullopt;
  return chosen->toStdString();
}

void RegistrationCommands::RegistToQoraLClick() {
  if (session_.Context().Rendering) return;
  const auto hostIni = HostIniForRegistration();
  if (!hostIni) return;
  SequenceHost host(dialogs_, window_, panel_);
  const auto installation = OpenHost(session_.Settings(), *hostIni, host);
  if (!installation) {
    // The user has heard why; the command is off for this run.
    controls_.DisableRegistToQoraL();
    return;
  }
  registName_->SetSaveDir(installation->Folders.BGDir);
  if (dialogs_.RunModal(*registName_) != QDialog::Accepted) return;
  panel_.ShowInLookAround(&session_.OutputBitmap());
  RegisterResult result;
  try {
    result = RenderAndRegister(session_, *installation, registName_->Names(), host);
  } catch (const FileError& e) {
    panel_.AfterRender();
    dialogs_.Error(window_, tr("背景を登録できませんでした。"), Q(e.what()));
    return;
  }
  panel_.AfterRender();
  if ((result.aborted || result.writeAborted) && !panel_.CloseAfterRender())
    panel_.Preview().ShowMessage(CoreText(MessageCode::RenderAborted));
  switch (result.outcome) {
    case RegisterOutcome::Registered:
      SetRemovalAvailable(true);
      break;
    case RegisterOutcome::OutOfMemory:
      host.TellOutOfMemory(result.reason);
      break;
    case RegisterOutcome::Refused:
    case RegisterOutcome::NotWritten:
      break;
  }
}

void RegistrationCommands::QoraL_DeleteClick() {
  if (session_.Context().Rendering) return;
  delBackForm_->Fill();
  dialogs_.RunModal(*delBackForm_);
}

}  // namespace horizonmill::ui
