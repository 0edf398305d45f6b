// The public BMP test suite (good, questionable and bad files with reference
// pictures), kept beside the checkout: HORIZONMILL_SOURCE_DIR/../shared/bmpsuite.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "image/BmpReader.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path& SuiteDir() {
  static const fs::path dir = fs::path(HORIZONMILL_SOURCE_DIR) / ".." / "shared" / "bmpsuite";
  return dir;
}

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes{std::istreambuf_iterator<char>(in), {}};
}

struct Ppm {
  int width = 0, height = 0;
  Bytes rgb;  // red, green, blue per pixel, row 0 at the top
};

// A binary PPM with 8-bit channels (P6, maximum 255).
std::optional<Ppm> ReadPpm(const fs::path& path) {
  const Bytes bytes = ReadAll(path);
  std::size_t i = 0;
  auto token = [&]() -> std::string {
    std::string t;
    while (i < bytes.size()) {
      if (bytes[i] == '#') {
        while (i < bytes.size() && bytes[i] != '\n') ++i;
      } else if (std::isspace(bytes[i])) {
        if (!t.empty()) break;
        ++i;
      } else {
        t += static_cast<char>(bytes[i++]);
      }
    }
    return t;
  };
  if (token() != "P6") return std::nullopt;
  Ppm ppm;
  ppm.width = std::atoi(token().c_str());
  ppm.height = std::atoi(token().c_str());
  if (token() != "255" || ppm.width <= 0 || ppm.height <= 0) return std::nullopt;
  ++i;  // the single whitespace after the maximum
  const std::size_t n = static_cast<std::size_t>(ppm.width) * ppm.height * 3;
  if (bytes.size() - i < n) return std::nullopt;
  ppm.rgb.assign(bytes.data() + i, bytes.data() + i + n);
  return ppm;
}

// Every pixel within `tolerance` of the reference on every channel.
::testing::AssertionResult LooksLike(const WorkBitmap& bitmap, const fs::path& reference,
                                     int tolerance = 0) {
  const std::optional<Ppm> ppm = ReadPpm(reference);
  if (!ppm) return ::testing::AssertionFailure() << "cannot read " << reference;
  if (bitmap.Width() != ppm->width || bitmap.Height() != ppm->height)
    return ::testing::AssertionFailure() << "size " << bitmap.Width() << " x " << bitmap.Height()
                                         << ", reference " << ppm->width << " x " << ppm->height;
  int wrong = 0;
  std::string first;
  for (int y = 0; y < ppm->height; ++y)
    for (int x = 0; x < ppm->width; ++x) {
      const BgrPixel p = bitmap.Row(y)[x];
      const std::uint8_t* q = &ppm->rgb[(static_cast<std::size_t>(y) * ppm->width + x) * 3];
      if (std::abs(p.r - q[0]) > tolerance || std::abs(p.g - q[1]) > tolerance ||
          std::abs(p.b - q[2]) > tolerance) {
        if (wrong++ == 0)
          first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                  std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) +
                  ", reference " + std::to_string(q[0]) + "," + std::to_string(q[1]) + "," +
                  std::to_string(q[2]);
      }
    }
  if (wrong > 0)
    return ::testing::AssertionFailure()
           << wrong << " pixels differ from " << reference.filename() << ", first " << first;
  return ::testing::AssertionSuccess();
}

std::vector<fs::path> BmpFilesIn(const std::string& sub) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(SuiteDir() / sub))
    if (entry.path().extension() == ".bmp") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// What decoding a file gave: the picture, or the refusal's text.
struct Outcome {
  std::optional<WorkBitmap> picture;
  std::string refusal;
  bool too_large = false;
};

Outcome Decode(const fs::path& path) {
  const Bytes bytes = ReadAll(path);
  Outcome outcome;
  try {
    outcome.picture = DecodeBmp(bytes);
  } catch (const BmpError& e) {
    outcome.refusal = e.what();
    outcome.too_large = dynamic_cast<const BmpTooLarge*>(&e) != nullptr;
  }
  return outcome;
}

