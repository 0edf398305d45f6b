// The budget of a scene's pictures: its sizes as written by users, its default.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>

#include "image/ImageLimits.h"
#include "image/PictureBudget.h"

namespace horizonmill {
namespace {

TEST(PictureBudget, SizesAsUsersWriteThem) {
  const struct {
    const char* text;
    std::optional<std::int64_t> bytes;
  } cases[] = {
      {"1073741824", std::int64_t{1} << 30},
      {"512M", std::int64_t{512} << 20},
      {"512mib", std::int64_t{512} << 20},
      {"64KB", std::int64_t{64} << 10},
      {"100B", 100},
      {"4194304T", std::int64_t{1} << 62},
      {"4194305T", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"0", std::nullopt},
      {"", std::nullopt},
      {"-1G", std::nullopt},
      {"1.5G", std::nullopt},
      {"2 G", std::nullopt},
      {"2GG", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseByteSize(c.text), c.bytes) << c.text;
  EXPECT_EQ(ByteSizeText(1000), "1000 bytes");
  EXPECT_EQ(ByteSizeText(std::int64_t{2} << 30), "2 GiB");
  EXPECT_EQ(ByteSizeText(1536 * 1024), "1.5 MiB");
}

TEST(PictureBudget, TheDefaultAndTheEnvironment) {
  const std::int64_t byDefault = DefaultPictureBudget();
  EXPECT_GT(byDefault, 0);
  EXPECT_LE(byDefault, kMaxImageBytes);
  std::string error;
  ::unsetenv(kPictureBudgetVariable);
  EXPECT_EQ(PictureBudgetFromEnvironment(&error), byDefault);
  ::setenv(kPictureBudgetVariable, "300M", 1);
  EXPECT_EQ(PictureBudgetFromEnvironment(&error), std::int64_t{300} << 20);
  EXPECT_EQ(error, "");
  ::setenv(kPictureBudgetVariable, "lots", 1);
  EXPECT_EQ(PictureBudgetFromEnvironment(&error), byDefault);
  EXPECT_NE(error.find("HORIZONMILL_PICTURE_BUDGET=\"lots\" is no size"), std::string::npos);
  ::unsetenv(kPictureBudgetVariable);
}

}  // namespace
}  // namespace horizonmill
