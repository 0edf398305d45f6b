// TTenjoTraForm: the ceiling transparent-colour picker. It shows the ceiling
// texture with the candidate colour blinking red four times a second; a left
// click picks the texel under the cursor, a right click a colour the texture
// does not use (no transparency). The window takes the candidate on OK.
#pragma once

#include <QDialog>
#include <memory>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"

class QTimer;

namespace horizonmill::ui {

class PreviewArea;

class TTenjoTraForm : public QDialog {
  Q_OBJECT

 public:
  explicit TTenjoTraForm(QWidget* parent = nullptr);

  // Opening: the candidate is the scene's colour; `texture` is the ceiling's
  // picture as decoded (held while the picker shows it).
  void Edit(PackedColour opaqueColor, std::shared_ptr<const PixelImage> texture);
  PackedColour Candidate() const { return candidate_; }
  bool Blinking() const { return blink_; }

  void RedrawCeilingSample();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void TenjoSampleMouseUp(Qt::MouseButton button, QPoint at);
  void UpDateSampleTimer();

  PackedColour candidate_ = 0;
  std::shared_ptr<const PixelImage> texture_;
  bool blink_ = false;
  WorkBitmap ceilingSample_;
  PreviewArea* tenjoSample_;
  QTimer* upDateSample_;
};

}  // namespace horizonmill::ui
