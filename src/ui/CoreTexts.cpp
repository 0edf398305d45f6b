#include "ui/CoreTexts.h"

#include <QCoreApplication>

namespace horizonmill::ui {

// Every code has its text: a code left out here is a warning of the switch.
// QT_TRANSLATE_NOOP marks the texts for lupdate.
const char* CoreTextSource(MessageCode code) {
  switch (code) {
    case MessageCode::SkyStage:
      return QT_TRANSLATE_NOOP("CoreText", "空のグラデーション 作画中..");
    case MessageCode::SunStage:
      return QT_TRANSLATE_NOOP("CoreText", "太陽作画中..");
    case MessageCode::ObjectsStage:
      return QT_TRANSLATE_NOOP("CoreText", "オブジェクト作画中..");
    case MessageCode::StarsStage:
      return QT_TRANSLATE_NOOP("CoreText", "星空作画中.. 個数： %1");
    case MessageCode::CeilingStage:
      return QT_TRANSLATE_NOOP("CoreText", "天井作画中..");
    case MessageCode::ReflectionStage:
      return QT_TRANSLATE_NOOP("CoreText", "映り込みオブジェクト作画中..");
    case MessageCode::GroundStage:
      return QT_TRANSLATE_NOOP("CoreText", "地面作画中..");
    case MessageCode::FinishingStage:
      return QT_TRANSLATE_NOOP("CoreText", "画像更新中..");
    case MessageCode::RenderAborted:
      return QT_TRANSLATE_NOOP("CoreText", "作画は中止されました。");
    case MessageCode::Writing:
      return QT_TRANSLATE_NOOP("CoreText", "書き込み中..");
    case MessageCode::GroundTextureLoading:
      return QT_TRANSLATE_NOOP("CoreText", "地面テクスチャ読み込み中");
    case MessageCode::CeilingTextureLoading:
      return QT_TRANSLATE_NOOP("CoreText", "天井テクスチャ読み込み中");
    case MessageCode::GroundTextureCaption:
      return QT_TRANSLATE_NOOP("CoreText", "（地面テクスチャ）");
    case MessageCode::CeilingTextureCaption:
      return QT_TRANSLATE_NOOP("CoreText", "（天井テクスチャ）");
    case MessageCode::NoGroundTexture:
      return QT_TRANSLATE_NOOP("CoreText", "地面テクスチャはありません。");
    case MessageCode::NoCeilingTexture:
      return QT_TRANSLATE_NOOP("CoreText", "天井テクスチャはありません。");
    case MessageCode::MemoryExhausted:
      return QT_TRANSLATE_NOOP("CoreText", "メモリー枯渇！");
    case MessageCode::PlaceholderNoMemory:
      return QT_TRANSLATE_NOOP("CoreText", "メモリーが枯渇しました。");
    case MessageCode::ObjectFailure:
      return QT_TRANSLATE_NOOP("CoreText", "メモリーをくれええ");
    case MessageCode::EntryNoMemory:
      return QT_TRANSLATE_NOOP("CoreText", "メモリーが尽きました。");
    case MessageCode::PictureNoMemory:
      return QT_TRANSLATE_NOOP("CoreText", "メモリーがないいい！");
    case MessageCode::GroundTextureNoMemory:
      return QT_TRANSLATE_NOOP("CoreText", "地面テクスチャ用のメモリーが確保できませんでした。");
    case MessageCode::CeilingTextureNoMemory:
      return QT_TRANSLATE_NOOP("CoreText", "天井テクスチャ用のメモリーが確保できませんでした。");
    case MessageCode::ObjectPictureMissing:
      return QT_TRANSLATE_NOOP("CoreText",
                               "オブジェクトファイル %1 がありません。代わりを指定してください");
    case MessageCode::GroundTextureMissing:
      return QT_TRANSLATE_NOOP("CoreText",
                               "地面テクスチャファイル %1 がありません。代わりを指定してください");
    case MessageCode::CeilingTextureMissing:
      return QT_TRANSLATE_NOOP("CoreText",
                               "天井テクスチャファイル %1 がありません。代わりを指定してください");
    case MessageCode::LeftTemporariesRemoved:
      return QT_TRANSLATE_NOOP("CoreText", "中断された書き込みの残したファイルを削除しました：%1");
    case MessageCode::KeepAbortedQuestion:
      return QT_TRANSLATE_NOOP("CoreText",
                               "作画は中止されました。描けたところまでを保存しますか？");
    case MessageCode::SettingsNotSaved:
      return QT_TRANSLATE_NOOP("CoreText", "プログラムの設定を保存できませんでした。");
    case MessageCode::BadFileName:
      return QT_TRANSLATE_NOOP("CoreText", "画像ファイル名に使えない文字が含まれています。");
    case MessageCode::FileNameTooLong:
      return QT_TRANSLATE_NOOP("CoreText", "画像ファイル名が長すぎます。（最大32文字）");
    case MessageCode::BadAlias:
      return QT_TRANSLATE_NOOP("CoreText", "エイリアス名に使えない文字が含まれています。");
    case MessageCode::AliasTooLong:
      return QT_TRANSLATE_NOOP(
          "CoreText", "エイリアス名が長すぎます。（最大３２半角文字、全角だと半分です。）");
    case MessageCode::HostNotInstalled:
      return QT_TRANSLATE_NOOP("CoreText", "Qora-L シリーズが正しくインストールされていません。");
    case MessageCode::AlreadyRegistered:
      return QT_TRANSLATE_NOOP("CoreText", "すでに同じファイル名の背景が登録されています。");
    case MessageCode::RegistrationTakenBack:
      return QT_TRANSLATE_NOOP("CoreText", "前回中断された登録の残りを片付けました。");
    case MessageCode::RemovalFinished:
      return QT_TRANSLATE_NOOP("CoreText", "前回中断された削除を最後まで行いました。");
    case MessageCode::NoManagementFile:
      return QT_TRANSLATE_NOOP("CoreText", "登録した背景の管理ファイルがありません。");
    case MessageCode::PictureNotDeleted:
      return QT_TRANSLATE_NOOP("CoreText", "画像を削除できませんでした。");
    case MessageCode::ConfirmRemoval:
      return QT_TRANSLATE_NOOP("CoreText", "背景「%1」を削除します。よろしいですか？");
    case MessageCode::BackgroundNotListed:
      return QT_TRANSLATE_NOOP("CoreText",
                               "背景「%1」はQORA-Lシリーズの背景一覧にありませんでした。"
                               "登録時の画像を削除しました。");
    case MessageCode::BackgroundNotListedPicturesKept:
      return QT_TRANSLATE_NOOP("CoreText",
                               "背景「%1」はQORA-Lシリーズの背景一覧にありませんでした。"
                               "記録だけを消し、画像は削除していません。");
    case MessageCode::HostIniUtf16:
      return QT_TRANSLATE_NOOP("CoreText",
                               "Qora-L シリーズのIniファイルがUTF-16で書かれているため読めません。"
                               "Shift_JISかUTF-8で保存し直してください。");
    case MessageCode::HostFileReadOnly:
      return QT_TRANSLATE_NOOP(
          "CoreText", "Qora-L シリーズのファイルが読み取り専用のため、何も変更していません。");
  }
  return "";
}

QString CoreText(const Message& message) {
  QString text = QCoreApplication::translate(kCoreTextContext, CoreTextSource(message.code));
  if (message.args.empty()) return text;
  return QString::fromStdString(FillArguments(text.toStdString(), message.args));
}

}  // namespace horizonmill::ui
