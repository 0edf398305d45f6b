#include "ui/Grad1Form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "render/EditorPreviews.h"
#include "scene/SkyStops.h"
#include "ui/ColorGrid.h"
#include "ui/ColorPanel.h"
#include "ui/DialogParts.h"
#include "ui/PreviewArea.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {
TGrad1Form::TGrad1Form(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), skyPreview_(kEditorPreviewWidth, kEditorPreviewHeight) {
  setObjectName("Grad1Form");
  setWindowTitle(tr("空のグラデーションの設定"));
  if (!skyPreview_.Empty()) FillWorkBitmap(skyPreview_, BgrPixel{0, 0, 0});

  const QString hint = tr("左クリックで色を置き、右クリックで色を削除します");
  gra1Preview_ = EditorPreview(skyPreview_, "Gra1Preview", hint);
  penColor_ = new ColorPanel("PenColor", tr("現在のペン（？）カラーです"));
  penColor_->SetColour(pen_);
  gra1ColorGrid_ = new ColorGrid("Gra1ColorGrid", tr("色を選べます"));
  auto* changeColor =
      Button("ChangeColor", tr("色の詳細変更"), tr("カラーダイアログを出して厳密な色を選択します"));
  auto* initGrad1 = Button("InitGrad1", tr("初期化"), tr("デフォルトのグラデーションに戻します"));

  auto* pen = new QHBoxLayout;
  pen->addWidget(new QLabel(tr("ペンの色")));
  pen->addWidget(penColor_);
  pen->addStretch();
  auto* tools = new QVBoxLayout;
  tools->addLayout(pen);
  tools->addWidget(gra1ColorGrid_);
  tools->addWidget(changeColor);
  tools->addStretch();
  tools->addWidget(initGrad1);

  auto* columns = new QHBoxLayout;
  columns->addLayout(PreviewWithHint(gra1Preview_, hint));
  columns->addSpacing(8);
  columns->addLayout(tools);
  auto* box = new QVBoxLayout(this);
  box->addLayout(columns);
  box->addLayout(OkCancel(this, "Okey", tr("OK"), "Cancel", tr("キャンセル")));
  box->setSizeConstraint(QLayout::SetFixedSize);

  connect(gra1Preview_, &PreviewArea::released, this, &TGrad1Form::Gra1PreviewMouseUp);
  connect(initGrad1, &QPushButton::clicked, this, &TGrad1Form::InitGrad1Click);
  connect(changeColor, &QPushButton::clicked, this, &TGrad1Form::ChangeColorClick);
  connect(gra1ColorGrid_, &ColorGrid::changed, this, &TGrad1Form::Gra1ColorGridChange);
}

void TGrad1Form::Edit(const SkyGradation& sky) {
  working_ = sky;
  if (skyPreview_.Empty()) {
    dialogs_.Message(this, tr("必要最小限のメモリーがありません。"));
  } else {
    FillWorkBitmap(skyPreview_, BgrPixel{0, 0, 0});
  }
  RedrawSkyPreview();
}

void TGrad1Form::RedrawSkyPreview() {
  horizonmill::RedrawSkyPreview(context_, skyPreview_, working_);
  gra1Preview_->ShowBitmap();
}

void TGrad1Form::Gra1PreviewMouseUp(Qt::MouseButton button, QPoint at) {
  const int height = skyPreview_.Height();
  if (button == Qt::LeftButton) {
    if (PlaceStop(working_, height, at.y(), UnpackColour(ToPacked(pen_))) == StopPlacement::Full) {
      dialogs_.Beep();
      return;
    }
    RedrawSkyPreview();
  } else if (button == Qt::RightButton) {
    if (!DeleteStop(working_, height, at.y())) {
      dialogs_.Beep();
      return;
    }
    RedrawSkyPreview();
  }
}

void TGrad1Form::InitGrad1Click() {
  working_ = SkyGradation::Default();
  RedrawSkyPreview();
}

void TGrad1Form::ChangeColorClick() {
  if (const auto chosen = dialogs_.ChooseColour(this, pen_)) pen_ = *chosen;
  ShowPenColor();
  gra1ColorGrid_->ClearMarks();
}

void TGrad1Form::Gra1ColorGridChange() {
  if (const auto colour = gra1ColorGrid_->ForegroundColor()) pen_ = *colour;
  ShowPenColor();
}

void TGrad1Form::ShowPenColor() { penColor_->SetColour(pen_); }

}  // namespace horizonmill::ui
