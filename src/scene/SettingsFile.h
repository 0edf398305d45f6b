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
// Reading runs over the current scene (callers reset it first, so every key the
// file lacks keeps its default). It clears Ground.Enabled and Ceiling.Enabled and
// sets Output.Format to Normal, then applies each line: the key is the first token
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
//                          lines still fill it (and its picture is still looked for),
//                          but it is never drawn or written. Entry lines before the
//                          first entry, or after a cancelled picture, are ignored.
//   Ground_/Sky_TextureFilename  the texture is looked for and loaded if present; the
//                          layer is enabled and its name set to the path in every case
//
// Looking for a picture (object pictures and both textures), in this order:
//   1. a relative name joined to the settings file's folder, its "\" read as "/",
//      so that a scene folder copied anywhere, with its pictures in
//      sub-folders, opens without questions;
//   2. the name through ResolvePath (platform/Paths.h): a relative name in the
//      program directory, an absolute one as it is;
//   3. the name's last component in the settings file's folder, then in the
//      remembered directory (the folder of the last picture the user chose);
//   4. the host is asked (a file dialog in the window). The chosen file's folder
//      becomes the remembered directory when the host says so.
// A picture found nowhere is reported as a warning (kind MissingPicture) after
// the host's answer. A cancelled object picture removes its entry; a cancelled
// texture keeps the unresolved path (the render then draws the "無" tile, or the
// checkerboard for an empty name).
//
// Warnings: the reader tells its host, with the line number, about what it
// passes over or reads otherwise than the line seems to say (SettingsWarning).
// They change nothing that is read; the window ignores them, the command-line
// renderer prints them (and with --strict refuses to render).
//
// Failures: the file cannot be opened or read, it is no settings file at all
// (binary data such as a picture, or UTF-16 text), or a picture that exists
// cannot be decoded: FileError, and what was applied before stays. Memory running out for
// an entry or an object picture (or a reading passing the limits below): beep, a
// message, the reading stops (ReadStatus::OutOfMemory) with what was read applied.
// A picture too large for memory (BmpFileTooLarge), or one that the scene's
// picture budget does not admit (image/PictureBudget.h), counts as memory running
// out; the host hears why (PictureRefused). A texture without memory is reported
// and the reading goes on. An interrupt (platform/Interrupt.h) stops the reading
// between lines and while a file is read: Interrupted. No input makes the reader
// crash, hang or read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/PictureBudget.h"
#include "image/WorkBitmap.h"
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

// The missing-picture message is the kind's prefix, the name's last component,
// then kMissingPictureSuffix.
inline constexpr std::string_view kObjectPicturePrefix = "オブジェクトファイル ";
inline constexpr std::string_view kGroundTexturePrefix = "地面テクスチャファイル ";
inline constexpr std::string_view kCeilingTexturePrefix = "天井テクスチャファイル ";
inline constexpr std::string_view kMissingPictureSuffix = " がありません。代わりを指定してください";
// No memory for a new object entry, or for an object picture.
inline constexpr std::string_view kEntryNoMemory = "メモリーが尽きました。";
inline constexpr std::string_view kPictureNoMemory = "メモリーがないいい！";

enum class SettingsWarningKind {
  UnknownKey,       // the line's key is no key of the file: the line is skipped
  NotANumber,       // a number that does not convert: it counts as 0
  UnknownWord,      // a word the key does not list: it reads as the key's fallback
  MissingValues,    // the line lacks values the key takes: they count as 0
  ExtraValues,      // what follows the values the key takes is ignored
  NoEntry,          // an object line before the first Objects_CreateObject is ignored
  GradationCounts,  // the sky gradation's colours and positions differ in number
  MissingPicture,   // a picture found nowhere (after the host's answer)
  BeyondSight,      // more stars, or larger ones, than the picture can show: the
                    // render takes long for nothing (it can still be stopped)
};

