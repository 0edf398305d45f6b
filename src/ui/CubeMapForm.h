// TCubeMapForm: what the cube-map command writes, asked in one small dialog
// before the folder: the layout (six files, or one picture laid out as a row,
// a column, a grid or a cross), the convention of the faces (OpenGL's, or
// three.js's for a scene background), the picture format, the faces' side and
// whether the ambient light's coefficients go beside the faces (kShFileName in
// the folder, codecs/AmbientLight.h). The choices stay for the rest of the run.
#pragma once

#include <QDialog>

#include "app/OutputPlan.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace horizonmill::ui {

// The ambient light's coefficients' file in the cube map's folder.
inline constexpr const char* kShFileName = "sh.json";

class TCubeMapForm : public QDialog {
  Q_OBJECT

 public:
  explicit TCubeMapForm(QWidget* parent = nullptr);

  // Before each showing: the faces' side a panorama `panoramaWidth` wide
  // gives by default, unless the user chose another in this run.
  void SetDefaultFaceSize(int panoramaWidth);
  // The choices into a request whose folder (request.cubemap) is set.
  void FillRequest(OutputRequest& request) const;

 private:
  QComboBox *layout_, *convention_, *format_;
  QSpinBox* faceSize_;
  QCheckBox* sh_;
  bool faceSizeChosen_ = false;
};

}  // namespace horizonmill::ui
