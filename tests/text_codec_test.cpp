#include <gtest/gtest.h>

#include <string>

#include "platform/TextCodec.h"

namespace horizonmill {
namespace {

const std::string kFffd(kReplacementCharacter);
const std::string kBom(kUtf8ByteOrderMark);

TEST(TextCodec, DecodesJapaneseCp932) {
  // Shift_JIS codes: ら 82E7, い 82A2, と 82C6; half-width ｱ B1; 表 955C.
  EXPECT_EQ(DecodeText("# Horizonmill\x82\xE7\x82\xA2\x82\xC6"), "# Horizonmillらいと");
  EXPECT_EQ(DecodeText("\xB1"), "ｱ");
  // The trail byte of 表 is the code of "\": after decoding no separator is left.
  EXPECT_EQ(DecodeText("tex\\\x95\x5C.bmp"), "tex\\表.bmp");
  EXPECT_EQ(DecodeText(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextCodec, Utf8WithoutTheMarkIsReadAsUtf8WhenItHoldsMultiByteCharacters) {
  // What a text editor here writes: UTF-8, no mark.
  EXPECT_EQ(DecodeText("Objects_Filename 写真/木.bmp\n"), "Objects_Filename 写真/木.bmp\n");
  // The same names in CP932 are no valid UTF-8 (lead bytes 81..9F continue a
  // UTF-8 sequence), nor is a half-width katakana byte alone.
  EXPECT_EQ(DecodeText("\x8E\xCA\x90\x5E/\x96\xD8.bmp"), "写真/木.bmp");
  EXPECT_EQ(DecodeText("\xB1.bmp"), "ｱ.bmp");
  // A file that is UTF-8 but for one broken byte is CP932, as before.
  EXPECT_EQ(DecodeText("\xE6\x9C\xA8\xFF"), Cp932ToUtf8("\xE6\x9C\xA8\xFF"));
}

TEST(TextCodec, EncodesCp932WhenEveryCharacterFits) {
  EXPECT_EQ(EncodeText("らいと\r\n"), "\x82\xE7\x82\xA2\x82\xC6\r\n");
  EXPECT_EQ(EncodeText("C:\\表\\ｱ.bmp"), "C:\\\x95\x5C\\\xB1.bmp");
  EXPECT_EQ(EncodeText(""), "");
}

TEST(TextCodec, NamesCp932CannotHoldMakeTheWholeFileUtf8WithMark) {
  for (const std::string text : {"らいと 𠮷.bmp\r\n", "sky😀.bmp", "\xC2\xA5 price", "波〜"}) {
    // 𠮷 and the emoji have no CP932 code; ¥ and 〜 would come back as "\" and "～".
    const std::string bytes = EncodeText(text);
    EXPECT_EQ(bytes, kBom + text) << text;
    EXPECT_EQ(DecodeText(bytes), text) << text;
  }
}

TEST(TextCodec, BytesThatDoNotDecodeBecomeReplacementCharacters) {
  // 80, A0 and FD..FF start no CP932 character.
  EXPECT_EQ(DecodeText("a\x80z\xA0\xFF"), "a" + kFffd + "z" + kFffd + kFffd);
  // A lead byte without its trail: only that byte is replaced; the blank after
  // it, and a line end, stay what they were.
  EXPECT_EQ(DecodeText("\x82 x\x82\r\n\x82"), kFffd + " x" + kFffd + "\r\n" + kFffd);
  // After the mark, broken UTF-8 is repaired byte by byte: a cut sequence, an
  // overlong "/", a surrogate, a value above U+10FFFF.
  EXPECT_EQ(
      DecodeText(kBom + "a\xC3(\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80"),
      "a" + kFffd + "(" + kFffd + kFffd + kFffd + kFffd + kFffd + kFffd + kFffd + kFffd + kFffd);
  EXPECT_EQ(DecodeText(kBom), "");
  EXPECT_FALSE(Utf8ToCp932("a\xC3").has_value());
  EXPECT_TRUE(IsValidUtf8("らいと𠮷"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
}

// Every one- and two-byte sequence: decoding never fails, and whatever was
// decoded is written so that it reads back unchanged.
TEST(TextCodec, EveryCp932CodeSurvivesWriteAndRead) {
  int written_as_cp932 = 0;
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = 0; trail < 256; ++trail) {
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string text = DecodeText(bytes);
      ASSERT_TRUE(IsValidUtf8(text));
      const std::string encoded = EncodeText(text);
      ASSERT_EQ(DecodeText(encoded), text) << lead << " " << trail;
      if (!encoded.starts_with(kBom)) {
        ++written_as_cp932;
        // A character with several codes (NEC and IBM rows) may come back under
        // another code; a text without duplicates comes back byte for byte.
        if (text.find(kFffd) == std::string::npos && lead < 0x87) {
          ASSERT_EQ(encoded, bytes);
        }
      }
    }
  }
  // Any two of the 191 one-byte characters (00..7F, A1..DF) are CP932 text, and so
  // is every double-byte character.
  EXPECT_GT(written_as_cp932, 191 * 191);
}

}  // namespace
}  // namespace horizonmill
