// The INI layer against the behaviour of the Windows private-profile functions.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/FileError.h"
#include "platform/PrivateProfile.h"
#include "platform/TextCodec.h"
#include "platform/WholeFile.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

struct ReadCase {
  const char* file;
  const char* section;
  const char* key;
  const char* expected;  // nullptr: the key is missing
};

TEST(PrivateProfile, ReadsStringsAsWindowsDoes) {
  const ReadCase cases[] = {
      {"[App]\r\nKey=v\r\n", "app", "KEY", "v"},                  // case-insensitive
      {"[ s ]\nk=1\n", "s", "k", "1"},                            // "[ s ]" is "s"
      {"[App]\n \t Key \t = \t a b \t \n", "App", "Key", "a b"},  // blanks trimmed
      {"[App]\nKey\n", "App", "Key", nullptr},                    // no "=": no key
      {"[App]\nKey=\n", "App", "Key", ""},                        // empty value is a key
      {"Key=top\n[App]\n", "App", "Key", nullptr},                // before the first section
      {"[App]\nK=\"quoted\"\n", "App", "K", "quoted"},
      {"[App]\nK='single'\n", "App", "K", "single"},
      {"[App]\nK=\"mixed'\n", "App", "K", "\"mixed'"},
      {"[App]\nK=\"\n", "App", "K", "\""},
      {"[App]\nK=\"a\" \"b\"\n", "App", "K", "a\" \"b"},  // one outer pair only
      {"[App]\n;K=1\n", "App", "K", nullptr},
      {"[App]\n  ; K=1\n", "App", "K", nullptr},
      {"[App]\n#K=1\n", "App", "#K", "1"},                         // "#" is no comment
      {"[App]\nK=;x\n", "App", "K", ";x"},                         // ";" after "=" is text
      {"[App]\nK=1\nk=2\n", "App", "K", "1"},                      // the first key wins
      {"[App]\nA=1\n[Other]\n[app]\nB=2\n", "App", "B", nullptr},  // first block only
      {"[App]\nA=1\n[Other]\n[app]\nA=2\n", "App", "A", "1"},
      {"[App]\nK=a=b\n", "App", "K", "a=b"},  // the first "=" splits
      {"[App\nK=1\n", "App", "K", nullptr},   // no "]": no section
      {"[a]b]\nK=1\n", "a]b", "K", "1"},      // the last "]" closes
      {"[App]\r\nK=v", "App", "K", "v"},      // no line end at the end
      {"[App]\rK=v\r", "App", "K", nullptr},  // a lone CR ends no line
  };
  for (const ReadCase& c : cases) {
    const IniDocument doc = IniDocument::Parse(c.file);
    const auto value = doc.Find(c.section, c.key);
    if (c.expected) {
      EXPECT_EQ(value, std::optional<std::string>(c.expected)) << c.file;
    } else {
      EXPECT_FALSE(value.has_value()) << c.file;
      EXPECT_EQ(doc.ReadString(c.section, c.key, "dflt"), "dflt") << c.file;
    }
  }
}

TEST(PrivateProfile, ReadsIntegersAsWindowsDoes) {
  const std::pair<const char*, int> cases[] = {
      {"42", 42},         {"-7", -7},      {"+5", 5},         {"42A", 42},
      {"B42", 0},         {"-", 0},        {"4294967297", 1}, {"2147483648", -2147483647 - 1},
      {"-4294967295", 1}, {"\" 12\"", 12}, {"0x10", 0},       {"", -1},  // empty: the default
  };
  for (const auto& [value, expected] : cases) {
    const IniDocument doc = IniDocument::Parse(std::string("[Menu]\nBGMax=") + value + "\n");
    EXPECT_EQ(doc.ReadInteger("Menu", "BGMax", -1), expected) << value;
  }
  EXPECT_EQ(IniDocument::Parse("[Menu]\n").ReadInteger("Menu", "BGMax", -1), -1);
}

struct WriteCase {
  const char* before;
  std::function<void(IniDocument&)> change;
  const char* after;
};

