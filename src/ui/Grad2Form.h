// TGrad2Form: the sun editor. It works on a copy of the scene's sun, which the
// window takes over only when the dialog ends with OK. The preview shows the
// sun over the scene's sky as it was when the editor was opened (or over white
// or black), with the horizon marked; a click sets the sun's centre. The slope
// bars redraw the preview only when a key is released on them, or on Redraw:
// while one is dragged the preview says "再描画が必要です".
#pragma once

#include <QDialog>

#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "scene/SceneSettings.h"
#include "ui/DialogParts.h"

class QCheckBox;
class QSlider;

namespace horizonmill::ui {

class ColorGrid;
class ColorPanel;
class PreviewArea;
class UserDialogs;

class TGrad2Form : public QDialog {
  Q_OBJECT

 public:
  // `skyPicture` (the sky editor's SkyPreviewBitmap) outlives the dialog.
  TGrad2Form(UserDialogs& dialogs, WorkBitmap& skyPicture, QWidget* parent = nullptr);

  // Opening: the scene's sky is drawn into the background picture, the
  // working copy becomes `sun`, and the preview and the controls show it.
  void Edit(const SunSettings& sun, const SkyGradation& sky);
  const SunSettings& Sun() const { return working_; }

  void RedrawSunPreview();
  // The controls from the working copy; nothing is written back by this.
  void RefreshSunControls();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // One colour of the sun: its panel, grid and dialog button.
  struct SunColour {
    FloatColour SunSettings::*field;
    ColorPanel* panel;
    ColorGrid* grid;
  };

  void Gra2PreviewMouseUp(Qt::MouseButton button, QPoint at);
  void GridChange(SunColour& colour);
  void ChangeColorClick(SunColour& colour);
  void SlopeChange(int index, int position);
  void InitGrad1Click();

  UserDialogs& dialogs_;
  RenderContext context_;  // the preview's own (see TGrad1Form)
  SunSettings working_;
  WorkBitmap& skyPicture_;
  WorkBitmap sunPreview_;
  PreviewArea* gra2Preview_;
  SunColour center_, outer_;
  MixtureButtons mixture_;
  QSlider* slopes_[4];
  QCheckBox* displayGradation1_;
};

}  // namespace horizonmill::ui
