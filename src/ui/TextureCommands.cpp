#include "ui/TextureCommands.h"

#include <utility>

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

bool TextureCommands::LoadTexture(TextureLayer layer, const std::string& name, bool browsed) {
  const bool ground = layer == TextureLayer::Ground;
  PreviewArea& preview = panel_.Preview();
  preview.Clear();
  preview.ShowMessage(
      CoreText(ground ? MessageCode::GroundTextureLoading : MessageCode::CeilingTextureLoading));
  TextureChoice choice;
  try {
    choice = session_.SetTexture(layer, name, browsed);
  } catch (const FileError& e) {
    dialogs_.Error(window_, tr("画像を読み込めませんでした。"), Q(e.what()));
    return false;
  }
  history_.CommitTexture(layer);
  view_.SceneEdited();
  if (choice.missing) {
    preview.Clear();
    preview.ShowMessage(
        CoreText(ground ? MessageCode::NoGroundTexture : MessageCode::NoCeilingTexture));
    return true;
  }
  panel_.ShowTextureCaption(ground ? PictureKind::GroundTexture : PictureKind::CeilingTexture);
  return true;
}

void TextureCommands::NameEntered(TextureLayer layer) {
  // The input wrote the name into the scene as it was typed; the scene gets it
  // as a texture only through the session, which may refuse it.
  std::string& name = layer == TextureLayer::Ground ? session_.Scene().Ground.TextureFilename
                                                    : session_.Scene().Ceiling.TextureFilename;
  const SceneValues& committed = history_.Committed();
  std::string typed =
      std::exchange(name, layer == TextureLayer::Ground ? committed.Ground.TextureFilename
                                                        : committed.Ceiling.TextureFilename);
  if (!LoadTexture(layer, typed, false)) view_.ShowScene();  // the name the scene keeps
  view_.RedrawAll();
  history_.Commit();
}

void TextureCommands::GroundTextureNameEnter() { NameEntered(TextureLayer::Ground); }

void TextureCommands::TenjoTextureNameEnter() { NameEntered(TextureLayer::Ceiling); }

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
