// What the sequences of app/ need from whoever started them, beyond the
// render's host (render/RenderContext.h): the questions and messages of the
// registration and removal, and whether to keep an aborted render. The window
// asks with dialogs, the command line answers without asking, tests with fakes.
#pragma once

#include <string_view>

#include "output/Registration.h"

namespace horizonmill {

// The window's question after a full render was aborted.
inline constexpr std::string_view kKeepAbortedQuestion =
    "作画は中止されました。描けたところまでを保存しますか？";
// The settings could not be saved after a command that itself succeeded.
inline constexpr std::string_view kSettingsNotSaved = "プログラムの設定を保存できませんでした。";

class AppHost : public RegistrationHost {
 public:
  // A full render was aborted: may what was drawn be written (or registered)?
  // Nothing has been written yet. The default keeps nothing, as on the
  // command line, where only an interrupt aborts.
  virtual bool KeepAbortedRender() { return false; }
};

}  // namespace horizonmill
