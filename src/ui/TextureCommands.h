// TextureCommands: the ground's and the ceiling's textures, typed (Enter in
// the texture's name) or browsed (the layer's 参照 button): taken into the
// scene through the session (which decodes the picture once, in its cache)
// and shown in the preview with the layer's caption; a name that names no
// file is taken all the same (the layer shows the "無" tile), and the user is
// told so, by the file's name, with a message there too. A file that is no
// picture is refused: the scene keeps the name it had, the input shows it
// again and the preview what it showed, and then the user hears why. A
// texture chosen is one step of the edit history.
#pragma once

#include <QObject>
#include <string>

#include "app/Session.h"
#include "ui/WindowParts.h"

namespace horizonmill::ui {

class TextureCommands : public QObject {
  Q_OBJECT

 public:
  explicit TextureCommands(const WindowParts& parts);

  void GroundTextureNameEnter();
  void TenjoTextureNameEnter();
  void GroundTextureReferClick();
  void TEnjoTextureReferClick();

 private:
  // Makes `name` the layer's texture and shows its picture in the preview
  // with its caption (or says there that it names no file); `browsed`: chosen
  // in the layer's dialog, which switches the layer on. False, the user told
  // why and the scene as it was, when the file is no picture.
  bool LoadTexture(TextureLayer layer, const std::string& name, bool browsed);
  // Enter in a texture's name: the name typed (the scene's already, as the
  // input writes it) is taken through LoadTexture.
  void NameEntered(TextureLayer layer);

  WindowParts parts_;
};

}  // namespace horizonmill::ui
