#include "ui/Grad2Form.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "render/EditorPreviews.h"
#include "render/RenderSky.h"
#include "scene/TrackBarValues.h"
#include "ui/ColorGrid.h"
#include "ui/ColorPanel.h"
#include "ui/DialogParts.h"
#include "ui/PreviewArea.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {
TGrad2Form::TGrad2Form(UserDialogs& dialogs, WorkBitmap& skyPicture, QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      skyPicture_(skyPicture),
      sunPreview_(kEditorPreviewWidth, kEditorPreviewHeight) {
  setObjectName("Grad2Form");
  setWindowTitle(tr("太陽の設定"));
  if (!sunPreview_.Empty()) FillWorkBitmap(sunPreview_, BgrPixel{0, 0, 0});

  const QString hint = tr("左クリックで中心位置の指定");
  gra2Preview_ = EditorPreview(sunPreview_, "Gra2Preview", hint);
  QFont notice = gra2Preview_->font();
  notice.setPixelSize(24);
  gra2Preview_->setFont(notice);
  displayGradation1_ = new QCheckBox(tr("背景表示"));
  displayGradation1_->setObjectName("DisplayGradation1");
  displayGradation1_->setToolTip(tr("グラデーション１を同時に表示します"));
  displayGradation1_->setChecked(true);
  auto* redraw =
      Button("Redraw", tr("再描画"), tr("プレビューを再描画します。たこな仕様です。すんません"));
  auto* initGrad1 = Button("InitGrad1", tr("初期化"), tr("デフォルトのグラデーションに戻します"));

  auto* left = PreviewWithHint(gra2Preview_, hint);
  auto* view = new QHBoxLayout;
  view->addWidget(displayGradation1_);
  view->addStretch();
  view->addWidget(redraw);
  left->insertLayout(2, view);

  // The two colours, each a panel, a grid and a dialog button.
  auto colourBox = [this](SunColour& c, FloatColour SunSettings::*field, const QString& title,
                          const char* panel, const QString& panelHint, const char* grid,
                          const QString& gridHint, const char* button, const QString& caption,
                          const QString& buttonHint) {
    c.field = field;
    c.panel = new ColorPanel(panel, panelHint);
    c.grid = new ColorGrid(grid, gridHint);
    auto* change = Button(button, caption, buttonHint);
    auto* box = new QGroupBox(title);
    auto* row = new QGridLayout(box);
    row->addWidget(c.panel, 0, 0, Qt::AlignTop);
    row->addWidget(c.grid, 0, 1, 2, 1);
    row->addWidget(change, 2, 0, 1, 2);
    row->setColumnStretch(2, 1);
    connect(c.grid, &ColorGrid::changed, this, [this, &c] { GridChange(c); });
    connect(change, &QPushButton::clicked, this, [this, &c] { ChangeColorClick(c); });
    return box;
  };
  auto* centerBox = colourBox(center_, &SunSettings::CenterColor, tr("中心色"), "CenterPenColor",
                              tr("中心色です"), "Gra2CenterColorGrid", tr("中心色を選べます"),
                              "ChangeCenterColor", tr("中心色の詳細変更"),
                              tr("カラーダイアログを出して厳密な中心色を選びます"));
  auto* outerBox =
      colourBox(outer_, &SunSettings::OuterColor, tr("周辺色"), "OuterPenColor", tr("周辺色です"),
                "Gra2OuterColorGrid", tr("周辺色を選べます"), "ChangeOuterColor",
                tr("周辺色の詳細変更"), tr("カラーダイアログを出して厳密な周辺色を選びます"));
  auto* colours = new QHBoxLayout;
  colours->addWidget(centerBox);
  colours->addWidget(outerBox);

  mixture_ = MakeMixtureButtons(this, {"Gra2ModeAdd", "Gra2ModeNorm", "Gra2ModeSub"},
                                {tr("グラデーション１と明るくなる合成を行います"),
                                 tr("グラデーション１と通常の混色合成（なんじゃそりゃ）を行います"),
                                 tr("グラデーション１と暗くなる混色合成を行います")},
                                [this](std::uint8_t mode) {
                                  working_.MixtureMode = mode;
                                  RedrawSunPreview();
                                });
  mixture_.Show(MixtureMode::Add);

  // The four slopes.
  auto* slopeBox = new QGroupBox(tr("勾配"));
  auto* slopeGrid = new QGridLayout(slopeBox);
  const struct {
    const char* name;
    QString label;
    QString hint;
  } bars[] = {{"Grad2RedTl", "R", tr("赤の色勾配です")},
              {"Grad2GreenTL", "G", tr("緑の色勾配です")},
              {"Grad2BlueTl", "B", tr("青の色勾配です")},
              {"Grad2AlphaTl", "α", tr("透明度の勾配ですが、「濃さ」と理解してもかまいません")}};
  for (int i = 0; i < 4; ++i) {
    slopes_[i] = TrackBar(bars[i].name, -100, 100, bars[i].hint);
    slopes_[i]->setMinimumWidth(240);
    slopes_[i]->installEventFilter(this);
    slopeGrid->addWidget(new QLabel(bars[i].label), i, 0);
    slopeGrid->addWidget(slopes_[i], i, 1);
    connect(slopes_[i], &QSlider::valueChanged, this,
            [this, i](int position) { SlopeChange(i, position); });
  }

  auto* right = new QVBoxLayout;
  right->addLayout(colours);
  right->addLayout(mixture_.row);
  right->addWidget(slopeBox);
  right->addStretch();
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addSpacing(8);
  columns->addLayout(right);
  auto* buttons = OkCancel(this, "Okey", tr("Okey"), "Cancel", tr("Cancel"));
  buttons->insertWidget(0, initGrad1);
  auto* box = new QVBoxLayout(this);
  box->addLayout(columns);
  box->addLayout(buttons);
  box->setSizeConstraint(QLayout::SetFixedSize);

  connect(gra2Preview_, &PreviewArea::released, this, &TGrad2Form::Gra2PreviewMouseUp);
  connect(displayGradation1_, &QCheckBox::clicked, this, &TGrad2Form::RedrawSunPreview);
  connect(redraw, &QPushButton::clicked, this, &TGrad2Form::RedrawSunPreview);
  connect(initGrad1, &QPushButton::clicked, this, &TGrad2Form::InitGrad1Click);
}

void TGrad2Form::Edit(const SunSettings& sun, const SkyGradation& sky) {
  RenderSky(context_, skyPicture_, sky);
  working_ = sun;
  RedrawSunPreview();
  RefreshSunControls();
}

void TGrad2Form::RedrawSunPreview() {
  horizonmill::RedrawSunPreview(context_, sunPreview_, skyPicture_, displayGradation1_->isChecked(),
                                working_);
  gra2Preview_->ShowBitmap();
}

void TGrad2Form::RefreshSunControls() {
  for (SunColour* c : {&center_, &outer_}) {
    c->grid->ClearMarks();
    c->panel->SetColour(ToQColor(working_.*c->field));
  }
  mixture_.Show(working_.MixtureMode);
  // Showing a slope never changes it: a slope of 0.25 shows as -2 and stays 0.25.
  for (int i = 0; i < 4; ++i) {
    const QSignalBlocker block(slopes_[i]);
    slopes_[i]->setValue(PositionOfSlope(working_.Slopes[i]));
  }
}

bool TGrad2Form::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    for (QSlider* bar : slopes_)
      if (watched == bar) RedrawSunPreview();
  }
  return QDialog::eventFilter(watched, event);
}

