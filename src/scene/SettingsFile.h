// The settings file (".hm"): one SceneSettings as plain text, one key and its
// values per line, so that a background can be saved, edited by hand and loaded
// again. Pictures are referred to by file name only.
//
// On disk the text is CP932 (or UTF-8 behind a byte-order mark when a name does
// not fit CP932, see platform/TextCodec.h). The writer ends every line with CR LF;
// the reader takes CR LF, LF or CR.
//
// Writing, line by line (a key, one blank, its values separated by one blank):
//   # Horizonmillらいと Version 1.06(1.0e-29L)
//   #
//   Gradation1_Colors     r g b a, then two blanks, per stop 0 .. Count-1
//   Gradation1_Positions  each position followed by one blank
//   Gradation2_CenterColor, Gradation2_OuterColor  r g b a
//   Gradation2_Position x y,  Gradation2_Slopes s0 s1 s2 s3,  Gradation2_MixtureMode word
//   RandomSeed, AirDepth  text;  Stars_OverSampling %d
//   Stars_NumberOfStars, Stars_SizeOfStars  text
//   per entry of Far, then Mid, then Near, in list order:
//     Objects_CreateObject Far|Mid|Near, Objects_OpaqueColor %d %d %d %d (bytes 0..3),
//     Objects_Filename, Objects_Manual angle height distance (only when Manual),
//     Objects_Scale, Objects_NumberOfObjects, Objects_Shadeing True|False,
//     Objects_PositionMode Ground|Sky, Objects_MixtureMode, Objects_Transparency, Objects_SoftFocus
//   only when the ground is enabled: Ground_TextureFilename, Ground_Scale,
//     Ground_Reflection (position / 100), Ground_ReflectionWarp
//   only when the ceiling is enabled: Sky_TextureFilename, Sky_Scale, Sky_MixtureMode,
//     Sky_OpaqueColor %d %d %d %d, Sky_Transparency (position / 100)
//   Output_Resolution width height;  Output_Format Old|OldDiet (only when not Normal);
//   Output_Filename text
// Reals are printed like "%.15g" (15 significant digits, no trailing zeros,
// exponent with "E"), always with "." whatever the locale; a FloatColour
// component is its float value printed that way (0.1f gives 0.100000001490116).
// Mixture modes: 0 "Add", 1 "Sub", anything else "Norm". Text fields are written
// verbatim, except that a CR or LF in them is written as a blank so that the
// line structure survives (the reader would cut the text there anyway), and
// that a resolution width that is empty or holds a blank or "=" is written as
// the token the reader would take from it ("0" when none), so that the height
// stays the height. The default scene gives sixteen lines.
//
// Reading gives a new scene (every key the file lacks keeps its default) and
// reads nothing but the file: no picture is looked for or decoded, and nobody
// is asked anything. Ground.Enabled and Ceiling.Enabled start cleared and
// Output.Format Normal; then each line is applied: the key is the first token
// (see scene/Token.h, delimiters: blanks, control characters and "="), the values
// the following tokens, a missing value reading as an empty token. Keys compare
// exactly; "#" lines, empty lines and unknown keys are skipped. Lines may come in
// any order, and a key given twice takes effect twice. Text fields take one token,
// so they come back cut at the first blank or "=". Numbers that do not convert
// count as 0 (ToInteger / ToReal); colour components beyond the float range are
// held at the largest float. In short:
//   Gradation1_Colors      quadruples while values remain, at most 16; a short last
//                          quadruple gets 0s; Sky.Count := quadruples read
//   Gradation1_Positions   up to 16 values into the first positions; Count unchanged
//   colour bytes           low 8 bits of each integer (256 -1 0 255 gives 0 255 0 255)
//   Ground_Reflection, Sky_Transparency   value x 100, rounded half to even, clamped to 0..100
//   mixture words          "Add", "Sub", anything else Norm
//   Objects_PositionMode   "Ground" gives Ground, anything else Sky
//   Objects_Shadeing       true only when the rest of the line is exactly "True"
//   Output_Format          "Old" gives Old, anything else (nothing included) OldDiet
//   Objects_CreateObject   a new entry with the defaults, appended to Far, Mid or Near
//                          by the word; with another word it belongs to no group: its
//                          lines still fill it, but it is never kept. Entry lines
//                          before the first entry are ignored.
//   Objects_Filename, Ground_/Sky_TextureFilename  the picture's name exactly as
//                          written (relative names stay relative, "\" stays "\");
//                          a texture line switches its layer on
// Sky_OpaqueColor alone sets the ceiling's transparent colour: a file without it
// keeps the default (black), whatever the texture holds.
//
// Where the pictures are found is the preparation's (scene/PictureSearch.h,
// render/PreparedScene.h): a picture found nowhere keeps its entry or its
// layer, with every field, and Save writes it back as it was read.
//
// Diagnostics: what the reader passes over or reads otherwise than the line
// seems to say, with the file's name and the line (codes UnknownKey ..
// BeyondSight of scene/Diagnostic.h). They change nothing that is read; the
// window ignores them, the command-line renderer prints them (and with
// --strict refuses to render).
//
// Failures: the file cannot be opened or read, or it is no settings file at
// all (binary data such as a picture, or UTF-16 text): FileError. More object
// entries than the limits allow, or memory running out for one, stops the
// reading (ReadStatus::OutOfMemory, the diagnostic ReadingStopped) with what
// was read before kept. An interrupt (platform/Interrupt.h) stops the reading
// between lines and while the file is read: Interrupted. No input makes the
// reader crash, hang or read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/Diagnostic.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

