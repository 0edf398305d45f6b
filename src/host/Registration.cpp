#include "host/Registration.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <functional>
#include <future>
#include <new>
#include <system_error>
#include <vector>

#include "codecs/ImageOutput.h"
#include "codecs/JpegWriter.h"
#include "host/HostFiles.h"
#include "host/HostRecords.h"
#include "host/HostTidying.h"
#include "image/WorkBitmap.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "platform/PrivateProfile.h"
#include "platform/TextCodec.h"
#include "platform/WindowsPath.h"
#include "platform/WriteProgress.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

bool IsFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

// What is wrong with the names: the message and the English reason; nothing
// when they may be registered.
std::optional<std::pair<MessageCode, std::string>> NameProblem(const BackgroundNames& names) {
  const std::string& alias = names.Alias;
  const auto cp932 = Utf8ToCp932(alias);
  if (!cp932)
    return {{MessageCode::BadAlias,
             "the alias \"" + RepairUtf8(alias) +
                 "\" has characters the Japanese code page (CP932) cannot hold"}};
  for (char c : alias)
    if (c == ',' || IsControl(c))
      return {{MessageCode::BadAlias,
               "the alias may not contain \",\" or control characters: the host's list separates "
               "its fields with \",\""}};
  // The host's list gives a value back without its outer blanks and one pair
  // of outer quotes: such an alias would never be found again to be removed.
  if (!alias.empty() && (alias.front() == ' ' || alias.back() == ' ' || alias.front() == '"' ||
                         alias.front() == '\''))
    return {{MessageCode::BadAlias,
             "the alias \"" + alias +
                 "\" may not begin or end with a blank nor begin with a quote: the host's list "
                 "would give it back without them"}};
  if (cp932->size() > static_cast<std::size_t>(kMaxAliasBytes))
    return {{MessageCode::AliasTooLong, "the alias takes " + std::to_string(cp932->size()) +
                                            " bytes in the Japanese code page; at most " +
                                            std::to_string(kMaxAliasBytes) + " fit"}};

  if (auto problem = FileNameProblem(names.FileName))
    return {{problem->message, std::move(problem->reason)}};
  return std::nullopt;
}

fs::path AbsoluteHostIni(const HostFolders& folders) {
  std::error_code ec;
  fs::path path = fs::absolute(folders.HostIni, ec);
  return ec ? fs::path(folders.HostIni) : path;
}

// Relative host paths are joined to this folder: the current directory is
// never changed.
fs::path HostIniFolder(const HostFolders& folders) {
  return AbsoluteHostIni(folders).parent_path();
}

std::string Describe(const std::string& value, const fs::path& local) {
  return "\"" + value + "\" (" + local.string() + ")";
}

}  // namespace

fs::path HostFolders::BackgroundFolder() const { return LocalPathOf(BGDir, HostIniFolder(*this)); }

fs::path HostFolders::Direct3DFolder() const { return LocalPathOf(D3DDir, HostIniFolder(*this)); }

fs::path HostFolders::ManagementFile() const {
  return FindEntry(BackgroundFolder(), kManagementFileName);
}

HostFolders ReadHostFolders(const std::string& hostIni) {
  const IniDocument ini = LoadIniFile(hostIni);
  HostFolders folders;
  folders.HostIni = hostIni;
  folders.BGDir = ini.ReadString("QORA-L2", "BGDir", "");
  if (folders.BGDir.empty()) folders.BGDir = ini.ReadString("QORA-L1", "BGDir", "");
  folders.D3DDir = ini.ReadString("Direct3D", "BGDir", "");
  return folders;
}

std::optional<BackgroundList> FindBackgroundList(const HostFolders& folders) {
  // Whatever "BGMax" holds, -1 included, puts the list into "Menu": only a
  // missing or empty value is no count. (Reading it as an integer with the
  // default -1 would take "BGMax=-1" for no count and write into bg.ini,
  // while "BGMax=-5" is refused as no entry count.)
  if (const auto count = LoadIniFile(folders.HostIni).Find(kHostMenuSection, kBGMaxKey);
      count && !count->empty())
    return BackgroundList{folders.HostIni, kHostMenuSection};
  const fs::path bgIni = FindEntry(folders.BackgroundFolder(), kBackgroundListFileName);
  // Whatever is there under the name is the list: a FIFO or a folder is
  // refused by its reader, naming it.
  std::error_code ec;
  if (fs::status(bgIni, ec).type() == fs::file_type::not_found) return std::nullopt;
  return BackgroundList{bgIni.string(), kBackgroundListSection};
}

