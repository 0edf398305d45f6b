// TGrad1Form: the sky gradation editor. It works on a copy of the scene's sky
// gradation, which the window takes over only when the dialog ends with OK. A
// left click on the preview places a stop in the pen colour or recolours the
// stop hit, a right click deletes the stop hit (scene/SkyStops.h). Its preview
// bitmap, SkyPreviewBitmap, is also the sun editor's background picture.
#pragma once

#include <QDialog>

#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "scene/SceneSettings.h"

class QPushButton;

namespace horizonmill::ui {

class ColorGrid;
class ColorPanel;
class PreviewArea;
class UserDialogs;

class TGrad1Form : public QDialog {
  Q_OBJECT

 public:
  explicit TGrad1Form(UserDialogs& dialogs, QWidget* parent = nullptr);

  // Opening: the working copy becomes `sky` and the preview shows it. The pen
  // colour stays as last chosen.
  void Edit(const SkyGradation& sky);
  const SkyGradation& Gradation() const { return working_; }
  WorkBitmap& SkyPreviewBitmap() { return skyPreview_; }

  // The sky with a dashed marker for each stop, onto the preview.
  void RedrawSkyPreview();

 private:
  void Gra1PreviewMouseUp(Qt::MouseButton button, QPoint at);
  void InitGrad1Click();
  void ChangeColorClick();
  void Gra1ColorGridChange();
  void ShowPenColor();

  UserDialogs& dialogs_;
  // The preview's own render state: an aborted render of the window leaves
  // the window's abort flag set, which must not blank the editor.
  RenderContext context_;
  SkyGradation working_ = SkyGradation::Default();
  QColor pen_ = Qt::white;
  WorkBitmap skyPreview_;
  PreviewArea* gra1Preview_;
  ColorPanel* penColor_;
  ColorGrid* gra1ColorGrid_;
};

}  // namespace horizonmill::ui