TEST(PrivateProfile, WritesChangeOnlyTheLinesTheyMust) {
  const WriteCase cases[] = {
      // A value replaced in place, the key spelt as it was.
      {"; c\r\n[App]\r\n  KEY = old \r\nk2=x\r\n\r\n[B]\r\n",
       [](IniDocument& d) { d.WriteString("app", "key", "new"); },
       "; c\r\n[App]\r\nKEY=new\r\nk2=x\r\n\r\n[B]\r\n"},
      // A new key after the last non-blank line of the section's block.
      {"[App]\r\nk1=a\r\n;note\r\n\r\n[B]\r\nx=1\r\n",
       [](IniDocument& d) { d.WriteString("App", "k3", "c"); },
       "[App]\r\nk1=a\r\n;note\r\nk3=c\r\n\r\n[B]\r\nx=1\r\n"},
      {"[App]\n\n[B]\n", [](IniDocument& d) { d.WriteString("App", "k", "v"); },
       "[App]\nk=v\n\n[B]\n"},
      // A new section at the end, no blank line; LF files stay LF.
      {"[App]\r\nk=v\r\n", [](IniDocument& d) { d.WriteString("App2", "key4", "v"); },
       "[App]\r\nk=v\r\n[App2]\r\nkey4=v\r\n"},
      {"[App]\nk=v", [](IniDocument& d) { d.WriteString("App2", "key4", "v"); },
       "[App]\nk=v\n[App2]\nkey4=v\n"},
      {"", [](IniDocument& d) { d.WriteInteger("Menu", "BGMax", -3); }, "[Menu]\r\nBGMax=-3\r\n"},
      // The second block of a section is neither searched nor written.
      {"[A]\nk=1\n[B]\n[a]\nk=2\n", [](IniDocument& d) { d.WriteString("A", "k", "9"); },
       "[A]\nk=9\n[B]\n[a]\nk=2\n"},
      {"[A]\n[B]\n[a]\nk=2\n", [](IniDocument& d) { d.WriteString("A", "k", "9"); },
       "[A]\nk=9\n[B]\n[a]\nk=2\n"},
      // Deleting removes the key's line only; the last key leaves the header.
      {"[App3]\r\n;c\r\nk=1\r\nK=2\r\n", [](IniDocument& d) { d.DeleteKey("App3", "k"); },
       "[App3]\r\n;c\r\nK=2\r\n"},
      {"[App3]\r\nk=1\r\n", [](IniDocument& d) { d.DeleteKey("App3", "k"); }, "[App3]\r\n"},
      {"[App3]\r\nk=1\r\n", [](IniDocument& d) { d.DeleteKey("None", "k"); }, "[App3]\r\nk=1\r\n"},
      // Erasing removes every block of the section up to the next section.
      {"top\n[X]\na=1\n\n;c\n[Y]\nb=2\n[x]\nc=3\n", [](IniDocument& d) { d.EraseSection("x"); },
       "top\n[Y]\nb=2\n"},
      // Bytes that decode to nothing survive a write elsewhere.
      {"[A]\n\x80\xFF junk\x82\n", [](IniDocument& d) { d.WriteString("A", "k", "v"); },
       "[A]\n\x80\xFF junk\x82\nk=v\n"},
  };
  for (const WriteCase& c : cases) {
    IniDocument doc = IniDocument::Parse(c.before);
    c.change(doc);
    EXPECT_EQ(doc.Serialize(), c.after) << c.before;
  }
}

TEST(PrivateProfile, AnyBytesSerializeBackUnchanged) {
  const std::string inputs[] = {"",
                                "\n",
                                "\r\n\r\n",
                                "a\rb\r",
                                "\xEF\xBB\xBF[A]\nk=v",
                                "\xEF\xBB\xBF",
                                "\x82\n\x82\r\n",
                                std::string("[A]\0\nk=\0v\0", 10),
                                "[\x95\x5C]\n\x95\x5C=\x95\x5C\n"};
  for (const std::string& bytes : inputs) EXPECT_EQ(IniDocument::Parse(bytes).Serialize(), bytes);
}

TEST(PrivateProfile, DoubleByteCharactersAreNeverSplit) {
  // The trail bytes of ソ (83 5C), ー (81 5B), 表 (95 5C) and ＝ (81 81) are
  // "\", "[" and so on; a byte-wise reader would see a section or a key here.
  const std::string cp932 =
      "[\x83\x5C]\r\n"           // [ソ]
      "\x81\x5B\x95\x5C=a\r\n"   // ー表=a
      "k=\x95\x5C\x81\x81\r\n";  // k=表＝
  IniDocument doc = IniDocument::Parse(cp932);
  EXPECT_EQ(doc.Find("ソ", "ー表"), "a");
  EXPECT_EQ(doc.Find("ソ", "k"), "表＝");
  EXPECT_EQ(doc.SectionNames(), std::vector<std::string>{"ソ"});
  doc.WriteString("ソ", "名前", "夕焼け");
  EXPECT_EQ(doc.Serialize(), cp932 + "\x96\xBC\x91\x4F=\x97\x5B\x8F\xC4\x82\xAF\r\n");
}

TEST(PrivateProfile, TextCp932CannotHoldIsRefusedOrTurnsTheFileUtf8) {
  const std::string before = "[A]\r\nk=\x95\x5C\r\n";
  IniDocument host = IniDocument::Parse(before);
  EXPECT_THROW(host.WriteString("A", "n", "𠮷"), IniTextError);
  EXPECT_THROW(host.WriteString("A", "n", "a\nb"), IniTextError);
  EXPECT_THROW(host.WriteString("A", "a=b", "x"), IniTextError);
  EXPECT_THROW(host.WriteString("A]", "k", "x"), IniTextError);
  EXPECT_THROW(host.WriteString(" A", "k", "x"), IniTextError);
  EXPECT_THROW(host.WriteString("A", "k ", "x"), IniTextError);
  EXPECT_EQ(host.Serialize(), before);

  IniDocument own = IniDocument::Parse(before);
  own.SetCp932Overflow(Cp932Overflow::SwitchToUtf8);
  own.WriteString("A", "n", "𠮷");
  EXPECT_EQ(own.Serialize(), std::string(kUtf8ByteOrderMark) + "[A]\r\nk=表\r\nn=𠮷\r\n");
  const IniDocument again = IniDocument::Parse(own.Serialize());
  EXPECT_EQ(again.Find("A", "n"), "𠮷");
  EXPECT_EQ(again.Find("A", "k"), "表");
}

