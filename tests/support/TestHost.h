// A small host installation in a temporary folder: the host INI, the
// background and Direct3D folders, and a program INI beside them; plus a
// registration host that records what the user would have been told.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "host/Registration.h"
#include "support/TempDir.h"

namespace horizonmill::testing {

struct TestHost {
  TestHost() {
    std::filesystem::create_directories(dir.Path() / "qoral2/bg");
    std::filesystem::create_directories(dir.Path() / "qoral2/d3d");
  }
  // Writes the host INI: "QORA-L2"/"BGDir" = bg, "Direct3D"/"BGDir" = d3d
  // (relative to the INI), then `extra`.
  void WriteHostIni(const std::string& extra) {
    WriteFile(hostIni, "[QORA-L2]\r\nBGDir=bg\r\n[Direct3D]\r\nBGDir=d3d\r\n" + extra);
  }
  std::string Bg(const std::string& name) const { return dir / ("qoral2/bg/" + name); }
  std::string D3d(const std::string& name) const { return dir / ("qoral2/d3d/" + name); }

  TempDir dir;
  const std::string hostIni = dir / "qoral2/QoraL2.ini";
  const std::string programIni = dir / "config/horizonmill.INI";
  // Where registration, listing and removal take the host's lock; the file
  // stays once made.
  const std::string lockFile = hostIni + ".lock";
};

// Every file under the folder (relative name -> bytes): what a failed
// operation must leave as it was.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = std::filesystem::relative(entry.path(), folder).string();
    files[name] = entry.is_regular_file() ? ReadFile(entry.path().string()) : "<folder>";
  }
  return files;
}

// The host's files without its lock file: the lock file comes with the first
// registration, listing or removal and stays, so a failed one leaves it.
inline std::map<std::string, std::string> HostFilesOf(const TestHost& t) {
  auto files = Snapshot(t.dir.Path());
  files.erase("qoral2/QoraL2.ini.lock");
  return files;
}

// Width and height from a JPEG's baseline frame header.
inline std::pair<int, int> JpegSize(const std::string& bytes) {
  for (std::size_t i = 0; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == '\xFF' && bytes[i + 1] == '\xC0') {
      auto u16 = [&](std::size_t at) {
        return static_cast<unsigned char>(bytes[at]) << 8 |
               static_cast<unsigned char>(bytes[at + 1]);
      };
      return {u16(i + 7), u16(i + 5)};
    }
  }
  return {0, 0};
}

class RecordingRegistrationHost : public RegistrationHost {
 public:
  void Beep() override { events.push_back("beep"); }
  void MessageBox(const Message& message, std::string_view detail) override {
    events.push_back(message.English());
    details.push_back(std::string(detail));
  }
  bool Confirm(const Message& question) override {
    events.push_back("? " + question.English());
    return answer;
  }
  std::vector<std::string> events, details;  // what was told in English
  bool answer = true;
};

}  // namespace horizonmill::testing
