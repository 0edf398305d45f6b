// TJPEGQualityForm: the JPEG quality dialog. The window sets the scroll bar
// before each showing and takes its position when the dialog ends with OK.
#pragma once

#include <QDialog>

class QLabel;
class QScrollBar;

namespace horizonmill::ui {

class TJPEGQualityForm : public QDialog {
  Q_OBJECT

 public:
  explicit TJPEGQualityForm(QWidget* parent = nullptr);

  // FormActivate: the scroll bar shows the quality in use.
  void SetQuality(int quality);
  int Quality() const;

 private:
  void QualityChange(int position);

  QScrollBar* quality_;
  QLabel* qualityText_;
};

}  // namespace horizonmill::ui