class BmpSuite : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(SuiteDir()))
      GTEST_SKIP() << "the BMP suite is not beside the checkout (" << SuiteDir() << ")";
  }
  static fs::path Ref(const std::string& name) { return SuiteDir() / "ref" / (name + ".ppm"); }
};

// Good files that share a look with another file's reference.
const std::map<std::string, std::string> kSharedReference = {
    {"pal1wb", "pal1"},
    {"pal4rle", "pal4"},
    {"pal8-0", "pal8"},
    {"pal8os2", "pal8"},
    {"pal8rle", "pal8"},
    {"pal8topdown", "pal8"},
    {"pal8v4", "pal8"},
    {"pal8v5", "pal8"},
    {"rgb16-565pal", "rgb16-565"},
    {"rgb16bfdef", "rgb16"},
    {"rgb24pal", "rgb24"},
    {"rgb32", "rgb24"},
    {"rgb32bf", "rgb24"},
    {"rgb32bfdef", "rgb24"},
    // Stored with a 2:1 pixel aspect; we show the pixels as stored, unstretched.
    {"pal8nonsquare", "pal8nonsquare-e"},
};

TEST_F(BmpSuite, EveryGoodFileLoadsWithTheReferencePixels) {
  const std::vector<fs::path> files = BmpFilesIn("g");
  EXPECT_FALSE(files.empty());
  for (const fs::path& file : files) {
    const std::string stem = file.stem().string();
    const auto shared = kSharedReference.find(stem);
    const Outcome outcome = Decode(file);
    ASSERT_TRUE(outcome.picture) << stem << ": " << outcome.refusal;
    EXPECT_TRUE(
        LooksLike(*outcome.picture, Ref(shared == kSharedReference.end() ? stem : shared->second)))
        << stem;
  }
}

TEST_F(BmpSuite, BadFilesAreRefusedOrReadWithinBounds) {
  // Damaged beyond repair: refused with a reason.
  const std::set<std::string> refused = {
      "badbitcount", "badheadersize", "badplanes",  "badwidth",  "badpalettesize",
      "reallybig",   "rletopdown",    "shortfile",  "badrle",    "badrlebis",
      "badrleter",   "badrle4",       "badrle4bis", "badrle4ter"};
  // Odd but decodable; the first four are pal1.bmp with one header field changed.
  const std::map<std::string, std::string> decodable = {
      {"baddens1", "pal1"},    {"baddens2", "pal1"},       {"badbitssize", "pal1"},
      {"badfilesize", "pal1"}, {"rgb16-880", "rgb16-880"}, {"pal8badindex", ""}};
  for (const fs::path& file : BmpFilesIn("b")) {
    const std::string stem = file.stem().string();
    const Outcome outcome = Decode(file);
    if (refused.count(stem)) {
      EXPECT_FALSE(outcome.picture) << stem << " loaded";
      EXPECT_FALSE(outcome.refusal.empty()) << stem;
      EXPECT_EQ(outcome.too_large, stem == "reallybig") << stem << ": " << outcome.refusal;
    } else if (const auto it = decodable.find(stem); it != decodable.end()) {
      ASSERT_TRUE(outcome.picture) << stem << ": " << outcome.refusal;
      if (!it->second.empty()) {
        EXPECT_TRUE(LooksLike(*outcome.picture, Ref(it->second))) << stem;
      }
    } else {
      ADD_FAILURE() << stem << " is in neither list";
    }
  }
}

