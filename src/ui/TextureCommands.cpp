#include "ui/TextureCommands.h"

#include "platform/FileError.h"
#include "ui/CoreTexts.h"
#include "ui/EditHistory.h"
#include "ui/PreviewArea.h"
#include "ui/ProgramIni.h"
#include "ui/RenderPanel.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

TextureCommands::TextureCommands(Session& session, UserDialogs& dialogs, QWidget* window,
                                 SessionView& view, ProgramIni& programIni, RenderPanel& panel,
                                 EditHistory& history)
    : QObject(window),
      session_(session),
      dialogs_(dialogs),
      window_(window),
      view_(view),
      programIni_(programIni),
      panel_(panel),
      history_(history) {}

void TextureCommands::LoadTexture(TextureLayer layer, const std::string& path, bool browsed) {
  const bool ground = layer == TextureLayer::Ground;
  PreviewArea& preview = panel_.Preview();
  preview.Clear();
  preview.ShowMessage(CoreText(ground ? kGroundLoadingMessage : kCeilingLoadingMessage));
  TextureLoad load;
  PixelImagePtr replaced;
  try {
    load = browsed ? session_.TakeTexture(layer, path, &replaced)
                   : session_.LoadTexture(layer, path, &replaced);
  } catch (const FileError& e) {
    dialogs_.Error(window_, tr("画像を読み込めませんでした。"), Q(e.what()));
    return;
  }
  history_.CommitTexture(layer, std::move(replaced));
  view_.SceneEdited();
  if (load.result == TextureLoadResult::OutOfMemory) {
    dialogs_.Beep();
    dialogs_.Message(window_, CoreText(ground ? kGroundNoMemory : kCeilingNoMemory));
    return;
  }
  panel_.ShowTextureCaption(ground ? PictureKind::GroundTexture : PictureKind::CeilingTexture);
}

// The name typed is the scene's: the input writes it there as it changes.
void TextureCommands::GroundTextureNameEnter() {
  if (const auto path = Session::ExistingTexture(session_.Scene().Ground.TextureFilename)) {
    LoadTexture(TextureLayer::Ground, *path, false);
  } else {
    panel_.Preview().Clear();
    panel_.Preview().ShowMessage(CoreText(kNoGroundTexture));
  }
  view_.RedrawAll();
  history_.Commit();  // a name that loaded nothing
}

void TextureCommands::TenjoTextureNameEnter() {
  if (const auto path = Session::ExistingTexture(session_.Scene().Ceiling.TextureFilename)) {
    LoadTexture(TextureLayer::Ceiling, *path, false);
  } else {
    panel_.Preview().Clear();
    panel_.Preview().ShowMessage(CoreText(kNoCeilingTexture));
  }
  view_.RedrawAll();
  history_.Commit();  // a name that loaded nothing
}

void TextureCommands::GroundTextureReferClick() {
  if (const auto chosen = programIni_.RunFileDialog(programIni_.ZimenTextureOpen())) {
    LoadTexture(TextureLayer::Ground, chosen->toStdString(), true);
    view_.ShowScene();
    view_.RedrawAll();
  }
  programIni_.WriteProgramIni();
}

void TextureCommands::TEnjoTextureReferClick() {
  const auto chosen = programIni_.RunFileDialog(programIni_.TenjoTextureOpen());
  if (!chosen) return;
  LoadTexture(TextureLayer::Ceiling, chosen->toStdString(), true);
  view_.ShowScene();
  view_.RedrawAll();
  programIni_.WriteProgramIni();
}

}  // namespace horizonmill::ui