TEST(PrivateProfile, ListsSectionsAndKeysOnceInFileOrder) {
  const IniDocument doc =
      IniDocument::Parse("x=0\n[B]\nk2=1\nK1=2\nk2=3\n;c=4\n[a]\n[b]\nk9=5\n[A]\n");
  EXPECT_EQ(doc.SectionNames(), (std::vector<std::string>{"B", "a"}));
  EXPECT_EQ(doc.KeyNames("b"), (std::vector<std::string>{"k2", "K1"}));
  EXPECT_TRUE(doc.KeyNames("none").empty());
}

TEST(PrivateProfile, CopiesAndMovesKeepNoViewOfTheOriginal) {
  auto original = std::make_unique<IniDocument>(IniDocument::Parse("[A]\nk=1\n"));
  EXPECT_EQ(original->Find("A", "k"), "1");  // the lookups are built
  IniDocument copy = *original;
  original.reset();
  EXPECT_EQ(copy.Find("a", "K"), "1");
  copy.WriteString("A", "k", "2");
  IniDocument moved = std::move(copy);
  EXPECT_EQ(moved.Find("A", "k"), "2");
  moved = IniDocument::Parse("[B]\nk=3\n");
  EXPECT_EQ(moved.Find("B", "k"), "3");
}

TEST(PrivateProfile, LongLinesAndThousandsOfSectionsAreRead) {
  std::string file = "[Menu]\r\nJunk=" + std::string(10 << 20, '\x81') + "\r\n";
  for (int i = 0; i < 5000; ++i)
    file += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
  file += "[Menu]\nBGMax=7\n";
  IniDocument doc = IniDocument::Parse(file);
  EXPECT_EQ(doc.Find("Menu", "Junk")->size(), (10u << 20) / 2 * 3);  // each 81 81 is "＝"
  EXPECT_EQ(doc.ReadInteger("Menu", "BGMax", -1), -1);               // only the first block counts
  EXPECT_EQ(doc.Find("s4999", "K"), "4999");
  EXPECT_EQ(doc.SectionNames().size(), 5001u);
  doc.WriteString("S2500", "k", "x");
  EXPECT_EQ(doc.Serialize().size(), file.size() - 3);
}

TEST(PrivateProfileFile, PendingFilesAreSavedTogetherOrNotAtAll) {
  TempDir dir;
  const std::string a = dir / "a.ini", b = dir / "b.ini", c = dir / "file/c.ini";
  WriteFile(dir / "file", "a file, not a folder");
  WriteFile(a, "[A]\r\nk=v\r\n");
  EXPECT_TRUE(LoadIniFile(c).SectionNames().empty());         // missing: an empty document
  EXPECT_THROW(LoadIniFile(dir.Path().string()), FileError);  // a folder is no file

  PendingIniFile fa(a, Cp932Overflow::Refuse), fb(b, Cp932Overflow::Refuse),
      fc(c, Cp932Overflow::Refuse, true);
  // A refused value names the file and changes nothing.
  try {
    fa.Change([](IniDocument& d) { d.WriteString("A", "k", "😀"); });
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), a);
  }
  EXPECT_EQ(fa.Ini().Serialize(), "[A]\r\nk=v\r\n");

  for (PendingIniFile* f : {&fa, &fb, &fc})
    f->Change([](IniDocument& d) { d.WriteString("A", "k", "w"); });
  try {
    SaveTogether({&fa, &fb, &fc});  // c's folder cannot be made: a and b go back
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), c);
  }
  EXPECT_EQ(ReadFile(a), "[A]\r\nk=v\r\n");
  EXPECT_FALSE(std::filesystem::exists(b));

  SaveTogether({&fa, &fb});
  EXPECT_EQ(ReadFile(a), "[A]\r\nk=w\r\n");
  EXPECT_EQ(ReadFile(b), "[A]\r\nk=w\r\n");
  PendingIniFile fd(dir / "new/folder/d.ini", Cp932Overflow::Refuse, true);
  fd.Change([](IniDocument& d) { d.WriteString("A", "k", "w"); });
  fd.Save();
  EXPECT_EQ(ReadFile(dir / "new/folder/d.ini"), "[A]\r\nk=w\r\n");
}

TEST(PrivateProfileFile, FilesUpToTheLimitAreRead) {
  TempDir dir;
  const std::string ini = dir / "big.ini";
  // The byte-order mark does not count.
  const std::string bytes = std::string(kUtf8ByteOrderMark) + std::string(kMaxIniFileBytes, ';');
  WriteFile(ini, bytes);
  EXPECT_EQ(LoadIniFile(ini).Serialize(), bytes);
  WriteFile(ini, bytes + ";");
  EXPECT_THROW(LoadIniFile(ini), FileTooLarge);
}

}  // namespace
}  // namespace horizonmill
