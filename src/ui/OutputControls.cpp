#include "ui/OutputControls.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "ui/BoundInput.h"
#include "ui/DialogParts.h"

namespace horizonmill::ui {

OutputControls::OutputControls(Session& session, QWidget* parent)
    : ControlGroup(parent), session_(session) {
  resX_ =
      new BoundInput("ResX", 5, tr("出力画像の幅(ピクセル）です。もちろん整数"), session_,
                     [](SceneSettings& s) -> std::string& { return s.Output.Resolution.Width; });
  resY_ =
      new BoundInput("ResY", 5, tr("出力画像の高さ（ピクセル）もちろん整数"), session_,
                     [](SceneSettings& s) -> std::string& { return s.Output.Resolution.Height; });
  outPutFilen_ =
      new BoundInput("OutPutFilen", 0,
                     tr("jpeg(.jpg) か bmp(.bmp) "
                        "形式の画像ファイルを指定して下さい。絶対パスでの記入をオススメします。"),
                     session_, [](SceneSettings& s) -> std::string& { return s.Output.Filename; });
  QPushButton* referOutPut =
      Button("ReferOutPut", tr("参照"), tr("出力画像指定用のダイアログを出します"));
  go_ = Button("Go", tr("レンダリングを実行し完成画像を画像ファイルとして出力"),
               tr("完成画像を作画し、出力します"));
  registToQoraL_ = Button("RegistToQoraL", tr("QORA-Lシリーズに登録"),
                          tr("背景画像を作画しQora-Lシリーズに登録します。"));
  // The old output format's switches exist for the settings file only.
  isOldFormat_ = CheckBox("isOldFormat", tr("分割出力モード（"));
  dietMode_ = CheckBox("DietMode", tr("ダイエットモード ）"));

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(tr("出力解像度")), 0, 0);
  auto* resolution = new QHBoxLayout;
  resolution->addWidget(resX_);
  resolution->addWidget(new QLabel("X"));
  resolution->addWidget(resY_);
  resolution->addStretch();
  resolution->addWidget(isOldFormat_);
  resolution->addWidget(dietMode_);
  isOldFormat_->hide();
  dietMode_->hide();
  grid->addLayout(resolution, 0, 1, 1, 2);
  grid->addWidget(new QLabel(tr("出力画像ファイル名")), 1, 0, 1, 3);
  grid->addWidget(outPutFilen_, 2, 0, 1, 2);
  grid->addWidget(referOutPut, 2, 2);
  grid->addWidget(go_, 3, 0, 1, 3);
  grid->addWidget(registToQoraL_, 4, 0, 1, 3);
  grid->setColumnStretch(1, 1);
  MakeGroup(this, new QLabel(tr("出力")), grid);

  for (BoundInput* input : {resX_, resY_, outPutFilen_}) {
    connect(input, &BoundInput::edited, this, &OutputControls::edited);
    connect(input, &QLineEdit::returnPressed, this, &OutputControls::redrawRequested);
    connect(input, &QLineEdit::returnPressed, this, &OutputControls::committed);
    connect(input, &TextInput::exited, this, &OutputControls::committed);
  }
  for (BoundInput* input : {resX_, resY_})
    connect(input, &TextInput::exited, this, &OutputControls::resolutionLeft);
  connect(isOldFormat_, &QCheckBox::toggled, this, &OutputControls::FormatToggled);
  connect(dietMode_, &QCheckBox::toggled, this, &OutputControls::FormatToggled);
  connect(referOutPut, &QPushButton::clicked, this, &OutputControls::referOutPutClicked);
  connect(go_, &QPushButton::clicked, this, &OutputControls::goClicked);
  connect(registToQoraL_, &QPushButton::clicked, this, &OutputControls::registToQoraLClicked);
}

void OutputControls::FormatToggled() {
  session_.Scene().Output.Format = !isOldFormat_->isChecked() ? OutputFormat::Normal
                                   : dietMode_->isChecked()   ? OutputFormat::OldDiet
                                                              : OutputFormat::Old;
  emit redrawRequested();
  emit committed();
}

void OutputControls::ShowScene() {
  const OutputSettings& output = session_.Scene().Output;
  for (BoundInput* input : {resX_, resY_, outPutFilen_}) input->Show();
  const QSignalBlocker blocks[] = {QSignalBlocker(isOldFormat_), QSignalBlocker(dietMode_)};
  isOldFormat_->setChecked(output.Format != OutputFormat::Normal);
  dietMode_->setChecked(output.Format == OutputFormat::OldDiet);
}

void OutputControls::ShowStates(const ControlStates& states) {
  dietMode_->setEnabled(states.dietMode);
  if (!states.resolution) {
    // The old output format holds the resolution (Session::Refresh set it).
    resX_->Show();
    resY_->Show();
  } else {
    const QSignalBlocker block(dietMode_);
    dietMode_->setChecked(false);
  }
  resX_->setEnabled(states.resolution);
  resY_->setEnabled(states.resolution);
  go_->setEnabled(states.output);
}

void OutputControls::SetOutputName(const QString& name) {
  outPutFilen_->setText(name);
  emit committed();
}

}  // namespace horizonmill::ui
