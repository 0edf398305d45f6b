// The core's messages: every code has English text, values fill their
// placeholders, and the core's sources hold no Japanese message text.
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/Session.h"
#include "scene/SettingsFile.h"

namespace horizonmill {
namespace {

// True when the UTF-8 text holds a kana, a kanji, the ideographic space or a
// full-width form.
bool HasJapanese(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if ((lead & 0xF0) != 0xE0 || i + 2 >= text.size()) continue;
    const char32_t c = (lead & 0x0Fu) << 12 |
                       (static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6 |
                       (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
    if ((c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) ||
        (c >= 0xFF00 && c <= 0xFFEF))
      return true;
  }
  return false;
}

// The string literals of a C++ source, comments left out.
std::vector<std::string> StringLiterals(const std::string& code) {
  std::vector<std::string> literals;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code.compare(i, 2, "//") == 0) {
      i = code.find('\n', i);
      if (i == std::string::npos) break;
    } else if (code.compare(i, 2, "/*") == 0) {
      i = code.find("*/", i);
      if (i == std::string::npos) break;
      ++i;
    } else if (code[i] == '\'') {
      while (++i < code.size() && code[i] != '\'')
        if (code[i] == '\\') ++i;
    } else if (code[i] == '"') {
      std::string literal;
      while (++i < code.size() && code[i] != '"') {
        if (code[i] == '\\') ++i;
        literal += code[i];
      }
      literals.push_back(literal);
    }
  }
  return literals;
}

TEST(Messages, EveryCodeHasItsOwnEnglishText) {
  std::set<std::string_view> texts;
  for (int i = 0; i < kMessageCodeCount; ++i) {
    const std::string_view text = EnglishText(static_cast<MessageCode>(i));
    EXPECT_FALSE(text.empty()) << "code " << i;
    for (const char c : text) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "code " << i << ": " << text;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), static_cast<std::size_t>(kMessageCodeCount));
}

TEST(Messages, ValuesFillTheirPlaceholders) {
  const struct {
    const char* what;
    std::string pattern;
    std::vector<std::string> args;
    std::string filled;
  } cases[] = {
      {"one value", "count: %1", {"1200"}, "count: 1200"},
      {"in their own order", "%2 after %1", {"a", "b"}, "b after a"},
      {"twice", "%1-%1", {"x"}, "x-x"},
      {"a value that looks like a placeholder",
       "file %1 is missing",
       {"木 %1%2.bmp"},
       "file 木 %1%2.bmp is missing"},
      {"no value for it", "%1 and %2", {"x"}, "x and %2"},
      {"no values", "%1", {}, "%1"},
      {"an empty value", "\"%1\"", {""}, "\"\""},
      {"a per cent sign alone", "100% of %1", {"it"}, "100% of it"},
      {"at the end", "%", {"x"}, "%"},
      {"no %0", "%0", {"x"}, "%0"},
  };
  for (const auto& c : cases) EXPECT_EQ(FillArguments(c.pattern, c.args), c.filled) << c.what;
}

TEST(Messages, AMessageReadsInEnglishWithItsValues) {
  const struct {
    Message message;
    std::string english;
  } cases[] = {
      {MessageCode::Writing, "Writing.."},
      {{MessageCode::StarsStage, {"50"}}, "Drawing the stars.. count: 50"},
      {{MessageCode::ConfirmRemoval, {"夕焼け"}}, "Remove the background \"夕焼け\"?"},
      {{MessageCode::BackgroundNotListed, {"b"}},
       "The background \"b\" was not in the QORA-L series' list of backgrounds. The pictures of "
       "its registration have been deleted."},
  };
  for (const auto& c : cases) EXPECT_EQ(c.message.English(), c.english);
}

// The core and the command line word their messages in English; Japanese text
// there is data only: the settings file's header, the untitled scene's name,
// and the "無" tile the English warnings name.
TEST(Messages, TheCoreHoldsNoJapaneseMessageText) {
  const std::set<std::string> data = {std::string(kSettingsHeader), std::string(kNewSettingsName)};
  ASSERT_TRUE(HasJapanese(std::string(kSettingsHeader)));  // the check sees Japanese
  int files = 0;
  for (const char* floor :
       {"platform", "image", "scene", "render", "codecs", "host", "app", "cli"}) {
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(HORIZONMILL_SOURCE_DIR) / "src" / floor)) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::stringstream code;
      code << in.rdbuf();
      ++files;
      for (std::string literal : StringLiterals(code.str())) {
        if (data.contains(literal)) continue;
        for (auto at = literal.find("\"無\""); at != std::string::npos; at = literal.find("\"無\""))
          literal.erase(at, std::string("\"無\"").size());
        EXPECT_FALSE(HasJapanese(literal)) << entry.path().filename() << ": " << literal;
      }
    }
  }
  EXPECT_GT(files, 100);
}

}  // namespace
}  // namespace horizonmill
