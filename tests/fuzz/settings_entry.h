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

// Reads the bytes and checks what came out: every diagnostic names its line
// and says something, the record's bounds hold, and writing the scene,
// reading that back and writing again gives the same bytes (entries and the
// names of their pictures included: the reader reads no picture). Returns
// what went wrong, empty when nothing did.
inline std::string CheckSettingsInput(const std::uint8_t* data, std::size_t size) {
  SetProgramDirectory("/program");
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)NotSettingsTextReason(bytes);
  const SettingsRead read = ReadSettingsBytes(bytes, "/scene/fuzz.hm");
  for (const Diagnostic& d : read.diagnostics)
    if (d.line < 1 || d.text.empty() || d.file != "/scene/fuzz.hm")
      return "a diagnostic without its line, its file or its text";
  const SceneSettings& scene = read.scene;
  if (scene.Sky.Count < 0 || scene.Sky.Count > SkyGradation::kCapacity)
    return "Sky.Count out of range: " + std::to_string(scene.Sky.Count);
  if (scene.Ground.Reflection < 0 || scene.Ground.Reflection > 100 ||
      scene.Ceiling.Transparency < 0 || scene.Ceiling.Transparency > 100)
    return "a track-bar value out of 0..100";
  if (scene.Far.Size() + scene.Mid.Size() + scene.Near.Size() >
      SettingsReadLimits{}.maxObjectEntries)
    return "more entries than the bound";

  const std::string written = EncodeSettings(scene);
  const SettingsRead again = ReadSettingsBytes(written);
  if (again.status != ReadStatus::Complete) return "reading the written scene stopped";
  const std::string rewritten = EncodeSettings(again.scene);
  if (rewritten != written) return "written again differently:\n" + written + "\n--\n" + rewritten;
  return {};
}

}  // namespace horizonmill::fuzz
