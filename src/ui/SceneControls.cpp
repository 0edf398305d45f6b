#include "ui/SceneControls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/BoundInput.h"
#include "ui/CeilingControls.h"
#include "ui/DialogParts.h"
#include "ui/GroundControls.h"
#include "ui/ObjForm.h"

namespace horizonmill::ui {

SceneControls::SceneControls(Session& session, QWidget* parent) : ControlGroup(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);

  // Sky, sun, aerial perspective.
  QPushButton* setGrad1 = Button("SetGrad1", tr("空のグラデーション..."),
                                 tr("空間を満たす水平グラデーションを定義します"));
  QPushButton* setGrad2 =
      Button("SetGrad2", tr("太陽設定..."),
             tr("同心円グラデーションを定義します。オブジェクトに対する光源としても機能します"));
  seed_ = new BoundInput(
      "Seed", 5, tr("星、オブジェクト配置に関する乱数j系列を指定します 整数を指定してください"),
      session, [](SceneSettings& s) -> std::string& { return s.RandomSeed; });
  airDepth_ = new BoundInput("AirDepth", 5, tr("推奨値は100以内の正の数値"), session,
                             [](SceneSettings& s) -> std::string& { return s.AirDepth; });
  auto* sky = new QGridLayout;
  sky->addWidget(setGrad1, 0, 0, 1, 2);
  sky->addWidget(setGrad2, 0, 2, 1, 2);
  sky->addWidget(new QLabel(tr("乱数のシード")), 1, 0);
  sky->addWidget(seed_, 1, 1, Qt::AlignLeft);
  sky->addWidget(new QLabel(tr("空気遠近強さ")), 1, 2);
  sky->addWidget(airDepth_, 1, 3, Qt::AlignLeft);
  sky->setColumnStretch(1, 1);
  sky->setColumnStretch(3, 1);
  column->addWidget(Group(new QLabel(tr("空と太陽")), sky));

  // Stars.
  stars_ = new BoundInput("Stars", 6, tr("星も空気遠近の影響を適当に受けます"), session,
                          [](SceneSettings& s) -> std::string& { return s.Stars.NumberOfStars; });
  starSize_ =
      new BoundInput("StarSize", 6, tr("星の大きさの基準値。あまり大きくすると破綻します。"),
                     session, [](SceneSettings& s) -> std::string& { return s.Stars.SizeOfStars; });
  auto* starRow = new QHBoxLayout;
  starRow->addWidget(new QLabel(tr("星　数")));
  starRow->addWidget(stars_);
  starRow->addSpacing(16);
  starRow->addWidget(new QLabel(tr("大きさ")));
  starRow->addWidget(starSize_);
  starRow->addStretch();
  column->addWidget(Group(new QLabel(tr("星")), starRow));

  column->addWidget(ceiling_ = new CeilingControls(session));
  column->addWidget(ground_ = new GroundControls(session));

  // Objects.
  QPushButton* setFarObject = Button("SetFarObject", tr("遠景オブジェクト設定..."),
                                     tr("最も奥に描かれるオブジェクト群を設定します"));
  QPushButton* setMiddleObject = Button("SetMiddleObject", tr("中景オブジェクト設定..."),
                                        tr("中ぐらいの距離に描かれるオブジェクト群を設定します"));
  QPushButton* setNearObject =
      Button("SetNearObject", tr("近景オブジェクト設定..."),
             tr("近い距離に（といってもあんまり近くないのは作者の偏った思想のせい）以下略"));
  auto* objects = new QHBoxLayout;
  objects->addWidget(setFarObject);
  objects->addWidget(setMiddleObject);
  objects->addWidget(setNearObject);
  column->addWidget(Group(new QLabel(tr("オブジェクト")), objects));
  column->addStretch();

  for (BoundInput* input : {seed_, airDepth_, stars_, starSize_}) {
    connect(input, &BoundInput::edited, this, &SceneControls::edited);
    connect(input, &QLineEdit::returnPressed, this, &SceneControls::redrawRequested);
    connect(input, &QLineEdit::returnPressed, this, &SceneControls::committed);
    connect(input, &TextInput::exited, this, &SceneControls::committed);
  }
  connect(ceiling_, &CeilingControls::edited, this, &SceneControls::edited);
  connect(ceiling_, &CeilingControls::redrawRequested, this, &SceneControls::redrawRequested);
  connect(ceiling_, &CeilingControls::committed, this, &SceneControls::committed);
  connect(ground_, &GroundControls::edited, this, &SceneControls::edited);
  connect(ground_, &GroundControls::redrawRequested, this, &SceneControls::redrawRequested);
  connect(ground_, &GroundControls::committed, this, &SceneControls::committed);
  connect(setGrad1, &QPushButton::clicked, this, &SceneControls::setGrad1Clicked);
  connect(setGrad2, &QPushButton::clicked, this, &SceneControls::setGrad2Clicked);
  connect(setFarObject, &QPushButton::clicked, this,
          [this] { emit objectGroupClicked(TObjectForm::Far); });
  connect(setMiddleObject, &QPushButton::clicked, this,
          [this] { emit objectGroupClicked(TObjectForm::Mid); });
  connect(setNearObject, &QPushButton::clicked, this,
          [this] { emit objectGroupClicked(TObjectForm::Near); });
}

void SceneControls::ShowScene() {
  for (BoundInput* input : {seed_, airDepth_, stars_, starSize_}) input->Show();
  ceiling_->ShowScene();
  ground_->ShowScene();
}

void SceneControls::ShowStates(const ControlStates& states) {
  ceiling_->ShowStates(states);
  ground_->ShowStates(states);
}

}  // namespace horizonmill::ui
