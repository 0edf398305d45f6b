// TCubeMapForm: what the cube-map command writes, asked in one small dialog
// before the folder: the layout (six files, or one picture laid out as a row,
// a column, a grid or a cross), the convention of the faces (OpenGL's, or
// three.js's for a scene background), the picture format and the faces' side.
// The choices stay for the rest of the run.
#pragma once

#include <QDialog>

#include "app/OutputPlan.h"

class QComboBox;
class QSpinBox;

namespace horizonmill::ui {

class TCubeMapForm : public QDialog {
  Q_OBJECT

 public:
  explicit TCubeMapForm(QWidget* parent = nullptr);

  // Before each showing: the faces' side a panorama `panoramaWidth` wide
  // gives by default, unless the user chose another in this run.
  void SetDefaultFaceSize(int panoramaWidth);
  // The choices into a request (its folder is the caller's).
  void FillRequest(OutputRequest& request) const;

 private:
  QComboBox *layout_, *convention_, *format_;
  QSpinBox* faceSize_;
  bool faceSizeChosen_ = false;
};

}  // namespace horizonmill::ui