void TGrad2Form::Gra2PreviewMouseUp(Qt::MouseButton, QPoint at) {
  working_.Position = {static_cast<long double>(at.x()) / sunPreview_.Width(),
                       static_cast<long double>(at.y()) / sunPreview_.Height()};
  RedrawSunPreview();
}

void TGrad2Form::GridChange(SunColour& c) {
  const auto colour = c.grid->ForegroundColor();
  if (!colour) return;
  c.panel->SetColour(*colour);
  working_.*c.field = UnpackColour(ToPacked(*colour));
  RedrawSunPreview();
}

void TGrad2Form::ChangeColorClick(SunColour& c) {
  const auto chosen = dialogs_.ChooseColour(this, c.panel->Colour());
  if (!chosen) return;
  c.panel->SetColour(*chosen);
  c.grid->ClearMarks();
  working_.*c.field = UnpackColour(ToPacked(*chosen));
  RedrawSunPreview();
}

void TGrad2Form::SlopeChange(int index, int position) {
  working_.Slopes[index] = SlopeOfPosition(position);
  gra2Preview_->ShowMessage(tr("再描画が必要です"));
}

void TGrad2Form::InitGrad1Click() {
  working_ = SunSettings();
  RefreshSunControls();
  RedrawSunPreview();
}

}  // namespace horizonmill::ui