std::optional<HostFolders> FindHostFolders(const std::string& hostIni, RegistrationHost& host) {
  try {
    HostFolders folders = ReadHostFolders(hostIni);
    if (!FileExists(hostIni)) {
      TellNotInstalled(host, "the host INI file " + hostIni + " does not exist");
    } else if (folders.BGDir.empty()) {
      TellNotInstalled(
          host, hostIni + " names no background folder (key BGDir of [QORA-L2] or [QORA-L1])");
    } else {
      return folders;
    }
  } catch (const FileError& e) {
    TellHostFileError(host, e);
  }
  return std::nullopt;
}

std::optional<HostInstallation> FindHost(const std::string& hostIni, RegistrationHost& host) {
  const auto found = FindHostFolders(hostIni, host);
  if (!found) return std::nullopt;
  const HostFolders& folders = *found;
  try {
    if (!IsFolder(folders.BackgroundFolder())) {
      TellNotInstalled(host, "the background folder " +
                                 Describe(folders.BGDir, folders.BackgroundFolder()) +
                                 " does not exist or is no folder");
      return std::nullopt;
    }
    if (folders.D3DDir.empty()) {
      TellNotInstalled(host, hostIni + " names no Direct3D folder (key BGDir of [Direct3D])");
      return std::nullopt;
    }
    if (!IsFolder(folders.Direct3DFolder())) {
      TellNotInstalled(host, "the Direct3D folder " +
                                 Describe(folders.D3DDir, folders.Direct3DFolder()) +
                                 " does not exist or is no folder");
      return std::nullopt;
    }
    const auto list = FindBackgroundList(folders);
    if (!list) {
      TellNotInstalled(host, NoBackgroundListReason(folders));
      return std::nullopt;
    }
    LoadIniFile(list->File);  // a list that cannot be read is told now, not after the render
    return HostInstallation{folders, *list};
  } catch (const FileError& e) {
    TellHostFileError(host, e);
    return std::nullopt;
  }
}

BackgroundFiles FilesOf(const HostFolders& folders, const BackgroundNames& names) {
  BackgroundFiles files;
  files.PictureFile = names.FileName + (names.Format == PictureFormat::Bmp ? ".bmp" : ".jpg");
  files.CatalogFile = std::string(kCatalogPrefix) + names.FileName + ".bmp";
  files.Picture = folders.BackgroundFolder() / files.PictureFile;
  files.Catalog = folders.BackgroundFolder() / files.CatalogFile;
  files.Texture = TexturePath(folders, files.PictureFile);
  return files;
}

bool CheckRegistration(const HostInstallation& installation, const BackgroundNames& names,
                       RegistrationHost& host) {
  if (const auto problem = NameProblem(names)) {
    host.MessageBox(problem->first, problem->second);
    return false;
  }
  BackgroundNames other = names;
  other.Format = names.Format == PictureFormat::Bmp ? PictureFormat::Jpeg : PictureFormat::Bmp;
  const BackgroundFiles these = FilesOf(installation.Folders, names);
  const BackgroundFiles those = FilesOf(installation.Folders, other);
  for (const fs::path& path : {these.Picture, those.Picture, these.Catalog, these.Texture}) {
    // The host opens its files under Windows' rules: SUNSET.BMP is sunset.bmp.
    const fs::path found = FindEntry(path.parent_path(), path.filename().string());
    std::error_code ec;
    if (fs::exists(fs::symlink_status(found, ec))) {
      host.MessageBox(MessageCode::AlreadyRegistered, found.string() + " already exists");
      return false;
    }
  }
  // A read-only list or management file is the user's or the host's to
  // change: it is not replaced behind their back.
  for (const std::string& file :
       {installation.List.File, installation.Folders.ManagementFile().string()}) {
    if (const std::string reason = HostFileReadOnlyReason(file); !reason.empty()) {
      host.Beep();
      host.MessageBox(MessageCode::HostFileReadOnly, reason);
      return false;
    }
  }
  // The list must have room for the entry where its count says it goes.
  try {
    const IniDocument list = LoadIniFile(installation.List.File);
    if (const auto number = NextEntryNumber(list, installation.List); !number.Number) {
      TellNotInstalled(host, number.Refusal);
      return false;
    }
  } catch (const FileError&) {
    // A list that cannot be read is the registration's to report, naming
    // it, when it reads the list under the host's lock.
  }
  return true;
}

