// CeilingControls: the ceiling's group of the window under its switch
// (TenjoNeeded): the scale, the opacity, the mixture, the texture's name with
// its browse button, and the transparent colour's button. Each control is
// bound to its field of the scene; the commands behind the texture's name and
// the buttons are run by the window's commands, when the group asks for them.
#pragma once

#include "app/Session.h"
#include "ui/ControlGroup.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

namespace horizonmill::ui {

class BoundInput;

class CeilingControls : public ControlGroup {
  Q_OBJECT

 public:
  // `session` outlives the group.
  explicit CeilingControls(Session& session, QWidget* parent = nullptr);

  // Every control shows the ceiling as the scene holds it.
  void ShowScene();
  // The enabling after a refresh (RedrawAll).
  void ShowStates(const ControlStates& states);
  // ChTenjoTra follows the typed texture name: enabled when a file is there.
  void TenjoTextureNameEdited();

 signals:
  // Enter in the texture's name (ChTenjoTra follows the name afterwards).
  void tenjoTextureNameEntered();
  void tEnjoTextureReferClicked();
  void chTenjoTraClicked();

 private:
  void MixtureToggled(std::uint8_t mode, bool on);

  Session& session_;
  QCheckBox* tenjoNeeded_;
  QLabel *tenjoScaleLabel_, *tenjoOpacityLabel1_, *tenjoOpacityLabel2_, *tenjoTextureLabel_;
  BoundInput *tenjoScale_, *tenjoTextureName_;
  QSlider* tenjoOpacity_;
  QWidget* tenjoPanel_;
  QRadioButton *tenjoAdd_, *tenjoNorm_, *tenjoSub_;
  QPushButton *chTenjoTra_, *tEnjoTextureRefer_;
};

}  // namespace horizonmill::ui
