#include "platform/Messages.h"

namespace horizonmill {

std::string_view EnglishText(MessageCode code) {
  switch (code) {
    case MessageCode::SkyStage:
      return "Drawing the sky gradation..";
    case MessageCode::SunStage:
      return "Drawing the sun..";
    case MessageCode::StarsStage:
      return "Drawing the stars.. count: %1";
    case MessageCode::CeilingStage:
      return "Drawing the ceiling..";
    case MessageCode::ReflectionStage:
      return "Drawing the reflected objects..";
    case MessageCode::GroundStage:
      return "Drawing the ground..";
    case MessageCode::ObjectsStage:
      return "Drawing the objects..";
    case MessageCode::FinishingStage:
      return "Updating the image..";
    case MessageCode::RenderAborted:
      return "The drawing was stopped.";
    case MessageCode::Writing:
      return "Writing..";
    case MessageCode::GroundTextureLoading:
      return "Loading the ground texture";
    case MessageCode::CeilingTextureLoading:
      return "Loading the ceiling texture";
    case MessageCode::GroundTextureCaption:
      return "(ground texture)";
    case MessageCode::CeilingTextureCaption:
      return "(ceiling texture)";
    case MessageCode::NoGroundTexture:
      return "There is no ground texture.";
    case MessageCode::NoCeilingTexture:
      return "There is no ceiling texture.";
    case MessageCode::MemoryExhausted:
      return "Out of memory!";
    case MessageCode::PlaceholderNoMemory:
      return "Memory has run out.";
    case MessageCode::ObjectFailure:
      return "More memory, please!";
    case MessageCode::EntryNoMemory:
      return "Memory ran out.";
    case MessageCode::PictureNoMemory:
      return "No memoryyy!";
    case MessageCode::GroundTextureNoMemory:
      return "No memory could be had for the ground texture.";
    case MessageCode::CeilingTextureNoMemory:
      return "No memory could be had for the ceiling texture.";
    case MessageCode::ObjectPictureMissing:
      return "The object file %1 is missing. Please choose one in its place";
    case MessageCode::GroundTextureMissing:
      return "The ground texture file %1 is missing. Please choose one in its place";
    case MessageCode::CeilingTextureMissing:
      return "The ceiling texture file %1 is missing. Please choose one in its place";
    case MessageCode::LeftTemporariesRemoved:
      return "Removed what an interrupted writing had left beside its files: %1";
    case MessageCode::KeepAbortedQuestion:
      return "The drawing was stopped. Save what has been drawn so far?";
    case MessageCode::SettingsNotSaved:
      return "The program's settings could not be saved.";
    case MessageCode::BadFileName:
      return "The picture file name holds characters that cannot be used.";
    case MessageCode::FileNameTooLong:
      return "The picture file name is too long. (32 characters at most)";
    case MessageCode::BadAlias:
      return "The alias holds characters that cannot be used.";
    case MessageCode::AliasTooLong:
      return "The alias is too long. (32 half-width characters at most; full-width ones count "
             "twice.)";
    case MessageCode::HostNotInstalled:
      return "The Qora-L series is not installed correctly.";
    case MessageCode::AlreadyRegistered:
      return "A background with the same file name is registered already.";
    case MessageCode::RegistrationTakenBack:
      return "What was left of a registration interrupted last time has been cleared away.";
    case MessageCode::RemovalFinished:
      return "A removal interrupted last time has been completed.";
    case MessageCode::NoManagementFile:
      return "The file that lists the registered backgrounds is missing.";
    case MessageCode::PictureNotDeleted:
      return "A picture could not be deleted.";
    case MessageCode::ConfirmRemoval:
      return "Remove the background \"%1\"?";
    case MessageCode::BackgroundNotListed:
      return "The background \"%1\" was not in the QORA-L series' list of backgrounds. The "
             "pictures of its registration have been deleted.";
    case MessageCode::BackgroundNotListedPicturesKept:
      return "The background \"%1\" was not in the QORA-L series' list of backgrounds. Only its "
             "record has been removed; no picture was deleted.";
    case MessageCode::HostIniUtf16:
      return "The Qora-L series' INI file is written in UTF-16, which cannot be read. Save it as "
             "Shift_JIS or UTF-8.";
    case MessageCode::HostFileReadOnly:
      return "A file of the Qora-L series is read-only, so nothing has been changed.";
  }
  return {};
}

std::string FillArguments(std::string_view pattern, const std::vector<std::string>& args) {
  std::string text;
  text.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
        pattern[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
      if (n < args.size()) {
        text += args[n];
        ++i;
        continue;
      }
    }
    text += pattern[i];
  }
  return text;
}

}  // namespace horizonmill
