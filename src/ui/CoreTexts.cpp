#include "ui/CoreTexts.h"

#include <QCoreApplication>
#include <string>

namespace horizonmill::ui {
namespace {

// Every text of the core the window shows, as the core writes it (UTF-8).
// QT_TRANSLATE_NOOP marks them for lupdate; a test checks that the core
// holds no Japanese text the catalogue misses.
const std::vector<const char*> kCatalogue = {
    // The render's stages (render/Pipeline.cpp) and the preview's messages.
    QT_TRANSLATE_NOOP("CoreText", "空のグラデーション 作画中.."),
    QT_TRANSLATE_NOOP("CoreText", "太陽作画中.."),
    QT_TRANSLATE_NOOP("CoreText", "オブジェクト作画中.."),
    QT_TRANSLATE_NOOP("CoreText", "星空作画中.. 個数： %1"),
    QT_TRANSLATE_NOOP("CoreText", "天井作画中.."),
    QT_TRANSLATE_NOOP("CoreText", "映り込みオブジェクト作画中.."),
    QT_TRANSLATE_NOOP("CoreText", "地面作画中.."),
    QT_TRANSLATE_NOOP("CoreText", "画像更新中.."),
    QT_TRANSLATE_NOOP("CoreText", "作画は中止されました。"),
    QT_TRANSLATE_NOOP("CoreText", "書き込み中.."),
    QT_TRANSLATE_NOOP("CoreText", "地面テクスチャ読み込み中"),
    QT_TRANSLATE_NOOP("CoreText", "天井テクスチャ読み込み中"),
    QT_TRANSLATE_NOOP("CoreText", "（地面テクスチャ）"),
    QT_TRANSLATE_NOOP("CoreText", "（天井テクスチャ）"),
    QT_TRANSLATE_NOOP("CoreText", "地面テクスチャはありません。"),
    QT_TRANSLATE_NOOP("CoreText", "天井テクスチャはありません。"),
    // Memory.
    QT_TRANSLATE_NOOP("CoreText", "メモリー枯渇！"),
    QT_TRANSLATE_NOOP("CoreText", "メモリーが枯渇しました。"),
    QT_TRANSLATE_NOOP("CoreText", "メモリーをくれええ"),
    QT_TRANSLATE_NOOP("CoreText", "メモリーが尽きました。"),
    QT_TRANSLATE_NOOP("CoreText", "メモリーがないいい！"),
    QT_TRANSLATE_NOOP("CoreText", "地面テクスチャ用のメモリーが確保できませんでした。"),
    QT_TRANSLATE_NOOP("CoreText", "天井テクスチャ用のメモリーが確保できませんでした。"),
    // Reading a settings file: a missing picture.
    QT_TRANSLATE_NOOP("CoreText", "オブジェクトファイル %1 がありません。代わりを指定してください"),
    QT_TRANSLATE_NOOP("CoreText",
                      "地面テクスチャファイル %1 がありません。代わりを指定してください"),
    QT_TRANSLATE_NOOP("CoreText",
                      "天井テクスチャファイル %1 がありません。代わりを指定してください"),
    // The sequences of app/ and output/.
    QT_TRANSLATE_NOOP("CoreText", "作画は中止されました。描けたところまでを保存しますか？"),
    QT_TRANSLATE_NOOP("CoreText", "プログラムの設定を保存できませんでした。"),
    QT_TRANSLATE_NOOP("CoreText", "画像ファイル名に使えない文字が含まれています。"),
    QT_TRANSLATE_NOOP("CoreText", "画像ファイル名が長すぎます。（最大32文字）"),
    QT_TRANSLATE_NOOP("CoreText", "エイリアス名に使えない文字が含まれています。"),
    QT_TRANSLATE_NOOP("CoreText",
                      "エイリアス名が長すぎます。（最大３２半角文字、全角だと半分です。）"),
    QT_TRANSLATE_NOOP("CoreText", "Qora-L シリーズが正しくインストールされていません。"),
    QT_TRANSLATE_NOOP("CoreText", "すでに同じファイル名の背景が登録されています。"),
    QT_TRANSLATE_NOOP("CoreText", "前回中断された登録の残りを片付けました。"),
    QT_TRANSLATE_NOOP("CoreText", "前回中断された削除を最後まで行いました。"),
    QT_TRANSLATE_NOOP("CoreText", "登録した背景の管理ファイルがありません。"),
    QT_TRANSLATE_NOOP("CoreText", "画像を削除できませんでした。"),
    QT_TRANSLATE_NOOP("CoreText", "背景「%1」を削除します。よろしいですか？"),
    // One text on two lines, not two texts.
    // NOLINTNEXTLINE(bugprone-suspicious-missing-comma)
    QT_TRANSLATE_NOOP("CoreText",
                      "背景「%1」はQORA-Lシリーズの背景一覧にありませんでした。"
                      "登録時の画像を削除しました。"),
};

QString Translated(const char* source) {
  return QCoreApplication::translate(kCoreTextContext, source);
}

}  // namespace

const std::vector<const char*>& CoreTextCatalogue() { return kCatalogue; }

QString CoreText(std::string_view text) {
  for (const char* source : kCatalogue)
    if (text == source) return Translated(source);
  for (const char* source : kCatalogue) {
    const std::string_view pattern(source);
    const auto mark = pattern.find("%1");
    if (mark == std::string_view::npos) continue;
    const std::string_view before = pattern.substr(0, mark), after = pattern.substr(mark + 2);
    if (text.size() < before.size() + after.size() || !text.starts_with(before) ||
        !text.ends_with(after))
      continue;
    const std::string_view between =
        text.substr(before.size(), text.size() - before.size() - after.size());
    return Translated(source).arg(
        QString::fromUtf8(between.data(), static_cast<qsizetype>(between.size())));
  }
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace horizonmill::ui