NextEntry NextEntryNumber(const IniDocument& list, const BackgroundList& where) {
  const std::string at = where.File + ", section [" + std::string(where.Section) + "]";
  // No count in bg.ini: its list is empty.
  long long count = 0;
  if (const auto text = list.Find(where.Section, kBGMaxKey); text && !text->empty()) {
    const bool digits =
        std::all_of(text->begin(), text->end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits)
      return {std::nullopt, at + ": BGMax \"" + *text +
                                "\" is no entry count (decimal digits), so the host's list "
                                "cannot say where the next entry goes"};
    count = text->size() > 6 ? kMaxHostEntryNumber : std::stoll(*text);
  }
  if (count >= kMaxHostEntryNumber)
    return {std::nullopt, at + ": BGMax " + *list.Find(where.Section, kBGMaxKey) +
                              " puts the next entry past the last entry the host can list (Back" +
                              std::to_string(kMaxHostEntryNumber) + ")"};
  const long long n = count + 1;
  if (const auto there = list.Find(where.Section, EntryKey(n)); there && !there->empty())
    return {std::nullopt, at + ": BGMax is " + std::to_string(count) + ", but " + EntryKey(n) +
                              " holds already \"" + *there +
                              "\": the count does not match the list, so nothing is written"};
  return {n, {}};
}

WorkBitmap MakeCatalogPicture(const WorkBitmap& picture) {
  assert(!picture.Empty());
  WorkBitmap catalog(kCatalogWidth, kCatalogHeight);
  if (catalog.Empty()) throw std::bad_alloc();
  // Columns W/4 .. 3W/4 and rows H/4 .. 3H/4; Round is half to even.
  const int qw = picture.Width() / 4, qh = picture.Height() / 4;
  const double sx = 2.0 * qw / kCatalogWidth, sy = 2.0 * qh / kCatalogHeight;
  for (int y = 0; y < kCatalogHeight; ++y) {
    const BgrPixel* from = picture.Row(static_cast<int>(std::nearbyint(y * sy + qh)));
    BgrPixel* to = catalog.Row(y);
    for (int x = 0; x < kCatalogWidth; ++x)
      to[x] = from[static_cast<int>(std::nearbyint(x * sx + qw))];
  }
  return catalog;
}

WorkBitmap MakeDirect3DTexture(const WorkBitmap& picture) {
  WorkBitmap texture(kTextureSide, kTextureSide);
  if (texture.Empty()) throw std::bad_alloc();
  StretchDraw(picture, texture);
  return texture;
}

namespace {

// The files a registration changes, as they were before its first write, so
// that a failure can put them back. Whatever cannot be put back is left to
// the next tidying, which the note in the management file guides.
bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

class Undo {
 public:
  Undo(std::string managementFile, const IniDocument& management)
      : managementFile_(std::move(managementFile)),
        management_(management.Serialize()),
        managementExisted_(Exists(managementFile_)) {}

  void Wrote(const fs::path& picture) { pictures_.push_back(picture); }
  void WroteList(std::string file, const IniDocument& before, bool existed) {
    list_ = std::move(file);
    listBefore_ = before.Serialize();
    listExisted_ = existed;
  }

  // Also after an interrupt stopped the registration: the files go back.
  void Run() const noexcept {
    if (!list_.empty() && !PutBack(list_, listBefore_, listExisted_)) {
      // The list still holds the entry: the next tidying finishes the
      // registration, so its pictures must stay.
      return;
    }
    for (const fs::path& picture : pictures_) {
      std::error_code ec;
      fs::remove(picture, ec);
    }
    PutBack(managementFile_, management_, managementExisted_);
  }

 private:
  static bool PutBack(const std::string& path, const std::string& bytes, bool existed) noexcept {
    try {
      if (existed) {
        WriteFileThroughLinks(path, bytes, OnInterrupt::Finish);
      } else {
        std::error_code ec;
        fs::remove(path, ec);
        return !ec;
      }
      return true;
    } catch (...) {
      return false;
    }
  }

  std::string managementFile_, management_;
  bool managementExisted_;
  std::vector<fs::path> pictures_;
  std::string list_, listBefore_;
  bool listExisted_ = true;
};

// A picture encoded into memory, perhaps on a thread of its own: its rows
// are counted in the write's progress, which may also stop it.
class CountingMemorySink : public MemorySink {
 public:
  explicit CountingMemorySink(WriteProgress* progress) : progress_(progress) {}
  void EncodedRows(int rows) override {
    if (progress_ == nullptr) return;
    progress_->Advance(rows);
    progress_->StopIfAsked();
  }