TEST_F(BmpSuite, IndicesPastThePaletteReadAsBlack) {
  // pal8badindex: 8 bits, bottom-up, 101 palette entries; indices from 101 up
  // must come out black, the others as their palette entry.
  const Bytes file = ReadAll(SuiteDir() / "b" / "pal8badindex.bmp");
  ASSERT_GT(file.size(), 54u);
  auto u32 = [&](std::size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | std::uint32_t{file[at + 3]} << 24;
  };
  const std::uint32_t offset = u32(10), width = u32(18), height = u32(22), used = u32(46);
  ASSERT_EQ(used, 101u);
  const WorkBitmap bitmap = DecodeBmp(file);
  const std::size_t stride = (width + 3) / 4 * 4;
  int past = 0;
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint8_t index = file[offset + (height - 1 - y) * stride + x];
      BgrPixel want{};
      if (index < used)
        want = BgrPixel{file[54 + 4 * index], file[55 + 4 * index], file[56 + 4 * index]};
      else
        ++past;
      ASSERT_EQ(bitmap.Row(y)[x], want) << x << ", " << y << " index " << +index;
    }
  EXPECT_GT(past, 0);
}

TEST_F(BmpSuite, QuestionableFilesLoadOrAreRefusedCleanly) {
  // Files whose intended look we reproduce: RLE skips as palette index 0 (the
  // "-0" references), the OS/2 and odd-palette variants of pal8, the 2-bit and
  // unusual 16-bit layouts, headers with masks inside.
  const std::map<std::string, std::string> exact = {
      {"pal1p1", "pal1p1"},
      {"pal2", "pal2"},
      {"pal2color", "pal2color"},
      {"pal4rlecut", "pal4rlecut-0"},
      {"pal4rletrns", "pal4rletrns-0"},
      {"pal8rlecut", "pal8rlecut-0"},
      {"pal8rletrns", "pal8rletrns-0"},
      {"pal8offs", "pal8"},
      {"pal8os2-hs", "pal8"},
      {"pal8os2-sz", "pal8"},
      {"pal8os2sp", "pal8"},
      {"pal8os2v2", "pal8"},
      {"pal8os2v2-16", "pal8"},
      {"pal8os2v2-40sz", "pal8"},
      {"pal8os2v2-sz", "pal8"},
      {"pal8oversizepal", "pal8"},
      {"rgb16-231", "rgb16-231"},
      {"rgb16-3103", "rgb16-3103"},
      {"rgb24largepal", "rgb24"},
      {"rgb24lprof", "rgb24"},
      {"rgb24prof", "rgb24"},
      {"rgb32-xbgr", "rgb24"},
      {"rgb32h52", "rgb24"},
  };
  // Channels wider than 8 bits: the references truncate where we round.
  const std::map<std::string, std::string> within_one = {{"rgb32-7187", "rgb32-7187"},
                                                         {"rgba32-61754", "rgba32-61754"},
                                                         {"rgba32-81284", "rgba32-81284"},
                                                         {"rgb32-111110", "rgb24"}};
  std::vector<fs::path> files = BmpFilesIn("q");
  for (const fs::path& f : BmpFilesIn("x")) files.push_back(f);
  EXPECT_FALSE(files.empty());
  for (const fs::path& file : files) {
    const std::string stem = file.stem().string();
    Outcome outcome;
    ASSERT_NO_THROW(outcome = Decode(file)) << stem;  // BmpError or a picture, nothing else
    std::cout << "  " << file.parent_path().filename().string() << "/" << stem << ": "
              << (outcome.picture ? "loads" : "refused: " + outcome.refusal) << "\n";
    if (const auto it = exact.find(stem); it != exact.end()) {
      ASSERT_TRUE(outcome.picture) << stem << ": " << outcome.refusal;
      EXPECT_TRUE(LooksLike(*outcome.picture, Ref(it->second))) << stem;
    } else if (const auto near = within_one.find(stem); near != within_one.end()) {
      ASSERT_TRUE(outcome.picture) << stem << ": " << outcome.refusal;
      EXPECT_TRUE(LooksLike(*outcome.picture, Ref(near->second), 1)) << stem;
    }
  }
}

}  // namespace
}  // namespace horizonmill
