#include "scene/Token.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace horizonmill {
namespace {

// Every token of the text, scanned as the settings reader does, until the
// remainder is empty.
std::vector<std::string> Tokens(std::string_view text) {
  TokenScanner scanner;
  std::vector<std::string> tokens{std::string(scanner.GetToken(text, "="))};
  while (!scanner.Remainder().empty()) tokens.emplace_back(scanner.NextToken("="));
  return tokens;
}

using List = std::vector<std::string>;

TEST(Token, DelimitersAreCodesUpTo32AndTheSet) {
  EXPECT_TRUE(IsDelimiter(' ', ""));
  EXPECT_TRUE(IsDelimiter('\0', ""));
  EXPECT_TRUE(IsDelimiter('\t', ""));
  EXPECT_TRUE(IsDelimiter('\x1F', ""));
  EXPECT_FALSE(IsDelimiter('!', ""));
  EXPECT_FALSE(IsDelimiter('=', ""));
  EXPECT_TRUE(IsDelimiter('=', "="));
  // Taken as an unsigned byte: bytes of multi-byte characters are no delimiters.
  EXPECT_FALSE(IsDelimiter('\x80', "="));
  EXPECT_FALSE(IsDelimiter('\xFF', "="));
}

TEST(Token, BlanksAroundTheEqualsSignMakeAnEmptyToken) {
  EXPECT_EQ(Tokens("RandomSeed=123"), (List{"RandomSeed", "123"}));
  // The "=" after the blank ends an empty token.
  EXPECT_EQ(Tokens("RandomSeed = 123"), (List{"RandomSeed", "", "123"}));
  EXPECT_EQ(Tokens("a==b"), (List{"a", "", "b"}));
  EXPECT_EQ(Tokens("=a"), (List{"", "a"}));
  EXPECT_EQ(Tokens("a="), (List{"a"}));
}

TEST(Token, RemainderIsTrimmedOfBlanksAndControlCharacters) {
  TokenScanner scanner;
  EXPECT_EQ(scanner.GetToken("  Ground_Scale \t 2.5   x  \r", "="), "Ground_Scale");
  EXPECT_EQ(scanner.Remainder(), "2.5   x");
  EXPECT_EQ(scanner.NextToken("="), "2.5");
  EXPECT_EQ(scanner.Remainder(), "x");
  EXPECT_EQ(scanner.NextToken("="), "x");
  EXPECT_EQ(scanner.Remainder(), "");
  // Past the end every token is empty.
  EXPECT_EQ(scanner.NextToken("="), "");
  EXPECT_EQ(scanner.GetToken(" \t\r\n ", "="), "");
  EXPECT_EQ(scanner.Remainder(), "");
  constexpr char kControls[] = "a\0b\x01z";
  EXPECT_EQ(Tokens(std::string_view(kControls, sizeof kControls - 1)), (List{"a", "b", "z"}));
  EXPECT_EQ(Tokens("天井\\らいと.bmp=ｱ"), (List{"天井\\らいと.bmp", "ｱ"}));
}

TEST(Token, EachScannerKeepsItsOwnRemainder) {
  TokenScanner first, second;
  first.GetToken("a b c", "=");
  second.GetToken("x y", "=");
  EXPECT_EQ(first.NextToken("="), "b");
  EXPECT_EQ(second.NextToken("="), "y");
  EXPECT_EQ(first.Remainder(), "c");
  EXPECT_EQ(second.Remainder(), "");
}

}  // namespace
}  // namespace horizonmill
