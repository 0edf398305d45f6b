// The registration and removal sequences as both front ends run them: which
// host they use, what an aborted render does, what the settings remember.
#include <gtest/gtest.h>

#include "app/HostCommands.h"
#include "app/Session.h"
#include "platform/AtomicFile.h"
#include "support/AppTesting.h"
#include "support/RecordingPort.h"
#include "support/TestHost.h"

namespace horizonmill {
namespace {

using testing::ReadFile;
using testing::RecordingAppHost;
using testing::Snapshot;
using testing::TestHost;
using testing::WriteFile;

TEST(HostCommands, ABrokenRememberedHostIsForgottenAnotherIsNot) {
  TestHost t;
  t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
  WriteFile(t.dir / "broken.ini", "[QORA-L2]\r\n");
  const struct {
    std::string remembered, opened;
    bool found, forgotten;
  } cases[] = {
      {t.hostIni, t.hostIni, true, false},
      {t.dir / "broken.ini", t.dir / "broken.ini", false, true},
      {t.hostIni, t.dir / "broken.ini", false, false},
      {t.dir / "gone.ini", t.dir / "gone.ini", false, true},
  };
  for (const auto& c : cases) {
    UpdateApplicationSettings(t.programIni, {{"QoraL_Target", c.remembered}});
    ProgramSettings settings(t.programIni);
    RecordingAppHost host;
    EXPECT_EQ(OpenHost(settings, c.opened, host).has_value(), c.found) << c.opened;
    EXPECT_EQ(ReadApplicationSettings(t.programIni).QoraLTarget.empty(), c.forgotten) << c.opened;
    EXPECT_EQ(RememberedHostIni(settings).has_value(), c.remembered == t.hostIni);
  }
}

// Registered whole, or, after an abort that is not kept, not at all.
TEST(HostCommands, RenderAndRegisterKeepsAnAbortedRenderOnlyWhenAsked) {
  for (const bool keep : {false, true}) {
    TestHost t;
    t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
    Session session{ProgramSettings(t.programIni)};
    session.Scene().Output.Resolution = {"32", "16"};
    testing::PollingPort render(1);
    session.Context().Port = &render;
    RecordingAppHost host;
    host.keepAborted = keep;
    RecordingAppHost finding;
    const auto installation = FindHost(t.hostIni, finding);
    ASSERT_TRUE(installation);
    const auto before = Snapshot(t.dir.Path());
    const RegisterResult result =
        RenderAndRegister(session, *installation, {"a", "f", PictureFormat::Bmp}, host);
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(host.events.front(), "keep?");
    if (!keep) {
      EXPECT_EQ(result.outcome, RegisterOutcome::NotWritten);
      EXPECT_EQ(Snapshot(t.dir.Path()), before);
      continue;
    }
    EXPECT_EQ(result.outcome, RegisterOutcome::Registered);
    EXPECT_NE(ReadFile(t.hostIni).find("Back1=a,c_f,f"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(t.Bg("f.bmp")));
    EXPECT_EQ(ReadApplicationSettings(t.programIni).QoraLTarget, t.hostIni);
  }
}

// The registration runs through the host's RunWrite. The abort command while
// it writes its pictures, wherever it comes, puts the host back as it was;
// once the pictures are complete it goes on to its end. What it tells is
// told once it has ended, never from within the write.
TEST(HostCommands, AnAbortWhileTheRegistrationWritesPutsTheHostBack) {
  const struct {
    const char* when;
    const char* stopAtHookOf;  // "": before the writing begins
    bool registered;
  } cases[] = {
      {"before the writing begins", "", false},
      {"as the picture is about to go in place", "qoral2/bg/f.bmp", false},
      {"as the catalog picture is about to go in place", "qoral2/bg/c_f.bmp", false},
      {"as the Direct3D texture is about to go in place", "qoral2/d3d/f.jpg", false},
      {"as the host's list is written", "qoral2/QoraL2.ini", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.when);
    TestHost t;
    t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
    Session session{ProgramSettings(t.programIni)};
    session.Scene().Output.Resolution = {"32", "16"};
    RecordingAppHost host;
    const auto installation = FindHost(t.hostIni, host);
    ASSERT_TRUE(installation);
    const auto before = testing::HostFilesOf(t);
    RenderContext& context = session.Context();
    const std::string hookTarget = c.stopAtHookOf[0] ? t.dir / c.stopAtHookOf : "";
    if (hookTarget.empty())
      host.beforeWrite = [&](WriteProgress&) { context.AbortRequested = true; };
    std::int64_t planned = 0;
    host.afterWrite = [&](WriteProgress& progress) { planned = progress.Planned(); };
    detail::SetBeforePutInPlaceHook([&](const std::string& path) {
      if (path == hookTarget) context.AbortRequested = true;
    });
    const RegisterResult result =
        RenderAndRegister(session, *installation, {"a", "f", PictureFormat::Bmp}, host);
    detail::SetBeforePutInPlaceHook(nullptr);
    EXPECT_EQ(host.writes, 1);
    EXPECT_FALSE(result.aborted);
    EXPECT_TRUE(host.events.empty());
    EXPECT_FALSE(context.Rendering || context.Writing);
    if (c.registered) {
      EXPECT_EQ(result.outcome, RegisterOutcome::Registered);
      EXPECT_EQ(planned, 16 + kCatalogHeight + kTextureSide);
      EXPECT_TRUE(std::filesystem::exists(t.Bg("f.bmp")));
      continue;
    }
    EXPECT_EQ(result.outcome, RegisterOutcome::NotWritten);
    EXPECT_TRUE(result.writeAborted);
    EXPECT_TRUE(testing::HostFilesOf(t) == before);
    EXPECT_EQ(ReadApplicationSettings(t.programIni).QoraLTarget, "");
  }

  // A name taken between the check and the writing is refused under the
  // host's lock; the message comes once the write has ended.
  TestHost t;
  t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
  Session session{ProgramSettings(t.programIni)};
  session.Scene().Output.Resolution = {"32", "16"};
  RecordingAppHost host;
  const auto installation = FindHost(t.hostIni, host);
  ASSERT_TRUE(installation);
  host.beforeWrite = [&](WriteProgress&) { WriteFile(t.Bg("f.jpg"), "taken meanwhile"); };
  EXPECT_EQ(RenderAndRegister(session, *installation, {"a", "f", PictureFormat::Bmp}, host).outcome,
            RegisterOutcome::Refused);
  EXPECT_EQ(host.events,
            std::vector<std::string>{std::string(EnglishText(MessageCode::AlreadyRegistered))});
}

TEST(HostCommands, NamesTheHostRefusesAreToldBeforeTheRender) {
  TestHost t;
  t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
  WriteFile(t.Bg("f.jpg"), "taken");
  Session session{ProgramSettings(t.programIni)};
  testing::RecordingPort render;
  session.Context().Port = &render;
  RecordingAppHost host;
  const auto installation = FindHost(t.hostIni, host);
  ASSERT_TRUE(installation);
  for (const BackgroundNames& names :
       {BackgroundNames{"a", "f", PictureFormat::Bmp}, BackgroundNames{"a,b", "g"}}) {
    host.events.clear();
    EXPECT_EQ(RenderAndRegister(session, *installation, names, host).outcome,
              RegisterOutcome::Refused);
    EXPECT_EQ(host.events.size(), 1u);
    EXPECT_EQ(render.polls, 0);  // nothing rendered
  }
  EXPECT_EQ(ReadApplicationSettings(t.programIni).QoraLTarget, "");
}

// Listing and removal use the remembered host INI's own folders, whatever
// else the program INI holds.
TEST(HostCommands, RemovalUsesTheHostIniItself) {
  TestHost t;
  t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
  Session session{ProgramSettings(t.programIni)};
  session.Scene().Output.Resolution = {"8", "4"};
  RecordingAppHost host;
  const auto installation = FindHost(t.hostIni, host);
  ASSERT_TRUE(installation);
  ASSERT_EQ(RenderAndRegister(session, *installation, {"a", "f", PictureFormat::Bmp}, host).outcome,
            RegisterOutcome::Registered);
  UpdateApplicationSettings(t.programIni,
                            {{"QoraL_BGDir", "elsewhere"}, {"QoraL_D3DDir", "nowhere"}});
  const auto folders = RemovalHost(ProgramSettings(t.programIni), host);
  ASSERT_TRUE(folders);
  EXPECT_EQ(folders->BGDir, "bg");
  const auto removed = RemoveByAlias(*folders, "a", host);
  ASSERT_TRUE(removed);
  EXPECT_EQ(removed->result, RemovalResult::Removed);
  EXPECT_EQ(removed->key, "Back1");
  EXPECT_FALSE(std::filesystem::exists(t.Bg("f.bmp")));
  EXPECT_FALSE(RemoveByAlias(*folders, "a", host));

  EXPECT_FALSE(RemovalHost(ProgramSettings(), host));  // none remembered
}

}  // namespace
}  // namespace horizonmill