// One warning: the line (counted from 1) and an English message that names the
// key and says what was read instead.
struct SettingsWarning {
  int line = 0;
  SettingsWarningKind kind = SettingsWarningKind::UnknownKey;
  std::string message;
};

// What the reader needs from its caller: the window answers with dialogs, the
// command-line renderer without asking anybody, tests with fakes.
class SettingsReaderHost {
 public:
  virtual ~SettingsReaderHost() = default;
  // A picture was not found. `message` is the Japanese message to show,
  // `presetName` the name's last component (the dialog's preset file name).
  // Returns the chosen file's path, or nothing when the user cancels.
  virtual std::optional<std::string> AskForPicture(PictureKind kind, const std::string& message,
                                                   std::string_view presetName) = 0;
  // Whether a picture file is at `path`. The default takes regular files only
  // (following links), so a device or a pipe named in a file is never opened.
  virtual bool PictureExists(const std::string& path);
  virtual void Beep() {}
  virtual void MessageBox(std::string_view text) {}
  // An entry was added to or removed from Far, Mid or Near (the object editor's
  // view follows the groups).
  virtual void GroupsChanged() {}
  // A texture was loaded; the window shows it scaled into the preview with the
  // layer's caption (kGroundCaption, kCeilingCaption of image/TextureLoading.h).
  virtual void TextureLoaded(PictureKind kind, const WorkBitmap& picture) {}
  // A picture was refused for memory (beyond the image limits or the picture
  // budget, or memory ran out), after the beep and the message. `reason` is
  // English and names the file; the window shows the message alone.
  virtual void PictureRefused(PictureKind kind, std::string_view reason) {}
  // Something the reader passed over or read otherwise than the line seems to
  // say. What is read does not depend on warnings.
  virtual void Warning(const SettingsWarning& warning) {}
  // Whether the folder of a picture AskForPicture chose becomes the remembered
  // directory: yes when a user chose it, no for a host that searches folders
  // of its own in a fixed order.
  virtual bool RemembersChosenFolder() const { return true; }
};

// Bounds of one reading, so that no file can make the reader exhaust memory.
// Passing an entry or picture bound is treated as memory running out.
struct SettingsReadLimits {
  // Longer files are refused (FileError) before they are read.
  std::size_t maxFileBytes = std::size_t{32} << 20;
  // Entries in Far, Mid and Near together.
  std::size_t maxObjectEntries = 65536;
  // What the scene's pictures may take together (image/PictureBudget.h).
  std::int64_t pictureBudget = DefaultPictureBudget();
};

enum class ReadStatus {
  Complete,
  // Memory ran out (or a bound was passed): the host has heard the beep and the
  // message; the lines before stay applied.
  OutOfMemory,
};

// Reads the settings file at `path` over `scene`; its folder is where pictures
// are looked for first. Throws FileError when the file cannot be read, is no
// settings file (NotSettingsTextReason), or a picture cannot be decoded.
// Afterwards the caller refreshes the window.
ReadStatus ReadSettings(SceneSettings& scene, const std::string& path, SettingsReaderHost& host,
                        const SettingsReadLimits& limits = {});

// The same for a file's bytes held in memory, taken whatever they hold.
// `pictureDirectory` stands for the settings file's folder (empty: none).
// Pictures are still looked for and loaded through the host and the disk.
ReadStatus ReadSettingsBytes(SceneSettings& scene, std::string_view bytes,
                             std::string_view pictureDirectory, SettingsReaderHost& host,
                             const SettingsReadLimits& limits = {});

// Why bytes are no settings file at all, or nothing when they may be one: a
// picture of a known format, other binary data (a NUL byte, or more than one
// byte in 32 a control character other than tab, line ends, form feed and the
// end-of-file mark), or UTF-16 text (its byte-order mark). Any text, empty
// included, may be one.
std::optional<std::string> NotSettingsTextReason(std::string_view bytes);

}  // namespace horizonmill
