#include "ui/TextureCommands.h"

#include <utility>

#include "platform/FileError.h"
#include "scene/Diagnostic.h"
#include "ui/CoreTexts.h"
#include "ui/EditHistory.h"
#include "ui/FileCommands.h"
#include "ui/PreviewArea.h"
#include "ui/ProgramIni.h"
#include "ui/RenderPanel.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

TextureCommands::TextureCommands(const WindowParts& parts) : QObject(parts.window), parts_(parts) {}

bool TextureCommands::LoadTexture(TextureLayer layer, const std::string& name, bool browsed) {
  const bool ground = layer == TextureLayer::Ground;
  PreviewArea& preview = parts_.panel.Preview();
  preview.Clear();
  preview.ShowMessage(
      CoreText(ground ? MessageCode::GroundTextureLoading : MessageCode::CeilingTextureLoading));
  TextureChoice choice;
  try {
    choice = parts_.session.SetTexture(layer, name, browsed);
  } catch (const FileError& e) {
    // The document is as it was: so are the preview, the field and the title,
    // before the user hears why.
    preview.ShowBitmap();
    parts_.view.ShowScene();
    parts_.view.SceneEdited();
    parts_.dialogs.Error(parts_.window, tr("画像を読み込めませんでした。"), Q(e.what()));
    return false;
  }
  parts_.history.CommitTexture(layer);
  parts_.view.SceneEdited();
  if (choice.missing) {
    preview.Clear();
    preview.ShowMessage(
        CoreText(ground ? MessageCode::NoGroundTexture : MessageCode::NoCeilingTexture));
    // Told as the command line tells it: the file, and that the layer shows
    // the "無" tile.
    parts_.dialogs.Message(
        parts_.window,
        tr("次の画像を使えません：") + "\n" + FileCommands::PictureProblem(*choice.missing),
        Q(FormatDiagnostic(*choice.missing, parts_.session.SettingsFilename())));
    return true;
  }
  parts_.panel.ShowTextureCaption(ground ? PictureKind::GroundTexture
                                         : PictureKind::CeilingTexture);
  return true;
}

void TextureCommands::NameEntered(TextureLayer layer) {
  // The input wrote the name into the scene as it was typed; the scene gets it
  // as a texture only through the session, which may refuse it.
  std::string& name = layer == TextureLayer::Ground
                          ? parts_.session.Scene().Ground.TextureFilename
                          : parts_.session.Scene().Ceiling.TextureFilename;
  const SceneSettings& committed = parts_.history.Committed();
  std::string typed =
      std::exchange(name, layer == TextureLayer::Ground ? committed.Ground.TextureFilename
                                                        : committed.Ceiling.TextureFilename);
  LoadTexture(layer, typed, false);
  parts_.view.RedrawAll();
  parts_.history.Commit();
}

void TextureCommands::GroundTextureNameEnter() { NameEntered(TextureLayer::Ground); }

void TextureCommands::TenjoTextureNameEnter() { NameEntered(TextureLayer::Ceiling); }

void TextureCommands::GroundTextureReferClick() {
  if (const auto chosen = parts_.programIni.RunFileDialog(parts_.programIni.ZimenTextureOpen())) {
    LoadTexture(TextureLayer::Ground, chosen->toStdString(), true);
    parts_.view.ShowScene();
    parts_.view.RedrawAll();
  }
  parts_.programIni.WriteProgramIni();
}

void TextureCommands::TEnjoTextureReferClick() {
  const auto chosen = parts_.programIni.RunFileDialog(parts_.programIni.TenjoTextureOpen());
  if (!chosen) return;
  LoadTexture(TextureLayer::Ceiling, chosen->toStdString(), true);
  parts_.view.ShowScene();
  parts_.view.RedrawAll();
  parts_.programIni.WriteProgramIni();
}

}  // namespace horizonmill::ui