 private:
  WriteProgress* progress_;
};

// The texture made from the picture and encoded as its file at `path` will
// hold it. No memory, or a request to stop, is thrown as it is; the encoder's
// own failure as a FileError naming the file, as its writing would.
std::string EncodeTexture(const WorkBitmap& picture, int jpegQuality, WriteProgress* progress,
                          const std::string& path) {
  const WorkBitmap texture = MakeDirect3DTexture(picture);
  CountingMemorySink bytes(progress);
  try {
    EncodeJpeg(texture, {.quality = jpegQuality}, bytes);
  } catch (const WriteCancelled&) {
    throw;
  } catch (const FileError&) {
    throw;
  } catch (const std::runtime_error& e) {
    throw FileError(path, e.what());
  }
  return bytes.Bytes();
}

// Another host INI naming the same background folder keeps a list of its
// own, and its records share the management file: a record of that list
// standing at the new record's key moves to the first number past every
// record and entry, where the tidying of its own host finds it again.
void MoveRecordAside(IniDocument& management, const std::string& key, const RecordFields& record,
                     const HostEntries& entries) {
  const auto there = management.FindRaw(kManagementSection, key);
  if (!there || there->empty() ||
      ParseRecord(management.ReadString(kManagementSection, key, "")) == record)
    return;
  long long next = 1;
  for (const auto& entry : entries) next = std::max(next, entry.first + 1);
  for (const ManagementRecord& r : ReadManagementRecords(management))
    next = std::max(next, r.Number + 1);
  management.WriteString(kManagementSection, EntryKey(next), *there);
}

}  // namespace

bool RegisterBackground(const HostInstallation& installation, const BackgroundNames& names,
                        const WorkBitmap& picture, int jpegQuality, RegistrationHost& host,
                        WriteProgress* progress) {
  // Refused before the lock, so that nothing at all changes; and again under it.
  if (!CheckRegistration(installation, names, host)) return false;
  const HostFolders& folders = installation.Folders;
  const BackgroundList& list = installation.List;
  const BackgroundFiles files = FilesOf(folders, names);
  if (progress != nullptr) progress->Plan(picture.Height() + kCatalogHeight + kTextureSide);
  const WorkBitmap catalog = MakeCatalogPicture(picture);
  if (progress != nullptr) progress->StopIfAsked();
  // The texture is made and encoded beside the picture's own writing (into
  // memory: the files are still written in their order below); without a
  // thread for it, when its file is due. The future waits for its thread
  // whichever way this function is left.
  const std::string texturePath = files.Texture.string();
  std::future<std::string> textureBytes;
  try {
    textureBytes = std::async(std::launch::async, EncodeTexture, std::cref(picture), jpegQuality,
                              progress, std::cref(texturePath));
  } catch (const std::system_error&) {
  }

  HeldMessages held(host);  // told once the lock has gone
  const HostLock lock(folders);
  TidyHost(folders, list, held);
  // The render took a while: somebody may have registered the name meanwhile.
  if (!CheckRegistration(installation, names, held)) return false;

  const std::string managementFile = folders.ManagementFile().string();
  IniDocument management = LoadIniFile(managementFile);
  IniDocument hostList = LoadIniFile(list.File);
  const NextEntry next = NextEntryNumber(hostList, list);
  if (!next.Number) {
    TellNotInstalled(held, next.Refusal);
    return false;
  }
  const long long n = *next.Number;
  const std::string key = EntryKey(n);
  const RecordFields record{names.Alias, files.CatalogFile, files.PictureFile};

  Undo undo(managementFile, management);
  ChangeIniDocument(managementFile,
                    [&] { management.WriteString(kRegisteringSection, key, RecordText(record)); });
  SaveIniFile(managementFile, management);
  try {
    if (names.Format == PictureFormat::Bmp)
      SaveAsBmp(picture, files.Picture.string(), progress);
    else
      SaveAsJpeg(picture, files.Picture.string(), jpegQuality, progress);
    undo.Wrote(files.Picture);
    SaveAsBmp(catalog, files.Catalog.string(), progress);
    undo.Wrote(files.Catalog);
    const std::string texture = textureBytes.valid()
                                    ? textureBytes.get()
                                    : EncodeTexture(picture, jpegQuality, progress, texturePath);
    WriteFileAtomically(
        texturePath, [&](ByteSink& out) { out.Write(texture); }, OnInterrupt::Stop, progress);
    undo.Wrote(files.Texture);

    const IniDocument listBefore = hostList;
    const bool listExisted = Exists(list.File);
    ChangeIniDocument(list.File, [&] {
      hostList.WriteString(list.Section, kBGMaxKey, std::to_string(n));
      hostList.WriteString(list.Section, key,
                           JoinFields(names.Alias, StripExtension(files.CatalogFile),
                                      StripExtension(files.PictureFile)));
    });
    SaveIniFile(list.File, hostList);
    undo.WroteList(list.File, listBefore, listExisted);

    ChangeIniDocument(managementFile, [&] {
      DeleteKeyAndEmptySection(management, kRegisteringSection, key);
      MoveRecordAside(management, key, record, ReadHostEntries(hostList, list.Section));
      management.WriteString(kManagementSection, key, RecordText(record));
    });
    SaveIniFile(managementFile, management);
  } catch (...) {
    undo.Run();
    throw;
  }
  return true;
}

}  // namespace horizonmill
