// The registration commands of the command-line renderer, end to end, on a
// host installation in a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "host/Registration.h"
#include "support/BmpBytes.h"
#include "support/CliRunner.h"
#include "support/TestHost.h"

namespace horizonmill {
namespace {

using testing::BmpView;
using testing::JpegSize;
using testing::ReadFile;
using testing::RunCli;
using testing::Snapshot;
using testing::TestHost;
using testing::WriteFile;

const std::string kSunset = "\x97\x5B\x8F\xC4\x82\xAF";  // 夕焼け in CP932
const std::string kNight = "\x96\xE9";                   // 夜

TEST(CliRegister, RegisterTwiceListAndUnregisterOnce) {
  TestHost t;
  ::setenv("HORIZONMILL_INI", t.programIni.c_str(), 1);
  const std::string head =
      "; host settings\r\n[QORA-L2]\r\nBGDir=bg\r\n[Direct3D]\r\nBGDir=d3d\r\n";
  const std::string tail = "\r\n[Other]\r\nname=\x95\x5C\r\n";  // 表
  WriteFile(t.hostIni, head + "[Menu]\r\nBGMax=20\r\nBack20=host,c_host,host\r\n" + tail);
  const std::string host = " '" + t.hostIni + "'";

  auto r = RunCli("--register" + host + " --alias 夕焼け --name sunset --size 64x32 --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  r = RunCli("--register" + host + " --alias 夜 --name night --jpeg --size 32x16 --quality 40");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("registered \"夜\" (32 x 16)"), std::string::npos) << r.err;
  EXPECT_EQ(BmpView(ReadFile(t.Bg("sunset.bmp"))).Width(), 64);
  EXPECT_EQ(JpegSize(ReadFile(t.Bg("night.jpg"))), std::make_pair(32, 16));

  r = RunCli("--register" + host + " --alias other --name sunset --size 8x8");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("A background with the same file name is registered already."),
            std::string::npos);

  r = RunCli("--list-registered" + host);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "Back21\t夕焼け\tc_sunset.bmp\tsunset.bmp\nBack22\t夜\tc_night.bmp\tnight.jpg\n");

  r = RunCli("--unregister" + host + " --alias 夕焼け");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "horizonmill-render: removed \"夕焼け\" (Back21)\n");

  EXPECT_EQ(ReadFile(t.hostIni), head + "[Menu]\r\nBGMax=21\r\nBack20=host,c_host,host\r\nBack21=" +
                                     kNight + ",c_night,night\r\n" + tail);
  EXPECT_EQ(ReadFile(t.Bg("Horizonmill_mng.ini")),
            "[BACKMANAGEMENT]\r\nBack21=" + kNight + ",c_night.bmp,night.jpg\r\n");
  EXPECT_EQ(ReadFile(t.programIni), "[Horizonmill]\r\nQoraL_Target=" + t.hostIni + "\r\n");
  const auto files = Snapshot(t.dir.Path() / "qoral2");
  std::vector<std::string> names;
  names.reserve(files.size());
  for (const auto& [name, bytes] : files) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"QoraL2.ini", "QoraL2.ini.lock", "bg",
                                             "bg/Horizonmill_mng.ini", "bg/c_night.bmp",
                                             "bg/night.jpg", "d3d", "d3d/night.jpg"}));

  r = RunCli("--list-registered" + host);
  EXPECT_EQ(r.out, "Back21\t夜\tc_night.bmp\tnight.jpg\n");
  r = RunCli("--unregister" + host + " --alias 夕焼け");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("夕焼け"), std::string::npos);
  ::unsetenv("HORIZONMILL_INI");
}

TEST(CliRegister, HostNotInstalledOrNameRefusedExitsWithOne) {
  TestHost t;
  ::setenv("HORIZONMILL_INI", t.programIni.c_str(), 1);
  const std::string host = " '" + t.hostIni + "'";
  // No host INI at all.
  for (const std::string& args :
       {"--register" + host + " --alias a --name b", "--list-registered" + host,
        "--unregister" + host + " --alias a"}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_NE(r.err.find("The Qora-L series is not installed correctly. (the host INI file"),
              std::string::npos)
        << r.err;
  }
  t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
  const auto r = RunCli("--register" + host + " --alias a --name ../escape --size 8x8");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("The picture file name holds characters that cannot be used."),
            std::string::npos);
  EXPECT_EQ(Snapshot(t.dir.Path()).size(), 4u);  // qoral2, its INI, bg, d3d: nothing new
  ::unsetenv("HORIZONMILL_INI");
}

TEST(CliRegister, BadUsageExitsWithTwo) {
  for (const char* args :
       {"--register h.ini --name n", "--register h.ini --alias a", "--unregister h.ini",
        "--list-registered h.ini --alias a", "--register h.ini --alias a --name n -o x.jpg",
        "--register h.ini --alias a --name n --preview", "--alias a -o x.jpg", "--jpeg -o x.jpg",
        "--list-registered", "scene.hm --list-registered h.ini",
        "--unregister h.ini --alias a --size 4x4", "--list-registered h.ini --threads 2",
        "--register a.ini --list-registered b.ini", "--register '' --alias a --name n"}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("--help"), std::string::npos) << args;
  }
}

}  // namespace
}  // namespace horizonmill
