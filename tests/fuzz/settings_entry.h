// The settings reader's fuzzing entry point, shared by the libFuzzer target and
// by the regression test that replays the corpus with the normal compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Paths.h"
#include "scene/SettingsFile.h"

namespace horizonmill::fuzz {

// No picture exists anywhere and every question is cancelled, so a reading
// never touches the disk.
class NoPicturesHost : public SettingsReaderHost {
 public:
  std::optional<std::string> AskForPicture(PictureKind, const std::string&,
                                           std::string_view) override {
    return std::nullopt;
  }
  bool PictureExists(const std::string&) override { return false; }
  void Warning(const SettingsWarning& warning) override {
    if (warning.line < 1 || warning.message.empty()) badWarning = true;
  }
  bool badWarning = false;
};

// Reads the bytes over a fresh scene and checks what came out: the record's
// bounds hold, and once the object entries are set aside (their pictures are
// never found here, so a second reading removes them), writing the scene,
// reading that back and writing again gives the same bytes. Returns what went
// wrong, empty when nothing did.
inline std::string CheckSettingsInput(const std::uint8_t* data, std::size_t size) {
  SetProgramDirectory("/program");
  NoPicturesHost host;
  SceneSettings scene;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)NotSettingsTextReason(bytes);
  ReadSettingsBytes(scene, bytes, "/scene", host);
  if (host.badWarning) return "a warning without its line or its message";
  if (scene.Sky.Count < 0 || scene.Sky.Count > SkyGradation::kCapacity)
    return "Sky.Count out of range: " + std::to_string(scene.Sky.Count);
  if (scene.Ground.Reflection < 0 || scene.Ground.Reflection > 100 ||
      scene.Ceiling.Transparency < 0 || scene.Ceiling.Transparency > 100)
    return "a track-bar value out of 0..100";
  if (scene.Far.Size() + scene.Mid.Size() + scene.Near.Size() >
      SettingsReadLimits{}.maxObjectEntries)
    return "more entries than the bound";

  scene.Far.Clear();
  scene.Mid.Clear();
  scene.Near.Clear();
  const std::string written = EncodeSettings(scene);
  SceneSettings again;
  if (ReadSettingsBytes(again, written, "/scene", host) != ReadStatus::Complete)
    return "reading the written scene stopped";
  const std::string rewritten = EncodeSettings(again);
  if (rewritten != written) return "written again differently:\n" + written + "\n--\n" + rewritten;
  return {};
}

}  // namespace horizonmill::fuzz
