// What the core tells the user, as codes. The core names a message by its
// code and the values it carries (a star count, a file name, an alias); each
// front end words it: the command line in English (EnglishText), the window
// in its language (ui/CoreTexts.h). No text of the core stands for a message.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace horizonmill {

enum class MessageCode {
  // The render's stages, drawn over the preview as each begins.
  SkyStage,
  SunStage,
  StarsStage,  // %1: the number of stars the scene asks for
  CeilingStage,
  ReflectionStage,
  GroundStage,
  ObjectsStage,
  FinishingStage,
  RenderAborted,  // over the cleared preview after an aborted render
  // Over the preview while a full render's files are written.
  Writing,
  // A texture being loaded, the captions over a texture shown alone, no texture.
  GroundTextureLoading,
  CeilingTextureLoading,
  GroundTextureCaption,
  CeilingTextureCaption,
  NoGroundTexture,
  NoCeilingTexture,
  // Memory.
  MemoryExhausted,         // a size beyond the image limits, or a render without memory
  PlaceholderNoMemory,     // no memory for a missing picture's tile
  ObjectFailure,           // an object group dropped from the render
  EntryNoMemory,           // no memory for a settings file's object entry
  PictureNoMemory,         // no memory for an object picture
  GroundTextureNoMemory,   // no memory for the ground texture
  CeilingTextureNoMemory,  // no memory for the ceiling texture
  // A picture a settings file names, found nowhere (%1: its name).
  ObjectPictureMissing,
  GroundTextureMissing,
  CeilingTextureMissing,
  // The writing of files: what writers killed in their midst had left beside
  // the files (%1: their names), removed before this run wrote there.
  LeftTemporariesRemoved,
  // The sequences of a full render, the registration and the removal.
  KeepAbortedQuestion,  // a full render aborted: write what was drawn?
  SettingsNotSaved,     // the program's settings could not be saved
  BadFileName,
  FileNameTooLong,
  BadAlias,
  AliasTooLong,
  HostNotInstalled,
  AlreadyRegistered,
  RegistrationTakenBack,  // what an interrupted registration left was cleared
  RemovalFinished,        // an interrupted removal was completed
  NoManagementFile,
  PictureNotDeleted,
  ConfirmRemoval,                   // %1: the background's alias
  BackgroundNotListed,              // %1: the background's alias; its pictures deleted
  BackgroundNotListedPicturesKept,  // %1: the alias; its record gone, no picture deleted
  HostIniUtf16,                     // the host INI is UTF-16 text, which is not read
  HostFileReadOnly,                 // a file of the host to be written is read-only
};

// How many codes there are; every code lies below it.
inline constexpr int kMessageCodeCount = static_cast<int>(MessageCode::HostFileReadOnly) + 1;

// The code's text in English; a code carrying values marks them %1, %2, ...
std::string_view EnglishText(MessageCode code);

// `pattern` with each %n (n from 1 to 9) that has an argument replaced by
// args[n - 1], in one pass: what an argument holds is never read as a
// placeholder. A %n without its argument stays as it is.
std::string FillArguments(std::string_view pattern, const std::vector<std::string>& args);

// A message: its code and the values it carries, in the order of their
// placeholders.
struct Message {
  // A code alone is a message (most carry nothing).
  Message(MessageCode code)  // NOLINT(google-explicit-constructor)
      : code(code) {}
  Message(MessageCode code, std::vector<std::string> args) : code(code), args(std::move(args)) {}

  MessageCode code;
  std::vector<std::string> args;

  // In English, its values put in.
  std::string English() const { return FillArguments(EnglishText(code), args); }

  bool operator==(const Message&) const = default;
};

}  // namespace horizonmill