inline constexpr std::string_view kSettingsHeader = "# Horizonmillらいと Version 1.06(1.0e-29L)";

// ---------------------------------------------------------------- writing

// The file's lines in UTF-8, without line ends.
std::vector<std::string> SettingsLines(const SceneSettings& scene);
// The file's bytes: every line ended by CR LF, encoded with EncodeText.
std::string EncodeSettings(const SceneSettings& scene);
// Replaces the file at `path` atomically (platform/AtomicFile.h). Throws FileError
// naming the file when it cannot be written; an existing file is then unchanged.
void WriteSettings(const SceneSettings& scene, const std::string& path);

// A real as the file writes it: 15 significant digits in the manner of "%g",
// exponent as "E+nn" / "E-nn", "." as the decimal point in every locale.
std::string FormatReal(long double value);

// ---------------------------------------------------------------- reading

// Bounds of one reading, so that no file can make the reader exhaust memory.
// Passing the entry bound is treated as memory running out.
struct SettingsReadLimits {
  // Longer files are refused (FileError) before they are read.
  std::size_t maxFileBytes = std::size_t{32} << 20;
  // Entries in Far, Mid and Near together.
  std::size_t maxObjectEntries = 65536;
};

enum class ReadStatus {
  Complete,
  // Memory ran out (or a bound was passed): the lines before stay read; the
  // diagnostics end with ReadingStopped.
  OutOfMemory,
};

// What a reading gives: the scene, what the reader has to say about the file's
// lines, and whether it read to the end.
struct SettingsRead {
  SceneSettings scene;
  std::vector<Diagnostic> diagnostics;
  ReadStatus status = ReadStatus::Complete;
};

// Reads the settings file at `path`; the diagnostics name it as given. Throws
// FileError when the file cannot be read or is no settings file
// (NotSettingsTextReason), Interrupted when an interrupt stops the reading.
SettingsRead ReadSettings(const std::string& path, const SettingsReadLimits& limits = {});

// The same for a file's bytes held in memory, taken whatever they hold; the
// diagnostics name `fileName`.
SettingsRead ReadSettingsBytes(std::string_view bytes, std::string_view fileName = {},
                               const SettingsReadLimits& limits = {});

// Why bytes are no settings file at all, or nothing when they may be one: a
// picture of a known format, other binary data (a NUL byte, or more than one
// byte in 32 a control character other than tab, line ends, form feed and the
// end-of-file mark), or UTF-16 text (its byte-order mark). Any text, empty
// included, may be one.
std::optional<std::string> NotSettingsTextReason(std::string_view bytes);

}  // namespace horizonmill
