#include "ui/RegistName.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>

#include "platform/TextCodec.h"
#include "ui/DialogParts.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {
namespace {

// The alias takes at most 32 bytes in the Japanese code page (16 full-width
// characters); a character the code page cannot hold cannot be typed. A text
// set by the program is taken whole and may be shortened.
class AliasLimit : public QValidator {
 public:
  explicit AliasLimit(QLineEdit* edit) : QValidator(edit), edit_(edit) {}
  State validate(QString& input, int&) const override {
    if (input.size() < edit_->text().size()) return Acceptable;
    const auto bytes = Utf8ToCp932(input.toStdString());
    return bytes && bytes->size() <= static_cast<std::size_t>(kMaxAliasBytes) ? Acceptable
                                                                              : Invalid;
  }

 private:
  QLineEdit* edit_;
};

}  // namespace

TRegistName::TRegistName(QWidget* parent) : QDialog(parent) {
  setObjectName("RegistName");
  setWindowTitle(tr("背景画像の名前を決めてください。"));

  backName_ = new QLineEdit;
  backName_->setObjectName("BackName");
  backName_->setToolTip(
      tr("Qora-Lシリーズの背景選択で表示される名前です。（最大３２半角文字、全角だと半分です。）"));
  backName_->setValidator(new AliasLimit(backName_));
  fileName_ = new QLineEdit;
  fileName_->setObjectName("FileName");
  fileName_->setToolTip(
      tr("実際のファイル名です。カタログ画像用に頭に C_ を付けた名前も使用します。（最大32文字、"
         "拡張子は指定しない）"));
  fileName_->setMaxLength(kMaxFileNameLength);
  for (QLineEdit* input : {backName_, fileName_})
    input->setMinimumWidth(input->fontMetrics().horizontalAdvance('M') * 20);

  bmpSelected_ = new QRadioButton("Windows BMP");
  bmpSelected_->setObjectName("bmpSelected");
  bmpSelected_->setChecked(true);
  jpegSelected_ = new QRadioButton("JPEG");
  jpegSelected_->setObjectName("jpegSelected");
  auto* formats = new QButtonGroup(this);
  formats->addButton(bmpSelected_);
  formats->addButton(jpegSelected_);
  auto* formatBox = new QGroupBox(tr("出力フォーマット"));
  auto* formatRow = new QHBoxLayout(formatBox);
  formatRow->addWidget(bmpSelected_);
  formatRow->addWidget(jpegSelected_);
  formatRow->addStretch();

  saveDir_ = new QLabel;
  saveDir_->setObjectName("SaveDir");
  saveDir_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(tr("エイリアス名")), 0, 0);
  grid->addWidget(backName_, 0, 1);
  grid->addWidget(new QLabel(tr("画像ファイル名")), 1, 0);
  grid->addWidget(fileName_, 1, 1);
  grid->addWidget(formatBox, 2, 0, 1, 2);
  grid->addWidget(new QLabel(tr("インストール先")), 3, 0);
  grid->addWidget(saveDir_, 3, 1);
  auto* box = new QVBoxLayout(this);
  box->addLayout(grid);
  box->addLayout(OkCancel(this, "OkeyBtn", tr("OK"), "CancelBtn", tr("キャンセル")));
  box->setSizeConstraint(QLayout::SetFixedSize);
  okeyBtn_ = findChild<QPushButton*>("OkeyBtn");
  okeyBtn_->setEnabled(false);

  connect(backName_, &QLineEdit::textChanged, this, &TRegistName::InputChange);
  connect(fileName_, &QLineEdit::textChanged, this, &TRegistName::InputChange);
}

void TRegistName::SetSaveDir(const std::string& bgDir) { saveDir_->setText(Q(bgDir)); }

BackgroundNames TRegistName::Names() const {
  return {backName_->text().toStdString(), fileName_->text().toStdString(),
          jpegSelected_->isChecked() ? PictureFormat::Jpeg : PictureFormat::Bmp};
}

void TRegistName::InputChange() {
  if (!backName_->text().isEmpty() && !fileName_->text().isEmpty()) okeyBtn_->setEnabled(true);
}

}  // namespace horizonmill::ui
